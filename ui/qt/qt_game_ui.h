#pragma once
// The controller's and the engine's way to the windows. The engine thread's reports
// (status panes, Search-Info, PV) are copied and queued to the main thread at once; the
// rest arrives on the main thread and goes straight to the frame and its children.

#include <functional>
#include <string>

#include "game/game_ui.h"

class MainWindow;
class QSoundEffect;

class QtGameUi final : public GameUi {
  public:
    explicit QtGameUi(MainWindow& frame);

    void set_status_text(int pane, const std::string& text) override;
    void search_info_changed(int info) override;
    void pv_changed() override;

    void check_menu_item(int command, bool checked) override;
    void enable_menu_item(int command, bool enabled) override;
    void press_toolbar_button(int command, bool pressed) override;

    void draw_square(int piece, int square, int marking) override;
    void draw_all_pieces(const Board& board) override;

    void game_changed() override;
    void current_move_changed() override;
    void clock_ticked() override;
    void clocks_reset() override;

    Answer message_box(const std::string& text, const std::string& caption,
                       MessageKind kind) override;
    bool ask_open_file(std::string& path) override;
    bool ask_save_file(std::string& path) override;
    bool ask_open_game_file(std::string& path, FileFilter& filter) override;
    bool ask_save_game_file(std::string& path, FileFilter& filter) override;
    bool choose_game(std::shared_ptr<const std::string> text, PdnIndexEntry& chosen) override;
    // Starts "ding.wav" and returns at once (see the definition).
    void play_move_sound() override;
    void game_file_named(const std::string& path) override;

    void post_to_main_thread(std::function<void()> task) override;

  private:
    bool onMainThread() const;
    void runOnMainThread(std::function<void()> task);
    bool askFile(bool save, std::string& path, FileFilter& filter);

    MainWindow& frame_;
    QSoundEffect* sound_ = nullptr;
};
