// The Game window's arithmetic: lines of the record, scrolling and the grey redo tail.

#include "ui/game_list.h"

#include <gtest/gtest.h>

namespace {

// A record of `length` half-moves: White's quiet moves 31-26, 32-27, ... and Black's
// captures 20x29, 19x28, ...; current at `current` (the end when negative).
GameRecord record_of(int length, int current = -1) {
    GameRecord record;
    for (int i = 0; i < length; ++i) {
        GameEntry& entry = record.entries[i];
        const bool white = i % 2 == 0;
        entry.side = white ? WHITE : BLACK;
        entry.move_type = white ? 1 : 6;
        entry.from = white ? 31 + i / 2 % 20 : 20 - i / 2 % 20;
        entry.to = white ? 26 + i / 2 % 20 : 29 - i / 2 % 20;
    }
    record.length = length;
    record.current = current < 0 ? length : current;
    return record;
}

// A client area of `lines` whole lines of 16 pixels (and a few pixels to spare).
GameView view_of(int lines) {
    return {lines * 16 + 5, 16};
}

}  // namespace

TEST(GameLines, TwoHalfMovesALine) {
    EXPECT_EQ(game_lines(0), 0);
    EXPECT_EQ(game_lines(1), 1);
    EXPECT_EQ(game_lines(2), 1);
    EXPECT_EQ(game_lines(5), 3);
    EXPECT_EQ(game_lines(512), 256);
}

TEST(GameLines, FiveHalfMovesGiveThreeLinesTheLastWithWhitesMoveOnly) {
    const GameRecord record = record_of(5);
    ASSERT_EQ(game_lines(record.length), 3);
    const GameLine first = game_line(record, 0);
    EXPECT_EQ(first.number, "  1");
    EXPECT_EQ(first.white, "31-26");
    EXPECT_EQ(first.black, "20x29");
    EXPECT_EQ(game_line(record, 1).number, "  2");
    EXPECT_EQ(game_line(record, 1).black, "19x28");
    const GameLine third = game_line(record, 2);
    EXPECT_EQ(third.number, "  3");
    EXPECT_EQ(third.white, "33-28");
    EXPECT_EQ(third.black, "");
}

TEST(GameLines, SingleDigitSquaresArePaddedAndNumbersRightAligned) {
    GameRecord record = record_of(2);
    record.entries[0] = {WHITE, 0, 4, 7, 2, {}};
    record.entries[1] = {BLACK, 0, 5, 1, 6, {}};
    const GameLine line = game_line(record, 0);
    EXPECT_EQ(line.white, " 7x 2");
    EXPECT_EQ(line.black, " 1- 6");
    EXPECT_EQ(game_line(record_of(250), 123).number, "124");
}

TEST(GameScroll, MaximumLeavesTwoLinesOfSlack) {
    EXPECT_EQ(scroll_maximum(40, view_of(10)), 32);
    EXPECT_EQ(scroll_maximum(9, view_of(10)), 1);
    EXPECT_EQ(scroll_maximum(8, view_of(10)), 0);
    EXPECT_EQ(scroll_maximum(0, view_of(10)), 0);
    // A line height of 0 (no font yet) must not divide by zero.
    EXPECT_EQ(scroll_maximum(3, GameView{100, 0}), 0);
}

TEST(GameScroll, GameChangedScrollsToTheMaximum) {
    GameScroll scroll;
    scroll_to_end(scroll, 40, view_of(10));
    EXPECT_EQ(scroll.maximum, 32);
    EXPECT_EQ(scroll.position, 32);
    scroll_to_end(scroll, 3, view_of(10));
    EXPECT_EQ(scroll.position, 0);
}

TEST(GameScroll, ResizeClampsThePosition) {
    GameScroll scroll{32, 32};
    scroll_resized(scroll, 40, view_of(20));
    EXPECT_EQ(scroll.maximum, 22);
    EXPECT_EQ(scroll.position, 22);
    scroll_resized(scroll, 40, view_of(10));
    EXPECT_EQ(scroll.maximum, 32);
    EXPECT_EQ(scroll.position, 22);  // a larger maximum leaves the position alone
}

TEST(GameScroll, CurrentMoveChangedFollowsTheFormula) {
    GameScroll scroll;
    // 40 lines, maximum 32: c = (current - 40 + 32) / 2.
    scroll_to_current(scroll, 40, 80, view_of(10));
    EXPECT_EQ(scroll.position, 32);  // (80 - 8) / 2 = 36, beyond the maximum
    scroll_to_current(scroll, 40, 50, view_of(10));
    EXPECT_EQ(scroll.position, 21);
    scroll_to_current(scroll, 40, 9, view_of(10));
    EXPECT_EQ(scroll.position, 0);  // (9 - 8) / 2 = 0
    scroll_to_current(scroll, 40, 0, view_of(10));
    EXPECT_EQ(scroll.position, 0);  // negative: the top
    // -7 / 2 truncates toward zero to -3, which is negative: still the top.
    scroll_to_current(scroll, 40, 1, view_of(10));
    EXPECT_EQ(scroll.position, 0);
}

TEST(GameScroll, StepsAreClampedToTheRange) {
    const GameView view = view_of(10);
    const GameScroll top{0, 32};
    EXPECT_EQ(scroll_step(top, ScrollRequest::LINE_UP, view), 0);
    EXPECT_EQ(scroll_step(top, ScrollRequest::PAGE_UP, view), 0);
    EXPECT_EQ(scroll_step(top, ScrollRequest::LINE_DOWN, view), 1);
    EXPECT_EQ(scroll_step(top, ScrollRequest::PAGE_DOWN, view), 10);
    EXPECT_EQ(scroll_step(top, ScrollRequest::BOTTOM, view), 32);

    const GameScroll end{32, 32};
    EXPECT_EQ(scroll_step(end, ScrollRequest::PAGE_DOWN, view), 0);
    EXPECT_EQ(scroll_step(end, ScrollRequest::LINE_DOWN, view), 0);
    EXPECT_EQ(scroll_step(end, ScrollRequest::PAGE_UP, view), -10);
    EXPECT_EQ(scroll_step(end, ScrollRequest::TOP, view), -32);

    const GameScroll near_end{28, 32};
    EXPECT_EQ(scroll_step(near_end, ScrollRequest::PAGE_DOWN, view), 4);
    EXPECT_EQ(scroll_step(near_end, ScrollRequest::NONE, view), 0);
}

TEST(GameScroll, ThumbIsClampedToTheRange) {
    const GameView view = view_of(10);
    const GameScroll scroll{5, 32};
    EXPECT_EQ(scroll_step(scroll, ScrollRequest::THUMB_TRACK, view, 20), 15);
    EXPECT_EQ(scroll_step(scroll, ScrollRequest::THUMB_TRACK, view, 99), 27);
    EXPECT_EQ(scroll_step(scroll, ScrollRequest::THUMB_TRACK, view, -4), -5);
}

TEST(GameScroll, PagesAreAtLeastOneLine) {
    // A client area lower than one line still pages by one.
    const GameView tiny{10, 16};
    const GameScroll scroll{3, 10};
    EXPECT_EQ(scroll_step(scroll, ScrollRequest::PAGE_DOWN, tiny), 1);
    EXPECT_EQ(scroll_step(scroll, ScrollRequest::PAGE_UP, tiny), -1);
}

TEST(GameScroll, KeysMapToTheirRequests) {
    EXPECT_EQ(key_request(GameKey::PAGE_UP), ScrollRequest::PAGE_UP);
    EXPECT_EQ(key_request(GameKey::PAGE_DOWN), ScrollRequest::PAGE_DOWN);
    EXPECT_EQ(key_request(GameKey::HOME), ScrollRequest::TOP);
    EXPECT_EQ(key_request(GameKey::END), ScrollRequest::BOTTOM);
    EXPECT_EQ(key_request(GameKey::UP), ScrollRequest::LINE_UP);
    EXPECT_EQ(key_request(GameKey::DOWN), ScrollRequest::LINE_DOWN);
    EXPECT_EQ(key_request(GameKey::OTHER), ScrollRequest::NONE);
}

TEST(GamePaint, TheLineBeforeThePositionShowsAtTheTop) {
    const GameView view = view_of(10);
    const GameScroll scroll{5, 32};
    const LineRange range = paint_lines(0, view.client_height, 40, scroll, view);
    EXPECT_EQ(range.first, 4);
    EXPECT_EQ(range.last, 15);
    EXPECT_EQ(line_y(4, scroll, view), 0);
    EXPECT_EQ(line_y(5, scroll, view), 16);
    // At the top there is a blank line first; at the end the range stops at the game.
    EXPECT_EQ(paint_lines(0, view.client_height, 40, GameScroll{0, 32}, view).first, 0);
    EXPECT_EQ(line_y(0, GameScroll{0, 32}, view), 16);
    EXPECT_EQ(paint_lines(0, view.client_height, 40, GameScroll{32, 32}, view).last, 40);
    // A paint rectangle lower down starts further on.
    EXPECT_EQ(paint_lines(48, 64, 40, scroll, view).first, 7);
}

TEST(GameGreying, NothingIsGreyAtTheEnd) {
    for (int line = 0; line < 2; ++line) {
        const LineGreying grey = line_greying(line, 4, 4);
        EXPECT_FALSE(grey.number || grey.white || grey.black);
    }
}

TEST(GameGreying, UndoToTheStartGreysEveryMove) {
    // A 4-move game (8 half-moves) taken back to its start.
    for (int line = 0; line < 4; ++line) {
        const LineGreying grey = line_greying(line, 8, 0);
        EXPECT_TRUE(grey.white) << line;
        EXPECT_TRUE(grey.black) << line;
        EXPECT_EQ(grey.number, line > 0) << line;
    }
}

TEST(GameGreying, OnlyTheRedoTailIsGrey) {
    // Current 3: entries 0-2 were played, 3 onwards are the tail.
    EXPECT_FALSE(line_greying(0, 8, 3).white);
    EXPECT_FALSE(line_greying(0, 8, 3).black);
    EXPECT_FALSE(line_greying(1, 8, 3).number);
    EXPECT_FALSE(line_greying(1, 8, 3).white);
    EXPECT_TRUE(line_greying(1, 8, 3).black);
    EXPECT_TRUE(line_greying(2, 8, 3).number);
    EXPECT_TRUE(line_greying(2, 8, 3).white);
    // Current 4: the tail starts with White's move of line 2.
    EXPECT_FALSE(line_greying(1, 8, 4).black);
    EXPECT_FALSE(line_greying(2, 8, 4).number);
    EXPECT_TRUE(line_greying(2, 8, 4).white);
}

TEST(GameScroll, WindowStateOutlivesTheWindow) {
    game_window_scroll() = {7, 9};
    EXPECT_EQ(game_window_scroll().position, 7);
    game_window_scroll() = {};
}
