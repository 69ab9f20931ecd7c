// The PV window's two columns.

#include "ui/pv_layout.h"

#include <gtest/gtest.h>

// White's moves on the left, Black's on the right: with Black to move the first line
// has only its right column. Captures show "x", singular moves "!".
TEST(PvLayout, TheSideToMoveChoosesTheFirstColumn) {
    const PvEntry pv[] = {{1, 32, 28, 0}, {6, 19, 30, 1}, {4, 5, 46, 0}};
    for (const bool white : {true, false}) {
        const auto cells = pv_cells(pv, 3, white);
        ASSERT_EQ(cells.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const int slot = i + (white ? 0 : 1);
            EXPECT_EQ(cells[i].column, slot % 2) << white << i;
            EXPECT_EQ(cells[i].row, slot / 2) << white << i;
        }
        EXPECT_EQ(cells[0].text, "32-28 ");
        EXPECT_EQ(cells[1].text, "19x30!");
        EXPECT_EQ(cells[2].text, " 5x46 ");
    }
    EXPECT_EQ(pv_cell_x(PvCell{1, 3, ""}, 8), 53);
    EXPECT_EQ(pv_cell_y(PvCell{1, 3, ""}, 15), 45);
}

TEST(PvLayout, TheGameStatesVariationUpToItsLength) {
    PvEntry pv[PV_MAX];
    EXPECT_TRUE(pv_cells(pv, -3, true).empty());
    EXPECT_EQ(pv_cells(pv, 40, true).size(), static_cast<std::size_t>(PV_MAX));

    GameState state;
    state.side = BLACK;
    state.pv_length = 1;
    state.pv[0] = {6, 19, 30, 1};
    state.pv[1] = {1, 32, 28, 0};  // beyond the length: not shown
    const auto cells = pv_cells(state);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].column, 1);
    EXPECT_EQ(cells[0].text, "19x30!");
}
