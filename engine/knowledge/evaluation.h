#pragma once
// The static evaluation: a score for the side to move in units where a man is 100.

#include "engine/board/board.h"

inline constexpr int WIN_SCORE = 5000;

// Builds the row, path-cone and bit-count tables; once at start-up, after
// init_board_tables.
void evaluation_init();
void evaluation_free();

int bit_count(Bitboard b);

// Recomputes white_count, black_count and material of the record from its board.
void count_material(PlyRecord& position);
int count_and_evaluate(Side side, PlyRecord& position, int bound);

// Whether the side not to move has a man with a free path to promotion.
bool has_free_man(Side side, const PlyRecord& position);

// The score for `side` to move. `bound` is the caller's alpha: far below it the
// positional terms are skipped. Fills position.type_counts.
int evaluate(Side side, PlyRecord& position, int bound);
