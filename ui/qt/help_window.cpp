#include "ui/qt/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName("HelpWindow");
    setWindowTitle(tr("VANTOR Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    resize(640, 720);
    loadContents();
}

void HelpWindow::loadContents() {
    const QFileInfo file(QDir::current().absoluteFilePath(QString::fromUtf8(HELP_FILE)));
    if (file.isFile() && file.isReadable()) {
        // A file address, so that the pictures beside the document load with it.
        browser_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        return;
    }
    browser_->setHtml(tr("<h2>VANTOR Help</h2><p>The help file <b>%1</b> was not found in "
                         "<b>%2</b>.</p><p>It belongs in the program's folder, beside the "
                         "program itself.</p>")
                          .arg(QString::fromUtf8(HELP_FILE).toHtmlEscaped(),
                               QDir::toNativeSeparators(QDir::currentPath()).toHtmlEscaped()));
}

void show_help_contents(QWidget* parent) {
    // One window: the parent's, or without a parent the one opened last.
    static QPointer<HelpWindow> orphan;
    QPointer<HelpWindow> window =
        parent != nullptr ? parent->findChild<HelpWindow*>("HelpWindow", Qt::FindDirectChildrenOnly)
                          : orphan.data();
    if (window == nullptr) {
        window = new HelpWindow(parent);
        if (parent == nullptr) orphan = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
}
