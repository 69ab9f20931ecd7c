#include "ui/command_table.h"

namespace {

constexpr bool SEP = true;
constexpr bool NO_SEP = false;
constexpr ItemKind PUSH = ItemKind::PUSH;
constexpr ItemKind CHECK = ItemKind::CHECK;
constexpr bool ENABLED = true;
constexpr bool GREYED = false;

struct Tooltip {
    int command;
    const char* text;
};

// The toolbar's command list and, in the same order, its texts.
constexpr std::array<Tooltip, TOOLBAR_IMAGE_COUNT> TOOLTIPS{{
    {CMD_FILE_OPEN, "Open"},
    {CMD_FILE_SAVE, "Save"},
    {CMD_FILE_PRINT, "Print"},
    {CMD_VIEW_CLOCK, "View Clock"},
    {CMD_VIEW_COMMAND, "View Command"},
    {CMD_VIEW_GAME, "View Game"},
    {CMD_VIEW_PV, "View PV"},
    {CMD_VIEW_SEARCH_INFO, "View Search Info"},
    {CMD_GAME_NEW, "New Game"},
    {CMD_GAME_PLAYER_PLAYER, "Player - Player"},
    {CMD_GAME_PLAYER_COMPUTER, "Player - Computer"},
    {CMD_GAME_COMPUTER_PLAYER, "Computer - Player"},
    {CMD_GAME_COMPUTER_COMPUTER, "Computer - Computer"},
    {CMD_GAME_REMOTE, "Remote"},
    {CMD_MOVE_UNDO, "Undo move"},
    {CMD_MOVE_REDO, "Redo move"},
    {CMD_MOVE_FORCE, "Force computer move"},
    {CMD_OPTIONS_MEMORY, "Memory"},
    {CMD_OPTIONS_SEARCH, "Search"},
    {CMD_OPTIONS_SERIAL_PORT, "Serial port"},
    {CMD_OPTIONS_PREFERENCES, "Preferences"},
    {CMD_HELP_CONTENTS, "Help Contents"},
    {CMD_HELP_ABOUT, "Help About"},
}};

}  // namespace

const std::array<CommandInfo, COMMAND_COUNT> COMMANDS{{
    {CMD_FILE_OPEN, MENU_FILE, "&Open...", "Ctrl O", "Open an existing game", NO_SEP, PUSH,
     ENABLED},
    {CMD_FILE_SAVE, MENU_FILE, "&Save...", "Ctrl S", "Save the active game", NO_SEP, PUSH, ENABLED},
    {CMD_FILE_PRINT, MENU_FILE, "&Print...", "Ctrl P", "Prints the active game", NO_SEP, PUSH,
     ENABLED},
    {CMD_FILE_EXIT, MENU_FILE, "E&xit", "", "Exit the program", SEP, PUSH, ENABLED},

    {CMD_EDIT_SETUP, MENU_EDIT, "&Set up board", "", "Set up Board position", NO_SEP, CHECK,
     ENABLED},
    {CMD_EDIT_INIT, MENU_EDIT, "&Init", "", "Set up initial Board position", SEP, PUSH, GREYED},
    {CMD_EDIT_CLEAR, MENU_EDIT, "&Clear", "", "Set up empty Board", NO_SEP, PUSH, GREYED},
    {CMD_EDIT_WHITE_TO_MOVE, MENU_EDIT, "&White to move", "", "White opponent to move", NO_SEP,
     CHECK, GREYED},
    {CMD_EDIT_BLACK_TO_MOVE, MENU_EDIT, "&Black to move", "", "Black opponent to move", NO_SEP,
     CHECK, GREYED},
    {CMD_EDIT_COPY_POSITION, MENU_EDIT, "C&opy position", "Ctrl C",
     "Copy the position to the clipboard as FEN", SEP, PUSH, ENABLED},
    {CMD_EDIT_PASTE_POSITION, MENU_EDIT, "&Paste position", "Ctrl V",
     "Set the board up from a FEN position on the clipboard", NO_SEP, PUSH, ENABLED},

    {CMD_VIEW_CLOCK, MENU_VIEW, "&Clock", "", "Show/hide the Clock window", NO_SEP, CHECK, ENABLED},
    {CMD_VIEW_COMMAND, MENU_VIEW, "C&ommand", "", "Show/hide the Command window", NO_SEP, CHECK,
     ENABLED},
    {CMD_VIEW_GAME, MENU_VIEW, "&Game", "", "Show/hide the Game window", NO_SEP, CHECK, ENABLED},
    {CMD_VIEW_PV, MENU_VIEW, "&PV", "", "Show/hide the Principal Variation window", NO_SEP, CHECK,
     ENABLED},
    {CMD_VIEW_SEARCH_INFO, MENU_VIEW, "&Search Info", "", "Show/hide the Search-Information window",
     NO_SEP, CHECK, ENABLED},

    {CMD_GAME_NEW, MENU_GAME, "&New", "Ctrl N", "Start a new game", NO_SEP, PUSH, ENABLED},
    {CMD_GAME_PLAYER_PLAYER, MENU_GAME, "Player - Player", "Alt 1", "Set opponents", SEP, CHECK,
     ENABLED},
    {CMD_GAME_PLAYER_COMPUTER, MENU_GAME, "Player - Computer", "Alt 2", "Set opponents", NO_SEP,
     CHECK, ENABLED},
    {CMD_GAME_COMPUTER_PLAYER, MENU_GAME, "Computer - Player", "Alt 3", "Set opponents", NO_SEP,
     CHECK, ENABLED},
    {CMD_GAME_COMPUTER_COMPUTER, MENU_GAME, "Computer - Computer", "Alt 4", "Set opponents", NO_SEP,
     CHECK, ENABLED},
    {CMD_GAME_REMOTE, MENU_GAME, "&Remote", "Alt R", "Enable/disable Game play via the serial port",
     NO_SEP, CHECK, ENABLED},
    {CMD_GAME_NETWORK, MENU_GAME, "&Network (DXP)...", "", "Play another program over the network (DamExchange)",
     NO_SEP, PUSH, ENABLED},

    {CMD_MOVE_UNDO, MENU_MOVE, "&Undo move", "Del", "Undo the last move", NO_SEP, PUSH, ENABLED},
    {CMD_MOVE_REDO, MENU_MOVE, "&Redo move", "Ins", "Redo the next move", NO_SEP, PUSH, ENABLED},
    {CMD_MOVE_FORCE, MENU_MOVE, "&Force computer move", "", "Force computer move", SEP, PUSH,
     ENABLED},
    {CMD_MOVE_COMPUTER, MENU_MOVE, "&Computer to move", "", "Select computer to move", NO_SEP,
     CHECK, ENABLED},
    {CMD_MOVE_PLAYER, MENU_MOVE, "&Player to move", "", "Select player to move", NO_SEP, CHECK,
     ENABLED},

    {CMD_CLOCK_START, MENU_CLOCK, "&Start", "", "Start the clocks", NO_SEP, PUSH, ENABLED},
    {CMD_CLOCK_STOP, MENU_CLOCK, "&Stop", "", "Stop the clocks", NO_SEP, PUSH, GREYED},
    {CMD_CLOCK_RESET, MENU_CLOCK, "&Reset", "", "Reset the clocks", SEP, PUSH, GREYED},

    {CMD_OPTIONS_MEMORY, MENU_OPTIONS, "&Memory...", "", "Change size Hash-table", NO_SEP, PUSH,
     ENABLED},
    {CMD_OPTIONS_SERIAL_PORT, MENU_OPTIONS, "Se&rial port...", "", "", NO_SEP, PUSH, ENABLED},
    {CMD_OPTIONS_SEARCH, MENU_OPTIONS, "&Search...", "", "Change type, time, or depth of search",
     NO_SEP, PUSH, ENABLED},
    {CMD_OPTIONS_PREFERENCES, MENU_OPTIONS, "&Preferences...", "", "Customize the program", NO_SEP,
     PUSH, ENABLED},

    {CMD_HELP_CONTENTS, MENU_HELP, "&Contents", "", "Display Help contents", NO_SEP, PUSH, ENABLED},
    {CMD_HELP_ABOUT, MENU_HELP, "&About VANTOR...", "",
     "Display program information, version number and copyright", SEP, PUSH, ENABLED},
}};

// The menu labels promise Ctrl P for Print and Alt R for Remote, so those keys do that.
const std::array<Accelerator, ACCELERATOR_COUNT> ACCELERATORS{{
    {"Alt+1", CMD_GAME_PLAYER_PLAYER},
    {"Alt+2", CMD_GAME_PLAYER_COMPUTER},
    {"Alt+3", CMD_GAME_COMPUTER_PLAYER},
    {"Alt+4", CMD_GAME_COMPUTER_COMPUTER},
    {"Ctrl+N", CMD_GAME_NEW},
    {"Ctrl+O", CMD_FILE_OPEN},
    {"Ctrl+P", CMD_FILE_PRINT},
    {"Ctrl+S", CMD_FILE_SAVE},
    {"Del", CMD_MOVE_UNDO},
    {"Ins", CMD_MOVE_REDO},
    {"F1", CMD_HELP_CONTENTS},
    {"Alt+R", CMD_GAME_REMOTE},
    {"Ctrl+C", CMD_EDIT_COPY_POSITION},
    {"Ctrl+V", CMD_EDIT_PASTE_POSITION},
}};

const std::array<ToolbarEntry, TOOLBAR_ENTRY_COUNT> TOOLBAR{{
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_FILE_OPEN, 0, ButtonKind::PUSH},
    {CMD_FILE_SAVE, 1, ButtonKind::PUSH},
    {CMD_FILE_PRINT, 2, ButtonKind::PUSH},
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_VIEW_CLOCK, 3, ButtonKind::CHECK},
    {CMD_VIEW_COMMAND, 4, ButtonKind::CHECK},
    {CMD_VIEW_GAME, 5, ButtonKind::CHECK},
    {CMD_VIEW_PV, 6, ButtonKind::CHECK},
    {CMD_VIEW_SEARCH_INFO, 7, ButtonKind::CHECK},
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_GAME_NEW, 8, ButtonKind::PUSH},
    {CMD_GAME_PLAYER_PLAYER, 9, ButtonKind::GROUP},
    {CMD_GAME_PLAYER_COMPUTER, 10, ButtonKind::GROUP},
    {CMD_GAME_COMPUTER_PLAYER, 11, ButtonKind::GROUP},
    {CMD_GAME_COMPUTER_COMPUTER, 12, ButtonKind::GROUP},
    {CMD_GAME_REMOTE, 13, ButtonKind::CHECK},
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_MOVE_UNDO, 14, ButtonKind::PUSH},
    {CMD_MOVE_REDO, 15, ButtonKind::PUSH},
    {CMD_MOVE_FORCE, 16, ButtonKind::PUSH},
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_OPTIONS_MEMORY, 17, ButtonKind::PUSH},
    {CMD_OPTIONS_SEARCH, 18, ButtonKind::PUSH},
    {CMD_OPTIONS_SERIAL_PORT, 19, ButtonKind::PUSH},
    {CMD_OPTIONS_PREFERENCES, 20, ButtonKind::PUSH},
    {0, -1, ButtonKind::SEPARATOR},
    {CMD_HELP_CONTENTS, 21, ButtonKind::PUSH},
    {CMD_HELP_ABOUT, 22, ButtonKind::PUSH},
}};

const CommandInfo* find_command(int command) {
    for (const CommandInfo& info : COMMANDS) {
        if (info.command == command) return &info;
    }
    return nullptr;
}

std::string menu_item_text(const CommandInfo& info) {
    std::string text = info.text;
    if (*info.accel_label != '\0') text.append("\t").append(info.accel_label);
    return text;
}

const char* help_text(int command) {
    const CommandInfo* info = find_command(command);
    return info != nullptr ? info->help : "";
}

const char* tooltip_text(int command) {
    for (const Tooltip& tooltip : TOOLTIPS) {
        if (tooltip.command == command) return tooltip.text;
    }
    return INVALID_BUTTON_TEXT;
}
