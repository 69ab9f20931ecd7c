#pragma once
// Positions in and out as FEN ("W:W31-50:B1-20", kings marked K): Edit > Copy position,
// Edit > Paste position and a FEN line typed in the Command window.

#include <string>
#include <string_view>

// The game position as FEN.
std::string position_fen();

// Sets the board up from `text`, a FEN or a PDN FEN tag ([FEN "..."]), as set-up mode
// does: outside set-up mode a new game starts from it; in set-up mode it becomes the
// board being set up. A text that is no position is reported under `caption` and
// changes nothing; false then.
bool set_up_position(std::string_view text, const std::string& caption);

// A line typed in the Command window that is meant as a position: it starts with the
// side to move and a colon ("W:", "B:") or with a FEN tag.
bool is_fen_line(std::string_view line);
