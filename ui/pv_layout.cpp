#include "ui/pv_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>

std::string pv_entry_text(const PvEntry& entry) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d%c%2d%c", entry.from, entry.kind % 2 == 1 ? '-' : 'x',
                  entry.to, entry.mark == 1 ? '!' : ' ');
    return text;
}

std::vector<PvCell> pv_cells(const PvEntry* entries, int length, bool white_to_move) {
    length = std::clamp(length, 0, PV_MAX);
    const int start_column = white_to_move ? 0 : 1;
    std::vector<PvCell> cells;
    cells.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const int k = i + start_column;
        cells.push_back({k % 2, k / 2, pv_entry_text(entries[i])});
    }
    return cells;
}

std::vector<PvCell> pv_cells(const GameState& state) {
    // The engine thread may be rebuilding the variation; each entry is read whole, and
    // the next rebuild repaints the window again.
    std::array<PvEntry, PV_MAX> entries{};
    for (int i = 0; i < PV_MAX; ++i) entries[i] = state.pv[i].load();
    return pv_cells(entries.data(), state.pv_length, state.side == WHITE);
}

int pv_cell_x(const PvCell& cell, int char_width) {
    return cell.column * 6 * char_width + 5;
}

int pv_cell_y(const PvCell& cell, int line_height) {
    return cell.row * line_height;
}
