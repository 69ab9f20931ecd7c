#pragma once
// The game clocks: one total per side, and the one-second tick that keeps them and plays
// the computer's move when it is due.

#include "records/game_state.h"

void start_clocks();
void stop_clocks();
// Zeroes both clocks (the Clock window erases its hands first).
void reset_clocks();

// The one-second tick (only while a game runs): the side to move's clock, the seconds of
// the current move, and the computer's move when its search has ended, its time is up or
// the user forced it. In Computer - Computer play the engine thread commits its own
// moves; the tick only tells it to move now.
void clock_tick();

// Clock menu: Start (only while stopped), Stop (only while running), Reset (only while
// stopped).
void clock_start_command();
void clock_stop_command();
void clock_reset_command();
