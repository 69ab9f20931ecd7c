#include "game/clocks.h"

#include <cstdio>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/game_end.h"
#include "records/app_state.h"

namespace {

int clock_of_side_to_move() {
    const AppState& app = app_state();
    return game_state().side == WHITE ? app.white_clock.load() : app.black_clock.load();
}

void set_clock_items(bool running) {
    GameUi& ui = game_ui();
    ui.enable_menu_item(CMD_CLOCK_START, !running);
    ui.enable_menu_item(CMD_CLOCK_STOP, running);
    ui.enable_menu_item(CMD_CLOCK_RESET, !running);
}

}  // namespace

void start_clocks() {
    AppState& app = app_state();
    app.clock_started_at = tick_seconds();
    app.clocks_running = 1;
    set_clock_items(true);
}

void stop_clocks() {
    AppState& app = app_state();
    app.clocks_running = 0;
    set_clock_items(false);
    app.clock_base = clock_of_side_to_move();
}

void reset_clocks() {
    AppState& app = app_state();
    if (app.clock_shown) game_ui().clocks_reset();
    app.white_clock = 0;
    app.black_clock = 0;
    app.clock_base = 0;
    app.clock_drawn = 0;
}

void clock_tick() {
    AppState& app = app_state();
    GameState& state = game_state();
    if (!app.game_running) return;
    app.move_elapsed = tick_seconds() - app.clock_started_at;
    if (app.engine_state != ENGINE_IDLE) {
        char text[16];
        std::snprintf(text, sizeof text, "%4d", app.move_elapsed.load());
        game_ui().set_status_text(PANE_MOVE_TIME, text);
    }
    if (!app.clocks_running) return;

    (state.side == WHITE ? app.white_clock : app.black_clock) = app.move_elapsed + app.clock_base;
    if (app.clock_shown) game_ui().clock_ticked();

    const bool time_up = state.search_kind != FIXED_PLY && state.search_limit <= app.move_elapsed;
    if (!state.computer_to_move || game_result(state) != RESULT_NONE) return;
    if (app.play_mode == COMPUTER_COMPUTER) {
        // The engine thread plays both sides; here it is only told when to move.
        if (app.force_move || time_up) engine_move_now(state);
        app.force_move = 0;
        return;
    }
    if (app.force_move || app.engine_state == ENGINE_IDLE || time_up) {
        app.force_move = 0;
        engine_stop(state);
        move_done(1);
        if (state.engine_request != REQUEST_STOP) engine_start(state);
    }
}

void clock_start_command() {
    AppState& app = app_state();
    GameState& state = game_state();
    if (app.clocks_running) return;
    // A search may already run (a loaded game starts the engine with the clocks
    // stopped); its table is not touched under it.
    if (app.engine_state == ENGINE_IDLE) {
        engine_reset(state);
        if (engine_wanted(state)) engine_start(state);
    }
    start_clocks();
}

void clock_stop_command() {
    AppState& app = app_state();
    if (!app.clocks_running) return;
    if (app.engine_state != ENGINE_IDLE) engine_stop(game_state());
    stop_clocks();
}

void clock_reset_command() {
    if (!app_state().clocks_running) reset_clocks();
}
