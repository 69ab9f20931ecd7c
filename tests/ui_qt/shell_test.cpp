// The desktop shell, headless: the frame and its children, the board under the mouse and
// the keys, every command through menus, toolbar and keys, the menu help, closing, and
// the engine's reports crossing to the main thread.

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <thread>

#include "engine/search/driver.h"
#include "game/controller.h"
#include "game/record.h"
#include "records/settings.h"
#include "ui/board_geometry.h"
#include "ui/command_table.h"
#include "ui/qt/clock_window.h"
#include "ui/qt/game_picker_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/search_info_window.h"

namespace {

// Answers whatever modal window comes up while a test waits: message boxes with the
// buttons queued in `buttons` (Cancel once they run out), file dialogs with `fileToPick`
// (cancelled when empty), any other dialog closed unchanged.
class ModalAnswerer : public QObject {
  public:
    struct Box {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    QList<QMessageBox::StandardButton> buttons;
    QList<Box> boxes;
    QString fileToPick;
    QString filterToPick;  // the file dialog's filter to choose first ("" leaves it)
    int gameRowToPick = 0;  // the row a game list accepts
    QStringList fileFilters;
    int dialogsClosed = 0;

    ModalAnswerer() {
        connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::answer);
        timer_.start(5);
    }

  private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
            const QMessageBox::StandardButton wanted =
                buttons.isEmpty() ? QMessageBox::Cancel : buttons.takeFirst();
            QAbstractButton* button = box->button(wanted);
            if (button == nullptr) button = box->defaultButton();
            button->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            fileFilters = files->nameFilters();
            if (!filterToPick.isEmpty()) {
                // As the user's choice in the dialog's list does.
                files->selectNameFilter(filterToPick);
                emit files->filterSelected(std::exchange(filterToPick, QString()));
            }
            if (fileToPick.isEmpty()) {
                files->reject();
            } else {
                files->selectFile(std::exchange(fileToPick, QString()));
                static_cast<QDialog*>(files)->accept();
            }
        } else if (auto* games = qobject_cast<GamePickerDialog*>(modal)) {
            if (!games->picker().ready()) return;  // the list is still being read
            games->table()->selectRow(gameRowToPick);
            games->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            ++dialogsClosed;
            dialog->done(QDialog::Rejected);
        }
    }
    QTimer timer_;
};

// A child window that will not close.
class RefuseClose : public QObject {
  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        return true;
    }
};

QPoint centre(int square) {
    const Point p = square_centre(square);
    return {p.x, p.y};
}

QRect toQRect(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

// What the XOR, AND, XOR drawing must leave on a square: the piece inside its mask, the
// square's own picture everywhere else (a null piece: the square alone).
bool squareShows(const QImage& board, int square, const QImage& piece) {
    static const QImage empty(QStringLiteral(":/images/bmiem.png"));
    static const QImage mask(QStringLiteral(":/images/bmimask.png"));
    const Point o = square_origin(square);
    for (int y = 0; y < SQUARE_PIXELS; ++y) {
        for (int x = 0; x < SQUARE_PIXELS; ++x) {
            const bool inPiece = !piece.isNull() && x < PIECE_PIXELS && y < PIECE_PIXELS &&
                                 qGray(mask.pixel(x, y)) == 0;
            const QRgb wanted = inPiece ? piece.pixel(x, y) : empty.pixel(x, y);
            if ((board.pixel(o.x + x, o.y + y) ^ wanted) & 0xFFFFFF) return false;
        }
    }
    return true;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private:
    MainWindow* frame = nullptr;
    ModalAnswerer* answerer = nullptr;

    BoardWindow* board() const { return frame->boardWindow(); }
    QAction* action(int command) const { return frame->commandAction(command); }
    QToolButton* button(int command) const {
        return qobject_cast<QToolButton*>(frame->toolBar()->widgetForAction(action(command)));
    }
    void click(int square) { QTest::mouseClick(board(), Qt::LeftButton, {}, centre(square)); }
    void newGame() {
        answerer->buttons = {QMessageBox::Ok};
        action(CMD_GAME_NEW)->trigger();
        QCOMPARE(app_state().game_running.load(), 1);
    }
    void activate() {
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
    }
    // The piece every square shows is the one of the game state.
    void expectBoardShowsTheGame() {
        for (int square = 1; square <= SQUARE_COUNT; ++square) {
            QCOMPARE(board()->pieceShown(square), int(piece_on_square(square, game_state().board)));
        }
    }
    // A child at its place and height, as wide as its place or as its whole title needs.
    void expectAtItsPlace(QMdiSubWindow* child, const ChildWindowInfo& info) {
        const QRect place = toQRect(info.rect);
        QCOMPARE(child->pos(), place.topLeft());
        QCOMPARE(child->height(), place.height());
        QVERIFY(child->width() >= place.width());
        if (info.frame == ChildFrame::NONE) return;
        QStyleOptionTitleBar option;
        option.initFrom(child);
        option.titleBarFlags = child->windowFlags();
        option.subControls = QStyle::SC_All;
        option.rect = QRect(0, 0, child->width(), child->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, child));
        const QRect label = child->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, child);
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setBold(true);
        QVERIFY2(label.width() >= QFontMetrics(font).horizontalAdvance(child->windowTitle()), info.title);
    }
    void expectShown(const ChildWindowInfo& info, bool shown) {
        QCOMPARE(frame->childSubWindow(info.window) != nullptr, shown);
        QCOMPARE(shown_flag(info.window)->load(), int(shown));
        QCOMPARE(action(info.view_command)->isChecked(), shown);
        QCOMPARE(button(info.view_command)->isChecked(), shown);
    }

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        answerer = new ModalAnswerer;
        frame = new MainWindow;
        frame->showMaximized();
        frame->start();
        settings().sound = 0;
        settings().permanent_brain = 0;
        settings().ply = 2;
        QVERIFY(QTest::qWaitForWindowExposed(frame));
    }

    void cleanup() {
        delete frame;
        frame = nullptr;
        delete answerer;
        answerer = nullptr;
    }

    void startUpBuildsTheFrame() {
        QCOMPARE(frame->objectName(), QStringLiteral("MdiFrame"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("VANTOR 5.0"));
        QCOMPARE(frame->menuBar()->objectName(), QStringLiteral("MDIVantorMenu"));
        QObject* keys = frame->findChild<QObject*>(QStringLiteral("MDIACCEL"));
        QVERIFY(keys != nullptr);
        QCOMPARE(keys->findChildren<QAction*>().size(), ACCELERATOR_COUNT);

        // The six children in creation order, at their places.
        const QList<QMdiSubWindow*> children =
            frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(children.size(), int(CHILD_WINDOW_COUNT));
        for (const ChildWindowInfo& info : CHILD_WINDOWS) {
            QMdiSubWindow* child = children[info.window];
            QCOMPARE(child, frame->childSubWindow(info.window));
            QCOMPARE(child->objectName(), QString::fromLatin1(info.class_name));
            QCOMPARE(child->windowTitle(), QString::fromLatin1(info.title));
            expectAtItsPlace(child, info);
            QVERIFY(child->isVisible());
            if (info.view_command != 0) expectShown(info, true);
        }
        // The board fills its frameless child exactly.
        QCOMPARE(board()->geometry(), QRect(0, 0, BOARD_PIXELS, BOARD_PIXELS));
        QVERIFY(frame->childSubWindow(BOARD_WINDOW)->windowFlags() & Qt::FramelessWindowHint);

        // Seven panes side by side, none narrower than its place and each wide enough for
        // its longest text; and the texts of game_init.
        int left = 0;
        for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
            QLabel* label = frame->statusPane(pane);
            const QRect r(label->mapTo(frame->statusBar(), QPoint(0, 0)), label->size());
            QCOMPARE(r.left(), left);
            QVERIFY(r.right() + 1 >= STATUS_PANE_RIGHT_EDGES[pane]);
            const QString longest = QString::fromLatin1(STATUS_PANE_LONGEST_TEXTS[pane]);
            QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(longest),
                     qPrintable(longest));
            left = r.right() + 1;
        }
        QTRY_COMPARE(frame->statusPane(PANE_ENGINE)->text(), QStringLiteral("IDLE"));
        QCOMPARE(frame->statusPane(PANE_TURN)->text(), QStringLiteral("Player to move with White"));

        // Initial greying, and the marks of Player - Player with White to move.
        for (int command : {202, 203, 204, 205, 504, 505, 602, 603})
            QVERIFY2(!action(command)->isEnabled(), QByteArray::number(command));
        QVERIFY(button(CMD_GAME_PLAYER_PLAYER)->isChecked());
        QVERIFY(!button(CMD_GAME_REMOTE)->isChecked());
        QVERIFY(action(CMD_EDIT_WHITE_TO_MOVE)->isChecked());
    }

    void toolbarHasItsButtons() {
        const QList<QAction*> entries = frame->toolBar()->actions();
        QCOMPARE(entries.size(), TOOLBAR_ENTRY_COUNT);
        for (int i = 0; i < TOOLBAR_ENTRY_COUNT; ++i) {
            const ToolbarEntry& entry = TOOLBAR[i];
            if (entry.kind == ButtonKind::SEPARATOR) {
                QVERIFY(entries[i]->isSeparator());
                continue;
            }
            QCOMPARE(entries[i], action(entry.command));
            QCOMPARE(button(entry.command)->toolTip(),
                     QString::fromLatin1(tooltip_text(entry.command)));
            QCOMPARE(button(entry.command)->isCheckable(), entry.kind != ButtonKind::PUSH);
            QVERIFY(!entries[i]->icon().isNull());
        }
        // The play modes are one group: a pressed one stays pressed when clicked again.
        QTest::mouseClick(button(CMD_GAME_PLAYER_COMPUTER), Qt::LeftButton);
        QTest::mouseClick(button(CMD_GAME_PLAYER_COMPUTER), Qt::LeftButton);
        QCOMPARE(app_state().play_mode.load(), int(PLAYER_COMPUTER));
        for (int command = CMD_GAME_PLAYER_PLAYER; command <= CMD_GAME_COMPUTER_COMPUTER; ++command)
            QCOMPARE(button(command)->isChecked(), command == CMD_GAME_PLAYER_COMPUTER);
    }

    void clicksPlayAMoveBetweenPlayersAndAgainstTheComputer() {
        settings().sound = 1;  // the move sound must not stop the game, whatever the audio
        newGame();
        click(32);
        QVERIFY(board()->isMarked(32));
        click(28);
        QCOMPARE(game_length(), 1);
        QVERIFY(!board()->isMarked(32));
        QTRY_COMPARE(frame->statusPane(PANE_MESSAGE)->text(), QStringLiteral("322800"));
        QCOMPARE(frame->statusPane(PANE_TURN)->text(), QStringLiteral("Player to move with Black"));
        QVERIFY(action(CMD_EDIT_BLACK_TO_MOVE)->isChecked());
        // The XOR, AND, XOR drawing leaves each piece inside its mask on its square, and
        // a light square keeps the tile.
        const QImage shown = board()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(squareShows(shown, 28, QImage(QStringLiteral(":/images/bmiws.png"))));
        QVERIFY(squareShows(shown, 32, QImage()));
        QVERIFY(squareShows(shown, 1, QImage(QStringLiteral(":/images/bmibs.png"))));
        const QImage tile(QStringLiteral(":/images/bmimage2.png"));
        QCOMPARE(shown.pixel(10, 10) & 0xFFFFFF, tile.pixel(10, 10) & 0xFFFFFF);

        // The same move against the computer, whose reply is committed by the clock tick
        // once its search has ended.
        action(CMD_MOVE_UNDO)->trigger();
        action(CMD_GAME_PLAYER_COMPUTER)->trigger();
        click(32);
        click(28);
        QCOMPARE(game_length(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(game_length(), 2, 30000);
        expectBoardShowsTheGame();
        QCOMPARE(frame->statusPane(PANE_TURN)->text(), QStringLiteral("Player to move with White"));
        // While the computer is to move the board takes no clicks. With the clocks
        // stopped the computer does not move either.
        action(CMD_MOVE_COMPUTER)->trigger();
        QCOMPARE(app_state().play_mode.load(), int(COMPUTER_PLAYER));
        action(CMD_CLOCK_STOP)->trigger();
        QVERIFY(game_state().computer_to_move != 0);
        click(31);
        click(27);
        QCOMPARE(game_length(), 2);
        QVERIFY(!board()->isMarked(31));
    }

    void setUpModeEditsSquares() {
        action(CMD_EDIT_SETUP)->trigger();
        QVERIFY(action(CMD_EDIT_SETUP)->isChecked());
        for (int command = 202; command <= 205; ++command) QVERIFY(action(command)->isEnabled());
        action(CMD_EDIT_CLEAR)->trigger();
        QCOMPARE(board()->pieceShown(31), int(EMPTY_SQUARE));
        action(CMD_EDIT_INIT)->trigger();
        QCOMPARE(board()->pieceShown(31), int(WHITE_MAN));
        action(CMD_EDIT_CLEAR)->trigger();
        click(28);
        QVERIFY(board()->pieceShown(28) != EMPTY_SQUARE);
        QCOMPARE(board()->pieceShown(28), int(piece_on_square(28, game_state().board)));
        const Board before = game_state().board;
        QTest::mouseClick(board(), Qt::LeftButton, {}, QPoint(10, 10));  // a light square
        QCOMPARE(game_state().board.empty, before.empty);
        click(19);
        action(CMD_EDIT_BLACK_TO_MOVE)->trigger();
        QVERIFY(action(CMD_EDIT_BLACK_TO_MOVE)->isChecked());

        const int boxes = answerer->boxes.size();
        action(CMD_EDIT_SETUP)->trigger();
        QCOMPARE(answerer->boxes.size(), boxes);
        QVERIFY(!action(CMD_EDIT_SETUP)->isChecked());
        QVERIFY(!action(CMD_EDIT_INIT)->isEnabled());
        QCOMPARE(app_state().game_running.load(), 1);
        QCOMPARE(game_state().side.load(), BLACK);
        expectBoardShowsTheGame();
    }

    void escapeAsksBeforeAbortingTheGameAndSpaceForcesAMove() {
        newGame();
        answerer->buttons = {QMessageBox::Cancel};
        QTest::keyClick(board(), Qt::Key_Escape);
        QCOMPARE(answerer->boxes.last().text, QStringLiteral("Abort Game?"));
        QCOMPARE(answerer->boxes.last().title, QStringLiteral("Game Abort"));
        QCOMPARE(answerer->boxes.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(app_state().game_running.load(), 1);

        answerer->buttons = {QMessageBox::Ok};
        QTest::keyClick(board(), Qt::Key_Escape);
        QCOMPARE(app_state().game_running.load(), 0);
        click(32);
        click(28);
        QCOMPARE(game_length(), 0);

        // Space moves the engine only while it searches, not while it ponders.
        settings().permanent_brain = 1;
        newGame();
        QCOMPARE(app_state().engine_state.load(), int(ENGINE_THINKING));
        QTest::keyClick(board(), Qt::Key_Space);
        QCOMPARE(app_state().force_move.load(), 0);

        settings().ply = MAX_ITERATION_DEPTH;
        action(CMD_GAME_COMPUTER_PLAYER)->trigger();
        QCOMPARE(app_state().engine_state.load(), int(ENGINE_SEARCHING));
        QTest::keyClick(board(), Qt::Key_Space);
        QCOMPARE(app_state().force_move.load(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(game_length(), 1, 10000);
        QCOMPARE(app_state().force_move.load(), 0);
    }

    void everyCommandOfTheTable() {
        qputenv("VANTOR_COM1", "/nonexistent/vantor-test-port");
        for (const CommandInfo& info : COMMANDS) {
            if (info.command == CMD_FILE_EXIT) continue;  // below
            answerer->buttons = {QMessageBox::Cancel, QMessageBox::Ok};
            action(info.command)->setEnabled(true);  // a greyed item's command must be harmless too
            action(info.command)->trigger();
            QVERIFY2(frame->isVisible(), QByteArray::number(info.command));
            // Menus and toolbar show the program's state after every command.
            CommandStates derived = frame->commandStates();
            derived.derive(app_state(), game_state());
            for (const CommandInfo& other : COMMANDS) {
                QCOMPARE(action(other.command)->isEnabled(), derived.state(other.command).enabled);
                if (other.kind == ItemKind::CHECK) {
                    QCOMPARE(action(other.command)->isChecked(),
                             derived.state(other.command).checked);
                }
            }
        }
        QVERIFY(answerer->dialogsClosed >= 5);  // Memory, Serial port, Search, Preferences, About
        qunsetenv("VANTOR_COM1");

        answerer->buttons = {QMessageBox::Cancel};
        action(CMD_FILE_EXIT)->trigger();
        QCOMPARE(answerer->boxes.last().text, QStringLiteral("Exit program?"));
        QVERIFY(frame->isVisible());
        answerer->buttons = {QMessageBox::Ok};
        action(CMD_FILE_EXIT)->trigger();
        QVERIFY(!frame->isVisible());
    }

    void keysOfTheAcceleratorTable() {
        activate();
        QTest::keyClick(frame, Qt::Key_2, Qt::AltModifier);
        QCOMPARE(app_state().play_mode.load(), int(PLAYER_COMPUTER));
        QTest::keyClick(frame, Qt::Key_1, Qt::AltModifier);
        QCOMPARE(app_state().play_mode.load(), int(PLAYER_PLAYER));
        answerer->buttons = {QMessageBox::Ok};
        QTest::keyClick(frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(app_state().game_running.load(), 1);
        click(32);
        click(28);
        // Keys reach the frame's window while it is active, as it is again once a box closed.
        activate();
        QTest::keyClick(frame, Qt::Key_Delete);
        QCOMPARE(game_current(), 0);

        // A port that cannot be opened: Remote is told and stays off, menu and toolbar too.
        qputenv("VANTOR_COM1", "/nonexistent/vantor-test-port");
        QTest::keyClick(frame, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(answerer->boxes.last().title, QStringLiteral("Remote"));
        QCOMPARE(app_state().remote_on.load(), 0);
        QVERIFY(!action(CMD_GAME_REMOTE)->isChecked());
        qunsetenv("VANTOR_COM1");
    }

    // Through the toolbar, the menu and the child's own system menu.
    void viewTogglesKeepMenuToolbarAndFlagsInStep() {
        for (const ChildWindowInfo& info : CHILD_WINDOWS) {
            if (info.view_command == 0) continue;
            QPointer<QWidget> before = frame->childSubWindow(info.window)->widget();
            QTest::mouseClick(button(info.view_command), Qt::LeftButton);
            expectShown(info, false);
            QVERIFY(before.isNull());

            action(info.view_command)->trigger();
            expectShown(info, true);
            expectAtItsPlace(frame->childSubWindow(info.window), info);

            QVERIFY(frame->childSubWindow(info.window)->close());
            QTRY_VERIFY(frame->childSubWindow(info.window) == nullptr);
            expectShown(info, false);
            action(info.view_command)->trigger();
        }
    }

    void frameResizeKeepsBarsAndClientInPlace() {
        frame->showNormal();
        for (const QSize size : {QSize(900, 650), QSize(1200, 800), QSize(300, 200)}) {
            frame->resize(size);
            QTRY_COMPARE(frame->size(), size);
            QApplication::processEvents();
            const int menu = frame->menuBar()->height();
            const FrameLayout expected =
                frame_layout(frame->width(), frame->height() - menu, frame->toolBar()->height(),
                             frame->statusBar()->height());
            const auto below_menu = [menu](QRect r) { return r.translated(0, -menu); };
            QCOMPARE(below_menu(frame->toolBar()->geometry()).y(), expected.toolbar.y);
            QCOMPARE(below_menu(frame->mdiArea()->geometry()), toQRect(expected.client));
            QCOMPARE(below_menu(frame->statusBar()->geometry()), toQRect(expected.status_bar));
        }
    }

    void aChildThatRefusesKeepsTheProgramRunning() {
        RefuseClose refuse;
        frame->clockWindow()->installEventFilter(&refuse);
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        for (const ChildWindowInfo& info : CHILD_WINDOWS)
            QVERIFY(frame->childSubWindow(info.window) != nullptr);
        QTRY_COMPARE(frame->statusPane(PANE_ENGINE)->text(), QStringLiteral("IDLE"));
        newGame();  // the game goes on
        // Nor does the board close on its own.
        QVERIFY(!frame->childSubWindow(BOARD_WINDOW)->close());
        frame->clockWindow()->removeEventFilter(&refuse);
        QVERIFY(frame->close());
    }

    void menuHelpReplacesThePanesWhileAMenuIsOpen() {
        QMenu* file = frame->menu(MENU_FILE);
        file->popup(frame->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(action(CMD_FILE_OPEN));
        QCOMPARE(frame->statusBar()->currentMessage(), QStringLiteral("Open an existing game"));
        QVERIFY(!frame->statusPane(0)->isVisibleTo(frame));
        file->hide();
        QTRY_VERIFY(frame->statusPane(0)->isVisibleTo(frame));

        QMenu* options = frame->menu(MENU_OPTIONS);
        options->popup(frame->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(options->isVisible());
        options->setActiveAction(action(CMD_OPTIONS_SERIAL_PORT));  // no help text: a blank pane
        QVERIFY(frame->statusBar()->currentMessage().trimmed().isEmpty());
        QVERIFY(!frame->statusPane(0)->isVisibleTo(frame));
        options->hide();
        QTRY_VERIFY(frame->statusPane(0)->isVisibleTo(frame));
    }

    void engineReportsReachTheMainThread() {
        QThread* main = QThread::currentThread();
        QThread* ranOn = nullptr;
        std::thread engine([&] {
            frame->gameUi().set_status_text(PANE_NODES, "12345");
            frame->gameUi().search_info_changed(INFO_DEPTH);
            frame->gameUi().pv_changed();
            frame->gameUi().post_to_main_thread([&] { ranOn = QThread::currentThread(); });
        });
        engine.join();
        QTRY_COMPARE(frame->statusPane(PANE_NODES)->text(), QStringLiteral("12345"));
        QTRY_VERIFY(ranOn != nullptr);
        QCOMPARE(ranOn, main);

        // A report for a window that has gone in the meantime is dropped.
        frame->gameUi().search_info_changed(INFO_SCORE);
        frame->gameUi().pv_changed();
        action(CMD_VIEW_SEARCH_INFO)->trigger();
        action(CMD_VIEW_PV)->trigger();
        QApplication::processEvents();
        QVERIFY(frame->searchInfoWindow() == nullptr);
    }

    // The messages themselves are the command test's; here the file dialog and the box.
    void fileDialogsAndMessages() {
        answerer->buttons = {QMessageBox::Ok};
        action(CMD_FILE_SAVE)->trigger();  // no game yet: a warning with OK alone
        QCOMPARE(answerer->boxes.last().icon, QMessageBox::Warning);
        QCOMPARE(answerer->boxes.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        QTemporaryDir dir;
        newGame();
        click(32);
        click(28);
        // A name without an extension gets the game files' own, and names the window.
        answerer->fileToPick = dir.filePath(QStringLiteral("game"));
        action(CMD_FILE_SAVE)->trigger();
        QCOMPARE(answerer->fileFilters, (QStringList{"TGR Files (*.TGR)", "ASCII Files (*.ASC)",
                                                     "PDN Files (*.PDN)", "All Files (*.*)"}));
        const QString path = dir.filePath(QStringLiteral("game.tgr"));
        QCOMPARE(QFileInfo(path).size(), 10);
        QCOMPARE(frame->windowTitle(), QStringLiteral("VANTOR 5.0 - game.tgr"));

        newGame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("VANTOR 5.0"));
        answerer->fileToPick = path;
        action(CMD_FILE_OPEN)->trigger();
        QCOMPARE(game_length(), 1);
        QCOMPARE(board()->pieceShown(28), int(WHITE_MAN));
        QCOMPARE(frame->windowTitle(), QStringLiteral("VANTOR 5.0 - game.tgr"));

        // The PDN filter writes PDN, and gives a name without one the .pdn extension.
        answerer->fileToPick = dir.filePath(QStringLiteral("saved"));
        answerer->filterToPick = QStringLiteral("PDN Files (*.PDN)");
        action(CMD_FILE_SAVE)->trigger();
        QFile saved(dir.filePath(QStringLiteral("saved.pdn")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("\n1. 32-28 *\n"));

        // A file of several games: the second one is picked from the list.
        QFile games(dir.filePath(QStringLiteral("games.pdn")));
        QVERIFY(games.open(QIODevice::WriteOnly));
        games.write("[White \"A\"]\n1. 31-27 *\n[White \"B\"]\n1. 32-28 19-23 2. 28x19 *\n");
        games.close();
        answerer->fileToPick = games.fileName();
        answerer->gameRowToPick = 1;
        action(CMD_FILE_OPEN)->trigger();
        QCOMPARE(game_length(), 3);
        QCOMPARE(board()->pieceShown(19), int(WHITE_MAN));
    }

    // 100,000 games are listed by the worker while the window goes on.
    void listOfAHundredThousandGames() {
        auto text = std::make_shared<std::string>();
        for (int i = 1; i <= 100000; ++i) text->append("[White \"w" + std::to_string(i) + "\"]\n1. 32-28 *\n");
        GamePickerDialog dialog(text, frame);
        dialog.show();
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start(1);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.table()->model()->rowCount(), 100000, 30000);
        QVERIFY(ticks > 0);
        QCOMPARE(dialog.table()->model()->index(99999, 1).data().toString(), QStringLiteral("w100000"));
        QCOMPARE(dialog.table()->currentIndex().row(), 0);
    }

    // The picture for the README, and a check that it shows the game being played.
    void screenshotDuringAGame() {
        frame->showNormal();
        frame->resize(1000, 720);
        QTRY_COMPARE(frame->size(), QSize(1000, 720));
        newGame();
        click(32);
        click(28);
        click(19);
        click(23);
        click(28);
        QCOMPARE(game_length(), 3);  // 32-28 19-23 28x19
        QApplication::processEvents();
        const QImage shot = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint boardAt = board()->mapTo(frame, QPoint(0, 0));
        const QImage whiteMan(QStringLiteral(":/images/bmiws.png"));
        const QImage blackMan(QStringLiteral(":/images/bmibs.png"));
        const QImage empty(QStringLiteral(":/images/bmiem.png"));
        QCOMPARE(shot.pixel(boardAt + centre(19)) & 0xFFFFFF, whiteMan.pixel(21, 21) & 0xFFFFFF);
        QCOMPARE(shot.pixel(boardAt + centre(14)) & 0xFFFFFF, blackMan.pixel(21, 21) & 0xFFFFFF);
        QCOMPARE(shot.pixel(boardAt + centre(23)) & 0xFFFFFF, empty.pixel(21, 21) & 0xFFFFFF);
        QCOMPARE(shot.pixel(boardAt + centre(28)) & 0xFFFFFF, empty.pixel(21, 21) & 0xFFFFFF);
        QVERIFY(QDir().mkpath(QStringLiteral("screenshots")));
        QVERIFY(shot.save(QStringLiteral("screenshots/screenshot-game.png")));
    }

    // The README's picture of all six windows while the computer thinks: clocks running,
    // principal variation and search information filled.
    void screenshotOfAllWindowsWhileTheComputerThinks() {
        frame->showNormal();
        frame->resize(1000, 720);
        QTRY_COMPARE(frame->size(), QSize(1000, 720));
        settings().search_mode = FIXED_TIME_PER_MOVE;
        settings().seconds_per_move = 3;
        action(CMD_GAME_PLAYER_COMPUTER)->trigger();
        newGame();
        click(32);
        click(28);
        QTRY_COMPARE_WITH_TIMEOUT(game_length(), 2, 20000);
        click(37);
        click(32);
        QCOMPARE(app_state().engine_state.load(), int(ENGINE_SEARCHING));
        QTest::qWait(2200);
        QVERIFY(game_state().pv_length > 0);
        QVERIFY(!frame->searchInfoWindow()->field(0)->text().isEmpty());
        QVERIFY(app_state().black_clock > 0);
        const QImage shot = frame->grab().toImage();
        QVERIFY(QDir().mkpath(QStringLiteral("screenshots")));
        QVERIFY(shot.save(QStringLiteral("screenshots/screenshot-windows.png")));
        settings().search_mode = FIXED_PLY;
    }

    void startUpTime() {
        delete frame;
        QElapsedTimer sinceStart;
        sinceStart.start();
        frame = new MainWindow;
        frame->showMaximized();
        frame->start();
        QTRY_VERIFY(board()->paintCount() > 0);
        qInfo("start-up to first painted board: %lld ms",
              static_cast<long long>(sinceStart.elapsed()));
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
