#pragma once
// The command layer: every menu item, accelerator and toolbar button arrives here by its
// number. Game commands go to the controller, the clocks, the game files and remote play;
// window things (the child windows, dialogs, printing, help, closing the frame) go to the
// Shell, which the window layer implements.

#include <string>

#include "game/game_ui.h"
#include "records/app_state.h"
#include "ui/layout.h"

class Shell {
  public:
    virtual ~Shell() = default;

    // Creates the child window afresh at its place (a new window each time); false when
    // it could not be made.
    virtual bool create_child_window(ChildWindow window) = 0;
    // Destroys it without asking.
    virtual void destroy_child_window(ChildWindow window) = 0;

    // The close request: asks every child window, and closes the frame (ending the
    // program) only when every one agrees.
    virtual void close_frame() = 0;

    virtual void print_game() = 0;
    virtual void show_help_contents() = 0;
    // The modal dialogs: Memory, Serial port, Search, Preferences, About.
    virtual void run_dialog(int command) = 0;

    // Menus and toolbar follow the program's state again.
    virtual void update_commands() = 0;

    // The system clipboard's text (Edit > Copy position and Paste position).
    virtual void set_clipboard_text(const std::string& text) { (void)text; }
    virtual std::string clipboard_text() { return {}; }
};

// Carries out `command`; false for a number that is no command of the program.
bool dispatch_command(int command, Shell& shell);

// The AppState flag that says a child window exists; nullptr for the Board, which
// always does.
Word* shown_flag(ChildWindow window);

// Creating and destroying a child window, marked in its shown flag and in the View
// item and toolbar button. The Board cannot be hidden.
bool show_child_window(Shell& shell, ChildWindow window);
void hide_child_window(Shell& shell, ChildWindow window);
// The user closed a child window through its own system menu.
void child_window_closed(Shell& shell, ChildWindow window);
