// Edit > Copy position and Paste position through dispatch_command, with the real
// controller and engine thread, and the Command window's FEN line. FEN as the PDN
// documents give it (pdn.fmjd.org/fen.html).

#include <gtest/gtest.h>

#include "engine/board/fen.h"
#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/position_commands.h"
#include "game/record.h"
#include "records/settings.h"
#include "shell_test_support.h"

namespace {

class ClipboardShell final : public Shell {
  public:
    std::string clipboard;
    bool create_child_window(ChildWindow) override { return true; }
    void destroy_child_window(ChildWindow) override {}
    void close_frame() override {}
    void print_game() override {}
    void show_help_contents() override {}
    void run_dialog(int) override {}
    void update_commands() override {}
    void set_clipboard_text(const std::string& text) override { clipboard = text; }
    std::string clipboard_text() override { return clipboard; }
};

class PositionCommands : public testing::Test {
  protected:
    ScriptedUi ui;
    ClipboardShell shell;

    void SetUp() override {
        set_game_ui(&ui);
        game_init(".");
        settings().permanent_brain = 0;
        engine_launch();
        ui.answers.push_back(Answer::OK);
        dispatch_command(CMD_GAME_NEW, shell);
    }
    void TearDown() override {
        game_shutdown();
        set_game_ui(nullptr);
    }
    bool run(int command) { return dispatch_command(command, shell); }
};

}  // namespace

TEST_F(PositionCommands, CopyPutsThePositionOnTheClipboard) {
    ASSERT_TRUE(run(CMD_EDIT_COPY_POSITION));
    EXPECT_EQ(shell.clipboard, "W:W31-50:B1-20");
    board_clicked(32);
    board_clicked(28);
    run(CMD_EDIT_COPY_POSITION);
    EXPECT_EQ(shell.clipboard, "B:W28,31,33-50:B1-20");
}

TEST_F(PositionCommands, PasteStartsAGameFromThePositionOrRefusesIt) {
    shell.clipboard = "  B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29\n";
    ASSERT_TRUE(run(CMD_EDIT_PASTE_POSITION));
    GameState& state = game_state();
    EXPECT_EQ(state.side, BLACK);
    EXPECT_EQ(to_fen(state.board, state.side), "B:WK10,K15,18,24,27-28:B12,16,20,K22,K25,K29");
    EXPECT_EQ(app_state().game_running, 1);
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(game_entry(0).board, state.board) << "the game starts from the pasted position";
    EXPECT_EQ(state.legal_count, 1);  // 12x21, the only capture

    const Board before = state.board;
    ui.messages.clear();
    for (const char* bad : {"W:W51:B1", "hello", "", "W:W31,31:B1"}) {
        shell.clipboard = bad;
        run(CMD_EDIT_PASTE_POSITION);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().caption, "Paste position") << bad;
        EXPECT_NE(ui.messages.back().text.find("The board is unchanged."), std::string::npos) << bad;
        EXPECT_EQ(state.board, before) << bad;
    }
    EXPECT_EQ(ui.messages.front().text,
              "This is no position in FEN: square 51 is outside 1-50.\nThe board is unchanged.");
}

TEST_F(PositionCommands, InSetUpModePasteSetsTheBoardBeingSetUp) {
    run(CMD_EDIT_SETUP);
    shell.clipboard = "[FEN \"W:WK46:B4\"]";
    run(CMD_EDIT_PASTE_POSITION);
    EXPECT_EQ(app_state().setup_mode, 1);
    EXPECT_EQ(app_state().game_running, 0);
    EXPECT_EQ(to_fen(game_state().board, game_state().side), "W:WK46:B4");
    run(CMD_EDIT_SETUP);  // leaving set-up mode starts the game from it
    EXPECT_EQ(game_entry(0).board, game_state().board);
    EXPECT_EQ(app_state().game_running, 1);
}

TEST(CommandLine, FenLinesAreTheOnesItReads) {
    for (const char* line : {"W:W31-50:B1-20", " B:W28:B23 ", "[FEN \"W:W28:B23\"]", "W:"}) {
        EXPECT_TRUE(is_fen_line(line)) << line;
    }
    for (const char* line : {"", "hello", "White to move", "32-28", "WB:"}) EXPECT_FALSE(is_fen_line(line)) << line;
}
