#pragma once
// Move texts as the command-line tool and the tests print them: "32-28" for a quiet
// move, "28x19" for a capture, and the long capture form "26x48 (31,42)" with the
// taken squares ascending.

#include <string>

#include "engine/board/board.h"

std::string move_text(const MoveRecord& move);
// The move with its captured squares; `record` is the position the move is made from.
std::string move_text_with_captures(const PlyRecord& record, const MoveRecord& move);
