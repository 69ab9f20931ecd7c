#include "ui/command_states.h"

#include <gtest/gtest.h>

#include "game/clocks.h"
#include "game/controller.h"
#include "shell_test_support.h"

namespace {

bool enabled(const CommandStates& s, int command) {
    return s.state(command).enabled;
}
bool checked(const CommandStates& s, int command) {
    return s.state(command).checked;
}

}  // namespace

TEST(CommandStates, TheMenuResourceStates) {
    const CommandStates states;
    for (const CommandInfo& info : COMMANDS) {
        const bool greyed = info.command == 202 || info.command == 203 || info.command == 204 ||
                            info.command == 205 || info.command == 602 || info.command == 603;
        EXPECT_EQ(enabled(states, info.command), !greyed) << info.command;
        EXPECT_FALSE(checked(states, info.command)) << info.command;
    }
    EXPECT_EQ(states.state(9998), CommandState{});
}

TEST(CommandStates, SetUpModeChecksItsItemAndEnablesTheEdits) {
    AppState app;
    GameState game;
    CommandStates states;
    app.setup_mode = 1;
    states.derive(app, game);
    EXPECT_TRUE(checked(states, 201));
    for (int command = 202; command <= 205; ++command)
        EXPECT_TRUE(enabled(states, command)) << command;
    app.setup_mode = 0;
    states.derive(app, game);
    EXPECT_FALSE(checked(states, 201));
    for (int command = 202; command <= 205; ++command)
        EXPECT_FALSE(enabled(states, command)) << command;
}

TEST(CommandStates, OneOfWhiteAndBlackToMoveAfterTheSide) {
    AppState app;
    GameState game;
    CommandStates states;
    game.side = WHITE;
    states.derive(app, game);
    EXPECT_TRUE(checked(states, 204));
    EXPECT_FALSE(checked(states, 205));
    game.side = BLACK;
    states.derive(app, game);
    EXPECT_FALSE(checked(states, 204));
    EXPECT_TRUE(checked(states, 205));
}

TEST(CommandStates, ViewItemsWhileTheirWindowsExist) {
    AppState app;
    GameState game;
    CommandStates states;
    Word* flags[] = {&app.clock_shown, &app.command_shown, &app.game_shown, &app.pv_shown,
                     &app.search_info_shown};
    for (int shown = 0; shown < 5; ++shown) {
        for (int i = 0; i < 5; ++i) *flags[i] = i == shown;
        states.derive(app, game);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(checked(states, 301 + i), i == shown) << 301 + i;
    }
}

TEST(CommandStates, PlayModeChecksOneItemAndOpensTheMoveItemsWithOneComputer) {
    AppState app;
    GameState game;
    CommandStates states;
    for (int mode = PLAYER_PLAYER; mode <= COMPUTER_COMPUTER; ++mode) {
        app.play_mode = mode;
        states.derive(app, game);
        for (int m = 0; m < 4; ++m) EXPECT_EQ(checked(states, 402 + m), m == mode) << mode;
        const bool one_computer = mode == PLAYER_COMPUTER || mode == COMPUTER_PLAYER;
        EXPECT_EQ(enabled(states, 504), one_computer) << mode;
        EXPECT_EQ(enabled(states, 505), one_computer) << mode;
    }
}

TEST(CommandStates, ComputerOrPlayerToMove) {
    AppState app;
    GameState game;
    CommandStates states;
    game.computer_to_move = 1;
    states.derive(app, game);
    EXPECT_TRUE(checked(states, 504));
    EXPECT_FALSE(checked(states, 505));
    game.computer_to_move = 0;
    states.derive(app, game);
    EXPECT_FALSE(checked(states, 504));
    EXPECT_TRUE(checked(states, 505));
}

TEST(CommandStates, RemoteWhileOn) {
    AppState app;
    GameState game;
    CommandStates states;
    app.remote_on = 1;
    states.derive(app, game);
    EXPECT_TRUE(checked(states, 406));
    app.remote_on = 0;
    states.derive(app, game);
    EXPECT_FALSE(checked(states, 406));
}

// A stale announcement cannot outlive the state it was about.
TEST(CommandStates, TheRecordsWinOverEarlierAnnouncements) {
    AppState app;
    GameState game;
    CommandStates states;
    states.set_checked(402, true);
    states.set_checked(301, true);
    states.set_enabled(202, true);
    app.play_mode = COMPUTER_PLAYER;
    states.derive(app, game);
    EXPECT_FALSE(checked(states, 402));
    EXPECT_TRUE(checked(states, 404));
    EXPECT_FALSE(checked(states, 301));
    EXPECT_FALSE(enabled(states, 202));
}

TEST(CommandStates, UnknownCommandsAreIgnored) {
    CommandStates states;
    states.set_checked(12345, true);
    states.set_enabled(12345, false);
    EXPECT_EQ(states.state(12345), CommandState{});
}

// The Clock items follow the clock operations, which announce every start and stop.
class ClockItems : public testing::Test {
  protected:
    ScriptedUi ui;
    void SetUp() override { set_game_ui(&ui); }
    void TearDown() override {
        app_state().clocks_running = 0;
        set_game_ui(nullptr);
    }
};

TEST_F(ClockItems, StartStopAndTheInitialStates) {
    EXPECT_TRUE(enabled(ui.states, 601));
    EXPECT_FALSE(enabled(ui.states, 602));
    EXPECT_FALSE(enabled(ui.states, 603));
    start_clocks();
    EXPECT_FALSE(enabled(ui.states, 601));
    EXPECT_TRUE(enabled(ui.states, 602));
    EXPECT_FALSE(enabled(ui.states, 603));
    stop_clocks();
    EXPECT_TRUE(enabled(ui.states, 601));
    EXPECT_FALSE(enabled(ui.states, 602));
    EXPECT_TRUE(enabled(ui.states, 603));
    // Deriving the other states leaves them as the clocks announced them.
    ui.states.derive(app_state(), game_state());
    EXPECT_TRUE(enabled(ui.states, 601));
    EXPECT_FALSE(enabled(ui.states, 602));
    EXPECT_TRUE(enabled(ui.states, 603));
}
