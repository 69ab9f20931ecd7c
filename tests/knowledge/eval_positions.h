#pragma once
// Positions for the evaluation tests: from FEN, at random, and mirrored in colour.

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

#include "engine/board/fen.h"
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

// Random placements of every size from 1 against 1 up to `most` against `most`, kings mixed in.
inline std::vector<Position> random_placements(std::uint64_t seed, int count, int most = 20) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> pieces(1, most);
    std::uniform_real_distribution<double> king_share(0.0, 0.6);
    std::vector<Position> positions(static_cast<std::size_t>(count));
    for (Position& p : positions) {
        const Board board = random_board(rng, pieces(rng), pieces(rng), king_share(rng));
        p.side = rng() % 2 ? WHITE : BLACK;
        set_record_position(p.record, board, p.side);
    }
    return positions;
}

// The board turned half round: square s to 51 - s.
inline Bitboard turned(Bitboard b) {
    Bitboard m = 0;
    for (int s = 1; s <= 50; ++s) m |= b & BIT_MASK[SQUARE_TO_BIT[s]] ? BIT_MASK[SQUARE_TO_BIT[51 - s]] : 0;
    return m;
}

// Square s -> 51 - s, colours exchanged, the other side to move.
inline Position colour_mirror(const Position& p) {
    const Board& b = p.record.board;
    const Board mirrored{turned(b.black_men), turned(b.black_kings), turned(b.white_men), turned(b.white_kings),
                         turned(b.empty)};
    Position m;
    m.side = ~p.side;
    set_record_position(m.record, mirrored, m.side);
    return m;
}

inline bool four_kings_against_one(const Board& b) {
    const int wk = std::popcount(b.white_kings), bk = std::popcount(b.black_kings);
    return ((wk == 4 && bk == 1) || (wk == 1 && bk == 4)) && (b.white_men | b.black_men) == 0;
}
