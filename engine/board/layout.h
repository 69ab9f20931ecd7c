#pragma once
// The board layout.
//
// The 50 playing squares are spread over a 64-bit word so that the four diagonal
// neighbours of every square lie exactly 5 or 6 bit positions away:
//
//   squares  1- 5 -> bits 57-61      squares 26-30 -> bits 29-33
//   squares  6-10 -> bits 51-55      squares 31-35 -> bits 24-28
//   squares 11-15 -> bits 46-50      squares 36-40 -> bits 18-22
//   squares 16-20 -> bits 40-44      squares 41-45 -> bits 13-17
//   squares 21-25 -> bits 35-39      squares 46-50 -> bits  7-11
//
// Bits 12, 23, 34, 45 and 56 are ghost bits (one after every second row); bits 0-6,
// 62 and 63 are unused. A step off the board always lands on a ghost or unused bit,
// or is shifted out of the word. No set of the program ever holds those bits, so such
// a step finds neither an empty square nor a piece and no edge test is needed.
//
// +5 is one step up and to the left as White sees the board, +6 up and to the right,
// -5 down and to the right, -6 down and to the left. White's men step +5 and +6,
// Black's men -5 and -6. Whenever a record holds one value per direction, the order
// is +5, +6, -5, -6.

#include <array>
#include <bit>
#include <cstdint>

using Bitboard = std::uint64_t;

inline constexpr Bitboard SQUARE_BITS = 0x3EFFDFFBFF7FEF80ULL;

inline constexpr int DIRECTION_COUNT = 4;
inline constexpr std::array<int, DIRECTION_COUNT> DIRECTIONS = {5, 6, -5, -6};

// Square number 1-50 to bit position; entry 0 is unused.
inline constexpr std::array<std::uint8_t, 51> SQUARE_TO_BIT = [] {
    std::array<std::uint8_t, 51> table{};
    for (int s = 1; s <= 50; ++s) {
        const int row = (s - 1) / 5;
        table[s] = static_cast<std::uint8_t>(57 - 11 * (row / 2) - 6 * (row % 2) + (s - 1) % 5);
    }
    return table;
}();

// Bit position to square number; 0 for ghost and unused bits.
inline constexpr std::array<std::uint8_t, 64> BIT_TO_SQUARE = [] {
    std::array<std::uint8_t, 64> table{};
    for (int s = 1; s <= 50; ++s) table[SQUARE_TO_BIT[s]] = static_cast<std::uint8_t>(s);
    return table;
}();

// One bit per position; entries 64-67 are empty so that a position up to six past
// bit 61 can be looked up without a range test.
inline constexpr std::array<Bitboard, 68> BIT_MASK = [] {
    std::array<Bitboard, 68> table{};
    for (int b = 0; b < 64; ++b) table[b] = Bitboard{1} << b;
    return table;
}();

inline constexpr bool is_square_bit(int bit) {
    return bit >= 0 && bit < 64 && (SQUARE_BITS >> bit & 1) != 0;
}

// RAY[b][d]: the square bits met from b (included) stepping in direction d until the
// first position that is not a square bit. Empty for positions that are not squares.
inline constexpr std::array<std::array<Bitboard, DIRECTION_COUNT>, 64> RAY = [] {
    std::array<std::array<Bitboard, DIRECTION_COUNT>, 64> table{};
    for (int b = 0; b < 64; ++b) {
        if (!is_square_bit(b)) continue;
        for (int d = 0; d < DIRECTION_COUNT; ++d) {
            for (int s = b; is_square_bit(s); s += DIRECTIONS[d]) table[b][d] |= Bitboard{1} << s;
        }
    }
    return table;
}();

// Index of the lowest set bit of a 16-bit value; entry 0 is 0 (defined in board.cpp).
extern const std::array<std::uint8_t, 65536> LOWEST_BIT;

static_assert(std::popcount(SQUARE_BITS) == 50);
static_assert(SQUARE_TO_BIT[1] == 57 && SQUARE_TO_BIT[5] == 61 && SQUARE_TO_BIT[6] == 51);
static_assert(SQUARE_TO_BIT[46] == 7 && SQUARE_TO_BIT[50] == 11);
static_assert(BIT_TO_SQUARE[SQUARE_TO_BIT[47] + 5] == 41 && BIT_TO_SQUARE[SQUARE_TO_BIT[47] + 6] == 42);
static_assert(!is_square_bit(SQUARE_TO_BIT[46] + 5) && !is_square_bit(SQUARE_TO_BIT[45] + 6));

// Rows counted from the top: White crowns on squares 1-5, Black on squares 46-50.
inline constexpr Bitboard WHITE_CROWNING_ROW = 0x3EULL << 56;  // bits 57-61
inline constexpr Bitboard BLACK_CROWNING_ROW = 0x1FULL << 7;   // bits 7-11
static_assert(WHITE_CROWNING_ROW == (BIT_MASK[57] | BIT_MASK[58] | BIT_MASK[59] | BIT_MASK[60] | BIT_MASK[61]));

inline constexpr int lowest_bit(Bitboard b) { return std::countr_zero(b); }
