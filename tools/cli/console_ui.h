#pragma once
// The command-line tool's stand-in for the windows: prints each move as the Game window
// lists it and runs the engine thread's tasks on the main thread, as the desktop
// program does.

#include <chrono>
#include <cstdio>
#include <string>

#include "game/controller.h"
#include "game/move_text.h"
#include "game/record.h"
#include "game/task_queue.h"

class ConsoleUi final : public QuietGameUi {
public:
    // Questions are answered with OK; what the user would be told goes to stderr.
    Answer message_box(const std::string& text, const std::string& caption, MessageKind kind) override {
        if (kind == MessageKind::ERROR) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return Answer::OK;
    }

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

    void post_to_main_thread(std::function<void()> task) override { tasks_.post(std::move(task)); }
    // Runs the posted tasks; waits at most `timeout` for one to come.
    void run_tasks(std::chrono::milliseconds timeout) { tasks_.run(timeout); }

private:
    int printed_ = 0;
    TaskQueue tasks_;
};

