#pragma once
// The user interface's process-wide state: which windows are shown, the play mode, the
// engine's state, the clocks and the two events shared with the engine thread.

#include <cstdint>

#include "records/auto_reset_event.h"
#include "records/shared_word.h"

enum PlayMode : std::int32_t {
    PLAYER_PLAYER = 0,
    PLAYER_COMPUTER = 1,
    COMPUTER_PLAYER = 2,
    COMPUTER_COMPUTER = 3,
};

enum EngineState : std::int32_t {
    ENGINE_IDLE = 0,       // "IDLE"
    ENGINE_THINKING = 1,   // "THNK": thinking on the player's time
    ENGINE_SEARCHING = 2,  // "SRCH": searching the computer's own move
};

struct AppState {
    Word clock_shown{0};
    Word command_shown{0};
    Word game_shown{0};
    Word pv_shown{0};
    Word search_info_shown{0};

    Word play_mode{PLAYER_PLAYER};
    Word engine_state{ENGINE_IDLE};
    Word game_running{0};
    Word setup_mode{0};

    Word clocks_running{0};
    Word clock_started_at{0};  // whole seconds of the tick count when the clocks last started
    Word clock_base{0};        // seconds already on the side to move's clock at that moment
    Word white_clock{0};       // seconds used by White
    Word black_clock{0};       // seconds used by Black
    Word move_elapsed{0};      // seconds since clock_started_at, updated every tick
    Word clock_drawn{0};       // the Clock window's last drawn value (the side to move's time)

    Word force_move{0};
    Word remote_on{0};

    AutoResetEvent start_event;    // main thread -> engine: search now
    AutoResetEvent stopped_event;  // engine -> main thread: the search has ended
};

AppState& app_state();

// Whole seconds of the system's monotonic tick count.
std::int32_t tick_seconds();
// Tests replace the tick source to drive the clocks; nullptr restores the real one.
void set_tick_source(std::int64_t (*milliseconds)());
