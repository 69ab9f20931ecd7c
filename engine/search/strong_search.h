#pragma once
// The strong engine: a second search beside the program's own, chosen with
// set_engine_kind (driver.h). Iterative deepening with aspiration windows; a
// principal-variation search over a table kept for the whole game; killer moves and a
// history of quiet moves; late-move reductions; a quiescence search of captures and of
// replies to capture threats; repetitions on the search path scored as draws; time
// spent by how settled the best move is.

#include <chrono>
#include <cstdint>
#include <vector>

#include "records/game_state.h"

// Searches the root record's position as run_search does (same outputs in `state`:
// engine_move, score, iteration_depth, pv, counters); returns the number of legal moves.
int strong_run_search(GameState& state);

// A new game: the table and the move-ordering statistics start empty.
void strong_new_game();

// The time for the next search: it aims at `nominal` and never runs past `maximum`.
// A zero nominal time: it searches until `maximum`; both zero: no time limit of its
// own, the caller stops it. Without a budget, a timed search mode of the game (seconds
// per move, tournament) sets the time.
void strong_set_budget(std::chrono::milliseconds nominal, std::chrono::milliseconds maximum);

// The game's positions before the one to search, since the last man move or capture,
// oldest first, as position_hash (strong_table.h) gives them: a search that comes back
// to one of them scores a draw. Kept until the next call.
void strong_set_history(const std::vector<std::uint64_t>& hashes);
