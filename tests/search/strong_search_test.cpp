// The strong engine: only legal moves and variations, in any position it may meet, and
// the same answer to the same search.

#include <random>

#include "engine/search/strong_search.h"
#include "tests/board/random_positions.h"
#include "tests/search/search_test_util.h"

namespace {

class StrongEngineTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        set_engine_kind(EngineKind::STRONG);
        strong_new_game();
    }
    void TearDown() override {
        set_engine_kind(EngineKind::CLASSIC);
        EngineTest::TearDown();
    }

    // Searches `board` to `depth`; returns the number of legal moves.
    int search_position(const Board& board, Side side, int depth) {
        prepare_fixed_ply_search(game_state(), board, side, depth);
        return run_search(game_state());
    }
};

// Follows the principal variation from the root position, each move looked up among
// the legal moves of the position it is played in; false at the first that is not.
// The entries hold a move's kind and two ends, which is as far as they are compared.
bool variation_is_legal(const Board& board, Side side, const GameState& state, std::string& bad) {
    PlyStack stack;
    stack.reset();
    set_record_position(stack.root(), board, side);
    PlyRecord* record = &stack.root();
    for (int k = 0; k < state.pv_length; ++k, ++record, side = ~side) {
        const PvEntry e = state.pv[k].load();
        generate_moves(side, *record);
        int found = -1, matches = 0;
        for (int i = 0; i < record->move_count; ++i) {
            const std::uint32_t word = record->moves[i].word;
            if (move_kind(word) == e.kind && BIT_TO_SQUARE[move_from(word)] == e.from &&
                BIT_TO_SQUARE[move_to(word)] == e.to) {
                found = i;
                ++matches;
            }
        }
        // Captures along different paths may share their two ends: the variation
        // cannot be followed past one of those.
        if (matches > 1) return true;
        if (found < 0) {
            bad = "pv move " + std::to_string(k + 1) + ": " + std::to_string(e.from) + "-" + std::to_string(e.to);
            return false;
        }
        make_move(*record, record->moves[found]);
    }
    return true;
}

TEST_F(StrongEngineTest, PlaysOnlyLegalMovesAndVariationsInRandomPositions) {
    std::mt19937_64 rng(20261208);
    std::uniform_int_distribution<int> pieces(1, 14);
    std::uniform_real_distribution<double> kings(0.0, 0.6);
    for (int n = 0; n < 250; ++n) {
        const Board board = random_board(rng, pieces(rng), pieces(rng), kings(rng));
        const Side side = n % 2 == 0 ? WHITE : BLACK;
        const int legal = search_position(board, side, 2 + n % 4);
        PlyRecord& root = root_record();
        generate_moves(side, root);
        ASSERT_EQ(legal, root.move_count);
        if (legal == 0) continue;
        const GameState& state = game_state();
        ASSERT_GE(state.engine_move, 0);
        ASSERT_LT(state.engine_move, legal) << "position " << n;
        EXPECT_EQ(static_cast<std::uint32_t>(state.engine_word), root.moves[state.engine_move].word & MOVE_WORD_MASK);
        std::string bad;
        EXPECT_TRUE(variation_is_legal(board, side, state, bad)) << "position " << n << ": " << bad;
    }
}

TEST_F(StrongEngineTest, TheSameSearchFromAnEmptyTableGivesTheSameAnswer) {
    const char* positions[] = {
        "W:W31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50:B1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20",
        "B:W27,28,31,32,33,36,37,38,39,41,42,43,44,46:B6,8,9,12,13,14,15,16,17,19,21,23,24,26",
        "W:WK3,28,33,39:B12,18,K44",
    };
    for (const char* fen : positions) {
        const Side side = setup(fen);
        const Board board = root_record().board;
        int moves[2], scores[2];
        std::int64_t nodes[2];
        for (int run = 0; run < 2; ++run) {
            strong_new_game();
            search_position(board, side, 9);
            moves[run] = game_state().engine_move;
            scores[run] = game_state().score;
            nodes[run] = game_state().node_count;
        }
        EXPECT_EQ(moves[0], moves[1]) << fen;
        EXPECT_EQ(scores[0], scores[1]) << fen;
        EXPECT_EQ(nodes[0], nodes[1]) << fen;
        EXPECT_GT(nodes[0], 0) << fen;
    }
}

TEST_F(StrongEngineTest, TakesTheLastPiecesAndKnowsTheGameIsWon) {
    // White's 28 takes Black's only man: Black is left without a move.
    const Side side = setup("W:W28,40:B23");
    search_position(root_record().board, side, 6);
    EXPECT_EQ(engine_move_text(), "28x19");
    EXPECT_GT(game_state().score, WIN_SCORE);
}

}  // namespace
