#pragma once
// The command layer's tables: the menu bar `MDIVantorMenu` with its items, right-hand
// accelerator labels and help texts, the accelerator table "MDIACCEL", the toolbar and
// its tooltips. Every command arrives by number (game/game_ui.h) from any of them.

#include <array>
#include <string>

#include "game/game_ui.h"

enum MenuIndex : int {
    MENU_FILE,
    MENU_EDIT,
    MENU_VIEW,
    MENU_GAME,
    MENU_MOVE,
    MENU_CLOCK,
    MENU_OPTIONS,
    MENU_HELP,
    MENU_COUNT,
};

inline constexpr std::array<const char*, MENU_COUNT> MENU_TITLES{
    "&File", "&Edit", "&View", "&Game", "&Move", "&Clock", "&Options", "&Help",
};

// How a command's menu item and toolbar button behave.
enum class ItemKind {
    PUSH,   // an action
    CHECK,  // shows a state with a check mark (a pressed button on the toolbar)
};

struct CommandInfo {
    int command;
    MenuIndex menu;
    const char* text;         // the item text, '&' before the mnemonic
    const char* accel_label;  // the right-hand label ("" for none)
    const char* help;         // menu help shown in the status bar ("" for none)
    bool separator_before;
    ItemKind kind;
    bool initially_enabled;
};

inline constexpr int COMMAND_COUNT = 37;

// Every menu item, menu by menu, each menu in its item order.
extern const std::array<CommandInfo, COMMAND_COUNT> COMMANDS;

// The table row of `command`, or nullptr when no menu item carries it.
const CommandInfo* find_command(int command);
// The item text with its right-hand label after a tab, as the menu shows it.
std::string menu_item_text(const CommandInfo& info);
// Menu help for `command` ("" when it has none).
const char* help_text(int command);

// Toolbar, left to right: 29 entries, command 0 a separator.
enum class ButtonKind { SEPARATOR, PUSH, CHECK, GROUP };
struct ToolbarEntry {
    int command;
    int image;  // position in the 23-picture strip
    ButtonKind kind;
};
inline constexpr int TOOLBAR_ENTRY_COUNT = 29;
inline constexpr int TOOLBAR_IMAGE_COUNT = 23;
inline constexpr int TOOLBAR_IMAGE_WIDTH = 16;
inline constexpr int TOOLBAR_IMAGE_HEIGHT = 15;
extern const std::array<ToolbarEntry, TOOLBAR_ENTRY_COUNT> TOOLBAR;

// The tooltip of a toolbar command; "Invalid Button Index" for anything else.
const char* tooltip_text(int command);
inline constexpr const char* INVALID_BUTTON_TEXT = "Invalid Button Index";

// Accelerator table "MDIACCEL". Keys are written in the portable form "Ctrl+O".
struct Accelerator {
    const char* key;
    int command;
};
inline constexpr int ACCELERATOR_COUNT = 14;
extern const std::array<Accelerator, ACCELERATOR_COUNT> ACCELERATORS;
