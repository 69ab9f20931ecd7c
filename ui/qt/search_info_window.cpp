#include "ui/qt/search_info_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>

#include "records/game_state.h"
#include "ui/search_info.h"

SearchInfoWindow::SearchInfoWindow(QWidget* parent)
    : QWidget(parent), font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    setWindowTitle(tr("Search-Info"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < SEARCH_INFO_FIELDS; ++i) {
        // Read-only, bordered, right-aligned; empty until the engine reports.
        auto* field = new QLabel(this);
        field->setObjectName(SEARCH_INFO_LABELS[i]);
        field->setFrameShape(QFrame::Box);
        field->setLineWidth(1);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setGeometry(SEARCH_INFO_FIELD_X, search_info_y(i), SEARCH_INFO_FIELD_WIDTH,
                           SEARCH_INFO_FIELD_HEIGHT);
        fields_[i] = field;
    }
}

void SearchInfoWindow::searchInfo(int info) {
    const int index = search_info_field(info);
    if (index < 0) return;
    fields_[index]->setText(QString::fromStdString(search_info_text(info, game_state())));
}

void SearchInfoWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const int ascent = QFontMetrics(font_).ascent();
    for (int i = 0; i < SEARCH_INFO_FIELDS; ++i) {
        painter.drawText(SEARCH_INFO_LABEL_X, search_info_y(i) + ascent, SEARCH_INFO_LABELS[i]);
    }
}
