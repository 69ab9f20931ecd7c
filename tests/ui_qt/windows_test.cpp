// The information windows, the dialogs, printing and the help window, headless.

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
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

#include "engine/board/board.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"
#include "game/move_text.h"
#include "game/record.h"
#include "records/app_state.h"
#include "records/game_state.h"
#include "records/settings.h"
#include "ui/clock_face.h"
#include "ui/dialog_templates.h"
#include "ui/qt/clock_window.h"
#include "ui/qt/command_window.h"
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

// Answers the next message box with OK.
std::unique_ptr<WhenModal> answer_message_box(MessageSeen& seen) {
    return WhenModal::run<QMessageBox>([&seen](QMessageBox* box) {
        seen = {box->windowTitle(), box->text(), box->icon()};
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
    record.length = length;
    record.current = current < 0 ? length : current;
    return record;
}

bool is_red(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}
bool is_black(QRgb pixel) {
    return qRed(pixel) < 60 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

// Shows a window at `size`, so that it gets its resize event as it would on screen.
void show_at(QWidget& widget, QSize size) {
    widget.resize(size);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
}

// Whether any pixel within one pixel of `at` passes `test`.
bool near(const QImage& image, QPoint at, bool (*test)(QRgb)) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.valid(p) && test(image.pixel(p))) return true;
        }
    }
    return false;
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

  private:
    // Logical clock point -> pixel of a window of the given size.
    static QPoint device(const QSize& size, LogicalPoint point) {
        const ClockMapping mapping = clock_mapping(size.width(), size.height());
        return {static_cast<int>(mapping.origin_x + point.x * mapping.scale),
                static_cast<int>(mapping.origin_y - point.y * mapping.scale)};
    }
    // A point 7/8 of the way along a hand of `length` at `degrees`.
    static QPoint along(const QSize& size, int degrees, int length, int centre_x) {
        return device(size, hand_end(degrees, length * 7 / 8, centre_x));
    }

  private slots:
    void init() {
        AppState& app = app_state();
        app.white_clock = 0;
        app.black_clock = 0;
        app.clock_drawn = 0;
        game_state().side = WHITE;
        game_record_replace(GameRecord{});
        game_window_scroll() = {};
    }

    void clockPaintDrawsBothClocksWithRedSecondHands() {
        app_state().white_clock = 3723;  // 1:02:03
        app_state().black_clock = 30;
        ClockWindow clock;
        show_at(clock, {1000, 300});
        const QImage& image = clock.canvas();
        const QSize size = clock.size();
        QVERIFY(near(image, along(size, 18, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        QVERIFY(near(image, along(size, 12, MINUTE_HAND_LENGTH, WHITE_CLOCK_X), is_black));
        QVERIFY(near(image, along(size, 31, HOUR_HAND_LENGTH, WHITE_CLOCK_X), is_black));
        QVERIFY(near(image, along(size, 180, SECOND_HAND_LENGTH, BLACK_CLOCK_X), is_red));
        // A dot at 3 o'clock of Black's clock.
        QVERIFY(near(image, device(size, {BLACK_CLOCK_X + DOT_RADIUS, 0}), is_black));
        // The side to move's value is the one drawn last.
        QCOMPARE(app_state().clock_drawn.load(), 3723);
    }

    void clockTickErasesTheOldHandsAcrossAMinute() {
        app_state().white_clock = 119;  // 0:01:59
        ClockWindow clock;
        show_at(clock, {1000, 300});
        const QSize size = clock.size();
        QVERIFY(near(clock.canvas(), along(size, 354, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        QVERIFY(near(clock.canvas(), device(size, hand_end(6, 750, WHITE_CLOCK_X)), is_black));

        app_state().white_clock = 120;
        clock.tick();
        const QImage& image = clock.canvas();
        QCOMPARE(app_state().clock_drawn.load(), 120);
        QVERIFY(!near(image, along(size, 354, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        // The minute hand moved from 6 to 12 degrees: the old one is gone (beyond the
        // hour hand's reach), the new one is there.
        QVERIFY(!near(image, device(size, hand_end(6, 750, WHITE_CLOCK_X)), is_black));
        QVERIFY(near(image, device(size, hand_end(12, 750, WHITE_CLOCK_X)), is_black));
        QVERIFY(near(image, along(size, 0, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));

        app_state().white_clock = 121;
        clock.tick();
        QVERIFY(near(clock.canvas(), along(size, 6, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        QVERIFY(near(clock.canvas(), device(size, hand_end(12, 750, WHITE_CLOCK_X)), is_black));
        QVERIFY(!near(clock.canvas(), along(size, 0, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
    }

    void clockTickDrawsOnlyTheSideToMove() {
        app_state().black_clock = 15;
        ClockWindow clock;
        show_at(clock, {1000, 300});
        const QSize size = clock.size();
        game_state().side = BLACK;
        app_state().clock_drawn = 15;
        app_state().black_clock = 16;
        app_state().white_clock = 45;  // not drawn by a tick of Black's clock
        clock.tick();
        QVERIFY(near(clock.canvas(), along(size, 96, SECOND_HAND_LENGTH, BLACK_CLOCK_X), is_red));
        QVERIFY(!near(clock.canvas(), along(size, 90, SECOND_HAND_LENGTH, BLACK_CLOCK_X), is_red));
        QVERIFY(!near(clock.canvas(), along(size, 270, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        QVERIFY(near(clock.canvas(), along(size, 0, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
    }

    void clockResetErasesBothClocksAndDrawsZero() {
        app_state().white_clock = 3723;
        app_state().black_clock = 1800 + 45;
        ClockWindow clock;
        show_at(clock, {1000, 300});
        const QSize size = clock.size();
        clock.resetHands();
        const QImage& image = clock.canvas();
        QVERIFY(!near(image, along(size, 18, SECOND_HAND_LENGTH, WHITE_CLOCK_X), is_red));
        QVERIFY(!near(image, along(size, 31, HOUR_HAND_LENGTH, WHITE_CLOCK_X), is_black));
        QVERIFY(!near(image, along(size, 270, SECOND_HAND_LENGTH, BLACK_CLOCK_X), is_red));
        QVERIFY(!near(image, along(size, 180, MINUTE_HAND_LENGTH, BLACK_CLOCK_X), is_black));
        for (const int centre_x : {WHITE_CLOCK_X, BLACK_CLOCK_X}) {
            QVERIFY(near(image, along(size, 0, SECOND_HAND_LENGTH, centre_x), is_red));
        }
    }

    void clockFitsItsDesignedSize() {
        app_state().white_clock = 600;
        ClockWindow clock;
        show_at(clock, {167, 48});
        const QImage shot = clock.grab().toImage();
        // Both faces' 9 and 3 o'clock dots lie inside the window.
        for (const int centre_x : {WHITE_CLOCK_X, BLACK_CLOCK_X}) {
            QVERIFY(near(shot, device(clock.size(), {centre_x - DOT_RADIUS, 0}), is_black));
            QVERIFY(near(shot, device(clock.size(), {centre_x + DOT_RADIUS, 0}), is_black));
        }
    }

    void commandWindowPassesTheFocusAndTypingChangesNothing() {
        game_record_replace(record_of(3));
        QWidget frame;
        auto* command = new CommandWindow(&frame);
        show_at(frame, {180, 50});
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QCOMPARE(command->editor()->geometry(), QRect(0, 0, 173, 25));
        command->setFocus();
        QTRY_VERIFY(command->editor()->hasFocus());
        QTest::keyClicks(command->editor(), "new game 32-28");
        QTest::keyClick(command->editor(), Qt::Key_Return);
        QCOMPARE(game_length(), 3);
        QCOMPARE(game_state().side.load(), static_cast<int>(WHITE));
        QVERIFY(command->editor()->toPlainText().startsWith("new game"));
    }

    void gameWindowScrollsToTheEndWhenTheGameChanges() {
        game_record_replace(record_of(80));  // 40 lines
        GameWindow window;
        show_at(window, {175, window.lineHeight() * 10 + window.lineHeight() / 2});
        window.gameChanged();
        QCOMPARE(window.scroll().maximum, 32);
        QCOMPARE(window.scroll().position, 32);
        QVERIFY(!window.scrollBar()->isHidden());
        QCOMPARE(window.scrollBar()->maximum(), 32);
        QCOMPARE(window.scrollBar()->value(), 32);
    }

    void gameWindowKeysAndScrollBarStayInRange() {
        game_record_replace(record_of(80));
        GameWindow window;
        show_at(window, {175, window.lineHeight() * 10 + 2});
        window.gameChanged();
        QTest::keyClick(&window, Qt::Key_PageDown);
        QCOMPARE(window.scroll().position, 32);
        QTest::keyClick(&window, Qt::Key_PageUp);
        QCOMPARE(window.scroll().position, 22);
        QTest::keyClick(&window, Qt::Key_Up);
        QCOMPARE(window.scroll().position, 21);
        QTest::keyClick(&window, Qt::Key_Home);
        QCOMPARE(window.scroll().position, 0);
        QTest::keyClick(&window, Qt::Key_Up);
        QCOMPARE(window.scroll().position, 0);
        QTest::keyClick(&window, Qt::Key_Down);
        QCOMPARE(window.scroll().position, 1);
        QTest::keyClick(&window, Qt::Key_End);
        QCOMPARE(window.scroll().position, 32);
        QTest::keyClick(&window, Qt::Key_A);
        QCOMPARE(window.scroll().position, 32);
        QCOMPARE(window.scrollBar()->value(), 32);

        window.scrollBar()->setSliderPosition(10);  // the thumb dragged
        QCOMPARE(window.scroll().position, 10);
        window.scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(window.scroll().position, 20);
        QCOMPARE(window.scrollBar()->value(), 20);
        window.scrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(window.scroll().position, 32);
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
        QCOMPARE(again.scroll().maximum, 2);
        QCOMPARE(again.scroll().position, 2);
    }

    void gameWindowShowsFiveHalfMovesOnThreeLines() {
        game_record_replace(record_of(5));
        GameWindow window;
        show_at(window, {175, 200});
        window.gameChanged();
        QCOMPARE(window.scroll().position, 0);
        QVERIFY(window.scrollBar()->isHidden());
        const QImage shot = window.grab().toImage();
        const int h = window.lineHeight();
        const int w = window.charWidth();
        const auto cell = [&](int line, int column_chars, int chars) {
            return QRect(column_chars * w, (line + 1) * h, chars * w, h - 1);
        };
        // Lines 1-3 (drawn below one blank line): numbers and White's moves.
        for (int line = 0; line < 3; ++line) {
            QVERIFY(darkest(shot, cell(line, 0, 5)) < 100);
            QVERIFY(darkest(shot, cell(line, 6, 5)) < 100);
        }
        QVERIFY(darkest(shot, cell(1, 13, 5)) < 100);
        QCOMPARE(darkest(shot, cell(2, 13, 5)), 255);  // Black's column of the last line
        QCOMPARE(darkest(shot, cell(3, 0, 18)), 255);  // nothing after it
    }

    void gameWindowGreysTheRedoTail() {
        GameWindow window;
        show_at(window, {175, 200});
        const int h = window.lineHeight();
        const int w = window.charWidth();
        const QRect moves(6 * w, h, 12 * w, 4 * h);

        game_record_replace(record_of(8, 0));  // undone to the start
        window.currentMoveChanged();
        QImage shot = window.grab().toImage();
        QVERIFY(darkest(shot, moves) >= GREY_LEVEL - 2);
        QVERIFY(darkest(shot, moves) < 250);

        game_record_replace(record_of(8));  // redone to the end
        window.currentMoveChanged();
        shot = window.grab().toImage();
        QVERIFY(darkest(shot, moves) < 100);
        // Line 2's Black move and everything after it are grey at current 3.
        game_record_replace(record_of(8, 3));
        window.currentMoveChanged();
        shot = window.grab().toImage();
        QVERIFY(darkest(shot, QRect(6 * w, 2 * h, 5 * w, h - 1)) < 100);
        QVERIFY(darkest(shot, QRect(13 * w, 2 * h, 5 * w, h - 1)) >= GREY_LEVEL - 2);
    }

    void pvWindowPutsBlacksFirstMoveInTheRightColumn() {
        GameState& state = game_state();
        state.side = BLACK;
        state.pv_length = 3;
        state.pv[0] = PvEntry{6, 19, 30, 1};
        state.pv[1] = PvEntry{1, 35, 24, 0};
        state.pv[2] = PvEntry{5, 20, 25, 0};
        PvWindow window;
        show_at(window, {112, 170});
        window.refresh();
        const QImage shot = window.grab().toImage();
        const int h = window.lineHeight();
        const int w = window.charWidth();
        QCOMPARE(darkest(shot, QRect(5, 0, 5 * w, h - 1)), 255);
        QVERIFY(darkest(shot, QRect(5 + 6 * w, 0, 6 * w, h - 1)) < 100);
        QVERIFY(darkest(shot, QRect(5, h, 5 * w, h - 1)) < 100);
        QVERIFY(darkest(shot, QRect(5 + 6 * w, h, 5 * w, h - 1)) < 100);
        QCOMPARE(darkest(shot, QRect(0, 2 * h, 112, h)), 255);
        state.pv_length = 0;
        state.side = WHITE;
    }

    void searchInfoFieldsFollowTheEngine() {
        init_board_tables();
        GameState& state = game_state();
        setup_initial_position(state.board);
        state.side = WHITE;
        QCOMPARE(list_legal_moves(state), 9);
        SearchInfoWindow window;
        show_at(window, {112, 140});
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(window.field(i)->geometry(), QRect(50, 10 + 30 * i, 50, 20));
            QVERIFY(window.field(i)->alignment() & Qt::AlignRight);
            QCOMPARE(window.field(i)->frameShape(), QFrame::Box);
            QVERIFY(window.field(i)->text().isEmpty());
        }
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
        QVERIFY(!window.field(2)->text().isEmpty());
        // Labels at x = 5 beside each field.
        const QImage shot = window.grab().toImage();
        for (int i = 0; i < 4; ++i) QVERIFY(darkest(shot, QRect(5, 10 + 30 * i, 40, 20)) < 100);
    }

    // Sizes the shell gives the windows (client areas of the designed frames).
    void windowsPaintAtTheirDesignedSizes() {
        game_record_replace(record_of(23, 17));
        GameWindow game;
        show_at(game, {167, 170});
        game.gameChanged();
        // The longest line fits beside the scroll bar.
        QVERIFY(18 * game.charWidth() <= game.width() - game.scrollBar()->width());
        PvWindow pv;
        show_at(pv, {112, 170});
        QVERIFY(5 + 12 * pv.charWidth() <= pv.width());
        SearchInfoWindow info;
        show_at(info, {112, 140});
        for (QWidget* widget : {static_cast<QWidget*>(&game), static_cast<QWidget*>(&pv),
                                static_cast<QWidget*>(&info)}) {
            QVERIFY(!widget->grab().isNull());
        }
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
    }
    void cleanup() {
        tt_set_allocation_cap(0);
        tt_free();
        game_state().engine_request = REQUEST_STOP;
    }

    void templatesKeepTheirArrangement() {
        SearchDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QString("VANTOR Search"));
        const QFontMetrics metrics(dialog.font());
        const DialogUnits units = dialog_units(
            metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
            metrics.height());
        QCOMPARE(dialog.control(CONTROL_OK)->pos(), QPoint(units.x(7), units.y(149)));
        QCOMPARE(dialog.control(SEARCH_FIELD_1)->pos(), QPoint(units.x(125), units.y(60)));
        QCOMPARE(dialog.control(SEARCH_FIXED_TIME)->pos(), QPoint(units.x(20), units.y(60)));
        QCOMPARE(dialog.control(SEARCH_FIELD_1)->width(), units.x(40));
        QVERIFY(dialog.width() >= units.x(266));
        QVERIFY(dialog.height() >= units.y(170));
        // Every control inside the dialog and wide enough for its text.
        for (QWidget* child :
             dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY(dialog.rect().contains(child->geometry()));
            if (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLabel*>(child)) {
                QVERIFY2(child->width() >= child->sizeHint().width(),
                         qPrintable(child->objectName()));
            }
        }
        QVERIFY(qobject_cast<QPushButton*>(dialog.control(CONTROL_OK))->isDefault());
        // The mode labels fit whichever text the mode gives them.
        for (const int mode :
             {SEARCH_FIXED_PLY, SEARCH_FIXED_TIME, SEARCH_GAME, SEARCH_TOURNAMENT}) {
            dialog.control<QRadioButton>(mode)->click();
            for (const int id : {SEARCH_LABEL_1, SEARCH_LABEL_2}) {
                auto* label = dialog.control<QLabel>(id);
                QVERIFY(label->width() >= label->sizeHint().width());
            }
        }
    }

    void searchDialogShowsTournamentThenFixedPly() {
        settings().search_mode = TOURNAMENT;
        SearchDialog dialog(nullptr);
        auto* field1 = dialog.control<QLineEdit>(SEARCH_FIELD_1);
        auto* field2 = dialog.control<QLineEdit>(SEARCH_FIELD_2);
        QVERIFY(dialog.control<QRadioButton>(SEARCH_TOURNAMENT)->isChecked());
        QCOMPARE(field1->text(), QString("65"));
        QCOMPARE(field2->text(), QString("60"));
        QVERIFY(!field2->isHidden());
        QCOMPARE(dialog.control<QLabel>(SEARCH_LABEL_1)->text(), QString("Moves"));
        QCOMPARE(dialog.control<QLabel>(SEARCH_LABEL_2)->text(), QString("Minutes"));

        dialog.control<QRadioButton>(SEARCH_FIXED_PLY)->click();
        QCOMPARE(field1->text(), QString("6"));
        QVERIFY(field2->isHidden());
        QCOMPARE(dialog.control<QLabel>(SEARCH_LABEL_1)->text(), QString("Ply"));
        QCOMPARE(dialog.control<QLabel>(SEARCH_LABEL_2)->text(), QString());
    }

    void searchDialogRefillsFromTheStoredSettings() {
        SearchDialog dialog(nullptr);
        auto* field1 = dialog.control<QLineEdit>(SEARCH_FIELD_1);
        field1->setText("12");
        dialog.control<QRadioButton>(SEARCH_FIXED_TIME)->click();
        QCOMPARE(field1->text(), QString("50"));
        QCOMPARE(dialog.control<QLabel>(SEARCH_LABEL_1)->text(), QString("Seconds/Move"));
        dialog.control<QRadioButton>(SEARCH_FIXED_PLY)->click();
        QCOMPARE(field1->text(), QString("6"));
    }

    void searchDialogOkStoresAndCancelDoesNot() {
        {
            SearchDialog dialog(nullptr);
            dialog.control<QRadioButton>(SEARCH_GAME)->click();
            dialog.control<QLineEdit>(SEARCH_FIELD_1)->setText("90");
            dialog.control<QPushButton>(CONTROL_CANCEL)->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(settings().search_mode.load(), int(FIXED_PLY));
            QCOMPARE(settings().minutes_per_game.load(), 60);
        }
        SearchDialog dialog(nullptr);
        dialog.control<QRadioButton>(SEARCH_TOURNAMENT)->click();
        dialog.control<QLineEdit>(SEARCH_FIELD_1)->setText("40");
        dialog.control<QLineEdit>(SEARCH_FIELD_2)->setText("100");
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settings().search_mode.load(), int(TOURNAMENT));
        QCOMPARE(settings().tournament_moves.load(), 40);
        QCOMPARE(settings().tournament_minutes.load(), 100);
        QCOMPARE(settings().ply.load(), 6);
    }

    void searchDialogFieldsTakeDigitsOnly() {
        SearchDialog dialog(nullptr);
        auto* field1 = dialog.control<QLineEdit>(SEARCH_FIELD_1);
        field1->clear();
        QTest::keyClicks(field1, "1a-2");
        QCOMPARE(field1->text(), QString("12"));
    }

    void searchDialogRefusesAnUnusableValueAndStaysOpen() {
        SearchDialog dialog(nullptr);
        dialog.show();
        dialog.control<QRadioButton>(SEARCH_TOURNAMENT)->click();
        auto* field1 = dialog.control<QLineEdit>(SEARCH_FIELD_1);
        field1->setText("0");
        MessageSeen seen;
        const auto answer = answer_message_box(seen);
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(answer->ran);
        QCOMPARE(seen.title, QString("VANTOR Search"));
        QCOMPARE(seen.text, QString("Moves must be a whole number from 1 to 1000."));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // not closed
        QCOMPARE(settings().search_mode.load(), int(FIXED_PLY));
        QCOMPARE(settings().tournament_moves.load(), 65);

        field1->setText("");
        dialog.control<QRadioButton>(SEARCH_FIXED_PLY)->click();
        field1->setText("1");
        const auto again = answer_message_box(seen);
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(again->ran);
        QCOMPARE(seen.text, QString("Ply must be a whole number from 2 to 32."));
        QCOMPARE(settings().ply.load(), 6);
        field1->setText("32");
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(settings().ply.load(), 32);
    }

    void runSearchDialogReturnsOneForOkAndZeroForCancel() {
        auto ok = WhenModal::run<SearchDialog>([](SearchDialog* dialog) {
            dialog->control<QRadioButton>(SEARCH_FIXED_TIME)->click();
            dialog->control<QLineEdit>(SEARCH_FIELD_1)->setText("7");
            dialog->control<QPushButton>(CONTROL_OK)->click();
        });
        QCOMPARE(run_search_dialog(nullptr), 1);
        QCOMPARE(settings().seconds_per_move.load(), 7);
        QCOMPARE(settings().search_mode.load(), int(FIXED_TIME_PER_MOVE));
        auto cancel = WhenModal::run<SearchDialog>([](SearchDialog* dialog) {
            dialog->control<QLineEdit>(SEARCH_FIELD_1)->setText("8");
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QCOMPARE(run_search_dialog(nullptr), 0);
        QCOMPARE(settings().seconds_per_move.load(), 7);
    }

    void memoryDialogWithTheSizeInForceDoesNothing() {
        MemoryDialog dialog(nullptr);
        QVERIFY(dialog.control<QRadioButton>(1016)->isChecked());
        app_state().engine_state = ENGINE_SEARCHING;
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(game_state().engine_request.load(), int(REQUEST_SEARCH));  // not stopped
        QCOMPARE(tt_entry_count(), 0u);                                     // not allocated
        QCOMPARE(settings().hash_size_index.load(), 3);
    }

    void memoryDialogStopsTheEngineAndReallocates() {
        app_state().engine_state = ENGINE_SEARCHING;
        app_state().stopped_event.set();  // the engine confirms at once
        MemoryDialog dialog(nullptr);
        dialog.control<QRadioButton>(1014)->click();
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(game_state().engine_request.load(), int(REQUEST_STOP));
        QCOMPARE(settings().hash_size_index.load(), 1);
        QCOMPARE(tt_entry_count(), 65536u);

        app_state().engine_state = ENGINE_IDLE;
        MemoryDialog zero(nullptr);
        QVERIFY(zero.control<QRadioButton>(1014)->isChecked());
        zero.control<QRadioButton>(1013)->click();
        zero.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().hash_size_index.load(), 0);
        QCOMPARE(tt_entry_count(), 0u);
    }

    void memoryDialogReportsASmallerTable() {
        tt_set_allocation_cap(TT_SIZES[2].entries);
        MemoryDialog dialog(nullptr);
        dialog.show();
        dialog.control<QRadioButton>(1018)->click();
        MessageSeen seen;
        bool checked_during_message = false;
        auto answer = WhenModal::run<QMessageBox>([&](QMessageBox* box) {
            seen = {box->windowTitle(), box->text(), box->icon()};
            checked_during_message = dialog.control<QRadioButton>(1015)->isChecked();
            box->button(QMessageBox::Ok)->click();
        });
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(answer->ran);
        QCOMPARE(seen.title, QString("Memory"));
        QCOMPARE(seen.text, QString("Hash-table allocation error!"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(checked_during_message);
        QCOMPARE(settings().hash_size_index.load(), 2);
        QCOMPARE(tt_entry_count(), TT_SIZES[2].entries);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void memoryDialogCancelChangesNothing() {
        MemoryDialog dialog(nullptr);
        dialog.control<QRadioButton>(1018)->click();
        dialog.control<QPushButton>(CONTROL_CANCEL)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(settings().hash_size_index.load(), 3);
        QCOMPARE(tt_entry_count(), 0u);
    }

    void serialPortDialog() {
        {
            SerialPortDialog dialog(nullptr);
            QCOMPARE(dialog.windowTitle(), QString("VANTOR Serial port"));
            QVERIFY(dialog.control<QRadioButton>(1019)->isChecked());
            QCOMPARE(dialog.control<QRadioButton>(1020)->text(), QString("COM&2"));
            dialog.control<QRadioButton>(1021)->click();
            dialog.control<QPushButton>(CONTROL_CANCEL)->click();
            QCOMPARE(settings().com_port.load(), 1);
        }
        SerialPortDialog dialog(nullptr);
        dialog.control<QRadioButton>(1022)->click();
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().com_port.load(), 4);
        SerialPortDialog reopened(nullptr);
        QVERIFY(reopened.control<QRadioButton>(1022)->isChecked());
    }

    void preferencesDialogReadsEveryBox() {
        settings().book_use = 1;
        PreferencesDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QString("VANTOR Preferences"));
        for (int id = PREF_OPENING_BOOK; id <= PREF_AUTO_MOVE; ++id) {
            QVERIFY(dialog.control<QCheckBox>(id)->isEnabled());
        }
        QVERIFY(dialog.control<QCheckBox>(PREF_OPENING_BOOK)->isChecked());
        QVERIFY(!dialog.control<QCheckBox>(PREF_ENDGAME_DATABASE)->isChecked());
        QVERIFY(dialog.control<QCheckBox>(PREF_SOUND)->isChecked());
        QVERIFY(dialog.control<QCheckBox>(PREF_PERMANENT_BRAIN)->isChecked());
        QVERIFY(!dialog.control<QCheckBox>(PREF_AUTO_MOVE)->isChecked());
        dialog.control<QCheckBox>(PREF_SOUND)->click();
        dialog.control<QCheckBox>(PREF_ENDGAME_DATABASE)->click();
        dialog.control<QCheckBox>(PREF_AUTO_MOVE)->click();
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().sound.load(), 0);
        QCOMPARE(settings().endgame_use.load(), 1);
        QCOMPARE(settings().auto_move.load(), 1);
        QCOMPARE(settings().book_use.load(), 1);
        QCOMPARE(settings().permanent_brain.load(), 1);
    }

    void preferencesDialogDisabledBoxesReadAsUnchecked() {
        settings().book_use = 1;
        settings().endgame_use = 1;
        settings().auto_move = 1;
        game_state().use_book = 0;
        game_state().endgame_available = 0;
        app_state().remote_on = 1;
        PreferencesDialog dialog(nullptr);
        for (const int id :
             {PREF_OPENING_BOOK, PREF_ENDGAME_DATABASE, PREF_PERMANENT_BRAIN, PREF_AUTO_MOVE}) {
            QVERIFY(!dialog.control<QCheckBox>(id)->isEnabled());
            QVERIFY(!dialog.control<QCheckBox>(id)->isChecked());
        }
        QVERIFY(dialog.control<QCheckBox>(PREF_SOUND)->isEnabled());
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QCOMPARE(settings().book_use.load(), 0);
        QCOMPARE(settings().endgame_use.load(), 0);
        QCOMPARE(settings().permanent_brain.load(), 0);
        QCOMPARE(settings().auto_move.load(), 0);
        QCOMPARE(settings().sound.load(), 1);
    }

    void preferencesDialogCancelChangesNothing() {
        PreferencesDialog dialog(nullptr);
        dialog.control<QCheckBox>(PREF_SOUND)->click();
        dialog.control<QCheckBox>(PREF_OPENING_BOOK)->click();
        dialog.control<QPushButton>(CONTROL_CANCEL)->click();
        QCOMPARE(settings().sound.load(), 1);
        QCOMPARE(settings().book_use.load(), 0);
    }

    void aboutDialogClosesWithOkOnly() {
        AboutDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QString("About Vantor"));
        const auto labels = dialog.findChildren<QLabel*>();
        QCOMPARE(labels.size(), 2);
        QCOMPARE(labels[0]->text(), QString("Vantor Version 5.0 "));
        QVERIFY(!labels[1]->text().isEmpty());
        QVERIFY(dialog.control(CONTROL_CANCEL) == nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        dialog.control<QPushButton>(CONTROL_OK)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        auto ok = WhenModal::run<AboutDialog>([](AboutDialog* about) {
            QTest::keyClick(about, Qt::Key_Escape);
            about->control<QPushButton>(CONTROL_OK)->click();
        });
        QCOMPARE(run_about_dialog(nullptr), 1);
    }
};

// ---- Printing --------------------------------------------------------------------------

class PrintingTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir directory_;
    int file_number_ = 0;

    QString pdf_file() { return directory_.filePath(QString("print%1.pdf").arg(++file_number_)); }

    static void make_pdf_printer(QPrinter& printer, const QString& file) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        // A small page, so that a game of a few dozen moves needs two of them.
        printer.setPageSize(QPageSize(QSizeF(80, 60), QPageSize::Millimeter));
        printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    }

    // Lines per page as the printing works them out for this printer.
    static int lines_per_page(QPrinter& printer) {
        const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::FixedFont), &printer);
        const int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
        return height / (metrics.height() + metrics.leading());
    }

  private slots:
    void init() { game_record_replace(GameRecord{}); }

    void fiveHalfMovesPrintThreeLines() {
        game_record_replace(record_of(5));
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf_file();
        make_pdf_printer(printer, file);
        QWidget frame;
        QCOMPARE(print_game_on(printer, 1, false, &frame), 1);
        QCOMPARE(pdf_pages(file), 1);
        QCOMPARE(printed_lines(file, 1),
                 (QStringList{"1 31-26 20x29", "2 32-27 19x28", "3 33-28"}));
        QVERIFY(frame.isEnabled());
        QVERIFY(frame.findChild<QDialog*>("PrintDlgBox") == nullptr);
    }

    void aTwoPageGameContinuesItsNumbers() {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf_file();
        make_pdf_printer(printer, file);
        const int per_page = lines_per_page(printer);
        QVERIFY(per_page >= 3);
        // Two pages, the game ending with White's move.
        game_record_replace(record_of(2 * (per_page + 2) - 1));
        QCOMPARE(print_game_on(printer, 1, false, nullptr), 1);
        QCOMPARE(pdf_pages(file), 2);
        const QStringList first = printed_lines(file, 1);
        const QStringList second = printed_lines(file, 2);
        QCOMPARE(first.size(), per_page);
        QVERIFY(first.front().startsWith("1 "));
        QVERIFY(first.back().startsWith(QString("%1 ").arg(per_page)));
        QCOMPARE(second.size(), 2);
        QVERIFY(second.front().startsWith(QString("%1 ").arg(per_page + 1)));
        QCOMPARE(second.back().split(' ').size(), 2);  // number and White's move only
    }

    void copiesWithAndWithoutCollation() {
        for (const bool collate : {false, true}) {
            QPrinter printer(QPrinter::HighResolution);
            const QString file = pdf_file();
            make_pdf_printer(printer, file);
            const int per_page = lines_per_page(printer);
            game_record_replace(record_of(2 * (per_page + 1)));
            QCOMPARE(print_game_on(printer, 2, collate, nullptr), 1);
            QCOMPARE(pdf_pages(file), 4);
            QStringList firsts;
            for (int page = 1; page <= 4; ++page) {
                firsts << printed_lines(file, page).front().section(' ', 0, 0);
            }
            const QString second = QString::number(per_page + 1);
            if (collate) {
                QCOMPARE(firsts, (QStringList{"1", second, "1", second}));
            } else {
                QCOMPARE(firsts, (QStringList{"1", "1", second, second}));
                QCOMPARE(printed_lines(file, 1), printed_lines(file, 2));
                QCOMPARE(printed_lines(file, 3), printed_lines(file, 4));
            }
        }
    }

    void anEmptyGamePrintsNothing() {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf_file();
        make_pdf_printer(printer, file);
        QWidget frame;
        QCOMPARE(print_game_on(printer, 1, false, &frame), 0);
        QVERIFY(!QFile::exists(file));
        QVERIFY(frame.isEnabled());
    }

    void theFrameIsDisabledWhileTheAbortDialogIsUp() {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf_file();
        make_pdf_printer(printer, file);
        game_record_replace(record_of(4 * lines_per_page(printer)));  // two pages
        QWidget frame;
        frame.show();
        bool frame_enabled = true;
        bool dialog_up = false;
        QTimer::singleShot(0, &frame, [&] {
            frame_enabled = frame.isEnabled();
            auto* dialog = frame.findChild<QDialog*>("PrintDlgBox");
            dialog_up = dialog != nullptr && dialog->isVisible() && dialog->isEnabled();
        });
        QCOMPARE(print_game_on(printer, 1, false, &frame), 1);
        QVERIFY(!frame_enabled);
        QVERIFY(dialog_up);
        QVERIFY(frame.isEnabled());
        QVERIFY(frame.findChild<QDialog*>("PrintDlgBox") == nullptr);
        QCOMPARE(pdf_pages(file), 2);
    }

    void cancellingStopsAfterTheCurrentPage() {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf_file();
        make_pdf_printer(printer, file);
        game_record_replace(record_of(6 * lines_per_page(printer)));  // three pages
        QWidget frame;
        frame.show();
        QTimer::singleShot(0, &frame, [&] {
            auto* dialog = frame.findChild<QDialog*>("PrintDlgBox");
            QVERIFY(dialog != nullptr);
            auto* cancel = dialog->findChild<QPushButton*>("PrintCancel");
            QVERIFY(cancel != nullptr);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QCOMPARE(print_game_on(printer, 1, false, &frame), 0);
        QVERIFY(frame.isEnabled());
        QTRY_VERIFY(frame.findChild<QDialog*>("PrintDlgBox") == nullptr);
        // The document is still ended, with the page that was being printed.
        QCOMPARE(pdf_pages(file), 1);
        QVERIFY(printed_lines(file, 1).front().startsWith("1 "));
    }
};

// ---- Help ------------------------------------------------------------------------------

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheHelpDocumentWithItsPictures() {
        if (!QFile::exists(HELP_FILE)) QSKIP("the help document is not beside the test");
        QWidget frame;
        show_help_contents(&frame);
        auto* window = frame.findChild<HelpWindow*>("HelpWindow");
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible());
        QTextBrowser* browser = window->browser();
        QCOMPARE(browser->source(),
                 QUrl::fromLocalFile(QDir::current().absoluteFilePath(HELP_FILE)));
        QCOMPARE(browser->documentTitle(), QString("VANTOR Help"));
        const QVariant picture =
            browser->loadResource(QTextDocument::ImageResource, QUrl("vantor_help/vantor_48.png"));
        QVERIFY(picture.isValid());
        QVERIFY(!picture.toByteArray().isEmpty());
        // A second request raises the same window.
        show_help_contents(&frame);
        QCOMPARE(frame.findChildren<HelpWindow*>().size(), 1);
    }

    void saysSoWhenTheDocumentIsMissing() {
        QTemporaryDir empty;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(empty.path()));
        QWidget frame;
        show_help_contents(&frame);
        QDir::setCurrent(previous);
        auto* window = frame.findChild<HelpWindow*>("HelpWindow");
        QVERIFY(window != nullptr);
        QVERIFY(window->browser()->toPlainText().contains("was not found"));
        QVERIFY(window->browser()->toPlainText().contains(HELP_FILE));
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
