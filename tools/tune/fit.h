#pragma once
// Fitting the strong evaluation's weights to game results: the mean squared error between
// the result (1 White won, 0.5 drawn, 0 lost) and sigmoid(score / K), with the score the
// tapered dot product of weights and features, White's view, in points. K is fitted first
// with the weights held, then the weights by Adam with K held.

#include <cstdint>
#include <vector>

#include "engine/knowledge/strong_eval.h"
#include "engine/knowledge/strong_regions.h"
#include "tools/tune/weights_file.h"

struct TuneSample {
    StrongFeatures features{};
    RegionSlots regions{};
    bool has_regions = false;  // false: the sample has features only
    std::int8_t phase = 0;  // men on the board
    float result = 0.5F;    // White's; what the fit aims at (see blend_targets)
    bool has_score = false;
    std::int16_t score = 0;  // the self-play search's score, White's view
};

// Aims each sample that has a search score at result * blend + sigmoid(score / K) * (1 -
// blend): the search's judgement is far less noisy than one game's result.
void blend_targets(std::vector<TuneSample>& samples, double blend, double scale);

// The tapered score of a sample in points, before rounding.
double tune_score(const TuneSample& sample, const TuneWeights& weights);
double mean_error(const std::vector<TuneSample>& samples, const TuneWeights& weights, double scale);
// The K of sigmoid(score / K) that fits the samples best with the weights as they are.
double fit_scale(const std::vector<TuneSample>& samples, const TuneWeights& weights);

struct FitOptions {
    int iterations = 2000;
    double learning_rate = 1.0;  // points per step, Adam's step size
    // Adds penalty * (w - w0)^2 for every weight to the error, w0 its value at the
    // start: a feature few positions show then stays near its start rather than
    // following their noise.
    double penalty = 0.0;
    // Adds region_penalty * v^2 for every region value v: a content few positions show
    // stays near zero.
    double region_penalty = 0.0;
    bool hold_features = false;  // fit the region values only
    int threads = 1;
    // Called every `report_every` iterations with the iteration and its error.
    void (*report)(int iteration, double error) = nullptr;
    int report_every = 100;
};
// Adam over the whole sample set at every step. Features no sample has stay as they are.

void fit_weights(const std::vector<TuneSample>& samples, TuneWeights& weights, double scale,
                 const FitOptions& options);
