// The game controller as the desktop program drives it, with the engine thread running:
// clicks, the clock tick, forced and book moves, undo and redo, set-up, Computer -
// Computer play, and the File commands. The user interface is a recording fake whose
// message boxes the tests answer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/file_commands.h"
#include "game/game_end.h"
#include "game/move_text.h"
#include "game/record.h"
#include "game/remote.h"
#include "game/task_queue.h"
#include "null_modem.h"
#include "records/settings.h"
#include "tools/book/book_source.h"

namespace {

using namespace std::chrono_literals;

std::atomic<std::int64_t> fake_milliseconds{1000000};
std::int64_t fake_clock() { return fake_milliseconds.load(); }

class ControllerUi final : public GameUi {
public:
    Answer answer = Answer::OK;
    std::string open_path;
    std::string save_path;
    std::vector<std::string> messages;
    int sounds = 0;
    int games_changed = 0;

    void set_status_text(int pane, const std::string& text) override {
        std::scoped_lock lock(mutex_);
        status_[pane] = text;
        if (pane == PANE_ENGINE && text != "IDLE") ++engine_starts;
    }
    std::atomic<int> engine_starts{0};
    std::string status(int pane) {
        std::scoped_lock lock(mutex_);
        return status_[pane];
    }
    void search_info_changed(int) override {}
    void pv_changed() override {}
    void check_menu_item(int, bool) override {}
    void enable_menu_item(int command, bool enabled) override { enabled_[command] = enabled; }
    bool enabled(int command) { return enabled_[command]; }
    void press_toolbar_button(int, bool) override {}
    void draw_square(int, int, int) override {}
    void draw_all_pieces(const Board&) override {}
    void game_changed() override { ++games_changed; }
    void current_move_changed() override {}
    void clock_ticked() override {}
    void clocks_reset() override {}
    Answer message_box(const std::string& text, const std::string& caption, MessageKind) override {
        messages.push_back(caption + ": " + text);
        return answer;
    }
    bool ask_open_file(std::string& path) override {
        path = open_path;
        return !path.empty();
    }
    bool ask_save_file(std::string& path) override {
        path = save_path;
        return !path.empty();
    }
    void play_move_sound() override { ++sounds; }

    // The engine thread's commits wait here until the test's main thread runs them.
    void post_to_main_thread(std::function<void()> task) override { tasks_.post(std::move(task)); }
    void run_tasks(std::chrono::milliseconds timeout) { tasks_.run(timeout); }

private:
    TaskQueue tasks_;
    std::mutex mutex_;
    std::map<int, std::string> status_;
    std::map<int, bool> enabled_;
};

class Controller : public testing::Test {
protected:
    ControllerUi ui;
    GameState& state = game_state();
    AppState& app = app_state();
    std::string dir = testing::TempDir() + "vantor_controller_" + std::to_string(getpid());

    void SetUp() override {
        std::filesystem::create_directories(dir);
        set_tick_source(fake_clock);
        set_game_ui(&ui);
        game_init(dir.c_str());  // no book, no databases unless a test writes them
        engine_launch();
        settings().ply = 4;
    }
    void TearDown() override {
        game_shutdown();
        set_game_ui(nullptr);
        set_tick_source(nullptr);
        std::filesystem::remove_all(dir);
    }

    void new_game_in(int mode, const char* fen = nullptr) {
        change_play_mode(mode);
        if (fen == nullptr) {
            new_game_command();
            return;
        }
        Side side = WHITE;
        std::string error;
        ASSERT_TRUE(parse_fen(fen, state.board, side, error)) << error;
        state.side = side;
        new_game(true);
    }
    // Waits (running posted tasks) until the engine is idle; false after 30 s.
    bool wait_idle() {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (app.engine_state != ENGINE_IDLE) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            ui.run_tasks(1ms);
        }
        ui.run_tasks(0ms);
        return true;
    }
    void tick(int seconds = 1) {
        fake_milliseconds += 1000 * seconds;
        clock_tick();
    }
    void click(int square) { board_clicked(square); }
    std::string last_move() {
        if (game_length() == 0) return "";
        return entry_text(game_entry(game_length() - 1));
    }
    // The player's move `index` of the root list, as a click would play it.
    void play_index(int index) {
        state.player_move = index;
        move_done(0);
    }
    // A king move that takes nothing, leaves the opponent nothing to take and leads to
    // the position seen least often (the first such in list order): a walk of such moves
    // keeps a king ending going without a capture or a repetition. -1 when there is none.
    int quiet_king_move() {
        static const auto scratch = std::make_unique<PlyStack>();
        const GameRecord& record = game_record();
        int best = -1;
        int best_seen = 2;
        for (int i = 0; i < state.legal_count; ++i) {
            scratch->reset();
            PlyRecord& here = scratch->root();
            set_record_position(here, state.board, state.side);
            generate_moves(state.side, here);
            const std::uint32_t kind = move_kind(here.moves[i].word);
            if (kind != WHITE_KING_MOVE && kind != BLACK_KING_MOVE) continue;
            make_move(here, here.moves[i]);
            PlyRecord& next = scratch->plies[1];
            const Board after = next.board;
            set_record_position(next, after, ~state.side);
            generate_moves(~state.side, next);
            if (next.max_captured > 0) continue;
            int seen = 0;
            for (int j = 0; j <= record.current; ++j) {
                seen += record.entries[j].side == ~state.side && record.entries[j].board == after;
            }
            if (seen < best_seen) {
                best = i;
                best_seen = seen;
            }
        }
        return best;
    }
};

}  // namespace

TEST_F(Controller, AfterStartUpTheBoardTakesNoMove) {
    click(32);
    click(28);
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(app.game_running, 0);
    EXPECT_EQ(ui.status(PANE_PLAY_MODE), "Player - Player");
    EXPECT_EQ(ui.status(PANE_ENGINE), "IDLE");
}

TEST_F(Controller, PlayerAgainstComputerFromTheFirstClickToTheReply) {
    new_game_in(PLAYER_COMPUTER);
    EXPECT_EQ(app.engine_state, ENGINE_THINKING);  // Permanent Brain, on by default
    click(32);  // two moves: the piece is picked up
    EXPECT_EQ(selected_square(), 32);
    click(28);
    EXPECT_EQ(game_length(), 1);
    EXPECT_EQ(ui.sounds, 1);
    EXPECT_EQ(state.computer_to_move, 1);
    EXPECT_EQ(ui.status(PANE_MESSAGE), "322800");
    click(19);  // the computer is to move: clicks do nothing
    ASSERT_TRUE(wait_idle());
    EXPECT_EQ(game_length(), 1);  // the move waits for the tick
    tick();
    EXPECT_EQ(game_length(), 2);
    EXPECT_EQ(state.computer_to_move, 0);
    EXPECT_EQ(ui.status(PANE_TURN), "Player to move with White");
    EXPECT_EQ(app.engine_state, ENGINE_THINKING);
}

TEST_F(Controller, WithTheClocksStoppedTheComputerNeverMoves) {
    new_game_in(PLAYER_COMPUTER);
    click(32);
    click(28);
    ASSERT_TRUE(wait_idle());
    clock_stop_command();
    tick(5);
    EXPECT_EQ(game_length(), 1);
    clock_start_command();
    ASSERT_TRUE(wait_idle());
    tick();
    EXPECT_EQ(game_length(), 2);
}

// The clocks keep time whether or not the Clock window is there to draw them.
TEST_F(Controller, TheClocksRunWithTheClockWindowClosed) {
    app.clock_shown = 0;
    new_game_in(PLAYER_PLAYER);
    tick(5);
    click(32);
    click(28);
    tick(3);
    click(19);
    click(23);
    EXPECT_EQ(app.white_clock, 5);
    EXPECT_EQ(app.black_clock, 3);
    tick(2);
    EXPECT_EQ(app.white_clock, 7);
}

TEST_F(Controller, TheTimeLimitEndsTheSearch) {
    settings().search_mode = FIXED_TIME_PER_MOVE;
    settings().seconds_per_move = 3;
    new_game_in(COMPUTER_PLAYER);  // the computer (White) thinks until its time is up
    EXPECT_EQ(app.engine_state, ENGINE_SEARCHING);
    tick(1);
    tick(1);
    EXPECT_EQ(game_length(), 0);
    tick(1);
    EXPECT_EQ(game_length(), 1);
}

TEST_F(Controller, ForcedMovesArePlayedAtOnce) {
    settings().permanent_brain = 0;
    // After 28-23 Black's only move is 19x28 (39 stops it going on over 33), played at
    // once; then White must take back with 33x22, the last capture of the game.
    new_game_in(PLAYER_COMPUTER, "W:W28,33,39:B19");
    click(28);
    click(23);
    EXPECT_EQ(game_length(), 2);
    EXPECT_EQ(last_move(), "19x28");
    EXPECT_EQ(app.engine_state, ENGINE_IDLE);  // no search for a forced move

    // The player's own forced capture waits for a click, unless Auto Move is on.
    EXPECT_EQ(state.legal_count, 1);
    undo_move();
    undo_move();
    settings().auto_move = 1;
    click(28);
    click(23);
    EXPECT_EQ(game_length(), 3);
    EXPECT_EQ(last_move(), "33x22");
}

TEST_F(Controller, BookMovesAreFollowedWithoutSearchAndLeftForGood) {
    std::vector<BookSourceLine> lines;
    std::string error;
    ASSERT_TRUE(parse_book_source("W 100 33-28 18-23 39-33 12-18 44-39\n", lines, error)) << error;
    ASSERT_TRUE(replay_book_line(lines[0], error)) << error;
    const std::vector<std::uint8_t> file = build_book_file(lines);
    std::ofstream(dir + "/book.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    game_shutdown();
    game_init(dir.c_str());
    engine_launch();
    settings().book_use = 1;
    settings().permanent_brain = 0;

    ASSERT_EQ(state.use_book, 1);
    new_game_in(COMPUTER_PLAYER);
    EXPECT_EQ(game_length(), 1);
    EXPECT_EQ(last_move(), "33-28");
    EXPECT_EQ(app.engine_state, ENGINE_IDLE);
    click(18);
    click(23);
    EXPECT_EQ(game_length(), 3);  // 39-33 straight from the book
    EXPECT_EQ(last_move(), "39-33");
    EXPECT_EQ(state.use_book, 1);

    click(17);  // out of the book: the engine searches the reply
    click(22);
    EXPECT_EQ(state.use_book, 0);
    ASSERT_TRUE(wait_idle());
    tick();
    EXPECT_EQ(game_length(), 5);
    EXPECT_EQ(state.use_book, 0);
}

TEST_F(Controller, UndoAndRedoStopAtTheEnds) {
    new_game_in(PLAYER_PLAYER);
    undo_move();
    EXPECT_EQ(game_current(), 0);
    click(32);
    click(28);
    click(19);
    click(23);
    redo_move();
    EXPECT_EQ(game_current(), 2);
    undo_move();
    undo_move();
    undo_move();
    EXPECT_EQ(game_current(), 0);
    EXPECT_EQ(state.side, WHITE);
    redo_move();
    EXPECT_EQ(game_current(), 1);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_EQ(game_length(), 2);
}

TEST_F(Controller, ANewGameFromSetUpWithBlackToMoveLetsTheComputerStart) {
    change_play_mode(PLAYER_COMPUTER);  // the computer plays Black
    toggle_setup_mode();
    EXPECT_EQ(app.setup_mode, 1);
    EXPECT_TRUE(ui.enabled(CMD_EDIT_CLEAR));
    setup_clear();
    click(28);  // an empty square takes a man of the set-up colour (White)
    click(19);
    click(19);
    click(19);  // white man, white king, empty: the colour turns to Black
    click(19);
    setup_side(BLACK);
    EXPECT_EQ(piece_on_square(28, state.board), WHITE_MAN);
    EXPECT_EQ(piece_on_square(19, state.board), BLACK_MAN);
    toggle_setup_mode();
    EXPECT_EQ(app.setup_mode, 0);
    EXPECT_EQ(app.game_running, 1);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_EQ(state.computer_to_move, 1);
    EXPECT_EQ(game_entry(0).side, BLACK);
    ASSERT_TRUE(wait_idle());
    tick();
    EXPECT_EQ(game_length(), 1);
}

TEST_F(Controller, TheEndOfTheGameStopsTheClocks) {
    settings().permanent_brain = 0;
    new_game_in(PLAYER_PLAYER, "W:W28:B23");
    EXPECT_EQ(app.clocks_running, 1);
    click(28);  // 28x19 takes the last black piece
    EXPECT_EQ(state.legal_count, 0);
    EXPECT_EQ(app.clocks_running, 0);
    EXPECT_EQ(app.engine_state, ENGINE_IDLE);
}

// Each draw rule of the FMJD's rules of international draughts (Annex 1, article 6)
// ends a game played through the controller exactly when its limit is reached: the
// walk plays quiet king moves until the game ends, and the number of half-moves played
// shows that the move before was one short of the rule.
TEST_F(Controller, TheDrawRulesEndTheGameAtTheirLimit) {
    struct Case {
        const char* fen;
        GameResult result;
        int half_moves;
        const char* status;
    };
    const Case cases[] = {
        // 6.3: 25 moves by each side in which only kings moved, nothing taken.
        {"W:WK46,K47,36,45:BK4,K5,6,15", RESULT_DRAW_KING_MOVES, 50, "Draw: 25 king moves"},
        // 6.4: three kings against a lone king, at most 16 moves by each side.
        {"W:WK46,K47,K48:BK4", RESULT_DRAW_16_MOVES, 32, "Draw: 16-move rule"},
        // 6.4: a king and two men against a lone king (the men never move here).
        {"B:WK47,36,45:BK5", RESULT_DRAW_16_MOVES, 32, "Draw: 16-move rule"},
        // 6.5: two kings against a lone king, at most 5 moves by each side.
        {"W:WK46,K47:BK4", RESULT_DRAW_5_MOVES, 10, "Draw: 5-move rule"},
        // 6.5: a king against a king.
        {"B:WK46:BK4", RESULT_DRAW_5_MOVES, 10, "Draw: 5-move rule"},
    };
    settings().permanent_brain = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        new_game_in(PLAYER_PLAYER, c.fen);
        while (game_result(state) == RESULT_NONE && game_length() < 100) {
            const int index = quiet_king_move();
            ASSERT_GE(index, 0) << "no quiet king move after " << game_length() << " in " << to_fen(state.board, state.side);
            play_index(index);
        }
        EXPECT_EQ(game_result(state), c.result);
        EXPECT_EQ(game_length(), c.half_moves);
        EXPECT_EQ(ui.status(PANE_TURN), c.status);
        EXPECT_EQ(app.clocks_running, 0);
        EXPECT_EQ(state.engine_request, REQUEST_STOP);
    }
}

// 6.2: the same position with the same side to move for the third time, not in a row.
TEST_F(Controller, ARepeatedPositionDrawsAndUndoResumesTheGame) {
    new_game_in(PLAYER_COMPUTER, "W:WK46,48,49:BK1,2,3");
    const char* shuffle[] = {"46-41", "1-6", "41-46", "6-1", "46-37", "1-7", "37-46", "7-1"};
    change_play_mode(PLAYER_PLAYER);
    for (const char* move : shuffle) {
        EXPECT_EQ(game_result(state), RESULT_NONE) << "before " << move;
        const int index = [&] {
            for (int i = 0; i < root_record().move_count; ++i) {
                if (move_text(root_record().moves[i]) == move) return i;
            }
            return -1;
        }();
        ASSERT_GE(index, 0) << move;
        play_index(index);
    }
    EXPECT_EQ(game_result(state), RESULT_DRAW_REPETITION);
    EXPECT_EQ(ui.status(PANE_TURN), "Draw by repetition");
    EXPECT_EQ(app.clocks_running, 0);
    click(46);  // the board takes no more moves
    click(41);
    EXPECT_EQ(game_length(), 8);

    undo_move();
    EXPECT_EQ(game_result(state), RESULT_NONE);
    EXPECT_EQ(app.clocks_running, 1);
    EXPECT_EQ(ui.status(PANE_TURN), "Player to move with Black");
}

// Against the computer Undo goes back to the player's previous turn, so the computer
// does not play its reply again at once; Redo forwards to the player's next turn.
TEST_F(Controller, UndoAndRedoAgainstTheComputerStepWholeTurns) {
    settings().permanent_brain = 0;
    for (const int mode : {PLAYER_COMPUTER, COMPUTER_PLAYER}) {
        SCOPED_TRACE(mode);
        new_game_in(mode);
        for (int computer_moves = 0; computer_moves < 2;) {
            if (state.computer_to_move) {
                ASSERT_TRUE(wait_idle());
                tick();
                ++computer_moves;
            } else {
                play_index(0);
            }
        }
        ASSERT_TRUE(wait_idle());
        const int length = game_length();
        ASSERT_EQ(state.computer_to_move, 0);
        undo_move();
        EXPECT_EQ(game_current(), length - 2);
        EXPECT_EQ(state.computer_to_move, 0);
        EXPECT_EQ(app.engine_state, ENGINE_IDLE);
        undo_move();
        // Computer - Player: the computer's first move stays, no player's turn is before it.
        EXPECT_EQ(game_current(), mode == PLAYER_COMPUTER ? 0 : 1);
        redo_move();
        redo_move();
        EXPECT_EQ(game_current(), length);
        EXPECT_EQ(state.computer_to_move, 0);
    }
}

TEST_F(Controller, ComputerComputerPlaysOnAndStopsPromptly) {
    settings().ply = 2;
    settings().permanent_brain = 0;
    new_game_in(COMPUTER_COMPUTER);
    undo_move();  // nothing in this mode
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (game_length() < 6 && std::chrono::steady_clock::now() < deadline) ui.run_tasks(5ms);
    EXPECT_GE(game_length(), 6);
    const auto start = std::chrono::steady_clock::now();
    change_play_mode(PLAYER_PLAYER);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);  // not the 10 s timeout
    EXPECT_EQ(app.engine_state, ENGINE_IDLE);
    const int length = game_length();
    ui.run_tasks(50ms);  // a commit posted before the stop is dropped
    EXPECT_EQ(game_length(), length);
}

// Space and the clock tick tell the Computer - Computer loop to move now at any moment,
// also while its move waits to be committed: the game always goes on to its next move or
// its end.
TEST_F(Controller, ComputerComputerGoesOnWhenToldToMoveNowAtAnyMoment) {
    settings().ply = 3;
    settings().permanent_brain = 0;
    new_game_in(COMPUTER_COMPUTER);
    std::mt19937 rng(5);
    int length = 0;
    auto changed = std::chrono::steady_clock::now();
    while (game_result(state) == RESULT_NONE && app.game_running && game_length() < 160) {
        ui.run_tasks(std::chrono::milliseconds(rng() % 3));
        if (rng() % 3 == 0) {
            force_computer_move();  // Space
            tick();
        }
        if (game_length() != length) {
            length = game_length();
            changed = std::chrono::steady_clock::now();
        }
        ASSERT_LT(std::chrono::steady_clock::now() - changed, 10s) << "the game stalled after " << length << " moves";
    }
    EXPECT_TRUE(game_result(state) != RESULT_NONE || game_length() >= 160) << game_length();
    change_play_mode(PLAYER_PLAYER);
}

TEST_F(Controller, EscapeAsksBeforeItHaltsTheGame) {
    new_game_in(PLAYER_PLAYER);
    ui.answer = Answer::CANCEL;
    abort_game();
    EXPECT_EQ(app.game_running, 1);
    ui.answer = Answer::OK;
    abort_game();
    EXPECT_EQ(app.game_running, 0);
    click(32);
    click(28);
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(ui.messages.back(), "Game Abort: Abort Game?");
}

// The mode in force chosen again (its pressed button, its key) changes nothing.
TEST_F(Controller, TheModeInForceAgainKeepsTheSearchGoing) {
    settings().ply = MAX_ITERATION_DEPTH;
    new_game_in(COMPUTER_PLAYER);
    ASSERT_EQ(app.engine_state, ENGINE_SEARCHING);
    const int starts = ui.engine_starts;
    change_play_mode(COMPUTER_PLAYER);
    EXPECT_EQ(app.engine_state, ENGINE_SEARCHING);
    EXPECT_EQ(ui.engine_starts, starts);  // the same search, not one started afresh
    change_play_mode(PLAYER_PLAYER);
}

TEST_F(Controller, NewGameCancelledLeavesTheGameGoing) {
    new_game_in(PLAYER_COMPUTER);
    click(32);
    click(28);
    ASSERT_EQ(app.engine_state, ENGINE_SEARCHING);
    ui.answer = Answer::CANCEL;
    new_game_command();
    EXPECT_EQ(ui.messages.back(), "Game New: Start a new Game?");
    EXPECT_EQ(app.game_running, 1);
    EXPECT_EQ(app.clocks_running, 1);
    EXPECT_EQ(app.engine_state, ENGINE_SEARCHING);  // its search was not thrown away
    ASSERT_TRUE(wait_idle());
    tick();
    EXPECT_EQ(game_length(), 2);
}

TEST_F(Controller, FileSaveAndOpen) {
    new_game_in(PLAYER_PLAYER);
    ui.save_path = dir + "/game.tgr";
    file_save_command();
    EXPECT_EQ(ui.messages.back(), "File Save: No game available!");
    EXPECT_FALSE(std::filesystem::exists(ui.save_path));

    click(32);
    click(28);
    file_save_command();
    EXPECT_EQ(std::filesystem::file_size(ui.save_path), 10u);
    ui.save_path = dir + "/no/such/dir/game.tgr";
    file_save_command();
    EXPECT_EQ(ui.messages.back(), "File Save: Could not write file!");

    new_game_in(PLAYER_PLAYER, "W:W28,33,39:B19");
    click(28);
    click(23);
    ui.save_path = dir + "/setup.tgr";
    file_save_command();
    EXPECT_EQ(ui.messages.back(),
              "File Save: This game starts from a set-up position, which a .tgr file cannot hold.");
    EXPECT_FALSE(std::filesystem::exists(ui.save_path));

    std::ofstream(dir + "/broken.tgr") << "not a game";
    ui.open_path = dir + "/broken.tgr";
    file_open_command();
    EXPECT_EQ(ui.messages.back(), "File Open: Could not read file!");
    EXPECT_EQ(app.clocks_running, 1);  // the running game goes on with fresh clocks
    EXPECT_EQ(game_length(), 1);

    change_play_mode(PLAYER_COMPUTER);  // the computer (Black) starts to think
    ui.open_path = dir + "/game.tgr";
    file_open_command();
    EXPECT_EQ(game_length(), 1);
    EXPECT_EQ(app.play_mode, PLAYER_PLAYER);
    EXPECT_EQ(app.clocks_running, 0);
    EXPECT_EQ(state.side, BLACK);
}

// The other program may be gone: the wait goes on, but after 30 s without a word the
// status bar says so, and the move that comes at last replaces the notice.
TEST_F(Controller, RemoteSilenceIsShownUntilAMoveArrives) {
    serial_test::NullModemCable cable;
    std::string why;
    ASSERT_TRUE(cable.plug_in(why)) << why;
    serial_test::route_com(7, cable.a());
    settings().com_port = 7;
    serial_test::RawPeer peer(cable.b());
    new_game_in(PLAYER_COMPUTER);  // the other program plays White and is to move
    toggle_remote();
    auto wait_and_poll = [&](int seconds) {
        fake_milliseconds += 1000 * seconds;
        remote_poll();
        return ui.status(PANE_MESSAGE);
    };
    const std::string notice = "No answer from remote for ";
    EXPECT_EQ(wait_and_poll(29).find(notice), std::string::npos);
    EXPECT_EQ(wait_and_poll(1), notice + "30 s");
    EXPECT_EQ(wait_and_poll(150), notice + "3 min");

    ASSERT_TRUE(peer.send_message("322800"));
    for (int i = 0; i < 500 && game_length() == 0; ++i) {
        remote_poll();
        ui.run_tasks(10ms);
    }
    ASSERT_EQ(game_length(), 1);
    EXPECT_EQ(ui.status(PANE_MESSAGE).find(notice), std::string::npos);
    ASSERT_TRUE(wait_idle());
    tick();  // our reply goes out: the other program's time starts again
    ASSERT_EQ(game_length(), 2);
    EXPECT_EQ(wait_and_poll(29).find(notice), std::string::npos);
    EXPECT_EQ(wait_and_poll(1), notice + "30 s");
    toggle_remote();
    EXPECT_EQ(ui.status(PANE_MESSAGE), "") << "the notice outlived Remote";
}

TEST_F(Controller, RemotePlayTakesLegalMessagesAndRefusesTheRest) {
    settings().com_port = 7;
    setenv("VANTOR_COM7", (dir + "/no-such-device").c_str(), 1);
    toggle_remote();  // the port cannot be opened: the player is told which one
    EXPECT_EQ(app.remote_on, 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back(), "Remote: Could not open the serial port COM7 (" + dir + "/no-such-device)!");

    serial_test::NullModemCable cable;
    std::string why;
    ASSERT_TRUE(cable.plug_in(why)) << why;
    serial_test::route_com(7, cable.a());
    serial_test::RawPeer peer(cable.b());
    ASSERT_TRUE(peer.is_open());
    new_game_in(PLAYER_COMPUTER);  // the opponent at the other end plays White
    const std::size_t messages = ui.messages.size();
    settings().auto_move = 1;
    toggle_remote();
    ASSERT_EQ(remote_status(), 1);
    EXPECT_EQ(settings().auto_move, 0);

    auto poll_until = [&](auto done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            remote_poll();
            ui.run_tasks(20ms);
        }
        return done();
    };
    ASSERT_TRUE(peer.send_message("32299900"));  // not a move of the position
    ASSERT_TRUE(poll_until([&] { return ui.messages.size() > messages; }));
    EXPECT_EQ(ui.messages.back(), "Remote Error: Illegal move message!");
    EXPECT_EQ(game_length(), 0);

    ASSERT_TRUE(peer.send_message("322800"));  // 32-28
    ASSERT_TRUE(poll_until([&] { return game_length() == 1; }));
    EXPECT_EQ(last_move(), "32-28");
    ASSERT_TRUE(wait_idle());
    tick();  // the computer's reply goes back over the cable
    EXPECT_EQ(game_length(), 2);
    const std::optional<std::string> reply = peer.receive_message(5000ms);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->substr(0, 2), std::to_string(game_entry(1).from));
    toggle_remote();
}
