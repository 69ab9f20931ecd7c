#pragma once
// Moves as PDN writes them, matched against the legal moves of a position.
//
// A quiet move is "32-28". A capture is "28x19" (from and to) or, where two captures with
// the same from and to squares take different pieces, "47x38x24x13x36": the squares where
// the capturing piece turns, and where it goes on straight the square just behind the
// piece it took. When reading, any landing squares of the path are accepted, in order,
// and ':' serves as well as 'x'.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/board/board.h"

// The squares of a written move in order: from, the landing squares given, to.
struct WrittenMove {
    static constexpr int MAX_SQUARES = 32;
    std::array<std::uint8_t, MAX_SQUARES> squares;  // the first `count` hold squares
    int count = 0;
    bool capture_separator = false;  // written with 'x' or ':'
};
// "32-28", "28x19", "28x19x10", "28:19", or "3228" without a separator; false for anything
// else, a square outside 1-50 included.
bool parse_written_move(std::string_view text, WrittenMove& move);

enum class MoveMatch { FOUND, NOT_LEGAL, AMBIGUOUS };

// Looks the written move up in the legal moves generated in `position`. Paths that take
// the same pieces to the same square are one move: the first of them is taken.
MoveMatch match_written_move(const PlyRecord& position, const WrittenMove& written, int& index);

// The text of the listed move `index`: the short form, or the capture with its landing
// squares where the short form would fit another capture too.
std::string pdn_move_text(const PlyRecord& position, int index);

// The pieces a listed move takes (empty for a quiet move).
Bitboard captured_pieces(const PlyRecord& position, const MoveRecord& move);
