// dispatch_command with the real game controller, clocks, files and engine thread,
// a recording Shell and a GameUi whose message boxes the tests answer.

#include "ui/commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/record.h"
#include "records/settings.h"
#include "shell_test_support.h"

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
    void click(int from, int to) {
        board_clicked(from);
        board_clicked(to);
    }
    const MessageSeen& last_message() const { return ui.messages.back(); }
};

std::string temp_path(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("vantor_shell_") + name))
        .string();
}

}  // namespace

TEST_F(Dispatch, EveryCommandIsHandledAndNothingElse) {
    ui.answers.assign(8, Answer::CANCEL);  // exit, new game and anything else that asks
    std::vector<int> commands;
    for (const CommandInfo& info : COMMANDS) commands.push_back(info.command);
    commands.push_back(CMD_CLOSE_ALL);
    for (int command : commands) {
        // Remote and Computer - Computer have tests of their own.
        if (command == CMD_GAME_REMOTE || command == CMD_GAME_COMPUTER_COMPUTER) continue;
        const int updates = shell.updates;
        EXPECT_TRUE(run(command)) << command;
        EXPECT_GT(shell.updates, updates)
            << command << ": menus and toolbar not brought up to date";
    }
    for (int command : {0, -1, 100, 40002, 9999, 65535}) {
        const auto calls = shell.calls.size();
        const int updates = shell.updates;
        EXPECT_FALSE(run(command)) << command;
        EXPECT_EQ(shell.calls.size(), calls);
        EXPECT_EQ(shell.updates, updates);
    }
}

TEST_F(Dispatch, WindowCommandsGoToTheShell) {
    const std::pair<int, std::string> expected[] = {
        {CMD_FILE_PRINT, "print"},
        {CMD_HELP_CONTENTS, "help"},
        {CMD_OPTIONS_MEMORY, "dialog 40004"},
        {CMD_OPTIONS_SERIAL_PORT, "dialog 40005"},
        {CMD_OPTIONS_SEARCH, "dialog 701"},
        {CMD_OPTIONS_PREFERENCES, "dialog 702"},
        {CMD_HELP_ABOUT, "dialog 804"},
        {CMD_CLOSE_ALL, "close frame"},
    };
    for (const auto& [command, call] : expected) {
        shell.calls.clear();
        run(command);
        EXPECT_EQ(shell.calls, std::vector<std::string>{call}) << command;
    }
}

TEST_F(Dispatch, ExitAsksFirst) {
    ui.answers = {Answer::CANCEL};
    run(CMD_FILE_EXIT);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "Exit program?");
    EXPECT_EQ(last_message().caption, "File Exit");
    EXPECT_EQ(last_message().kind, MessageKind::QUESTION);
    EXPECT_TRUE(shell.calls.empty());

    ui.answers = {Answer::OK};
    run(CMD_FILE_EXIT);
    EXPECT_EQ(shell.last(), "close frame");
}

TEST_F(Dispatch, ExitStopsASearchingEngine) {
    new_game();
    settings().ply = MAX_ITERATION_DEPTH;
    run(CMD_GAME_COMPUTER_PLAYER);  // White's computer to move, searching deep
    ASSERT_EQ(app_state().engine_state, ENGINE_SEARCHING);
    ui.answers = {Answer::OK};
    run(CMD_FILE_EXIT);
    EXPECT_EQ(game_state().engine_request, REQUEST_STOP);
    EXPECT_EQ(app_state().engine_state, ENGINE_IDLE);
    EXPECT_EQ(shell.last(), "close frame");
}

TEST_F(Dispatch, ViewCommandsToggleTheirWindows) {
    const std::pair<int, Word*> views[] = {
        {CMD_VIEW_CLOCK, &app_state().clock_shown},
        {CMD_VIEW_COMMAND, &app_state().command_shown},
        {CMD_VIEW_GAME, &app_state().game_shown},
        {CMD_VIEW_PV, &app_state().pv_shown},
        {CMD_VIEW_SEARCH_INFO, &app_state().search_info_shown},
    };
    for (const auto& [command, shown] : views) {
        const std::string title = child_window_info(child_window_of_view(command)).title;
        ASSERT_EQ(*shown, 1) << title;
        run(command);
        EXPECT_EQ(*shown, 0) << title;
        EXPECT_EQ(shell.last(), "destroy " + title);
        run(command);
        EXPECT_EQ(*shown, 1) << title;
        EXPECT_EQ(shell.last(), "create " + title);
    }
}

TEST_F(Dispatch, AWindowThatCannotBeMadeStaysUnmarked) {
    run(CMD_VIEW_PV);
    shell.creation_works = false;
    run(CMD_VIEW_PV);
    EXPECT_EQ(app_state().pv_shown, 0);
    shell.creation_works = true;
    run(CMD_VIEW_PV);
    EXPECT_EQ(app_state().pv_shown, 1);
}

TEST_F(Dispatch, AChildClosedByTheUserUnmarksItself) {
    const int updates = shell.updates;
    child_window_closed(shell, GAME_WINDOW);
    EXPECT_EQ(app_state().game_shown, 0);
    EXPECT_GT(shell.updates, updates);
    run(CMD_VIEW_GAME);  // shows it again rather than destroying a window that is gone
    EXPECT_EQ(shell.last(), "create Game");
    EXPECT_EQ(app_state().game_shown, 1);
}

TEST_F(Dispatch, TheBoardIsNeverHidden) {
    EXPECT_EQ(shown_flag(BOARD_WINDOW), nullptr);
    hide_child_window(shell, BOARD_WINDOW);
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(Dispatch, NewGameAsksAndCancelLeavesTheGameHalted) {
    new_game();
    EXPECT_EQ(last_message().text, "Start a new Game?");
    EXPECT_EQ(last_message().caption, "Game New");
    EXPECT_EQ(last_message().kind, MessageKind::QUESTION);
    ui.answers = {Answer::CANCEL};
    run(CMD_GAME_NEW);
    EXPECT_EQ(app_state().game_running, 0);
    click(32, 28);
    EXPECT_EQ(game_length(), 0);
}

TEST_F(Dispatch, PlayModesSetTheModeAndItsMarks) {
    for (int command = CMD_GAME_PLAYER_PLAYER; command <= CMD_GAME_COMPUTER_COMPUTER; ++command) {
        run(command);
        EXPECT_EQ(app_state().play_mode, command - CMD_GAME_PLAYER_PLAYER);
        ui.states.derive(app_state(), game_state());
        for (int c = CMD_GAME_PLAYER_PLAYER; c <= CMD_GAME_COMPUTER_COMPUTER; ++c) {
            EXPECT_EQ(ui.states.state(c).checked, c == command);
        }
    }
    run(CMD_GAME_PLAYER_PLAYER);
}

TEST_F(Dispatch, ComputerAndPlayerToMoveExchangeColours) {
    run(CMD_MOVE_COMPUTER);  // Player - Player: nothing to exchange
    EXPECT_EQ(app_state().play_mode, PLAYER_PLAYER);
    run(CMD_GAME_PLAYER_COMPUTER);
    run(CMD_MOVE_PLAYER);
    EXPECT_EQ(app_state().play_mode, COMPUTER_PLAYER);
    run(CMD_MOVE_COMPUTER);
    EXPECT_EQ(app_state().play_mode, PLAYER_COMPUTER);
    run(CMD_GAME_PLAYER_PLAYER);
}

TEST_F(Dispatch, UndoAndRedo) {
    new_game();
    click(32, 28);
    ASSERT_EQ(game_length(), 1);
    run(CMD_MOVE_UNDO);
    EXPECT_EQ(game_current(), 0);
    EXPECT_EQ(piece_on_square(32, game_state().board), WHITE_MAN);
    run(CMD_MOVE_REDO);
    EXPECT_EQ(game_current(), 1);
    EXPECT_EQ(piece_on_square(28, game_state().board), WHITE_MAN);
}

TEST_F(Dispatch, ForceComputerMoveOnlyWhileSearching) {
    new_game();
    run(CMD_MOVE_FORCE);
    EXPECT_EQ(app_state().force_move, 0);
    settings().ply = MAX_ITERATION_DEPTH;
    run(CMD_GAME_COMPUTER_PLAYER);
    ASSERT_EQ(app_state().engine_state, ENGINE_SEARCHING);
    run(CMD_MOVE_FORCE);
    EXPECT_EQ(app_state().force_move, 1);
    run(CMD_GAME_PLAYER_PLAYER);
    app_state().force_move = 0;
}

TEST_F(Dispatch, ClockCommandsTestTheirOwnConditions) {
    new_game();
    ASSERT_EQ(app_state().clocks_running, 1);
    app_state().white_clock = 7;
    run(CMD_CLOCK_RESET);  // greyed while the clocks run
    EXPECT_EQ(app_state().white_clock, 7);
    run(CMD_CLOCK_START);
    EXPECT_EQ(app_state().clocks_running, 1);
    run(CMD_CLOCK_STOP);
    EXPECT_EQ(app_state().clocks_running, 0);
    run(CMD_CLOCK_STOP);
    EXPECT_EQ(app_state().clocks_running, 0);
    run(CMD_CLOCK_RESET);
    EXPECT_EQ(app_state().white_clock, 0);
    run(CMD_CLOCK_START);
    EXPECT_EQ(app_state().clocks_running, 1);
}

TEST_F(Dispatch, SetUpModeEditsAndLeavingStartsANewGame) {
    Board start;
    setup_initial_position(start);
    run(CMD_EDIT_CLEAR);  // outside set-up mode: nothing
    run(CMD_EDIT_BLACK_TO_MOVE);
    EXPECT_EQ(game_state().board.empty, start.empty);
    EXPECT_EQ(game_state().side, WHITE);

    run(CMD_EDIT_SETUP);
    EXPECT_EQ(app_state().setup_mode, 1);
    EXPECT_EQ(app_state().game_running, 0);
    run(CMD_EDIT_CLEAR);
    for (int square = 1; square <= 50; ++square)
        ASSERT_EQ(piece_on_square(square, game_state().board), EMPTY_SQUARE);
    board_clicked(28);
    board_clicked(23);
    board_clicked(23);
    board_clicked(23);
    EXPECT_NE(piece_on_square(28, game_state().board), EMPTY_SQUARE);
    run(CMD_EDIT_BLACK_TO_MOVE);
    EXPECT_EQ(game_state().side, BLACK);
    run(CMD_EDIT_WHITE_TO_MOVE);
    EXPECT_EQ(game_state().side, WHITE);
    const Board edited = game_state().board;

    const auto messages = ui.messages.size();
    run(CMD_EDIT_SETUP);
    EXPECT_EQ(app_state().setup_mode, 0);
    EXPECT_EQ(app_state().game_running, 1);
    EXPECT_EQ(ui.messages.size(), messages) << "leaving set-up mode must not ask";
    EXPECT_EQ(game_state().board.white_men, edited.white_men);
    EXPECT_EQ(game_state().board.black_men, edited.black_men);

    run(CMD_EDIT_SETUP);
    run(CMD_EDIT_BLACK_TO_MOVE);
    run(CMD_EDIT_INIT);  // the start position with White to move
    EXPECT_EQ(game_state().board.white_men, start.white_men);
    EXPECT_EQ(game_state().side, WHITE);
    run(CMD_EDIT_SETUP);
}

TEST_F(Dispatch, SaveWithoutMovesSaysSo) {
    ui.save_path = temp_path("never.tgr");
    std::filesystem::remove(ui.save_path);
    run(CMD_FILE_SAVE);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "No game available!");
    EXPECT_EQ(last_message().caption, "File Save");
    EXPECT_EQ(last_message().kind, MessageKind::ERROR);
    EXPECT_FALSE(std::filesystem::exists(ui.save_path));
}

TEST_F(Dispatch, SaveThenOpenTheGame) {
    new_game();
    click(32, 28);
    click(19, 23);
    ASSERT_EQ(game_length(), 2);
    ui.save_path = temp_path("two_moves.tgr");
    run(CMD_FILE_SAVE);
    ASSERT_EQ(std::filesystem::file_size(ui.save_path), 8u + 3u);

    run(CMD_GAME_PLAYER_COMPUTER);
    new_game();
    ASSERT_EQ(game_length(), 0);
    ui.open_path = ui.save_path;
    const auto messages = ui.messages.size();
    run(CMD_FILE_OPEN);
    EXPECT_EQ(ui.messages.size(), messages);
    EXPECT_EQ(game_length(), 2);
    EXPECT_EQ(app_state().game_running, 1);
    EXPECT_EQ(app_state().play_mode, PLAYER_PLAYER);
    EXPECT_EQ(piece_on_square(23, game_state().board), BLACK_MAN);
    std::filesystem::remove(ui.save_path);
}

TEST_F(Dispatch, OpeningAnUnreadableFileSaysSo) {
    ui.open_path = temp_path("garbage.tgr");
    {
        std::FILE* file = std::fopen(ui.open_path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("not a game at all", file);
        std::fclose(file);
    }
    run(CMD_FILE_OPEN);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(last_message().text, "Could not read file!");
    EXPECT_EQ(last_message().caption, "File Open");
    EXPECT_EQ(last_message().kind, MessageKind::ERROR);
    std::filesystem::remove(ui.open_path);
}

TEST_F(Dispatch, CancelledOpenDuringAGameRestartsTheClocksFromZero) {
    new_game();
    app_state().white_clock = 30;
    ui.open_path.clear();
    run(CMD_FILE_OPEN);
    EXPECT_EQ(app_state().clocks_running, 1);
    EXPECT_EQ(app_state().white_clock, 0);
}

TEST_F(Dispatch, RemoteClearsAutoMoveAndPermanentBrain) {
    ::setenv("VANTOR_COM1", "/nonexistent/vantor-test-port", 1);
    settings().com_port = 1;
    settings().auto_move = 1;
    settings().permanent_brain = 1;
    run(CMD_GAME_REMOTE);
    EXPECT_EQ(app_state().remote_on, 1);
    EXPECT_EQ(settings().auto_move, 0);
    EXPECT_EQ(settings().permanent_brain, 0);
    ui.states.derive(app_state(), game_state());
    EXPECT_TRUE(ui.states.state(CMD_GAME_REMOTE).checked);
    run(CMD_GAME_REMOTE);
    EXPECT_EQ(app_state().remote_on, 0);
    EXPECT_EQ(settings().permanent_brain, 0) << "switching off does not restore it";
    ::unsetenv("VANTOR_COM1");
}
