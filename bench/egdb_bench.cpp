// Endgame databases: egdb_probe calls per second (items/s) over random positions of the
// loaded databases of up to four pieces, and the generator's positions solved per second.
//
// The databases come from $VANTOR_EGDB_DIR when it is set; otherwise the fixture builds
// the set of up to four pieces once, with the vantor-egdb next to this program, in a
// temporary directory (about ten seconds). Without either the benchmarks are skipped.

#include <benchmark/benchmark.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/knowledge/egdb.h"
#include "engine/knowledge/egdb_index.h"

namespace {

namespace fs = std::filesystem;

fs::path tool_path() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path() / "vantor-egdb";
}

// Runs the generator; returns the positions it reports solving, or 0.
long long run_generator(int pieces, const fs::path& out) {
    const std::string command = tool_path().string() + " build --quiet --pieces " +
                                std::to_string(pieces) + " --out '" + out.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return 0;
    long long positions = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        std::sscanf(line, "databases %*d positions %lld", &positions);
    return pclose(pipe) == 0 ? positions : 0;
}

// The directory holding the four-piece set, built on first use; empty when there is none.
const std::string& database_directory() {
    static const std::string directory = [] {
        if (const char* dir = std::getenv("VANTOR_EGDB_DIR")) return std::string(dir);
        if (!fs::exists(tool_path())) return std::string();
        const fs::path out = fs::temp_directory_path() / "vantor_egdb_bench";
        if (!fs::exists(out / "endings") && run_generator(4, out) == 0) return std::string();
        return out.string();
    }();
    return directory;
}

struct Probe {
    PlyRecord record;
    Side side;
};

// Random legal placements of every loaded material of up to four pieces, either side
// to move, with the counts that evaluate would have filled in.
std::vector<Probe> random_probes(std::size_t count) {
    std::vector<EgdbMaterial> loaded;
    for (int key = 0; key < EGDB_KEY_COUNT; ++key) {
        const EgdbMaterial m = key_material(key);
        if (egdb_values(key) != nullptr && m.sm + m.sk + m.om + m.ok <= 4) loaded.push_back(m);
    }
    std::vector<Probe> probes;
    if (loaded.empty()) return probes;
    std::mt19937_64 rng(77);
    std::uniform_int_distribution<int> square(1, 50);
    while (probes.size() < count) {
        const EgdbMaterial& m = loaded[rng() % loaded.size()];
        const Side side = rng() % 2 ? WHITE : BLACK;
        Board b;
        setup_empty_position(b);
        // The side to move's men stay off its crowning row, the opponent's off the other.
        const int counts[4] = {m.sm, m.sk, m.om, m.ok};
        const bool white = side == WHITE;
        Bitboard* sets[4] = {
            white ? &b.white_men : &b.black_men, white ? &b.white_kings : &b.black_kings,
            white ? &b.black_men : &b.white_men, white ? &b.black_kings : &b.white_kings};
        for (int kind = 0; kind < 4; ++kind) {
            for (int placed = 0; placed < counts[kind];) {
                const int s = square(rng);
                const bool crowned = kind == 0 ? (white ? s <= 5 : s >= 46)
                                               : kind == 2 && (white ? s >= 46 : s <= 5);
                const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[s]];
                if (crowned || !(b.empty & bit)) continue;
                *sets[kind] |= bit;
                b.empty ^= bit;
                ++placed;
            }
        }
        Probe p{};
        p.side = side;
        p.record.board = b;
        p.record.type_counts[0] = std::popcount(b.white_men);
        p.record.type_counts[1] = std::popcount(b.white_kings);
        p.record.type_counts[2] = std::popcount(b.black_men);
        p.record.type_counts[3] = std::popcount(b.black_kings);
        probes.push_back(p);
    }
    return probes;
}

void BM_EgdbProbe(benchmark::State& state) {
    const std::string& dir = database_directory();
    if (dir.empty() || egdb_init(dir.c_str()) == 0) {
        state.SkipWithError(
            "no databases: set VANTOR_EGDB_DIR or build vantor-egdb next to this program");
        return;
    }
    const std::vector<Probe> probes = random_probes(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    int known = 0;
    for (auto _ : state) {
        const Probe& p = probes[i++ & (probes.size() - 1)];
        const int value = egdb_probe(p.side, p.record);
        known += value != EGDB_UNKNOWN;
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["known"] = static_cast<double>(known) / static_cast<double>(state.iterations());
    egdb_free();
}
// 65536 positions spread over ten megabytes of values mostly miss the cache, as probes
// from unrelated searches would; 256 repeated positions show the index computation alone.
BENCHMARK(BM_EgdbProbe)->Arg(1 << 16)->Arg(1 << 8);

// The whole set of up to three pieces, solved and written, on the machine's cores.
void BM_EgdbGenerator(benchmark::State& state) {
    if (!fs::exists(tool_path())) {
        state.SkipWithError("vantor-egdb is not next to this program");
        return;
    }
    const fs::path out = fs::temp_directory_path() / "vantor_egdb_bench_generator";
    long long positions = 0;
    for (auto _ : state) positions += run_generator(static_cast<int>(state.range(0)), out);
    fs::remove_all(out);
    state.counters["positions/s"] =
        benchmark::Counter(static_cast<double>(positions), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EgdbGenerator)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
