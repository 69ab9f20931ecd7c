#pragma once
// Moves as text: the move message that carries a move over the remote link, the short
// "32-28" / "28x19" form of the information windows, and the Game-window form of a
// record entry.
//
// Move message: two-digit from square, to square and capture count, then two digits
// per captured square in bit order (not the order they are jumped): "322800" for
// 32-28, "28190123" for 28x19 over 23. One leading "S" is skipped when reading.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/record.h"

// A message holds at most this many characters before its NUL.
inline constexpr std::size_t MOVE_MESSAGE_MAX = 63;

// Squares a single move can take: every opponent piece, at most.
using CapturedSquares = std::array<std::uint8_t, 50>;

// The message of the root list's move at index, read from the root position before the
// move is made. An index outside the list gives the empty text.
void encode_move_message(int index, MoveMessage& buffer);

// Matches a received message against the game position's legal moves (listed in the
// root record): 1 and move_to_play on a match; 0 for anything else, including text that
// is too short, too long, not digits, or names a square outside 1-50.
int parse_move_message(GameState& state, std::string_view text);
int parse_move_message(GameState& state, const MoveMessage& text);

// "%d-%d", or "%dx%d" when the root position's moves capture; "" outside the list.
std::string format_move(int index);
// The same text from a move word alone: safe while the engine rewrites its root list.
std::string format_move_word(std::uint32_t word);

// The squares taken by the move stored at entry_index, in bit order, one byte each;
// returns their number. The caller has listed that entry's position in the root record.
int captured_squares(int entry_index, CapturedSquares& out);

// "%2d%c%2d": from, "-" for a quiet move or "x" for a capture, to.
std::string entry_text(const GameEntry& entry);
