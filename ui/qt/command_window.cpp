#include "ui/qt/command_window.h"

#include <QPalette>
#include <QPlainTextEdit>

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

    // A bordered multi-line edit at the window's top left. Nothing reads its text.
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
}
