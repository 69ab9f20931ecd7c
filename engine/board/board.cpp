#include "engine/board/board.h"

#include <algorithm>
#include <memory>

#include "engine/board/makemove.h"

constexpr std::array<std::uint8_t, 65536> LOWEST_BIT = [] {
    std::array<std::uint8_t, 65536> table{};
    for (unsigned v = 1; v < 65536; ++v) table[v] = static_cast<std::uint8_t>(std::countr_zero(v));
    return table;
}();

namespace {
std::unique_ptr<PlyStack> program_stack;
}

void PlyStack::reset() {
    std::fill(std::begin(plies), std::end(plies), PlyRecord{});
    std::fill(std::begin(moves), std::end(moves), MoveRecord{});
    plies[0].moves = moves;
    for (PlyRecord& record : plies) record.moves_limit = moves + MOVE_STACK_SIZE;
}

void init_board_tables() {
    if (!program_stack) program_stack = std::make_unique<PlyStack>();
    program_stack->reset();
}

void free_board_tables() { program_stack.reset(); }

PlyRecord& root_record() { return program_stack->plies[0]; }

MoveRecord* root_moves() { return program_stack->moves; }

void bits_to_list(Bitboard b, int* list) {
    int count = 0;
    for (int base = 0; base < 64; base += 16) {
        unsigned chunk = static_cast<unsigned>(b >> base & 0xFFFF);
        while (chunk != 0) {
            list[++count] = LOWEST_BIT[chunk] + base;
            chunk &= chunk - 1;
        }
    }
    list[0] = count;
}

void setup_initial_position(Board& board) {
    board = Board{};
    for (int s = 1; s <= 20; ++s) board.black_men |= BIT_MASK[SQUARE_TO_BIT[s]];
    for (int s = 21; s <= 30; ++s) board.empty |= BIT_MASK[SQUARE_TO_BIT[s]];
    for (int s = 31; s <= 50; ++s) board.white_men |= BIT_MASK[SQUARE_TO_BIT[s]];
}

void setup_empty_position(Board& board) {
    board = Board{};
    board.empty = SQUARE_BITS;
}

PieceType piece_on_square(int square, const Board& board) {
    if (square < 1 || square > 50) return NO_SQUARE;
    const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[square]];
    if (board.white_men & bit) return WHITE_MAN;
    if (board.white_kings & bit) return WHITE_KING;
    if (board.black_men & bit) return BLACK_MAN;
    if (board.black_kings & bit) return BLACK_KING;
    if (board.empty & bit) return EMPTY_SQUARE;
    return NO_SQUARE;
}

int board_material(const Board& board) {
    return 100 * (std::popcount(board.white_men) - std::popcount(board.black_men)) +
           320 * (std::popcount(board.white_kings) - std::popcount(board.black_kings));
}

void set_record_position(PlyRecord& record, const Board& board, Side side) {
    record.board = board;
    record.side = side;
    record.white_count = std::popcount(board.white());
    record.black_count = std::popcount(board.black());
    record.material = board_material(board);
    record.key = compute_key(record);
}

bool board_is_consistent(const Board& board) {
    const Bitboard sets[] = {board.white_men, board.white_kings, board.black_men,
                             board.black_kings, board.empty};
    Bitboard seen = 0;
    for (Bitboard set : sets) {
        if (set & seen) return false;
        seen |= set;
    }
    return seen == SQUARE_BITS;
}
