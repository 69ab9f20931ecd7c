// remote: the engine plays an opponent program over the serial link, as the desktop
// program does with Game > Remote; prints the game as it goes.

#include <chrono>
#include <cstdio>
#include <string>

#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/game_end.h"
#include "game/record.h"
#include "game/remote.h"
#include "tools/cli/commands.h"
#include "tools/cli/console_ui.h"
#include "tools/cli/options.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the game until it ends or `moves` moves of each side are played (or the time
// runs out); returns the result line.
std::string run_remote_game(ConsoleUi& ui, int moves, std::chrono::seconds limit) {
    GameState& state = game_state();
    AppState& app = app_state();
    new_game(false);  // the console answers the question with OK
    const auto give_up = Clock::now() + limit;
    auto next_check = Clock::now();
    for (;;) {
        ui.run_tasks(10ms);
        if (Clock::now() < next_check) continue;
        // The clock tick and the poll run more often than in the desktop program: the
        // game is the same, only quicker.
        next_check = Clock::now() + 100ms;
        clock_tick();
        remote_poll();
        if (game_result(state) != RESULT_NONE) break;
        if (game_length() >= 2 * moves || !app.game_running) break;
        if (Clock::now() > give_up) return "result: timeout after " + std::to_string(game_length()) + " moves";
    }
    // The last move sent may still be on its way, and a forced reply to it is played at
    // once and sent back: keep taking moves in (but make no searched move of our own)
    // until the link has been quiet for a while.
    auto quiet_until = Clock::now() + 2s;
    while (Clock::now() < quiet_until) {
        ui.run_tasks(50ms);
        const int before = game_length();
        remote_poll();
        if (game_length() != before) quiet_until = Clock::now() + 2s;
    }
    ui.end_game_listing();
    if (const GameResult result = game_result(state); result != RESULT_NONE) {
        return std::string("result: ") + result_line_text(result);
    }
    return "result: stopped after " + std::to_string(game_length()) + " moves";
}

}  // namespace

int run_remote(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"com", true}, {"computer", true}, {"ply", true}, {"moves", true}, {"timeout", true},
                                       {"engine", true}},
                       error)) {
        return usage_error(error);
    }
    if (!apply_engine_option(options, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("remote takes no argument '" + options.positional()[0] + "'");
    long port = 0;
    long ply = 4;
    long moves = 40;
    long timeout = 600;
    const auto computer = options.value("computer");
    if (!options.has("com") || !parse_int(*options.value("com"), 1, 9, port)) return usage_error("remote needs --com 1-9");
    if (!computer || (*computer != "white" && *computer != "black")) {
        return usage_error("remote needs --computer white or --computer black");
    }
    if (options.has("ply") && !parse_int(*options.value("ply"), 2, MAX_ITERATION_DEPTH, ply)) {
        return usage_error("ply must be 2-" + std::to_string(MAX_ITERATION_DEPTH));
    }
    if (options.has("moves") && !parse_int(*options.value("moves"), 1, 256, moves)) return usage_error("moves must be 1-256");
    if (options.has("timeout") && !parse_int(*options.value("timeout"), 1, 86400, timeout)) {
        return usage_error("timeout must be 1-86400 seconds");
    }

    ConsoleUi ui;
    set_game_ui(&ui);
    game_init();
    settings().sound = 0;
    settings().search_mode = FIXED_PLY;
    settings().ply = static_cast<int>(ply);
    settings().com_port = static_cast<int>(port);
    engine_launch();
    change_play_mode(*computer == "white" ? COMPUTER_PLAYER : PLAYER_COMPUTER);
    toggle_remote();  // also turns Permanent Brain and Auto Move off
    int status = 0;
    if (remote_status() == 0) {
        status = 1;  // the message box went to stderr
    } else {
        std::printf("%s\n", run_remote_game(ui, static_cast<int>(moves), std::chrono::seconds(timeout)).c_str());
    }
    game_shutdown();
    set_game_ui(nullptr);
    return status;
}
