#pragma once
// Legal move generation for international draughts.
//
// generate_moves lists every legal move of the side to move into the record's move
// array, in a fixed order that numbers the moves everywhere else (the search, the
// transposition table, the game record and the book all refer to moves by index):
//
//   captures: men first (in bit order, directions -6, -5, +5, +6 at every step),
//             then kings (in bit order, directions +5, +6, -5, -6);
//   quiet moves: men stepping +5 (White) or -5 (Black) in bit order, then +6 or -6,
//             then every king in bit order along +5, +6, -5, -6, nearest square first.
//
// Only the captures that take the most pieces are kept (majority rule). Two paths that
// take the same pieces and end on the same square are both listed.

#include "engine/board/board.h"

// Lists the legal moves of `side` in `record` (whose board is set) from record.moves
// on; sets move_count, max_captured, capture_flags and the jumpable and capturing-men
// sets; prepares the next record (its move list start and piece counts). The record
// must be followed by another record in the same array.
void generate_moves(Side side, PlyRecord& record);

// generate_moves in two halves, for a caller that may not need the list (the search
// evaluates a quiet position at the horizon without it). find_captures sets the
// jumpable and capturing-men sets and all of capture_flags; list_moves then lists the
// moves (and prepares the next record) as generate_moves does.
void find_captures(Side side, PlyRecord& record);
// find_captures for the side to move alone: its opponent's jumpable sets, its own
// capturing men and its two flags in capture_flags (the other side's flag stays
// clear). Enough for list_moves; the search asks only this at the horizon, where the
// other side's captures change nothing.
void find_own_captures(Side side, PlyRecord& record);
void list_moves(Side side, PlyRecord& record);
// The number of moves generate_moves would list (move_count). A position that must
// capture is listed; a quiet one is counted without writing its moves.
int count_moves(Side side, PlyRecord& record);

// Whether the side has a move that takes nothing (asked of a position without captures).
bool has_quiet_move(Side side, const Board& board);
