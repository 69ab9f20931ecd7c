// Search speed: the bench positions to a fixed depth (nodes per second), and the time
// the search from the start position takes to complete a depth, with the default table.

#include <benchmark/benchmark.h>

#include <string>

#include "engine/board/fen.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/bench_positions.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"

namespace {

void prepare_engine() {
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    set_engine_reporter(nullptr);
}

// Searches `fen` to `depth` as the computer's move at Fixed Ply; returns the nodes.
std::int64_t search_to_depth(const char* fen, int depth) {
    GameState& state = game_state();
    Board board;
    Side side = WHITE;
    std::string error;
    parse_fen(fen, board, side, error);
    prepare_fixed_ply_search(state, board, side, depth);
    run_search(state);
    return state.node_count;
}

// `vantor-cli bench --depth N`: the goal is 13 M nodes/s at depth 11.
void BM_Bench(benchmark::State& state) {
    prepare_engine();
    std::int64_t nodes = 0;
    for (auto _ : state) {
        nodes = 0;
        for (const char* fen : BENCH_POSITIONS) nodes += search_to_depth(fen, static_cast<int>(state.range(0)));
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["nodes/s"] = benchmark::Counter(
        static_cast<double>(nodes) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Bench)->Arg(9)->Arg(11)->Unit(benchmark::kMillisecond)->Iterations(1);

// Time to depth from the start position (the iterations up to it included).
void BM_StartToDepth(benchmark::State& state) {
    prepare_engine();
    std::int64_t nodes = 0;
    for (auto _ : state) nodes = search_to_depth("W:W31-50:B1-20", static_cast<int>(state.range(0)));
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_StartToDepth)->Arg(12)->Arg(14)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
