#include "engine/knowledge/strong_regions.h"

#if defined(__BMI2__)
#include <immintrin.h>
#endif

#include <bit>

#include "engine/knowledge/geometry.h"

namespace {

using geometry::square_bit;

constexpr std::array<Bitboard, REGION_WINDOWS> make_masks() {
    std::array<Bitboard, REGION_WINDOWS> masks{};
    for (int t = 0; t < REGION_TABLES; ++t) {
        const int top = 2 * (t / 4), left = 2 * (t % 4);
        for (int s = 1; s <= 50; ++s) {
            const int row = geometry::square_row(s), column = geometry::square_column(s);
            if (row >= top && row < top + 4 && column >= left && column < left + 4) {
                masks[t] |= square_bit(s);
                masks[t + REGION_TABLES] |= square_bit(51 - s);
            }
        }
    }
    return masks;
}

// A window's 8 bits as base-3 digits of weight 1, read low bit first, and read high bit
// first: turning the board half round takes bit b to bit 68 - b, which reverses the order
// of a window's squares.
struct Trits {
    std::array<std::uint16_t, 256> forward{}, reversed{};
};

constexpr Trits make_trits() {
    Trits t;
    for (int bits = 0; bits < 256; ++bits) {
        int power = 1, reversed_power = 2187;  // 3^0 and 3^7
        for (int i = 0; i < 8; ++i, power *= 3, reversed_power /= 3) {
            if ((bits >> i & 1) == 0) continue;
            t.forward[bits] = static_cast<std::uint16_t>(t.forward[bits] + power);
            t.reversed[bits] = static_cast<std::uint16_t>(t.reversed[bits] + reversed_power);
        }
    }
    return t;
}

constexpr Trits TRITS = make_trits();

inline std::uint32_t gather(Bitboard set, Bitboard mask) {
#if defined(__BMI2__)
    return static_cast<std::uint32_t>(_pext_u64(set, mask));
#else
    std::uint32_t bits = 0;
    for (int i = 0; mask != 0; mask &= mask - 1, ++i)
        bits |= static_cast<std::uint32_t>(set >> std::countr_zero(mask) & 1) << i;
    return bits;
#endif
}

}  // namespace

const std::array<Bitboard, REGION_WINDOWS> REGION_MASKS = make_masks();

namespace {

// Table t's slot as its own window reads it.
inline int own_slot(const Board& board, int t) {
    const Bitboard window = REGION_MASKS[t];
    return t * REGION_CONTENTS + TRITS.forward[gather(board.white_men, window)] +
           2 * TRITS.forward[gather(board.black_men, window)];
}

// Table t's slot as its turned window reads it, from Black's side: Black's men play
// White's part. The window's value counts against White.
inline int turned_slot(const Board& board, int t) {
    const Bitboard window = REGION_MASKS[t + REGION_TABLES];
    return t * REGION_CONTENTS + TRITS.reversed[gather(board.black_men, window)] +
           2 * TRITS.reversed[gather(board.white_men, window)];
}

}  // namespace

void strong_region_slots(const Board& board, RegionSlots& slots) {
    for (int t = 0; t < REGION_TABLES; ++t) {
        slots[t] = own_slot(board, t);
        slots[t + REGION_TABLES] = ~turned_slot(board, t);
    }
}

void strong_region_sum(const Board& board, std::int64_t& opening, std::int64_t& endgame) {
    std::int32_t open = 0, end = 0;
    for (int t = 0; t < REGION_TABLES; ++t) {
        const auto& plus = STRONG_REGION_WEIGHTS.values[own_slot(board, t)];
        const auto& minus = STRONG_REGION_WEIGHTS.values[turned_slot(board, t)];
        open += plus[0] - minus[0];
        end += plus[1] - minus[1];
    }
    opening += open;
    endgame += end;
}
