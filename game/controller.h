#pragma once
// The game controller: who moves, committing moves, undo and redo, new games, set-up
// mode, and keeping menus, toolbar and status bar in step with the turn. Everything here
// runs on the main thread; the engine is driven only through engine_start, engine_stop
// and engine_reset.

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

// Start-up: tables, book, table, databases (read from `directory`), clocks, the start
// position and the default settings, Player - Player. The engine thread is started by
// the caller (engine_launch) afterwards.
void game_init(const char* directory = ".");
// Exit: ends the engine thread, closes the remote link, releases the tables.
void game_shutdown();

// Game > New (asks first) or leaving set-up mode (keeps the edited position and side).
void new_game(bool from_setup);
// new_game without its question: games another program starts (network play).
void begin_new_game(bool from_setup);
// Game > New as a command: asks first; Cancel leaves the game going exactly as it was.
void new_game_command();
void set_play_mode(int mode);
// Game > one of the four modes, as a command: stops a Computer - Computer run that is
// leaving, sets the mode and lets the engine think when it should.
void change_play_mode(int mode);
// Move > Computer to move (true) / Player to move (false): the two exchange colours.
void assign_computer_side(bool computer);

// A click on a playable square (0 for a light square) while the game runs and the
// player is to move: two-click move entry.
void square_clicked(int square);
// A click on the board: edits the square in set-up mode, enters moves in play.
void board_clicked(int square);

// Commits move_to_play: 0 the player's move, 1 the computer's (engine or book), 2 the
// remote opponent's. Forced replies and book moves follow at once where they apply.
void move_done(int source);
// Player - Player: one half-move. Against the computer: back to the player's previous
// turn, forward to the player's next one. Computer - Computer: nothing.
void undo_move();
void redo_move();

// Escape on the board: asks, then halts the game (position, clocks and record stay).
void abort_game();
// Space and Move > Force computer move: the engine's best move so far, at the next tick.
void force_computer_move();

// Edit menu: set-up mode and its edits (each does nothing outside set-up mode).
void toggle_setup_mode();
void setup_init();
void setup_clear();
void setup_side(Side side);

// The square last drawn as selected (0: none).
int selected_square();
