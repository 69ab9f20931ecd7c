#include "game/game_end.h"

#include <bit>

namespace {

// Half-moves (a move of each side is two) after which each draw rule ends the game.
constexpr int KING_MOVES_LIMIT = 2 * 25;
constexpr int SIXTEEN_MOVES_LIMIT = 2 * 16;
constexpr int FIVE_MOVES_LIMIT = 2 * 5;
constexpr int REPETITIONS = 3;

// The endings with a move limit: one side has a lone king, the other at least one king
// and at most three pieces.
enum Ending { NO_LIMIT, SIXTEEN_MOVES, FIVE_MOVES };

Ending against_lone_king(int men, int kings) {
    if (kings < 1) return NO_LIMIT;
    if (men + kings == 3) return SIXTEEN_MOVES;  // 3 kings, 2 kings and a man, a king and 2 men
    if (men + kings <= 2) return FIVE_MOVES;     // 2 kings, a king and a man, a king
    return NO_LIMIT;
}

Ending ending_of(const Board& board) {
    const int white_men = std::popcount(board.white_men);
    const int white_kings = std::popcount(board.white_kings);
    const int black_men = std::popcount(board.black_men);
    const int black_kings = std::popcount(board.black_kings);
    if (black_men == 0 && black_kings == 1) return against_lone_king(white_men, white_kings);
    if (white_men == 0 && white_kings == 1) return against_lone_king(black_men, black_kings);
    return NO_LIMIT;
}

bool repeated(const GameRecord& record, int at) {
    const GameEntry& here = record.entries[at];
    int seen = 1;
    for (int j = at - 2; j >= 0; j -= 2) {
        const GameEntry& earlier = record.entries[j];
        if (earlier.side == here.side && earlier.board == here.board && ++seen == REPETITIONS) return true;
    }
    return false;
}

bool only_kings_moved(const GameRecord& record, int at) {
    if (at < KING_MOVES_LIMIT) return false;
    for (int j = at - KING_MOVES_LIMIT; j < at; ++j) {
        const int kind = record.entries[j].move_type;
        if (kind != WHITE_KING_MOVE && kind != BLACK_KING_MOVE) return false;
    }
    return true;
}

// The limited endings. A capture that turns a 16-move ending into a 5-move one starts
// the 5-move count, and the 16 moves already begun still run: whichever ends first
// ends the game.
GameResult ending_limit(const GameRecord& record, int at) {
    const Ending now = ending_of(record.entries[at].board);
    if (now == NO_LIMIT) return RESULT_NONE;
    int start = at;  // the first position of the limited ending
    int five_start = at;
    while (start > 0) {
        const Ending before = ending_of(record.entries[start - 1].board);
        if (before == NO_LIMIT) break;
        --start;
        if (before == FIVE_MOVES) five_start = start;
    }
    if (now == FIVE_MOVES && at - five_start >= FIVE_MOVES_LIMIT) return RESULT_DRAW_5_MOVES;
    if (ending_of(record.entries[start].board) == SIXTEEN_MOVES && at - start >= SIXTEEN_MOVES_LIMIT) {
        return RESULT_DRAW_16_MOVES;
    }
    return RESULT_NONE;
}

}  // namespace

GameResult record_result(const GameRecord& record, int at, bool has_legal_move) {
    if (at < 0 || at > MAX_GAME_MOVES) return RESULT_NONE;
    if (!has_legal_move) return record.entries[at].side == WHITE ? RESULT_BLACK_WINS : RESULT_WHITE_WINS;
    if (repeated(record, at)) return RESULT_DRAW_REPETITION;
    if (only_kings_moved(record, at)) return RESULT_DRAW_KING_MOVES;
    return ending_limit(record, at);
}

GameResult game_result(const GameState& state) {
    const GameRecord& record = game_record();
    return record_result(record, record.current, state.legal_count > 0);
}

const char* result_status_text(GameResult result) {
    switch (result) {
        case RESULT_WHITE_WINS: return "White wins";
        case RESULT_BLACK_WINS: return "Black wins";
        case RESULT_DRAW_REPETITION: return "Draw by repetition";
        case RESULT_DRAW_KING_MOVES: return "Draw: 25 king moves";
        case RESULT_DRAW_16_MOVES: return "Draw: 16-move rule";
        case RESULT_DRAW_5_MOVES: return "Draw: 5-move rule";
        default: return "";
    }
}

const char* result_score_text(GameResult result) {
    if (result == RESULT_WHITE_WINS) return "2-0";
    if (result == RESULT_BLACK_WINS) return "0-2";
    return is_draw(result) ? "1-1" : "";
}

const char* result_line_text(GameResult result) {
    switch (result) {
        case RESULT_WHITE_WINS: return "white wins";
        case RESULT_BLACK_WINS: return "black wins";
        case RESULT_DRAW_REPETITION: return "draw (repetition)";
        case RESULT_DRAW_KING_MOVES: return "draw (25 king moves)";
        case RESULT_DRAW_16_MOVES: return "draw (16-move rule)";
        case RESULT_DRAW_5_MOVES: return "draw (5-move rule)";
        default: return "";
    }
}
