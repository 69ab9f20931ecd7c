#pragma once
// The static evaluation: a score for the side to move in units where a man is 100.

#include <array>
#include <cstdint>

#include "engine/board/board.h"

inline constexpr int WIN_SCORE = 5000;

// The squares a man can still pass through on its way to promotion, from each of its
// forward neighbours: the neighbour itself and, k rows further on, every square at
// most k columns away from it. Indexed by bit position; a neighbour off the board (and
// a bit that is no square) gives the empty set.
struct PathCones {
    Bitboard white_left = 0;   // from the neighbour at +5
    Bitboard white_right = 0;  // from the neighbour at +6
    Bitboard black_right = 0;  // from the neighbour at -5
    Bitboard black_left = 0;   // from the neighbour at -6
};
extern const std::array<PathCones, 64> PathCone;

// Number of set bits of every 16-bit value.
extern const std::array<std::uint8_t, 65536> BitCountTable;

// The tables are constant data built by the compiler; these two are kept for the
// start-up and exit sequence and do nothing.
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

// evaluate with `probe` asked in place of the endgame databases (which answer through
// egdb_probe); a null probe never answers.
using EndgameProbe = int (*)(Side side, const PlyRecord& position);
int evaluate_with_probe(Side side, PlyRecord& position, int bound, EndgameProbe probe);

// The endings every evaluation settles before counting terms: the databases (fewer
// than eight pieces, when in use), at most three pieces a side, four kings against one.
// True, with the score for `side` to move, when one applies. Fills type_counts.
bool settled_ending(Side side, PlyRecord& position, int& score);
bool settled_ending_with_probe(Side side, PlyRecord& position, EndgameProbe probe, int& score);

// The free-path term: men with an open road to promotion, White's view, not halved.
int free_path_sum(const Board& board);
