#pragma once
// Positions for the board tests: a ply stack of its own set up from FEN text.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/board/fen.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"

struct TestPosition {
    std::unique_ptr<PlyStack> stack = std::make_unique<PlyStack>();
    Side side = WHITE;

    explicit TestPosition(const std::string& fen) {
        stack->reset();
        Board board;
        std::string error;
        if (!parse_fen(fen, board, side, error)) ADD_FAILURE() << fen << ": " << error;
        set_record_position(root(), board, side);
    }
    PlyRecord& root() { return stack->plies[0]; }

    // The legal moves in generation order, in the long form "26x48 (31,42)".
    std::vector<std::string> moves() {
        generate_moves(side, root());
        std::vector<std::string> texts;
        for (int i = 0; i < root().move_count; ++i) {
            texts.push_back(move_text_with_captures(root(), root().moves[i]));
        }
        return texts;
    }
};

inline Bitboard squares_to_bits(std::initializer_list<int> squares) {
    Bitboard b = 0;
    for (int s : squares) b |= BIT_MASK[SQUARE_TO_BIT[s]];
    return b;
}
