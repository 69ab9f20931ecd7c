#include <gtest/gtest.h>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/search/tt.h"

namespace {

class TranspositionTable : public testing::Test {
protected:
    std::unique_ptr<PlyStack> stack = std::make_unique<PlyStack>();

    void SetUp() override {
        tt_set_allocation_cap(0);
        ASSERT_EQ(tt_allocate(TTMode::START_UP, 5), TT_DEFAULT_CHOICE);
        stack->reset();
        Board board;
        setup_initial_position(board);
        set_record_position(root(), board, WHITE);
        generate_moves(WHITE, root());
    }
    void TearDown() override {
        tt_set_allocation_cap(0);
        tt_free();
    }
    PlyRecord& root() { return stack->plies[0]; }

    // Stores a result for the root with White to move: bound type from score vs window.
    void store(unsigned depth, int alpha, int beta, int score, Side side = WHITE, int best = 3) {
        root().best = best;
        tt_store(depth, alpha, beta, root(), score, side);
    }
    int probe(unsigned depth, int& alpha, int& beta, int& score, Side side = WHITE) {
        return tt_probe(depth, alpha, beta, root(), score, side);
    }
};

}  // namespace

TEST_F(TranspositionTable, SideMarksKeepTheTwoSidesApart) {
    store(4, -100, 100, 10, WHITE);
    int alpha = -100, beta = 100, score = 0;
    EXPECT_EQ(probe(4, alpha, beta, score, BLACK), TT_MISS);
    EXPECT_EQ(probe(4, alpha, beta, score, WHITE), TT_CUTOFF);
    EXPECT_EQ(score, 10);

    // And Black's entry is not found with White to move.
    tt_clear(root());
    store(4, -100, 100, 10, BLACK);
    EXPECT_EQ(probe(4, alpha, beta, score, WHITE), TT_MISS);
    EXPECT_EQ(probe(4, alpha, beta, score, BLACK), TT_CUTOFF);
}

TEST_F(TranspositionTable, BoundTypesAndDepth) {
    int alpha = -50, beta = 50, score = 777;
    store(3, -50, 50, 20);  // inside the window: exact
    EXPECT_EQ(probe(4, alpha, beta, score), TT_HIT);  // too shallow: nothing narrows
    EXPECT_EQ(alpha, -50);
    EXPECT_EQ(beta, 50);
    EXPECT_EQ(score, 777);
    EXPECT_EQ(probe(3, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(score, 20);

    tt_clear(root());
    store(3, 0, 50, -10);  // at or below alpha: an upper bound
    alpha = -50, beta = 50;
    EXPECT_EQ(probe(3, alpha, beta, score), TT_HIT);  // -10 inside the window lowers beta
    EXPECT_EQ(beta, -10);
    EXPECT_EQ(alpha, -50);
    alpha = 0, beta = 50;
    EXPECT_EQ(probe(3, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(score, -10);

    tt_clear(root());
    store(3, -50, 40, 60);  // at or above beta: a lower bound
    alpha = -50, beta = 100;
    EXPECT_EQ(probe(3, alpha, beta, score), TT_HIT);
    EXPECT_EQ(alpha, 60);
    alpha = -50, beta = 60;
    EXPECT_EQ(probe(3, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(score, 60);
}

TEST_F(TranspositionTable, EntriesKeepTheMoveAndTheMarks) {
    root().node_flags = 7;
    store(5, -50, 50, 0, BLACK, 4);
    int alpha = -50, beta = 50, score = 0;
    ASSERT_EQ(probe(5, alpha, beta, score, BLACK), TT_CUTOFF);
    const TTEntry* entry = tt_matched_entry(root());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move_index, 4);
    EXPECT_EQ(entry->move, root().moves[4].word & MOVE_WORD_MASK);
    EXPECT_EQ(entry->flags & TT_MARK_MASK, TT_EXACT | TT_SINGULAR | TT_BLACK_TO_MOVE);
}

TEST_F(TranspositionTable, BucketReplacement) {
    store(6, -50, 50, 1);
    store(2, -50, 50, 2);  // shallower: into the second entry, the deep one stays
    int alpha = -50, beta = 50, score = 0;
    ASSERT_EQ(probe(6, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(root().tt_slot, 0);
    EXPECT_EQ(score, 1);

    tt_age();  // a new search: the deep entry is old and yields
    store(2, -50, 50, 3);
    ASSERT_EQ(probe(2, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(root().tt_slot, 0);
    EXPECT_EQ(score, 3);
    EXPECT_FALSE(tt_is_old(*tt_matched_entry(root())));  // flags are written whole

    // A thousand searches later the count comes round; old entries stay old.
    store(6, -50, 50, 4);
    for (int search = 0; search < 1024; ++search) tt_age();
    store(2, -50, 50, 5);
    ASSERT_EQ(probe(2, alpha, beta, score), TT_CUTOFF);
    EXPECT_EQ(score, 5);
    EXPECT_EQ(root().tt_slot, 0);
}

TEST_F(TranspositionTable, ClearingLeavesNothingUsable) {
    store(6, -50, 50, 1);
    root().key = 0;
    tt_clear(root());
    EXPECT_EQ(root().key, compute_key(root()));
    int alpha = -50, beta = 50, score = 0;
    EXPECT_EQ(probe(0, alpha, beta, score), TT_MISS);
    EXPECT_EQ(tt_find(root().key), nullptr);
}

TEST_F(TranspositionTable, AllocationStepsDownToWhatIsObtainable) {
    tt_set_allocation_cap(TT_SIZES[4].entries);  // 1024K asked, 512K obtainable
    EXPECT_EQ(tt_allocate(TTMode::REALLOCATE, 5), 4);
    EXPECT_EQ(tt_entry_count(), 524288u);
    EXPECT_EQ(tt_size_bytes(), 524288u * sizeof(TTEntry));

    tt_set_allocation_cap(1000);  // nothing obtainable: no table
    EXPECT_EQ(tt_allocate(TTMode::REALLOCATE, 5), 0);
    EXPECT_EQ(tt_entry_count(), 0u);

    tt_set_allocation_cap(0);
    EXPECT_EQ(tt_allocate(TTMode::START_UP, 1), TT_DEFAULT_CHOICE);  // start-up takes 256K
    EXPECT_EQ(tt_entry_count(), 262144u);
}

TEST_F(TranspositionTable, WithoutATableProbesFindNothingAndStoresKeepNothing) {
    EXPECT_EQ(tt_allocate(TTMode::REALLOCATE, 0), 0);
    store(6, -50, 50, 1);
    int alpha = -50, beta = 50, score = 0;
    EXPECT_EQ(probe(0, alpha, beta, score), TT_MISS);
    EXPECT_EQ(tt_matched_entry(root()), nullptr);
    tt_clear(root());
    tt_age();
}
