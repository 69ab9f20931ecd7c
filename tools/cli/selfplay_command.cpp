// selfplay: whole Computer - Computer games through the game controller, as the desktop
// program plays them, without a window.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/files.h"
#include "game/game_end.h"
#include "game/move_text.h"
#include "game/record.h"
#include "tools/cli/commands.h"
#include "tools/cli/console_ui.h"
#include "tools/cli/options.h"

namespace {

using namespace std::chrono_literals;

// Plays one game to its end; returns the result line.
std::string play_game(ConsoleUi& ui) {
    GameState& state = game_state();
    AppState& app = app_state();
    new_game(false);  // the console answers the question with OK
    auto next_tick = std::chrono::steady_clock::now() + 1s;
    for (;;) {
        ui.run_tasks(20ms);
        if (std::chrono::steady_clock::now() >= next_tick) {
            clock_tick();
            next_tick += 1s;
        }
        const bool over = !app.game_running || game_result(state) != RESULT_NONE;
        if (over && app.engine_state == ENGINE_IDLE) break;
        if (app.engine_state == ENGINE_IDLE && state.engine_request == REQUEST_STOP) break;
    }
    ui.run_tasks(0ms);
    ui.end_game_listing();
    if (const GameResult result = game_result(state); result != RESULT_NONE) {
        return std::string("result: ") + result_line_text(result);
    }
    return "result: stopped after " + std::to_string(game_length()) + " moves";
}

}  // namespace

int run_selfplay(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"ply", true}, {"movetime", true}, {"games", true}, {"save", true}, {"pdn", true},
                                       {"engine", true}},
                       error)) {
        return usage_error(error);
    }
    if (!apply_engine_option(options, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("selfplay takes no argument '" + options.positional()[0] + "'");
    if (options.has("ply") && options.has("movetime")) return usage_error("selfplay takes --ply or --movetime, not both");
    long ply = 6;
    long seconds = 0;
    long games = 1;
    if (options.has("ply") && !parse_int(*options.value("ply"), 2, MAX_ITERATION_DEPTH, ply)) {
        return usage_error("ply must be 2-" + std::to_string(MAX_ITERATION_DEPTH));
    }
    if (options.has("movetime") && !parse_int(*options.value("movetime"), 1, 3600, seconds)) {
        return usage_error("movetime must be 1-3600 whole seconds");
    }
    if (options.has("games") && !parse_int(*options.value("games"), 1, 100000, games)) {
        return usage_error("games must be 1-100000");
    }
    if (const auto dir = options.value("save")) {
        if (dir->empty()) return usage_error("--save needs a folder");
        std::error_code ec;
        std::filesystem::create_directories(*dir, ec);
        if (!std::filesystem::is_directory(*dir))
            return usage_error("cannot create the folder " + *dir);
    }

    const auto pdn = options.value("pdn");
    if (pdn && !start_pdn_file(*pdn)) return usage_error("could not write " + *pdn);

    ConsoleUi ui;
    set_game_ui(&ui);
    game_init();
    Settings& s = settings();
    s.sound = 0;
    s.permanent_brain = 0;
    s.search_mode = seconds > 0 ? FIXED_TIME_PER_MOVE : FIXED_PLY;
    s.ply = static_cast<int>(ply);
    s.seconds_per_move = static_cast<int>(seconds);
    engine_launch();
    change_play_mode(COMPUTER_COMPUTER);

    int status = 0;
    for (long game = 1; game <= games; ++game) {
        std::printf("game %ld\n", game);
        std::printf("%s\n", play_game(ui).c_str());
        if (const auto dir = options.value("save")) {
            const std::string path = *dir + "/game" + std::to_string(game) + ".tgr";
            if (save_game(path) != 1) {
                std::fprintf(stderr, "vantor-cli: could not write %s\n", path.c_str());
                status = 1;
            }
        }
        if (pdn && !append_selfplay_game(*pdn, game)) {
            std::fprintf(stderr, "vantor-cli: could not write %s\n", pdn->c_str());
            status = 1;
        }
    }
    game_shutdown();
    set_game_ui(nullptr);
    return status;
}
