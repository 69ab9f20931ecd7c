#pragma once
// The frame "VANTOR 5.0": menus, toolbar, status bar and the MDI client with the six
// child windows, the two timers, and the command layer's Shell. Every command goes to
// dispatch_command; every menu and toolbar state comes from updateActions().

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <map>

#include "ui/command_states.h"
#include "ui/commands.h"
#include "ui/qt/board_window.h"
#include "ui/qt/qt_game_ui.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class ClockWindow;
class CommandWindow;
class GameWindow;
class NetworkWindow;
class PvWindow;
class SearchInfoWindow;

class MainWindow : public QMainWindow, public Shell {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    // The rest of start-up once the frame is shown: the child windows, the game
    // controller and the engine thread.
    void start();

    // Shell
    bool create_child_window(ChildWindow window) override;
    void destroy_child_window(ChildWindow window) override;
    void close_frame() override;
    void print_game() override;
    void show_help_contents() override;
    void run_dialog(int command) override;
    void update_commands() override { updateActions(); }
    void set_clipboard_text(const std::string& text) override;
    std::string clipboard_text() override;

    void runCommand(int command);
    void updateActions();
    void setStatusText(int pane, const QString& text);
    CommandStates& commandStates() { return commandStates_; }
    QtGameUi& gameUi() { return gameUi_; }

    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* commandAction(int command) const;
    QMenu* menu(int index) const;
    QLabel* statusPane(int pane) const;
    QObject* acceleratorTable() const { return accelerators_; }
    QMdiSubWindow* childSubWindow(ChildWindow window) const;

    // The child windows while they exist, else nullptr.
    BoardWindow* boardWindow() const;
    ClockWindow* clockWindow() const;
    CommandWindow* commandWindow() const;
    GameWindow* gameWindow() const;
    PvWindow* pvWindow() const;
    SearchInfoWindow* searchInfoWindow() const;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // No pop-up to hide the toolbar: it is always there.
    QMenu* createPopupMenu() override { return nullptr; }

  private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createMdiArea();
    void createAccelerators();
    void createTimers();
    void layoutStatusPanes();
    void menuClosed();
    void restoreStatusPanes();
    bool childrenAgreeToClose();
    void shutdown();
    QWidget* createChildWidget(ChildWindow window);
    template <typename Window>
    Window* childWidget(ChildWindow window) const;

    BoardImages images_;
    CommandStates commandStates_;
    QtGameUi gameUi_;

    std::map<int, QAction*> actions_;
    std::array<QMenu*, MENU_COUNT> menus_{};
    QToolBar* toolBar_ = nullptr;
    QWidget* statusPanes_ = nullptr;
    std::array<QLabel*, STATUS_PANE_COUNT> panes_{};
    StatusPaneEdges paneEdges_ = STATUS_PANE_RIGHT_EDGES;
    QMdiArea* mdiArea_ = nullptr;
    QObject* accelerators_ = nullptr;
    std::array<QMdiSubWindow*, CHILD_WINDOW_COUNT> children_{};

    NetworkWindow* networkWindow_ = nullptr;  // made at the first Game > Network (DXP)...
    QTimer clockTimer_;
    QTimer remoteTimer_;
    bool polling_ = false;
    bool started_ = false;
    bool closing_ = false;
};
