#include "ui/commands.h"

#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/file_commands.h"
#include "game/position_commands.h"
#include "game/record.h"
#include "game/remote.h"

namespace {

void exit_program(Shell& shell) {
    const Answer answer =
        game_ui().message_box("Exit program?", "File Exit", MessageKind::QUESTION);
    if (answer != Answer::OK) return;
    GameState& state = game_state();
    if (state.engine_request != REQUEST_STOP) engine_stop(state);
    shell.close_frame();
}

void toggle_child_window(Shell& shell, int view_command) {
    const ChildWindow window = child_window_of_view(view_command);
    const Word* shown = shown_flag(window);
    if (shown == nullptr) return;
    if (*shown) {
        hide_child_window(shell, window);
    } else {
        show_child_window(shell, window);
    }
}

bool dispatch_game_command(int command) {
    switch (command) {
        case CMD_FILE_OPEN:
            file_open_command();
            return true;
        case CMD_FILE_SAVE:
            file_save_command();
            return true;
        case CMD_EDIT_SETUP:
            toggle_setup_mode();
            return true;
        case CMD_EDIT_INIT:
            setup_init();
            return true;
        case CMD_EDIT_CLEAR:
            setup_clear();
            return true;
        case CMD_EDIT_WHITE_TO_MOVE:
            setup_side(WHITE);
            return true;
        case CMD_EDIT_BLACK_TO_MOVE:
            setup_side(BLACK);
            return true;
        case CMD_GAME_NEW:
            new_game_command();
            return true;
        case CMD_GAME_PLAYER_PLAYER:
        case CMD_GAME_PLAYER_COMPUTER:
        case CMD_GAME_COMPUTER_PLAYER:
        case CMD_GAME_COMPUTER_COMPUTER:
            change_play_mode(command - CMD_GAME_PLAYER_PLAYER);
            return true;
        case CMD_GAME_REMOTE:
            toggle_remote();
            return true;
        case CMD_MOVE_UNDO:
            undo_move();
            return true;
        case CMD_MOVE_REDO:
            redo_move();
            return true;
        case CMD_MOVE_FORCE:
            force_computer_move();
            return true;
        case CMD_MOVE_COMPUTER:
            assign_computer_side(true);
            return true;
        case CMD_MOVE_PLAYER:
            assign_computer_side(false);
            return true;
        case CMD_CLOCK_START:
            clock_start_command();
            return true;
        case CMD_CLOCK_STOP:
            clock_stop_command();
            return true;
        case CMD_CLOCK_RESET:
            clock_reset_command();
            return true;
        default:
            return false;
    }
}

bool dispatch_window_command(int command, Shell& shell) {
    switch (command) {
        case CMD_FILE_PRINT:
            // Said before the print dialog, not after it, as Save says it.
            if (game_length() == 0) {
                game_ui().message_box("No game available!", "File Print", MessageKind::ERROR);
            } else {
                shell.print_game();
            }
            return true;
        case CMD_FILE_EXIT:
            exit_program(shell);
            return true;
        case CMD_EDIT_COPY_POSITION:
            shell.set_clipboard_text(position_fen());
            return true;
        case CMD_EDIT_PASTE_POSITION:
            set_up_position(shell.clipboard_text(), "Paste position");
            return true;
        case CMD_VIEW_CLOCK:
        case CMD_VIEW_COMMAND:
        case CMD_VIEW_GAME:
        case CMD_VIEW_PV:
        case CMD_VIEW_SEARCH_INFO:
            toggle_child_window(shell, command);
            return true;
        case CMD_OPTIONS_MEMORY:
        case CMD_OPTIONS_SERIAL_PORT:
        case CMD_OPTIONS_SEARCH:
        case CMD_OPTIONS_PREFERENCES:
        case CMD_HELP_ABOUT:
        case CMD_GAME_NETWORK:
            shell.run_dialog(command);
            return true;
        case CMD_HELP_CONTENTS:
            shell.show_help_contents();
            return true;
        case CMD_CLOSE_ALL:
            shell.close_frame();
            return true;
        default:
            return false;
    }
}

}  // namespace

bool dispatch_command(int command, Shell& shell) {
    const bool handled = dispatch_game_command(command) || dispatch_window_command(command, shell);
    if (handled) shell.update_commands();
    return handled;
}

Word* shown_flag(ChildWindow window) {
    AppState& app = app_state();
    switch (window) {
        case CLOCK_WINDOW:
            return &app.clock_shown;
        case COMMAND_WINDOW:
            return &app.command_shown;
        case GAME_WINDOW:
            return &app.game_shown;
        case PV_WINDOW:
            return &app.pv_shown;
        case SEARCH_INFO_WINDOW:
            return &app.search_info_shown;
        default:
            return nullptr;
    }
}

bool show_child_window(Shell& shell, ChildWindow window) {
    const bool created = shell.create_child_window(window);
    if (Word* shown = shown_flag(window); created && shown != nullptr) *shown = 1;
    shell.update_commands();
    return created;
}

void hide_child_window(Shell& shell, ChildWindow window) {
    Word* shown = shown_flag(window);
    if (shown == nullptr) return;
    // Unmarked first: the engine thread reads search_info_shown before it reports.
    *shown = 0;
    shell.destroy_child_window(window);
    shell.update_commands();
}

void child_window_closed(Shell& shell, ChildWindow window) {
    if (Word* shown = shown_flag(window)) *shown = 0;
    shell.update_commands();
}
