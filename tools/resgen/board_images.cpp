#include "tools/resgen/board_images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace resgen {
namespace {

// Pieces are painted this many times larger and scaled down by area averaging, which
// keeps the thin engraved rings sharp without jagged edges.
constexpr int OVERSAMPLE = 4;

// Maple for the light squares, walnut for the dark ones: warm and quiet, with enough
// contrast between them and against both colours of pieces.
constexpr QRgb LIGHT_WOOD = qRgb(0xE9, 0xD2, 0xA6);
constexpr QRgb DARK_WOOD = qRgb(0x9A, 0x68, 0x3C);

QRgb scaled_colour(QRgb colour, double factor) {
    auto channel = [factor](int c) {
        return std::clamp(static_cast<int>(std::lround(c * factor)), 0, 255);
    };
    return qRgb(channel(qRed(colour)), channel(qGreen(colour)), channel(qBlue(colour)));
}

// A fine, wavy grain that depends only on the pixel's place inside its square, so every
// dark square of the tile is the same picture as the empty-square image that later covers
// it, and the board shows no seams.
QRgb wood_pixel(QRgb base, int x, int y, double phase, double depth) {
    const double wave = 2.4 * std::sin(x * 0.13 + phase) + 1.1 * std::sin(x * 0.37 + 2 * phase);
    const double grain = 0.5 + 0.5 * std::sin((y + wave) * 2 * std::numbers::pi / 5.7 + phase);
    const double fine = 0.5 + 0.5 * std::sin((y * 1.9 + wave * 0.7) * 2 * std::numbers::pi / 3.1);
    const double shade = 1.0 + 0.018 * (x - SQUARE_SIZE / 2.0) / SQUARE_SIZE;
    return scaled_colour(base, shade * (1.0 - depth * (0.7 * grain + 0.3 * fine)));
}

QImage wood_square(QRgb base, double phase, double depth) {
    QImage square(SQUARE_SIZE, SQUARE_SIZE, QImage::Format_RGB32);
    for (int y = 0; y < SQUARE_SIZE; ++y) {
        for (int x = 0; x < SQUARE_SIZE; ++x) {
            square.setPixel(x, y, wood_pixel(base, x, y, phase, depth));
        }
    }
    return square;
}

QImage light_square() {
    return wood_square(LIGHT_WOOD, 0.4, 0.045);
}
QImage dark_square() {
    return wood_square(DARK_WOOD, 1.7, 0.07);
}

QImage make_tile() {
    QImage tile(2 * SQUARE_SIZE, 2 * SQUARE_SIZE, QImage::Format_RGB32);
    QPainter p(&tile);
    // Row + column odd is a playing square: top right and bottom left.
    p.drawImage(0, 0, light_square());
    p.drawImage(SQUARE_SIZE, 0, dark_square());
    p.drawImage(0, SQUARE_SIZE, dark_square());
    p.drawImage(SQUARE_SIZE, SQUARE_SIZE, light_square());
    return tile;
}

// The selected piece's square: a warm amber glow with a bright edge. The piece covers the
// middle, so the colour has to carry in the corners and along the border.
QImage make_marked_square() {
    QImage square = dark_square();
    QPainter p(&square);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(21, 21), 30);
    glow.setColorAt(0.0, QColor(0xF2, 0xC1, 0x4E, 150));
    glow.setColorAt(1.0, QColor(0xF7, 0xB7, 0x33, 235));
    p.fillRect(square.rect(), glow);
    p.setPen(QPen(QColor(0xFF, 0xEC, 0xA0), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, SQUARE_SIZE - 2, SQUARE_SIZE - 2));
    p.setPen(QPen(QColor(0x7A, 0x4A, 0x10, 160), 1.0));
    p.drawRect(QRectF(2.5, 2.5, SQUARE_SIZE - 5, SQUARE_SIZE - 5));
    return square;
}

struct PieceColours {
    QColor outline, side_top, side_bottom, face_light, face_dark, groove, groove_light;
};

const PieceColours IVORY = {QColor(0x4A, 0x36, 0x22),     QColor(0xE6, 0xD8, 0xBC),
                            QColor(0xA8, 0x8F, 0x6A),     QColor(0xFF, 0xFB, 0xF0),
                            QColor(0xE4, 0xD4, 0xB4),     QColor(0x8E, 0x76, 0x55, 200),
                            QColor(0xFF, 0xFF, 0xFF, 170)};

const PieceColours EBONY = {QColor(0x05, 0x04, 0x04),     QColor(0x6A, 0x60, 0x5A),
                            QColor(0x1A, 0x16, 0x14),     QColor(0x55, 0x4D, 0x48),
                            QColor(0x1C, 0x19, 0x17),     QColor(0x00, 0x00, 0x00, 210),
                            QColor(0x8A, 0x80, 0x78, 150)};

constexpr double CENTRE = PIECE_SIZE / 2.0;  // 20.5: the middle of the 41-pixel picture
constexpr double RADIUS = 18.6;

void engraved_ring(QPainter& p, const PieceColours& c, double radius) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.groove_light, 0.7));
    p.drawEllipse(QPointF(CENTRE + 0.45, CENTRE + 0.55), radius, radius);
    p.setPen(QPen(c.groove, 0.8));
    p.drawEllipse(QPointF(CENTRE, CENTRE), radius, radius);
}

void paint_crown(QPainter& p) {
    QPainterPath crown;
    crown.moveTo(13.4, 25.0);
    crown.lineTo(11.6, 16.6);
    crown.lineTo(16.6, 20.6);
    crown.lineTo(20.5, 13.8);
    crown.lineTo(24.4, 20.6);
    crown.lineTo(29.4, 16.6);
    crown.lineTo(27.6, 25.0);
    crown.closeSubpath();
    crown.addRoundedRect(QRectF(13.0, 25.0, 15.0, 3.4), 1.0, 1.0);
    for (const QPointF tip : {QPointF(11.6, 16.0), QPointF(20.5, 13.2), QPointF(29.4, 16.0)}) {
        crown.addEllipse(tip, 1.55, 1.55);
    }
    QLinearGradient gold(QPointF(0, 13), QPointF(0, 28.5));
    gold.setColorAt(0.0, QColor(0xFF, 0xE8, 0x8A));
    gold.setColorAt(0.55, QColor(0xF0, 0xBE, 0x3C));
    gold.setColorAt(1.0, QColor(0xB8, 0x7E, 0x18));
    p.setPen(QPen(QColor(0x4E, 0x30, 0x06), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(gold);
    p.drawPath(crown.simplified());
    // Three jewels on the band.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0x1E, 0x24));
    p.drawEllipse(QPointF(20.5, 26.7), 1.1, 1.0);
    p.setBrush(QColor(0x1E, 0x5A, 0xB0));
    p.drawEllipse(QPointF(16.4, 26.7), 0.9, 0.9);
    p.drawEllipse(QPointF(24.6, 26.7), 0.9, 0.9);
}

}  // namespace

void paint_piece(QPainter& p, PieceIndex piece) {
    const bool white = piece == WHITE_MAN || piece == WHITE_KING;
    const bool king = piece == WHITE_KING || piece == BLACK_KING;
    const PieceColours& c = white ? IVORY : EBONY;
    const QPointF centre(CENTRE, CENTRE);
    p.setPen(Qt::NoPen);
    p.setBrush(c.outline);
    p.drawEllipse(centre, RADIUS, RADIUS);
    // The bevelled side: lit from the top left.
    QLinearGradient side(QPointF(CENTRE - 10, CENTRE - 14), QPointF(CENTRE + 10, CENTRE + 14));
    side.setColorAt(0.0, c.side_top);
    side.setColorAt(1.0, c.side_bottom);
    p.setBrush(side);
    p.drawEllipse(centre, RADIUS - 1.0, RADIUS - 1.0);
    QRadialGradient face(QPointF(CENTRE - 4, CENTRE - 5), 19, QPointF(CENTRE - 6, CENTRE - 7));
    face.setColorAt(0.0, c.face_light);
    face.setColorAt(1.0, c.face_dark);
    p.setBrush(face);
    p.drawEllipse(centre, RADIUS - 3.2, RADIUS - 3.2);
    engraved_ring(p, c, RADIUS - 3.2);
    engraved_ring(p, c, 11.2);
    if (king) {
        paint_crown(p);
    } else {
        engraved_ring(p, c, 5.6);
    }
    // A soft highlight on the upper left of the face.
    QRadialGradient shine(QPointF(CENTRE - 6.5, CENTRE - 7.5), 7.5);
    shine.setColorAt(0.0, QColor(255, 255, 255, white ? 110 : 60));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(QPointF(CENTRE - 6.5, CENTRE - 7.5), 7.5, 7.5);
}

namespace {

// A transparent picture of the piece at size x size pixels, via the oversampled painting.
QImage render_piece(PieceIndex piece, int size) {
    const int big = size * OVERSAMPLE;
    QImage canvas(big, big, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(static_cast<double>(big) / PIECE_SIZE, static_cast<double>(big) / PIECE_SIZE);
        paint_piece(p, piece);
    }
    return canvas.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

// Black where the piece covers at least half a pixel, white elsewhere.
QImage mask_of(const QImage& alpha) {
    QImage mask(alpha.size(), QImage::Format_RGB32);
    for (int y = 0; y < alpha.height(); ++y) {
        for (int x = 0; x < alpha.width(); ++x) {
            mask.setPixel(x, y,
                          qAlpha(alpha.pixel(x, y)) >= 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return mask;
}

// The piece over the plain dark square inside its mask, black outside it.
QImage raster_op_piece(const QImage& alpha, const QImage& mask, const QImage& square) {
    QImage over = square.copy(0, 0, PIECE_SIZE, PIECE_SIZE).convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&over);
        p.drawImage(0, 0, alpha);
    }
    for (int y = 0; y < PIECE_SIZE; ++y) {
        for (int x = 0; x < PIECE_SIZE; ++x) {
            if (qRed(mask.pixel(x, y)) != 0) over.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return over;
}

// The board window's three raster operations on the 24-bit colour values.
void draw_with_raster_ops(QImage& target, int x0, int y0, const QImage& piece, const QImage& mask) {
    for (int y = 0; y < piece.height(); ++y) {
        for (int x = 0; x < piece.width(); ++x) {
            const QRgb d = target.pixel(x0 + x, y0 + y) & 0xFFFFFF;
            const QRgb s = piece.pixel(x, y) & 0xFFFFFF;
            const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
            target.setPixel(x0 + x, y0 + y, 0xFF000000 | (((d ^ s) & m) ^ s));
        }
    }
}

bool same_pixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

bool strictly_black_and_white(const QImage& mask) {
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb v = mask.pixel(x, y) & 0xFFFFFF;
            if (v != 0 && v != 0xFFFFFF) return false;
        }
    }
    return true;
}

bool black_outside_mask(const QImage& piece, const QImage& mask) {
    for (int y = 0; y < piece.height(); ++y) {
        for (int x = 0; x < piece.width(); ++x) {
            if ((mask.pixel(x, y) & 0xFFFFFF) != 0 && (piece.pixel(x, y) & 0xFFFFFF) != 0) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

BoardImages make_board_images() {
    BoardImages images;
    images.tile = make_tile();
    images.empty = dark_square();
    images.marked = make_marked_square();
    for (int i = 0; i < 4; ++i) {
        images.alpha[i] = render_piece(static_cast<PieceIndex>(i), PIECE_SIZE);
    }
    // Men and kings share the round outline; each kind still gets its own mask picture.
    images.man_mask = mask_of(images.alpha[WHITE_MAN]);
    images.king_mask = mask_of(images.alpha[WHITE_KING]);
    for (int i = 0; i < 4; ++i) {
        const bool king = i == WHITE_KING || i == BLACK_KING;
        images.pieces[i] = raster_op_piece(images.alpha[i],
                                           king ? images.king_mask : images.man_mask, images.empty);
    }
    return images;
}

void write_board_images(const Output& out, const BoardImages& images) {
    require(images.tile.size() == QSize(84, 84), "board tile is 84 x 84");
    require(same_pixels(images.tile.copy(SQUARE_SIZE, 0, SQUARE_SIZE, SQUARE_SIZE), images.empty),
            "the tile's top-right square is the empty dark square");
    require(same_pixels(images.tile.copy(0, SQUARE_SIZE, SQUARE_SIZE, SQUARE_SIZE), images.empty),
            "the tile's bottom-left square is the empty dark square");
    require(strictly_black_and_white(images.man_mask) && strictly_black_and_white(images.king_mask),
            "masks hold only black and white");
    const char* names[4] = {"bmiws", "bmiwk", "bmibs", "bmibk"};
    for (int i = 0; i < 4; ++i) {
        const bool king = i == WHITE_KING || i == BLACK_KING;
        const QImage& mask = king ? images.king_mask : images.man_mask;
        require(images.pieces[i].size() == QSize(PIECE_SIZE, PIECE_SIZE), "pieces are 41 x 41");
        require(black_outside_mask(images.pieces[i], mask), "pieces are black outside the mask");
        out.png(QString("images/%1.png").arg(names[i]), images.pieces[i]);
        out.png(QString("images/%1_alpha.png").arg(names[i]), images.alpha[i]);
    }
    out.png("images/bmimage2.png", images.tile);
    out.png("images/bmiem.png", images.empty);
    out.png("images/bmiem2.png", images.marked);
    out.png("images/bmimask.png", images.man_mask);
    out.png("images/bmimask2.png", images.king_mask);
}

Position start_position() {
    Position pieces{};
    for (int square = 1; square <= 50; ++square) {
        pieces[square] = square <= 20 ? BLACK_MAN + 1 : square >= 31 ? WHITE_MAN + 1 : 5;
    }
    return pieces;
}

QImage board_picture(const BoardImages& images, const Position& pieces, int marked_square) {
    QImage board(10 * SQUARE_SIZE, 10 * SQUARE_SIZE, QImage::Format_RGB32);
    {
        QPainter p(&board);
        for (int j = 0; j < 5; ++j) {
            for (int i = 0; i < 5; ++i)
                p.drawImage(i * images.tile.width(), j * images.tile.height(), images.tile);
        }
    }
    for (int square = 1; square <= 50; ++square) {
        const int row = (square - 1) / 5;
        const int column = 2 * ((square - 1) % 5) + (row % 2 == 0 ? 1 : 0);
        const int x = column * SQUARE_SIZE;
        const int y = row * SQUARE_SIZE;
        QPainter(&board).drawImage(x, y, square == marked_square ? images.marked : images.empty);
        const int code = pieces[square];
        if (code >= 1 && code <= 4) {
            const QImage& mask = code % 2 == 1 ? images.man_mask : images.king_mask;
            draw_with_raster_ops(board, x, y, images.pieces[code - 1], mask);
        }
    }
    return board;
}

}  // namespace resgen
