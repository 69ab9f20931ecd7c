#pragma once

// A slow move generator written straight from the rules of international
// draughts, square by square. The tests use it to cross-check the real one, so
// it must stay simple enough to be checked by reading.

#include <array>
#include <vector>

namespace reference {

enum class Piece : char {
    None = '.',
    WhiteMan = 'w',
    WhiteKing = 'W',
    BlackMan = 'b',
    BlackKing = 'B'
};

// Piece::None is '.', not zero, so a value-initialised array would not be empty.
constexpr std::array<Piece, 51> empty_squares() {
    std::array<Piece, 51> squares{};
    squares.fill(Piece::None);
    return squares;
}

struct Position {
    // index 1..50 are the playing squares; index 0 unused (None)
    std::array<Piece, 51> squares = empty_squares();
    bool white_to_move = true;
};

struct Move {
    int from = 0;
    int to = 0;
    std::vector<int> captured;  // captured squares, ascending square number
};

// One entry per capture path: two different routes that take the same pieces
// and end on the same square are both listed.
std::vector<Move> legal_moves(const Position& position);

// The result has the other side to move.
Position play(const Position& position, const Move& move);

Position start_position();

}  // namespace reference
