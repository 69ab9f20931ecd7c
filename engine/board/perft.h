#pragma once
// Move-path enumeration (perft) for checking and timing the generator.

#include <cstdint>

#include "engine/board/board.h"

// Whether move `index` of the record's list takes the same pieces from the same square
// to the same square as an earlier move of the list (another path of the same capture).
bool is_duplicate_path(const PlyRecord& record, int index);

// Leaves of the move tree `depth` plies below the record (whose board, counts and key
// are set; `depth` + 1 records must follow it). The last ply is counted without making
// its moves. With `unique`, captures that differ only in their path count once, the
// convention of the published tables.
std::uint64_t perft(PlyRecord& record, Side side, int depth, bool unique);
