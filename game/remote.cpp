#include "game/remote.h"

#include <cstdlib>
#include <memory>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/move_text.h"
#include "records/settings.h"
#include "relaycom.h"

namespace {

std::unique_ptr<CConnection> remote_link;

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
    if (remote_link) remote_link->putmessage(text);
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
    if (!app_state().remote_on || state.computer_to_move || remote_status() != 3) return;
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
    }
}
