#pragma once
// The Game window's arithmetic: the game record two half-moves a line, the vertical
// scrolling over those lines, and the grey redo tail.
//
// Line i (from 0) holds record entries 2i and 2i + 1 and is drawn at
// y = (i - position + 1) x line height: the line before the scroll position still shows
// at the top, so the scroll maximum leaves two lines of slack.

#include <string>

#include "game/record.h"

// Lines of a game of `game_length` half-moves.
int game_lines(int game_length);

// The scroll state of the Game window.
struct GameScroll {
    int position = 0;
    int maximum = 0;
};
// The one the window uses: it outlives the window, so a window shown again starts where
// the last one stood (its first resize clamps it).
GameScroll& game_window_scroll();

// What the window knows of its text: the client height and the font's line height.
struct GameView {
    int client_height = 0;
    int line_height = 1;
    int page_lines() const;  // whole lines in the client area
};

// max(lines - page lines + 2, 0).
int scroll_maximum(int lines, const GameView& view);

// A new client size: the maximum follows, the position is clamped to it.
void scroll_resized(GameScroll& scroll, int lines, const GameView& view);
// The record changed: scroll to its end.
void scroll_to_end(GameScroll& scroll, int lines, const GameView& view);
// Undo or redo moved the current position: scroll so that it shows.
void scroll_to_current(GameScroll& scroll, int lines, int current, const GameView& view);

enum class ScrollRequest { LINE_UP, LINE_DOWN, PAGE_UP, PAGE_DOWN, THUMB_TRACK, TOP, BOTTOM, NONE };

// Keys of the Game window. Every other key does nothing.
enum class GameKey { PAGE_UP, PAGE_DOWN, HOME, END, UP, DOWN, OTHER };
ScrollRequest key_request(GameKey key);

// The step a request asks for, clamped to the range: -position .. maximum - position.
// `thumb` is the dragged thumb's position (THUMB_TRACK only).
int scroll_step(const GameScroll& scroll, ScrollRequest request, const GameView& view,
                int thumb = 0);

// Lines [first, last) to draw for a paint rectangle from `top` to `bottom` (pixels).
struct LineRange {
    int first = 0;
    int last = 0;
};
LineRange paint_lines(int top, int bottom, int lines, const GameScroll& scroll,
                      const GameView& view);
int line_y(int line, const GameScroll& scroll, const GameView& view);

// One line as drawn: "%3d" number right-aligned at 5 character widths, White's entry at
// 6 and Black's at 13 character widths ("%2d%c%2d"). Black's text is empty when the
// game ends with White's move on this line. The line of the last move also carries the
// game's `result` ("2-0", "0-2", "1-1"), if any, after that move.
struct GameLine {
    std::string number;
    std::string white;
    std::string black;
    std::string result;
    int result_chars = 0;  // where the result starts, in character widths
};
GameLine game_line(const GameRecord& record, int line, const std::string& result = {});

inline constexpr int NUMBER_RIGHT_CHARS = 5;
inline constexpr int WHITE_MOVE_CHARS = 6;
inline constexpr int BLACK_MOVE_CHARS = 13;
inline constexpr int RESULT_AFTER_BLACK_CHARS = 20;

// The result the Game window and the printout show: the game's score in draughts
// scoring when the game has ended at the last position of its record, else "".
std::string shown_result(const GameState& state);

// The moves after the current position (the redo tail) are grey, and so is the number
// of every line that follows a grey move. Nothing is grey while current is the end.
struct LineGreying {
    bool number = false;
    bool white = false;
    bool black = false;
};
LineGreying line_greying(int line, int game_length, int game_current);

// RGB (191, 191, 191).
inline constexpr int GREY_LEVEL = 191;
