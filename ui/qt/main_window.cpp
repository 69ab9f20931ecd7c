#include "ui/qt/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolBar>
#include <utility>

#include "engine/search/driver.h"
#include "game/clocks.h"
#include "game/controller.h"
#include "game/remote.h"
#include "ui/qt/clock_window.h"
#include "ui/qt/command_window.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/game_window.h"
#include "ui/qt/help_window.h"
#include "ui/qt/network_window.h"
#include "ui/qt/printing.h"
#include "ui/qt/pv_window.h"
#include "ui/qt/search_info_window.h"

// The pictures live in this static library; the program has to pull them in itself.
static void initResources() {
    Q_INIT_RESOURCE(vantor);
}

namespace {

constexpr int CLOCK_TICK_MS = 1000;
constexpr int REMOTE_POLL_MS = 500;

QRect toQRect(const Rect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

Qt::WindowFlags childFlags(ChildFrame frame) {
    if (frame == ChildFrame::NONE) return Qt::FramelessWindowHint;
    return Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/images/icon/vantor_%1.png").arg(size));
    }
    return icon;
}

bool menuOpen() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
}

}  // namespace

MainWindow::MainWindow() : gameUi_(*this) {
    initResources();
    images_.load();
    QApplication::setWindowIcon(programIcon());
    setObjectName(QString::fromLatin1(FRAME_CLASS));
    setWindowTitle(QString::fromLatin1(FRAME_TITLE));

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createMdiArea();
    createAccelerators();
    createTimers();
}

MainWindow::~MainWindow() {
    closing_ = true;
    shutdown();
    for (QMdiSubWindow*& child : children_) delete std::exchange(child, nullptr);
}

void MainWindow::start() {
    if (started_) return;
    for (const ChildWindowInfo& info : CHILD_WINDOWS) show_child_window(*this, info.window);
    set_game_ui(&gameUi_);
    game_init(".");
    // The engine thread is not running yet, so the position can be read here.
    if (BoardWindow* board = boardWindow()) board->drawAllPieces(board_pieces(game_state().board));
    engine_launch();
    started_ = true;
    updateActions();
}

// Frame destruction: the timers first, so no tick reaches a controller that is gone;
// game_shutdown ends the engine thread before the windows it reports to go away.
void MainWindow::shutdown() {
    clockTimer_.stop();
    remoteTimer_.stop();
    // A match ends before the controller and the engine go.
    delete std::exchange(networkWindow_, nullptr);
    if (!started_) return;
    started_ = false;
    game_shutdown();
    set_game_ui(nullptr);
}

void MainWindow::createActions() {
    for (const CommandInfo& info : COMMANDS) {
        auto* action = new QAction(QString::fromUtf8(menu_item_text(info)), this);
        action->setStatusTip(QString::fromUtf8(info.help));
        action->setCheckable(info.kind == ItemKind::CHECK);
        action->setEnabled(info.initially_enabled);
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this,
                [this, command = info.command] { runCommand(command); });
        actions_[info.command] = action;
    }
    auto* playModes = new QActionGroup(this);
    playModes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int command = CMD_GAME_PLAYER_PLAYER; command <= CMD_GAME_COMPUTER_COMPUTER; ++command) {
        playModes->addAction(actions_[command]);
    }
}

void MainWindow::createMenus() {
    menuBar()->setObjectName(QString::fromLatin1(MENU_NAME));
    for (int i = 0; i < MENU_COUNT; ++i) {
        menus_[i] = menuBar()->addMenu(QString::fromLatin1(MENU_TITLES[i]));
        connect(menus_[i], &QMenu::aboutToHide, this, &MainWindow::menuClosed);
    }
    for (const CommandInfo& info : COMMANDS) {
        if (info.separator_before) menus_[info.menu]->addSeparator();
        menus_[info.menu]->addAction(actions_[info.command]);
    }
}

// The seven panes come back once no menu is open any more; a menu that hides because
// the next one opens leaves the help in place.
void MainWindow::menuClosed() {
    QMetaObject::invokeMethod(this, &MainWindow::restoreStatusPanes, Qt::QueuedConnection);
}

void MainWindow::restoreStatusPanes() {
    if (!menuOpen()) statusBar()->clearMessage();
}

void MainWindow::createToolBars() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->setIconSize(QSize(TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT));
    const QPixmap strip(QStringLiteral(":/images/toolbar.png"));
    for (const ToolbarEntry& entry : TOOLBAR) {
        if (entry.kind == ButtonKind::SEPARATOR) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = actions_[entry.command];
        action->setIcon(QIcon(strip.copy(entry.image * TOOLBAR_IMAGE_WIDTH, 0, TOOLBAR_IMAGE_WIDTH,
                                         TOOLBAR_IMAGE_HEIGHT)));
        action->setToolTip(QString::fromLatin1(tooltip_text(entry.command)));
        toolBar_->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

// Seven fixed panes at the given right edges. They are the status bar's normal widgets,
// so the menu help (a temporary message) hides them while a menu is open.
void MainWindow::createStatusBar() {
    statusBar()->setSizeGripEnabled(false);
    statusPanes_ = new QWidget;
    statusPanes_->setObjectName(QStringLiteral("statusPanes"));
    for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
        panes_[pane] = new QLabel(statusPanes_);
        panes_[pane]->setObjectName(QStringLiteral("pane%1").arg(pane));
        panes_[pane]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    // Each pane at least as wide as its longest text in the font in use.
    std::array<int, STATUS_PANE_COUNT> needed{};
    for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
        const QLabel* label = panes_[pane];
        const QFontMetrics metrics = label->fontMetrics();
        // The frame on both sides, and the indent a framed label leaves before its text.
        const int around = 2 * label->frameWidth() + 2 * metrics.horizontalAdvance(QLatin1Char('x'));
        needed[pane] = metrics.horizontalAdvance(QString::fromLatin1(STATUS_PANE_LONGEST_TEXTS[pane])) + around;
    }
    paneEdges_ = status_pane_edges(needed);
    // Panes beyond a narrow frame's edge are cut off, as a status bar's are.
    statusPanes_->setMinimumHeight(panes_[0]->sizeHint().height());
    statusPanes_->installEventFilter(this);
    statusBar()->addWidget(statusPanes_, 1);
}

void MainWindow::layoutStatusPanes() {
    // The edges count from the status bar's own left side, not from the pane holder's.
    const int offset = statusPanes_->mapTo(statusBar(), QPoint(0, 0)).x();
    for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
        const Rect r = status_pane_rect(pane, statusPanes_->height(), paneEdges_);
        panes_[pane]->setGeometry(r.x - offset, r.y, r.width, r.height);
    }
}

void MainWindow::createMdiArea() {
    mdiArea_ = new QMdiArea;
    mdiArea_->setObjectName(QStringLiteral("MDICLIENT"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
}

// "MDIACCEL": keys that send command numbers, apart from the menu items.
void MainWindow::createAccelerators() {
    accelerators_ = new QObject(this);
    accelerators_->setObjectName(QString::fromLatin1(ACCELERATOR_TABLE));
    for (const Accelerator& accelerator : ACCELERATORS) {
        auto* key = new QAction(accelerators_);
        key->setShortcut(QKeySequence(QString::fromLatin1(accelerator.key)));
        key->setShortcutContext(Qt::WindowShortcut);
        key->setData(accelerator.command);
        connect(key, &QAction::triggered, this,
                [this, command = accelerator.command] { runCommand(command); });
        addAction(key);
    }
}

void MainWindow::createTimers() {
    clockTimer_.setInterval(CLOCK_TICK_MS);
    connect(&clockTimer_, &QTimer::timeout, this, [] { clock_tick(); });
    remoteTimer_.setInterval(REMOTE_POLL_MS);
    connect(&remoteTimer_, &QTimer::timeout, this, [this] {
        // A message box of the poll runs its own event loop; no second poll inside it.
        if (polling_) return;
        polling_ = true;
        remote_poll();
        polling_ = false;
    });
    clockTimer_.start();
    remoteTimer_.start();
}

void MainWindow::runCommand(int command) {
    dispatch_command(command, *this);
}

void MainWindow::updateActions() {
    commandStates_.derive(app_state(), game_state());
    for (const auto& [command, action] : actions_) {
        const CommandState state = commandStates_.state(command);
        action->setEnabled(state.enabled);
        if (action->isCheckable()) action->setChecked(state.checked);
    }
}

void MainWindow::setStatusText(int pane, const QString& text) {
    if (pane < 0 || pane >= STATUS_PANE_COUNT) return;
    panes_[pane]->setText(text);
    // The fixed widths can cut a text short in a larger font; the whole of it stays at hand.
    panes_[pane]->setToolTip(text);
}

QAction* MainWindow::commandAction(int command) const {
    const auto it = actions_.find(command);
    return it != actions_.end() ? it->second : nullptr;
}

QMenu* MainWindow::menu(int index) const {
    return index >= 0 && index < MENU_COUNT ? menus_[index] : nullptr;
}

QLabel* MainWindow::statusPane(int pane) const {
    return pane >= 0 && pane < STATUS_PANE_COUNT ? panes_[pane] : nullptr;
}

QMdiSubWindow* MainWindow::childSubWindow(ChildWindow window) const {
    return window >= 0 && window < CHILD_WINDOW_COUNT ? children_[window] : nullptr;
}

template <typename Window>
Window* MainWindow::childWidget(ChildWindow window) const {
    QMdiSubWindow* child = childSubWindow(window);
    return child != nullptr ? qobject_cast<Window*>(child->widget()) : nullptr;
}

BoardWindow* MainWindow::boardWindow() const {
    return childWidget<BoardWindow>(BOARD_WINDOW);
}
ClockWindow* MainWindow::clockWindow() const {
    return childWidget<ClockWindow>(CLOCK_WINDOW);
}
CommandWindow* MainWindow::commandWindow() const {
    return childWidget<CommandWindow>(COMMAND_WINDOW);
}
GameWindow* MainWindow::gameWindow() const {
    return childWidget<GameWindow>(GAME_WINDOW);
}
PvWindow* MainWindow::pvWindow() const {
    return childWidget<PvWindow>(PV_WINDOW);
}
SearchInfoWindow* MainWindow::searchInfoWindow() const {
    return childWidget<SearchInfoWindow>(SEARCH_INFO_WINDOW);
}

QWidget* MainWindow::createChildWidget(ChildWindow window) {
    switch (window) {
        case BOARD_WINDOW:
            return new BoardWindow(images_);
        case CLOCK_WINDOW:
            return new ClockWindow;
        case COMMAND_WINDOW:
            return new CommandWindow;
        case GAME_WINDOW:
            return new GameWindow;
        case PV_WINDOW:
            return new PvWindow;
        case SEARCH_INFO_WINDOW:
            return new SearchInfoWindow;
        default:
            return nullptr;
    }
}

namespace {

// The width at which the child's title bar shows its whole title: the title bar's label
// room grows with the width, the buttons' room does not.
int titleFitWidth(const QMdiSubWindow& child) {
    QStyleOptionTitleBar option;
    option.initFrom(&child);
    option.text = child.windowTitle();
    option.titleBarFlags = child.windowFlags();
    option.subControls = QStyle::SC_All;
    option.state |= QStyle::State_Active;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);  // some styles draw the active title bold
    const int text = QFontMetrics(font).horizontalAdvance(option.text) + 4;
    const int height = child.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &child);
    for (int width = 40; width < 1000; width += 2) {
        option.rect = QRect(0, 0, width, height);
        const QRect label =
            child.style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, &child);
        if (label.width() >= text) return width;
    }
    return 0;
}

}  // namespace

bool MainWindow::create_child_window(ChildWindow window) {
    if (window < 0 || window >= CHILD_WINDOW_COUNT) return false;
    if (children_[window] != nullptr) return true;
    QWidget* widget = createChildWidget(window);
    if (widget == nullptr) return false;
    const ChildWindowInfo& info = child_window_info(window);
    auto* child = new QMdiSubWindow(nullptr, childFlags(info.frame));
    child->setObjectName(QString::fromLatin1(info.class_name));
    child->setWidget(widget);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(QString::fromLatin1(info.title));
    mdiArea_->addSubWindow(child);
    QRect geometry = toQRect(info.rect);
    if (info.frame != ChildFrame::SIZING) {
        geometry.setWidth(child_window_width(window, titleFitWidth(*child)));
        child->setFixedSize(geometry.size());
    }
    child->setGeometry(geometry);
    if (window == BOARD_WINDOW) child->installEventFilter(this);
    children_[window] = child;
    // A child closed through its own system menu unmarks itself.
    connect(child, &QObject::destroyed, this, [this, window, child] {
        if (children_[window] != child) return;
        children_[window] = nullptr;
        if (closing_) return;
        child_window_closed(*this, window);
    });
    child->show();
    return true;
}

void MainWindow::destroy_child_window(ChildWindow window) {
    if (window == BOARD_WINDOW || window < 0 || window >= CHILD_WINDOW_COUNT) return;
    delete std::exchange(children_[window], nullptr);
}

void MainWindow::set_clipboard_text(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string MainWindow::clipboard_text() {
    return QApplication::clipboard()->text().toStdString();
}

void MainWindow::close_frame() {
    close();
}

void MainWindow::print_game() {
    ::print_game(this);
}

void MainWindow::show_help_contents() {
    ::show_help_contents(this);
}

void MainWindow::run_dialog(int command) {
    switch (command) {
        case CMD_OPTIONS_MEMORY:
            run_memory_dialog(this);
            break;
        case CMD_OPTIONS_SERIAL_PORT:
            run_serial_port_dialog(this);
            break;
        case CMD_OPTIONS_SEARCH:
            run_search_dialog(this);
            break;
        case CMD_OPTIONS_PREFERENCES:
            run_preferences_dialog(this);
            break;
        case CMD_HELP_ABOUT:
            run_about_dialog(this);
            break;
        case CMD_GAME_NETWORK:
            if (networkWindow_ == nullptr) networkWindow_ = new NetworkWindow(this, [this] { updateActions(); });
            networkWindow_->show();
            networkWindow_->raise();
            networkWindow_->activateWindow();
            break;
        default:
            break;
    }
}

// Every child is asked first and only then is anything closed: a refusal keeps the
// whole program, the Board window included, as it was.
bool MainWindow::childrenAgreeToClose() {
    for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
        QWidget* widget = child->widget();
        if (widget == nullptr) continue;
        if (child->isMinimized()) child->showNormal();
        QCloseEvent query;
        QCoreApplication::sendEvent(widget, &query);
        if (!query.isAccepted()) return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!childrenAgreeToClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    clockTimer_.stop();
    remoteTimer_.stop();
    event->accept();
}

// Menu help: while a menu is open the status bar shows the highlighted item's help
// text in one simple pane (blank for an item without one); otherwise status tips, such
// as those of the toolbar buttons, leave the panes alone.
bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        if (menuOpen()) {
            const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            statusBar()->showMessage(tip.isEmpty() ? QStringLiteral(" ") : tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusPanes_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        layoutStatusPanes();
    }
    // The Board window is never hidden; only the frame's own end closes it.
    if (watched == children_[BOARD_WINDOW] && event->type() == QEvent::Close && !closing_) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
