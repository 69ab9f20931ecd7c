#include "tools/tune/fit.h"

#include <cmath>

namespace {

double sigmoid(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

constexpr double PHASE_MAX = STRONG_PHASE_MAX;

struct Gradient {
    std::array<double, STRONG_FEATURE_COUNT> opening{};
    std::array<double, STRONG_FEATURE_COUNT> endgame{};
};

// The gradient of the mean squared error, weight by weight.
void error_gradient(const std::vector<TuneSample>& samples, const TuneWeights& weights, double scale,
                    Gradient& g) {
    g = Gradient{};
    for (const TuneSample& s : samples) {
        const double p = sigmoid(tune_score(s, weights) / scale);
        const double d = 2.0 * (p - s.result) * p * (1.0 - p) / scale;
        const double d_opening = d * s.phase / PHASE_MAX;
        const double d_endgame = d - d_opening;
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            if (s.features[i] == 0) continue;
            g.opening[i] += d_opening * s.features[i];
            g.endgame[i] += d_endgame * s.features[i];
        }
    }
    const double n = static_cast<double>(samples.size());
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        g.opening[i] /= n;
        g.endgame[i] /= n;
    }
}

struct AdamState {
    std::array<double, STRONG_FEATURE_COUNT> m{};
    std::array<double, STRONG_FEATURE_COUNT> v{};
};

void adam_step(std::array<double, STRONG_FEATURE_COUNT>& w, const std::array<double, STRONG_FEATURE_COUNT>& g,
               AdamState& state, int step, double rate) {
    constexpr double beta1 = 0.9, beta2 = 0.999, epsilon = 1e-12;
    const double c1 = 1.0 - std::pow(beta1, step);
    const double c2 = 1.0 - std::pow(beta2, step);
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        if (g[i] == 0.0) continue;
        state.m[i] = beta1 * state.m[i] + (1 - beta1) * g[i];
        state.v[i] = beta2 * state.v[i] + (1 - beta2) * g[i] * g[i];
        w[i] -= rate * (state.m[i] / c1) / (std::sqrt(state.v[i] / c2) + epsilon);
    }
}

}  // namespace

double tune_score(const TuneSample& sample, const TuneWeights& weights) {
    double opening = 0;
    double endgame = 0;
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        if (sample.features[i] == 0) continue;
        opening += weights.opening[i] * sample.features[i];
        endgame += weights.endgame[i] * sample.features[i];
    }
    return (opening * sample.phase + endgame * (PHASE_MAX - sample.phase)) / PHASE_MAX;
}

double mean_error(const std::vector<TuneSample>& samples, const TuneWeights& weights, double scale) {
    if (samples.empty()) return 0;
    double sum = 0;
    for (const TuneSample& s : samples) {
        const double e = s.result - sigmoid(tune_score(s, weights) / scale);
        sum += e * e;
    }
    return sum / static_cast<double>(samples.size());
}

// The error is smooth and has one minimum in K on any real data: golden-section
// search on a logarithmic scale between 10 and 10000 points.
double fit_scale(const std::vector<TuneSample>& samples, const TuneWeights& weights) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double low = std::log(10.0), high = std::log(10000.0);
    auto error_at = [&](double log_k) { return mean_error(samples, weights, std::exp(log_k)); };
    double a = high - ratio * (high - low), b = low + ratio * (high - low);
    double ea = error_at(a), eb = error_at(b);
    for (int step = 0; step < 60; ++step) {
        if (ea < eb) {
            high = b, b = a, eb = ea;
            a = high - ratio * (high - low), ea = error_at(a);
        } else {
            low = a, a = b, ea = eb;
            b = low + ratio * (high - low), eb = error_at(b);
        }
    }
    return std::exp((low + high) / 2);
}

void fit_weights(const std::vector<TuneSample>& samples, TuneWeights& weights, double scale,
                 const FitOptions& options) {
    if (samples.empty()) return;
    const TuneWeights start = weights;
    AdamState opening_state, endgame_state;
    Gradient g;
    for (int step = 1; step <= options.iterations; ++step) {
        error_gradient(samples, weights, scale, g);
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            if (g.opening[i] != 0.0) g.opening[i] += 2 * options.penalty * (weights.opening[i] - start.opening[i]);
            if (g.endgame[i] != 0.0) g.endgame[i] += 2 * options.penalty * (weights.endgame[i] - start.endgame[i]);
        }
        adam_step(weights.opening, g.opening, opening_state, step, options.learning_rate);
        adam_step(weights.endgame, g.endgame, endgame_state, step, options.learning_rate);
        if (options.report != nullptr && (step % options.report_every == 0 || step == options.iterations))
            options.report(step, mean_error(samples, weights, scale));
    }
}
