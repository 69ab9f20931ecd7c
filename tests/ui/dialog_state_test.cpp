// The dialogs' rules: what they show when they open, what clicks change, what OK
// stores and what it refuses; and the conversion of their templates into pixels.

#include "ui/dialog_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/dialog_templates.h"

namespace {

// Typing into a field replaces its text.
void type(std::string& field, std::string text) {
    field = std::move(text);
}

class SearchDialog : public testing::Test {
  protected:
    Settings settings;  // the defaults: Fixed Ply 6, 50 s, 60 min, 65 moves in 60 min
};

}  // namespace

TEST_F(SearchDialog, OpensOnTheStoredModeWithItsValues) {
    const SearchDialogState state = search_dialog_open(settings);
    EXPECT_EQ(state.selected, SEARCH_FIXED_PLY);
    EXPECT_EQ(state.field1, "6");
    EXPECT_FALSE(state.field2_shown);
    EXPECT_EQ(state.label1, "Ply");
    EXPECT_EQ(state.label2, "");
}

TEST_F(SearchDialog, TournamentShowsBothFieldsThenFixedPlyHidesTheSecond) {
    settings.search_mode = TOURNAMENT;
    SearchDialogState state = search_dialog_open(settings);
    EXPECT_EQ(state.selected, SEARCH_TOURNAMENT);
    EXPECT_EQ(state.field1, "65");
    EXPECT_EQ(state.field2, "60");
    EXPECT_TRUE(state.field2_shown);
    EXPECT_EQ(state.label1, "Moves");
    EXPECT_EQ(state.label2, "Minutes");

    search_dialog_select(state, SEARCH_FIXED_PLY, settings);
    EXPECT_EQ(state.field1, "6");
    EXPECT_FALSE(state.field2_shown);
    EXPECT_EQ(state.label1, "Ply");
    EXPECT_EQ(state.label2, "");
}

TEST_F(SearchDialog, EachModeFillsFromItsOwnSetting) {
    SearchDialogState state = search_dialog_open(settings);
    search_dialog_select(state, SEARCH_FIXED_TIME, settings);
    EXPECT_EQ(state.field1, "50");
    EXPECT_EQ(state.label1, "Seconds/Move");
    search_dialog_select(state, SEARCH_GAME, settings);
    EXPECT_EQ(state.field1, "60");
    EXPECT_EQ(state.label1, "Minutes/Game");
    EXPECT_FALSE(state.field2_shown);
}

TEST_F(SearchDialog, SwitchingBackShowsTheStoredValueNotTheTypedOne) {
    SearchDialogState state = search_dialog_open(settings);
    type(state.field1, "12");
    search_dialog_select(state, SEARCH_GAME, settings);
    search_dialog_select(state, SEARCH_FIXED_PLY, settings);
    EXPECT_EQ(state.field1, "6");
    EXPECT_EQ(settings.ply, 6);
}

TEST_F(SearchDialog, OkStoresTheModeAndOnlyItsFields) {
    SearchDialogState state = search_dialog_open(settings);
    search_dialog_select(state, SEARCH_TOURNAMENT, settings);
    type(state.field1, "40");
    type(state.field2, "120");
    ASSERT_TRUE(search_dialog_apply(state, settings));
    EXPECT_EQ(settings.search_mode, TOURNAMENT);
    EXPECT_EQ(settings.tournament_moves, 40);
    EXPECT_EQ(settings.tournament_minutes, 120);
    EXPECT_EQ(settings.ply, 6);
    EXPECT_EQ(settings.seconds_per_move, 50);
    EXPECT_EQ(settings.minutes_per_game, 60);

    search_dialog_select(state, SEARCH_FIXED_TIME, settings);
    type(state.field1, "15");
    type(state.field2, "999");  // hidden: not read
    ASSERT_TRUE(search_dialog_apply(state, settings));
    EXPECT_EQ(settings.search_mode, FIXED_TIME_PER_MOVE);
    EXPECT_EQ(settings.seconds_per_move, 15);
    EXPECT_EQ(settings.tournament_minutes, 120);
}

TEST_F(SearchDialog, RefusesValuesTheEngineCannotUse) {
    struct Case {
        int mode;
        std::string field1;
        std::string field2;
        int control;  // 0: accepted
    };
    const std::vector<Case> cases = {
        {SEARCH_FIXED_PLY, "1", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_PLY, "2", "", 0},
        {SEARCH_FIXED_PLY, "32", "", 0},
        {SEARCH_FIXED_PLY, "33", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_PLY, "", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_PLY, "6a", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_TIME, "0", "", SEARCH_FIELD_1},
        {SEARCH_FIXED_TIME, "86400", "", 0},
        {SEARCH_FIXED_TIME, "86401", "", SEARCH_FIELD_1},
        {SEARCH_GAME, "1440", "", 0},
        {SEARCH_GAME, "1441", "", SEARCH_FIELD_1},
        {SEARCH_TOURNAMENT, "0", "60", SEARCH_FIELD_1},
        {SEARCH_TOURNAMENT, "1000", "60", 0},
        {SEARCH_TOURNAMENT, "1001", "60", SEARCH_FIELD_1},
        {SEARCH_TOURNAMENT, "65", "0", SEARCH_FIELD_2},
        {SEARCH_TOURNAMENT, "65", "", SEARCH_FIELD_2},
        {SEARCH_TOURNAMENT, "65", "1441", SEARCH_FIELD_2},
        {SEARCH_FIXED_PLY, "99999999999999", "", SEARCH_FIELD_1},
    };
    for (const Case& c : cases) {
        Settings fresh;
        SearchDialogState state = search_dialog_open(fresh);
        search_dialog_select(state, c.mode, fresh);
        type(state.field1, c.field1);
        type(state.field2, c.field2);
        const auto problem = search_dialog_check(state);
        EXPECT_EQ(problem ? problem->control : 0, c.control) << c.mode << " " << c.field1;
        EXPECT_EQ(search_dialog_apply(state, fresh), c.control == 0);
        if (c.control != 0) {
            // Nothing at all is stored, not even the mode.
            EXPECT_EQ(fresh.search_mode, FIXED_PLY);
            EXPECT_EQ(fresh.ply, 6);
            EXPECT_EQ(fresh.tournament_moves, 65);
            EXPECT_EQ(fresh.tournament_minutes, 60);
        }
    }
}

TEST_F(SearchDialog, TheMessageNamesTheFieldAndItsRange) {
    SearchDialogState state = search_dialog_open(settings);
    type(state.field1, "1");
    EXPECT_EQ(search_dialog_check(state)->message, "Ply must be a whole number from 2 to 32.");
    search_dialog_select(state, SEARCH_TOURNAMENT, settings);
    type(state.field1, "0");
    EXPECT_EQ(search_dialog_check(state)->message, "Moves must be a whole number from 1 to 1000.");
    type(state.field1, "65");
    type(state.field2, "");
    EXPECT_EQ(search_dialog_check(state)->message,
              "Minutes must be a whole number from 1 to 1440.");
}

TEST(SettingText, ReadsSignedDecimalIntegers) {
    EXPECT_EQ(parse_setting("42"), 42);
    EXPECT_EQ(parse_setting(" 42 "), 42);
    EXPECT_EQ(parse_setting("+7"), 7);
    EXPECT_EQ(parse_setting("-3"), -3);
    EXPECT_EQ(parse_setting("007"), 7);
    EXPECT_FALSE(parse_setting(""));
    EXPECT_FALSE(parse_setting("  "));
    EXPECT_FALSE(parse_setting("4 2"));
    EXPECT_FALSE(parse_setting("0x10"));
    EXPECT_FALSE(parse_setting("2147483648"));
    EXPECT_FALSE(parse_setting("+-1"));
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

TEST(MemoryDialog, OpensOnTheSizeInForce) {
    Settings settings;
    settings.hash_size_index = 3;
    EXPECT_EQ(memory_dialog_open(settings), 1016);
    settings.hash_size_index = 0;
    EXPECT_EQ(memory_dialog_open(settings), 1013);
}

TEST(MemoryDialog, TheSizeInForceTouchesNeitherEngineNorTable) {
    Settings settings;
    MemoryCalls calls;
    const MemoryOutcome outcome = memory_dialog_apply(1016, settings, false, calls.actions());
    EXPECT_FALSE(outcome.reallocated);
    EXPECT_FALSE(outcome.allocation_error);
    EXPECT_EQ(calls.stops, 0);
    EXPECT_TRUE(calls.requests.empty());
}

TEST(MemoryDialog, AnotherSizeStopsABusyEngineAndReallocates) {
    Settings settings;
    MemoryCalls calls;
    MemoryOutcome outcome = memory_dialog_apply(1018, settings, false, calls.actions());
    EXPECT_TRUE(outcome.reallocated);
    EXPECT_FALSE(outcome.allocation_error);
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(calls.requests, std::vector<int>{5});
    EXPECT_EQ(settings.hash_size_index, 5);
    EXPECT_EQ(outcome.checked, 1018);

    // An idle engine is not stopped; "0" asks for index 0.
    outcome = memory_dialog_apply(1013, settings, true, calls.actions());
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(calls.requests, (std::vector<int>{5, 0}));
    EXPECT_EQ(settings.hash_size_index, 0);
}

TEST(MemoryDialog, ASmallerTableThanWantedIsAnErrorAndItsButtonIsChecked) {
    Settings settings;
    MemoryCalls calls;
    calls.largest = 2;
    const MemoryOutcome outcome = memory_dialog_apply(1018, settings, true, calls.actions());
    EXPECT_TRUE(outcome.allocation_error);
    EXPECT_EQ(settings.hash_size_index, 2);
    EXPECT_EQ(outcome.checked, 1015);
}

TEST(SerialPortDialog, ChecksTheStoredPortAndStoresTheChosenOne) {
    Settings settings;
    EXPECT_EQ(serial_port_dialog_open(settings), 1019);
    settings.com_port = 4;
    EXPECT_EQ(serial_port_dialog_open(settings), 1022);
    serial_port_dialog_apply(1021, settings);
    EXPECT_EQ(settings.com_port, 3);
}

TEST(PreferencesDialog, ChecksTheSettingsWhereTheyApply) {
    Settings settings;
    settings.book_use = 1;
    settings.endgame_use = 1;
    settings.auto_move = 1;
    const PreferencesState state = preferences_dialog_open(settings, true, true, false);
    for (int control = PREF_OPENING_BOOK; control <= PREF_AUTO_MOVE; ++control) {
        EXPECT_TRUE(state.box(control).enabled) << control;
        EXPECT_TRUE(state.box(control).checked) << control;
    }
}

TEST(PreferencesDialog, BookAndDatabaseDisabledWhenTheyDoNotApply) {
    Settings settings;
    settings.book_use = 1;
    settings.endgame_use = 1;
    PreferencesState state = preferences_dialog_open(settings, false, false, false);
    EXPECT_FALSE(state.box(PREF_OPENING_BOOK).enabled);
    EXPECT_FALSE(state.box(PREF_OPENING_BOOK).checked);
    EXPECT_FALSE(state.box(PREF_ENDGAME_DATABASE).enabled);
    // OK turns both off.
    state.box(PREF_OPENING_BOOK).checked = true;  // a disabled box reads as unchecked
    preferences_dialog_apply(state, settings);
    EXPECT_EQ(settings.book_use, 0);
    EXPECT_EQ(settings.endgame_use, 0);
    EXPECT_EQ(settings.sound, 1);
    EXPECT_EQ(settings.permanent_brain, 1);
}

TEST(PreferencesDialog, RemotePlayDisablesPermanentBrainAndAutoMove) {
    Settings settings;
    settings.auto_move = 1;
    const PreferencesState state = preferences_dialog_open(settings, true, true, true);
    EXPECT_FALSE(state.box(PREF_PERMANENT_BRAIN).enabled);
    EXPECT_FALSE(state.box(PREF_PERMANENT_BRAIN).checked);
    EXPECT_FALSE(state.box(PREF_AUTO_MOVE).enabled);
    EXPECT_FALSE(state.box(PREF_AUTO_MOVE).checked);
    preferences_dialog_apply(state, settings);
    EXPECT_EQ(settings.permanent_brain, 0);
    EXPECT_EQ(settings.auto_move, 0);
}

TEST(PreferencesDialog, OkReadsEveryEnabledBox) {
    Settings settings;
    PreferencesState state = preferences_dialog_open(settings, true, true, false);
    state.box(PREF_SOUND).checked = false;
    state.box(PREF_OPENING_BOOK).checked = true;
    state.box(PREF_AUTO_MOVE).checked = true;
    preferences_dialog_apply(state, settings);
    EXPECT_EQ(settings.sound, 0);
    EXPECT_EQ(settings.book_use, 1);
    EXPECT_EQ(settings.endgame_use, 0);
    EXPECT_EQ(settings.permanent_brain, 1);
    EXPECT_EQ(settings.auto_move, 1);
}

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    // "MS Sans Serif" 8 point: 6 x 13 pixels.
    const DialogUnits units = dialog_units(6 * 52 + 10, 13);
    EXPECT_EQ(units.base_x, 6);
    EXPECT_EQ(units.base_y, 13);
    EXPECT_EQ(units.x(4), 6);
    EXPECT_EQ(units.x(266), 399);
    EXPECT_EQ(units.y(8), 13);
    EXPECT_EQ(units.y(170), 276);  // 276.25
    EXPECT_EQ(units.y(10), 16);    // 16.25
    EXPECT_EQ(units.y(14), 23);    // 22.75 rounds up
    const DialogRect ok = units.pixels({7, 149, 50, 14});
    EXPECT_EQ(ok.x, 11);  // 10.5 rounds away from zero
    EXPECT_EQ(ok.y, 242);
    EXPECT_EQ(ok.width, 75);
    EXPECT_EQ(ok.height, 23);
}

TEST(DialogTemplates, CaptionsAndControlNumbers) {
    EXPECT_STREQ(SEARCH_TEMPLATE.caption, "VANTOR Search");
    EXPECT_STREQ(MEMORY_TEMPLATE.caption, "VANTOR Memory");
    EXPECT_STREQ(SERIAL_PORT_TEMPLATE.caption, "VANTOR Serial port");
    EXPECT_STREQ(PREFERENCES_TEMPLATE.caption, "VANTOR Preferences");
    EXPECT_STREQ(ABOUT_TEMPLATE.caption, "About Vantor");
    EXPECT_EQ(MEMORY_TEMPLATE.controls.size(), 9u);
    EXPECT_STREQ(MEMORY_TEMPLATE.controls[8].text, "1024K");
    EXPECT_EQ(MEMORY_TEMPLATE.controls[8].id, 1018);
    EXPECT_EQ(ABOUT_TEMPLATE.controls.size(), 3u);
    EXPECT_STREQ(ABOUT_TEMPLATE.controls[1].text, "Vantor Version 5.0 ");
}

TEST(DialogTemplates, ControlsLieInsideTheirDialog) {
    for (const DialogTemplate* dialog : {&SEARCH_TEMPLATE, &MEMORY_TEMPLATE, &SERIAL_PORT_TEMPLATE,
                                         &PREFERENCES_TEMPLATE, &ABOUT_TEMPLATE}) {
        for (const ControlTemplate& control : dialog->controls) {
            EXPECT_LE(control.rect.x + control.rect.width, dialog->rect.width) << dialog->name;
            EXPECT_LE(control.rect.y + control.rect.height, dialog->rect.height) << dialog->name;
        }
    }
}
