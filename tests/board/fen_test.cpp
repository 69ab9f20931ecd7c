#include <gtest/gtest.h>

#include "engine/board/fen.h"
#include "tests/board/board_test_util.h"

TEST(Fen, ReadsSidesRangesAndKings) {
    Board board;
    Side side = WHITE;
    std::string error;
    ASSERT_TRUE(parse_fen("B:W18,24,27,K46:B12,13,K5", board, side, error)) << error;
    EXPECT_EQ(side, BLACK);
    EXPECT_EQ(board.white_men, squares_to_bits({18, 24, 27}));
    EXPECT_EQ(board.white_kings, squares_to_bits({46}));
    EXPECT_EQ(board.black_men, squares_to_bits({12, 13}));
    EXPECT_EQ(board.black_kings, squares_to_bits({5}));
    EXPECT_TRUE(board_is_consistent(board));

    Board start;
    setup_initial_position(start);
    ASSERT_TRUE(parse_fen("W:B1-20:W31-50", board, side, error)) << error;  // black list first
    EXPECT_EQ(board, start);
    EXPECT_EQ(side, WHITE);
    ASSERT_TRUE(parse_fen(" W:W:B1-20. ", board, side, error)) << error;   // empty list, PDN dot
    EXPECT_EQ(board.white(), 0u);
}

TEST(Fen, WritesWhatItReads) {
    for (const char* fen : {"W:W31-50:B1-20", "B:W18,24,27,K46:BK5,12-13", "W:WK1-5:BK46-50", "B:W:B"}) {
        Board board;
        Side side = WHITE;
        std::string error;
        ASSERT_TRUE(parse_fen(fen, board, side, error)) << error;
        EXPECT_EQ(to_fen(board, side), fen);
    }
}

TEST(Fen, RefusesBadInputWithoutTouchingTheBoard) {
    const char* bad[] = {"", "X:W31:B1", "W:W31:B1:W32", "W:W51:B1", "W:W0:B1", "W:W31,31:B1",
                         "W:W31:B31", "W:W3:B10", "W:W31:B47", "W:W31-:B1", "W:W35-31:B1",
                         "W:Wx:B1", "W:W31,,32:B1", "W:W31:W32", "W:Q31:B1", "W:W123:B1", ":W31:B1"};
    for (const char* fen : bad) {
        Board board;
        setup_initial_position(board);
        const Board before = board;
        Side side = BLACK;
        std::string error;
        EXPECT_FALSE(parse_fen(fen, board, side, error)) << fen;
        EXPECT_FALSE(error.empty()) << fen;
        EXPECT_EQ(board, before) << fen;
        EXPECT_EQ(side, BLACK) << fen;
    }
}
