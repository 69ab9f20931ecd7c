#include "records/game_state.h"

static_assert(std::atomic<PvEntry>::is_always_lock_free);

GameState& game_state() {
    static GameState instance;
    return instance;
}
