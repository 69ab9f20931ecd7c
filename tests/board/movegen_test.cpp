#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "tests/board/board_test_util.h"
#include "tests/board/random_positions.h"

using Moves = std::vector<std::string>;

TEST(MoveGen, StartPositionInGenerationOrder) {
    TestPosition p("W:W31-50:B1-20");
    EXPECT_EQ(p.moves(), (Moves{"31-26", "32-27", "33-28", "34-29", "35-30", "31-27", "32-28", "33-29", "34-30"}));
    EXPECT_EQ(p.root().max_captured, 0);
    EXPECT_EQ(p.root().capture_flags, 0u);
}

TEST(MoveGen, BlackMenStepMinusFiveThenMinusSix) {
    TestPosition p("B:W31-50:B16-20");
    EXPECT_EQ(p.moves(), (Moves{"16-21", "17-22", "18-23", "19-24", "20-25", "17-21", "18-22", "19-23", "20-24"}));
}

TEST(MoveGen, KingsSlideNearestSquareFirst) {
    TestPosition p("W:WK46,K48:B");
    // +5 (up-left) first, then +6, -5, -6; the king on 46 has only the long diagonal.
    EXPECT_EQ(p.moves(), (Moves{"46-41", "46-37", "46-32", "46-28", "46-23", "46-19", "46-14", "46-10",
                                "46-5", "48-42", "48-37", "48-31", "48-26", "48-43", "48-39", "48-34",
                                "48-30", "48-25"}));
    EXPECT_EQ(TestPosition("W:WK28:B").moves().size(), 17u);
    EXPECT_EQ(TestPosition("B:W:BK1").moves().size(), 9u);
    EXPECT_EQ(TestPosition("W:W28:B").moves(), (Moves{"28-22", "28-23"}));
}

TEST(MoveGen, CapturesInGenerationOrder) {
    // Men before kings, kings in bit order along +5, +6, -5, -6, and each path's end
    // squares nearest first, whether it turns, goes straight on or stops.
    EXPECT_EQ(TestPosition("W:WK19,K39,47:B1,3,5,K8,K13,K17,K28,K32,K41,42,K45,K50").moves(),
              (Moves{"47x27 (32,42)", "39x9 (13,28)", "39x4 (13,28)", "39x11 (17,28)", "39x6 (17,28)"}));
    EXPECT_EQ(TestPosition("W:WK3,13,K16,43,K44,45,48,50:BK1,5,K8,14,17,K19,K22,23,26,29,34,41,K47,K49").moves(),
              (Moves{"13x33 (19,29)", "3x33 (14,29)", "3x38 (14,29)", "3x42 (14,29)", "3x39 (14,34)",
                     "3x21 (8,17)"}));
    EXPECT_EQ(TestPosition("W:WK5,K8,K10,K19,29-30,K46,50:B2,K4,K13,16-17,K23,33,K34,K40,41,K42,K44,K47-48").moves(),
              (Moves{"50x28 (33,44)", "29x9 (13,23)", "30x28 (33,34)", "46x11 (17,41)", "46x6 (17,41)",
                     "46x39 (33,41)", "19x39 (23,33)", "19x11 (17,23)", "19x6 (17,23)"}));
    EXPECT_EQ(TestPosition("W:WK18-19,K42,K49-50:B4,K9,16,K17,27,K33,34,K46").moves(),
              (Moves{"49x28 (9,17,27,33,34)", "49x22 (9,17,27,33,34)", "42x30 (9,17,27,33,34)",
                     "42x25 (9,17,27,33,34)"}));
}

// FMJD rule positions and their legal moves, from the published reference data
// (../shared/reference/perft-and-rules.md, "Rule positions"). Each entry is compared as
// a set of distinct moves; duplicate paths are checked separately below.
struct RuleCase {
    const char* rule;
    const char* fen;
    Moves moves;
};

class FmjdRules : public testing::TestWithParam<RuleCase> {};

TEST_P(FmjdRules, ListExactlyTheLegalMoves) {
    TestPosition p(GetParam().fen);
    Moves moves = p.moves();
    std::sort(moves.begin(), moves.end());
    moves.erase(std::unique(moves.begin(), moves.end()), moves.end());
    Moves expected = GetParam().moves;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(moves, expected) << GetParam().rule;
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceData, FmjdRules,
    testing::Values(
        RuleCase{"man captures (4.2)", "W:W28,32:B23", {"28x19 (23)"}},
        RuleCase{"man captures backward (4.2)", "W:W35:B30,K40", {"35x24 (30)", "35x44 (40)"}},
        RuleCase{"king lands anywhere behind (4.3)", "W:WK46:B23",
                 {"46x19 (23)", "46x14 (23)", "46x10 (23)", "46x5 (23)"}},
        RuleCase{"man continues (4.5)", "W:W15:B8,19,20", {"15x2 (8,19,20)"}},
        RuleCase{"long man capture (4.5)", "W:W47:B13,14,22,24,31,34,K41,44",
                 {"47x49 (13,14,22,24,31,34,41,44)"}},
        RuleCase{"king continues (4.6)", "W:WK47:B9,12,33",
                 {"47x17 (9,12,33)", "47x21 (9,12,33)", "47x26 (9,12,33)"}},
        RuleCase{"king continues (4.6)", "W:WK1:B7,9,17,19,20,30,31,33,43,44",
                 {"1x15 (7,9,17,19,20,30,31,33,43,44)"}},
        RuleCase{"several pieces (4.8)", "W:WK41,49:B9,10,12,19,38", {"41x43 (9,12,19,38)"}},
        RuleCase{"pieces leave only after the capture (4.8)", "B:W27,28,38,39,42:BK25",
                 {"25x33 (27,28,39,42)"}},
        RuleCase{"majority rule (4.13)", "W:W48:B24,K31,34,K42,43", {"48x19 (24,34,43)"}},
        RuleCase{"majority counts pieces, not value (4.13)", "W:WK48:B7,8,31,34,K42,44",
                 {"48x50 (7,8,34,44)"}},
        RuleCase{"kings count as one piece (4.14)", "W:W26:B12,K21,31,32", {"26x8 (12,21)", "26x28 (31,32)"}},
        RuleCase{"no crowning while passing the last row (4.15)", "W:W15:B9,10", {"15x13 (9,10)"}},
        RuleCase{"king ends anywhere round the ring", "W:WK38:B22,23,32,33",
                 {"38x38 (22,23,32,33)", "38x42 (22,23,32,33)", "38x47 (22,23,32,33)",
                  "38x43 (22,23,32,33)", "38x49 (22,23,32,33)"}}),
    [](const testing::TestParamInfo<RuleCase>& param) { return "case" + std::to_string(param.index); });

TEST(MoveGen, DuplicatePathsAreBothListed) {
    // The man takes the ring of four either way round and comes back to 38: two paths.
    TestPosition p("W:W38:B22,23,32,33");
    EXPECT_EQ(p.moves(), (Moves{"38x38 (22,23,32,33)", "38x38 (22,23,32,33)"}));
    EXPECT_EQ(p.root().moves[0].word, p.root().moves[1].word);
    EXPECT_EQ(p.root().moves[0].remaining, p.root().moves[1].remaining);
    EXPECT_EQ(move_from(p.root().moves[0].word), move_to(p.root().moves[0].word));
    EXPECT_EQ(move_kind(p.root().moves[0].word), WHITE_MAN_CAPTURE);
}

TEST(MoveGen, CaptureMayCrossItsOwnStartingSquare) {
    // Round the ring 33, 23, 22, 32 (either way) back through 38, which counts as empty,
    // then on over 43 to 49. A man ending on 49 is not crowned.
    TestPosition p("W:W38:B22,23,32,33,43");
    EXPECT_EQ(p.moves(), (Moves{"38x49 (22,23,32,33,43)", "38x49 (22,23,32,33,43)"}));
}

TEST(MoveGen, CapturingIsCompulsoryAndOnlyMaximalCapturesRemain) {
    TestPosition p("W:W31-50:B1-20,27");
    EXPECT_EQ(p.moves(), (Moves{"31x22 (27)", "32x21 (27)"}));
    EXPECT_EQ(p.root().max_captured, 1);
    EXPECT_EQ(p.root().capture_flags & WHITE_MAN_CAN_CAPTURE, WHITE_MAN_CAN_CAPTURE);

    // The man on 38 can take one piece, the king on 46 two: only the king's moves count.
    TestPosition king_two("W:W38,K46:B32,33");
    EXPECT_EQ(king_two.moves(), (Moves{"46x39 (32,33)", "46x44 (32,33)", "46x50 (32,33)"}));
    EXPECT_EQ(king_two.root().capture_flags & (WHITE_MAN_CAN_CAPTURE | WHITE_KING_CAN_CAPTURE),
              WHITE_MAN_CAN_CAPTURE | WHITE_KING_CAN_CAPTURE);

    // And the other way round: the king on 5 takes one, the man on 37 two.
    EXPECT_EQ(TestPosition("W:W19,37,K5:B10,21,31").moves(), (Moves{"37x17 (21,31)"}));
}

TEST(MoveGen, TakenPiecesStayUntilTheEnd) {
    // Round the ring and no further: the man may not jump a piece twice, which would
    // let it go round again.
    TestPosition p("W:W38:B22,23,32,33");
    p.moves();
    EXPECT_EQ(p.root().max_captured, 4);
    EXPECT_EQ(p.root().move_count, 2);
}

TEST(MoveGen, NoLegalMoves) {
    EXPECT_TRUE(TestPosition("W:W:B1-20").moves().empty());
    EXPECT_TRUE(TestPosition("W:W46:B41,37").moves().empty());  // blocked man
    EXPECT_TRUE(TestPosition("B:W31-50:B").moves().empty());
}

TEST(MoveGen, AListThatDoesNotFitIsCutAndMarked) {
    TestPosition quiet("W:W31-50:B1-20");
    quiet.root().moves_limit = quiet.root().moves + 3;
    EXPECT_EQ(quiet.moves(), (Moves{"31-26", "32-27", "33-28"}));
    EXPECT_NE(quiet.root().capture_flags & MOVE_LIST_OVERFLOW, 0u);
    EXPECT_EQ(quiet.stack->plies[1].moves, quiet.root().moves + 3);

    TestPosition captures("W:WK38:B22,23,32,33");
    captures.root().moves_limit = captures.root().moves + 2;
    EXPECT_EQ(captures.moves().size(), 2u);
    EXPECT_NE(captures.root().capture_flags & MOVE_LIST_OVERFLOW, 0u);
    EXPECT_EQ(captures.root().max_captured, 4);
}

TEST(MoveGen, TheSearchsShortcutsAgreeWithTheFullList) {
    // find_own_captures + list_moves, count_moves and has_quiet_move answer as
    // generate_moves does, on random positions of every density, kings included.
    std::mt19937_64 rng(16);
    std::uniform_int_distribution<int> count(1, 20);
    auto full = std::make_unique<PlyStack>();
    auto own = std::make_unique<PlyStack>();
    for (int i = 0; i < 20000; ++i) {
        const Board board = random_board(rng, count(rng), count(rng), (i % 4) * 0.3);
        const Side side = i % 2 ? WHITE : BLACK;
        full->reset();
        own->reset();
        set_record_position(full->plies[0], board, side);
        set_record_position(own->plies[0], board, side);
        PlyRecord& expected = full->plies[0];
        PlyRecord& record = own->plies[0];
        generate_moves(side, expected);
        find_own_captures(side, record);
        list_moves(side, record);
        ASSERT_EQ(record.move_count, expected.move_count) << to_fen(board, side);
        ASSERT_EQ(record.max_captured, expected.max_captured);
        for (int m = 0; m < expected.move_count; ++m) {
            ASSERT_EQ(record.moves[m].word, expected.moves[m].word) << to_fen(board, side) << " move " << m;
            if (expected.max_captured > 0) {
                ASSERT_EQ(record.moves[m].remaining, expected.moves[m].remaining);
            }
        }
        ASSERT_EQ(count_moves(side, record), expected.move_count) << to_fen(board, side);
        if (expected.max_captured == 0) {
            ASSERT_EQ(has_quiet_move(side, board), expected.move_count > 0) << to_fen(board, side);
        }
    }
}
