#include "ui/qt/pv_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "records/game_state.h"
#include "ui/pv_layout.h"

PvWindow::PvWindow(QWidget* parent)
    : QWidget(parent), font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    setWindowTitle(tr("PV"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QFontMetrics metrics(font_);
    char_width_ = std::max(metrics.averageCharWidth(), 1);
    line_height_ = std::max(metrics.lineSpacing(), 1);
}

void PvWindow::refresh() {
    update();
}

void PvWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const int ascent = QFontMetrics(font_).ascent();
    for (const PvCell& cell : pv_cells(game_state())) {
        painter.drawText(pv_cell_x(cell, char_width_), pv_cell_y(cell, line_height_) + ascent,
                         QString::fromStdString(cell.text));
    }
}
