// Game > Network (DXP)... in the desktop program, headless: the window waits for a
// program, a scripted peer proposes a game and moves, chat goes both ways, the menus keep
// the network game from being changed, and the game ends with GAMEEND. The peer's
// messages follow the DamExchange pages (mesander.nl/damexchange: egamereq.htm,
// egameacc.htm, emove.htm, echat.htm, egameend.htm).

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "game/dxp_session.h"
#include "game/record.h"
#include "records/settings.h"
#include "tests/support/loopback_peer.h"
#include "ui/network_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/network_window.h"

class NetworkTest : public QObject {
    Q_OBJECT

  private:
    // The next message of the peer while the program's timers keep running.
    static std::string receive(Peer& peer) {
        for (int i = 0; i < 500; ++i) {
            std::string message = peer.receive(0);
            if (!message.empty()) return message;
            QTest::qWait(10);
        }
        return "";
    }

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void aGameWithAScriptedProgram() {
        MainWindow frame;
        frame.show();
        frame.start();
        settings().sound = 0;
        frame.commandAction(CMD_GAME_NETWORK)->trigger();
        auto* window = frame.findChild<NetworkWindow*>();
        QVERIFY(window != nullptr && window->isVisible());

        const int port = free_port();
        window->findChildren<QRadioButton*>().at(1)->setChecked(true);  // wait for a program
        auto fields = window->findChildren<QLineEdit*>();
        fields.at(1)->setText(QString::number(port));
        window->start();
        QVERIFY(dxp_active());

        Peer peer;
        QVERIFY(peer.connect_to(port));
        QVERIFY(peer.send_message(std::string("R01scripted peer") + std::string(19, ' ') + "Z001010A"));
        QCOMPARE(receive(peer), std::string("Avantor 5.0") + std::string(22, ' ') + "0");
        QVERIFY(peer.send_message("M0002322800"));  // 32-28; the engine (Black) thinks
        QTRY_COMPARE(game_length(), 1);
        QCOMPARE(frame.statusPane(PANE_PLAY_MODE)->text(), QStringLiteral("scripted peer - Computer"));
        QVERIFY(!frame.commandAction(CMD_MOVE_UNDO)->isEnabled());
        QVERIFY(!frame.commandAction(CMD_GAME_NEW)->isEnabled());

        QVERIFY(peer.send_message("Cgood luck"));
        auto* log = window->findChild<QPlainTextEdit*>("log");
        QTRY_VERIFY(log->toPlainText().contains("scripted peer: good luck"));
        fields.last()->setText("thank you");
        window->sendChat();
        QCOMPARE(receive(peer), std::string("Cthank you"));

        // The peer ends the game (a move the engine may have sent meanwhile is passed
        // over); the program confirms, and the game stays on the board.
        QVERIFY(peer.send_message("E00"));
        std::string message = receive(peer);
        if (message.rfind('M', 0) == 0) message = receive(peer);
        QCOMPARE(message, std::string("E00"));
        QTRY_VERIFY(log->toPlainText().contains("Game 1 was ended by the other program."));
        QVERIFY(game_length() >= 1);
        peer.hang_up();
        QTRY_VERIFY(!dxp_active());
        QVERIFY(frame.commandAction(CMD_MOVE_UNDO)->isEnabled());
    }
};

QTEST_MAIN(NetworkTest)
#include "network_test.moc"
