#include "ui/board_geometry.h"

#include <gtest/gtest.h>

#include <map>

// Known answers from the board window's description: squares 1-5 in columns 1, 3, 5, 7,
// 9 of the top row, squares 46-50 in columns 0, 2, 4, 6, 8 of the bottom row.
TEST(SquareGeometry, KnownOrigins) {
    EXPECT_EQ(square_origin(1), (Point{42, 0}));
    EXPECT_EQ(square_origin(5), (Point{378, 0}));
    EXPECT_EQ(square_origin(6), (Point{0, 42}));
    EXPECT_EQ(square_origin(46), (Point{0, 378}));
    EXPECT_EQ(square_origin(50), (Point{336, 378}));
}

TEST(SquareGeometry, KnownPixels) {
    EXPECT_EQ(square_at(50, 10), 1);
    EXPECT_EQ(square_at(10, 50), 6);
    EXPECT_EQ(square_at(419, 419), 0);  // a light square
    EXPECT_EQ(square_at(0, 0), 0);
    EXPECT_EQ(square_at(42, 0), 1);
    EXPECT_EQ(square_at(41, 0), 0);
}

TEST(SquareGeometry, EveryPixelOfASquareMapsBackToIt) {
    for (int square = 1; square <= SQUARE_COUNT; ++square) {
        const Point origin = square_origin(square);
        for (int dy = 0; dy < SQUARE_PIXELS; ++dy) {
            for (int dx = 0; dx < SQUARE_PIXELS; ++dx) {
                ASSERT_EQ(square_at(origin.x + dx, origin.y + dy), square)
                    << square << " +" << dx << "," << dy;
            }
        }
        EXPECT_EQ(square_at(square_centre(square).x, square_centre(square).y), square);
    }
}

TEST(SquareGeometry, HalfTheBoardIsPlayableAndEachSquareOnce) {
    std::map<int, int> pixels;
    for (int y = 0; y < BOARD_PIXELS; ++y) {
        for (int x = 0; x < BOARD_PIXELS; ++x) ++pixels[square_at(x, y)];
    }
    EXPECT_EQ(pixels[0], BOARD_PIXELS * BOARD_PIXELS / 2);
    for (int square = 1; square <= SQUARE_COUNT; ++square)
        EXPECT_EQ(pixels[square], SQUARE_PIXELS * SQUARE_PIXELS);
    EXPECT_EQ(pixels.size(), 51u);
}

TEST(SquareGeometry, OffTheBoardIsNoSquare) {
    for (const auto& [x, y] :
         {std::pair{-1, 10}, {10, -1}, {420, 10}, {50, 420}, {100000, 5}, {-100000, -5}}) {
        EXPECT_EQ(square_at(x, y), 0) << x << "," << y;
    }
    // A pixel right of the last column would otherwise compute a square of the next row.
    EXPECT_EQ(square_at(430, 42), 0);
}

TEST(SquareGeometry, NumbersOutsideTheBoardHaveNoPlace) {
    for (int square : {0, -1, 51, 1000}) {
        EXPECT_EQ(square_origin(square), (Point{-1, -1}));
        EXPECT_EQ(square_centre(square), (Point{-1, -1}));
    }
}

TEST(SquareImages, PiecesTakeTheirMask) {
    EXPECT_EQ(square_images(WHITE_MAN, false).piece_image, IMAGE_WHITE_MAN);
    EXPECT_EQ(square_images(WHITE_MAN, false).mask_image, IMAGE_MAN_MASK);
    EXPECT_EQ(square_images(BLACK_MAN, false).mask_image, IMAGE_MAN_MASK);
    EXPECT_EQ(square_images(WHITE_KING, false).mask_image, IMAGE_KING_MASK);
    EXPECT_EQ(square_images(BLACK_KING, true).piece_image, IMAGE_BLACK_KING);
    EXPECT_EQ(square_images(BLACK_KING, true).mask_image, IMAGE_KING_MASK);
}

TEST(SquareImages, MarkingChoosesTheSquarePicture) {
    EXPECT_EQ(square_images(EMPTY_SQUARE, false).square_image, IMAGE_EMPTY);
    EXPECT_EQ(square_images(EMPTY_SQUARE, true).square_image, IMAGE_MARKED);
    EXPECT_EQ(square_images(WHITE_MAN, true).square_image, IMAGE_MARKED);
}

TEST(SquareImages, CodesThatNameNoPieceDrawOnlyTheSquare) {
    for (int code : {int{EMPTY_SQUARE}, int{NO_SQUARE}, -3, 6, 99}) {
        const SquareImages images = square_images(code, false);
        EXPECT_EQ(images.square_image, IMAGE_EMPTY) << code;
        EXPECT_EQ(images.piece_image, -1) << code;
        EXPECT_EQ(images.mask_image, -1) << code;
    }
}

TEST(BoardPieces, StartPosition) {
    Board board;
    setup_initial_position(board);
    const BoardPieces pieces = board_pieces(board);
    for (int square = 1; square <= 20; ++square) EXPECT_EQ(pieces[square], BLACK_MAN) << square;
    for (int square = 21; square <= 30; ++square) EXPECT_EQ(pieces[square], EMPTY_SQUARE) << square;
    for (int square = 31; square <= 50; ++square) EXPECT_EQ(pieces[square], WHITE_MAN) << square;
}
