#pragma once
// Game files. An 8-byte header (the body length, final 0 byte included, and the number
// of moves; both unsigned 32-bit little-endian), then the body: every move of the game
// record, the redo tail included, as a compact code, and one 0 byte. A file holds no
// position: it is always replayed from the start position, White to move.
//
// Move code: byte 1 holds the from square in bits 0-5. Bits 6-7 = 0, 1, 2: a man's step
// of 4, 5 or 6 squares (down the numbers for White, up for Black), one byte. Bits 6-7 =
// 3: byte 2 holds the to square in bits 0-5 and the form in bits 6-7: 0 a man capture of
// one piece (then the captured square), 1 a man capture of more (then n and n squares),
// 2 a king move (nothing more), 3 a king capture (then n and n squares). Captured
// squares come in bit order; the reader does not depend on it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/record.h"

inline constexpr int GAME_FILE_HEADER = 8;
inline constexpr int DECODE_REFUSED = -1;

// Appends the body for the game record to `out`; returns the number of bytes appended.
// The root record is put back as it was.
std::size_t encode_game(std::vector<std::uint8_t>& out);

// Replays `body` from the start position into `record`: the number of moves, or
// DECODE_REFUSED when a move does not replay, a code is cut short or names a square
// outside 1-50, the body has more than 512 moves, or the body does not end with its
// single final 0. Never reads outside `body`; the root record is put back as it was.
int decode_game(std::span<const std::uint8_t> body, GameRecord& record);

// False when the game record starts from a set-up position: a game file holds no
// position, so such a game cannot be written to one.
bool game_fits_game_file();

// 1 when the whole file was written, 0 when it could not be, or the game does not fit a
// game file. The file is replaced only by a complete new one: a failed save leaves
// what was there before as it was.
int save_game(const std::string& path);

// 1 when the file held a game that replays completely; the record then holds it and
// its last position is the game position. 0 on any failure, with the record and the
// game position untouched.
int load_game(const std::string& path, GameState& state);
