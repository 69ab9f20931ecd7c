// The Game window's arithmetic: lines of the record, scrolling and the grey redo tail.

#include "ui/game_list.h"

#include <gtest/gtest.h>

namespace {

// A client area of `lines` whole lines of 16 pixels (and a few pixels to spare).
GameView view_of(int lines) {
    return {lines * 16 + 5, 16};
}

}  // namespace

TEST(GameLines, FiveHalfMovesGiveThreeLinesTheLastWithWhitesMoveOnly) {
    GameRecord record;
    const GameEntry moves[] = {{WHITE, 0, 1, 31, 26, {}},
                               {BLACK, 0, 6, 20, 29, {}},
                               {WHITE, 0, 1, 32, 27, {}},
                               {BLACK, 0, 5, 1, 6, {}},
                               {WHITE, 0, 4, 7, 2, {}}};
    for (const GameEntry& move : moves) record.entries[record.length++] = move;
    record.current = record.length;
    ASSERT_EQ(game_lines(record.length), 3);
    EXPECT_EQ(game_lines(512), 256);
    const GameLine first = game_line(record, 0);
    EXPECT_EQ(first.number, "  1");
    EXPECT_EQ(first.white, "31-26");
    EXPECT_EQ(first.black, "20x29");
    EXPECT_EQ(game_line(record, 1).black, " 1- 6");  // single digits padded
    const GameLine third = game_line(record, 2);
    EXPECT_EQ(third.number, "  3");
    EXPECT_EQ(third.white, " 7x 2");
    EXPECT_EQ(third.black, "");
    // The result follows the last move only: in Black's column here, after Black's move
    // when Black made the last one.
    EXPECT_EQ(game_line(record, 1, "2-0").result, "");
    const GameLine last = game_line(record, 2, "2-0");
    EXPECT_EQ(last.result, "2-0");
    EXPECT_EQ(last.result_chars, BLACK_MOVE_CHARS);
    --record.length;
    EXPECT_EQ(game_line(record, 1, "1-1").result_chars, RESULT_AFTER_BLACK_CHARS);
}

// The line before the position still shows at the top: two lines of slack.
TEST(GameScroll, MaximumAndWhereChangesLeaveThePosition) {
    EXPECT_EQ(scroll_maximum(40, view_of(10)), 32);
    EXPECT_EQ(scroll_maximum(9, view_of(10)), 1);
    EXPECT_EQ(scroll_maximum(8, view_of(10)), 0);
    EXPECT_EQ(scroll_maximum(3, GameView{100, 0}), 0);  // no font yet: no division by zero

    GameScroll scroll;
    scroll_to_end(scroll, 40, view_of(10));  // the game changed
    EXPECT_EQ(scroll.maximum, 32);
    EXPECT_EQ(scroll.position, 32);
    scroll_resized(scroll, 40, view_of(20));  // a larger window clamps the position
    EXPECT_EQ(scroll.maximum, 22);
    EXPECT_EQ(scroll.position, 22);
    scroll_resized(scroll, 40, view_of(10));  // a larger maximum leaves it alone
    EXPECT_EQ(scroll.position, 22);

    // Undo and redo: (current - 40 + 32) / 2, within the range.
    scroll_to_current(scroll, 40, 80, view_of(10));
    EXPECT_EQ(scroll.position, 32);
    scroll_to_current(scroll, 40, 50, view_of(10));
    EXPECT_EQ(scroll.position, 21);
    scroll_to_current(scroll, 40, 1, view_of(10));
    EXPECT_EQ(scroll.position, 0);
}

// The window test walks the keys and the scroll bar; here the clamping at the ends.
TEST(GameScroll, StepsAndTheThumbAreClampedToTheRange) {
    const GameView view = view_of(10);
    EXPECT_EQ(scroll_step(GameScroll{32, 32}, ScrollRequest::PAGE_DOWN, view), 0);
    EXPECT_EQ(scroll_step(GameScroll{28, 32}, ScrollRequest::PAGE_DOWN, view), 4);
    EXPECT_EQ(scroll_step(GameScroll{3, 32}, ScrollRequest::PAGE_UP, view), -3);
    const GameScroll middle{5, 32};
    EXPECT_EQ(scroll_step(middle, ScrollRequest::THUMB_TRACK, view, 20), 15);
    EXPECT_EQ(scroll_step(middle, ScrollRequest::THUMB_TRACK, view, 99), 27);
    EXPECT_EQ(scroll_step(middle, ScrollRequest::THUMB_TRACK, view, -4), -5);
    // A client area lower than one line still pages by one.
    EXPECT_EQ(scroll_step(GameScroll{3, 10}, ScrollRequest::PAGE_UP, GameView{10, 16}), -1);
}

TEST(GamePaint, TheLineBeforeThePositionShowsAtTheTop) {
    const GameView view = view_of(10);
    const GameScroll scroll{5, 32};
    const LineRange range = paint_lines(0, view.client_height, 40, scroll, view);
    EXPECT_EQ(range.first, 4);
    EXPECT_EQ(range.last, 15);
    EXPECT_EQ(line_y(4, scroll, view), 0);
    // At the top there is a blank line first; at the end the range stops at the game.
    EXPECT_EQ(line_y(0, GameScroll{0, 32}, view), 16);
    EXPECT_EQ(paint_lines(0, view.client_height, 40, GameScroll{32, 32}, view).last, 40);
    // A paint rectangle lower down starts further on.
    EXPECT_EQ(paint_lines(48, 64, 40, scroll, view).first, 7);
}

TEST(GameGreying, OnlyTheRedoTailAndTheNumbersAfterItAreGrey) {
    // A 4-move game: undone to its start all is grey but the first number, redone to its
    // end nothing is.
    for (int line = 0; line < 4; ++line) {
        const LineGreying start = line_greying(line, 8, 0);
        EXPECT_TRUE(start.white && start.black) << line;
        EXPECT_EQ(start.number, line > 0) << line;
        const LineGreying end = line_greying(line, 8, 8);
        EXPECT_FALSE(end.number || end.white || end.black) << line;
    }
    // Current 3: entries 0-2 were played; the tail starts with Black's move of line 1.
    EXPECT_FALSE(line_greying(1, 8, 3).number);
    EXPECT_FALSE(line_greying(1, 8, 3).white);
    EXPECT_TRUE(line_greying(1, 8, 3).black);
    EXPECT_TRUE(line_greying(2, 8, 3).number);
    // Current 4: with White's move of line 2, whose number stays black.
    EXPECT_FALSE(line_greying(1, 8, 4).black);
    EXPECT_FALSE(line_greying(2, 8, 4).number);
    EXPECT_TRUE(line_greying(2, 8, 4).white);
}
