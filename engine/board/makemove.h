#pragma once
// Playing a listed move (copy-make) and the position key.

#include <array>
#include <cstdint>

#include "engine/board/board.h"

// Fixed per-piece, per-square key values: rows white men, white kings, black men,
// black kings, indexed by bit position. The key of a position is the XOR of the values
// of its pieces; the empty board has key 0 and the side to move is not part of it.
extern const std::array<std::array<std::uint32_t, 64>, 4> KEYS;

// Marks the move tried and writes the position after it (board, material, key) into
// the next record. A move already marked tried is left alone and nothing is written.
void make_move(PlyRecord& record, MoveRecord& move);

// Completes the next record's material and key for the pieces in `captured`, which
// are read from `record`'s board; `key` is the key so far.
void apply_captures(PlyRecord& record, Bitboard captured, std::uint32_t key, Side capturing_side);

std::uint32_t compute_key(const PlyRecord& record);
