#include "game/file_commands.h"

#include <string>

#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/files.h"
#include "game/pdn_files.h"
#include "game/record.h"

void file_open_command() {
    GameState& state = game_state();
    AppState& app = app_state();
    GameUi& ui = game_ui();
    if (app.engine_state != ENGINE_IDLE) engine_stop(state);
    stop_clocks();
    reset_clocks();

    std::string path;
    FileFilter filter = FileFilter::ALL;
    bool loaded = false;
    if (ui.ask_open_game_file(path, filter)) {
        if (open_file_format(path, filter) == GameFileFormat::PDN) {
            loaded = open_pdn_file(path, state) == PdnOpen::LOADED;  // it reports its failures
        } else {
            loaded = load_game(path, state) == 1;
            if (!loaded) ui.message_box("Could not read file!", "File Open", MessageKind::ERROR);
        }
    }
    if (loaded) {
        ui.game_file_named(path);
        app.game_running = 1;
        state.use_book = 0;
        app.play_mode = PLAYER_PLAYER;
        set_play_mode(PLAYER_PLAYER);
        ui.draw_all_pieces(state.board);
        ui.game_changed();
        engine_reset(state);
        if (list_legal_moves(state) != 0 && engine_wanted(state)) engine_start(state);
        return;  // the clocks stay stopped
    }
    if (app.game_running) {
        start_clocks();
        if (list_legal_moves(state) != 0 && engine_wanted(state)) engine_start(state);
    }
}

void file_save_command() {
    GameState& state = game_state();
    GameUi& ui = game_ui();
    if (game_length() == 0) {
        ui.message_box("No game available!", "File Save", MessageKind::ERROR);
        return;
    }
    if (app_state().engine_state != ENGINE_IDLE) engine_stop(state);
    std::string path;
    FileFilter filter = FileFilter::ALL;
    if (!ui.ask_save_game_file(path, filter)) return;
    // The chosen format decides: a PDN file holds a set-up start, a .tgr file cannot.
    const bool pdn = game_file_format(path, filter) == GameFileFormat::PDN;
    if (!pdn && !game_fits_game_file()) {
        ui.message_box("This game starts from a set-up position, which a .tgr file cannot hold.", "File Save",
                       MessageKind::ERROR);
        return;
    }
    if ((pdn ? save_pdn_game(path) : save_game(path)) != 1) {
        ui.message_box("Could not write file!", "File Save", MessageKind::ERROR);
        return;
    }
    ui.game_file_named(path);
}
