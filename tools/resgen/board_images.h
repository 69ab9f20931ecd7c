#pragma once
// The board window's pictures: the board tile, the empty and the marked dark square, the
// four pieces and their two masks.
//
// The board window draws a piece over its square with three raster operations: the piece
// with XOR, the mask with AND, the piece with XOR again. Where the mask is black that leaves
// the piece's pixel, where it is white the square's pixel. So the piece pictures are
// finished pictures of the piece on the plain dark square inside the mask, and black outside
// it (which also lets a toolkit draw them with the mask as alpha). Each piece is also written
// with a real alpha channel for a layer that prefers plain compositing.

#include <QImage>
#include <QPainter>
#include <array>

#include "tools/resgen/output.h"

namespace resgen {

constexpr int SQUARE_SIZE = 42;  // one board square, in pixels
constexpr int PIECE_SIZE = 41;   // pieces keep the square's last column and row free

enum PieceIndex { WHITE_MAN, WHITE_KING, BLACK_MAN, BLACK_KING };

struct BoardImages {
    QImage tile;                   // "BMImage2": 2 x 2 squares, dark at top right and bottom left
    QImage empty;                  // "BMIem": the plain dark square
    QImage marked;                 // "BMIem2": the dark square of a selected piece
    std::array<QImage, 4> pieces;  // "BMIws", "BMIwk", "BMIbs", "BMIbk" for the raster ops
    std::array<QImage, 4> alpha;   // the same pieces on a transparent background
    QImage man_mask;               // "BMImask"
    QImage king_mask;              // "BMImask2"
};

BoardImages make_board_images();

// Checks the contracts above (sizes, masks strictly black and white, pieces black outside
// their masks, the tile's dark squares identical to the empty square) and writes every
// picture under images/.
void write_board_images(const Output& out, const BoardImages& images);

// A whole board drawn the way the board window draws it (tile, then every playing square
// with its piece through the raster operations), for the help document. pieces[s] holds
// the piece code of square s (1-50): 1-4 as PieceIndex + 1, 5 empty; marked_square is
// drawn as the selected square (0: none).
using Position = std::array<int, 51>;
QImage board_picture(const BoardImages& images, const Position& pieces, int marked_square);
Position start_position();

// Paints one piece in a 41 x 41 unit space (the board's piece picture); scale the painter
// for other sizes. Used for the application icon.
void paint_piece(QPainter& p, PieceIndex piece);

}  // namespace resgen
