#pragma once
// Random positions and random games for the invariant and cross-check tests.

#include <random>

#include "engine/board/board.h"

// A random legal-looking position: `pieces` pieces placed on distinct squares, each a
// king with probability `king_share`, men never on their own crowning row.
inline Board random_board(std::mt19937_64& rng, int white_pieces, int black_pieces, double king_share) {
    Board board;
    setup_empty_position(board);
    std::uniform_int_distribution<int> square(1, 50);
    std::bernoulli_distribution king(king_share);
    for (int i = 0; i < white_pieces + black_pieces; ++i) {
        const bool white = i < white_pieces;
        for (;;) {
            const int s = square(rng);
            const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[s]];
            if (!(board.empty & bit)) continue;
            const bool is_king = king(rng) || (white ? s <= 5 : s >= 46);
            board.empty &= ~bit;
            (white ? (is_king ? board.white_kings : board.white_men)
                   : (is_king ? board.black_kings : board.black_men)) |= bit;
            break;
        }
    }
    return board;
}
