#include "game/remote.h"

#include <cstdlib>
#include <memory>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/game_end.h"
#include "game/move_text.h"
#include "game/record.h"
#include "records/app_state.h"
#include "records/settings.h"
#include "relaycom.h"

namespace {

std::unique_ptr<CConnection> remote_link;

// The opponent may take its time, and a link whose other end has gone simply stays quiet:
// after this long without a word from the other side while it is to move, the status bar
// says so, and keeps counting.
constexpr int NO_ANSWER_SECONDS = 30;

// The last word exchanged with the other side, and the notice in status pane 1. Main
// thread only, as is everything here (the engine thread's moves are committed there too).
struct Silence {
    std::int32_t since = 0;  // tick seconds: Remote on, our move sent, or a message taken
    std::string shown;       // the notice as last shown; empty when none is
    int length_shown = 0;    // the game record when it was shown
    int current_shown = 0;
};
Silence silence;

void heard_now() {
    silence.since = tick_seconds();
    silence.shown.clear();
}

// Status pane 1 is made wide enough for this at its longest (ui/layout.h).
std::string no_answer_text(int seconds) {
    const int minutes = seconds / 60;
    const std::string span = seconds < 120  ? std::to_string(seconds) + " s"
                             : minutes < 120 ? std::to_string(minutes) + " min"
                                             : std::to_string(minutes / 60) + " h";
    return "No answer from remote for " + span;
}

// No answer is due now (the turn left the opponent without a message, the game halted):
// the notice goes, unless a move played meanwhile has put its own text in the pane.
void end_silence() {
    if (silence.shown.empty()) return;
    if (game_length() == silence.length_shown && game_current() == silence.current_shown) {
        game_ui().set_status_text(PANE_MESSAGE, "");
    }
    silence.shown.clear();
}

// While the opponent is to move: the notice once it has been silent long enough in a
// game that goes on.
void show_silence(const GameState& state) {
    const int seconds = tick_seconds() - silence.since;
    if (seconds < NO_ANSWER_SECONDS) return;
    if (!app_state().game_running || game_result(state) != RESULT_NONE) {
        end_silence();
        return;
    }
    const std::string text = no_answer_text(seconds);
    if (text == silence.shown) return;
    game_ui().set_status_text(PANE_MESSAGE, text);
    silence = {silence.since, text, game_length(), game_current()};
}

}  // namespace

std::string com_device(int port) {
    const std::string variable = "VANTOR_COM" + std::to_string(port);
    if (const char* device = std::getenv(variable.c_str()); device != nullptr && *device != '\0') return device;
    return "/dev/ttyS" + std::to_string(port - 1);
}

bool remote_open(int port) {
    remote_close();
    remote_link = std::make_unique<CConnNulmodem>(port);
    const int result = remote_link->connect();
    if (result == 0) return true;
    // Without a word here the player would wait for moves that can never arrive.
    const std::string text = "Could not open the serial port COM" + std::to_string(port) + " (" +
                             com_device(port) + ")!";
    game_ui().message_box(text, "Remote", MessageKind::ERROR);
    remote_close();
    return false;
}

void remote_close() {
    if (!remote_link) return;
    remote_link->disconnect();
    remote_link.reset();
}

void remote_send(const char* text) {
    if (!remote_link) return;
    remote_link->putmessage(text);
    // The opponent's time to answer starts now; the move's text replaces any notice.
    heard_now();
}

std::string remote_receive() {
    char buffer[128] = {};
    if (remote_link) remote_link->getmessage(buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

int remote_status() { return remote_link ? remote_link->status() : 0; }

void remote_poll() {
    GameState& state = game_state();
    const AppState& app = app_state();
    if (!app.remote_on) return;
    // An ended game takes no more moves from the other side either; they stay queued.
    if (state.computer_to_move || game_result(state) != RESULT_NONE) {
        end_silence();
        return;
    }
    if (remote_status() != 3) {
        show_silence(state);
        return;
    }
    heard_now();
    const std::string text = remote_receive();
    // The message buffer holds 63 characters; a longer text is no move message anyway.
    game_ui().set_status_text(PANE_MESSAGE, text.substr(0, MOVE_MESSAGE_MAX));
    // Matching the message lists the moves in the engine's root record: the engine must
    // be still by then.
    const bool thinking = state.engine_request != REQUEST_STOP;
    if (thinking) engine_stop(state);
    if (parse_move_message(state, text) != 1) {
        game_ui().message_box("Illegal move message!", "Remote Error", MessageKind::ERROR);
        if (thinking) engine_start(state);
        return;
    }
    move_done(2);
    if (state.engine_request != REQUEST_STOP) engine_start(state);
}

void toggle_remote() {
    AppState& app = app_state();
    GameUi& ui = game_ui();
    if (!app.remote_on) {
        // A port that cannot be opened leaves Remote off and the settings as they were.
        if (!remote_open(settings().com_port)) return;
        heard_now();
        app.remote_on = 1;
        settings().auto_move = 0;
        settings().permanent_brain = 0;
        ui.check_menu_item(CMD_GAME_REMOTE, true);
        ui.press_toolbar_button(CMD_GAME_REMOTE, true);
    } else {
        app.remote_on = 0;
        ui.check_menu_item(CMD_GAME_REMOTE, false);
        ui.press_toolbar_button(CMD_GAME_REMOTE, false);
        remote_close();
        end_silence();
    }
}
