// The PV window's two columns.

#include "ui/pv_layout.h"

#include <gtest/gtest.h>

namespace {

constexpr PvEntry QUIET_ENTRY{1, 32, 28, 0};
constexpr PvEntry SINGULAR_CAPTURE_ENTRY{6, 19, 30, 1};
constexpr PvEntry KING_CAPTURE_ENTRY{4, 5, 46, 0};

}  // namespace

TEST(PvLayout, EntryTextMarksCapturesAndSingularMoves) {
    EXPECT_EQ(pv_entry_text(QUIET_ENTRY), "32-28 ");
    EXPECT_EQ(pv_entry_text(SINGULAR_CAPTURE_ENTRY), "19x30!");
    EXPECT_EQ(pv_entry_text(KING_CAPTURE_ENTRY), " 5x46 ");
    EXPECT_EQ(pv_entry_text(PvEntry{7, 1, 6, 0}), " 1- 6 ");
}

TEST(PvLayout, WhiteToMoveStartsInTheLeftColumn) {
    const PvEntry pv[] = {QUIET_ENTRY, SINGULAR_CAPTURE_ENTRY, KING_CAPTURE_ENTRY};
    const auto cells = pv_cells(pv, 3, true);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].column, 0);
    EXPECT_EQ(cells[0].row, 0);
    EXPECT_EQ(cells[1].column, 1);
    EXPECT_EQ(cells[1].row, 0);
    EXPECT_EQ(cells[2].column, 0);
    EXPECT_EQ(cells[2].row, 1);
    EXPECT_EQ(cells[1].text, "19x30!");
}

TEST(PvLayout, BlackToMoveStartsInTheRightColumnOfTheFirstLine) {
    const PvEntry pv[] = {SINGULAR_CAPTURE_ENTRY, QUIET_ENTRY, SINGULAR_CAPTURE_ENTRY};
    const auto cells = pv_cells(pv, 3, false);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].column, 1);
    EXPECT_EQ(cells[0].row, 0);
    EXPECT_EQ(cells[1].column, 0);
    EXPECT_EQ(cells[1].row, 1);
    EXPECT_EQ(cells[2].column, 1);
    EXPECT_EQ(cells[2].row, 1);
}

TEST(PvLayout, CellPositionsInPixels) {
    const PvCell left{0, 3, ""};
    const PvCell right{1, 3, ""};
    EXPECT_EQ(pv_cell_x(left, 8), 5);
    EXPECT_EQ(pv_cell_x(right, 8), 53);
    EXPECT_EQ(pv_cell_y(right, 15), 45);
}

TEST(PvLayout, LengthIsClampedToTheVariation) {
    PvEntry pv[PV_MAX];
    for (PvEntry& entry : pv) entry = QUIET_ENTRY;
    EXPECT_TRUE(pv_cells(pv, 0, true).empty());
    EXPECT_TRUE(pv_cells(pv, -3, true).empty());
    EXPECT_EQ(pv_cells(pv, 40, true).size(), static_cast<std::size_t>(PV_MAX));
    // Sixteen entries with Black to move end in the left column of line 8.
    const auto cells = pv_cells(pv, PV_MAX, false);
    EXPECT_EQ(cells.back().row, 8);
    EXPECT_EQ(cells.back().column, 0);
}

TEST(PvLayout, ReadsTheGameStatesVariation) {
    GameState state;
    state.side = BLACK;
    state.pv_length = 2;
    state.pv[0] = SINGULAR_CAPTURE_ENTRY;
    state.pv[1] = QUIET_ENTRY;
    state.pv[2] = KING_CAPTURE_ENTRY;  // beyond the length: not shown
    const auto cells = pv_cells(state);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].column, 1);
    EXPECT_EQ(cells[0].text, "19x30!");
    EXPECT_EQ(cells[1].text, "32-28 ");
}
