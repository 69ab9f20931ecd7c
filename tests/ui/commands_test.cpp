// dispatch_command with the real game controller, clocks, files and engine thread,
// a recording Shell and a GameUi whose message boxes the tests answer.

#include "ui/commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/record.h"
#include "records/settings.h"
#include "shell_test_support.h"
#include "ui/dialog_state.h"

namespace {

class Dispatch : public testing::Test {
  protected:
    ScriptedUi ui;
    RecordingShell shell;

    void SetUp() override {
        set_game_ui(&ui);
        game_init(".");
        // The engine thinks only when a test asks a computer to move.
        settings().permanent_brain = 0;
        settings().ply = 2;
        engine_launch();
        for (const ChildWindowInfo& info : CHILD_WINDOWS) show_child_window(shell, info.window);
        shell.calls.clear();
    }
    void TearDown() override {
        game_shutdown();
        set_game_ui(nullptr);
    }

    bool run(int command) { return dispatch_command(command, shell); }

    void new_game() {
        ui.answers.push_back(Answer::OK);
        ASSERT_TRUE(run(CMD_GAME_NEW));
        ASSERT_EQ(app_state().game_running, 1);
    }
    // White's computer to move, searching far deeper than the test waits.
    void start_a_deep_search() {
        settings().ply = MAX_ITERATION_DEPTH;
        run(CMD_GAME_COMPUTER_PLAYER);
        ASSERT_EQ(app_state().engine_state, ENGINE_SEARCHING);
    }
    void expect_message(const char* text, const char* caption, MessageKind kind) {
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text, text);
        EXPECT_EQ(ui.messages.back().caption, caption);
        EXPECT_EQ(ui.messages.back().kind, kind);
    }
};

}  // namespace

// Every command of the table is handled and brings menus and toolbar up to date, the
// window commands by the shell; nothing else is a command.
TEST_F(Dispatch, EveryCommandIsHandledAndNothingElse) {
    const std::map<int, std::string> shell_calls{
        {CMD_FILE_PRINT, "print"},
        {CMD_HELP_CONTENTS, "help"},
        {CMD_OPTIONS_MEMORY, "dialog 40004"},
        {CMD_OPTIONS_SERIAL_PORT, "dialog 40005"},
        {CMD_OPTIONS_SEARCH, "dialog 701"},
        {CMD_OPTIONS_PREFERENCES, "dialog 702"},
        {CMD_HELP_ABOUT, "dialog 804"},
        {CMD_CLOSE_ALL, "close frame"},
    };
    new_game();
    board_clicked(32);  // a move, so that there is a game to print
    board_clicked(28);
    ui.answers.assign(8, Answer::CANCEL);  // exit, new game and anything else that asks
    std::vector<int> commands;
    for (const CommandInfo& info : COMMANDS) commands.push_back(info.command);
    commands.push_back(CMD_CLOSE_ALL);
    for (int command : commands) {
        // Remote has a test of its own; Computer - Computer would play on by itself.
        if (command == CMD_GAME_REMOTE || command == CMD_GAME_COMPUTER_COMPUTER) continue;
        shell.calls.clear();
        const int updates = shell.updates;
        EXPECT_TRUE(run(command)) << command;
        EXPECT_GT(shell.updates, updates) << command << ": menus and toolbar not up to date";
        if (const auto call = shell_calls.find(command); call != shell_calls.end()) {
            EXPECT_EQ(shell.calls, std::vector<std::string>{call->second}) << command;
        }
    }
    for (int command : {0, -1, 100, 40002, 9999, 65535}) {
        const int updates = shell.updates;
        EXPECT_FALSE(run(command)) << command;
        EXPECT_EQ(shell.updates, updates);
    }
}

// The Force item reaches a searching engine (Space and the idle engine are the window
// test's); Exit asks first and then stops it.
TEST_F(Dispatch, ForceAndExitWhileTheEngineSearches) {
    ui.answers = {Answer::CANCEL};
    run(CMD_FILE_EXIT);
    expect_message("Exit program?", "File Exit", MessageKind::QUESTION);
    EXPECT_TRUE(shell.calls.empty());

    new_game();
    start_a_deep_search();
    run(CMD_MOVE_FORCE);
    EXPECT_EQ(app_state().force_move, 1);
    ui.answers = {Answer::OK};
    run(CMD_FILE_EXIT);
    EXPECT_EQ(game_state().engine_request, REQUEST_STOP);
    EXPECT_EQ(app_state().engine_state, ENGINE_IDLE);
    EXPECT_EQ(shell.last(), "close frame");
}

// The window test toggles every window through menu and toolbar; here the rules.
TEST_F(Dispatch, ViewCommandsToggleTheirWindows) {
    run(CMD_VIEW_PV);
    EXPECT_EQ(app_state().pv_shown, 0);
    EXPECT_EQ(shell.last(), "destroy PV");
    shell.creation_works = false;  // a window that cannot be made stays unmarked
    run(CMD_VIEW_PV);
    EXPECT_EQ(shell.last(), "create PV");
    EXPECT_EQ(app_state().pv_shown, 0);

    // One the user closed unmarks itself, and the View item shows it again rather than
    // destroying a window that is gone.
    shell.creation_works = true;
    const int updates = shell.updates;
    child_window_closed(shell, GAME_WINDOW);
    EXPECT_EQ(app_state().game_shown, 0);
    EXPECT_GT(shell.updates, updates);
    run(CMD_VIEW_GAME);
    EXPECT_EQ(shell.last(), "create Game");
    EXPECT_EQ(app_state().game_shown, 1);

    shell.calls.clear();
    hide_child_window(shell, BOARD_WINDOW);  // nothing hides the Board
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(Dispatch, NewGameAsksAndCancelLeavesTheGameGoing) {
    new_game();
    board_clicked(32);
    board_clicked(28);
    ui.messages.clear();
    ui.answers = {Answer::CANCEL};
    run(CMD_GAME_NEW);
    expect_message("Start a new Game?", "Game New", MessageKind::QUESTION);
    EXPECT_EQ(app_state().game_running, 1);
    EXPECT_EQ(game_length(), 1);
    board_clicked(19);
    board_clicked(23);
    EXPECT_EQ(game_length(), 2);
}

TEST_F(Dispatch, ClockCommandsTestTheirOwnConditions) {
    new_game();
    ASSERT_EQ(app_state().clocks_running, 1);
    app_state().white_clock = 7;
    run(CMD_CLOCK_RESET);  // greyed while the clocks run
    EXPECT_EQ(app_state().white_clock, 7);
    run(CMD_CLOCK_STOP);
    EXPECT_EQ(app_state().clocks_running, 0);
    run(CMD_CLOCK_RESET);
    EXPECT_EQ(app_state().white_clock, 0);
    run(CMD_CLOCK_START);
    EXPECT_EQ(app_state().clocks_running, 1);
}

// Saving and opening a game is the window test's; here the messages.
TEST_F(Dispatch, SaveAndOpenSayWhatWentWrong) {
    ui.save_path = ui.open_path =
        (std::filesystem::temp_directory_path() / "vantor_shell_garbage.tgr").string();
    std::filesystem::remove(ui.save_path);
    run(CMD_FILE_SAVE);
    expect_message("No game available!", "File Save", MessageKind::ERROR);
    EXPECT_FALSE(std::filesystem::exists(ui.save_path));
    run(CMD_FILE_PRINT);  // said at once, not after a print dialog that prints nothing
    expect_message("No game available!", "File Print", MessageKind::ERROR);
    EXPECT_TRUE(shell.calls.empty());

    std::FILE* file = std::fopen(ui.open_path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("not a game at all", file);
    std::fclose(file);
    run(CMD_FILE_OPEN);
    expect_message("Could not read file!", "File Open", MessageKind::ERROR);
    std::filesystem::remove(ui.open_path);
}

TEST_F(Dispatch, CancelledOpenDuringAGameRestartsTheClocksFromZero) {
    new_game();
    app_state().white_clock = 30;
    run(CMD_FILE_OPEN);  // no file chosen
    EXPECT_EQ(app_state().clocks_running, 1);
    EXPECT_EQ(app_state().white_clock, 0);
}

// The player is told, and Remote, the two settings it turns off and the Preferences
// dialog stay as they were.
TEST_F(Dispatch, RemoteOnAPortThatCannotOpenChangesNothing) {
    ::setenv("VANTOR_COM1", "/nonexistent/vantor-test-port", 1);
    settings().com_port = 1;
    settings().auto_move = 1;
    settings().permanent_brain = 1;
    const auto preferences = [] {
        return preferences_dialog_open(settings(), true, true, app_state().remote_on != 0).boxes;
    };
    const auto boxes = preferences();
    run(CMD_GAME_REMOTE);
    expect_message("Could not open the serial port COM1 (/nonexistent/vantor-test-port)!",
                   "Remote", MessageKind::ERROR);
    EXPECT_EQ(app_state().remote_on, 0);
    EXPECT_EQ(settings().auto_move, 1);
    EXPECT_EQ(settings().permanent_brain, 1);
    EXPECT_FALSE(ui.states.state(CMD_GAME_REMOTE).checked) << "menu item or button marked";
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(preferences()[i].checked, boxes[i].checked) << i;
        EXPECT_EQ(preferences()[i].enabled, boxes[i].enabled) << i;
    }
    ::unsetenv("VANTOR_COM1");
}
