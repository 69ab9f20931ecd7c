#pragma once
// The opening book "book.dat": prepared lines the computer follows before it searches.

#include "records/game_state.h"

// Reads "book.dat" from `directory`; 1 on success, 0 (and no lines) otherwise.
int book_load(const char* directory = ".");
// New game: activates the lines for the colour the computer plays.
void book_start(GameState& state);
// Before move_to_play is made: keeps the lines that continue with it.
void book_advance(GameState& state);
// Sets engine_move to a book move of an active line; false (and use_book cleared) when
// the book has no move to give.
bool book_choose(GameState& state);
void book_free();
