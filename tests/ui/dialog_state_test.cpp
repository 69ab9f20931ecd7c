// The dialogs' rules: what they show when they open, what clicks change, what OK
// stores and what it refuses.

#include "ui/dialog_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The defaults: Fixed Ply 6, 50 s a move, 60 min a game, 65 moves in 60 min.
TEST(SearchDialog, EachModeShowsItsStoredValuesNeverTheTypedOnes) {
    struct Case {
        int mode;
        const char* field1;
        const char* label1;
        bool field2_shown;
        const char* label2;
    };
    const Case cases[] = {
        {SEARCH_FIXED_TIME, "50", "Seconds/Move", false, ""},
        {SEARCH_GAME, "60", "Minutes/Game", false, ""},
        {SEARCH_TOURNAMENT, "65", "Moves", true, "Minutes"},
        {SEARCH_FIXED_PLY, "6", "Ply", false, ""},
    };
    Settings settings;
    SearchDialogState state = search_dialog_open(settings);
    EXPECT_EQ(state.selected, SEARCH_FIXED_PLY);
    for (const Case& c : cases) {
        state.field1 = "12";  // typed, then another mode chosen: forgotten
        search_dialog_select(state, c.mode, settings);
        EXPECT_EQ(state.selected, c.mode);
        EXPECT_EQ(state.field1, c.field1) << c.mode;
        EXPECT_EQ(state.label1, c.label1) << c.mode;
        EXPECT_EQ(state.field2_shown, c.field2_shown) << c.mode;
        EXPECT_EQ(state.label2, c.label2) << c.mode;
    }
    EXPECT_EQ(settings.ply, 6);
    settings.search_mode = TOURNAMENT;
    state = search_dialog_open(settings);
    EXPECT_EQ(state.selected, SEARCH_TOURNAMENT);
    EXPECT_EQ(state.field2, "60");
}

TEST(SearchDialog, OkStoresTheModeAndOnlyItsShownFields) {
    Settings settings;
    SearchDialogState state = search_dialog_open(settings);
    search_dialog_select(state, SEARCH_FIXED_TIME, settings);
    state.field1 = "15";
    state.field2 = "999";  // hidden: not read
    ASSERT_TRUE(search_dialog_apply(state, settings));
    EXPECT_EQ(settings.search_mode, FIXED_TIME_PER_MOVE);
    EXPECT_EQ(settings.seconds_per_move, 15);
    EXPECT_EQ(settings.ply, 6);
    EXPECT_EQ(settings.tournament_minutes, 60);
}

// The message names the field to correct and its range; nothing at all is stored, not
// even the mode.
TEST(SearchDialog, RefusesValuesTheEngineCannotUse) {
    struct Case {
        int mode;
        const char* field1;
        const char* field2;
        int control;  // 0: accepted
        const char* message = nullptr;
    };
    const Case cases[] = {
        {SEARCH_FIXED_PLY, "1", "", SEARCH_FIELD_1, "Ply must be a whole number from 2 to 32."},
        {SEARCH_FIXED_PLY, "2", "", 0},
        {SEARCH_FIXED_PLY, "32", "", 0},
        {SEARCH_FIXED_PLY, "33", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_TIME, "0", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_TIME, "86400", "", 0},
        {SEARCH_GAME, "1441", "", SEARCH_FIELD_1},
        {SEARCH_TOURNAMENT, "0", "60", SEARCH_FIELD_1,
         "Moves must be a whole number from 1 to 1000."},
        {SEARCH_TOURNAMENT, "1000", "60", 0},
        {SEARCH_TOURNAMENT, "65", "0", SEARCH_FIELD_2},
        {SEARCH_TOURNAMENT, "65", "", SEARCH_FIELD_2,
         "Minutes must be a whole number from 1 to 1440."},
    };
    for (const Case& c : cases) {
        Settings fresh;
        SearchDialogState state = search_dialog_open(fresh);
        search_dialog_select(state, c.mode, fresh);
        state.field1 = c.field1;
        state.field2 = c.field2;
        const auto problem = search_dialog_check(state);
        EXPECT_EQ(problem ? problem->control : 0, c.control) << c.mode << " " << c.field1;
        if (c.message != nullptr && problem) {
            EXPECT_EQ(problem->message, c.message);
        }
        EXPECT_EQ(search_dialog_apply(state, fresh), c.control == 0);
        if (c.control != 0) {
            EXPECT_EQ(fresh.search_mode, FIXED_PLY);
            EXPECT_EQ(fresh.ply, 6);
            EXPECT_EQ(fresh.tournament_moves, 65);
            EXPECT_EQ(fresh.tournament_minutes, 60);
        }
    }
}

TEST(SearchDialog, SettingTextIsASignedDecimalInteger) {
    EXPECT_EQ(parse_setting(" 42 "), 42);
    EXPECT_EQ(parse_setting("+7"), 7);
    EXPECT_EQ(parse_setting("-3"), -3);
    for (const char* text : {"", "  ", "4 2", "6a", "0x10", "2147483648", "+-1"})
        EXPECT_FALSE(parse_setting(text)) << text;
}

namespace {

struct MemoryCalls {
    int stops = 0;
    std::vector<int> requests;
    int largest = 5;  // the largest size index that can be allocated
    MemoryActions actions() {
        return {[this] { ++stops; },
                [this](int wanted) {
                    requests.push_back(wanted);
                    return std::min(wanted, largest);
                }};
    }
};

}  // namespace

// Serial port and Preferences are checked through their dialogs in the window test.
TEST(MemoryDialog, AnotherSizeStopsABusyEngineAndReallocates) {
    Settings settings;
    settings.hash_size_index = 3;
    EXPECT_EQ(memory_dialog_open(settings), 1016);
    MemoryCalls calls;
    MemoryOutcome outcome = memory_dialog_apply(1016, settings, false, calls.actions());
    EXPECT_FALSE(outcome.reallocated);  // the size in force touches neither
    EXPECT_EQ(calls.stops, 0);
    EXPECT_TRUE(calls.requests.empty());

    outcome = memory_dialog_apply(1018, settings, false, calls.actions());
    EXPECT_TRUE(outcome.reallocated);
    EXPECT_FALSE(outcome.allocation_error);
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(settings.hash_size_index, 5);

    // An idle engine is not stopped; "0" asks for index 0.
    memory_dialog_apply(1013, settings, true, calls.actions());
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(calls.requests, (std::vector<int>{5, 0}));

    // A smaller table than wanted is an error, and its button is the one checked.
    calls.largest = 2;
    outcome = memory_dialog_apply(1018, settings, true, calls.actions());
    EXPECT_TRUE(outcome.allocation_error);
    EXPECT_EQ(settings.hash_size_index, 2);
    EXPECT_EQ(outcome.checked, 1015);
}
