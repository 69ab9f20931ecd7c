// The limited endings of the FMJD's rules of international draughts (Annex 1, articles
// 6.4 and 6.5) when one runs into the other. The controller tests play each rule out on
// the board; here the record is written by hand, so the two counts can be set apart.

#include <gtest/gtest.h>

#include <string>

#include "engine/board/fen.h"
#include "game/game_end.h"

namespace {

// `sixteen` positions of three kings against a lone king, then `five` of two kings
// against it; the lone king stands on a new square each time, so nothing repeats.
GameRecord ending_record(int sixteen, int five) {
    GameRecord record;
    for (int i = 0; i < sixteen + five; ++i) {
        const std::string white = i < sixteen ? "WK46,K47,K48" : "WK46,K47";
        const std::string fen = std::string(i % 2 == 0 ? "W" : "B") + ":" + white + ":BK" + std::to_string(1 + i);
        GameEntry& entry = record.entries[i];
        std::string error;
        EXPECT_TRUE(parse_fen(fen, entry.board, entry.side, error)) << error;
        entry.move_type = i % 2 == 0 ? WHITE_KING_MOVE : BLACK_KING_MOVE;
    }
    record.length = record.current = sixteen + five - 1;
    return record;
}

}  // namespace

TEST(GameEnd, TheSixteenMovesBegunStillRunAfterACaptureIntoAFiveMoveEnding) {
    // The capture comes late: 16 moves each are up before 5 more each are played.
    const GameRecord late = ending_record(25, 10);
    EXPECT_EQ(record_result(late, 31, true), RESULT_NONE);
    EXPECT_EQ(record_result(late, 32, true), RESULT_DRAW_16_MOVES);
    // The capture comes early: the 5 moves each end the game first.
    const GameRecord early = ending_record(20, 15);
    EXPECT_EQ(record_result(early, 29, true), RESULT_NONE);
    EXPECT_EQ(record_result(early, 30, true), RESULT_DRAW_5_MOVES);
    // White to move without a move has lost, whatever the counts say.
    EXPECT_EQ(record_result(early, 30, false), RESULT_BLACK_WINS);
}
