// vantor-tune: learns the strong evaluation's weights and region values from self-play.
//   vantor-tune gen --games N --depth D --out FILE [--seed S] [--book BOOK_SOURCE]
//                   [--engine classic|strong] [--egdb DIR]
//   vantor-tune fit --data FILE --out strong_weights.cpp [--iterations K] [--rate R]
//                   [--penalty P] [--start designed|compiled]
//                   [--regions-out strong_region_weights.cpp] [--region-penalty P]
//                   [--blend B] [--hold-features yes] [--threads T]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "engine/board/board.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/tt.h"
#include "tools/tune/fit.h"
#include "tools/tune/game_data.h"
#include "tools/tune/weights_file.h"

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: vantor-tune gen --games N --depth D --out FILE [--seed S] [--book BOOK_SOURCE]\n"
        "                       [--engine classic|strong] [--egdb DIR]\n"
        "       vantor-tune fit --data FILE --out strong_weights.cpp [--iterations K] [--rate R] "
        "[--penalty P]\n"
        "                       [--start designed|compiled] [--regions-out strong_region_weights.cpp]\n"
        "                       [--region-penalty P] [--blend B] [--hold-features yes] [--threads T]\n");
    return 2;
}

// "--name value" pairs after the command; false on anything else.
bool read_options(int argc, char** argv, std::map<std::string, std::string>& options) {
    for (int i = 2; i < argc; i += 2) {
        const std::string name = argv[i];
        if (name.rfind("--", 0) != 0 || i + 1 >= argc) return false;
        options[name.substr(2)] = argv[i + 1];
    }
    return true;
}

bool number(const std::map<std::string, std::string>& options, const char* name, long low,
            long high, long& value) {
    const auto it = options.find(name);
    if (it == options.end()) return true;
    char* end = nullptr;
    value = std::strtol(it->second.c_str(), &end, 10);
    return end != it->second.c_str() && *end == '\0' && value >= low && value <= high;
}

int run_gen(const std::map<std::string, std::string>& options) {
    long games = 0, depth = 0, seed = 1;
    if (!options.count("games") || !options.count("depth") || !options.count("out")) return usage();
    if (!number(options, "games", 1, 10000000, games) || !number(options, "depth", 2, 20, depth) ||
        !number(options, "seed", 0, 1L << 62, seed))
        return usage();
    GenOptions gen;
    gen.games = static_cast<int>(games);
    gen.depth = static_cast<int>(depth);
    gen.seed = static_cast<std::uint64_t>(seed);
    if (options.count("engine") && !engine_kind_from_name(options.at("engine"), gen.engine))
        return usage();
    gen.book_source = options.count("book") ? options.at("book") : VANTOR_BOOK_SOURCE;
    if (options.count("egdb")) gen.egdb_dir = options.at("egdb");
    std::FILE* out = std::fopen(options.at("out").c_str(), "w");
    if (out == nullptr) {
        std::fprintf(stderr, "vantor-tune: cannot write %s\n", options.at("out").c_str());
        return 1;
    }
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    GenStats stats;
    std::string error;
    const bool ok = generate_games(gen, out, stats, error);
    const bool written = std::fclose(out) == 0;
    if (!ok || !written) {
        std::fprintf(stderr, "vantor-tune: %s\n",
                     ok ? "could not finish writing the data" : error.c_str());
        return 1;
    }
    std::printf("games %d (white %d, draws %d, black %d), positions %ld\n", stats.games,
                stats.white_wins, stats.draws, stats.black_wins, stats.positions);
    if (!gen.egdb_dir.empty())
        std::printf("ended by the databases %d\n", stats.ended_by_databases);
    return 0;
}

int write_weights(const std::string& path, const TuneWeights& weights,
                  const std::string& provenance) {
    std::ofstream out(path, std::ios::trunc);
    out << weights_source(rounded_weights(weights), provenance);
    out.close();
    if (!out) {
        std::fprintf(stderr, "vantor-tune: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

void print_progress(int iteration, double error) {
    std::printf("iteration %d error %.6f\n", iteration, error);
    std::fflush(stdout);
}

int run_fit(const std::map<std::string, std::string>& options) {
    long iterations = 2000;
    if (!options.count("data") || !options.count("out") ||
        !number(options, "iterations", 0, 1000000, iterations))
        return usage();
    const double rate = options.count("rate") ? std::atof(options.at("rate").c_str()) : 1.0;
    const double penalty =
        options.count("penalty") ? std::atof(options.at("penalty").c_str()) : 2e-8;
    const double region_penalty =
        options.count("region-penalty") ? std::atof(options.at("region-penalty").c_str()) : 1e-8;
    const double blend = options.count("blend") ? std::atof(options.at("blend").c_str()) : 1.0;
    if (blend < 0 || blend > 1) return usage();
    long threads = 1;
    if (!number(options, "threads", 1, 64, threads)) return usage();
    const bool regions = options.count("regions-out") != 0;
    const std::string start = options.count("start") ? options.at("start") : "designed";
    if (start != "designed" && start != "compiled") return usage();
    std::FILE* in = std::fopen(options.at("data").c_str(), "r");
    if (in == nullptr) {
        std::fprintf(stderr, "vantor-tune: cannot read %s\n", options.at("data").c_str());
        return 1;
    }
    init_board_tables();
    long rejected = 0;
    std::vector<TuneSample> samples = read_samples(in, rejected);
    std::fclose(in);
    if (!regions) {
        for (TuneSample& s : samples) s.has_regions = false;
    }
    if (samples.empty()) {
        std::fprintf(stderr, "vantor-tune: no positions in %s\n", options.at("data").c_str());
        return 1;
    }
    // The last tenth of the file is held out to show over-fitting. Whole games lie
    // together in the file, so the held-out positions come from games the fit never saw.
    std::vector<TuneSample> held(samples.end() - static_cast<long>(samples.size() / 10),
                                 samples.end());
    samples.resize(samples.size() - held.size());

    TuneWeights weights = start == "compiled" ? compiled_weights() : designed_start_weights();
    const double scale = fit_scale(samples, weights);
    blend_targets(samples, blend, scale);
    const double before = mean_error(samples, weights, scale);
    const double held_before = mean_error(held, weights, scale);
    std::printf("positions %zu (held out %zu, rejected lines %ld), K %.1f\n", samples.size(),
                held.size(), rejected, scale);
    std::printf("error before %.6f (held out %.6f)\n", before, held_before);
    FitOptions fit;
    fit.iterations = static_cast<int>(iterations);
    fit.learning_rate = rate;
    fit.penalty = penalty;
    fit.region_penalty = region_penalty;
    fit.threads = static_cast<int>(threads);
    fit.hold_features = options.count("hold-features") != 0 && options.at("hold-features") == "yes";
    fit.report = print_progress;
    fit_weights(samples, weights, scale, fit);
    const double after = mean_error(samples, weights, scale);
    const double held_after = mean_error(held, weights, scale);
    std::printf("error after %.6f (held out %.6f)\n", after, held_after);

    // A blended fit's own error is against its blended targets; the held-out error is
    // always against the game results, so that fits compare.
    char blend_note[160] = "";
    if (blend < 1) {
        std::snprintf(blend_note, sizeof blend_note,
                      "\nTargets: %g times the result plus %g times the search score's win probability\n"
                      "(the held-out error is against the results).",
                      blend, 1 - blend);
    }
    char provenance[640];
    std::snprintf(
        provenance, sizeof provenance,
        "The strong evaluation's weights, written by vantor-tune fit from %zu positions\n"
        "(%zu more held out) of self-play games: sigmoid scale K %.1f, mean squared error\n"
        "%.6f before (the %s values) and %.6f after %ld iterations (held out %.6f, %.6f);\n"
        "learning rate %g, penalty %g.%s",
        samples.size(), held.size(), scale, before, start.c_str(), after, iterations, held_before,
        held_after, rate, penalty, blend_note);
    if (const int status = write_weights(options.at("out"), weights, provenance); status != 0 || !regions)
        return status;
    auto rounded = std::make_unique<RegionWeights>();
    rounded_region_weights(weights, *rounded);
    std::ofstream out(options.at("regions-out"), std::ios::trunc);
    std::snprintf(provenance, sizeof provenance,
                  "The strong evaluation's region values, written by vantor-tune fit with strong_weights.cpp\n"
                  "(the same positions and fit); region penalty %g.",
                  region_penalty);
    out << region_weights_source(*rounded, provenance);
    out.close();
    if (!out) {
        std::fprintf(stderr, "vantor-tune: cannot write %s\n", options.at("regions-out").c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::map<std::string, std::string> options;
    if (!read_options(argc, argv, options)) return usage();
    const std::string command = argv[1];
    if (command == "gen") return run_gen(options);
    if (command == "fit") return run_fit(options);
    return usage();
}
