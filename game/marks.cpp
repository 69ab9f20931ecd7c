// The controller's link to the user interface, and the marks that follow the turn.

#include "game/controller.h"
#include "records/settings.h"

namespace {

// Until the program sets its windows: every call does nothing and every question is
// answered with Cancel, so nothing that asks the user goes ahead by itself.
class SilentUi final : public GameUi {
public:
    void set_status_text(int, const std::string&) override {}
    void check_menu_item(int, bool) override {}
    void enable_menu_item(int, bool) override {}
    void press_toolbar_button(int, bool) override {}
    void draw_square(int, int, int) override {}
    void draw_all_pieces(const Board&) override {}
    void game_changed() override {}
    void current_move_changed() override {}
    void pv_changed() override {}
    void search_info_changed(int) override {}
    void clock_ticked() override {}
    void clocks_reset() override {}
    Answer message_box(const std::string&, const std::string&, MessageKind) override { return Answer::CANCEL; }
    bool ask_open_file(std::string&) override { return false; }
    bool ask_save_file(std::string&) override { return false; }
    void play_move_sound() override {}
};

SilentUi silent_ui;
GameUi* current_ui = &silent_ui;

}  // namespace

void set_game_ui(GameUi* ui) { current_ui = ui != nullptr ? ui : &silent_ui; }

GameUi& game_ui() { return *current_ui; }

int engine_wanted(const GameState& state) {
    const bool computer_moves = state.side == WHITE ? state.white_is_computer != 0 : state.black_is_computer != 0;
    return (settings().permanent_brain != 0 || computer_moves) && state.legal_count >= 1 ? 1 : 0;
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
    game_ui().set_status_text(PANE_TURN, std::string(computer ? "Computer" : "Player") + " to move with " + colour);
}
