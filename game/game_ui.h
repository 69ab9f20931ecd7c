#pragma once
// What the game controller needs from the user interface. The desktop program
// implements it with its windows; the tests and the command-line tool with fakes.
//
// Calls come from the main thread, except the engine's progress reports (status panes
// 1, 3, 5 and 6, search_info_changed, pv_changed), which come from the engine thread:
// an implementation hands those to its own thread and returns at once.

#include <functional>
#include <memory>
#include <string>

#include "engine/board/board.h"
#include "engine/search/driver.h"

// Command numbers of the menus, accelerators and toolbar.
enum Command : int {
    CMD_FILE_OPEN = 101,
    CMD_FILE_SAVE = 102,
    CMD_FILE_PRINT = 103,
    CMD_FILE_EXIT = 104,
    CMD_EDIT_SETUP = 201,
    CMD_EDIT_INIT = 202,
    CMD_EDIT_CLEAR = 203,
    CMD_EDIT_WHITE_TO_MOVE = 204,
    CMD_EDIT_BLACK_TO_MOVE = 205,
    CMD_EDIT_COPY_POSITION = 206,
    CMD_EDIT_PASTE_POSITION = 207,
    CMD_VIEW_CLOCK = 301,
    CMD_VIEW_COMMAND = 302,
    CMD_VIEW_GAME = 303,
    CMD_VIEW_PV = 304,
    CMD_VIEW_SEARCH_INFO = 305,
    CMD_GAME_NEW = 401,
    CMD_GAME_PLAYER_PLAYER = 402,
    CMD_GAME_PLAYER_COMPUTER = 403,
    CMD_GAME_COMPUTER_PLAYER = 404,
    CMD_GAME_COMPUTER_COMPUTER = 405,
    CMD_GAME_REMOTE = 406,
    CMD_GAME_NETWORK = 407,
    CMD_MOVE_UNDO = 501,
    CMD_MOVE_REDO = 502,
    CMD_MOVE_FORCE = 503,
    CMD_MOVE_COMPUTER = 504,
    CMD_MOVE_PLAYER = 505,
    CMD_CLOCK_START = 601,
    CMD_CLOCK_STOP = 602,
    CMD_CLOCK_RESET = 603,
    CMD_OPTIONS_SEARCH = 701,
    CMD_OPTIONS_PREFERENCES = 702,
    CMD_HELP_CONTENTS = 802,
    CMD_HELP_ABOUT = 804,
    CMD_OPTIONS_MEMORY = 40004,
    CMD_OPTIONS_SERIAL_PORT = 40005,
    CMD_CLOSE_ALL = 9998,
};

enum class MessageKind {
    ERROR,     // exclamation icon, OK
    QUESTION,  // OK and Cancel, no icon
};

enum class Answer { OK, CANCEL };

// The filter left chosen in a file dialog: it decides the file's format.
enum class FileFilter { TGR, ASC, PDN, ALL };

struct PdnIndexEntry;

// Board square marking for draw_square.
enum SquareMarking : int { SQUARE_PLAIN = 0, SQUARE_MARKED = 1, SQUARE_UNMARKED = 2 };

// The engine's progress reports (EngineReporter) reach the windows through the same
// object.
class GameUi : public EngineReporter {
public:
    virtual void check_menu_item(int command, bool checked) = 0;
    virtual void enable_menu_item(int command, bool enabled) = 0;
    virtual void press_toolbar_button(int command, bool pressed) = 0;

    // The board window: one square, or every square of `board`.
    virtual void draw_square(int piece, int square, int marking) = 0;
    virtual void draw_all_pieces(const Board& board) = 0;

    virtual void game_changed() = 0;          // the record changed: scroll to its end
    virtual void current_move_changed() = 0;  // undo or redo moved the current position
    virtual void clock_ticked() = 0;  // redraw the side to move's clock hands
    virtual void clocks_reset() = 0;  // erase both clocks' hands (before the values go to 0)

    virtual Answer message_box(const std::string& text, const std::string& caption, MessageKind kind) = 0;
    virtual bool ask_open_file(std::string& path) = 0;
    virtual bool ask_save_file(std::string& path) = 0;
    // The same dialogs, telling which filter was chosen; without filters, All Files.
    virtual bool ask_open_game_file(std::string& path, FileFilter& filter) {
        filter = FileFilter::ALL;
        return ask_open_file(path);
    }
    virtual bool ask_save_game_file(std::string& path, FileFilter& filter) {
        filter = FileFilter::ALL;
        return ask_save_file(path);
    }
    // A file of several games: the user picks one from the list of the games in `text`
    // (false: cancelled, as without a list to show).
    virtual bool choose_game(std::shared_ptr<const std::string> text, PdnIndexEntry& chosen) {
        (void)text;
        (void)chosen;
        return false;
    }
    // Plays "ding.wav" (the desktop program plays it without waiting for its end).
    virtual void play_move_sound() = 0;
    // The game now belongs to the file at `path`, just opened or saved; "" for a new game,
    // which has none yet. The desktop program names it in the frame's title.
    virtual void game_file_named(const std::string& path) { (void)path; }

    // Runs `task` on the main thread, later; without an event loop of its own an
    // implementation may run it at once on the calling thread.
    virtual void post_to_main_thread(std::function<void()> task) { task(); }
};

// Does nothing and answers every question with Cancel: the user interface of a program
// without windows, and the base of those that show only part of it.
class QuietGameUi : public GameUi {
public:
    void set_status_text(int, const std::string&) override {}
    void search_info_changed(int) override {}
    void pv_changed() override {}
    void check_menu_item(int, bool) override {}
    void enable_menu_item(int, bool) override {}
    void press_toolbar_button(int, bool) override {}
    void draw_square(int, int, int) override {}
    void draw_all_pieces(const Board&) override {}
    void game_changed() override {}
    void current_move_changed() override {}
    void clock_ticked() override {}
    void clocks_reset() override {}
    Answer message_box(const std::string&, const std::string&, MessageKind) override { return Answer::CANCEL; }
    bool ask_open_file(std::string&) override { return false; }
    bool ask_save_file(std::string&) override { return false; }
    void play_move_sound() override {}
};

