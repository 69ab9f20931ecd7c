// The tuner: the fit finds weights and scale that made the results, self-play of either
// engine writes quiet positions that read back, the databases end self-play games with the
// right colour's result, and the weights file round-trips the compiled weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include <unistd.h>

#include "engine/board/fen.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/tt.h"
#include "tools/egdb/build.h"
#include "tools/tune/fit.h"
#include "tools/tune/game_data.h"
#include "tools/tune/weights_file.h"

namespace {

// Samples whose results are exactly the win probability under known weights and scale,
// over eight features: the fit's error then has its minimum at those weights.
std::vector<TuneSample> synthetic_samples(const TuneWeights& truth, double scale, int count) {
    std::mt19937_64 rng(5);
    std::uniform_int_distribution<int> value(-3, 3), phase(0, 40);
    std::vector<TuneSample> samples(static_cast<std::size_t>(count));
    for (TuneSample& s : samples) {
        for (int i = 0; i < 8; ++i) s.features[i] = static_cast<std::int16_t>(value(rng));
        s.phase = static_cast<std::int8_t>(phase(rng));
        s.result = static_cast<float>(1.0 / (1.0 + std::exp(-tune_score(s, truth) / scale)));
    }
    return samples;
}

TuneWeights known_weights() {
    TuneWeights w;
    const double opening[8] = {100, 30, -20, 5, 0, 60, -45, 12};
    const double endgame[8] = {140, -10, 25, 0, 35, 20, 8, -30};
    for (int i = 0; i < 8; ++i) w.opening[i] = opening[i], w.endgame[i] = endgame[i];
    return w;
}

}  // namespace

TEST(Tune, FitRecoversTheScaleAndTheWeightsThatMadeTheResults) {
    const TuneWeights truth = known_weights();
    const std::vector<TuneSample> samples = synthetic_samples(truth, 150.0, 1000);
    EXPECT_NEAR(fit_scale(samples, truth), 150.0, 1.0);

    TuneWeights w;  // all zero
    const double before = mean_error(samples, w, 150.0);
    FitOptions options;
    options.iterations = 1000;
    options.learning_rate = 2.0;
    fit_weights(samples, w, 150.0, options);
    EXPECT_LT(mean_error(samples, w, 150.0), before / 1000);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(w.opening[i], truth.opening[i], 2.0) << i;
        EXPECT_NEAR(w.endgame[i], truth.endgame[i], 2.0) << i;
    }
    EXPECT_EQ(w.opening[8], 0.0);  // no sample has the feature
}

namespace {

void expect_self_play_reads_back(EngineKind engine) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    GenOptions options;
    options.games = 2;
    options.depth = engine == EngineKind::STRONG ? 4 : 2;
    options.engine = engine;
    GenStats stats;
    std::string error;
    ASSERT_TRUE(generate_games(options, file, stats, error)) << error;
    EXPECT_EQ(stats.games, 2);
    EXPECT_EQ(stats.white_wins + stats.draws + stats.black_wins, 2);
    EXPECT_GT(stats.positions, 20);

    std::rewind(file);
    char line[512];
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text(line);
        text.resize(text.find(' '));
        Board board;
        Side side = WHITE;
        ASSERT_TRUE(parse_fen(text, board, side, error)) << text;
        set_record_position(stack->root(), board, side);
        generate_moves(side, stack->root());
        ASSERT_GT(stack->root().move_count, 0) << text;
        EXPECT_EQ(stack->root().max_captured, 0) << text;
        EXPECT_FALSE(settled_by_rule(board)) << text;
    }
    std::rewind(file);
    long rejected = -1;
    EXPECT_EQ(static_cast<long>(read_samples(file, rejected).size()), stats.positions);
    EXPECT_EQ(rejected, 0);
    std::fclose(file);
}

}  // namespace

TEST(Tune, SelfPlayOfEitherEngineWritesQuietPositionsThatReadBack) {
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    {
        SCOPED_TRACE("classic");
        expect_self_play_reads_back(EngineKind::CLASSIC);
    }
    {
        SCOPED_TRACE("strong");
        expect_self_play_reads_back(EngineKind::STRONG);
    }
    set_engine_kind(EngineKind::CLASSIC);
    tt_free();
}

TEST(Tune, DatabasesGiveSelfPlayTheResultOfBestPlayForWhite) {
    init_board_tables();
    const std::string dir = testing::TempDir() + "vantor_tune_egdb_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    BuildOptions build;
    build.pieces = 2;
    build.directory = dir;
    build.progress = false;
    build.summary = false;
    ASSERT_EQ(build_databases(build), 0);
    ASSERT_EQ(egdb_init(dir.c_str()), 1);

    // Either side to move, winning or losing: a king in a corner of the long diagonal
    // must step onto it and be taken; a king takes a man in its path. King against
    // king in mid-board is drawn. Positions the databases do not hold are unknown.
    const std::pair<const char*, double> cases[] = {
        {"W:WK50:B44", 1.0}, {"B:W7:BK1", 0.0},  {"W:WK46:BK5", 0.0}, {"B:WK46:BK5", 1.0},
        {"W:WK28:BK3", 0.5}, {"W:WK26,K27:BK25", -1.0}, {"W:W31-50:B1-20", -1.0},
    };
    for (const auto& [fen, result] : cases) {
        Board board;
        Side side = WHITE;
        std::string error;
        ASSERT_TRUE(parse_fen(fen, board, side, error)) << fen;
        EXPECT_EQ(database_result(board, side), result) << fen;
    }
    egdb_free();

    GenOptions options;
    options.egdb_dir = dir + "/none";
    GenStats stats;
    std::string error;
    EXPECT_FALSE(generate_games(options, nullptr, stats, error));
    EXPECT_EQ(error, "no endgame databases in " + dir + "/none");
    std::filesystem::remove_all(dir);
}

TEST(Tune, ReadSamplesSkipsBadLines) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs(
        "W:W31-50:B1-20 0.5\nW:W31-50:B1-20 2\nnot a line\nW:W31-50:B1-20\n"
        "B:W30-50:B1-20 1 -35\nW:WK1:BK50 0\nW:W31-50:B1-20 1 12x\nW:W31-50:B1-20 1 99999\n"
        "W:W31-50:B1-20 1 5 6\n",
        file);
    std::rewind(file);
    long rejected = 0;
    std::vector<TuneSample> samples = read_samples(file, rejected);
    std::fclose(file);
    ASSERT_EQ(samples.size(), 2U);  // the king ending is settled by rule
    EXPECT_EQ(rejected, 6);
    EXPECT_EQ(samples[0].phase, 40);
    EXPECT_FALSE(samples[0].has_score);
    EXPECT_EQ(samples[1].result, 1.0F);
    EXPECT_EQ(samples[1].features[SF_MEN], 1);
    EXPECT_TRUE(samples[1].has_score);
    EXPECT_EQ(samples[1].score, -35);

    // The search's score replaces part of the result as the fit's aim; a sample without
    // one keeps its result.
    blend_targets(samples, 0.25, 100.0);
    EXPECT_EQ(samples[0].result, 0.5F);
    EXPECT_NEAR(samples[1].result, 0.25 + 0.75 / (1 + std::exp(0.35)), 1e-6);
}

TEST(Tune, FitLearnsRegionValuesThroughTheTurnedWindows) {
    // Results made by two region values only: slot 7 read by a window of its own table,
    // slot 20 through a turned window (so with its sign changed), one or both in a sample.
    TuneWeights truth;
    truth.region_opening[7] = 60, truth.region_endgame[7] = 20;
    truth.region_opening[20] = -30, truth.region_endgame[20] = 45;
    std::mt19937_64 rng(9);
    std::vector<TuneSample> samples(1500);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        TuneSample& s = samples[k];
        s.has_regions = true;
        s.regions.fill(100 + static_cast<std::int32_t>(k % 13));  // contents worth nothing
        if (k % 3 != 1) s.regions[2] = 7;
        if (k % 3 != 0) s.regions[11] = ~20;
        s.phase = static_cast<std::int8_t>(rng() % 41);
        s.result = static_cast<float>(1.0 / (1.0 + std::exp(-tune_score(s, truth) / 120.0)));
    }
    TuneWeights w;
    FitOptions options;
    options.iterations = 800;
    options.threads = 2;
    fit_weights(samples, w, 120.0, options);
    EXPECT_NEAR(w.region_opening[7], 60, 2.0);
    EXPECT_NEAR(w.region_endgame[7], 20, 2.0);
    EXPECT_NEAR(w.region_opening[20], -30, 2.0);
    EXPECT_NEAR(w.region_endgame[20], 45, 2.0);
    EXPECT_EQ(w.region_opening[21], 0.0);  // no sample reads it
}

TEST(Tune, WeightsFileHoldsTheCompiledWeights) {
    EXPECT_EQ(rounded_weights(compiled_weights()).opening, STRONG_WEIGHTS.opening);
    EXPECT_EQ(rounded_weights(compiled_weights()).endgame, STRONG_WEIGHTS.endgame);
    const std::string text = weights_source(STRONG_WEIGHTS, "first line\nsecond");
    EXPECT_EQ(text.rfind("// first line\n// second\n", 0), 0U);
    EXPECT_NE(text.find(std::to_string(STRONG_WEIGHTS.opening[SF_MEN]) + ",  "), std::string::npos);
    EXPECT_NE(text.find("// man square 50\n"), std::string::npos);

    auto regions = std::make_unique<RegionWeights>();
    rounded_region_weights(compiled_weights(), *regions);
    EXPECT_TRUE(regions->values == STRONG_REGION_WEIGHTS.values);
    const std::string region_text = region_weights_source(*regions, "regions");
    EXPECT_EQ(region_text.rfind("// regions\n", 0), 0U);
    EXPECT_NE(region_text.find("// table 7\n"), std::string::npos);
}
