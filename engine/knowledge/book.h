#pragma once
// The opening book "book.dat": prepared lines the computer follows before it searches.
//
// File: S (signed 32-bit, body bytes) and N (signed 32-bit, lines), little-endian, then
// the body scrambled as an XOR chain (plain byte i = stored byte i XOR plain byte i-1,
// with BOOK_SEED before byte 0). The plain body is N records back to back: L (16-bit;
// the record takes L + 5 bytes), weight (16-bit; below 50 the line is never used), the
// colour tag (1: for the computer playing White, 2: Black), one unused byte, and L - 1
// bytes of move codes, both sides' moves from the start position.
//
// Move code: a man's step is one byte, from + 64 * (step - 4) with steps of 4-6 squares
// (down the numbers for White, up for Black); anything else is two bytes, 192 + from
// and the to square in the low six bits.

#include <cstdint>
#include <vector>

#include "records/game_state.h"

inline constexpr std::uint8_t BOOK_SEED = 0xA7;
inline constexpr int BOOK_MIN_WEIGHT = 50;
inline constexpr int BOOK_WHITE_TAG = 1;
inline constexpr int BOOK_BLACK_TAG = 2;

// Reads "book.dat" from `directory`; 1 on success, 0 (and no lines) otherwise. A file
// that is short or whose sizes do not fit is refused; records are read only while they
// lie whole inside the body, so a book cut in a record keeps the lines before it.
int book_load(const char* directory = ".");
// New game: activates the lines for the colour the computer plays.
void book_start(GameState& state);
// Before move_to_play is made: keeps the lines that continue with it.
void book_advance(GameState& state);
// Sets engine_move to a book move of an active line; false (and use_book cleared) when
// the book has no move to give.
bool book_choose(GameState& state);
// The same with the random draw r (0-32767) given: of n active lines, the k-th in file
// order with k = r * n / 32767 + 1, at most n.
bool book_choose(GameState& state, int r);
void book_free();
// Lines in the loaded book.
int book_line_count();

// The book's code for a move of the given kind between two squares (1 or 2 bytes).
int book_move_code(std::uint32_t kind, int from, int to, std::uint8_t code[2]);
// The XOR chain, in place.
void book_scramble(std::vector<std::uint8_t>& body);
void book_descramble(std::vector<std::uint8_t>& body);
