#pragma once
// The dialogs' state and rules, free of any toolkit: what each dialog shows when it
// opens, what a click changes, and what OK stores in the settings. The Qt dialogs hold
// one of these records while they are open and only mirror it on screen.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/settings.h"

// Control numbers (the dialogs' object names).
enum DialogControl : int {
    CONTROL_OK = 1,
    CONTROL_CANCEL = 2,
    PREF_OPENING_BOOK = 1000,
    PREF_ENDGAME_DATABASE = 1001,
    PREF_SOUND = 1002,
    PREF_PERMANENT_BRAIN = 1003,
    PREF_AUTO_MOVE = 1004,
    SEARCH_FIXED_PLY = 1005,
    SEARCH_FIXED_TIME = 1006,
    SEARCH_GAME = 1007,
    SEARCH_TOURNAMENT = 1008,
    SEARCH_FIELD_1 = 1009,
    SEARCH_FIELD_2 = 1010,
    SEARCH_LABEL_1 = 1011,
    SEARCH_LABEL_2 = 1012,
    MEMORY_FIRST = 1013,  // "0"; 1014-1018 64K, 128K, 256K, 512K, 1024K entries
    MEMORY_LAST = 1018,
    PORT_FIRST = 1019,  // COM1; 1020-1022 COM2-COM4
    PORT_LAST = 1022,
};

// ---- Search --------------------------------------------------------------------------

// What the Search dialog shows: the selected mode's radio button, the two number fields
// (the second only for Tournament) and the two labels above them.
struct SearchDialogState {
    int selected = SEARCH_FIXED_PLY;
    std::string field1;
    std::string field2;
    bool field2_shown = false;
    std::string label1;
    std::string label2;
};

// Opening: the stored mode, filled from the stored settings.
SearchDialogState search_dialog_open(const Settings& settings);
// A click on a mode's radio button: the fields show that mode's stored values, never
// what was typed before.
void search_dialog_select(SearchDialogState& state, int control, const Settings& settings);

// The values the engine can work with. Fixed Ply starts its iterations at depth 2 and
// stops at 32; a Tournament period of 0 moves would divide by zero.
struct SettingRange {
    const char* name;  // as the message names it
    int low;
    int high;
};
inline constexpr SettingRange PLY_RANGE{"Ply", 2, 32};
inline constexpr SettingRange SECONDS_PER_MOVE_RANGE{"Seconds per move", 1, 86400};
inline constexpr SettingRange MINUTES_PER_GAME_RANGE{"Minutes per game", 1, 1440};
inline constexpr SettingRange TOURNAMENT_MOVES_RANGE{"Moves", 1, 1000};
inline constexpr SettingRange TOURNAMENT_MINUTES_RANGE{"Minutes", 1, 1440};

// A signed decimal integer filling the whole text (blanks around it allowed), or nothing.
std::optional<int> parse_setting(std::string_view text);

// Why OK cannot store the fields: the field to correct and the message to show.
struct SearchProblem {
    int control = SEARCH_FIELD_1;
    std::string message;
};
inline constexpr const char* SEARCH_CAPTION = "VANTOR Search";
std::optional<SearchProblem> search_dialog_check(const SearchDialogState& state);
// OK after a clean check: the mode and the fields of that mode go into the settings.
// Returns false, storing nothing, when the check finds a problem.
bool search_dialog_apply(const SearchDialogState& state, Settings& settings);

// ---- Memory --------------------------------------------------------------------------

inline constexpr std::array<const char*, 6> HASH_SIZE_LABELS = {"0",    "64K",  "128K",
                                                                "256K", "512K", "1024K"};

// The radio button of the table size in force.
int memory_dialog_open(const Settings& settings);

// OK with `selected` checked. When it names another size than the one in force: the
// engine is stopped first unless it is idle, the table re-allocated, and the size
// obtained stored; a smaller one than wanted is an allocation error, and its radio
// button is the one to show checked.
struct MemoryOutcome {
    bool reallocated = false;
    bool allocation_error = false;
    int checked = MEMORY_FIRST;
};
struct MemoryActions {
    std::function<void()> stop_engine;
    std::function<int(int)> reallocate;  // size index wanted -> size index obtained
};
MemoryOutcome memory_dialog_apply(int selected, Settings& settings, bool engine_idle,
                                  const MemoryActions& actions);
inline constexpr const char* MEMORY_ERROR_TEXT = "Hash-table allocation error!";
inline constexpr const char* MEMORY_ERROR_CAPTION = "Memory";

// ---- Serial port ---------------------------------------------------------------------

int serial_port_dialog_open(const Settings& settings);
void serial_port_dialog_apply(int selected, Settings& settings);

// ---- Preferences ---------------------------------------------------------------------

struct CheckBoxState {
    bool checked = false;
    bool enabled = true;
};
// Indexed by control number - PREF_OPENING_BOOK.
struct PreferencesState {
    std::array<CheckBoxState, 5> boxes{};
    CheckBoxState& box(int control) { return boxes[control - PREF_OPENING_BOOK]; }
    const CheckBoxState& box(int control) const { return boxes[control - PREF_OPENING_BOOK]; }
};

// Opening Book only when a book was loaded, Endgame Database only when the databases
// were; Permanent Brain and Auto Move off and disabled while the remote link is on.
PreferencesState preferences_dialog_open(const Settings& settings, bool book_loaded,
                                         bool endgame_available, bool remote_on);
// OK: every box read back, a disabled one as unchecked.
void preferences_dialog_apply(const PreferencesState& state, Settings& settings);

// The program's own engine and table: engine_stop on the game state and tt_allocate in
// re-allocation mode.
MemoryActions program_memory_actions();
