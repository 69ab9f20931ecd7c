#include "ui/dialog_templates.h"

#include <array>

namespace {

// Windows rounds dialog units the way MulDiv does: half away from zero.
int scale_rounded(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

using K = ControlKind;

constexpr std::array SEARCH_CONTROLS = {
    ControlTemplate{CONTROL_OK, K::DEFAULT_BUTTON, "OK", {7, 149, 50, 14}},
    ControlTemplate{CONTROL_CANCEL, K::BUTTON, "Cancel", {83, 149, 50, 14}},
    ControlTemplate{0, K::GROUP_BOX, "Search Limits", {7, 18, 190, 121}},
    ControlTemplate{SEARCH_FIXED_PLY, K::RADIO, "Fixed Ply", {20, 40, 44, 10}},
    ControlTemplate{SEARCH_FIXED_TIME, K::RADIO, "Fixed time per move", {20, 60, 79, 10}},
    ControlTemplate{SEARCH_GAME, K::RADIO, "Game", {20, 80, 35, 10}},
    ControlTemplate{SEARCH_TOURNAMENT, K::RADIO, "Tournament", {20, 100, 54, 10}},
    ControlTemplate{SEARCH_FIELD_1, K::NUMBER_FIELD, "", {125, 60, 40, 15}},
    ControlTemplate{SEARCH_FIELD_2, K::NUMBER_FIELD, "", {125, 100, 40, 15}},
    ControlTemplate{SEARCH_LABEL_1, K::TEXT, "Minutes/Game", {125, 50, 52, 8}},
    ControlTemplate{SEARCH_LABEL_2, K::TEXT, "Minutes", {125, 90, 26, 8}},
};

constexpr std::array MEMORY_CONTROLS = {
    ControlTemplate{CONTROL_OK, K::DEFAULT_BUTTON, "OK", {7, 152, 50, 14}},
    ControlTemplate{CONTROL_CANCEL, K::BUTTON, "Cancel", {68, 152, 50, 14}},
    ControlTemplate{0, K::GROUP_BOX, "Hashtable entries", {7, 7, 111, 137}},
    ControlTemplate{MEMORY_FIRST, K::RADIO, "0", {15, 20, 20, 10}},
    ControlTemplate{MEMORY_FIRST + 1, K::RADIO, "64K", {15, 40, 29, 10}},
    ControlTemplate{MEMORY_FIRST + 2, K::RADIO, "128K", {15, 60, 33, 10}},
    ControlTemplate{MEMORY_FIRST + 3, K::RADIO, "256K", {15, 80, 33, 10}},
    ControlTemplate{MEMORY_FIRST + 4, K::RADIO, "512K", {15, 100, 33, 10}},
    ControlTemplate{MEMORY_FIRST + 5, K::RADIO, "1024K", {15, 120, 37, 10}},
};

constexpr std::array SERIAL_PORT_CONTROLS = {
    ControlTemplate{CONTROL_OK, K::DEFAULT_BUTTON, "OK", {26, 128, 50, 14}},
    ControlTemplate{CONTROL_CANCEL, K::BUTTON, "Cancel", {91, 128, 50, 14}},
    ControlTemplate{0, K::GROUP_BOX, "Serial port", {27, 14, 113, 103}},
    ControlTemplate{PORT_FIRST, K::RADIO, "COM&1", {40, 30, 38, 10}},
    ControlTemplate{PORT_FIRST + 1, K::RADIO, "COM&2", {40, 50, 38, 10}},
    ControlTemplate{PORT_FIRST + 2, K::RADIO, "COM&3", {40, 70, 38, 10}},
    ControlTemplate{PORT_FIRST + 3, K::RADIO, "COM&4", {40, 90, 38, 10}},
};

constexpr std::array PREFERENCES_CONTROLS = {
    ControlTemplate{CONTROL_OK, K::DEFAULT_BUTTON, "OK", {43, 169, 50, 14}},
    ControlTemplate{CONTROL_CANCEL, K::BUTTON, "Cancel", {163, 169, 50, 14}},
    ControlTemplate{0, K::GROUP_BOX, "Preferences", {43, 7, 171, 153}},
    ControlTemplate{PREF_OPENING_BOOK, K::CHECK_BOX, "Opening Book", {62, 25, 76, 10}},
    ControlTemplate{PREF_ENDGAME_DATABASE, K::CHECK_BOX, "Endgame Database", {61, 54, 79, 10}},
    ControlTemplate{PREF_SOUND, K::CHECK_BOX, "Sound", {61, 81, 41, 10}},
    ControlTemplate{PREF_PERMANENT_BRAIN, K::CHECK_BOX, "Permanent Brain", {61, 111, 108, 10}},
    ControlTemplate{PREF_AUTO_MOVE, K::CHECK_BOX, "Auto Move", {61, 137, 95, 10}},
};

constexpr std::array ABOUT_CONTROLS = {
    ControlTemplate{CONTROL_OK, K::DEFAULT_BUTTON, "OK", {57, 74, 50, 14}},
    ControlTemplate{0, K::TEXT, ABOUT_VERSION_TEXT, {30, 15, 67, 8}},
    ControlTemplate{0, K::TEXT, ABOUT_SECOND_TEXT, {30, 30, 98, 8}},
    ControlTemplate{0, K::TEXT, ABOUT_GAMES_TEXT, {30, 45, 130, 8}},
    ControlTemplate{0, K::TEXT, ABOUT_POSITIONS_TEXT, {30, 55, 130, 8}},
};

}  // namespace

int DialogUnits::x(int units) const {
    return scale_rounded(units, base_x, 4);
}
int DialogUnits::y(int units) const {
    return scale_rounded(units, base_y, 8);
}

DialogRect DialogUnits::pixels(const DialogRect& units) const {
    return {x(units.x), y(units.y), x(units.width), y(units.height)};
}

DialogUnits dialog_units(int letters_width, int font_height) {
    return {(letters_width / 26 + 1) / 2, font_height};
}

const DialogTemplate SEARCH_TEMPLATE{
    "VantorSearch", "VANTOR Search", {50, 50, 266, 170}, SEARCH_CONTROLS};
const DialogTemplate MEMORY_TEMPLATE{
    "VantorMem", "VANTOR Memory", {50, 50, 127, 173}, MEMORY_CONTROLS};
const DialogTemplate SERIAL_PORT_TEMPLATE{
    "VantorSPort", "VANTOR Serial port", {50, 50, 163, 149}, SERIAL_PORT_CONTROLS};
const DialogTemplate PREFERENCES_TEMPLATE{
    "VantorPref", "VANTOR Preferences", {50, 50, 253, 190}, PREFERENCES_CONTROLS};
const DialogTemplate ABOUT_TEMPLATE{
    "VantorAbout", "About Vantor", {50, 50, 173, 103}, ABOUT_CONTROLS};
