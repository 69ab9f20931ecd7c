#pragma once
// The weights of the strong evaluation as the tuner works with them (points, a man
// about 100) and as the program compiles them (strong_weights.cpp, eighths of a point).

#include <array>
#include <string>

#include "engine/knowledge/strong_eval.h"

struct TuneWeights {
    std::array<double, STRONG_FEATURE_COUNT> opening{};
    std::array<double, STRONG_FEATURE_COUNT> endgame{};
};

// The designed evaluation's values for its own terms (material, free paths, back square,
// centre, wing balance, patterns), nothing for the others: where tuning starts.
TuneWeights designed_start_weights();
// The compiled weights in points.
TuneWeights compiled_weights();
// The weights rounded to the stored eighths.
StrongWeights rounded_weights(const TuneWeights& weights);

// The text of strong_weights.cpp; `provenance` becomes its heading comment (one or more
// lines without the comment marks).
std::string weights_source(const StrongWeights& weights, const std::string& provenance);
