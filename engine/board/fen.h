#pragma once
// Positions as draughts FEN text: "W:W31-50:B1-20" - the side to move, then the
// white and the black pieces as comma-separated squares or ranges, kings marked K
// ("B:W18,24,27,K46:B12,13,K5"). Either colour list may come first or be empty.

#include <string>
#include <string_view>

#include "engine/board/board.h"

// Reads `text` into board and side. On bad input returns false, leaves board and side
// unchanged and says why in `error`.
bool parse_fen(std::string_view text, Board& board, Side& side, std::string& error);

std::string to_fen(const Board& board, Side side);
