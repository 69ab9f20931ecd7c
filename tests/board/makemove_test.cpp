#include <gtest/gtest.h>

#include <random>

#include "engine/board/makemove.h"
#include "tests/board/board_test_util.h"

namespace {

// Makes the listed move with the given long-form text; fails the test when absent.
PlyRecord& play(TestPosition& p, const std::string& text) {
    const std::vector<std::string> moves = p.moves();
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (moves[i] == text) {
            make_move(p.root(), p.root().moves[i]);
            return p.stack->plies[1];
        }
    }
    ADD_FAILURE() << text << " is not legal";
    return p.stack->plies[1];
}

int bit(int square) { return SQUARE_TO_BIT[square]; }

}  // namespace

TEST(MakeMove, WhiteManReachingTheLastRowIsCrowned) {
    TestPosition p("W:W6:BK50");
    const PlyRecord& next = play(p, "6-1");
    EXPECT_EQ(next.board.white_kings, squares_to_bits({1}));
    EXPECT_EQ(next.board.white_men, 0u);
    EXPECT_EQ(next.material, p.root().material + 220);
    EXPECT_EQ(next.key, p.root().key ^ KEYS[0][bit(6)] ^ KEYS[1][bit(1)]);
    EXPECT_TRUE(board_is_consistent(next.board));
}

TEST(MakeMove, CrowningOnlyWhereTheCaptureEnds) {
    // Black man 37 takes 41 and ends on 46: crowned.
    TestPosition ends("B:W41:B36,37");
    const PlyRecord& crowned = play(ends, "37x46 (41)");
    EXPECT_EQ(crowned.board.black_kings, squares_to_bits({46}));
    EXPECT_EQ(crowned.material, ends.root().material - 100 - 220);

    // 15x13 passes square 4 on White's crowning row and ends on 13: still a man.
    TestPosition passes("W:W15:B9,10");
    const PlyRecord& man = play(passes, "15x13 (9,10)");
    EXPECT_EQ(man.board.white_men, squares_to_bits({13}));
    EXPECT_EQ(man.board.white_kings, 0u);
}

TEST(MakeMove, CaptureBackToTheStartRemovesOnlyTheTakenPieces) {
    TestPosition p("W:W38:B22,23,32,33");
    const PlyRecord& next = play(p, "38x38 (22,23,32,33)");
    EXPECT_EQ(next.board.white_men, squares_to_bits({38}));
    EXPECT_EQ(next.board.black(), 0u);
    EXPECT_EQ(next.material, 100);
    EXPECT_EQ(next.key, KEYS[0][bit(38)]);
    EXPECT_TRUE(board_is_consistent(next.board));
}

TEST(MakeMove, TakingAKingIsWorth320) {
    TestPosition p("W:W35:B30,K40");
    const int before = p.root().material;
    EXPECT_EQ(play(p, "35x44 (40)").material, before + 320);
    TestPosition q("W:W35:B30,K40");
    EXPECT_EQ(play(q, "35x24 (30)").material, before + 100);
}

TEST(MakeMove, ATriedMoveIsNotMadeAgain) {
    TestPosition p("W:W31-50:B1-20");
    p.moves();
    MoveRecord& move = p.root().moves[0];
    make_move(p.root(), move);
    EXPECT_EQ(move.word & MOVE_TRIED, MOVE_TRIED);
    PlyRecord& next = p.stack->plies[1];
    next.board = Board{};
    next.key = 12345;
    make_move(p.root(), move);
    EXPECT_EQ(next.board, Board{});
    EXPECT_EQ(next.key, 12345u);
    EXPECT_EQ(move.word & MOVE_TRIED, MOVE_TRIED);
}

TEST(MakeMove, RandomGamesKeepEveryInvariant) {
    // Over thousands of random games: the incremental key (and key_after's, asked before
    // the move) and material equal the ones computed from scratch, the five sets stay
    // disjoint and cover the board, and the counts prepared by the generator are the
    // real ones.
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    std::mt19937_64 rng(42);
    long plies = 0;
    for (int game = 0; game < 3000; ++game) {
        Board board;
        setup_initial_position(board);
        set_record_position(stack->plies[0], board, WHITE);
        Side side = WHITE;
        for (int ply = 0; ply < PLY_STACK_SIZE - 1; ++ply, ++plies) {
            PlyRecord& record = stack->plies[ply];
            generate_moves(side, record);
            if (record.move_count == 0) break;
            MoveRecord& move = record.moves[std::uniform_int_distribution<int>(0, record.move_count - 1)(rng)];
            const std::uint32_t announced = key_after(record, move);  // what the search prefetches
            make_move(record, move);
            const PlyRecord& next = stack->plies[ply + 1];
            ASSERT_EQ(next.key, announced);
            ASSERT_TRUE(board_is_consistent(next.board));
            ASSERT_EQ(next.key, compute_key(next));
            ASSERT_EQ(next.material, board_material(next.board));
            ASSERT_EQ(next.white_count, std::popcount(next.board.white()));
            ASSERT_EQ(next.black_count, std::popcount(next.board.black()));
            side = ~side;
        }
    }
    EXPECT_GT(plies, 100000);
}
