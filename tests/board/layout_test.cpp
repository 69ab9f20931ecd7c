#include <gtest/gtest.h>

#include "engine/board/board.h"
#include "tests/board/board_test_util.h"

TEST(Layout, SquaresLieOnTheirRowsBits) {
    // First bit of each row of five squares, from the top row down.
    const int first_bit[10] = {57, 51, 46, 40, 35, 29, 24, 18, 13, 7};
    for (int s = 1; s <= 50; ++s) {
        EXPECT_EQ(SQUARE_TO_BIT[s], first_bit[(s - 1) / 5] + (s - 1) % 5) << "square " << s;
        EXPECT_EQ(BIT_TO_SQUARE[SQUARE_TO_BIT[s]], s);
    }
    for (int ghost : {12, 23, 34, 45, 56, 0, 6, 62, 63}) EXPECT_EQ(BIT_TO_SQUARE[ghost], 0) << ghost;
    EXPECT_EQ(static_cast<std::uint32_t>(SQUARE_BITS), 0xFF7FEF80u);
    EXPECT_EQ(static_cast<std::uint32_t>(SQUARE_BITS >> 32), 0x3EFFDFFBu);
}

TEST(Layout, DiagonalNeighboursAreFiveOrSixBitsAway) {
    // Every pair of diagonal neighbours, computed from rows and columns, differs by
    // 5 or 6 bits in the direction the layout promises.
    auto column = [](int s) { int r = (s - 1) / 5; return 2 * ((s - 1) % 5) + (r % 2 == 0 ? 1 : 0); };
    for (int s = 1; s <= 50; ++s) {
        for (int t = 1; t <= 50; ++t) {
            const int dr = (t - 1) / 5 - (s - 1) / 5;
            const int dc = column(t) - column(s);
            if (dr != -1 || (dc != -1 && dc != 1)) continue;  // t one row up from s
            EXPECT_EQ(SQUARE_TO_BIT[t] - SQUARE_TO_BIT[s], dc == -1 ? 5 : 6) << s << "->" << t;
        }
    }
}

TEST(Layout, RaysFollowDiagonalsToTheEdge) {
    EXPECT_EQ(RAY[SQUARE_TO_BIT[46]][1], squares_to_bits({46, 41, 37, 32, 28, 23, 19, 14, 10, 5}));
    EXPECT_EQ(RAY[SQUARE_TO_BIT[46]][0], squares_to_bits({46}));
    EXPECT_EQ(RAY[SQUARE_TO_BIT[5]][0], squares_to_bits({5}));
    EXPECT_EQ(RAY[SQUARE_TO_BIT[5]][1], squares_to_bits({5}));
    EXPECT_EQ(RAY[SQUARE_TO_BIT[28]][3], squares_to_bits({28, 32, 37, 41, 46}));
    for (int bit : {0, 6, 12, 23, 34, 45, 56, 62, 63}) {
        for (int d = 0; d < 4; ++d) EXPECT_EQ(RAY[bit][d], 0u) << bit;
    }
    for (int b = 64; b < 68; ++b) EXPECT_EQ(BIT_MASK[b], 0u);
}

TEST(Layout, BitsToListIsAscending) {
    for (unsigned v = 0; v < 65536; ++v) ASSERT_EQ(LOWEST_BIT[v], v ? std::countr_zero(v) : 0);
    Board board;
    setup_initial_position(board);
    int list[65];
    bits_to_list(board.white_men, list);
    ASSERT_EQ(list[0], 20);
    const int expected[20] = {46, 47, 48, 49, 50, 41, 42, 43, 44, 45, 36, 37, 38, 39, 40, 31, 32, 33, 34, 35};
    for (int i = 0; i < 20; ++i) EXPECT_EQ(BIT_TO_SQUARE[list[i + 1]], expected[i]);
}

TEST(Positions, StartAndEmpty) {
    Board board;
    setup_initial_position(board);
    EXPECT_TRUE(board_is_consistent(board));
    for (int s = 1; s <= 50; ++s) {
        EXPECT_EQ(piece_on_square(s, board), s <= 20 ? BLACK_MAN : s <= 30 ? EMPTY_SQUARE : WHITE_MAN) << s;
    }
    // White's opening steps, found with two shifts.
    EXPECT_EQ(board.white_men << 5 & board.empty, squares_to_bits({26, 27, 28, 29, 30}));
    EXPECT_EQ(board.white_men << 6 & board.empty, squares_to_bits({27, 28, 29, 30}));

    setup_empty_position(board);
    EXPECT_TRUE(board_is_consistent(board));
    for (int s = 1; s <= 50; ++s) EXPECT_EQ(piece_on_square(s, board), EMPTY_SQUARE);
    EXPECT_EQ(piece_on_square(0, board), NO_SQUARE);
    EXPECT_EQ(piece_on_square(51, board), NO_SQUARE);
}
