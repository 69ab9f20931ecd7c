#include "engine/search/driver.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/search.h"
#include "engine/search/strong_search.h"
#include "engine/search/tt.h"

namespace {

EngineReporter* reporter = nullptr;
bool (*commit_computer_move)() = nullptr;
int no_moves_played() { return 0; }
int (*game_length_source)() = no_moves_played;

GameState* reporting_state = nullptr;  // the state of the search in progress
std::atomic<EngineKind> kind_in_use{EngineKind::CLASSIC};

std::thread engine;
std::atomic<bool> quitting{false};

// The start/stop handshake. Searches asked for (by engine_start) and searches ended (by
// the engine thread) are counted, and engine_stop waits until the two counts agree: a
// signal of stopped_event left over from an earlier search can wake it, never end its
// wait. The mutex makes each side's change of engine_state and its count one step, so
// the end of an older search can never mark a newer one idle.
std::mutex handshake;
std::uint64_t searches_started = 0;  // under `handshake`
std::atomic<std::uint64_t> searches_finished{0};

constexpr std::chrono::milliseconds STOP_TIMEOUT{10000};

void post_status(int pane, const std::string& text) {
    if (reporter != nullptr) reporter->set_status_text(pane, text);
}

const char* engine_state_text(int engine_state) {
    return engine_state == ENGINE_SEARCHING ? "SRCH" : engine_state == ENGINE_THINKING ? "THNK" : "IDLE";
}

void publish_counters(GameState& state) {
    state.node_count.store(search_counters().nodes, std::memory_order_relaxed);
    state.eval_count.store(search_counters().evaluations, std::memory_order_relaxed);
}

// The search the engine thread runs now covers every start asked for so far.
std::uint64_t take_search() {
    std::scoped_lock lock(handshake);
    return searches_started;
}

// The end of a search (or of a Computer - Computer run): back to IDLE unless a newer
// search is already asked for, then tell a waiting engine_stop.
void finish_search(std::uint64_t search) {
    {
        std::scoped_lock lock(handshake);
        if (searches_started == search) {
            app_state().engine_state = ENGINE_IDLE;
            post_status(PANE_ENGINE, "IDLE");
        }
        searches_finished = search;
    }
    app_state().stopped_event.set();
}

bool all_searches_finished() {
    std::scoped_lock lock(handshake);
    return searches_finished == searches_started;
}

void computer_computer_loop(GameState& state) {
    AppState& app = app_state();
    app.engine_state = ENGINE_SEARCHING;
    post_status(PANE_ENGINE, "SRCH");
    while (app.game_running && app.play_mode == COMPUTER_COMPUTER &&
           state.engine_request != REQUEST_STOP) {
        allocate_time(state);
        // A "move now" that came after the last search ended was meant for that search,
        // whose move is committed already; this one starts afresh.
        int move_now = REQUEST_MOVE_NOW;
        state.engine_request.compare_exchange_strong(move_now, REQUEST_SEARCH);
        run_search(state);  // which starts from a fresh table and history itself
        // "Move now" ends only the search; a stop ends the game's loop.
        if (state.engine_request == REQUEST_STOP) break;
        if (commit_computer_move == nullptr || !commit_computer_move()) break;
    }
}

}  // namespace

void set_engine_reporter(EngineReporter* r) { reporter = r; }
void set_computer_move_commit(bool (*commit)()) { commit_computer_move = commit; }
void set_game_length_source(int (*game_length)()) {
    game_length_source = game_length ? game_length : no_moves_played;
}

void report_progress(int code) {
    if (reporter == nullptr || reporting_state == nullptr) return;
    const GameState& state = *reporting_state;
    const bool info_shown = app_state().search_info_shown != 0;
    char text[32];
    switch (code) {
        case 1:
            std::snprintf(text, sizeof text, "%2d", state.iteration_depth.load());
            reporter->set_status_text(PANE_DEPTH, text);
            if (info_shown) reporter->search_info_changed(INFO_DEPTH);
            break;
        case 2:
            if (info_shown) reporter->search_info_changed(INFO_EXAMINED);
            break;
        case 3:
            if (info_shown) reporter->search_info_changed(INFO_BEST);
            break;
        case 4:
            if (info_shown) reporter->search_info_changed(INFO_SCORE);
            break;
        case 5:
            publish_counters(*reporting_state);
            std::snprintf(text, sizeof text, "%lld", static_cast<long long>(state.node_count.load()));
            reporter->set_status_text(PANE_NODES, text);
            break;
        case 6:
            std::snprintf(text, sizeof text, "%d", state.static_eval.load());
            reporter->set_status_text(PANE_MESSAGE, text);
            break;
        default:
            break;
    }
}

void refresh_pv_window() {
    if (reporter != nullptr && app_state().pv_shown) reporter->pv_changed();
}

void engine_reset(GameState& state) {
    PlyRecord& root = root_record();
    count_and_evaluate(state.side, root, -INFINITE_SCORE);
    tt_clear(root);
    history_reset();
}

void prepare_fixed_ply_search(GameState& state, const Board& board, Side side, int depth) {
    set_record_position(root_record(), board, side);
    state.board = board;
    state.side = side;
    state.computer_to_move = 1;
    state.search_kind = FIXED_PLY;
    state.search_limit = depth;
    state.engine_move = 0;
    state.pv_length = 0;
    state.engine_request = REQUEST_SEARCH;
}

void set_engine_kind(EngineKind kind) { kind_in_use = kind; }
EngineKind engine_kind() { return kind_in_use; }

bool engine_kind_from_name(const std::string& name, EngineKind& kind) {
    if (name == "classic") {
        kind = EngineKind::CLASSIC;
    } else if (name == "strong") {
        kind = EngineKind::STRONG;
    } else {
        return false;
    }
    return true;
}

int run_search(GameState& state) {
    reporting_state = &state;
    if (kind_in_use == EngineKind::STRONG) return strong_run_search(state);
    PlyRecord& root = root_record();
    const Side side = state.side;
    engine_reset(state);
    search_begin(state, root);
    state.node_count = 0;
    state.eval_count = 0;

    count_material(root);
    state.static_eval = evaluate(side, root, -INFINITE_SCORE);
    report_progress(6);

    generate_moves(side, root);
    const int legal = root.move_count;
    if (legal == 0) return 0;
    root_list_init(root);

    // Fixed Ply limits the computer's own search; everything else runs until stopped.
    // Below two plies no iteration would run and no move would be named.
    int limit = MAX_ITERATION_DEPTH;
    if (state.computer_to_move && state.search_kind == FIXED_PLY) {
        limit = std::clamp(state.search_limit.load(), 2, MAX_ITERATION_DEPTH);
    }
    for (int depth = 2; depth <= limit; ++depth) {
        state.iteration_depth = depth;
        report_progress(1);
        const int v = root_search(depth, -INFINITE_SCORE, INFINITE_SCORE, root, side);
        if (state.engine_request != REQUEST_SEARCH) break;  // the iteration is abandoned
        state.score = v;
        report_progress(4);
        report_progress(5);
        build_pv(state);
        if (v == WIN_SCORE || v == -WIN_SCORE) depth = limit;
        root_list_sort();
    }
    publish_counters(state);
    tt_age();
    return legal;
}

void allocate_time(GameState& state) {
    const Settings& s = settings();
    switch (state.search_kind) {
        case FIXED_PLY:
            state.search_limit = s.ply.load();
            break;
        case FIXED_TIME_PER_MOVE:
            state.search_limit = s.seconds_per_move.load();
            break;
        case TOURNAMENT: {
            // An even share of 95 % of the period, less when the time left for the moves
            // still to make is shorter. The budget is the side to move's own clock.
            const int total = 57 * s.tournament_minutes;
            const int moves = std::max(1, s.tournament_moves.load());
            const int share = total / moves;
            const int played = game_length_source() / 2;
            const AppState& app = app_state();
            const int used = state.side == WHITE ? app.white_clock.load() : app.black_clock.load();
            const int left = total >= used && moves > played ? (total - used) / (moves - played) : share;
            state.search_limit = std::min(share, left);
            break;
        }
        default:  // Game: the limit in force stays
            break;
    }
}

void build_pv(GameState& state) {
    PlyRecord* record = &root_record();
    Side side = state.side;
    int length = 0;
    for (int k = 0; k < PV_MAX; ++k, ++record, side = ~side) {
        const TTEntry* entry = tt_find(record->key);
        if (entry == nullptr) break;
        if (entry->flags & (side == WHITE ? TT_BLACK_TO_MOVE : TT_WHITE_TO_MOVE)) break;
        if (k > 0) generate_moves(side, *record);
        if (entry->move_index >= record->move_count) break;
        MoveRecord& move = record->moves[entry->move_index];
        move.word &= ~MOVE_TRIED;
        if (move.word != entry->move) break;
        PvEntry pv;
        pv.kind = static_cast<std::uint8_t>(move_kind(move.word));
        pv.from = BIT_TO_SQUARE[move_from(move.word)];
        pv.to = BIT_TO_SQUARE[move_to(move.word)];
        pv.mark = (entry->flags & TT_SINGULAR) ? 1 : 0;
        state.pv[k] = pv;
        length = k + 1;
        if (length == PV_MAX) break;
        make_move(*record, move);
    }
    state.pv_length = length;
    refresh_pv_window();
}

void switch_clocks(GameState& state) {
    AppState& app = app_state();
    // The mover's time stays on its own clock, which the tick keeps whether or not the
    // Clock window is there to draw it; the window's last drawn value follows the clock
    // that runs next.
    const int next = state.side == WHITE ? app.black_clock.load() : app.white_clock.load();
    app.clock_drawn = next;
    app.clock_base = next;
    app.clock_started_at = tick_seconds();
}

void engine_start(GameState& state) {
    AppState& app = app_state();
    if (app.setup_mode) return;
    {
        std::scoped_lock lock(handshake);
        app.engine_state = state.computer_to_move ? ENGINE_SEARCHING : ENGINE_THINKING;
        post_status(PANE_ENGINE, engine_state_text(app.engine_state));
        state.engine_request = REQUEST_SEARCH;
        allocate_time(state);
        ++searches_started;
    }
    app.start_event.set();
}

void engine_stop(GameState& state) {
    state.engine_request = REQUEST_STOP;
    // An idle engine has nothing to confirm; waiting would only cost the timeout.
    const auto give_up = std::chrono::steady_clock::now() + STOP_TIMEOUT;
    while (!all_searches_finished()) {
        const auto left = give_up - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return;
        app_state().stopped_event.wait_for(std::chrono::duration_cast<std::chrono::milliseconds>(left) +
                                           std::chrono::milliseconds(1));
    }
}

void engine_move_now(GameState& state) {
    int searching = REQUEST_SEARCH;
    state.engine_request.compare_exchange_strong(searching, REQUEST_MOVE_NOW);
}

void engine_thread() {
    AppState& app = app_state();
    GameState& state = game_state();
    for (;;) {
        app.start_event.wait();
        if (quitting) return;
        const std::uint64_t search = take_search();
        if (app.play_mode != COMPUTER_COMPUTER) {
            run_search(state);
        } else {
            computer_computer_loop(state);
        }
        finish_search(search);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void engine_launch() {
    if (engine.joinable()) return;
    quitting = false;
    engine = std::thread(engine_thread);
}

void engine_shutdown() {
    if (!engine.joinable()) return;
    engine_stop(game_state());
    quitting = true;
    app_state().start_event.set();
    engine.join();
}
