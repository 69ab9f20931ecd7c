#pragma once
// The weights of the strong evaluation as the tuner works with them (points, a man
// about 100) and as the program compiles them (strong_weights.cpp, eighths of a point).

#include <array>
#include <string>
#include <vector>

#include "engine/knowledge/strong_eval.h"
#include "engine/knowledge/strong_regions.h"

struct TuneWeights {
    std::array<double, STRONG_FEATURE_COUNT> opening{};
    std::array<double, STRONG_FEATURE_COUNT> endgame{};
    std::vector<double> region_opening = std::vector<double>(REGION_SLOTS);
    std::vector<double> region_endgame = std::vector<double>(REGION_SLOTS);
};

// The designed evaluation's values for its own terms (material, free paths, back square,
// centre, wing balance, patterns), nothing for the others: where tuning starts.
TuneWeights designed_start_weights();
// The compiled weights in points.
TuneWeights compiled_weights();
// The weights rounded to the stored eighths.
StrongWeights rounded_weights(const TuneWeights& weights);

// The region values rounded to the stored eighths.
void rounded_region_weights(const TuneWeights& weights, RegionWeights& regions);
// The text of strong_region_weights.cpp, `provenance` its heading comment.
std::string region_weights_source(const RegionWeights& regions, const std::string& provenance);

// The text of strong_weights.cpp; `provenance` becomes its heading comment (one or more
// lines without the comment marks).
std::string weights_source(const StrongWeights& weights, const std::string& provenance);
