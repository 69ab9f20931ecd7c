#include "ui/dialog_state.h"

#include <algorithm>
#include <charconv>

#include "engine/search/driver.h"
#include "engine/search/tt.h"

namespace {

int search_mode_of(int control) {
    return std::clamp<int>(control, SEARCH_FIXED_PLY, SEARCH_TOURNAMENT) - SEARCH_FIXED_PLY;
}

std::optional<SearchProblem> check_field(const std::string& text, const SettingRange& range,
                                         int control) {
    const std::optional<int> value = parse_setting(text);
    if (value && *value >= range.low && *value <= range.high) return std::nullopt;
    return SearchProblem{control, std::string(range.name) + " must be a whole number from " +
                                      std::to_string(range.low) + " to " +
                                      std::to_string(range.high) + "."};
}

const SettingRange& field1_range(int mode) {
    switch (mode) {
        case FIXED_PLY:
            return PLY_RANGE;
        case FIXED_TIME_PER_MOVE:
            return SECONDS_PER_MOVE_RANGE;
        case GAME_TIME:
            return MINUTES_PER_GAME_RANGE;
        default:
            return TOURNAMENT_MOVES_RANGE;
    }
}

// The setting that field 1009 edits in `mode` (const or not, as the settings are).
template <class AnySettings>
auto& field1_setting(int mode, AnySettings& settings) {
    switch (mode) {
        case FIXED_PLY:
            return settings.ply;
        case FIXED_TIME_PER_MOVE:
            return settings.seconds_per_move;
        case GAME_TIME:
            return settings.minutes_per_game;
        default:
            return settings.tournament_moves;
    }
}

}  // namespace

SearchDialogState search_dialog_open(const Settings& settings) {
    SearchDialogState state;
    search_dialog_select(state, SEARCH_FIXED_PLY + std::clamp<int>(settings.search_mode, 0, 3),
                         settings);
    return state;
}

void search_dialog_select(SearchDialogState& state, int control, const Settings& settings) {
    const int mode = search_mode_of(control);
    state.selected = SEARCH_FIXED_PLY + mode;
    state.field1 = std::to_string(field1_setting(mode, settings).load());
    state.field2_shown = mode == TOURNAMENT;
    state.label2.clear();
    switch (mode) {
        case FIXED_PLY:
            state.label1 = "Ply";
            break;
        case FIXED_TIME_PER_MOVE:
            state.label1 = "Seconds/Move";
            break;
        case GAME_TIME:
            state.label1 = "Minutes/Game";
            break;
        default:
            state.label1 = "Moves";
            state.label2 = "Minutes";
            state.field2 = std::to_string(settings.tournament_minutes.load());
            break;
    }
}

std::optional<int> parse_setting(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    // from_chars takes a minus sign but no plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9') {
        text.remove_prefix(1);
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<SearchProblem> search_dialog_check(const SearchDialogState& state) {
    const int mode = search_mode_of(state.selected);
    if (auto problem = check_field(state.field1, field1_range(mode), SEARCH_FIELD_1)) {
        return problem;
    }
    if (mode == TOURNAMENT) {
        return check_field(state.field2, TOURNAMENT_MINUTES_RANGE, SEARCH_FIELD_2);
    }
    return std::nullopt;
}

bool search_dialog_apply(const SearchDialogState& state, Settings& settings) {
    if (search_dialog_check(state)) return false;
    const int mode = search_mode_of(state.selected);
    settings.search_mode = mode;
    field1_setting(mode, settings) = *parse_setting(state.field1);
    if (mode == TOURNAMENT) settings.tournament_minutes = *parse_setting(state.field2);
    return true;
}

int memory_dialog_open(const Settings& settings) {
    return MEMORY_FIRST + std::clamp<int>(settings.hash_size_index, 0, MEMORY_LAST - MEMORY_FIRST);
}

MemoryOutcome memory_dialog_apply(int selected, Settings& settings, bool engine_idle,
                                  const MemoryActions& actions) {
    const int wanted = std::clamp<int>(selected, MEMORY_FIRST, MEMORY_LAST) - MEMORY_FIRST;
    MemoryOutcome outcome;
    if (wanted != settings.hash_size_index) {
        // The table may only change while the engine is idle.
        if (!engine_idle) actions.stop_engine();
        settings.hash_size_index = actions.reallocate(wanted);
        outcome.reallocated = true;
        outcome.allocation_error = settings.hash_size_index != wanted;
    }
    outcome.checked = memory_dialog_open(settings);
    return outcome;
}

int serial_port_dialog_open(const Settings& settings) {
    return PORT_FIRST - 1 + std::clamp<int>(settings.com_port, 1, PORT_LAST - PORT_FIRST + 1);
}

void serial_port_dialog_apply(int selected, Settings& settings) {
    settings.com_port = std::clamp<int>(selected, PORT_FIRST, PORT_LAST) - PORT_FIRST + 1;
}

PreferencesState preferences_dialog_open(const Settings& settings, bool book_loaded,
                                         bool endgame_available, bool remote_on) {
    PreferencesState state;
    state.box(PREF_SOUND) = {settings.sound != 0, true};
    // The setting is for the games to come, so it can be changed whatever the game in
    // progress did with the book.
    state.box(PREF_OPENING_BOOK) = {book_loaded && settings.book_use != 0, book_loaded};
    state.box(PREF_ENDGAME_DATABASE) = {endgame_available && settings.endgame_use != 0,
                                        endgame_available};
    state.box(PREF_PERMANENT_BRAIN) = {!remote_on && settings.permanent_brain != 0, !remote_on};
    state.box(PREF_AUTO_MOVE) = {!remote_on && settings.auto_move != 0, !remote_on};
    return state;
}

void preferences_dialog_apply(const PreferencesState& state, Settings& settings) {
    const auto read = [&](int control) {
        const CheckBoxState& box = state.box(control);
        return box.enabled && box.checked ? 1 : 0;
    };
    settings.book_use = read(PREF_OPENING_BOOK);
    settings.endgame_use = read(PREF_ENDGAME_DATABASE);
    settings.sound = read(PREF_SOUND);
    settings.permanent_brain = read(PREF_PERMANENT_BRAIN);
    settings.auto_move = read(PREF_AUTO_MOVE);
}

MemoryActions program_memory_actions() {
    return {[] { engine_stop(game_state()); },
            [](int wanted) { return tt_allocate(TTMode::REALLOCATE, wanted); }};
}
