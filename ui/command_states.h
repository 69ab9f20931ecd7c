#pragma once
// Which menu items are greyed or checked and which toolbar buttons are pressed. A menu
// item and its toolbar button always show the same state.
//
// Most states follow the records directly (set-up mode, side to move, shown windows,
// play mode, remote play, who is to move) and are derived afresh every time. The Clock
// items follow the clock operations instead: they change when the clocks are started
// or stopped through start_clocks and stop_clocks, which announce it, and not when undo
// lets the clocks run on after the game ended.

#include <array>

#include "records/app_state.h"
#include "records/game_state.h"
#include "ui/command_table.h"

struct CommandState {
    bool enabled = true;
    bool checked = false;
    bool operator==(const CommandState&) const = default;
};

class CommandStates {
  public:
    // The menu resource's states: everything enabled and unchecked but Edit > Init,
    // Clear, White to move, Black to move and Clock > Stop, Reset.
    CommandStates();

    // What the game controller and the clock operations announce.
    void set_checked(int command, bool checked);
    void set_enabled(int command, bool enabled);

    // Brings every state that follows the records up to date.
    void derive(const AppState& app, const GameState& game);

    // The state of `command`; enabled and unchecked for one that has no menu item.
    CommandState state(int command) const;

  private:
    CommandState* find(int command);
    std::array<CommandState, COMMAND_COUNT> states_{};
};
