#include "ui/qt/network_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "game/controller.h"

namespace {

constexpr int POLL_MS = 100;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

NetworkWindow::NetworkWindow(QWidget* parent, std::function<void()> changed)
    : QDialog(parent), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("NetworkWindow"));
    setWindowTitle(QString::fromLatin1(NETWORK_CAPTION));
    connect_ = new QRadioButton(tr("Connect to a program"));
    listen_ = new QRadioButton(tr("Wait for a program"));
    connect_->setChecked(state_.connect);
    listen_->setChecked(!state_.connect);
    host_ = new QLineEdit(text(state_.host));
    port_ = new QLineEdit(text(state_.port));
    colour_ = new QComboBox;
    colour_->addItems({tr("White"), tr("Black")});
    games_ = new QLineEdit(text(state_.games));
    minutes_ = new QLineEdit(text(state_.minutes));
    moves_ = new QLineEdit(text(state_.moves));
    startButton_ = new QPushButton(tr("&Start"));
    auto* form = new QFormLayout;
    form->addRow(connect_, listen_);
    form->addRow(tr("&Host"), host_);
    form->addRow(tr("&Port"), port_);
    form->addRow(tr("&Engine plays (first game)"), colour_);
    form->addRow(tr("&Games"), games_);
    form->addRow(tr("&Minutes per game"), minutes_);
    form->addRow(tr("M&oves (0: no limit)"), moves_);
    form->addRow(QString(), startButton_);

    log_ = new QPlainTextEdit;
    log_->setReadOnly(true);
    log_->setObjectName(QStringLiteral("log"));
    chat_ = new QLineEdit;
    chat_->setPlaceholderText(tr("Chat with the other program"));
    chat_->setMaxLength(126);
    sendButton_ = new QPushButton(tr("Se&nd"));
    stopButton_ = new QPushButton(tr("S&top match"));
    disconnectButton_ = new QPushButton(tr("&Disconnect"));
    auto* chatRow = new QHBoxLayout;
    chatRow->addWidget(chat_, 1);
    chatRow->addWidget(sendButton_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stopButton_);
    buttons->addWidget(disconnectButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(log_, 1);
    layout->addLayout(chatRow);
    layout->addLayout(buttons);

    connect(startButton_, &QPushButton::clicked, this, &NetworkWindow::start);
    connect(sendButton_, &QPushButton::clicked, this, &NetworkWindow::sendChat);
    connect(chat_, &QLineEdit::returnPressed, this, &NetworkWindow::sendChat);
    connect(stopButton_, &QPushButton::clicked, this, [this] {
        log(tr("The match stops at the engine's next turn."));
        dxp_request_stop();
        updateControls();
    });
    connect(disconnectButton_, &QPushButton::clicked, this, [] { dxp_disconnect(); });
    poll_.setInterval(POLL_MS);
    connect(&poll_, &QTimer::timeout, this, [this] {
        // An error box runs its own event loop: no second poll inside it.
        if (polling_) return;
        polling_ = true;
        dxp_poll();
        polling_ = false;
    });
    resize(420, 480);
    updateControls();
}

// The window goes with the frame; a match still running ends with it.
NetworkWindow::~NetworkWindow() {
    poll_.stop();
    if (dxp_active()) dxp_disconnect();
}

QLineEdit* NetworkWindow::field(NetworkField which) const {
    switch (which) {
        case NETWORK_HOST: return host_;
        case NETWORK_PORT: return port_;
        case NETWORK_GAMES: return games_;
        case NETWORK_MINUTES: return minutes_;
        default: return moves_;
    }
}

NetworkDialogState NetworkWindow::readFields() const {
    NetworkDialogState state;
    state.connect = connect_->isChecked();
    state.host = host_->text().toStdString();
    state.port = port_->text().toStdString();
    state.engine_white = colour_->currentIndex() == 0;
    state.games = games_->text().toStdString();
    state.minutes = minutes_->text().toStdString();
    state.moves = moves_->text().toStdString();
    return state;
}

void NetworkWindow::start() {
    state_ = readFields();
    DxpOptions options;
    if (const auto problem = network_dialog_apply(state_, options)) {
        QMessageBox::warning(this, QString::fromLatin1(NETWORK_CAPTION), text(problem->message));
        field(problem->field)->setFocus();
        field(problem->field)->selectAll();
        return;
    }
    std::string error;
    if (!dxp_start(options, *this, error)) {
        QMessageBox::warning(this, QString::fromLatin1(NETWORK_CAPTION), text("Cannot start: " + error));
        return;
    }
    poll_.start();
    updateControls();
}

void NetworkWindow::sendChat() {
    const QString line = chat_->text().trimmed();
    if (line.isEmpty()) return;
    std::string error;
    if (!dxp_send_chat(line.toStdString(), error)) {
        log(tr("Chat not sent: %1").arg(text(error)));
        return;
    }
    log(tr("You: %1").arg(line));
    chat_->clear();
}

void NetworkWindow::log(const QString& line) { log_->appendPlainText(line); }

void NetworkWindow::updateControls() {
    const bool active = dxp_active();
    for (QWidget* w : std::initializer_list<QWidget*>{connect_, listen_, host_, port_, colour_, games_, minutes_,
                                                      moves_, startButton_}) {
        w->setEnabled(!active);
    }
    chat_->setEnabled(active);
    sendButton_->setEnabled(active);
    stopButton_->setEnabled(active);
    disconnectButton_->setEnabled(active);
    if (changed_) changed_();
}

void NetworkWindow::dxp_status(const std::string& s) { log(text(s)); }

void NetworkWindow::dxp_chat(const std::string& s) { log(tr("%1: %2").arg(text(dxp_opponent()), text(s))); }

void NetworkWindow::dxp_error(const std::string& s) {
    log(tr("Error: %1").arg(text(s)));
    game_ui().message_box(s, NETWORK_CAPTION, MessageKind::ERROR);
}

void NetworkWindow::dxp_game_started(int number, const std::string& opponent, Side engine_colour) {
    log(tr("Game %1 against %2; the engine plays %3.")
            .arg(number)
            .arg(text(opponent), engine_colour == WHITE ? tr("White") : tr("Black")));
    updateControls();
}

void NetworkWindow::dxp_game_ended(int number, const std::string& how) {
    log(tr("Game %1 %2.").arg(number).arg(text(how.empty() ? "has ended" : "was " + how)));
    updateControls();
}

void NetworkWindow::dxp_finished(bool) {
    poll_.stop();
    updateControls();
}
