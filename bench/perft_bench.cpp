// Generator throughput: perft with bulk counting (the last ply adds the move count
// without making the moves), reported as leaves per second.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/board/fen.h"
#include "engine/board/perft.h"

namespace {

void run_perft(benchmark::State& state, const char* fen) {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    Board board;
    Side side = WHITE;
    std::string error;
    parse_fen(fen, board, side, error);
    set_record_position(stack->plies[0], board, side);
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = perft(stack->plies[0], side, depth, false);
        benchmark::DoNotOptimize(leaves);
    }
    state.counters["leaves"] = static_cast<double>(leaves);
    state.counters["leaves/s"] =
        benchmark::Counter(static_cast<double>(leaves) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// The goal: depth 10 (258,935,682 leaves with every capture path) in about 1.0 s.
void BM_PerftStart(benchmark::State& state) { run_perft(state, "W:W31-50:B1-20"); }
BENCHMARK(BM_PerftStart)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);

// A middle game with two kings a side: long king slides and king captures.
void BM_PerftKings(benchmark::State& state) {
    run_perft(state, "W:W27,28,31,33,34,36,38,39,K47,K49:B8,12,13,16,17,19,20,23,K2,K5");
}
BENCHMARK(BM_PerftKings)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(1);

// Twenty kings a side: long slides and king captures only. The goal: depth 8 in about 30 ms.
void BM_PerftTwentyKings(benchmark::State& state) {
    run_perft(state,
              "W:WK31,K32,K33,K34,K35,K36,K37,K38,K39,K40,K41,K42,K43,K44,K45,K46,K47,K48,K49,K50"
              ":BK1,K2,K3,K4,K5,K6,K7,K8,K9,K10,K11,K12,K13,K14,K15,K16,K17,K18,K19,K20");
}
BENCHMARK(BM_PerftTwentyKings)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
