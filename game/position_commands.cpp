#include "game/position_commands.h"

#include "engine/board/fen.h"
#include "engine/search/driver.h"
#include "game/controller.h"
#include "records/app_state.h"
#include "records/game_state.h"

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The value of a PDN FEN tag, or the text itself.
std::string_view fen_of(std::string_view text) {
    text = trimmed(text);
    if (text.substr(0, 4) != "[FEN") return text;
    const std::size_t open = text.find('"');
    const std::size_t close = text.find('"', open + 1);
    if (open == std::string_view::npos || close == std::string_view::npos) return text;
    return text.substr(open + 1, close - open - 1);
}

}  // namespace

std::string position_fen() {
    const GameState& state = game_state();
    return to_fen(state.board, state.side);
}

bool set_up_position(std::string_view text, const std::string& caption) {
    GameUi& ui = game_ui();
    Board board;
    Side side = WHITE;
    std::string error;
    const std::string_view fen = fen_of(text);
    if (fen.empty()) error = "there is no text";
    if (!error.empty() || !parse_fen(fen, board, side, error)) {
        ui.message_box("This is no position in FEN: " + error + ".\nThe board is unchanged.", caption,
                       MessageKind::ERROR);
        return false;
    }
    GameState& state = game_state();
    AppState& app = app_state();
    if (!app.setup_mode) app.game_running = 0;
    if (state.engine_request != REQUEST_STOP || app.engine_state != ENGINE_IDLE) engine_stop(state);
    state.board = board;
    state.side = side;
    ui.draw_all_pieces(board);
    if (app.setup_mode) {
        update_side_marks(state);
        return true;
    }
    new_game(true);
    return true;
}

bool is_fen_line(std::string_view line) {
    line = trimmed(line);
    return line.substr(0, 4) == "[FEN" ||
           (line.size() >= 2 && (line[0] == 'W' || line[0] == 'B') && line[1] == ':');
}
