// PDN throughput: a file of a few thousand games read and every move checked against the
// legal moves (the goal: 20,000 games a second on one core), and the game list that File
// > Open shows for a file of several games, found without replaying.
//
// The games are made here: legal random play from the start, seeded, up to 120 moves,
// written as the writer writes them (about 620 bytes a game). VANTOR_PDN_FILE names a
// real file to read instead.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/pdn.h"
#include "game/pdn_files.h"

namespace {

std::string random_games(int count) {
    auto stack = std::make_unique<PlyStack>();
    std::mt19937_64 rng(2024);
    std::string text;
    for (int g = 0; g < count; ++g) {
        stack->reset();
        PdnGame game;
        game.clear();
        game.tags = {{"Event", "bench"}, {"Round", std::to_string(g + 1)}, {"White", "a"}, {"Black", "b"}};
        PlyRecord& position = stack->plies[0];
        set_record_position(position, game.start, WHITE);
        for (int ply = 0; ply < 120; ++ply) {
            generate_moves(position.side, position);
            if (position.move_count == 0) break;
            const int index = static_cast<int>(rng() % static_cast<unsigned>(position.move_count));
            game.moves.push_back({index, position.moves[index]});
            make_move(position, position.moves[index]);
            set_record_position(position, stack->plies[1].board, ~position.side);
        }
        append_pdn(text, game);
    }
    return text;
}

const std::string& games_text() {
    static const std::string text = [] {
        std::string file;
        if (const char* path = std::getenv("VANTOR_PDN_FILE"); path != nullptr && read_text_file(path, file)) {
            return file;
        }
        return random_games(4000);
    }();
    return text;
}

void BM_PdnReadAndReplay(benchmark::State& state) {
    const std::string& text = games_text();
    long games = 0;
    long moves = 0;
    for (auto _ : state) {
        PdnReader reader(text);
        PdnGame game;
        std::vector<PdnError> errors;
        while (reader.next(game, errors)) {
            ++games;
            moves += static_cast<long>(game.moves.size());
        }
        if (!errors.empty()) state.SkipWithError("the games do not replay");
    }
    state.counters["games/s"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) * state.iterations());
}
BENCHMARK(BM_PdnReadAndReplay)->Unit(benchmark::kMillisecond);

void BM_PdnGameList(benchmark::State& state) {
    const std::string& text = games_text();
    long games = 0;
    for (auto _ : state) games += static_cast<long>(index_pdn(text).size());
    state.counters["games/s"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PdnGameList)->Unit(benchmark::kMillisecond);

void BM_PdnWrite(benchmark::State& state) {
    std::vector<PdnError> errors;
    const std::vector<PdnGame> games = read_pdn(games_text(), errors);
    long written = 0;
    for (auto _ : state) {
        std::string out;
        for (const PdnGame& game : games) append_pdn(out, game);
        written += static_cast<long>(games.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["games/s"] = benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PdnWrite)->Unit(benchmark::kMillisecond);

}  // namespace
