// The controller's link to the user interface, and the marks that follow the turn.

#include "game/controller.h"
#include "game/game_end.h"
#include "records/settings.h"

namespace {

// Until the program sets its windows nothing that asks the user goes ahead by itself.
QuietGameUi silent_ui;
GameUi* current_ui = &silent_ui;

}  // namespace

void set_game_ui(GameUi* ui) { current_ui = ui != nullptr ? ui : &silent_ui; }

GameUi& game_ui() { return *current_ui; }

int engine_wanted(const GameState& state) {
    const bool computer_moves = state.side == WHITE ? state.white_is_computer != 0 : state.black_is_computer != 0;
    // A game that has ended, lost or drawn, never starts the engine.
    if (settings().permanent_brain == 0 && !computer_moves) return 0;
    return game_result(state) == RESULT_NONE ? 1 : 0;
}

void update_side_marks(GameState& state) {
    const bool white = state.side == WHITE;
    state.computer_to_move = white ? state.white_is_computer.load() : state.black_is_computer.load();
    game_ui().check_menu_item(CMD_EDIT_WHITE_TO_MOVE, white);
    game_ui().check_menu_item(CMD_EDIT_BLACK_TO_MOVE, !white);
}

void update_turn_marks(GameState& state) {
    const bool computer = state.computer_to_move != 0;
    const char* colour = state.side == WHITE ? "White" : "Black";
    game_ui().check_menu_item(CMD_MOVE_COMPUTER, computer);
    game_ui().check_menu_item(CMD_MOVE_PLAYER, !computer);
    // At the end of a game the turn pane tells how it ended instead.
    const GameResult result = game_result(state);
    game_ui().set_status_text(PANE_TURN, result != RESULT_NONE
                                             ? std::string(result_status_text(result))
                                             : std::string(computer ? "Computer" : "Player") + " to move with " + colour);
}
