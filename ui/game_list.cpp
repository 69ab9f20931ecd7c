#include "ui/game_list.h"

#include <algorithm>
#include <cstdio>

#include "game/game_end.h"
#include "game/move_text.h"

int game_lines(int game_length) {
    return (game_length + 1) / 2;
}

GameScroll& game_window_scroll() {
    static GameScroll scroll;
    return scroll;
}

int GameView::page_lines() const {
    return client_height / std::max(line_height, 1);
}

int scroll_maximum(int lines, const GameView& view) {
    return std::max(lines - view.page_lines() + 2, 0);
}

void scroll_resized(GameScroll& scroll, int lines, const GameView& view) {
    scroll.maximum = scroll_maximum(lines, view);
    scroll.position = std::clamp(scroll.position, 0, scroll.maximum);
}

void scroll_to_end(GameScroll& scroll, int lines, const GameView& view) {
    scroll.maximum = scroll_maximum(lines, view);
    scroll.position = scroll.maximum;
}

void scroll_to_current(GameScroll& scroll, int lines, int current, const GameView& view) {
    scroll.maximum = scroll_maximum(lines, view);
    // Division truncates toward zero, as the window always did; a negative value means
    // the top.
    const int wanted = std::max((current - lines + scroll.maximum) / 2, 0);
    scroll.position = std::min(wanted, scroll.maximum);
}

ScrollRequest key_request(GameKey key) {
    switch (key) {
        case GameKey::PAGE_UP:
            return ScrollRequest::PAGE_UP;
        case GameKey::PAGE_DOWN:
            return ScrollRequest::PAGE_DOWN;
        case GameKey::HOME:
            return ScrollRequest::TOP;
        case GameKey::END:
            return ScrollRequest::BOTTOM;
        case GameKey::UP:
            return ScrollRequest::LINE_UP;
        case GameKey::DOWN:
            return ScrollRequest::LINE_DOWN;
        case GameKey::OTHER:
            break;
    }
    return ScrollRequest::NONE;
}

int scroll_step(const GameScroll& scroll, ScrollRequest request, const GameView& view, int thumb) {
    int step = 0;
    switch (request) {
        case ScrollRequest::LINE_UP:
            step = -1;
            break;
        case ScrollRequest::LINE_DOWN:
            step = 1;
            break;
        case ScrollRequest::PAGE_UP:
            step = std::min(-view.page_lines(), -1);
            break;
        case ScrollRequest::PAGE_DOWN:
            step = std::max(view.page_lines(), 1);
            break;
        case ScrollRequest::THUMB_TRACK:
            step = thumb - scroll.position;
            break;
        case ScrollRequest::TOP:
            step = -scroll.position;
            break;
        case ScrollRequest::BOTTOM:
            step = scroll.maximum - scroll.position;
            break;
        case ScrollRequest::NONE:
            break;
    }
    return std::clamp(step, -scroll.position, scroll.maximum - scroll.position);
}

LineRange paint_lines(int top, int bottom, int lines, const GameScroll& scroll,
                      const GameView& view) {
    const int line_height = std::max(view.line_height, 1);
    return {std::max(top / line_height + scroll.position - 1, 0),
            std::min(bottom / line_height + scroll.position, lines)};
}

int line_y(int line, const GameScroll& scroll, const GameView& view) {
    return (line - scroll.position + 1) * view.line_height;
}

GameLine game_line(const GameRecord& record, int line, const std::string& result) {
    GameLine text;
    char number[16];
    std::snprintf(number, sizeof number, "%3d", line + 1);
    text.number = number;
    const int white = 2 * line;
    if (white < 0 || white >= record.length) return text;
    text.white = entry_text(record.entries[white]);
    if (white + 1 < record.length) text.black = entry_text(record.entries[white + 1]);
    if (white + 2 >= record.length) {
        text.result = result;
        text.result_chars = text.black.empty() ? BLACK_MOVE_CHARS : RESULT_AFTER_BLACK_CHARS;
    }
    return text;
}

std::string shown_result(const GameState& state) {
    const GameRecord& record = game_record();
    if (record.current != record.length) return {};
    return result_score_text(game_result(state));
}

LineGreying line_greying(int line, int game_length, int game_current) {
    if (game_length == game_current) return {};
    // Entry e is in the redo tail when e >= current (half-move e + 1 lies beyond it).
    const int white = 2 * line;
    return {white - 1 >= game_current, white >= game_current, white + 1 >= game_current};
}
