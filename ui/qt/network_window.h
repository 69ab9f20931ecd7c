#pragma once
// Game > Network (DXP)...: the window of a match with another program. Before the
// session it asks for the host, the port, connecting or waiting, the engine's colour, the
// games and the time control; during it, it shows what happens and the chat, takes chat
// lines to send, and stops the match. It stays open beside the board (not modal), and its
// timer drives the session.

#include <QDialog>
#include <QTimer>
#include <functional>

#include "game/dxp_session.h"
#include "ui/network_dialog.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class NetworkWindow final : public QDialog, public DxpObserver {
    Q_OBJECT
  public:
    // `changed` runs whenever the menus should follow the session's state.
    NetworkWindow(QWidget* parent, std::function<void()> changed);
    ~NetworkWindow() override;

    void start();
    void sendChat();

    // DxpObserver
    void dxp_status(const std::string& text) override;
    void dxp_chat(const std::string& text) override;
    void dxp_error(const std::string& text) override;
    void dxp_game_started(int number, const std::string& opponent, Side engine_colour) override;
    void dxp_game_ended(int number, const std::string& how) override;
    void dxp_finished(bool clean) override;

  private:
    void log(const QString& line);
    void updateControls();
    NetworkDialogState readFields() const;
    QLineEdit* field(NetworkField which) const;

    std::function<void()> changed_;
    NetworkDialogState state_;
    QRadioButton* connect_ = nullptr;
    QRadioButton* listen_ = nullptr;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QComboBox* colour_ = nullptr;
    QLineEdit* games_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLineEdit* moves_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QLineEdit* chat_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* disconnectButton_ = nullptr;
    QTimer poll_;
    bool polling_ = false;
};
