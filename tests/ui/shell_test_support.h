#pragma once
// Stand-ins for the window layer: a Shell and a GameUi that record what they are asked
// and answer questions and file dialogs as the test tells them.

#include <deque>
#include <string>
#include <vector>

#include "game/game_ui.h"
#include "ui/command_states.h"
#include "ui/commands.h"

class RecordingShell final : public Shell {
  public:
    std::vector<std::string> calls;
    bool creation_works = true;
    int updates = 0;

    bool create_child_window(ChildWindow window) override {
        calls.push_back(std::string("create ") + child_window_info(window).title);
        return creation_works;
    }
    void destroy_child_window(ChildWindow window) override {
        calls.push_back(std::string("destroy ") + child_window_info(window).title);
    }
    void close_frame() override { calls.emplace_back("close frame"); }
    void print_game() override { calls.emplace_back("print"); }
    void show_help_contents() override { calls.emplace_back("help"); }
    void run_dialog(int command) override { calls.push_back("dialog " + std::to_string(command)); }
    void update_commands() override { ++updates; }

    std::string last() const { return calls.empty() ? std::string() : calls.back(); }
};

struct MessageSeen {
    std::string text;
    std::string caption;
    MessageKind kind;
};

// Message boxes take their answers from `answers` (OK when it runs dry); file dialogs
// pick `open_path` / `save_path`, or are cancelled when those are empty. Menu marks go
// to `states` as they would in the program.
class ScriptedUi final : public QuietGameUi {
  public:
    std::deque<Answer> answers;
    std::vector<MessageSeen> messages;
    std::string open_path;
    std::string save_path;
    CommandStates states;

    void check_menu_item(int command, bool checked) override {
        states.set_checked(command, checked);
    }
    void enable_menu_item(int command, bool enabled) override {
        states.set_enabled(command, enabled);
    }
    void press_toolbar_button(int command, bool pressed) override {
        states.set_checked(command, pressed);
    }
    Answer message_box(const std::string& text, const std::string& caption,
                       MessageKind kind) override {
        messages.push_back({text, caption, kind});
        if (answers.empty()) return Answer::OK;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool ask_open_file(std::string& path) override { return pick(open_path, path); }
    bool ask_save_file(std::string& path) override { return pick(save_path, path); }

  private:
    static bool pick(const std::string& chosen, std::string& path) {
        if (chosen.empty()) return false;
        path = chosen;
        return true;
    }
};
