#pragma once
// Region tables of the strong evaluation. The board is covered by 16 overlapping windows
// of 4 rows by 4 columns, each holding 8 playing squares. The men on a window (each square
// empty, a White man or a Black man; a king counts as empty) index a learnt value, 3^8
// contents a window. A window and its half turn share one table with the colours
// exchanged and the sign changed, so a position and its colour mirror score alike.

#include <array>
#include <cstdint>

#include "engine/board/board.h"

inline constexpr int REGION_WINDOWS = 16;
inline constexpr int REGION_TABLES = REGION_WINDOWS / 2;
inline constexpr int REGION_CONTENTS = 6561;  // 3^8
inline constexpr int REGION_SLOTS = REGION_TABLES * REGION_CONTENTS;

// Learnt values in eighths of a point, White's view: [slot] = {opening, endgame}.
struct RegionWeights {
    std::array<std::array<std::int16_t, 2>, REGION_SLOTS> values;
};
extern const RegionWeights STRONG_REGION_WEIGHTS;

// Window w's playing squares; windows 0-7 (rows 0-3 and 2-5, as White sees the board) own
// the tables, window 8 + t is table t's window turned half round.
extern const std::array<Bitboard, REGION_WINDOWS> REGION_MASKS;

// The slot each window reads on `board`: s >= 0 adds slot s's value, s < 0 subtracts slot ~s's.
using RegionSlots = std::array<std::int32_t, REGION_WINDOWS>;
void strong_region_slots(const Board& board, RegionSlots& slots);

// The sum of the windows' values, White's view, in eighths of a point.
void strong_region_sum(const Board& board, std::int64_t& opening, std::int64_t& endgame);
