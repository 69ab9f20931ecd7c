#include "ui/qt/qt_game_ui.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

#include "ui/board_geometry.h"
#include "ui/layout.h"
#include "ui/qt/clock_window.h"
#include "ui/qt/game_picker_dialog.h"
#include "ui/qt/game_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/pv_window.h"
#include "ui/qt/search_info_window.h"

namespace {

// The game files' dialog description. The filter chooses the format: the program's own
// for TGR and ASCII, PDN for PDN, and by the name's suffix for All Files.
const QStringList FILE_FILTERS{
    QStringLiteral("TGR Files (*.TGR)"),
    QStringLiteral("ASCII Files (*.ASC)"),
    QStringLiteral("PDN Files (*.PDN)"),
    QStringLiteral("All Files (*.*)"),
};
// A name typed without an extension gets the game files' own, so that the Open dialog's
// first filter shows the file again; with the PDN filter, PDN's.
constexpr FileFilter FILTER_FORMATS[] = {FileFilter::TGR, FileFilter::ASC, FileFilter::PDN, FileFilter::ALL};
const QString DEFAULT_EXTENSION = QStringLiteral("tgr");
const QString PDN_EXTENSION = QStringLiteral("pdn");
const QString MOVE_SOUND = QStringLiteral("ding.wav");

}  // namespace

QtGameUi::QtGameUi(MainWindow& frame) : frame_(frame) {}

bool QtGameUi::onMainThread() const {
    return QThread::currentThread() == frame_.thread();
}

// Work that belongs to the main thread; should it ever be asked from another thread, it
// is queued there instead of touching the windows from the wrong one.
void QtGameUi::runOnMainThread(std::function<void()> task) {
    if (onMainThread()) {
        task();
        return;
    }
    post_to_main_thread(std::move(task));
}

// The engine thread's reports: copied, queued, and handled in posting order on the
// main thread. The main thread's own status texts take the same queue, so an "IDLE"
// posted at the end of one search can never overwrite the "SRCH" of the next.
void QtGameUi::set_status_text(int pane, const std::string& text) {
    MainWindow* frame = &frame_;
    QMetaObject::invokeMethod(
        frame,
        [frame, pane, text = QString::fromStdString(text)] { frame->setStatusText(pane, text); },
        Qt::QueuedConnection);
}

// The window may be gone by the time the report arrives; it is looked up then.
void QtGameUi::search_info_changed(int info) {
    MainWindow* frame = &frame_;
    QMetaObject::invokeMethod(
        frame,
        [frame, info] {
            if (SearchInfoWindow* window = frame->searchInfoWindow()) window->searchInfo(info);
        },
        Qt::QueuedConnection);
}

void QtGameUi::pv_changed() {
    MainWindow* frame = &frame_;
    QMetaObject::invokeMethod(
        frame,
        [frame] {
            if (PvWindow* window = frame->pvWindow()) window->refresh();
        },
        Qt::QueuedConnection);
}

void QtGameUi::post_to_main_thread(std::function<void()> task) {
    QMetaObject::invokeMethod(
        &frame_, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtGameUi::check_menu_item(int command, bool checked) {
    runOnMainThread([this, command, checked] {
        frame_.commandStates().set_checked(command, checked);
        frame_.updateActions();
    });
}

void QtGameUi::enable_menu_item(int command, bool enabled) {
    runOnMainThread([this, command, enabled] {
        frame_.commandStates().set_enabled(command, enabled);
        frame_.updateActions();
    });
}

// A toolbar button and its menu item are one action, so pressed and checked are one.
void QtGameUi::press_toolbar_button(int command, bool pressed) {
    check_menu_item(command, pressed);
}

void QtGameUi::draw_square(int piece, int square, int marking) {
    runOnMainThread([this, piece, square, marking] {
        if (BoardWindow* board = frame_.boardWindow()) board->drawSquare(piece, square, marking);
    });
}

void QtGameUi::draw_all_pieces(const Board& board) {
    runOnMainThread([this, pieces = board_pieces(board)] {
        if (BoardWindow* window = frame_.boardWindow()) window->drawAllPieces(pieces);
    });
}

void QtGameUi::game_changed() {
    runOnMainThread([this] {
        if (GameWindow* window = frame_.gameWindow()) window->gameChanged();
    });
}

void QtGameUi::current_move_changed() {
    runOnMainThread([this] {
        if (GameWindow* window = frame_.gameWindow()) window->currentMoveChanged();
    });
}

void QtGameUi::clock_ticked() {
    runOnMainThread([this] {
        if (ClockWindow* window = frame_.clockWindow()) window->tick();
    });
}

void QtGameUi::clocks_reset() {
    runOnMainThread([this] {
        if (ClockWindow* window = frame_.clockWindow()) window->resetHands();
    });
}

Answer QtGameUi::message_box(const std::string& text, const std::string& caption,
                             MessageKind kind) {
    // A question needs the user and so the main thread; anywhere else it is declined.
    if (!onMainThread()) return Answer::CANCEL;
    const bool error = kind == MessageKind::ERROR;
    const QMessageBox::StandardButtons buttons = error
                                                     ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                                     : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(error ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), buttons,
                    frame_.mdiArea());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Answer::OK : Answer::CANCEL;
}

bool QtGameUi::askFile(bool save, std::string& path, FileFilter& filter) {
    if (!onMainThread()) return false;
    QFileDialog dialog(&frame_);
    // Qt's own dialog matches *.TGR without regard to case, as the filters mean it;
    // a desktop's native one may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(FILE_FILTERS);
    dialog.selectNameFilter(FILE_FILTERS.front());
    dialog.setDefaultSuffix(DEFAULT_EXTENSION);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        dialog.setDefaultSuffix(chosen == FILE_FILTERS[2] ? PDN_EXTENSION : DEFAULT_EXTENSION);
    });
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    const qsizetype chosen = FILE_FILTERS.indexOf(dialog.selectedNameFilter());
    filter = chosen >= 0 ? FILTER_FORMATS[chosen] : FileFilter::ALL;
    return true;
}

bool QtGameUi::ask_open_file(std::string& path) {
    FileFilter filter = FileFilter::ALL;
    return askFile(false, path, filter);
}
bool QtGameUi::ask_save_file(std::string& path) {
    FileFilter filter = FileFilter::ALL;
    return askFile(true, path, filter);
}
bool QtGameUi::ask_open_game_file(std::string& path, FileFilter& filter) {
    return askFile(false, path, filter);
}
bool QtGameUi::ask_save_game_file(std::string& path, FileFilter& filter) {
    return askFile(true, path, filter);
}

bool QtGameUi::choose_game(std::shared_ptr<const std::string> text, PdnIndexEntry& chosen) {
    if (!onMainThread()) return false;
    GamePickerDialog dialog(std::move(text), &frame_);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() == nullptr) return false;
    chosen = *dialog.chosen();
    return true;
}

void QtGameUi::game_file_named(const std::string& path) {
    const QString name = path.empty() ? QString() : QFileInfo(QFile::decodeName(path.c_str())).fileName();
    runOnMainThread([this, name] { frame_.setWindowTitle(QString::fromStdString(frame_title(name.toStdString()))); });
}

// The sound starts here and plays on while the game goes on. Waiting for its end would
// need an event loop inside move_done, and that loop would run the clock tick and the
// remote poll in the middle of committing a move.
void QtGameUi::play_move_sound() {
    if (!onMainThread()) return;
    const QString file = QDir::current().absoluteFilePath(MOVE_SOUND);
    if (!QFileInfo::exists(file)) {
        QApplication::beep();
        return;
    }
    if (sound_ == nullptr) sound_ = new QSoundEffect(&frame_);
    const QUrl source = QUrl::fromLocalFile(file);
    if (sound_->source() != source) sound_->setSource(source);
    sound_->play();
}
