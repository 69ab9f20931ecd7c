#include "engine/knowledge/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>

#include "engine/knowledge/egdb.h"
#include "engine/knowledge/patterns.h"
#include "records/settings.h"
#include "tests/knowledge/evaluation_test_util.h"

namespace {

constexpr int FULL = 30000;   // never takes the lazy exit
constexpr int ROOT = -30000;  // the driver's root evaluation

int eval(const std::string& fen, int bound = FULL) {
    Position p = position(fen);
    return evaluate(p.side, p.record, bound);
}

// Switches the endgame databases on for one test and off again afterwards.
struct DatabasesOn {
    DatabasesOn() { settings().endgame_use = 1; }
    ~DatabasesOn() { settings().endgame_use = 0; }
};

// A stand-in database: answers what it is told and remembers what it was asked.
struct FakeDatabase {
    static inline int answer = EGDB_UNKNOWN;
    static inline int calls = 0;
    static inline std::array<int, 4> counts{};
    static int probe(Side, const PlyRecord& p) {
        ++calls;
        std::copy(std::begin(p.type_counts), std::end(p.type_counts), counts.begin());
        return answer;
    }
    static int evaluate(const std::string& fen, int answer_to_give) {
        answer = answer_to_give;
        calls = 0;
        Position p = position(fen);
        return evaluate_with_probe(p.side, p.record, FULL, probe);
    }
};

bool four_kings_against_one(const PlyRecord& r) {
    const int wk = std::popcount(r.board.white_kings), bk = std::popcount(r.board.black_kings);
    return ((wk == 4 && bk == 1) || (wk == 1 && bk == 4)) && r.board.white_men == 0 &&
           r.board.black_men == 0;
}

bool special_ending(const PlyRecord& r) {
    return (r.white_count <= 3 && r.black_count <= 3) || four_kings_against_one(r);
}

}  // namespace

TEST(EvaluationTables, BitCountIsThePopulationCount) {
    std::mt19937_64 rng(7);
    for (Bitboard b : {Bitboard{0}, ~Bitboard{0}, SQUARE_BITS, Bitboard{1} << 63})
        EXPECT_EQ(bit_count(b), std::popcount(b));
    for (int i = 0; i < 10000; ++i) {
        const Bitboard b = rng() & rng();
        ASSERT_EQ(bit_count(b), std::popcount(b)) << b;
    }
}

TEST(EvaluationTables, ConesOfSquares28And16AreTheKnownOnes) {
    const PathCones& c28 = PathCone[SQUARE_TO_BIT[28]];
    EXPECT_EQ(c28.white_left, bits({22, 17, 18, 11, 12, 13, 6, 7, 8, 9, 1, 2, 3, 4}));
    EXPECT_EQ(c28.white_right, bits({23, 18, 19, 12, 13, 14, 7, 8, 9, 10, 1, 2, 3, 4, 5}));
    EXPECT_EQ(c28.black_right, bits({33, 38, 39, 42, 43, 44, 47, 48, 49, 50}));
    EXPECT_EQ(c28.black_left, bits({32, 37, 38, 41, 42, 43, 46, 47, 48, 49}));
    const PathCones& c16 = PathCone[SQUARE_TO_BIT[16]];
    EXPECT_EQ(c16.white_left, 0u);
    EXPECT_EQ(c16.black_left, 0u);
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

TEST(SmallEndings, KingsOnFiveAndFortySixLoseForTheSideToMove) {
    for (const char* fen : {"W:WK46:BK5", "B:WK46:BK5", "W:WK5:BK46", "B:WK5:BK46"}) {
        EXPECT_EQ(eval(fen), -WIN_SCORE) << fen;
    }
    for (const char* fen : {"W:WK46:BK4", "B:WK10:BK46", "W:WK1:BK50", "B:WK5:BK41"})
        EXPECT_EQ(eval(fen), 0) << fen;
}

TEST(SmallEndings, WithKingsOnBothSidesThreePerKingAndOnePerMan) {
    EXPECT_EQ(eval("W:WK1,K2,30:BK50,20"), 3);
    EXPECT_EQ(eval("B:WK1,K2,30:BK50,20"), -3);
    EXPECT_EQ(eval("W:WK1,30,31:BK50,K49"), -1);
}

TEST(SmallEndings, OtherwisePlainMaterialAndNothingElse) {
    EXPECT_EQ(eval("W:W30,31,32:B10,11"), 100);
    EXPECT_EQ(eval("B:W30,31,32:B10,11"), -100);
    EXPECT_EQ(eval("W:W8,31,32:B40,41"), 100);  // the man on 8 would earn 60 in a larger position
    EXPECT_EQ(eval("W:WK1,30:B10,11,12"), 120);
}

TEST(FourKingsAgainstOne, PaidForKingsOn41_46_47WhicheverColourHasThem) {
    EXPECT_EQ(eval("W:WK46,K41,K20,K25:BK3"), 4010);
    EXPECT_EQ(eval("B:WK46,K41,K20,K25:BK3"), -4010);
    EXPECT_EQ(eval("B:WK3:BK46,K41,K20,K25"), 4010);
    EXPECT_EQ(eval("W:WK3:BK46,K41,K20,K25"), -4010);
    EXPECT_EQ(eval("W:WK47,K46,K41,K20:BK3"), 4015);
    EXPECT_EQ(eval("W:WK5,K10,K4,K20:BK3"), 4000);
}

TEST(FreePath, PaysPerOpenConeByDistanceToPromotion) {
    EXPECT_EQ(free_path_sum(position("W:W16:B3,4,5").record.board), 20);
    EXPECT_EQ(free_path_sum(position("W:W8:BK50").record.board), 60);
    EXPECT_EQ(free_path_sum(position("W:W16:B7").record.board), 10);
    EXPECT_EQ(free_path_sum(position("W:W6:B1").record.board), 30);
    EXPECT_EQ(free_path_sum(position("W:WK1:B43").record.board), -60);
    EXPECT_EQ(free_path_sum(position("W:W49:B43").record.board), -30);
    EXPECT_EQ(free_path_sum(position("W:W21,22,23,24,25:B26,27,28,29,30").record.board), 0);
    EXPECT_EQ(free_path_sum(position("W:W31-35:B16-20").record.board), 0);  // outside the zones
}

TEST(FreePath, OnlyMenOfTheOtherSideBlock) {
    EXPECT_EQ(free_path_sum(position("W:W16:BK7,K1").record.board), 20);
    EXPECT_EQ(free_path_sum(position("W:W16,K7:B3").record.board), 20);
    EXPECT_EQ(free_path_sum(position("W:W16,7:B3").record.board), 80);  // 7 earns 60 itself
}

TEST(Evaluate, KnownAnswerWithoutKings) {
    // Material 300, free path 20 (man on 16); back squares +2 -2; centre 48,49 +4 and
    // 3 -2; left wing 3 against 0 +9; rules 21 (-1), 41 (-5), 42 (+5).
    EXPECT_EQ(eval("W:W16,46,47,48,49:B3,4"), 330);
    EXPECT_EQ(eval("B:W16,46,47,48,49:B3,4"), -330);
    EXPECT_EQ(eval("W:W16,46,47,48,49:B3,4", ROOT), 320);
    // Without 47: 200 + 20; a left wing of 2 against 0 is still paid (+6); back
    // squares, centre and rules as above (+1).
    EXPECT_EQ(eval("W:W16,46,48,49:B3,4"), 227);
}

TEST(Evaluate, WithKingsOnBothSidesHalvesTruncatingTowardZero) {
    // Material and free paths cancel (14: +40; 36: -40). Positional -15: rules 37, 39
    // and 41, nothing else. Halved: -7, not -8.
    EXPECT_EQ(eval("W:W14,26,44,K48:B6,24,36,K43"), -7);
    EXPECT_EQ(eval("B:W14,26,44,K48:B6,24,36,K43"), 7);
    // Base 300 + 20 halved to 160; positional 5 (the known answer above with 42
    // blocked by the king on 1) halved to 2.
    EXPECT_EQ(eval("W:W16,46,47,48,49,K30:B3,4,K1"), 162);
    EXPECT_EQ(eval("B:W16,46,47,48,49,K30:B3,4,K1"), -162);
}

TEST(Evaluate, FillsTypeCountsOnEveryRoute) {
    for (const char* fen :
         {"W:WK46:BK5", "W:W31-50:B1-20", "W:WK46,K41,K20,K25:BK3", "B:W30,K40,K45,31:B1,2,K3,4"}) {
        Position p = position(fen);
        std::fill(std::begin(p.record.type_counts), std::end(p.record.type_counts), -9);
        evaluate(p.side, p.record, FULL);
        const Board& b = p.record.board;
        const int expected[4] = {std::popcount(b.white_men), std::popcount(b.white_kings),
                                 std::popcount(b.black_men), std::popcount(b.black_kings)};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p.record.type_counts[i], expected[i]) << fen << " " << i;
    }
}

TEST(LazyExit, RootBoundLeavesMaterialAndFreePathsOnly) {
    int positional_seen = 0;
    for (Position& p : random_game_positions(11, 200)) {
        if (special_ending(p.record)) continue;
        const Board& b = p.record.board;
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
}

TEST(Evaluate, ExtremeBoundsAndContradictoryCountsAreHarmless) {
    Position p = position("W:W16,46,47,48,49:B3,4");
    EXPECT_EQ(evaluate(p.side, p.record, INT_MIN), 320);
    EXPECT_EQ(evaluate(p.side, p.record, INT_MAX), 330);
    // A record whose counts say fewer pieces than its board holds: the databases are
    // not asked with negative counts.
    DatabasesOn on;
    Position bad = position("W:WK1,K2,K3,K4:BK50,K49");
    bad.record.white_count = 1;
    FakeDatabase::calls = 0;
    evaluate_with_probe(bad.side, bad.record, FULL, FakeDatabase::probe);
    EXPECT_EQ(FakeDatabase::calls, 0);
    EXPECT_EQ(evaluate_with_probe(bad.side, bad.record, FULL, nullptr),
              evaluate(bad.side, bad.record, FULL));
}

TEST(Evaluate, ColourMirrorGivesTheSameScore) {
    // Rules 25 and 26 are not each other's mirror, so positions where either fires
    // (before or after mirroring) are left out; so is four kings against one, whose
    // squares are the same for both colours.
    auto asymmetric = [](const Position& p) {
        return pattern_fires(PATTERN_RULES[24], p.record.board) ||
               pattern_fires(PATTERN_RULES[25], p.record.board);
    };
    std::vector<Position> positions = random_game_positions(5, 300);
    const std::vector<Position> placed = random_placements(6, 20000);
    positions.insert(positions.end(), placed.begin(), placed.end());
    int compared = 0;
    for (Position& p : positions) {
        Position m = colour_mirror(p);
        if (asymmetric(p) || asymmetric(m) || four_kings_against_one(p.record)) continue;
        for (int bound : {FULL, 0, ROOT}) {
            ASSERT_EQ(evaluate(p.side, p.record, bound), evaluate(m.side, m.record, bound))
                << to_fen(p.record.board, p.side) << " bound " << bound;
        }
        ++compared;
    }
    EXPECT_GT(compared, 20000);
}

TEST(Databases, AskedBelowEightPiecesWhenSwitchedOn) {
    DatabasesOn on;
    const char* seven = "W:W31,32,33,K40:B10,11,K1";
    EXPECT_EQ(FakeDatabase::evaluate(seven, EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(FakeDatabase::calls, 1);
    EXPECT_EQ(FakeDatabase::counts, (std::array<int, 4>{3, 1, 2, 1}));
    EXPECT_EQ(FakeDatabase::evaluate(seven, EGDB_DRAW), 0);
    EXPECT_EQ(FakeDatabase::evaluate(seven, EGDB_LOSS), -WIN_SCORE);
    EXPECT_EQ(FakeDatabase::evaluate("B:W31,32,33,K40:B10,11,K1", EGDB_WIN), WIN_SCORE);
    // No answer: the evaluation goes on as without databases.
    EXPECT_EQ(FakeDatabase::evaluate(seven, EGDB_UNKNOWN), eval(seven));
    EXPECT_EQ(FakeDatabase::evaluate("W:WK46:BK5", EGDB_UNKNOWN), -WIN_SCORE);
    EXPECT_EQ(FakeDatabase::calls, 1);
}

TEST(Databases, NotAskedFromEightPiecesOrWhenSwitchedOff) {
    const char* seven = "W:W31,32,33,K40:B10,11,K1";
    EXPECT_NE(FakeDatabase::evaluate(seven, EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(FakeDatabase::calls, 0);
    DatabasesOn on;
    EXPECT_NE(FakeDatabase::evaluate("W:W31,32,33,K40:B10,11,12,K1", EGDB_WIN), WIN_SCORE);
    EXPECT_EQ(FakeDatabase::calls, 0);
}

TEST(Databases, WithoutLoadedDatabasesTheEvaluationContinues) {
    DatabasesOn on;
    EXPECT_EQ(eval("W:WK46:BK5"), -WIN_SCORE);
    EXPECT_EQ(eval("W:WK1,K2,30:BK50,20"), 3);
}

TEST(HasFreeMan, WhiteToMoveAsksAboutBlacksMenOn26To45) {
    auto free_man = [](const char* fen) {
        Position p = position(fen);
        return has_free_man(p.side, p.record);
    };
    EXPECT_FALSE(free_man("W:W46,47,48,49,50:B28"));
    EXPECT_TRUE(free_man("W:W46:B28"));       // right cone open
    EXPECT_TRUE(free_man("W:W50:B28"));       // left cone open
    EXPECT_TRUE(free_man("W:W41-50:B36"));    // edge: the missing cone counts as open
    EXPECT_TRUE(free_man("W:W50:B27"));       // row 5 counts although it earns nothing
    EXPECT_FALSE(free_man("W:W46:B20,K28"));  // outside the zone, or a king
    EXPECT_FALSE(free_man("W:W8:BK1"));       // White's own men are not asked about
}

TEST(HasFreeMan, BlackToMoveAsksAboutWhitesMenOn6To25) {
    auto free_man = [](const char* fen) {
        Position p = position(fen);
        return has_free_man(p.side, p.record);
    };
    EXPECT_FALSE(free_man("B:W8:B2,3"));
    EXPECT_TRUE(free_man("B:W8:B2"));
    EXPECT_TRUE(free_man("B:W25:B4,5,9,10,14,15,19,20"));  // the man on 25 has no right cone
    EXPECT_FALSE(free_man("B:W26,31:B"));
}

TEST(CountMaterial, RecountsFromTheFourPieceSets) {
    Position p = position("W:W30,31,K1:B10,K45,K46");
    p.record.white_count = p.record.black_count = p.record.material = 77;
    count_material(p.record);
    EXPECT_EQ(p.record.white_count, 3);
    EXPECT_EQ(p.record.black_count, 3);
    EXPECT_EQ(p.record.material, -220);
    // Agrees with what making moves keeps up, and count_and_evaluate repairs a stale record.
    for (Position& made : random_game_positions(3, 100)) {
        PlyRecord copy = made.record;
        const int score = evaluate(made.side, made.record, FULL);
        copy.white_count = copy.black_count = copy.material = 0;
        ASSERT_EQ(count_and_evaluate(made.side, copy, FULL), score);
        ASSERT_EQ(copy.white_count, made.record.white_count);
        ASSERT_EQ(copy.black_count, made.record.black_count);
        ASSERT_EQ(copy.material, made.record.material);
    }
}
