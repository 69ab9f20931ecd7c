#pragma once
// The board window's geometry: 10 x 10 squares of 42 pixels, White at the bottom, never
// scaled or turned. Square numbers 1-50 are the dark squares, row by row from the top,
// each row left to right; squares 1-5 sit in columns 1, 3, 5, 7, 9 of row 0 and
// squares 46-50 in columns 0, 2, 4, 6, 8 of row 9.

#include <array>

#include "engine/board/board.h"

inline constexpr int SQUARE_PIXELS = 42;
inline constexpr int BOARD_SQUARES = 10;
inline constexpr int BOARD_PIXELS = SQUARE_PIXELS * BOARD_SQUARES;
inline constexpr int SQUARE_COUNT = 50;

// The board tile covers 2 x 2 squares and is laid 5 x 5 times.
inline constexpr int TILE_PIXELS = 2 * SQUARE_PIXELS;
inline constexpr int TILES_PER_SIDE = BOARD_PIXELS / TILE_PIXELS;

// Pieces are 41 x 41: the square's last pixel column and row keep the square's picture.
inline constexpr int PIECE_PIXELS = 41;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Top-left pixel of square 1-50; (-1, -1) for any other number.
Point square_origin(int square);
// The middle pixel of square 1-50, where a click surely lands on it.
Point square_centre(int square);
// The square under client pixel (x, y): 1-50, or 0 for a light square or a pixel off
// the board.
int square_at(int x, int y);

// Board image table, in the order the images are loaded.
enum BoardImage : int {
    IMAGE_TILE = 0,
    IMAGE_WHITE_MAN = 1,  // the piece codes 1-4 index the pieces directly
    IMAGE_WHITE_KING = 2,
    IMAGE_BLACK_MAN = 3,
    IMAGE_BLACK_KING = 4,
    IMAGE_EMPTY = 5,
    IMAGE_MARKED = 6,
    IMAGE_MAN_MASK = 7,
    IMAGE_KING_MASK = 8,
    BOARD_IMAGE_COUNT = 9,
};

// What one square shows: the square image, and the piece picture with its mask drawn
// over it (the piece image is -1 for an empty square or a code that names no piece).
struct SquareImages {
    int square_image = IMAGE_EMPTY;
    int piece_image = -1;
    int mask_image = -1;
};
SquareImages square_images(int piece, bool marked);

// The piece code (piece_on_square) of every square; index 0 is unused.
using BoardPieces = std::array<int, SQUARE_COUNT + 1>;
BoardPieces board_pieces(const Board& board);
