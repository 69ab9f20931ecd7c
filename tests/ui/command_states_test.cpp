#include "ui/command_states.h"

#include <gtest/gtest.h>

#include "game/clocks.h"
#include "game/controller.h"
#include "shell_test_support.h"

// Each pass sets the records differently, every combination of set-up mode and side
// among them; every state follows them, whatever was derived or announced before.
TEST(CommandStates, FollowTheRecords) {
    CommandStates s;
    for (int i = 0; i < 5; ++i) {
        AppState app;
        GameState game;
        const bool setup = i % 2 == 1;
        const int side = i < 2 ? WHITE : BLACK;
        const int mode = i % 4;
        const bool computer_to_move = i == 1 || i == 2;
        const bool remote = i >= 3;
        app.setup_mode = setup;
        game.side = side;
        Word* shown[] = {&app.clock_shown, &app.command_shown, &app.game_shown, &app.pv_shown,
                         &app.search_info_shown};
        *shown[i] = 1;
        app.play_mode = mode;
        app.remote_on = remote;
        game.computer_to_move = computer_to_move;
        s.set_checked(CMD_VIEW_CLOCK + (i + 1) % 5, true);  // stale announcements
        s.set_enabled(CMD_EDIT_INIT, !setup);
        s.derive(app, game);

        EXPECT_EQ(s.state(CMD_EDIT_SETUP).checked, setup) << i;
        for (int command = CMD_EDIT_INIT; command <= CMD_EDIT_BLACK_TO_MOVE; ++command)
            EXPECT_EQ(s.state(command).enabled, setup) << i << " " << command;
        EXPECT_EQ(s.state(CMD_EDIT_WHITE_TO_MOVE).checked, side == WHITE) << i;
        EXPECT_EQ(s.state(CMD_EDIT_BLACK_TO_MOVE).checked, side == BLACK) << i;
        for (int v = 0; v < 5; ++v) EXPECT_EQ(s.state(CMD_VIEW_CLOCK + v).checked, v == i) << i;
        for (int m = 0; m < 4; ++m)
            EXPECT_EQ(s.state(CMD_GAME_PLAYER_PLAYER + m).checked, m == mode) << i;
        // Exchanging colours means something only with one computer side.
        const bool one_computer = mode == PLAYER_COMPUTER || mode == COMPUTER_PLAYER;
        EXPECT_EQ(s.state(CMD_MOVE_COMPUTER).enabled, one_computer) << i;
        EXPECT_EQ(s.state(CMD_MOVE_PLAYER).enabled, one_computer) << i;
        EXPECT_EQ(s.state(CMD_MOVE_COMPUTER).checked, computer_to_move) << i;
        EXPECT_EQ(s.state(CMD_MOVE_PLAYER).checked, !computer_to_move) << i;
        EXPECT_EQ(s.state(CMD_GAME_REMOTE).checked, remote) << i;
    }
}

TEST(CommandStates, UnknownCommandsAreIgnored) {
    CommandStates states;
    states.set_checked(12345, true);
    EXPECT_EQ(states.state(12345), CommandState{});
}

// The Clock items follow the clock operations, which announce every start and stop, and
// deriving the other states leaves them as announced.
TEST(CommandStates, ClockItemsFollowStartAndStop) {
    ScriptedUi ui;
    set_game_ui(&ui);
    const auto expect_enabled = [&](bool start, bool stop, bool reset) {
        EXPECT_EQ(ui.states.state(CMD_CLOCK_START).enabled, start);
        EXPECT_EQ(ui.states.state(CMD_CLOCK_STOP).enabled, stop);
        EXPECT_EQ(ui.states.state(CMD_CLOCK_RESET).enabled, reset);
    };
    expect_enabled(true, false, false);
    start_clocks();
    expect_enabled(false, true, false);
    stop_clocks();
    expect_enabled(true, false, true);
    ui.states.derive(app_state(), game_state());
    expect_enabled(true, false, true);
    app_state().clocks_running = 0;
    set_game_ui(nullptr);
}
