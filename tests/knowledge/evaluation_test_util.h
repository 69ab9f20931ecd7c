#pragma once
// Positions for the evaluation tests: records from FEN text, positions from random
// games, random placements and the colour mirror.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "tests/board/random_positions.h"

struct Position {
    PlyRecord record;
    Side side = WHITE;
};

inline Position position(const std::string& fen) {
    Position p;
    Board board;
    std::string error;
    if (!parse_fen(fen, board, p.side, error)) ADD_FAILURE() << fen << ": " << error;
    set_record_position(p.record, board, p.side);
    return p;
}

inline Bitboard bits(std::initializer_list<int> squares) {
    Bitboard b = 0;
    for (int s : squares) b |= BIT_MASK[SQUARE_TO_BIT[s]];
    return b;
}

// Every position met in random games from the start, as make_move left the record
// (counts and material kept up by the generator, not recomputed).
inline std::vector<Position> random_game_positions(std::uint64_t seed, int games) {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    std::mt19937_64 rng(seed);
    std::vector<Position> positions;
    for (int game = 0; game < games; ++game) {
        Board board;
        setup_initial_position(board);
        set_record_position(stack->plies[0], board, WHITE);
        Side side = WHITE;
        for (int ply = 0; ply < PLY_STACK_SIZE - 1; ++ply, side = ~side) {
            PlyRecord& record = stack->plies[ply];
            generate_moves(side, record);
            if (record.move_count == 0) break;
            make_move(
                record,
                record.moves[std::uniform_int_distribution<int>(0, record.move_count - 1)(rng)]);
            Position p{stack->plies[ply + 1], ~side};
            p.record.moves = nullptr;
            p.record.moves_limit = nullptr;
            positions.push_back(p);
        }
    }
    return positions;
}

// Random placements of every size from 1 against 1 up to 20 against 20, kings mixed in.
inline std::vector<Position> random_placements(std::uint64_t seed, int count) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> pieces(1, 20);
    std::uniform_real_distribution<double> king_share(0.0, 0.6);
    std::vector<Position> positions(static_cast<std::size_t>(count));
    for (Position& p : positions) {
        const Board board = random_board(rng, pieces(rng), pieces(rng), king_share(rng));
        p.side = rng() % 2 ? WHITE : BLACK;
        set_record_position(p.record, board, p.side);
    }
    return positions;
}

// Square s -> 51 - s, colours exchanged, the other side to move.
inline Position colour_mirror(const Position& p) {
    auto flip = [](Bitboard b) {
        Bitboard m = 0;
        for (int s = 1; s <= 50; ++s) {
            if (b & BIT_MASK[SQUARE_TO_BIT[s]]) m |= BIT_MASK[SQUARE_TO_BIT[51 - s]];
        }
        return m;
    };
    const Board& b = p.record.board;
    const Board mirrored{flip(b.black_men), flip(b.black_kings), flip(b.white_men),
                         flip(b.white_kings), flip(b.empty)};
    Position m;
    m.side = ~p.side;
    set_record_position(m.record, mirrored, m.side);
    return m;
}
