#include "tools/resgen/program_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "tools/resgen/board_images.h"

namespace resgen {
namespace {

constexpr int OVERSAMPLE = 4;

void cursor_lines(QPainter& p, const QColor& colour, double width) {
    const QPointF c(CURSOR_HOTSPOT.x() + 0.5, CURSOR_HOTSPOT.y() + 0.5);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 7.0, 7.0);
    // The hairs stop short of the middle, which stays open over the square being picked.
    const double inner = 3.0, outer = 12.0;
    p.drawLine(QPointF(c.x(), c.y() - outer), QPointF(c.x(), c.y() - inner));
    p.drawLine(QPointF(c.x(), c.y() + inner), QPointF(c.x(), c.y() + outer));
    p.drawLine(QPointF(c.x() - outer, c.y()), QPointF(c.x() - inner, c.y()));
    p.drawLine(QPointF(c.x() + inner, c.y()), QPointF(c.x() + outer, c.y()));
}

// The board corner behind the pieces: 2 x 2 squares in the board's colours, rounded; at
// the small sizes one dark square, against which the white piece stands out better.
void icon_background(QPainter& p, bool checkered) {
    QPainterPath corner;
    corner.addRoundedRect(QRectF(10, 10, 236, 236), 44, 44);
    p.save();
    p.setClipPath(corner);
    const QColor light(0xE9, 0xD2, 0xA6), dark(0x9A, 0x68, 0x3C);
    p.fillRect(QRectF(10, 10, 236, 236), dark);
    if (checkered) {
        p.fillRect(QRectF(10, 10, 118, 118), light);
        p.fillRect(QRectF(128, 128, 118, 118), light);
    }
    p.restore();
    p.setPen(QPen(QColor(0x5A, 0x3A, 0x1A), 8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(corner);
}

// A piece with its soft shadow, centred at centre with the given diameter (256-unit space).
void icon_piece(QPainter& p, PieceIndex piece, QPointF centre, double diameter) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(centre + QPointF(diameter * 0.04, diameter * 0.06), diameter * 0.47,
                  diameter * 0.47);
    p.save();
    p.translate(centre - QPointF(diameter / 2, diameter / 2));
    p.scale(diameter / PIECE_SIZE, diameter / PIECE_SIZE);
    paint_piece(p, piece);
    p.restore();
}

}  // namespace

QImage make_board_cursor() {
    QImage cursor(CURSOR_SIZE, CURSOR_SIZE, QImage::Format_ARGB32_Premultiplied);
    cursor.fill(Qt::transparent);
    {
        // Without antialiasing: a cursor has to be crisp, and grey edge pixels would only
        // blur the ring.
        QPainter p(&cursor);
        cursor_lines(p, Qt::white, 3.0);
        cursor_lines(p, Qt::black, 1.0);
        p.fillRect(QRect(CURSOR_HOTSPOT - QPoint(1, 1), QSize(3, 3)), Qt::white);
        p.fillRect(QRect(CURSOR_HOTSPOT, QSize(1, 1)), Qt::black);
    }
    QImage result = cursor.convertToFormat(QImage::Format_ARGB32);
    result.setText("Hotspot", QString("%1,%2").arg(CURSOR_HOTSPOT.x()).arg(CURSOR_HOTSPOT.y()));
    return result;
}

QImage make_application_icon(int size) {
    const int big = size * OVERSAMPLE;
    QImage canvas(big, big, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(big / 256.0, big / 256.0);
        icon_background(p, size >= 48);
        if (size >= 48) {
            icon_piece(p, BLACK_MAN, QPointF(98, 98), 132);
            icon_piece(p, WHITE_KING, QPointF(152, 152), 168);
        } else {
            // Two pieces would only blur together at the smallest sizes.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x2A, 0x1A, 0x0A));
            p.drawEllipse(QPointF(128, 128), 112, 112);
            icon_piece(p, WHITE_KING, QPointF(128, 128), 208);
        }
    }
    return canvas.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

void write_program_icons(const Output& out) {
    const QImage cursor = make_board_cursor();
    require(cursor.size() == QSize(CURSOR_SIZE, CURSOR_SIZE), "the cursor is 32 x 32");
    require(qAlpha(cursor.pixel(CURSOR_HOTSPOT)) == 255, "the cursor's hotspot pixel is opaque");
    out.png("images/board_cursor.png", cursor);
    for (const int size : ICON_SIZES) {
        out.png(QString("images/icon/vantor_%1.png").arg(size), make_application_icon(size));
    }
}

}  // namespace resgen
