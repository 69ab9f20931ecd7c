// The static evaluation: the rule examples as known answers, the path cones, the lazy
// exit, the colour mirror over many positions, and when the databases are asked.
#include "engine/knowledge/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "engine/board/fen.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/patterns.h"
#include "records/settings.h"
#include "tests/knowledge/eval_positions.h"

namespace {

Bitboard bits(std::initializer_list<int> squares) {
    Bitboard b = 0;
    for (int s : squares) b |= BIT_MASK[SQUARE_TO_BIT[s]];
    return b;
}

constexpr int FULL = 30000;   // never takes the lazy exit
constexpr int ROOT = -30000;  // the driver's root evaluation

int eval(const std::string& fen, int bound = FULL) {
    Position p = position(fen);
    return evaluate(p.side, p.record, bound);
}

// A stand-in for the databases: gives the answer it is told and counts the questions.
int probe_answer = EGDB_UNKNOWN;
int probe_calls = 0;
int fake_probe(Side, const PlyRecord&) {
    ++probe_calls;
    return probe_answer;
}
int eval_with_fake(const std::string& fen, int answer) {
    probe_answer = answer;
    probe_calls = 0;
    Position p = position(fen);
    return evaluate_with_probe(p.side, p.record, FULL, fake_probe);
}


}  // namespace

TEST(EvaluationTables, ConesOfSquares28And16AreTheKnownOnes) {
    const PathCones& c28 = PathCone[SQUARE_TO_BIT[28]];
    EXPECT_EQ(c28.white_left, bits({22, 17, 18, 11, 12, 13, 6, 7, 8, 9, 1, 2, 3, 4}));
    EXPECT_EQ(c28.white_right, bits({23, 18, 19, 12, 13, 14, 7, 8, 9, 10, 1, 2, 3, 4, 5}));
    EXPECT_EQ(c28.black_right, bits({33, 38, 39, 42, 43, 44, 47, 48, 49, 50}));
    EXPECT_EQ(c28.black_left, bits({32, 37, 38, 41, 42, 43, 46, 47, 48, 49}));
    const PathCones& c16 = PathCone[SQUARE_TO_BIT[16]];
    EXPECT_EQ(c16.white_left | c16.black_left, 0u);
    EXPECT_EQ(c16.white_right, bits({11, 6, 7, 1, 2}));
}

TEST(EvaluationTables, EveryConeIsWhereAManFromThatNeighbourCanStillGo) {
    // Walked with the move generator's steps rather than rows and columns.
    auto reach = [](Bitboard from, bool white) {
        Bitboard cone = from;
        for (Bitboard step = from; step != 0; cone |= step) {
            step = (white ? step << 5 | step << 6 : step >> 5 | step >> 6) & SQUARE_BITS;
        }
        return cone;
    };
    for (int b = 0; b < 64; ++b) {
        const PathCones& c = PathCone[b];
        if (!is_square_bit(b)) {
            EXPECT_EQ(c.white_left | c.white_right | c.black_left | c.black_right, 0u) << b;
            continue;
        }
        EXPECT_EQ(c.white_left, reach(BIT_MASK[b + 5] & SQUARE_BITS, true)) << BIT_TO_SQUARE[b];
        EXPECT_EQ(c.white_right, reach(BIT_MASK[b + 6] & SQUARE_BITS, true)) << BIT_TO_SQUARE[b];
        EXPECT_EQ(c.black_right, reach(BIT_MASK[b - 5] & SQUARE_BITS, false)) << BIT_TO_SQUARE[b];
        EXPECT_EQ(c.black_left, reach(BIT_MASK[b - 6] & SQUARE_BITS, false)) << BIT_TO_SQUARE[b];
    }
}

// The worked examples of the evaluation rules, scored for the side to move. Every route
// through evaluate must also leave the piece counts the databases read.
TEST(Evaluate, KnownAnswers) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        // One king each on 5 and 46 is lost for the side to move; elsewhere drawn.
        {"W:WK46:BK5", -WIN_SCORE}, {"B:WK46:BK5", -WIN_SCORE}, {"W:WK5:BK46", -WIN_SCORE},
        {"B:WK5:BK46", -WIN_SCORE}, {"W:WK46:BK4", 0}, {"B:WK10:BK46", 0}, {"W:WK1:BK50", 0},
        // At most three a side with kings on both sides: three a king, one a man.
        {"W:WK1,K2,30:BK50,20", 3}, {"B:WK1,K2,30:BK50,20", -3}, {"W:WK1,30,31:BK50,K49", -1},
        // Otherwise plain material (the man on 8 would earn 60 in a larger position).
        {"W:W30,31,32:B10,11", 100}, {"B:W30,31,32:B10,11", -100},
        {"W:W8,31,32:B40,41", 100}, {"W:WK1,30:B10,11,12", 120},
        // Four kings against one: 4000, and 5 a king on 41, 46, 47 whichever colour.
        {"W:WK46,K41,K20,K25:BK3", 4010}, {"B:WK46,K41,K20,K25:BK3", -4010},
        {"B:WK3:BK46,K41,K20,K25", 4010}, {"W:WK3:BK46,K41,K20,K25", -4010},
        {"W:WK47,K46,K41,K20:BK3", 4015}, {"W:WK5,K10,K4,K20:BK3", 4000},
        // Material 300, free path 20 (16); back squares +2 -2; centre 48,49 +4 and 3 -2;
        // left wing 3 against 0 +9; rules 21 (-1), 41 (-5), 42 (+5).
        {"W:W16,46,47,48,49:B3,4", 330}, {"B:W16,46,47,48,49:B3,4", -330},
        // Without 47: 200 + 20, a left wing of 2 against 0 still +6, the rest as above.
        {"W:W16,46,48,49:B3,4", 227},
        // Kings on both sides halve toward zero. Material and free paths cancel (14: +40,
        // 36: -40); positional -15 from rules 37, 39 and 41 halves to -7, not -8.
        {"W:W14,26,44,K48:B6,24,36,K43", -7}, {"B:W14,26,44,K48:B6,24,36,K43", 7},
        // 300 + 20 halved to 160; positional 5 (the 330 case with 42 blocked) to 2.
        {"W:W16,46,47,48,49,K30:B3,4,K1", 162}, {"B:W16,46,47,48,49,K30:B3,4,K1", -162},
    };
    // clang-format on
    for (const auto& [fen, score] : cases) {
        Position p = position(fen);
        std::fill(std::begin(p.record.type_counts), std::end(p.record.type_counts), -9);
        EXPECT_EQ(evaluate(p.side, p.record, FULL), score) << fen;
        const Board& b = p.record.board;
        const Bitboard sets[4] = {b.white_men, b.white_kings, b.black_men, b.black_kings};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p.record.type_counts[i], std::popcount(sets[i])) << fen << " " << i;
    }
}

TEST(Evaluate, FreePathPaysPerOpenConeByDistanceToPromotion) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"W:W16:B3,4,5", 20}, {"W:W8:BK50", 60}, {"W:W16:B7", 10}, {"W:W6:B1", 30},
        {"W:WK1:B43", -60}, {"W:W49:B43", -30}, {"W:W21,22,23,24,25:B26,27,28,29,30", 0},
        {"W:W31-35:B16-20", 0},  // outside the zones
        // Only men of the other side block.
        {"W:W16:BK7,K1", 20}, {"W:W16,K7:B3", 20}, {"W:W16,7:B3", 80}};
    // clang-format on
    for (const auto& [fen, sum] : cases)
        EXPECT_EQ(free_path_sum(position(fen).record.board), sum) << fen;
}

// The side to move asks about the other side's men: Black's on 26-45, White's on 6-25.
TEST(Evaluate, HasFreeManAsksAboutTheOtherSidesMen) {
    // clang-format off
    const std::pair<const char*, bool> cases[] = {
        {"W:W46,47,48,49,50:B28", false}, {"W:W46:B28", true}, {"W:W50:B28", true},
        {"W:W41-50:B36", true},  // edge: the missing cone counts as open
        {"W:W50:B27", true},     // row 5 counts although it earns nothing
        {"W:W46:B20,K28", false},  // outside the zone, or a king
        {"W:W8:BK1", false},       // White's own men are not asked about
        {"B:W8:B2,3", false}, {"B:W8:B2", true},
        {"B:W25:B4,5,9,10,14,15,19,20", true}, {"B:W26,31:B", false}};
    // clang-format on
    for (const auto& [fen, free] : cases) {
        Position p = position(fen);
        EXPECT_EQ(has_free_man(p.side, p.record), free) << fen;
    }
}

TEST(Evaluate, LazyExitLeavesMaterialAndFreePathsOnly) {
    int positional_seen = 0;
    for (Position& p : random_placements(11, 20000)) {
        const Board& b = p.record.board;
        if ((p.record.white_count <= 3 && p.record.black_count <= 3) || four_kings_against_one(b))
            continue;
        int base = p.record.material + free_path_sum(b);
        if (b.white_kings && b.black_kings) base /= 2;
        const int score = p.side == WHITE ? base : -base;
        ASSERT_EQ(evaluate(p.side, p.record, ROOT), score);
        // Exactly at the threshold (score + 150 = -bound) still lazy, one above it not.
        const int threshold = -(score + 150);
        const int full = evaluate(p.side, p.record, FULL);
        ASSERT_EQ(evaluate(p.side, p.record, threshold), score);
        ASSERT_EQ(evaluate(p.side, p.record, threshold + 1), full);
        positional_seen += full != score;
    }
    EXPECT_GT(positional_seen, 1000);
    // The ends of int do not overflow the margin arithmetic.
    EXPECT_EQ(eval("W:W16,46,47,48,49:B3,4", INT_MIN), 320);
    EXPECT_EQ(eval("W:W16,46,47,48,49:B3,4", INT_MAX), 330);
}

TEST(Evaluate, ColourMirrorGivesTheSameScore) {
    // Rules 25 and 26 are not each other's mirror, so positions where either fires
    // (before or after mirroring) are left out; so is four kings against one, whose
    // squares are the same for both colours.
    auto asymmetric = [](const Position& p) {
        return pattern_fires(PATTERN_RULES[24], p.record.board) ||
               pattern_fires(PATTERN_RULES[25], p.record.board);
    };
    int compared = 0;
    for (Position& p : random_placements(6, 30000)) {
        Position m = colour_mirror(p);
        if (asymmetric(p) || asymmetric(m) || four_kings_against_one(p.record.board)) continue;
        for (int bound : {FULL, 0, ROOT}) {
            ASSERT_EQ(evaluate(p.side, p.record, bound), evaluate(m.side, m.record, bound))
                << to_fen(p.record.board, p.side) << " bound " << bound;
        }
        ++compared;
    }
    EXPECT_GT(compared, 20000);
}

TEST(Evaluate, DatabasesAskedBelowEightPiecesOnlyWhenSwitchedOn) {
    const char* seven = "W:W31,32,33,K40:B10,11,K1";
    EXPECT_NE(eval_with_fake(seven, EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(probe_calls, 0);
    settings().endgame_use = 1;
    EXPECT_EQ(eval_with_fake(seven, EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(probe_calls, 1);
    EXPECT_EQ(eval_with_fake(seven, EGDB_DRAW), 0);
    EXPECT_EQ(eval_with_fake(seven, EGDB_LOSS), -WIN_SCORE);
    EXPECT_EQ(eval_with_fake("B:W31,32,33,K40:B10,11,K1", EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(eval_with_fake(seven, EGDB_UNKNOWN), eval(seven));  // no answer: go on
    EXPECT_NE(eval_with_fake("W:W31,32,33,K40:B10,11,12,K1", EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(probe_calls, 0);
    // Counts that say fewer pieces than the board holds would ask with negative counts.
    Position bad = position("W:WK1,K2,K3,K4:BK50,K49");
    bad.record.white_count = 1;
    evaluate_with_probe(bad.side, bad.record, FULL, fake_probe);
    EXPECT_EQ(probe_calls, 0);
    // Nothing loaded: the program's own probe has no answer and the rules go on.
    EXPECT_EQ(eval("W:WK46:BK5"), -WIN_SCORE);
    EXPECT_EQ(eval("W:WK1,K2,30:BK50,20"), 3);
    settings().endgame_use = 0;
}

TEST(Evaluate, CountAndEvaluateRepairsAStaleRecord) {
    Position p = position("W:W30,31,K1:B10,K45,K46");
    const int score = evaluate(p.side, p.record, FULL);
    p.record.white_count = p.record.black_count = p.record.material = 77;
    EXPECT_EQ(count_and_evaluate(p.side, p.record, FULL), score);
    EXPECT_EQ(p.record.white_count, 3);
    EXPECT_EQ(p.record.black_count, 3);
    EXPECT_EQ(p.record.material, -220);  // men 100, kings 320
}
