#include "ui/command_states.h"

#include "game/dxp_session.h"

CommandStates::CommandStates() {
    for (std::size_t i = 0; i < COMMANDS.size(); ++i)
        states_[i].enabled = COMMANDS[i].initially_enabled;
}

CommandState* CommandStates::find(int command) {
    for (std::size_t i = 0; i < COMMANDS.size(); ++i) {
        if (COMMANDS[i].command == command) return &states_[i];
    }
    return nullptr;
}

CommandState CommandStates::state(int command) const {
    for (std::size_t i = 0; i < COMMANDS.size(); ++i) {
        if (COMMANDS[i].command == command) return states_[i];
    }
    return {};
}

void CommandStates::set_checked(int command, bool checked) {
    if (CommandState* s = find(command)) s->checked = checked;
}

void CommandStates::set_enabled(int command, bool enabled) {
    if (CommandState* s = find(command)) s->enabled = enabled;
}

void CommandStates::derive(const AppState& app, const GameState& game) {
    const bool setup = app.setup_mode != 0;
    set_checked(CMD_EDIT_SETUP, setup);
    for (int command = CMD_EDIT_INIT; command <= CMD_EDIT_BLACK_TO_MOVE; ++command)
        set_enabled(command, setup);
    set_checked(CMD_EDIT_WHITE_TO_MOVE, game.side == WHITE);
    set_checked(CMD_EDIT_BLACK_TO_MOVE, game.side != WHITE);

    set_checked(CMD_VIEW_CLOCK, app.clock_shown != 0);
    set_checked(CMD_VIEW_COMMAND, app.command_shown != 0);
    set_checked(CMD_VIEW_GAME, app.game_shown != 0);
    set_checked(CMD_VIEW_PV, app.pv_shown != 0);
    set_checked(CMD_VIEW_SEARCH_INFO, app.search_info_shown != 0);

    const int mode = app.play_mode;
    for (int m = PLAYER_PLAYER; m <= COMPUTER_COMPUTER; ++m)
        set_checked(CMD_GAME_PLAYER_PLAYER + m, m == mode);
    set_checked(CMD_GAME_REMOTE, app.remote_on != 0);

    // Exchanging colours means something only with one computer side. A network game
    // belongs to both programs: nothing here may change it under them.
    const bool network = dxp_game_running();
    const bool one_computer = mode == PLAYER_COMPUTER || mode == COMPUTER_PLAYER;
    set_enabled(CMD_MOVE_COMPUTER, one_computer && !network);
    set_enabled(CMD_MOVE_PLAYER, one_computer && !network);
    set_checked(CMD_MOVE_COMPUTER, game.computer_to_move != 0);
    set_checked(CMD_MOVE_PLAYER, game.computer_to_move == 0);
    for (int command : {CMD_GAME_NEW, CMD_GAME_PLAYER_PLAYER, CMD_GAME_PLAYER_COMPUTER, CMD_GAME_COMPUTER_PLAYER,
                        CMD_GAME_COMPUTER_COMPUTER, CMD_GAME_REMOTE, CMD_MOVE_UNDO, CMD_MOVE_REDO, CMD_EDIT_SETUP,
                        CMD_FILE_OPEN}) {
        set_enabled(command, !network);
    }
}
