#pragma once
// The referee of one game between two Hub engines. It keeps the game itself with the
// program's move generator: the opening's moves first, then each engine's move checked
// against the legal moves of the position (majority rule included). The game ends by
// the rules of the game (game_end.h), when 150 moves by each side have been played
// (drawn), or when an engine fails: an illegal or unreadable move, a dead engine, an
// "error" answer or no answer within 10 * seconds + 5 s loses the game for it.

#include <atomic>
#include <string>
#include <vector>

#include "engine/board/board.h"
#include "game/pdn.h"
#include "tools/match/hub_player.h"
#include "tools/match/openings.h"

inline constexpr int MOVE_CAP_PLIES = 2 * 150;

struct GameOutcome {
    int white_points = 1;  // draughts scoring: 2 a win, 1 a draw, 0 a loss
    // "white wins", "draw (repetition)", "draw (move limit)",
    // "black wins (white: illegal move 11-12)", ...
    std::string words;
    int plies = 0;  // the opening's included
    std::vector<PdnMove> moves;
    // The side whose engine failed (0 when none did): its process must be restarted.
    Side faulty = 0;
    bool aborted = false;  // `abort` was set before the game ended
};

// "2-0", "1-1" or "0-2".
const char* outcome_score_text(const GameOutcome& outcome);

// Plays a game from the start position through `opening`. `abort` is looked at before
// every move.
GameOutcome play_game(HubPlayer& white, HubPlayer& black, const Opening& opening, double seconds,
                      const std::atomic<bool>& abort);
