#include "ui/board_geometry.h"

Point square_origin(int square) {
    if (square < 1 || square > SQUARE_COUNT) return {-1, -1};
    const int row = (square - 1) / 5;
    const int column = 2 * ((square - 1) % 5) + (row % 2 == 0 ? 1 : 0);
    return {SQUARE_PIXELS * column, SQUARE_PIXELS * row};
}

Point square_centre(int square) {
    const Point origin = square_origin(square);
    if (origin.x < 0) return origin;
    return {origin.x + SQUARE_PIXELS / 2, origin.y + SQUARE_PIXELS / 2};
}

int square_at(int x, int y) {
    if (x < 0 || y < 0 || x >= BOARD_PIXELS || y >= BOARD_PIXELS) return 0;
    const int column = x / SQUARE_PIXELS;
    const int row = y / SQUARE_PIXELS;
    if ((row + column) % 2 == 0) return 0;
    return 5 * row + (column + 1) / 2 + row % 2;
}

SquareImages square_images(int piece, bool marked) {
    SquareImages images;
    images.square_image = marked ? IMAGE_MARKED : IMAGE_EMPTY;
    if (piece >= WHITE_MAN && piece <= BLACK_KING) {
        images.piece_image = piece;
        // Men have odd codes, kings even ones.
        images.mask_image = piece % 2 == 1 ? IMAGE_MAN_MASK : IMAGE_KING_MASK;
    }
    return images;
}

BoardPieces board_pieces(const Board& board) {
    BoardPieces pieces{};
    for (int square = 1; square <= SQUARE_COUNT; ++square)
        pieces[square] = piece_on_square(square, board);
    return pieces;
}
