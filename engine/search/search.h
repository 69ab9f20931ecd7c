#pragma once
// The alpha-beta search proper: principal-variation (null-window) search in negamax
// form on the ply stack, with the transposition table, history ordering, captures
// searched past the horizon, free single replies, reductions when well ahead in
// material and a one-ply extension of singular table moves.

#include <cstdint>

#include "engine/board/board.h"
#include "records/game_state.h"

inline constexpr int INFINITE_SCORE = 30000;
inline constexpr int SCOUT_MARGIN = 25;

// One root move's standing: whether it is still to be searched in this iteration, its
// index in the root list, and its last score.
struct RootSlot {
    std::int32_t flag;
    std::int32_t move_index;
    std::int32_t score;
};

struct RootList {
    RootSlot slots[MOVE_STACK_SIZE];
    int count = 0;
};
extern RootList root_list;

// Counters of the search in progress.
struct SearchCounters {
    std::int64_t nodes = 0;
    std::int64_t evaluations = 0;
};

// Prepares the next search: the game state whose engine_request stops it (anything but
// 1 stops it) and which receives the root's examined move, engine move and score.
void search_begin(GameState& state, PlyRecord& root);
const SearchCounters& search_counters();

int search(int depth, int alpha, int beta, PlyRecord& record, Side side);
int root_search(int depth, int alpha, int beta, PlyRecord& record, Side side);

void root_list_init(const PlyRecord& record);
void root_list_sort();
void history_reset();
void history_bonus(const PlyRecord& record, int depth);

void pick_history_move(PlyRecord& record);
int pick_tt_move(PlyRecord& record);
int pick_root_move(PlyRecord& record, bool first);
