#pragma once
// Training positions for the tuner: self-play games of either engine at a fixed depth, written as
// "FEN result score" lines (result White's: 1, 0.5 or 0; score the search's for the move played
// there, White's view, in points), and read back as feature vectors.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/board/board.h"
#include "engine/search/driver.h"
#include "tools/tune/fit.h"

struct GenOptions {
    int games = 100;
    int depth = 6;
    std::uint64_t seed = 1;
    EngineKind engine = EngineKind::CLASSIC;  // the strong one starts each game with an empty table
    std::string book_source;  // the opening book's source text file; empty: random openings only
    // A folder of endgame databases; empty: none. The searches then use them, and a game
    // ends at the first position they know, with their result: the result of the best
    // play, not of the engine's own play of the ending at a shallow depth.
    std::string egdb_dir;
};

struct GenStats {
    int games = 0;
    int white_wins = 0;
    int black_wins = 0;
    int draws = 0;
    int ended_by_databases = 0;
    long positions = 0;
};

// Whether the evaluations settle the position by rule (at most three pieces a side, or
// four kings against one) rather than by their terms: such positions teach no weight.
bool settled_by_rule(const Board& board);

// The loaded databases' result of the position, White's (1, 0.5 or 0), or -1 when
// they do not hold it.
double database_result(const Board& board, Side side);

// Plays the games and writes their quiet positions to `out`. Every fourth game starts
// from an opening book line (in turn), the others from 6-10 random plies. The engine
// searches each move to the depth or one less, at random, so that games vary. Each game
// goes out in one write, so a run stopped at any time leaves whole games. Returns
// false with `error` when the book or the databases cannot be read.
bool generate_games(const GenOptions& options, std::FILE* out, GenStats& stats, std::string& error);

// Reads "FEN result score" lines, or "FEN result" lines without a score; a line that is no
// such line is counted in `rejected` and skipped, as is a position settled by rule.
std::vector<TuneSample> read_samples(std::FILE* in, long& rejected);
