#pragma once
// Positions, moves and the per-ply records that generation, making moves and the
// search work on.

#include <cstdint>

#include "engine/board/layout.h"

// Side to move. The opponent of a side is its bitwise complement; every decision that
// depends on the side asks only whether it equals WHITE.
using Side = std::int32_t;
inline constexpr Side WHITE = 1;
inline constexpr Side BLACK = ~WHITE;  // -2

enum PieceType : std::int32_t {
    NO_SQUARE = 0,
    WHITE_MAN = 1,
    WHITE_KING = 2,
    BLACK_MAN = 3,
    BLACK_KING = 4,
    EMPTY_SQUARE = 5,
};

// Five disjoint sets that together are exactly SQUARE_BITS.
struct Board {
    Bitboard white_men = 0;
    Bitboard white_kings = 0;
    Bitboard black_men = 0;
    Bitboard black_kings = 0;
    Bitboard empty = 0;

    Bitboard white() const { return white_men | white_kings; }
    Bitboard black() const { return black_men | black_kings; }
    bool operator==(const Board&) const = default;
};

// Move kinds: odd quiet, even capture; 1-4 White, 5-8 Black.
enum MoveKind : std::uint32_t {
    WHITE_MAN_MOVE = 1,
    WHITE_MAN_CAPTURE = 2,
    WHITE_KING_MOVE = 3,
    WHITE_KING_CAPTURE = 4,
    BLACK_MAN_MOVE = 5,
    BLACK_MAN_CAPTURE = 6,
    BLACK_KING_MOVE = 7,
    BLACK_KING_CAPTURE = 8,
};

// The move word: bits 0-3 kind, bit 4 tried flag, bits 8-13 from bit, bits 14-19 to
// bit. Bits 8-19 together (to * 64 + from) are the move key of the history table.
inline constexpr std::uint32_t MOVE_TRIED = 0x10;
inline constexpr std::uint32_t MOVE_WORD_MASK = 0xFFFFEF;  // the word without the tried flag

inline constexpr std::uint32_t move_word(std::uint32_t kind, int from_bit, int to_bit) {
    return kind | static_cast<std::uint32_t>(from_bit) << 8 | static_cast<std::uint32_t>(to_bit) << 14;
}
inline constexpr std::uint32_t move_kind(std::uint32_t word) { return word & 0xF; }
inline constexpr int move_from(std::uint32_t word) { return static_cast<int>(word >> 8 & 63); }
inline constexpr int move_to(std::uint32_t word) { return static_cast<int>(word >> 14 & 63); }
inline constexpr std::uint32_t move_key(std::uint32_t word) { return word >> 8 & 0xFFF; }
inline constexpr bool is_capture_kind(std::uint32_t kind) { return (kind & 1) == 0; }

struct MoveRecord {
    std::uint32_t word = 0;
    Bitboard remaining = 0;  // captures only: the opponent's pieces left after the move
};

// Whether two listed moves are the same move. `remaining` is written for captures only
// (a quiet move's slot keeps whatever an earlier list left there), so it is compared
// for captures only; the tried flag is ignored.
inline constexpr bool same_move(const MoveRecord& a, const MoveRecord& b) {
    return ((a.word ^ b.word) & MOVE_WORD_MASK) == 0 &&
           (!is_capture_kind(move_kind(a.word)) || a.remaining == b.remaining);
}

// The record of one position on a search path. Making a move from record k writes
// the position after it into record k + 1; nothing is ever unmade.
struct PlyRecord {
    Side side = WHITE;  // kept for the root only; the search passes the side along
    std::int32_t tt_slot = 0;
    Board board;
    Bitboard opponents = 0;
    Bitboard white_capturing_men = 0;
    Bitboard black_jumpable[DIRECTION_COUNT] = {};
    Bitboard black_capturing_men = 0;
    Bitboard white_jumpable[DIRECTION_COUNT] = {};
    // The side to move's kings that can take along each direction (valid while its
    // king flag in capture_flags is set).
    Bitboard king_takers[DIRECTION_COUNT] = {};
    std::int32_t move_count = 0;
    std::int32_t max_captured = 0;
    std::uint32_t capture_flags = 0;
    std::int32_t material = 0;  // White minus Black: 100 a man, 320 a king
    std::uint32_t key = 0;
    std::int32_t white_count = 0;
    std::int32_t black_count = 0;
    std::int32_t type_counts[4] = {};  // white men, white kings, black men, black kings
    MoveRecord* moves = nullptr;
    std::int32_t current = 0;
    std::int32_t best = 0;
    std::uint32_t node_flags = 0;
    // End of the move array this record's list lives in. The generator never writes
    // at or past it (see MOVE_LIST_OVERFLOW).
    MoveRecord* moves_limit = nullptr;
};

// capture_flags bits.
inline constexpr std::uint32_t WHITE_MAN_CAN_CAPTURE = 1;
inline constexpr std::uint32_t WHITE_KING_CAN_CAPTURE = 2;
inline constexpr std::uint32_t BLACK_MAN_CAN_CAPTURE = 4;
inline constexpr std::uint32_t BLACK_KING_CAN_CAPTURE = 8;
// Set when the move array had no room for the whole list; the list then holds only the
// moves that fitted. With the sizes below this does not happen on any real search
// path, but the bound is checked rather than assumed.
inline constexpr std::uint32_t MOVE_LIST_OVERFLOW = 0x100;

// A search path uses at most PLY_STACK_SIZE records; one more stands behind them
// because generating moves in a record also prepares the next one.
inline constexpr int PLY_STACK_SIZE = 128;
inline constexpr int MOVE_STACK_SIZE = 8192;

struct PlyStack {
    PlyRecord plies[PLY_STACK_SIZE + 1];
    MoveRecord moves[MOVE_STACK_SIZE];

    // Zeroes every record and points the root's list at the start of the moves.
    void reset();
    PlyRecord& root() { return plies[0]; }
};

// The program's own ply and move stacks (the engine's and the game's root).
void init_board_tables();
void free_board_tables();
PlyRecord& root_record();
MoveRecord* root_moves();

// Writes the number of set bits to list[0] and their positions, ascending, after it.
void bits_to_list(Bitboard b, int* list);

void setup_initial_position(Board& board);
void setup_empty_position(Board& board);
PieceType piece_on_square(int square, const Board& board);

// Material of a board: 100 a man, 320 a king, White minus Black.
int board_material(const Board& board);
// Copies a position into a record and recomputes its counts, material and key, so that
// the record can be searched or generated from.
void set_record_position(PlyRecord& record, const Board& board, Side side);
bool board_is_consistent(const Board& board);
