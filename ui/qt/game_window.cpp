#include "ui/qt/game_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include "game/record.h"

namespace {

GameKey game_key(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return GameKey::PAGE_UP;
        case Qt::Key_PageDown:
            return GameKey::PAGE_DOWN;
        case Qt::Key_Home:
            return GameKey::HOME;
        case Qt::Key_End:
            return GameKey::END;
        case Qt::Key_Up:
            return GameKey::UP;
        case Qt::Key_Down:
            return GameKey::DOWN;
        default:
            return GameKey::OTHER;
    }
}

ScrollRequest bar_request(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollRequest::LINE_UP;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollRequest::LINE_DOWN;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollRequest::PAGE_UP;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollRequest::PAGE_DOWN;
        case QAbstractSlider::SliderMove:
            return ScrollRequest::THUMB_TRACK;
        case QAbstractSlider::SliderToMinimum:
            return ScrollRequest::TOP;
        case QAbstractSlider::SliderToMaximum:
            return ScrollRequest::BOTTOM;
        default:
            return ScrollRequest::NONE;
    }
}

const QColor GREY(GREY_LEVEL, GREY_LEVEL, GREY_LEVEL);

}  // namespace

GameWindow::GameWindow(QWidget* parent)
    : QWidget(parent),
      bar_(new QScrollBar(Qt::Vertical, this)),
      font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    setWindowTitle(tr("Game"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    const QFontMetrics metrics(font_);
    char_width_ = std::max(metrics.averageCharWidth(), 1);
    line_height_ = std::max(metrics.lineSpacing(), 1);

    bar_->setObjectName("GameScrollBar");
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setSingleStep(1);
    bar_->hide();
    connect(bar_, &QAbstractSlider::actionTriggered, this, &GameWindow::barAction);
}

GameView GameWindow::view() const {
    return {height(), line_height_};
}

void GameWindow::showScroll() {
    const GameScroll& scroll = game_window_scroll();
    const QSignalBlocker blocker(bar_);
    bar_->setRange(0, scroll.maximum);
    bar_->setPageStep(std::max(view().page_lines(), 1));
    bar_->setValue(scroll.position);
    // Like a window scroll bar: there only while there is something to scroll.
    bar_->setVisible(scroll.maximum > 0);
}

void GameWindow::gameChanged() {
    scroll_to_end(game_window_scroll(), game_lines(game_length()), view());
    showScroll();
    update();
}

void GameWindow::currentMoveChanged() {
    scroll_to_current(game_window_scroll(), game_lines(game_length()), game_current(), view());
    showScroll();
    update();
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int bar_width = bar_->sizeHint().width();
    bar_->setGeometry(width() - bar_width, 0, bar_width, height());
    scroll_resized(game_window_scroll(), game_lines(game_length()), view());
    showScroll();
    update();
}

void GameWindow::scrollBy(ScrollRequest request, int thumb) {
    GameScroll& scroll = game_window_scroll();
    const int step = scroll_step(scroll, request, view(), thumb);
    if (step != 0) {
        scroll.position += step;
        update();
    }
}

void GameWindow::barAction(int action) {
    scrollBy(bar_request(action), bar_->sliderPosition());
    // The bar shows our position, not the one it worked out for itself.
    bar_->setSliderPosition(game_window_scroll().position);
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    const GameKey key = game_key(event->key());
    if (key == GameKey::OTHER) return QWidget::keyPressEvent(event);
    scrollBy(key_request(key));
    const QSignalBlocker blocker(bar_);
    bar_->setValue(game_window_scroll().position);
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font_);
    const QFontMetrics metrics(font_);
    const GameRecord& record = game_record();
    const GameScroll& scroll = game_window_scroll();
    const GameView text_view = view();
    const LineRange range = paint_lines(event->rect().top(), event->rect().bottom() + 1,
                                        game_lines(record.length), scroll, text_view);
    const std::string result = shown_result(game_state());
    for (int line = range.first; line < range.last; ++line) {
        const GameLine text = game_line(record, line, result);
        const LineGreying grey = line_greying(line, record.length, record.current);
        const int baseline = line_y(line, scroll, text_view) + metrics.ascent();
        const QString number = QString::fromStdString(text.number);
        painter.setPen(grey.number ? GREY : Qt::black);
        painter.drawText(NUMBER_RIGHT_CHARS * char_width_ - metrics.horizontalAdvance(number),
                         baseline, number);
        painter.setPen(grey.white ? GREY : Qt::black);
        painter.drawText(WHITE_MOVE_CHARS * char_width_, baseline,
                         QString::fromStdString(text.white));
        if (!text.black.empty()) {
            painter.setPen(grey.black ? GREY : Qt::black);
            painter.drawText(BLACK_MOVE_CHARS * char_width_, baseline,
                             QString::fromStdString(text.black));
        }
        if (!text.result.empty()) {
            painter.setPen(Qt::black);
            painter.drawText(text.result_chars * char_width_, baseline,
                             QString::fromStdString(text.result));
        }
    }
}
