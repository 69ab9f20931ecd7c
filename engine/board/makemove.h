#pragma once
// Playing a listed move (copy-make) and the position key.

#include <array>
#include <cstdint>

#include "engine/board/board.h"

// Fixed per-piece, per-square key values: rows white men, white kings, black men,
// black kings, indexed by bit position. The key of a position is the XOR of the values
// of its pieces; the empty board has key 0 and the side to move is not part of it.
extern const std::array<std::array<std::uint32_t, 64>, 4> KEYS;
enum KeyRow { WHITE_MAN_ROW = 0, WHITE_KING_ROW = 1, BLACK_MAN_ROW = 2, BLACK_KING_ROW = 3 };

// The same values by move kind (1-8): KEY_FROM for the piece leaving a square, KEY_TO
// for it arriving (a man on the far row arrives crowned), so that a listed move's key
// change is two look-ups without a row or crowning test.
extern const std::array<std::array<std::uint32_t, 64>, 9> KEY_FROM;
extern const std::array<std::array<std::uint32_t, 64>, 9> KEY_TO;

// Marks the move tried and writes the position after it (board, material, key) into
// the next record. A move already marked tried is left alone and nothing is written.
void make_move(PlyRecord& record, MoveRecord& move);

// Completes the next record's material and key for the pieces in `captured`, which
// are read from `record`'s board; `key` is the key so far.
void apply_captures(PlyRecord& record, Bitboard captured, std::uint32_t key, Side capturing_side);

std::uint32_t compute_key(const PlyRecord& record);

// The key of the position after a listed move, without making it: what make_move writes
// into the next record's key. Inline: the search asks it for every move it lists.
inline std::uint32_t key_after(const PlyRecord& record, const MoveRecord& move) {
    const std::uint32_t kind = move_kind(move.word);
    std::uint32_t key = record.key ^ KEY_FROM[kind][move_from(move.word)] ^ KEY_TO[kind][move_to(move.word)];
    if (!is_capture_kind(kind)) return key;
    const bool white = kind <= WHITE_KING_CAPTURE;
    const Board& b = record.board;
    const int lost = white ? BLACK_MAN_ROW : WHITE_MAN_ROW;
    for (Bitboard c = (white ? b.black_men : b.white_men) & ~move.remaining; c; c &= c - 1) {
        key ^= KEYS[lost][lowest_bit(c)];
    }
    for (Bitboard c = (white ? b.black_kings : b.white_kings) & ~move.remaining; c; c &= c - 1) {
        key ^= KEYS[lost + 1][lowest_bit(c)];
    }
    return key;
}
