#pragma once
// How a game ends. The side to move without a legal move has lost. Besides that, the
// rules of international draughts end a game as a draw in four ways, each decided from
// the positions of the game record alone:
//   - the same position with the same side to move occurs for the third time;
//   - 25 moves by each side in a row in which only kings moved and nothing was taken;
//   - three kings, two kings and a man, or a king and two men against a lone king:
//     at most 16 more moves by each side;
//   - two kings, a king and a man, or a king against a lone king: at most 5 more moves
//     by each side.
// The search knows nothing of these rules; they are the game's, not the engine's.

#include "game/record.h"
#include "records/game_state.h"

enum GameResult : int {
    RESULT_NONE = 0,  // the game goes on
    RESULT_WHITE_WINS,
    RESULT_BLACK_WINS,
    RESULT_DRAW_REPETITION,
    RESULT_DRAW_KING_MOVES,  // 25 king moves by each side
    RESULT_DRAW_16_MOVES,
    RESULT_DRAW_5_MOVES,
};

inline bool is_draw(GameResult result) { return result >= RESULT_DRAW_REPETITION; }

// The result at entry `at` of `record`, looking only at entries 0..at; `has_legal_move`
// tells whether the side to move there has a move.
GameResult record_result(const GameRecord& record, int at, bool has_legal_move);

// The result at the game record's current position, whose legal moves `state` counted.
GameResult game_result(const GameState& state);

// "White wins", "Draw by repetition", ... for the status bar; "" while the game goes on.
const char* result_status_text(GameResult result);
// The score in draughts scoring: "2-0", "0-2" or "1-1"; "" while the game goes on.
const char* result_score_text(GameResult result);
// "white wins", "draw (repetition)", ... as vantor-cli prints it after "result: ".
const char* result_line_text(GameResult result);
