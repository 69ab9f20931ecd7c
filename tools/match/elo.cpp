#include "tools/match/elo.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double Z95 = 1.96;

}  // namespace

double MatchScore::mean() const {
    const int n = games();
    return n == 0 ? 0.5 : (wins + 0.5 * draws) / n;
}

double MatchScore::variance() const {
    const int n = games();
    if (n == 0) return 0;
    const double p = mean();
    return (wins * (1 - p) * (1 - p) + draws * (0.5 - p) * (0.5 - p) + losses * p * p) / n;
}

double elo_from_score(double p) {
    if (p <= 0) return -INF;
    if (p >= 1) return INF;
    return -400 * std::log10(1 / p - 1) + 0.0;  // an even score is 0.0, not -0.0
}

double score_from_elo(double elo) {
    return 1 / (1 + std::pow(10.0, -elo / 400));
}

EloEstimate estimate_elo(const MatchScore& score) {
    EloEstimate estimate;
    const double p = score.mean();
    estimate.elo = elo_from_score(p);
    const int n = score.games();
    if (n == 0) {
        estimate.margin = INF;
        return estimate;
    }
    const double spread = Z95 * std::sqrt(score.variance() / n);
    const double low = p - spread;
    const double high = p + spread;
    estimate.margin =
        low <= 0 || high >= 1 ? INF : (elo_from_score(high) - elo_from_score(low)) / 2;
    return estimate;
}

double Sprt::lower_bound() const {
    return std::log(beta / (1 - alpha));
}

double Sprt::upper_bound() const {
    return std::log((1 - beta) / alpha);
}

double Sprt::llr(const MatchScore& score) const {
    const int n = score.games();
    if (n == 0) return 0;
    const double var = std::max(score.variance(), 0.25 / n);
    const double s0 = score_from_elo(elo0);
    const double s1 = score_from_elo(elo1);
    return n * (s1 - s0) * (2 * score.mean() - s0 - s1) / (2 * var);
}

SprtVerdict sprt_verdict(const Sprt& test, const MatchScore& score) {
    const double llr = test.llr(score);
    if (llr >= test.upper_bound()) return SprtVerdict::ACCEPT_H1;
    if (llr <= test.lower_bound()) return SprtVerdict::ACCEPT_H0;
    return SprtVerdict::CONTINUE;
}
