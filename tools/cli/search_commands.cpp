// search and bench: the engine searching positions from the command line.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/board/fen.h"
#include "engine/board/notation.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/bench_positions.h"
#include "engine/search/driver.h"
#include "engine/search/strong_search.h"
#include "engine/search/tt.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string pv_text(const GameState& state) {
    std::string text;
    for (int i = 0; i < state.pv_length; ++i) {
        const PvEntry e = state.pv[i].load();
        text += ' ' + std::to_string(e.from) + (is_capture_kind(e.kind) ? 'x' : '-') + std::to_string(e.to);
    }
    return text;
}

// Prints one line per completed iteration: the driver rebuilds the principal variation
// exactly once after each.
class IterationPrinter : public EngineReporter {
public:
    explicit IterationPrinter(const GameState& state) : state_(state) {}
    void set_status_text(int, const std::string&) override {}
    void search_info_changed(int) override {}
    void pv_changed() override {
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        std::printf("depth %d score %d nodes %lld time %.3f pv%s\n", state_.iteration_depth.load(),
                    state_.score.load(), static_cast<long long>(state_.node_count.load()), seconds,
                    pv_text(state_).c_str());
        std::fflush(stdout);
    }

private:
    const GameState& state_;
    Clock::time_point start_ = Clock::now();
};

void prepare_engine() {
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
}

}  // namespace

int run_search(int argc, char** argv) {
    Options options;
    std::string error;
    Board board;
    Side side = WHITE;
    if (!options.parse(argc, argv, 2, {{"fen", true}, {"depth", true}, {"movetime", true}, {"egdb", false},
                                          {"engine", true}},
                       error)) {
        return usage_error(error);
    }
    if (!apply_engine_option(options, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("search takes no argument '" + options.positional()[0] + "'");
    if (options.has("depth") == options.has("movetime")) return usage_error("search needs --depth N or --movetime S");
    long depth = MAX_ITERATION_DEPTH;
    double seconds = 0;
    if (options.has("depth") && !parse_int(*options.value("depth"), 2, MAX_ITERATION_DEPTH, depth)) {
        return usage_error("search depth must be 2-" + std::to_string(MAX_ITERATION_DEPTH));
    }
    if (options.has("movetime") && (!parse_seconds(*options.value("movetime"), seconds) || seconds > 86400)) {
        return usage_error("movetime must be a number of seconds");
    }
    if (!read_position(options, board, side, error)) return usage_error(error);

    prepare_engine();
    if (options.has("egdb")) {
        // The Endgame Database preference: the databases of the working directory.
        if (egdb_init() == 0) std::fprintf(stderr, "vantor-cli: no endgame databases in this directory\n");
        settings().endgame_use = 1;
    }
    GameState& state = game_state();
    prepare_fixed_ply_search(state, board, side, static_cast<int>(depth));
    app_state().pv_shown = 1;
    IterationPrinter printer(state);
    set_engine_reporter(&printer);

    int legal = 0;
    std::atomic<bool> finished{false};
    if (options.has("movetime")) {
        // The strong engine keeps to the time itself.
        strong_set_budget(std::chrono::milliseconds{0}, std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
    }
    std::thread worker([&] {
        legal = ::run_search(state);
        finished = true;
    });
    if (options.has("movetime")) {
        // The search may end long before its time: a decided score or no move to make.
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < deadline && !finished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.engine_request = REQUEST_STOP;
    }
    worker.join();
    set_engine_reporter(nullptr);
    if (legal == 0) {
        std::printf("bestmove none\n");
        return 0;
    }
    std::printf("bestmove %s\n", move_text(root_moves()[state.engine_move]).c_str());
    return 0;
}

int run_bench(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"depth", true}, {"engine", true}}, error)) return usage_error(error);
    if (!apply_engine_option(options, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("bench takes no argument '" + options.positional()[0] + "'");
    long depth = 11;
    if (options.has("depth") && !parse_int(*options.value("depth"), 2, MAX_ITERATION_DEPTH, depth)) {
        return usage_error("bench depth must be 2-" + std::to_string(MAX_ITERATION_DEPTH));
    }
    prepare_engine();
    GameState& state = game_state();
    std::int64_t nodes = 0;
    double seconds = 0;
    int index = 0;
    for (const char* fen : BENCH_POSITIONS) {
        Board board;
        Side side = WHITE;
        parse_fen(fen, board, side, error);
        prepare_fixed_ply_search(state, board, side, static_cast<int>(depth));
        strong_new_game();  // each position from an empty table, as the classic engine does
        const auto start = Clock::now();
        const int legal = ::run_search(state);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        nodes += state.node_count;
        std::printf("position %d nodes %lld score %d bestmove %s\n", ++index,
                    static_cast<long long>(state.node_count.load()), state.score.load(),
                    legal ? move_text(root_moves()[state.engine_move]).c_str() : "none");
    }
    std::printf("bench: nodes %lld time %.3f nps %.0f\n", static_cast<long long>(nodes), seconds,
                seconds > 0 ? static_cast<double>(nodes) / seconds : 0.0);
    return 0;
}
