#include "ui/qt/command_window.h"

#include <QKeyEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "game/position_commands.h"

namespace {
constexpr int EDIT_WIDTH = 173;
constexpr int EDIT_HEIGHT = 25;
}  // namespace

CommandWindow::CommandWindow(QWidget* parent) : QWidget(parent), editor_(new QPlainTextEdit(this)) {
    setWindowTitle(tr("Command"));
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    // A bordered multi-line edit at the window's top left. Only a FEN line is read.
    editor_->setObjectName("CommandEdit");
    editor_->setGeometry(0, 0, EDIT_WIDTH, EDIT_HEIGHT);
    editor_->setFrameShape(QFrame::Box);
    editor_->setLineWidth(1);
    editor_->document()->setDocumentMargin(2);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setTabChangesFocus(true);
    // Whenever the window gets the focus it passes it on to the edit line.
    setFocusProxy(editor_);
    editor_->installEventFilter(this);
}

// Enter on a FEN line sets the position up; on anything else it is an ordinary key.
bool CommandWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    const std::string line = editor_->textCursor().block().text().toStdString();
    if (!is_fen_line(line)) return false;
    if (set_up_position(line, "Command")) editor_->clear();
    return true;
}
