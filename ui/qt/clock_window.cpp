#include "ui/qt/clock_window.h"

#include <QPaintEvent>
#include <QPainter>

#include "records/app_state.h"
#include "records/game_state.h"
#include "ui/clock_face.h"

namespace {

QPoint to_qt(const LogicalPoint& point) {
    return {point.x, point.y};
}

// One device pixel whatever the scale of the logical space.
QPen hairline(const QColor& colour) {
    QPen pen(colour);
    pen.setWidth(0);
    pen.setCosmetic(true);
    return pen;
}

int clock_of_side_to_move() {
    const AppState& app = app_state();
    return game_state().side == WHITE ? app.white_clock : app.black_clock;
}

int centre_of_side_to_move() {
    return game_state().side == WHITE ? WHITE_CLOCK_X : BLACK_CLOCK_X;
}

}  // namespace

ClockWindow::ClockWindow(QWidget* parent) : QWidget(parent), red_pen_(hairline(Qt::red)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(tr("Clock"));
}

void ClockWindow::ensureCanvas() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size().expandedTo(QSize(1, 1))) * ratio).toSize();
    if (!canvas_.isNull() && canvas_.size() == pixels && canvas_.devicePixelRatio() == ratio) {
        return;
    }
    canvas_ = QImage(pixels, QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(ratio);
    drawClocks();
}

void ClockWindow::beginLogical(QPainter& painter) {
    const QSizeF client = canvas_.deviceIndependentSize();
    const ClockMapping mapping =
        clock_mapping(static_cast<int>(client.width()), static_cast<int>(client.height()));
    painter.translate(mapping.origin_x, mapping.origin_y);
    painter.scale(mapping.scale, -mapping.scale);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void ClockWindow::drawFace(QPainter& painter, int centre_x) {
    painter.setPen(hairline(Qt::black));
    painter.setBrush(Qt::black);
    for (const LogicalRect& dot : face_dots(centre_x)) {
        painter.drawEllipse(QRectF(to_qt(dot.corner), to_qt(dot.opposite)).normalized());
    }
    painter.setBrush(Qt::NoBrush);
}

void ClockWindow::drawHands(QPainter& painter, int seconds, int centre_x, bool hour_and_minute,
                            bool red_second) {
    const ClockHands hands = clock_hands(seconds, centre_x);
    if (hour_and_minute) {
        painter.drawLine(to_qt(hands.centre), to_qt(hands.hour));
        painter.drawLine(to_qt(hands.centre), to_qt(hands.minute));
    }
    if (red_second) painter.setPen(red_pen_);
    painter.drawLine(to_qt(hands.centre), to_qt(hands.second));
}

void ClockWindow::drawClocks() {
    canvas_.fill(Qt::white);
    QPainter painter(&canvas_);
    beginLogical(painter);
    const AppState& app = app_state();
    for (const auto& [centre_x, seconds] : {std::pair{WHITE_CLOCK_X, app.white_clock.load()},
                                            std::pair{BLACK_CLOCK_X, app.black_clock.load()}}) {
        drawFace(painter, centre_x);
        painter.setPen(hairline(Qt::black));
        drawHands(painter, seconds, centre_x, true, true);
    }
    app_state().clock_drawn = clock_of_side_to_move();
}

void ClockWindow::tick() {
    ensureCanvas();
    AppState& app = app_state();
    const int last = app.clock_drawn;
    const int now = clock_of_side_to_move();
    const int centre_x = centre_of_side_to_move();
    {
        QPainter painter(&canvas_);
        beginLogical(painter);
        const TickErase erase = tick_erase(last, now);
        painter.setPen(hairline(Qt::white));
        drawHands(painter, last, centre_x, erase.hour_and_minute, false);
        painter.setPen(hairline(Qt::black));
        drawHands(painter, now, centre_x, true, true);
    }
    app.clock_drawn = now;
    update();
}

void ClockWindow::resetHands() {
    ensureCanvas();
    const AppState& app = app_state();
    {
        QPainter painter(&canvas_);
        beginLogical(painter);
        painter.setPen(hairline(Qt::white));
        drawHands(painter, app.white_clock, WHITE_CLOCK_X, true, false);
        painter.setPen(hairline(Qt::white));
        drawHands(painter, app.black_clock, BLACK_CLOCK_X, true, false);
        for (const int centre_x : {WHITE_CLOCK_X, BLACK_CLOCK_X}) {
            painter.setPen(hairline(Qt::black));
            drawHands(painter, 0, centre_x, true, true);
        }
    }
    update();
}

void ClockWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureCanvas();
}

void ClockWindow::paintEvent(QPaintEvent* event) {
    ensureCanvas();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), canvas_);
}
