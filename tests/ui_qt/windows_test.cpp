// The information windows, the dialogs, printing and the help window, headless.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "engine/knowledge/book.h"
#include "engine/board/board.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"
#include "game/move_text.h"
#include "game/record.h"
#include "records/app_state.h"
#include "records/game_state.h"
#include "records/settings.h"
#include "ui/clock_face.h"
#include "ui/qt/clock_window.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/game_window.h"
#include "ui/qt/help_window.h"
#include "ui/qt/printing.h"
#include "ui/qt/pv_window.h"
#include "ui/qt/search_info_window.h"

namespace {

// ---- Helpers ---------------------------------------------------------------------------

// Runs `action` on the first modal widget of type T once it is up (a dialog's or message
// box's own event loop), and remembers that it ran.
class WhenModal : public QObject {
  public:
    template <class T>
    static std::unique_ptr<WhenModal> run(std::function<void(T*)> action) {
        auto when = std::make_unique<WhenModal>();
        WhenModal* self = when.get();
        connect(&self->timer_, &QTimer::timeout, self, [self, action] {
            if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
                self->timer_.stop();
                self->ran = true;
                action(widget);
            }
        });
        self->timer_.start(5);
        return when;
    }
    bool ran = false;

  private:
    QTimer timer_;
};

struct MessageSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with OK, after `during` (run while it is up).
std::unique_ptr<WhenModal> answer_message_box(
    MessageSeen& seen, std::function<void()> during = [] {}) {
    return WhenModal::run<QMessageBox>([&seen, during](QMessageBox* box) {
        seen = {box->windowTitle(), box->text(), box->icon()};
        during();
        box->button(QMessageBox::Ok)->click();
    });
}

// A record of `length` half-moves, current at `current` (the end when negative): White
// plays quiet moves, Black captures, the squares running on so each line differs.
GameRecord record_of(int length, int current = -1) {
    GameRecord record;
    for (int i = 0; i < length; ++i) {
        const bool white = i % 2 == 0;
        const int n = i / 2 % 20;
        record.entries[i] = {white ? WHITE : BLACK,   0, white ? 1 : 6, white ? 31 + n : 20 - n,
                             white ? 26 + n : 29 - n, {}};
    }
    record.entries[length].side = length % 2 == 0 ? WHITE : BLACK;
    // Boards that differ, or the draw rules would see one position repeated.
    for (int i = 0; i <= length; ++i) record.entries[i].board.empty = static_cast<Bitboard>(i + 1);
    record.length = length;
    record.current = current < 0 ? length : current;
    return record;
}

// Shows a window at `size`, so that it gets its resize event as it would on screen.
void show_at(QWidget& widget, QSize size) {
    widget.resize(size);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
}

// The darkest channel value in a rectangle (255: nothing drawn).
int darkest(const QImage& image, const QRect& area) {
    int value = 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!image.valid(x, y)) continue;
            const QRgb pixel = image.pixel(x, y);
            value = std::min({value, qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    }
    return value;
}

// Whether the clock shows, within one pixel of the point 7/8 along a hand, a black pixel
// or (red) a red one.
bool hand_at(const ClockWindow& clock, int degrees, int length, int centre_x, bool red = false) {
    const ClockMapping mapping = clock_mapping(clock.width(), clock.height());
    const LogicalPoint point = hand_end(degrees, length * 7 / 8, centre_x);
    const QPoint at(static_cast<int>(mapping.origin_x + point.x * mapping.scale),
                    static_cast<int>(mapping.origin_y - point.y * mapping.scale));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (!clock.canvas().valid(at + QPoint(dx, dy))) continue;
            const QRgb pixel = clock.canvas().pixel(at + QPoint(dx, dy));
            if ((red ? qRed(pixel) > 200 : qRed(pixel) < 60) && qGreen(pixel) < 60 &&
                qBlue(pixel) < 60)
                return true;
        }
    }
    return false;
}
bool second_at(const ClockWindow& clock, int degrees, int centre_x) {
    return hand_at(clock, degrees, SECOND_HAND_LENGTH, centre_x, true);
}

QString pdf_text(const QString& file, int page = 0) {
    QStringList arguments{"-layout"};
    if (page > 0) arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    arguments << file << "-";
    QProcess process;
    process.start("pdftotext", arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdf_pages(const QString& file) {
    // pdftotext ends every page with a form feed.
    return static_cast<int>(pdf_text(file).count(QChar('\f')));
}

// The printed lines of a page as "number white [black]", blanks collapsed.
QStringList printed_lines(const QString& file, int page) {
    QStringList lines;
    for (const QString& line : pdf_text(file, page).split('\n')) {
        const QString simple = line.simplified().remove(QChar('\f'));
        if (!simple.isEmpty()) lines << simple;
    }
    return lines;
}

}  // namespace

// ---- Information windows ---------------------------------------------------------------

class InformationWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        AppState& app = app_state();
        app.white_clock = 0;
        app.black_clock = 0;
        app.clock_drawn = 0;
        game_state().side = WHITE;
        game_state().legal_count = 1;  // the games here go on: no result is shown
        game_record_replace(GameRecord{});
        game_window_scroll() = {};
    }

    // Both clocks with red second hands; a tick across a minute erases all three old hands
    // of the side to move, whose value is the one drawn last.
    void clockDrawsBothClocksAndATickErasesTheOldHands() {
        app_state().white_clock = 3723;  // 1:02:03
        app_state().black_clock = 30;
        ClockWindow clock;
        show_at(clock, {1000, 300});
        QVERIFY(second_at(clock, 18, WHITE_CLOCK_X));
        QVERIFY(hand_at(clock, 12, MINUTE_HAND_LENGTH, WHITE_CLOCK_X));
        QVERIFY(hand_at(clock, 31, HOUR_HAND_LENGTH, WHITE_CLOCK_X));
        QVERIFY(second_at(clock, 180, BLACK_CLOCK_X));
        QCOMPARE(app_state().clock_drawn.load(), 3723);

        app_state().white_clock = 3840;  // 1:04:00
        clock.tick();
        QCOMPARE(app_state().clock_drawn.load(), 3840);
        QVERIFY(!second_at(clock, 18, WHITE_CLOCK_X));
        QVERIFY(second_at(clock, 0, WHITE_CLOCK_X));
        QVERIFY(!hand_at(clock, 12, MINUTE_HAND_LENGTH, WHITE_CLOCK_X));
        QVERIFY(hand_at(clock, 24, MINUTE_HAND_LENGTH, WHITE_CLOCK_X));
    }

    // A tick of Black's clock leaves White's alone; a reset draws both at zero.
    void clockTickDrawsOnlyTheSideToMoveAndResetDrawsZero() {
        app_state().black_clock = 15;
        ClockWindow clock;
        show_at(clock, {1000, 300});
        game_state().side = BLACK;
        app_state().clock_drawn = 15;
        app_state().black_clock = 16;
        app_state().white_clock = 45;
        clock.tick();
        QVERIFY(second_at(clock, 96, BLACK_CLOCK_X));
        QVERIFY(!second_at(clock, 90, BLACK_CLOCK_X));
        QVERIFY(!second_at(clock, 270, WHITE_CLOCK_X));

        app_state().black_clock = 1800 + 16;
        clock.tick();
        QVERIFY(hand_at(clock, 180, MINUTE_HAND_LENGTH, BLACK_CLOCK_X));
        clock.resetHands();
        QVERIFY(!second_at(clock, 96, BLACK_CLOCK_X));
        QVERIFY(!hand_at(clock, 180, MINUTE_HAND_LENGTH, BLACK_CLOCK_X));
        QVERIFY(second_at(clock, 0, BLACK_CLOCK_X));
        QVERIFY(second_at(clock, 0, WHITE_CLOCK_X));
    }

    void gameWindowScrollsToTheEndAndStaysInRange() {
        game_record_replace(record_of(80));  // 40 lines
        GameWindow window;
        show_at(window, {167, window.lineHeight() * 10 + 2});  // the designed width
        window.gameChanged();
        QCOMPARE(window.scroll().position, 32);
        QCOMPARE(window.scrollBar()->maximum(), 32);
        // The longest line fits beside the scroll bar.
        QVERIFY(18 * window.charWidth() <= window.width() - window.scrollBar()->width());
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_PageDown, 32}, {Qt::Key_PageUp, 22}, {Qt::Key_Home, 0}, {Qt::Key_Up, 0},
            {Qt::Key_Down, 1},      {Qt::Key_End, 32},    {Qt::Key_A, 32},
        };
        for (const auto& [key, position] : keys) {
            QTest::keyClick(&window, key);
            QCOMPARE(window.scroll().position, position);
        }
        QCOMPARE(window.scrollBar()->value(), 32);

        window.scrollBar()->setSliderPosition(10);  // the thumb dragged
        QCOMPARE(window.scroll().position, 10);
        window.scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(window.scroll().position, 20);
        QCOMPARE(window.scrollBar()->value(), 20);
        window.scrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        window.scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(window.scroll().position, 32);
    }

    void gameWindowFollowsUndoAndKeepsItsScrollBetweenShowings() {
        game_record_replace(record_of(80, 50));
        {
            GameWindow window;
            show_at(window, {175, window.lineHeight() * 10 + 2});
            window.currentMoveChanged();
            QCOMPARE(window.scroll().position, 21);
        }
        GameWindow again;
        QCOMPARE(again.scroll().position, 21);
        // Its first size clamps what it kept.
        game_record_replace(record_of(20));
        show_at(again, {175, again.lineHeight() * 10 + 2});
        QCOMPARE(again.scroll().position, 2);
    }

    void gameWindowDrawsTheLinesAndGreysTheRedoTail() {
        game_record_replace(record_of(5));
        GameWindow window;
        show_at(window, {175, 200});
        window.gameChanged();
        QVERIFY(window.scrollBar()->isHidden());
        const int h = window.lineHeight();
        const int w = window.charWidth();
        const auto cell = [&](int line, int column_chars, int chars) {
            return QRect(column_chars * w, (line + 1) * h, chars * w, h - 1);
        };
        // Three lines below one blank line, the last with White's move only.
        QImage shot = window.grab().toImage();
        QVERIFY(darkest(shot, cell(1, 13, 5)) < 100);
        QVERIFY(darkest(shot, cell(2, 0, 11)) < 100);
        QCOMPARE(darkest(shot, cell(2, 13, 5)), 255);
        QCOMPARE(darkest(shot, cell(3, 0, 18)), 255);

        const QRect moves(6 * w, h, 12 * w, 4 * h);
        game_record_replace(record_of(8, 0));  // undone to the start: all grey
        window.currentMoveChanged();
        shot = window.grab().toImage();
        QVERIFY(darkest(shot, moves) >= GREY_LEVEL - 2);
        QVERIFY(darkest(shot, moves) < 250);
        game_record_replace(record_of(8));  // redone to the end: none
        window.currentMoveChanged();
        QVERIFY(darkest(window.grab().toImage(), moves) < 100);
    }

    void pvWindowPutsBlacksFirstMoveInTheRightColumn() {
        game_state().side = BLACK;
        game_state().pv_length = 1;
        game_state().pv[0] = PvEntry{6, 19, 30, 1};
        PvWindow window;
        show_at(window, {112, 170});  // the designed size
        window.refresh();
        const QImage shot = window.grab().toImage();
        const int w = window.charWidth();
        QCOMPARE(darkest(shot, QRect(5, 0, 5 * w, window.lineHeight() - 1)), 255);
        QVERIFY(darkest(shot, QRect(5 + 6 * w, 0, 6 * w, window.lineHeight() - 1)) < 100);
        QVERIFY(5 + 12 * w <= window.width());
        game_state().pv_length = 0;
    }

    void searchInfoFieldsFollowTheEngine() {
        init_board_tables();
        GameState& state = game_state();
        setup_initial_position(state.board);
        state.side = WHITE;
        QCOMPARE(list_legal_moves(state), 9);
        SearchInfoWindow window;
        show_at(window, {112, 140});
        state.iteration_depth = 4;
        state.examined_move = 2;
        state.engine_move = 7;
        state.examined_word = static_cast<std::int32_t>(root_moves()[2].word);
        state.engine_word = static_cast<std::int32_t>(root_moves()[7].word);
        state.score = -15;
        // Posted as the engine's reports are; the values are read when handled.
        for (const int info : {INFO_DEPTH, INFO_EXAMINED, INFO_BEST, INFO_SCORE}) {
            QMetaObject::invokeMethod(
                &window, [&window, info] { window.searchInfo(info); }, Qt::QueuedConnection);
        }
        state.iteration_depth = 5;
        QTRY_COMPARE(window.field(3)->text(), QString("-15"));
        QCOMPARE(window.field(0)->text(), QString("5"));
        QCOMPARE(window.field(1)->text(), QString::fromStdString(format_move(2)));
        QCOMPARE(window.field(2)->text(), QString::fromStdString(format_move(7)));
    }
};

// ---- Dialogs ---------------------------------------------------------------------------

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        reset_settings();
        settings().hash_size_index = 3;
        app_state().engine_state = ENGINE_IDLE;
        app_state().remote_on = 0;
        game_state().use_book = 1;
        game_state().endgame_available = 1;
        game_state().engine_request = REQUEST_SEARCH;
        QVERIFY(book_load(".") == 1);  // the program's own book.dat, beside the tests
    }
    void cleanup() {
        book_free();
        tt_set_allocation_cap(0);
        tt_free();
        game_state().engine_request = REQUEST_STOP;
    }

    // Every control inside the dialog and wide enough for its text, whichever text the
    // mode gives the labels.
    void templatesKeepTheirArrangement() {
        SearchDialog dialog(nullptr);
        QVERIFY(qobject_cast<QPushButton*>(dialog.control(CONTROL_OK))->isDefault());
        for (const int mode :
             {SEARCH_FIXED_PLY, SEARCH_FIXED_TIME, SEARCH_GAME, SEARCH_TOURNAMENT}) {
            dialog.control<QRadioButton>(mode)->click();
            for (QWidget* child :
                 dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                QVERIFY(dialog.rect().contains(child->geometry()));
                if (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLabel*>(child)) {
                    QVERIFY2(child->width() >= child->sizeHint().width(),
                             qPrintable(child->objectName()));
                }
            }
        }
    }

    // Cancel stores nothing; OK refuses an unusable value with a message and stays open,
    // then stores the mode and its fields.
    void searchDialogCancelAndOk() {
        auto cancel = WhenModal::run<SearchDialog>([](SearchDialog* dialog) {
            dialog->control<QRadioButton>(SEARCH_GAME)->click();
            dialog->control<QLineEdit>(SEARCH_FIELD_1)->setText("90");
            dialog->control<QPushButton>(CONTROL_CANCEL)->click();
        });
        QCOMPARE(run_search_dialog(nullptr), 0);
        QCOMPARE(settings().search_mode.load(), int(FIXED_PLY));
        QCOMPARE(settings().minutes_per_game.load(), 60);

        SearchDialog dialog(nullptr);
        dialog.show();
        dialog.control<QRadioButton>(SEARCH_TOURNAMENT)->click();
        auto* field1 = dialog.control<QLineEdit>(SEARCH_FIELD_1);
        field1->setText("0");
        dialog.control<QLineEdit>(SEARCH_FIELD_2)->setText("100");
        MessageSeen seen;
        const auto answer = answer_message_box(seen);
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(answer->ran);
        QCOMPARE(seen.title, QString("VANTOR Search"));
        QCOMPARE(seen.text, QString("Moves must be a whole number from 1 to 1000."));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(dialog.isVisible());
        QCOMPARE(settings().search_mode.load(), int(FIXED_PLY));

        field1->clear();
        QTest::keyClicks(field1, "1a-000");  // the fields take digits only
        QCOMPARE(field1->text(), QString("1000"));
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(settings().search_mode.load(), int(TOURNAMENT));
        QCOMPARE(settings().tournament_moves.load(), 1000);
        QCOMPARE(settings().tournament_minutes.load(), 100);
        QCOMPARE(settings().ply.load(), 6);
    }

    void memoryDialogStopsTheEngineAndReallocatesOnOkOnly() {
        {
            MemoryDialog dialog(nullptr);
            QVERIFY(dialog.control<QRadioButton>(1016)->isChecked());
            dialog.control<QRadioButton>(1018)->click();
            dialog.control<QPushButton>(CONTROL_CANCEL)->click();
            QCOMPARE(settings().hash_size_index.load(), 3);
            QCOMPARE(tt_entry_count(), 0u);
        }
        app_state().engine_state = ENGINE_SEARCHING;
        app_state().stopped_event.set();  // the engine confirms at once
        MemoryDialog dialog(nullptr);
        dialog.control<QRadioButton>(1014)->click();
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(game_state().engine_request.load(), int(REQUEST_STOP));
        QCOMPARE(settings().hash_size_index.load(), 1);
        QCOMPARE(tt_entry_count(), 65536u);
    }

    void memoryDialogReportsASmallerTable() {
        tt_set_allocation_cap(TT_SIZES[2].entries);
        MemoryDialog dialog(nullptr);
        dialog.show();
        dialog.control<QRadioButton>(1018)->click();
        MessageSeen seen;
        bool checked_during_message = false;
        auto answer = answer_message_box(seen, [&] {
            checked_during_message = dialog.control<QRadioButton>(1015)->isChecked();
        });
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(answer->ran);
        QCOMPARE(seen.title, QString("Memory"));
        QCOMPARE(seen.text, QString("Hash-table allocation error!"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(checked_during_message);
        QCOMPARE(settings().hash_size_index.load(), 2);
        QCOMPARE(tt_entry_count(), TT_SIZES[2].entries);
    }

    void serialPortDialog() {
        {
            SerialPortDialog dialog(nullptr);
            QVERIFY(dialog.control<QRadioButton>(1019)->isChecked());
            dialog.control<QRadioButton>(1021)->click();
            dialog.control<QPushButton>(CONTROL_CANCEL)->click();
            QCOMPARE(settings().com_port.load(), 1);
        }
        SerialPortDialog dialog(nullptr);
        dialog.control<QRadioButton>(1022)->click();
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().com_port.load(), 4);
        QVERIFY(SerialPortDialog(nullptr).control<QRadioButton>(1022)->isChecked());
    }

    // OK reads every enabled box. The book, the databases and the remote link as the
    // program has them disable theirs, which read as unchecked. A loaded book's box can
    // be changed whether or not the game in progress still follows the book.
    void preferencesDialog() {
        {
            PreferencesDialog dialog(nullptr);
            dialog.control<QCheckBox>(PREF_SOUND)->click();
            dialog.control<QCheckBox>(PREF_OPENING_BOOK)->click();
            dialog.control<QPushButton>(CONTROL_CANCEL)->click();
            QCOMPARE(settings().sound.load(), 1);
            QCOMPARE(settings().book_use.load(), 0);
        }
        settings().book_use = 1;
        game_state().use_book = 0;  // a game that has left the book
        {
            PreferencesDialog dialog(nullptr);
            for (int id = PREF_OPENING_BOOK; id <= PREF_AUTO_MOVE; ++id) {
                QVERIFY(dialog.control<QCheckBox>(id)->isEnabled());
                QCOMPARE(dialog.control<QCheckBox>(id)->isChecked(),
                         id != PREF_ENDGAME_DATABASE && id != PREF_AUTO_MOVE);
            }
            dialog.control<QCheckBox>(PREF_SOUND)->click();
            dialog.control<QCheckBox>(PREF_ENDGAME_DATABASE)->click();
            dialog.control<QCheckBox>(PREF_AUTO_MOVE)->click();
            dialog.control<QPushButton>(CONTROL_OK)->click();
            QCOMPARE(settings().sound.load(), 0);
            QCOMPARE(settings().endgame_use.load(), 1);
            QCOMPARE(settings().auto_move.load(), 1);
            QCOMPARE(settings().book_use.load(), 1);
        }
        book_free();
        game_state().endgame_available = 0;
        app_state().remote_on = 1;
        PreferencesDialog dialog(nullptr);
        for (const int id :
             {PREF_OPENING_BOOK, PREF_ENDGAME_DATABASE, PREF_PERMANENT_BRAIN, PREF_AUTO_MOVE}) {
            QVERIFY(!dialog.control<QCheckBox>(id)->isEnabled());
            QVERIFY(!dialog.control<QCheckBox>(id)->isChecked());
        }
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().book_use.load(), 0);
        QCOMPARE(settings().endgame_use.load(), 0);
        QCOMPARE(settings().permanent_brain.load(), 0);
        QCOMPARE(settings().auto_move.load(), 0);
        QCOMPARE(settings().sound.load(), 0);
    }

    void aboutDialogClosesWithOkOnly() {
        AboutDialog dialog(nullptr);
        QVERIFY(dialog.control(CONTROL_CANCEL) == nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.reject();
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(!dialog.isVisible());
    }
};

// ---- Printing --------------------------------------------------------------------------

class PrintingTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir directory_;
    int file_number_ = 0;
    QString file_;
    std::unique_ptr<QPrinter> printer_;

    // A PDF printer on a small page, so that a game of a few dozen moves needs two; its
    // lines per page as the printing works them out.
    int new_printer() {
        file_ = directory_.filePath(QString("print%1.pdf").arg(++file_number_));
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(file_);
        printer_->setPageSize(QPageSize(QSizeF(80, 60), QPageSize::Millimeter));
        printer_->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::FixedFont),
                                   printer_.get());
        const int height = printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
        return height / (metrics.height() + metrics.leading());
    }

  private slots:
    void init() {
        game_state().legal_count = 1;  // the games here go on: no result is printed
        game_record_replace(GameRecord{});
    }

    void fiveHalfMovesPrintThreeLines() {
        new_printer();
        QWidget frame;
        QCOMPARE(print_game_on(*printer_, 1, false, &frame), 0);  // no game: nothing
        QVERIFY(!QFile::exists(file_));
        game_record_replace(record_of(5));
        QCOMPARE(print_game_on(*printer_, 1, false, &frame), 1);
        QCOMPARE(pdf_pages(file_), 1);
        QCOMPARE(printed_lines(file_, 1),
                 (QStringList{"1 31-26 20x29", "2 32-27 19x28", "3 33-28"}));
        QVERIFY(frame.isEnabled());
        QVERIFY(frame.findChild<QDialog*>("PrintDlgBox") == nullptr);

        game_state().legal_count = 0;  // Black has no move left: the result is printed
        new_printer();
        QCOMPARE(print_game_on(*printer_, 1, false, &frame), 1);
        QCOMPARE(printed_lines(file_, 1).back(), QString("3 33-28 2-0"));
    }

    // Two pages, the game ending with White's move, in two copies: each page twice in a
    // row, or with collation the whole document twice.
    void aTwoPageGameInTwoCopies() {
        for (const bool collate : {false, true}) {
            const int per_page = new_printer();
            QVERIFY(per_page >= 3);
            game_record_replace(record_of(2 * (per_page + 2) - 1));
            QCOMPARE(print_game_on(*printer_, 2, collate, nullptr), 1);
            QCOMPARE(pdf_pages(file_), 4);
            QList<QStringList> pages;
            for (int page = 1; page <= 4; ++page) pages << printed_lines(file_, page);
            const QStringList first = pages[0];
            const QStringList second = pages[collate ? 1 : 2];
            QCOMPARE(pages[collate ? 2 : 1], first);
            QCOMPARE(pages[3], second);
            QCOMPARE(first.size(), per_page);
            QVERIFY(first.back().startsWith(QString("%1 ").arg(per_page)));
            QCOMPARE(second.size(), 2);
            QVERIFY(second.front().startsWith(QString("%1 ").arg(per_page + 1)));
            QCOMPARE(second.back().split(' ').size(), 2);  // number and White's move only
        }
    }

    // The frame is disabled while the abort dialog is up; cancelling still ends the
    // document, with the page that was being printed.
    void cancellingStopsAfterTheCurrentPage() {
        game_record_replace(record_of(6 * new_printer()));  // three pages
        QWidget frame;
        frame.show();
        bool frame_enabled = true;
        QTimer::singleShot(0, &frame, [&] {
            frame_enabled = frame.isEnabled();
            auto* dialog = frame.findChild<QDialog*>("PrintDlgBox");
            QVERIFY(dialog != nullptr && dialog->isVisible());
            auto* cancel = dialog->findChild<QPushButton*>("PrintCancel");
            QVERIFY(cancel != nullptr);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QCOMPARE(print_game_on(*printer_, 1, false, &frame), 0);
        QVERIFY(!frame_enabled);
        QVERIFY(frame.isEnabled());
        QTRY_VERIFY(frame.findChild<QDialog*>("PrintDlgBox") == nullptr);
        QCOMPARE(pdf_pages(file_), 1);
        QVERIFY(printed_lines(file_, 1).front().startsWith("1 "));
    }
};

// ---- Help ------------------------------------------------------------------------------

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    // Where the document is missing the window says so; where it is, it shows it with
    // its pictures, and a second request raises the same window.
    void showsTheHelpDocumentWithItsPictures() {
        {
            QTemporaryDir empty;
            const QString previous = QDir::currentPath();
            QVERIFY(QDir::setCurrent(empty.path()));
            QWidget frame;
            show_help_contents(&frame);
            QDir::setCurrent(previous);
            auto* missing = frame.findChild<HelpWindow*>();
            QVERIFY(missing != nullptr);
            const QString text = missing->browser()->toPlainText();
            QVERIFY(text.contains("was not found") && text.contains(HELP_FILE));
        }
        if (!QFile::exists(HELP_FILE)) QSKIP("the help document is not beside the test");
        QWidget frame;
        show_help_contents(&frame);
        auto* window = frame.findChild<HelpWindow*>("HelpWindow");
        QVERIFY(window != nullptr && window->isVisible());
        QTextBrowser* browser = window->browser();
        QCOMPARE(browser->source(),
                 QUrl::fromLocalFile(QDir::current().absoluteFilePath(HELP_FILE)));
        QCOMPARE(browser->documentTitle(), QString("VANTOR Help"));
        const QVariant picture =
            browser->loadResource(QTextDocument::ImageResource, QUrl("vantor_help/vantor_48.png"));
        QVERIFY(!picture.toByteArray().isEmpty());
        show_help_contents(&frame);
        QCOMPARE(frame.findChildren<HelpWindow*>().size(), 1);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int status = 0;
    {
        InformationWindowsTest windows;
        status |= QTest::qExec(&windows, argc, argv);
    }
    {
        DialogsTest dialogs;
        status |= QTest::qExec(&dialogs, argc, argv);
    }
    {
        PrintingTest printing;
        status |= QTest::qExec(&printing, argc, argv);
    }
    {
        HelpTest help;
        status |= QTest::qExec(&help, argc, argv);
    }
    return status;
}

#include "windows_test.moc"
