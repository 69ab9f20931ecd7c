#pragma once
// The PV window's arithmetic: the principal variation in two columns, White's moves on
// the left and Black's on the right, one move pair a line. When Black is to move the
// first move stands in the right column of the first line.

#include <string>
#include <vector>

#include "records/game_state.h"

struct PvCell {
    int column = 0;  // 0 White, 1 Black
    int row = 0;
    std::string text;  // "%2d%c%2d%c": from, "-" or "x", to, "!" for a singular move
};

// The cells of the first `length` entries (clamped to 0..PV_MAX).
std::vector<PvCell> pv_cells(const PvEntry* entries, int length, bool white_to_move);
// The same, read from the game state's variation and side to move.
std::vector<PvCell> pv_cells(const GameState& state);

std::string pv_entry_text(const PvEntry& entry);

// Pixel position of a cell: x = column x 6 character widths + 5, y = row x line height.
int pv_cell_x(const PvCell& cell, int char_width);
int pv_cell_y(const PvCell& cell, int line_height);
