#pragma once
// The game controller: who moves, committing moves, undo and redo, new games, and
// keeping menus, toolbar and status bar in step with the turn.

#include "game/game_ui.h"
#include "records/game_state.h"

// The user interface the controller reports to; until one is set, a silent one that
// answers every question with Cancel.
void set_game_ui(GameUi* ui);
GameUi& game_ui();

// 1 when the engine should search the game position: the computer plays the side to
// move, or Permanent Brain lets it think on the player's time; never without a legal move.
int engine_wanted(const GameState& state);

// computer_to_move from the side to move, and the Edit menu's White/Black marks.
void update_side_marks(GameState& state);
// The Move menu's Computer/Player marks and status pane 0.
void update_turn_marks(GameState& state);
