// Evaluation throughput: evaluate over the positions of random games from the start
// position, reported as calls per second (items/s).

#include <benchmark/benchmark.h>

#include <bit>
#include <memory>
#include <random>
#include <vector>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/evaluation.h"
#include "engine/knowledge/strong_eval.h"

namespace {

struct Sample {
    PlyRecord record;
    Side side;
};

// Every position of 48 random games (a fixed seed, about five thousand positions),
// with the counts and material that making the moves left in the record.
std::vector<Sample> random_game_positions() {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    std::mt19937_64 rng(2024);
    std::vector<Sample> samples;
    for (int game = 0; game < 48; ++game) {
        Board board;
        setup_initial_position(board);
        set_record_position(stack->plies[0], board, WHITE);
        Side side = WHITE;
        for (int ply = 0; ply < PLY_STACK_SIZE - 1; ++ply, side = ~side) {
            PlyRecord& record = stack->plies[ply];
            generate_moves(side, record);
            if (record.move_count == 0) break;
            make_move(
                record,
                record.moves[std::uniform_int_distribution<int>(0, record.move_count - 1)(rng)]);
            samples.push_back({stack->plies[ply + 1], ~side});
            samples.back().record.moves = samples.back().record.moves_limit = nullptr;
        }
    }
    return samples;
}

// Bound 30000 never takes the lazy exit; 0 takes it whenever the side to move is at
// least 150 behind on material and free paths; -30000 (the driver's root bound) always.
void BM_Evaluate(benchmark::State& state) {
    const int bound = static_cast<int>(state.range(0));
    std::vector<Sample> samples = random_game_positions();
    int lazy = 0;
    for (Sample& s : samples) lazy += evaluate(s.side, s.record, -30000) + 150 <= -bound;
    for (auto _ : state) {
        int sum = 0;
        for (Sample& s : samples) sum += evaluate(s.side, s.record, bound);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples.size()));
    state.counters["positions"] = static_cast<double>(samples.size());
    state.counters["lazy_share"] = static_cast<double>(lazy) / static_cast<double>(samples.size());
}
BENCHMARK(BM_Evaluate)->Arg(30000)->Arg(0)->Arg(-30000);

// The strong engine's evaluation over the same positions: every feature, no lazy exit.
void BM_StrongEvaluate(benchmark::State& state) {
    std::vector<Sample> samples = random_game_positions();
    for (auto _ : state) {
        int sum = 0;
        for (Sample& s : samples) sum += strong_evaluate(s.side, s.record);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples.size()));
}
BENCHMARK(BM_StrongEvaluate);

// The two ways of counting pieces: the 16-bit table and the processor's instruction.
void BM_BitCountTable(benchmark::State& state) {
    std::vector<Sample> samples = random_game_positions();
    for (auto _ : state) {
        int sum = 0;
        for (const Sample& s : samples)
            sum += bit_count(s.record.board.white_kings) + bit_count(s.record.board.black_men);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<std::int64_t>(samples.size()));
}
BENCHMARK(BM_BitCountTable);

void BM_BitCountPopcount(benchmark::State& state) {
    std::vector<Sample> samples = random_game_positions();
    for (auto _ : state) {
        int sum = 0;
        for (const Sample& s : samples) {
            sum +=
                std::popcount(s.record.board.white_kings) + std::popcount(s.record.board.black_men);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<std::int64_t>(samples.size()));
}
BENCHMARK(BM_BitCountPopcount);

}  // namespace
