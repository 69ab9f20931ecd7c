#pragma once
// The dialogs' templates, in dialog units: a horizontal unit is a quarter of the dialog
// font's average character width, a vertical unit an eighth of its height, so the
// arrangement keeps its proportions with whatever font the dialog gets.

#include <span>

#include "ui/dialog_state.h"

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The base units of a dialog font: average width of the letters A-Z and a-z (rounded)
// and the font height, in pixels.
struct DialogUnits {
    int base_x = 6;
    int base_y = 13;
    int x(int units) const;  // units x base_x / 4, rounded
    int y(int units) const;  // units x base_y / 8, rounded
    DialogRect pixels(const DialogRect& units) const;
};
// From the width of the 52 letters laid side by side.
DialogUnits dialog_units(int letters_width, int font_height);

enum class ControlKind { DEFAULT_BUTTON, BUTTON, GROUP_BOX, RADIO, CHECK_BOX, NUMBER_FIELD, TEXT };

struct ControlTemplate {
    int id = 0;  // 0 for controls nobody addresses (group boxes, fixed texts)
    ControlKind kind = ControlKind::TEXT;
    const char* text = "";
    DialogRect rect;
};

struct DialogTemplate {
    const char* name;
    const char* caption;
    DialogRect rect;  // position relative to the owner, and the client size
    std::span<const ControlTemplate> controls;
};

extern const DialogTemplate SEARCH_TEMPLATE;
extern const DialogTemplate MEMORY_TEMPLATE;
extern const DialogTemplate SERIAL_PORT_TEMPLATE;
extern const DialogTemplate PREFERENCES_TEMPLATE;
extern const DialogTemplate ABOUT_TEMPLATE;

// The About dialog's two lines.
inline constexpr const char* ABOUT_VERSION_TEXT = "Vantor Version 5.0 ";
inline constexpr const char* ABOUT_SECOND_TEXT = "International draughts";
// The formats the program reads and writes.
inline constexpr const char* ABOUT_GAMES_TEXT = "Games: .tgr and PDN files";
inline constexpr const char* ABOUT_POSITIONS_TEXT = "Positions: FEN (Edit menu)";
