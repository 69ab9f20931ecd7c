#include "ui/board_geometry.h"

#include <gtest/gtest.h>

// Known answers: squares 1-5 in columns 1, 3, 5, 7, 9 of the top row, squares 46-50 in
// columns 0, 2, 4, 6, 8 of the bottom row.
TEST(SquareGeometry, KnownOriginsAndPixels) {
    EXPECT_EQ(square_origin(1), (Point{42, 0}));
    EXPECT_EQ(square_origin(6), (Point{0, 42}));
    EXPECT_EQ(square_origin(46), (Point{0, 378}));
    EXPECT_EQ(square_origin(50), (Point{336, 378}));
    EXPECT_EQ(square_at(50, 10), 1);
    EXPECT_EQ(square_at(10, 50), 6);
    EXPECT_EQ(square_at(419, 419), 0);  // a light square
    EXPECT_EQ(square_at(41, 0), 0);
    for (int square : {0, -1, 51}) {
        EXPECT_EQ(square_origin(square), (Point{-1, -1}));
        EXPECT_EQ(square_centre(square), (Point{-1, -1}));
    }
}

// Every pixel of a square maps back to it, and so the light half of the board to none.
TEST(SquareGeometry, EveryPixelMapsBackToItsSquare) {
    for (int square = 1; square <= SQUARE_COUNT; ++square) {
        const Point origin = square_origin(square);
        for (int dy = 0; dy < SQUARE_PIXELS; ++dy) {
            for (int dx = 0; dx < SQUARE_PIXELS; ++dx) {
                ASSERT_EQ(square_at(origin.x + dx, origin.y + dy), square)
                    << square << " +" << dx << "," << dy;
            }
        }
    }
    int light = 0;
    for (int y = 0; y < BOARD_PIXELS; ++y) {
        for (int x = 0; x < BOARD_PIXELS; ++x) light += square_at(x, y) == 0;
    }
    EXPECT_EQ(light, BOARD_PIXELS * BOARD_PIXELS / 2);
    // Off the board; right of the last column would otherwise compute the next row.
    for (const auto& [x, y] : {std::pair{-1, 10}, {10, -1}, {420, 10}, {50, 420}, {430, 42}})
        EXPECT_EQ(square_at(x, y), 0) << x << "," << y;
}

// Men on plain squares are the window test's; here kings, marks and codes of no piece.
TEST(SquareImages, PieceWithItsMaskOverTheSquarePicture) {
    struct Case {
        int piece;
        bool marked;
        SquareImages images;
    };
    const Case cases[] = {
        {WHITE_KING, false, {IMAGE_EMPTY, IMAGE_WHITE_KING, IMAGE_KING_MASK}},
        {BLACK_KING, true, {IMAGE_MARKED, IMAGE_BLACK_KING, IMAGE_KING_MASK}},
        {EMPTY_SQUARE, true, {IMAGE_MARKED, -1, -1}},
        {99, false, {IMAGE_EMPTY, -1, -1}},
    };
    for (const Case& c : cases) {
        const SquareImages images = square_images(c.piece, c.marked);
        EXPECT_EQ(images.square_image, c.images.square_image) << c.piece;
        EXPECT_EQ(images.piece_image, c.images.piece_image) << c.piece;
        EXPECT_EQ(images.mask_image, c.images.mask_image) << c.piece;
    }
}
