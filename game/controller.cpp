#include "game/controller.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "engine/board/board.h"
#include "engine/knowledge/book.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"
#include "game/clocks.h"
#include "game/game_end.h"
#include "game/move_text.h"
#include "game/record.h"
#include "game/remote.h"
#include "records/app_state.h"
#include "records/settings.h"

namespace {

Selection selection;
int selected = 0;      // the square last drawn as selected
MoveMessage message{};  // the last move's message text

const char* const PLAY_MODE_TEXTS[] = {"Player - Player", "Player - Computer", "Computer - Player",
                                       "Computer - Computer"};

void clear_selection() {
    selection = Selection{};
    selected = 0;
}

// Starts the engine when the controller wants it thinking and it is idle.
void start_engine_if_wanted(GameState& state) {
    if (app_state().game_running && app_state().engine_state == ENGINE_IDLE && engine_wanted(state)) {
        engine_start(state);
    }
}

// A Computer - Computer search has ended: commit its move on the main thread and wait
// for it there, unless a stop comes first (the main thread may itself be waiting for
// the engine in engine_stop, so the wait must give way to it).
struct Commit {
    std::mutex mutex;
    std::condition_variable done_changed;
    bool done = false;
    bool cancelled = false;
    bool committed = false;
};

bool commit_computer_move() {
    GameState& state = game_state();
    auto commit = std::make_shared<Commit>();
    game_ui().post_to_main_thread([commit, &state] {
        std::scoped_lock lock(commit->mutex);
        if (commit->cancelled) return;
        // A "move now" that arrives while this commit waits asks for what it does anyway.
        if (app_state().game_running && app_state().play_mode == COMPUTER_COMPUTER &&
            state.engine_request != REQUEST_STOP) {
            move_done(1);
            commit->committed = true;
        }
        commit->done = true;
        commit->done_changed.notify_all();
    });
    std::unique_lock lock(commit->mutex);
    while (!commit->done) {
        if (state.engine_request == REQUEST_STOP) {
            commit->cancelled = true;
            return false;
        }
        commit->done_changed.wait_for(lock, std::chrono::milliseconds(5));
    }
    return commit->committed && state.engine_request != REQUEST_STOP;
}

// The game has ended or cannot go on: clocks stopped, nothing more is started.
void end_game(GameState& state) {
    stop_clocks();
    state.engine_request = REQUEST_STOP;
}

// One move of move_done's round: false when it could not be recorded.
bool commit_one(GameState& state) {
    GameUi& ui = game_ui();
    if (game_current() >= MAX_GAME_MOVES) {
        // The record holds 512 moves: the game stops here, nothing is lost.
        end_game(state);
        app_state().game_running = 0;
        return false;
    }
    if (settings().sound) ui.play_move_sound();
    switch_clocks(state);
    const bool computer_moved = state.computer_to_move != 0;
    state.side = ~state.side;
    if (!record_move(state, message)) {
        state.side = ~state.side;
        end_game(state);
        return false;
    }
    if (app_state().remote_on && computer_moved) remote_send(message.data());
    ui.set_status_text(PANE_MESSAGE, message.data());
    game_record_step(STORE, state);
    ui.game_changed();
    ui.draw_all_pieces(state.board);
    update_side_marks(state);
    return true;
}

}  // namespace

void game_init(const char* directory) {
    GameState& state = game_state();
    AppState& app = app_state();
    init_board_tables();
    evaluation_init();
    state.use_book = book_load(directory);
    reset_settings();
    settings().hash_size_index = tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    state.endgame_available = egdb_init(directory);

    app.white_clock = 0;
    app.black_clock = 0;
    app.clock_base = 0;
    app.clock_drawn = 0;
    app.clock_started_at = 0;
    app.move_elapsed = 0;

    state.side = WHITE;
    state.engine_request = REQUEST_STOP;
    app.force_move = 0;
    setup_initial_position(state.board);
    game_record_step(START, state);
    game_record_clear();
    list_legal_moves(state);  // the counts describe the position on the board from the start
    state.engine_request = REQUEST_STOP;

    app.remote_on = 0;
    state.last = root_moves();
    app.setup_mode = 0;
    app.clocks_running = 0;
    app.play_mode = PLAYER_PLAYER;
    app.engine_state = ENGINE_IDLE;
    app.game_running = 0;
    clear_selection();
    set_engine_reporter(&game_ui());
    set_computer_move_commit(commit_computer_move);
    set_game_length_source(game_length);
    set_play_mode(PLAYER_PLAYER);
    game_ui().set_status_text(PANE_ENGINE, "IDLE");
}

void game_shutdown() {
    engine_shutdown();
    set_engine_reporter(nullptr);
    if (app_state().remote_on) {
        remote_close();
        app_state().remote_on = 0;
    }
    tt_free();
    book_free();
    egdb_free();
    evaluation_free();
    free_board_tables();
}

void set_play_mode(int mode) {
    if (mode < PLAYER_PLAYER || mode > COMPUTER_COMPUTER) return;
    GameState& state = game_state();
    GameUi& ui = game_ui();
    state.white_is_computer = mode == COMPUTER_PLAYER || mode == COMPUTER_COMPUTER;
    state.black_is_computer = mode == PLAYER_COMPUTER || mode == COMPUTER_COMPUTER;
    for (int m = PLAYER_PLAYER; m <= COMPUTER_COMPUTER; ++m) {
        ui.check_menu_item(CMD_GAME_PLAYER_PLAYER + m, m == mode);
        ui.press_toolbar_button(CMD_GAME_PLAYER_PLAYER + m, m == mode);
    }
    const bool one_computer = mode == PLAYER_COMPUTER || mode == COMPUTER_PLAYER;
    ui.enable_menu_item(CMD_MOVE_COMPUTER, one_computer);
    ui.enable_menu_item(CMD_MOVE_PLAYER, one_computer);
    ui.set_status_text(PANE_PLAY_MODE, PLAY_MODE_TEXTS[mode]);
    update_side_marks(state);
    update_turn_marks(state);
}

void change_play_mode(int mode) {
    GameState& state = game_state();
    AppState& app = app_state();
    // The mode in force again changes nothing, and must not throw a search away.
    if (mode < PLAYER_PLAYER || mode > COMPUTER_COMPUTER || mode == app.play_mode) return;
    // A Computer - Computer run ends with its mode; any other search is for a side whose
    // player may change, so it starts afresh below.
    if (app.engine_state != ENGINE_IDLE) engine_stop(state);
    app.play_mode = mode;
    set_play_mode(mode);
    state.engine_request = engine_wanted(state);
    if (app.clocks_running) start_engine_if_wanted(state);
}

void assign_computer_side(bool computer) {
    (void)computer;  // both commands exchange the colours
    AppState& app = app_state();
    if (app.play_mode != PLAYER_COMPUTER && app.play_mode != COMPUTER_PLAYER) return;
    change_play_mode(app.play_mode == PLAYER_COMPUTER ? COMPUTER_PLAYER : PLAYER_COMPUTER);
}

void square_clicked(int square) {
    GameState& state = game_state();
    GameUi& ui = game_ui();
    selection.clicked = square;
    const int previous = selected;
    switch (select_square(selection, state)) {
        case SELECT_PIECE:
            selected = square;
            ui.draw_square(piece_on_square(square, state.board), square, SQUARE_MARKED);
            break;
        case SELECT_DROPPED:
            selected = 0;
            if (previous != 0) ui.draw_square(piece_on_square(previous, state.board), previous, SQUARE_UNMARKED);
            break;
        case SELECT_MOVE:
            if (state.engine_request != REQUEST_STOP) engine_stop(state);
            move_done(0);
            if (state.engine_request != REQUEST_STOP) engine_start(state);
            break;
        default:
            break;
    }
}

void board_clicked(int square) {
    AppState& app = app_state();
    GameState& state = game_state();
    if (app.setup_mode && square != 0) {
        edit_square(EDIT_SQUARE, square, state);
        game_ui().draw_square(piece_on_square(square, state.board), square, SQUARE_PLAIN);
    }
    if (app.game_running && !state.computer_to_move && game_result(state) == RESULT_NONE) square_clicked(square);
}

void move_done(int source) {
    GameState& state = game_state();
    if (source == 0) state.move_to_play = state.player_move.load();
    if (source == 1) state.move_to_play = state.engine_move.load();
    for (;;) {
        if (!commit_one(state)) return;
        const int n = list_legal_moves(state);
        update_turn_marks(state);
        clear_selection();
        if (game_result(state) != RESULT_NONE) {  // lost, or drawn by the rules
            stop_clocks();
            return;
        }
        bool again = n == 1;  // list_legal_moves put the only move at move_to_play 0
        if (state.computer_to_move && state.use_book && book_choose(state)) {
            state.move_to_play = state.engine_move.load();
            again = true;
        }
        if (!again) return;
        if (!settings().auto_move && !state.computer_to_move) return;
    }
}

namespace {

// How many half-moves one Undo or Redo steps. Against the computer a step goes to the
// player's previous or next turn, so that Undo does not leave the computer to move and
// play its reply again at once; 0 when there is no such turn to go to.
int record_steps(int op) {
    const int mode = app_state().play_mode;
    const GameRecord& record = game_record();
    const int direction = op == UNDO ? -1 : 1;
    const int end = op == UNDO ? 0 : record.length;
    if (record.current == end) return 0;
    if (mode != PLAYER_COMPUTER && mode != COMPUTER_PLAYER) return 1;
    const Side computer = mode == PLAYER_COMPUTER ? BLACK : WHITE;
    for (int at = record.current + direction;; at += direction) {
        if (record.entries[at].side != computer) return direction * (at - record.current);
        if (at == end) return op == UNDO ? 0 : direction * (at - record.current);
    }
}

void step_record(int op) {
    GameState& state = game_state();
    AppState& app = app_state();
    if (app.play_mode == COMPUTER_COMPUTER) return;
    const int steps = record_steps(op);
    if (steps == 0) return;
    if (app.engine_state != ENGINE_IDLE) engine_stop(state);
    for (int i = 0; i < steps; ++i) {
        switch_clocks(state);
        game_record_step(op, state);
    }
    clear_selection();
    game_ui().draw_all_pieces(state.board);
    if (app.game_shown) game_ui().current_move_changed();
    engine_reset(state);
    // Undo revives a game that had ended; the clocks run again, and the Clock menu says
    // so, or the user could not stop them. Redo into the end of a game stops them.
    const bool over = game_result(state) != RESULT_NONE;
    if (op == UNDO && !over && !app.clocks_running) start_clocks();
    if (over && app.clocks_running) stop_clocks();
    if (state.engine_request != REQUEST_STOP) engine_start(state);
}

}  // namespace

void undo_move() { step_record(UNDO); }
void redo_move() { step_record(REDO); }

// A new game from the start position, or from the board and side of set-up mode.
void begin_new_game(bool from_setup) {
    GameState& state = game_state();
    AppState& app = app_state();
    GameUi& ui = game_ui();
    state.use_book = 0;
    state.pv_length = 0;
    if (!from_setup) {
        setup_initial_position(state.board);
        ui.draw_all_pieces(state.board);
        state.side = WHITE;
        if (settings().book_use) {
            state.use_book = 1;
            book_start(state);
        }
    }
    game_record_step(START, state);
    // Cleared before the listing, so that the draw rules look at this game only.
    game_record_clear();
    app.game_running = 1;
    update_side_marks(state);
    state.search_kind = settings().search_mode.load();
    reset_clocks();
    start_clocks();
    list_legal_moves(state);
    update_turn_marks(state);
    clear_selection();
    engine_reset(state);
    ui.game_changed();
    ui.pv_changed();
    ui.game_file_named("");
    if (state.computer_to_move && state.use_book && book_choose(state)) move_done(1);
    if (game_result(state) != RESULT_NONE) {  // a set-up position that is already decided
        stop_clocks();
        return;
    }
    if ((state.computer_to_move && !state.use_book) || (!state.computer_to_move && settings().permanent_brain)) {
        engine_start(state);
    }
}

namespace {

bool new_game_confirmed() {
    return game_ui().message_box("Start a new Game?", "Game New", MessageKind::QUESTION) == Answer::OK;
}

}  // namespace

void new_game(bool from_setup) {
    if (!from_setup && !new_game_confirmed()) return;
    begin_new_game(from_setup);
}

void new_game_command() {
    // Cancel is "do nothing": the game, its clocks and the engine's search go on as they
    // were, so nothing is halted before the answer.
    if (!new_game_confirmed()) return;
    app_state().game_running = 0;
    if (game_state().engine_request != REQUEST_STOP || app_state().engine_state != ENGINE_IDLE) {
        engine_stop(game_state());
    }
    begin_new_game(false);
}

void abort_game() {
    GameState& state = game_state();
    if (game_ui().message_box("Abort Game?", "Game Abort", MessageKind::QUESTION) == Answer::CANCEL) return;
    if (state.engine_request != REQUEST_STOP) engine_stop(state);
    app_state().game_running = 0;
}

void force_computer_move() {
    if (app_state().engine_state == ENGINE_SEARCHING) app_state().force_move = 1;
}

void toggle_setup_mode() {
    GameState& state = game_state();
    AppState& app = app_state();
    GameUi& ui = game_ui();
    const bool entering = !app.setup_mode;
    if (entering) {
        app.setup_mode = 1;
        app.game_running = 0;
        if (state.engine_request != REQUEST_STOP || app.engine_state != ENGINE_IDLE) engine_stop(state);
        clear_selection();
        ui.draw_all_pieces(state.board);  // a piece picked up before is drawn plain again
    } else {
        app.setup_mode = 0;
    }
    ui.check_menu_item(CMD_EDIT_SETUP, entering);
    for (int command = CMD_EDIT_INIT; command <= CMD_EDIT_BLACK_TO_MOVE; ++command) {
        ui.enable_menu_item(command, entering);
    }
    if (!entering) new_game(true);
}

void setup_init() {
    if (!app_state().setup_mode) return;
    GameState& state = game_state();
    edit_square(EDIT_INIT, 0, state);
    state.side = WHITE;
    update_side_marks(state);
    game_ui().draw_all_pieces(state.board);
}

void setup_clear() {
    if (!app_state().setup_mode) return;
    GameState& state = game_state();
    edit_square(EDIT_CLEAR, 0, state);
    game_ui().draw_all_pieces(state.board);
}

void setup_side(Side side) {
    if (!app_state().setup_mode) return;
    game_state().side = side == WHITE ? WHITE : BLACK;
    update_side_marks(game_state());
}

int selected_square() { return selected; }
