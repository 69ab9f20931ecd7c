// The bitboard generator against the slow one written square by square from the rules
// (tests/support/reference_movegen): the same moves, with the same multiplicity, and the
// same position after each move, over many thousands of positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "engine/board/makemove.h"
#include "reference_movegen.h"
#include "tests/board/board_test_util.h"
#include "tests/board/random_positions.h"

namespace {

using MoveKey = std::tuple<int, int, std::vector<int>>;

reference::Position to_reference(const Board& board, Side side) {
    reference::Position p;
    p.white_to_move = side == WHITE;
    for (int s = 1; s <= 50; ++s) {
        switch (piece_on_square(s, board)) {
            case WHITE_MAN: p.squares[s] = reference::Piece::WhiteMan; break;
            case WHITE_KING: p.squares[s] = reference::Piece::WhiteKing; break;
            case BLACK_MAN: p.squares[s] = reference::Piece::BlackMan; break;
            case BLACK_KING: p.squares[s] = reference::Piece::BlackKing; break;
            default: break;
        }
    }
    return p;
}

std::vector<int> captured_squares_of(const PlyRecord& record, const MoveRecord& move) {
    const Bitboard opponents = move_kind(move.word) <= WHITE_KING_CAPTURE ? record.board.black() : record.board.white();
    std::vector<int> squares;
    if (!is_capture_kind(move_kind(move.word))) return squares;
    for (int s = 1; s <= 50; ++s) {
        if (opponents & ~move.remaining & BIT_MASK[SQUARE_TO_BIT[s]]) squares.push_back(s);
    }
    return squares;
}

class ReferenceCompare : public testing::Test {
protected:
    std::unique_ptr<PlyStack> stack = std::make_unique<PlyStack>();
    long positions = 0;
    long moves = 0;
    long captures = 0;

    void SetUp() override { stack->reset(); }

    // Compares the two generators on one position and plays every move both ways.
    void compare(const Board& board, Side side) {
        PlyRecord& root = stack->plies[0];
        set_record_position(root, board, side);
        generate_moves(side, root);
        const reference::Position ref = to_reference(board, side);
        const std::vector<reference::Move> expected = reference::legal_moves(ref);

        std::vector<MoveKey> ours;
        std::vector<MoveKey> theirs;
        for (int i = 0; i < root.move_count; ++i) {
            const MoveRecord& m = root.moves[i];
            ours.emplace_back(BIT_TO_SQUARE[move_from(m.word)], BIT_TO_SQUARE[move_to(m.word)],
                              captured_squares_of(root, m));
        }
        for (const reference::Move& m : expected) theirs.emplace_back(m.from, m.to, m.captured);
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        ASSERT_EQ(ours, theirs) << to_fen(board, side);

        ++positions;
        moves += root.move_count;
        if (root.max_captured > 0) ++captures;
        for (int i = 0; i < root.move_count; ++i) {
            MoveRecord& m = root.moves[i];
            const MoveKey key{BIT_TO_SQUARE[move_from(m.word)], BIT_TO_SQUARE[move_to(m.word)],
                              captured_squares_of(root, m)};
            make_move(root, m);
            const auto same = std::find_if(expected.begin(), expected.end(), [&](const reference::Move& r) {
                return MoveKey{r.from, r.to, r.captured} == key;
            });
            ASSERT_NE(same, expected.end());
            ASSERT_EQ(to_reference(stack->plies[1].board, ~side).squares, reference::play(ref, *same).squares)
                << to_fen(board, side) << " move " << i;
        }
    }
};

}  // namespace

TEST_F(ReferenceCompare, RandomPositionsOfEveryDensity) {
    std::mt19937_64 rng(20261207);
    std::uniform_int_distribution<int> count(1, 20);
    for (int i = 0; i < 20000; ++i) {
        const double king_share = (i % 4) * 0.3;  // men only, some kings, king-rich
        compare(random_board(rng, count(rng), count(rng), king_share), i % 2 ? WHITE : BLACK);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(captures, 5000);
    RecordProperty("moves", static_cast<int>(moves));
}

TEST_F(ReferenceCompare, LongCapturesOfFewAttackersAmongManyPieces) {
    // One or two attackers against a crowd: long multi-piece captures, rings and turns.
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<int> crowd(8, 18);
    int longest = 0;
    for (int i = 0; i < 20000; ++i) {
        const Board board = random_board(rng, 1 + i % 2, crowd(rng), i % 3 == 0 ? 0.0 : 0.5);
        compare(board, WHITE);
        if (HasFatalFailure()) return;
        longest = std::max(longest, stack->plies[0].max_captured);
    }
    EXPECT_GE(longest, 6);
}

TEST_F(ReferenceCompare, PositionsFromRandomGames) {
    std::mt19937_64 rng(11);
    for (int game = 0; game < 300; ++game) {
        Board board;
        setup_initial_position(board);
        Side side = WHITE;
        for (int ply = 0; ply < 200; ++ply) {
            compare(board, side);
            if (HasFatalFailure()) return;
            PlyRecord& root = stack->plies[0];
            generate_moves(side, root);
            if (root.move_count == 0) break;
            const int pick = std::uniform_int_distribution<int>(0, root.move_count - 1)(rng);
            make_move(root, root.moves[pick]);
            board = stack->plies[1].board;
            side = ~side;
        }
    }
}
