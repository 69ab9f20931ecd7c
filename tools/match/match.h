#pragma once
// A match between two engines: each opening played twice with the colours exchanged
// (games 1, 3, 5, ... the first engine has White; 2, 4, 6, ... Black), by one or two
// workers, each with its own pair of engine processes kept from game to game.
//
// The lines it reports, in the order the games end (an interface: extend, never change):
//   game 7 opening 4 white strong black classic result 2-0 plies 83 white wins
//   sprt llr 1.234 lbound -2.944 ubound 2.944        (with a test, after every game)
//   sprt accepted H1                                  (or H0; the match then stops)
//   score 60-20-20 elo 147.2 +- 66.0                  (at the end: the first engine's
//                                                      wins, draws, losses)

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/match/elo.h"
#include "tools/match/hub_player.h"
#include "tools/match/openings.h"

struct MatchSettings {
    EngineCommand first;
    EngineCommand second;
    int games = 2;  // rounded up to an even number
    double seconds = 1;
    std::vector<Opening> openings;
    int concurrency = 1;
    std::optional<Sprt> sprt;
    std::string pdn_path;  // every game appended when set
};

struct MatchReport {
    MatchScore score;  // the first engine's
    int games = 0;
    int starts[2] = {0, 0};  // processes started, per engine
    bool decided = false;    // the test accepted H0 or H1
};

// "score W-D-L elo E +- M".
std::string score_line(const MatchScore& score);

// Plays the match, handing each line to `report` (one call at a time). false and
// `error` when an engine cannot be started or the PDN file cannot be written.
bool run_match(const MatchSettings& settings, const std::function<void(const std::string&)>& report,
               MatchReport& result, std::string& error);
