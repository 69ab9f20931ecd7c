#pragma once
// The command-line tool's stand-in for the windows: prints each move as the Game window
// lists it and runs the engine thread's tasks on the main thread, as the desktop
// program does.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "game/controller.h"
#include "game/move_text.h"
#include "game/record.h"

class ConsoleUi final : public GameUi {
public:
    void set_status_text(int, const std::string&) override {}
    void check_menu_item(int, bool) override {}
    void enable_menu_item(int, bool) override {}
    void press_toolbar_button(int, bool) override {}
    void draw_square(int, int, int) override {}
    void draw_all_pieces(const Board&) override {}
    void current_move_changed() override {}
    void pv_changed() override {}
    void search_info_changed(int) override {}
    void clock_ticked() override {}
    void clocks_reset() override {}
    // Questions are answered with OK; what the user would be told goes to stderr.
    Answer message_box(const std::string& text, const std::string& caption, MessageKind kind) override {
        if (kind == MessageKind::ERROR) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return Answer::OK;
    }
    bool ask_open_file(std::string&) override { return false; }
    bool ask_save_file(std::string&) override { return false; }
    void play_move_sound() override {}

    void game_changed() override {
        const int length = game_length();
        if (length == 0 || length == printed_) return;
        const GameEntry& entry = game_entry(length - 1);
        if (length % 2 == 1) {
            std::printf("%5d %s", (length + 1) / 2, entry_text(entry).c_str());
        } else {
            std::printf("  %s\n", entry_text(entry).c_str());
        }
        std::fflush(stdout);
        printed_ = length;
    }
    void end_game_listing() {
        if (printed_ % 2 == 1) std::printf("\n");
        printed_ = 0;
    }

    void post_to_main_thread(std::function<void()> task) override {
        {
            std::scoped_lock lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_one();
    }
    // Runs the posted tasks; waits at most `timeout` for one to come.
    void run_tasks(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
        while (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

private:
    int printed_ = 0;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

