#pragma once
// Board geometry by square number for the evaluations: rows from the top (row 0 holds
// squares 1-5), columns from the left edge as White sees the board, and square sets.

#include <array>
#include <cstdint>
#include <initializer_list>

#include "engine/board/layout.h"

namespace geometry {

constexpr int square_row(int s) {
    return (s - 1) / 5;
}
constexpr int square_column(int s) {
    return 2 * ((s - 1) % 5) + (square_row(s) % 2 == 0 ? 1 : 0);
}

// The square at a row and column, 0 where the board has none (off the board, or a
// light square).
constexpr int square_at(int row, int column) {
    if (row < 0 || row > 9 || column < 0 || column > 9 || (row + column) % 2 == 0) return 0;
    return row * 5 + column / 2 + 1;
}

constexpr Bitboard square_bit(int s) {
    return BIT_MASK[SQUARE_TO_BIT[s]];
}

constexpr Bitboard squares(std::initializer_list<int> list) {
    Bitboard mask = 0;
    for (int s : list) mask |= square_bit(s);
    return mask;
}

constexpr Bitboard square_range(int first, int last) {
    Bitboard mask = 0;
    for (int s = first; s <= last; ++s) mask |= square_bit(s);
    return mask;
}

// Row of every bit position (0 for bits that are no square).
inline constexpr std::array<std::int8_t, 64> ROW = [] {
    std::array<std::int8_t, 64> table{};
    for (int s = 1; s <= 50; ++s) table[SQUARE_TO_BIT[s]] = static_cast<std::int8_t>(square_row(s));
    return table;
}();

}  // namespace geometry
