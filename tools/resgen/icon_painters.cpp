#include "tools/resgen/icon_painters.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace resgen::icons {
namespace {

const QColor INK(0x2B, 0x2B, 0x2B);
const QColor PAPER(0xFF, 0xFF, 0xFF);
const QColor FOLDER_LINE(0x7A, 0x54, 0x12);
const QColor WINDOW_LINE(0x4A, 0x50, 0x5A);
const QColor TITLE_BLUE(0x3B, 0x6F, 0xC4);
const QColor ARROW_BLUE(0x2F, 0x6F, 0xC8);
const QColor ARROW_GREEN(0x2E, 0x9B, 0x46);

// A rectangle covering the pixels [x, x + w) x [y, y + h), with a one-pixel border drawn
// on its outermost pixels.
void box(QPainter& p, int x, int y, int w, int h, const QBrush& fill, const QColor& line) {
    p.setPen(QPen(line, 1.0));
    p.setBrush(fill);
    p.drawRect(QRectF(x + 0.5, y + 0.5, w - 1, h - 1));
}

void pixels(QPainter& p, int x, int y, int w, int h, const QColor& colour) {
    p.fillRect(QRect(x, y, w, h), colour);
}

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line,
           double width = 1.0) {
    p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// A small window with a blue title bar, as the program's own child windows look.
void window_frame(QPainter& p, const QColor& body) {
    box(p, 0, 1, 16, 13, body, WINDOW_LINE);
    pixels(p, 1, 2, 14, 2, TITLE_BLUE);
}

// A filled triangular arrow head with its tip at tip, pointing away from from.
void arrow_head(QPainter& p, QPointF from, QPointF tip, double length, double half_width,
                const QColor& colour) {
    const QPointF d = tip - from;
    const double n = std::hypot(d.x(), d.y());
    const QPointF u(d.x() / n, d.y() / n);
    const QPointF base = tip - u * length;
    const QPointF side(-u.y() * half_width, u.x() * half_width);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip, base + side, base - side}));
}

// Pixel art: one string per row, 'X' the line colour, 'O' the fill, anything else clear.
void sprite(QPainter& p, int x, int y, std::initializer_list<const char*> rows, const QColor& line,
            const QColor& fill) {
    for (const char* row : rows) {
        for (int i = 0; row[i] != '\0'; ++i) {
            if (row[i] == 'X') pixels(p, x + i, y, 1, 1, line);
            if (row[i] == 'O') pixels(p, x + i, y, 1, 1, fill);
        }
        ++y;
    }
}

// A player: head and shoulders, light for White's side, dark for Black's. Drawn pixel by
// pixel: at this size a painted circle of a head only blurs.
void person(QPainter& p, int x, bool light) {
    const QColor fill = light ? QColor(0xFB, 0xF6, 0xEA) : QColor(0x3A, 0x3A, 0x3A);
    const QColor line = light ? QColor(0x4A, 0x40, 0x30) : QColor(0x00, 0x00, 0x00);
    sprite(p, x, 1,
           {"..XXX..", ".XOOOX.", ".XOOOX.", ".XOOOX.", "..XXX..", ".......", "..XXX..", ".XOOOX.",
            "XOOOOOX", "XOOOOOX", "XOOOOOX", "XOOOOOX", "XXXXXXX"},
           line, fill);
}

// A computer: a monitor on a foot, its case light for White's side, dark for Black's.
void computer(QPainter& p, int x, bool light) {
    const QColor fill = light ? QColor(0xEC, 0xE8, 0xDE) : QColor(0x3A, 0x3A, 0x3A);
    const QColor line = light ? QColor(0x4A, 0x40, 0x30) : QColor(0x00, 0x00, 0x00);
    box(p, x, 2, 7, 7, fill, line);
    pixels(p, x + 2, 4, 3, 3, QColor(0x4F, 0x9A, 0xE6));
    pixels(p, x + 3, 9, 1, 2, line);
    box(p, x + 1, 11, 5, 2, fill, line);
}

}  // namespace

void open(QPainter& p) {
    shape(p, polygon({{1.5, 12.5}, {1.5, 2.5}, {5.5, 2.5}, {6.5, 3.5}, {12.5, 3.5}, {12.5, 12.5}}),
          QColor(0xE2, 0xAE, 0x3E), FOLDER_LINE);
    shape(p, polygon({{1.5, 12.5}, {3.5, 6.5}, {15.5, 6.5}, {13.5, 12.5}}),
          QColor(0xF8, 0xD7, 0x75), FOLDER_LINE);
}

void save(QPainter& p) {
    shape(p, polygon({{1.5, 1.5}, {13.5, 1.5}, {14.5, 2.5}, {14.5, 13.5}, {1.5, 13.5}}),
          QColor(0x3F, 0x6F, 0xB8), QColor(0x1D, 0x3A, 0x6E));
    pixels(p, 4, 2, 7, 4, QColor(0xD5, 0xD9, 0xE0));
    pixels(p, 8, 3, 2, 2, QColor(0x3F, 0x6F, 0xB8));
    pixels(p, 3, 8, 10, 5, PAPER);
    pixels(p, 4, 9, 8, 1, QColor(0xA0, 0xA8, 0xB8));
    pixels(p, 4, 11, 8, 1, QColor(0xA0, 0xA8, 0xB8));
}

void print(QPainter& p) {
    box(p, 4, 0, 8, 6, PAPER, QColor(0x66, 0x66, 0x66));
    QLinearGradient metal(QPointF(0, 5), QPointF(0, 12));
    metal.setColorAt(0, QColor(0xD2, 0xD6, 0xDC));
    metal.setColorAt(1, QColor(0x94, 0x99, 0xA2));
    box(p, 1, 5, 14, 7, metal, QColor(0x44, 0x48, 0x50));
    pixels(p, 3, 9, 10, 1, QColor(0x30, 0x30, 0x30));
    box(p, 4, 9, 8, 6, PAPER, QColor(0x66, 0x66, 0x66));
    pixels(p, 5, 11, 6, 1, QColor(0x90, 0x90, 0x90));
    pixels(p, 12, 6, 2, 1, QColor(0x2E, 0xC0, 0x4A));
}

void view_clock(QPainter& p) {
    QPainterPath face;
    face.addEllipse(QPointF(7.5, 7.5), 6.6, 6.6);
    shape(p, face, PAPER, INK, 1.2);
    for (const QPoint tick : {QPoint(7, 2), QPoint(12, 7), QPoint(7, 12), QPoint(2, 7)}) {
        pixels(p, tick.x(), tick.y(), 1, 1, INK);
    }
    p.setPen(QPen(INK, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 7.5), QPointF(7.5, 3.6));
    p.drawLine(QPointF(7.5, 7.5), QPointF(10.4, 7.5));
    p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 7.5), QPointF(5.0, 11.0));
    pixels(p, 7, 7, 1, 1, INK);
}

void view_command(QPainter& p) {
    window_frame(p, QColor(0x16, 0x19, 0x1E));
    const QColor prompt(0x7C, 0xE0, 0x7C);
    p.setPen(QPen(prompt, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{3.5, 6.0}, {5.5, 8.0}, {3.5, 10.0}}));
    pixels(p, 7, 10, 4, 1, prompt);
}

void view_game(QPainter& p) {
    shape(p, polygon({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 14.5}, {2.5, 14.5}}), PAPER,
          QColor(0x5A, 0x5A, 0x5A));
    p.setPen(QPen(QColor(0x5A, 0x5A, 0x5A), 1.0));
    p.setBrush(QColor(0xDD, 0xDD, 0xDD));
    p.drawPolygon(QPolygonF({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}}));
    // Two columns of moves, White's and Black's; the last line has White's move only.
    for (int y = 5; y <= 11; y += 2) {
        pixels(p, 4, y, 3, 1, QColor(0x35, 0x5C, 0xA8));
        pixels(p, 8, y, 4, 1, INK);
    }
    pixels(p, 4, 13, 3, 1, QColor(0x35, 0x5C, 0xA8));
}

void view_pv(QPainter& p) {
    const QPointF points[] = {{2.0, 12.5}, {5.5, 7.5}, {9.0, 10.5}};
    const QPointF tip(14.5, 1.5);
    p.setPen(QPen(ARROW_GREEN, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({points[0], points[1], points[2], QPointF(12.0, 5.8)}));
    arrow_head(p, points[2], tip, 5.0, 2.6, ARROW_GREEN);
    // The moves along the line alternate between White's and Black's.
    for (int i = 0; i < 3; ++i) {
        QPainterPath dot;
        dot.addEllipse(points[i], 1.7, 1.7);
        shape(p, dot, i % 2 == 0 ? QColor(0xF4, 0xEC, 0xDA) : QColor(0x30, 0x30, 0x30), INK, 0.9);
    }
}

void view_search_info(QPainter& p) {
    window_frame(p, PAPER);
    const int lengths[] = {5, 7, 4};
    for (int row = 0; row < 3; ++row) {
        const int y = 5 + 3 * row;
        pixels(p, 2, y, 3, 2, QColor(0x70, 0x70, 0x70));
        box(p, 7, y - 1, 8, 4, QColor(0xF2, 0xF2, 0xF2), QColor(0x9A, 0xA0, 0xAA));
        pixels(p, 14 - lengths[row], y, lengths[row] - 1, 2, QColor(0x30, 0x30, 0x30));
    }
}

void new_game(QPainter& p) {
    const QColor light(0xE9, 0xD2, 0xA6), dark(0x9A, 0x68, 0x3C);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            pixels(p, 1 + 3 * column, 2 + 3 * row, 3, 3, (row + column) % 2 ? dark : light);
        }
    }
    p.setPen(QPen(QColor(0x5A, 0x3A, 0x1A), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 1.5, 13, 13));
    // A bright spark: something new.
    QPainterPath star;
    for (int k = 0; k < 8; ++k) {
        const double angle = k * std::numbers::pi / 4;
        const double r = k % 2 == 0 ? 4.3 : 1.5;
        const QPointF point(12.0 + r * std::sin(angle), 4.0 - r * std::cos(angle));
        k == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    shape(p, star, QColor(0xFF, 0xD8, 0x3A), QColor(0xA8, 0x6A, 0x00), 0.8);
}

void player_player(QPainter& p) {
    person(p, 0, true);
    person(p, 9, false);
}

void player_computer(QPainter& p) {
    person(p, 0, true);
    computer(p, 9, false);
}

void computer_player(QPainter& p) {
    computer(p, 0, true);
    person(p, 9, false);
}

void computer_computer(QPainter& p) {
    computer(p, 0, true);
    computer(p, 9, false);
}

void remote(QPainter& p) {
    // Moves go out to the other computer and come back from it.
    pixels(p, 1, 3, 9, 2, ARROW_BLUE);
    p.setPen(Qt::NoPen);
    p.setBrush(ARROW_BLUE);
    p.drawPolygon(QPolygonF({{9.0, 0.0}, {15.0, 4.0}, {9.0, 8.0}}));
    pixels(p, 6, 10, 9, 2, ARROW_GREEN);
    p.setBrush(ARROW_GREEN);
    p.drawPolygon(QPolygonF({{7.0, 7.0}, {1.0, 11.0}, {7.0, 15.0}}));
}

void undo_move(QPainter& p) {
    QPainterPath hook;
    hook.moveTo(5.0, 5.0);
    hook.lineTo(8.5, 5.0);
    hook.cubicTo(14.0, 5.0, 14.0, 12.5, 8.5, 12.5);
    hook.lineTo(4.5, 12.5);
    p.setPen(QPen(ARROW_BLUE, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(ARROW_BLUE);
    p.drawPolygon(QPolygonF({{0.5, 5.0}, {6.0, 0.5}, {6.0, 9.5}}));
}

void redo_move(QPainter& p) {
    p.translate(16, 0);
    p.scale(-1, 1);
    undo_move(p);
}

void force_move(QPainter& p) {
    shape(p,
          polygon({{10.0, 0.5},
                   {3.0, 8.2},
                   {7.2, 8.2},
                   {5.0, 14.5},
                   {13.2, 5.8},
                   {8.8, 5.8},
                   {11.8, 0.5}}),
          QColor(0xFF, 0xD2, 0x3A), QColor(0xB0, 0x6A, 0x00));
}

void memory(QPainter& p) {
    box(p, 0, 3, 16, 9, QColor(0x2F, 0x8F, 0x4E), QColor(0x1B, 0x52, 0x30));
    for (const int x : {2, 6, 10}) pixels(p, x, 5, 3, 4, QColor(0x1C, 0x1C, 0x1C));
    for (int x = 2; x <= 13; x += 2) pixels(p, x, 10, 1, 1, QColor(0xE8, 0xC0, 0x50));
    pixels(p, 7, 11, 2, 1, QColor(0x1B, 0x52, 0x30));
}

void search(QPainter& p) {
    p.setPen(QPen(QColor(0x7A, 0x4A, 0x1C), 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.8, 9.8), QPointF(13.6, 13.2));
    QPainterPath lens;
    lens.addEllipse(QPointF(6.0, 6.0), 4.6, 4.6);
    shape(p, lens, QColor(0xD8, 0xEC, 0xFA), INK, 1.5);
    p.setPen(QPen(PAPER, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.4, 3.4, 5.2, 5.2), 100 * 16, 70 * 16);
}

void serial_port(QPainter& p) {
    QLinearGradient metal(QPointF(0, 3), QPointF(0, 12));
    metal.setColorAt(0, QColor(0xDA, 0xDE, 0xE3));
    metal.setColorAt(1, QColor(0x8A, 0x90, 0x98));
    shape(p, polygon({{0.5, 3.5}, {15.5, 3.5}, {13.5, 11.5}, {2.5, 11.5}}), metal,
          QColor(0x4A, 0x4F, 0x57));
    shape(p, polygon({{3.0, 5.5}, {13.0, 5.5}, {11.8, 9.5}, {4.2, 9.5}}), QColor(0x2E, 0x32, 0x38),
          QColor(0x2E, 0x32, 0x38));
    const QColor pin(0xF0, 0xC8, 0x60);
    for (const int x : {4, 6, 8, 10, 12}) pixels(p, x, 6, 1, 1, pin);
    for (const int x : {5, 7, 9, 11}) pixels(p, x, 8, 1, 1, pin);
}

void preferences(QPainter& p) {
    QPainterPath gear;
    QPolygonF outline;
    for (int k = 0; k < 32; ++k) {
        const double angle = (k + 0.5) * std::numbers::pi / 16;
        const double r = (k % 4 == 1 || k % 4 == 2) ? 7.0 : 5.0;
        outline << QPointF(7.5 + r * std::cos(angle), 7.5 + r * std::sin(angle));
    }
    gear.addPolygon(outline);
    gear.closeSubpath();
    gear.addEllipse(QPointF(7.5, 7.5), 2.2, 2.2);
    gear.setFillRule(Qt::OddEvenFill);
    QLinearGradient steel(QPointF(0, 0), QPointF(15, 15));
    steel.setColorAt(0, QColor(0xC4, 0xCA, 0xD2));
    steel.setColorAt(1, QColor(0x6E, 0x76, 0x80));
    shape(p, gear, steel, QColor(0x3A, 0x3F, 0x46), 0.9);
}

void help_contents(QPainter& p) {
    box(p, 2, 0, 12, 15, QColor(0x2F, 0x62, 0xB5), QColor(0x1A, 0x3A, 0x70));
    pixels(p, 3, 1, 2, 13, QColor(0x22, 0x49, 0x8A));
    pixels(p, 13, 2, 1, 12, QColor(0xF4, 0xF0, 0xE4));
    QPainterPath mark;
    mark.moveTo(7.0, 4.8);
    mark.cubicTo(7.0, 2.2, 11.4, 2.2, 11.4, 4.8);
    mark.cubicTo(11.4, 6.6, 9.2, 6.6, 9.2, 8.8);
    p.setPen(QPen(PAPER, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(PAPER);
    p.drawEllipse(QPointF(9.2, 11.4), 1.0, 1.0);
}

void help_about(QPainter& p) {
    QRadialGradient blue(QPointF(6, 5), 9);
    blue.setColorAt(0, QColor(0x5A, 0x9A, 0xEA));
    blue.setColorAt(1, QColor(0x1F, 0x5B, 0xB0));
    QPainterPath disc;
    disc.addEllipse(QPointF(8.0, 7.5), 6.6, 6.6);
    shape(p, disc, blue, QColor(0x17, 0x3F, 0x7A));
    pixels(p, 7, 3, 2, 2, PAPER);
    pixels(p, 7, 6, 2, 6, PAPER);
    pixels(p, 6, 6, 1, 1, PAPER);
    pixels(p, 6, 11, 4, 1, PAPER);
}

}  // namespace resgen::icons
