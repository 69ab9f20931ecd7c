#include "tools/tune/fit.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

double sigmoid(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

constexpr double PHASE_MAX = STRONG_PHASE_MAX;

// A sample's region slot as its table index and sign (see RegionSlots).
std::size_t region_index(std::int32_t slot) {
    return static_cast<std::size_t>(slot >= 0 ? slot : ~slot);
}
double region_sign(std::int32_t slot) {
    return slot >= 0 ? 1.0 : -1.0;
}

struct Gradient {
    std::array<double, STRONG_FEATURE_COUNT> opening{};
    std::array<double, STRONG_FEATURE_COUNT> endgame{};
    std::vector<double> region_opening, region_endgame;  // empty when no region is fitted

    void clear(bool regions) {
        opening.fill(0);
        endgame.fill(0);
        region_opening.assign(regions ? REGION_SLOTS : 0, 0.0);
        region_endgame.assign(regions ? REGION_SLOTS : 0, 0.0);
    }
    void add(const Gradient& other) {
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            opening[i] += other.opening[i];
            endgame[i] += other.endgame[i];
        }
        for (std::size_t i = 0; i < region_opening.size(); ++i) {
            region_opening[i] += other.region_opening[i];
            region_endgame[i] += other.region_endgame[i];
        }
    }
};

// The gradient of the squared error summed over samples [first, last).
void gradient_part(const std::vector<TuneSample>& samples, std::size_t first, std::size_t last,
                   const TuneWeights& weights, double scale, Gradient& g) {
    const bool regions = !g.region_opening.empty();
    for (std::size_t k = first; k < last; ++k) {
        const TuneSample& s = samples[k];
        const double p = sigmoid(tune_score(s, weights) / scale);
        const double d = 2.0 * (p - s.result) * p * (1.0 - p) / scale;
        const double d_opening = d * s.phase / PHASE_MAX;
        const double d_endgame = d - d_opening;
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            if (s.features[i] == 0) continue;
            g.opening[i] += d_opening * s.features[i];
            g.endgame[i] += d_endgame * s.features[i];
        }
        if (!regions || !s.has_regions) continue;
        for (const std::int32_t slot : s.regions) {
            const std::size_t i = region_index(slot);
            const double sign = region_sign(slot);
            g.region_opening[i] += sign * d_opening;
            g.region_endgame[i] += sign * d_endgame;
        }
    }
}

// The gradient of the mean squared error, weight by weight, into parts[0], the samples
// shared out between `parts` threads.
void error_gradient(const std::vector<TuneSample>& samples, const TuneWeights& weights,
                    double scale, std::vector<Gradient>& parts) {
    Gradient& g = parts[0];
    const std::size_t n = samples.size();
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < parts.size(); ++t)
        threads.emplace_back(gradient_part, std::cref(samples), n * t / parts.size(),
                             n * (t + 1) / parts.size(), std::cref(weights), scale,
                             std::ref(parts[t]));
    gradient_part(samples, 0, n / parts.size(), weights, scale, g);
    for (std::thread& t : threads) t.join();
    for (std::size_t t = 1; t < parts.size(); ++t) g.add(parts[t]);
    const double count = static_cast<double>(n);
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        g.opening[i] /= count;
        g.endgame[i] /= count;
    }
    for (std::size_t i = 0; i < g.region_opening.size(); ++i) {
        g.region_opening[i] /= count;
        g.region_endgame[i] /= count;
    }
}

struct AdamState {
    std::vector<double> m, v;
    explicit AdamState(std::size_t size) : m(size), v(size) {}
};

void adam_step(double* w, const double* g, std::size_t size, AdamState& state, int step,
               double rate) {
    constexpr double beta1 = 0.9, beta2 = 0.999, epsilon = 1e-12;
    const double c1 = 1.0 - std::pow(beta1, step);
    const double c2 = 1.0 - std::pow(beta2, step);
    for (std::size_t i = 0; i < size; ++i) {
        if (g[i] == 0.0) continue;
        state.m[i] = beta1 * state.m[i] + (1 - beta1) * g[i];
        state.v[i] = beta2 * state.v[i] + (1 - beta2) * g[i] * g[i];
        w[i] -= rate * (state.m[i] / c1) / (std::sqrt(state.v[i] / c2) + epsilon);
    }
}

}  // namespace

void blend_targets(std::vector<TuneSample>& samples, double blend, double scale) {
    for (TuneSample& s : samples) {
        if (s.has_score)
            s.result =
                static_cast<float>(blend * s.result + (1 - blend) * sigmoid(s.score / scale));
    }
}

double tune_score(const TuneSample& sample, const TuneWeights& weights) {
    double opening = 0;
    double endgame = 0;
    for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
        if (sample.features[i] == 0) continue;
        opening += weights.opening[i] * sample.features[i];
        endgame += weights.endgame[i] * sample.features[i];
    }
    if (sample.has_regions) {
        for (const std::int32_t slot : sample.regions) {
            const std::size_t i = region_index(slot);
            const double sign = region_sign(slot);
            opening += sign * weights.region_opening[i];
            endgame += sign * weights.region_endgame[i];
        }
    }
    return (opening * sample.phase + endgame * (PHASE_MAX - sample.phase)) / PHASE_MAX;
}

double mean_error(const std::vector<TuneSample>& samples, const TuneWeights& weights,
                  double scale) {
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
    bool regions = false;
    for (const TuneSample& s : samples) regions = regions || s.has_regions;
    const std::size_t region_size = regions ? REGION_SLOTS : 0;
    AdamState opening_state(STRONG_FEATURE_COUNT), endgame_state(STRONG_FEATURE_COUNT);
    AdamState region_opening_state(region_size), region_endgame_state(region_size);
    std::vector<Gradient> parts(static_cast<std::size_t>(std::max(1, options.threads)));
    for (int step = 1; step <= options.iterations; ++step) {
        for (Gradient& part : parts) part.clear(regions);
        error_gradient(samples, weights, scale, parts);
        Gradient& g = parts[0];
        for (int i = 0; i < STRONG_FEATURE_COUNT; ++i) {
            if (g.opening[i] != 0.0)
                g.opening[i] += 2 * options.penalty * (weights.opening[i] - start.opening[i]);
            if (g.endgame[i] != 0.0)
                g.endgame[i] += 2 * options.penalty * (weights.endgame[i] - start.endgame[i]);
        }
        for (std::size_t i = 0; i < region_size; ++i) {
            if (g.region_opening[i] != 0.0)
                g.region_opening[i] += 2 * options.region_penalty * weights.region_opening[i];
            if (g.region_endgame[i] != 0.0)
                g.region_endgame[i] += 2 * options.region_penalty * weights.region_endgame[i];
        }
        if (!options.hold_features) {
            adam_step(weights.opening.data(), g.opening.data(), STRONG_FEATURE_COUNT, opening_state,
                      step, options.learning_rate);
            adam_step(weights.endgame.data(), g.endgame.data(), STRONG_FEATURE_COUNT, endgame_state,
                      step, options.learning_rate);
        }
        if (regions) {
            adam_step(weights.region_opening.data(), g.region_opening.data(), region_size,
                      region_opening_state, step, options.learning_rate);
            adam_step(weights.region_endgame.data(), g.region_endgame.data(), region_size,
                      region_endgame_state, step, options.learning_rate);
        }
        if (options.report != nullptr &&
            (step % options.report_every == 0 || step == options.iterations))
            options.report(step, mean_error(samples, weights, scale));
    }
}
