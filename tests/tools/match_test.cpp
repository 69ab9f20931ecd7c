// The match referee: the arithmetic of a score, the openings, and whole matches between
// stand-in engines (fake_hub_engine) that show who gets the colours and the points, and
// what becomes of an engine that breaks the rules.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/match/elo.h"
#include "tools/match/match.h"
#include "tools/match/openings.h"

namespace {

MatchScore score(int wins, int draws, int losses) {
    return {wins, draws, losses};
}

TEST(MatchElo, WorkedExamples) {
    // 60-20-20: p = (60 + 10) / 100 = 0.7; elo = -400 log10(1/0.7 - 1) = 147.19.
    // var = (60 * 0.3^2 + 20 * 0.2^2 + 20 * 0.7^2) / 100 = 0.16; 1.96 sqrt(0.16/100) = 0.0784,
    // so p lies in [0.6216, 0.7784]: elo 86.2 to 218.2, half the width 66.0.
    EloEstimate e = estimate_elo(score(60, 20, 20));
    EXPECT_NEAR(score(60, 20, 20).variance(), 0.16, 1e-12);
    EXPECT_NEAR(e.elo, 147.19, 0.01);
    EXPECT_NEAR(e.margin, 66.01, 0.01);
    // 30-40-30: p = 0.5, elo 0; var = 60 * 0.25 / 100 = 0.15; p in 0.5 +- 0.0759: +-53.2.
    e = estimate_elo(score(30, 40, 30));
    EXPECT_EQ(e.elo, 0.0);
    EXPECT_NEAR(e.margin, 53.16, 0.01);
    // Every game won: elo +inf, and so is the error.
    e = estimate_elo(score(5, 0, 0));
    EXPECT_TRUE(std::isinf(e.elo) && e.elo > 0);
    EXPECT_TRUE(std::isinf(e.margin));
    EXPECT_EQ(score_line(score(60, 20, 20)), "score 60-20-20 elo 147.2 +- 66.0");
    EXPECT_EQ(score_line(score(1, 0, 1)), "score 1-0-1 elo 0.0 +- inf");
}

TEST(MatchSprt, LikelihoodRatioAndDecisions) {
    // alpha = beta = 0.05: bounds ln(0.05/0.95) = -2.944 and +2.944.
    Sprt test{0, 10};
    EXPECT_NEAR(test.lower_bound(), -2.9444, 1e-4);
    EXPECT_NEAR(test.upper_bound(), 2.9444, 1e-4);
    // s0 = 0.5, s1 = 1 / (1 + 10^(-10/400)) = 0.514387.
    // 60-20-20: 100 * 0.014387 * (1.4 - 1.014387) / (2 * 0.16) = 1.7337.
    EXPECT_NEAR(test.llr(score(60, 20, 20)), 1.7337, 1e-4);
    // 30-40-30: 100 * 0.014387 * (1.0 - 1.014387) / (2 * 0.15) = -0.0690.
    EXPECT_NEAR(test.llr(score(30, 40, 30)), -0.0690, 1e-4);

    // elo0 = 0, elo1 = 50: s1 = 0.571497. Lopsided, wins:draws:losses 3:1:1 (p = 0.7,
    // var = 0.16): LLR = N * 0.071497 * 0.328503 / 0.32 = 0.0734 N, over 2.944 from N = 41.
    const Sprt wide{0, 50};
    EXPECT_EQ(sprt_verdict(wide, score(24, 8, 8)), SprtVerdict::CONTINUE);   // 2.935
    EXPECT_EQ(sprt_verdict(wide, score(27, 9, 9)), SprtVerdict::ACCEPT_H1);  // 3.302
    // Even, 3:4:3 (p = 0.5, var = 0.15): LLR = N * 0.071497 * -0.071497 / 0.3 = -0.01704 N.
    EXPECT_EQ(sprt_verdict(wide, score(51, 68, 51)), SprtVerdict::CONTINUE);   // -2.894
    EXPECT_EQ(sprt_verdict(wide, score(54, 72, 54)), SprtVerdict::ACCEPT_H0);  // -3.064
    // Nothing but wins still decides: var is taken as 1/(4N), LLR = 2 N^2 * 0.0715 * 0.8570.
    EXPECT_EQ(sprt_verdict(wide, score(4, 0, 0)), SprtVerdict::CONTINUE);   // 1.96
    EXPECT_EQ(sprt_verdict(wide, score(5, 0, 0)), SprtVerdict::ACCEPT_H1);  // 3.06
    EXPECT_EQ(test.llr(score(0, 0, 0)), 0.0);
}

TEST(MatchOpenings, DefaultSetIsLegalAndMalformedLinesAreNamed) {
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(load_openings("", openings, error)) << error;
    EXPECT_GE(openings.size(), 50u);
    for (const Opening& opening : openings) {
        EXPECT_GE(opening.moves.size(), 2u) << "line " << opening.line;
        EXPECT_LE(opening.moves.size(), 4u) << "line " << opening.line;
    }
    openings.clear();
    ASSERT_TRUE(parse_openings("# two\n32-28 19-23 28x19 14x23  # the usual\n\n34-29 17-21\n", "t",
                               openings, error));
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].line, 2);
    EXPECT_EQ(openings[0].moves.size(), 4u);
    EXPECT_FALSE(parse_openings("32-28 19-23\n32-28 19-23 28-22\n", "o.txt", openings, error));
    EXPECT_EQ(error, "o.txt line 2: '28-22' is not legal here");
    EXPECT_FALSE(parse_openings("32-28 19-23 28x19 14+23\n", "o.txt", openings, error));
    EXPECT_EQ(error, "o.txt line 1: '14+23' is not legal here");
    EXPECT_FALSE(parse_openings("# nothing\n", "o.txt", openings, error));
}

EngineCommand fake(const std::string& mode) {
    return {mode, {FAKE_ENGINE, "hub", mode}};
}

struct Played {
    std::vector<std::string> lines;
    MatchReport report;
};

Played play(const std::string& first, const std::string& second, int games, int concurrency,
            std::optional<Sprt> sprt = std::nullopt) {
    MatchSettings settings;
    settings.first = fake(first);
    settings.second = fake(second);
    settings.games = games;
    settings.seconds = 0.01;
    settings.concurrency = concurrency;
    settings.sprt = sprt;
    std::string error;
    EXPECT_TRUE(parse_openings("32-28 19-23\n34-29 17-21\n", "o", settings.openings, error));
    Played played;
    EXPECT_TRUE(run_match(
        settings, [&](const std::string& line) { played.lines.push_back(line); }, played.report,
        error))
        << error;
    // Every engine process has been reaped.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    return played;
}

TEST(MatchReferee, ColoursAlternateAndIllegalMovesLose) {
    // Five games become six: openings 1, 1, 2, 2, 1, 1; the first engine White in odd games.
    const Played played = play("first", "illegal", 5, 1);
    ASSERT_EQ(played.lines.size(), 7u);
    EXPECT_EQ(played.lines[0],
              "game 1 opening 1 white first black illegal result 2-0 plies 3 "
              "white wins (black: illegal move 50-49)");
    EXPECT_EQ(played.lines[1],
              "game 2 opening 1 white illegal black first result 0-2 plies 2 "
              "black wins (white: illegal move 50-49)");
    EXPECT_EQ(played.lines[2].substr(0, 48), "game 3 opening 2 white first black illegal resul");
    EXPECT_EQ(played.lines[5].substr(0, 48), "game 6 opening 1 white illegal black first resul");
    EXPECT_EQ(played.lines[6], "score 6-0-0 elo inf +- inf");
    // The rule breaker was started afresh after each of its games but the last.
    EXPECT_EQ(played.report.starts[0], 1);
    EXPECT_EQ(played.report.starts[1], 6);
}

TEST(MatchReferee, EqualEnginesSplitThePointsOfEachPair) {
    // The same engine on both sides plays the same game twice per opening, once with
    // the first engine as White and once as Black: whatever the result, each pair gives
    // both engines the same points. Two workers: the lines come as the games end.
    const Played played = play("first", "first", 4, 2);
    ASSERT_EQ(played.lines.size(), 5u);
    std::string tails[4];
    int decisive = 0;
    for (int i = 0; i < 4; ++i) {
        const std::string& line = played.lines[static_cast<std::size_t>(i)];
        const int game = std::stoi(line.substr(5));
        ASSERT_TRUE(game >= 1 && game <= 4) << line;
        tails[game - 1] = line.substr(line.find(" result "));
        if (line.find("result 1-1") == std::string::npos) ++decisive;
    }
    EXPECT_EQ(tails[0], tails[1]);
    EXPECT_EQ(tails[2], tails[3]);
    const std::string half = std::to_string(decisive / 2);
    EXPECT_EQ(
        played.lines[4].rfind(
            "score " + half + "-" + std::to_string(4 - decisive) + "-" + half + " elo 0.0 +- ", 0),
        0u)
        << played.lines[4];
}

TEST(MatchReferee, DeadEnginesLoseAndSprtStopsTheMatch) {
    const Played played = play("first", "die", 20, 2, Sprt{0, 50});
    // 5 wins decide (see MatchSprt); with two workers a sixth game may be under way, and
    // is dropped.
    ASSERT_EQ(played.lines.size(), 5u * 2 + 2);
    EXPECT_NE(played.lines[0].find("wins ("), std::string::npos);
    EXPECT_NE(played.lines[0].find(": engine died)"), std::string::npos) << played.lines[0];
    EXPECT_EQ(played.lines[10], "sprt accepted H1");
    EXPECT_EQ(played.lines[11].substr(0, 12), "score 5-0-0 ");
    EXPECT_TRUE(played.report.decided);
}

}  // namespace
