#include "ui/qt/printing.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "game/record.h"
#include "ui/print_layout.h"

namespace {

// The modeless dialog that keeps the user interface alive while the pages go out. Its
// button (or Escape) cancels: the frame is enabled again and the dialog goes away.
class PrintAbortDialog : public QDialog {
  public:
    PrintAbortDialog(QWidget* frame, bool& user_abort)
        : QDialog(frame, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
          frame_(frame),
          user_abort_(user_abort) {
        setObjectName("PrintDlgBox");
        setWindowTitle(tr("Print"));
        setModal(false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(tr("Printing the game..."), this));
        auto* cancel = new QPushButton(tr("Cancel"), this);
        cancel->setObjectName("PrintCancel");
        layout->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &PrintAbortDialog::reject);
    }

    void reject() override {
        user_abort_ = true;
        if (frame_ != nullptr) frame_->setEnabled(true);
        hide();
        deleteLater();
    }

  private:
    QPointer<QWidget> frame_;
    bool& user_abort_;
};

// What the printing system asks between pages: let waiting events run (the abort
// dialog, the clocks, the engine's reports), then go on unless the user cancelled.
bool keep_printing(const bool& user_abort) {
    if (!user_abort) QCoreApplication::processEvents();
    return !user_abort;
}

void draw_page(QPainter& painter, const GameRecord& record, const PrintGeometry& geometry,
               int page, const std::string& result) {
    const QFontMetrics metrics = painter.fontMetrics();
    for (const PrintLine& line : page_lines(record, geometry, page, result)) {
        const int baseline = line.y + metrics.ascent();
        const QString number = QString::fromStdString(line.text.number);
        painter.drawText(line.number_right_x - metrics.horizontalAdvance(number), baseline, number);
        painter.drawText(line.white_x, baseline, QString::fromStdString(line.text.white));
        if (!line.text.black.empty()) {
            painter.drawText(line.black_x, baseline, QString::fromStdString(line.text.black));
        }
        if (!line.text.result.empty()) {
            painter.drawText(line.result_x, baseline, QString::fromStdString(line.text.result));
        }
    }
}

}  // namespace

int print_game_on(QPrinter& printer, int copies, bool collate, QWidget* frame) {
    // The game as it stands now: moves played while the pages go out are not printed.
    const GameRecord record = game_record();
    const std::string result = shown_result(game_state());
    if (game_lines(record.length) == 0) return 0;

    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(font, &printer);
    const int printable_height =
        printer.pageLayout().paintRectPixels(printer.resolution()).height();
    const PrintGeometry geometry =
        print_geometry(record.length, metrics.height(), metrics.leading(),
                       metrics.averageCharWidth(), printable_height);

    bool user_abort = false;
    bool success = true;
    if (frame != nullptr) frame->setEnabled(false);
    QPointer<PrintAbortDialog> abort_dialog = new PrintAbortDialog(frame, user_abort);
    abort_dialog->setEnabled(true);  // a window of its own, not part of the disabled frame
    abort_dialog->show();

    QPainter painter;
    if (!painter.begin(&printer)) {
        success = false;
    } else {
        painter.setFont(font);
        painter.setPen(Qt::black);
        bool first_page = true;
        for (const int page : print_sequence(geometry.pages, copies, collate)) {
            if (!first_page && !printer.newPage()) {
                success = false;
                break;
            }
            first_page = false;
            draw_page(painter, record, geometry, page, result);
            if (!keep_printing(user_abort)) break;
        }
        // A failed job is dropped rather than finished.
        if (!success) printer.abort();
        painter.end();
    }

    // After a cancel the abort dialog has already enabled the frame and gone.
    if (!user_abort) {
        if (frame != nullptr) frame->setEnabled(true);
        delete abort_dialog.data();
    }
    return success && !user_abort ? 1 : 0;
}

int print_game(QWidget* frame) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setCollateCopies(true);  // the dialog opens with Collate checked
    QPrintDialog dialog(&printer, frame);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (dialog.exec() != QDialog::Accepted) return 0;
    if (game_lines(game_length()) == 0) return 0;
    // The copies are ours to print, so the printing system must not repeat them.
    const int copies = printer.copyCount();
    const bool collate = printer.collateCopies();
    printer.setCopyCount(1);
    return print_game_on(printer, copies, collate, frame);
}
