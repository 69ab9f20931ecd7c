#pragma once
// The arithmetic of a match: the Elo difference a score stands for, its 95 % error, and
// the sequential probability ratio test that stops a match once it has decided.
//
// Each game scores 1 (a win), 1/2 (a draw) or 0 (a loss) for the first engine. With W
// wins, D draws and L losses in N games the mean score is p = (W + D/2) / N, the
// per-game variance var = (W (1-p)^2 + D (1/2-p)^2 + L p^2) / N, and the Elo difference
// elo(p) = -400 log10(1/p - 1).

struct MatchScore {
    int wins = 0;
    int draws = 0;
    int losses = 0;

    int games() const { return wins + draws + losses; }
    double mean() const;      // p; 0.5 before any game
    double variance() const;  // per game
};

// elo(p); -inf and +inf at 0 and 1.
double elo_from_score(double p);
// The expected score at an Elo difference: 1 / (1 + 10^(-elo/400)).
double score_from_elo(double elo);

struct EloEstimate {
    double elo = 0;
    // Half the Elo width of the 95 % interval p +- 1.96 sqrt(var/N); +inf while either
    // end of that interval lies at 0 or 1 or beyond.
    double margin = 0;
};
EloEstimate estimate_elo(const MatchScore& score);

// The test of H0: elo = elo0 against H1: elo = elo1, with error rates alpha and beta.
struct Sprt {
    double elo0 = 0;
    double elo1 = 5;
    double alpha = 0.05;
    double beta = 0.05;

    double lower_bound() const;  // ln(beta / (1 - alpha)): at or below it H0 is accepted
    double upper_bound() const;  // ln((1 - beta) / alpha): at or above it H1 is accepted
    // The log-likelihood ratio in the trinomial approximation
    //   LLR = N (s1 - s0) (2p - s0 - s1) / (2 var),  s_i = score_from_elo(elo_i);
    // 0 before the first game. The variance is taken as at least 1/(4N), about what one
    // game of N scoring half a point the other way gives: a run of games that all ended
    // alike has none, and a match of nothing but wins (or draws) must still decide.
    double llr(const MatchScore& score) const;
};

enum class SprtVerdict { CONTINUE, ACCEPT_H0, ACCEPT_H1 };
SprtVerdict sprt_verdict(const Sprt& test, const MatchScore& score);
