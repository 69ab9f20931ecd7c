// How soon the engine confirms a stop: the time from engine_stop's request until
// stopped_event is signalled, over many stops at random moments of a search.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "engine/board/fen.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"

namespace {

void BM_StopLatency(benchmark::State& state) {
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    engine_launch();
    GameState& game = game_state();
    Board board;
    Side side = WHITE;
    std::string error;
    parse_fen("W:W26-28,31-32,35-37,39,41,46-47:B2-5,7,10,13,15,17,19,23,25", board, side, error);

    std::mt19937 rng(3);
    std::vector<double> latencies;
    for (auto _ : state) {
        set_record_position(root_record(), board, side);
        game.side = side;
        game.computer_to_move = 0;  // thinking on the player's time: runs until stopped
        engine_start(game);
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + rng() % 40000));
        const auto start = std::chrono::steady_clock::now();
        engine_stop(game);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000);
    }
    engine_shutdown();
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) { return latencies[static_cast<std::size_t>(p * (latencies.size() - 1))]; };
    state.counters["p50_ms"] = percentile(0.50);
    state.counters["p99_ms"] = percentile(0.99);
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(BM_StopLatency)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

}  // namespace
