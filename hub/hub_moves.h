#pragma once
// Moves as Hub lines write them: "32-28" for a quiet move, "28x19x23" for a capture
// (from, to, then the captured squares ascending). The engine writes them this way and
// the match referee reads them back against the legal moves of the position.

#include <string>

#include "engine/board/board.h"

// The text of a listed move of `position` (whose side to move is `side`).
std::string hub_move_text(const PlyRecord& position, Side side, const MoveRecord& move);

// The legal move of `position` (its moves generated) that a Hub move text names: from,
// to and, for a capture, the captured squares in any order (without them the first
// capture from there to there). nullptr when the text is malformed or names no move.
const MoveRecord* find_hub_move(const PlyRecord& position, Side side, const std::string& text);
