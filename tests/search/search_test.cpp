#include <vector>

#include "engine/search/bench_positions.h"
#include "tests/search/search_test_util.h"

using Search = EngineTest;

TEST_F(Search, ALostPositionScoresMinus5000AtAnyDepth) {
    const Side side = setup("W:W46:B37,41");  // the man on 46 is blocked in
    for (int depth = 0; depth <= 6; ++depth) {
        begin_search();
        EXPECT_EQ(search(depth, -INFINITE_SCORE, INFINITE_SCORE, root_record(), side), -WIN_SCORE) << depth;
    }
    EXPECT_EQ(run_search(game_state()), 0);
}

TEST_F(Search, ADecidedIterationIsTheLast) {
    setup("W:W28:B23", 10);  // 28x19 takes Black's last piece
    EXPECT_EQ(run_search(game_state()), 1);
    EXPECT_EQ(game_state().score, WIN_SCORE);
    EXPECT_EQ(game_state().iteration_depth, 2);
    EXPECT_EQ(engine_move_text(), "28x19");
}

TEST_F(Search, ASingleReplyCostsNoDepth) {
    const Side side = setup("W:W28,31,45:B23,5,9");  // 28x19 is the only move
    begin_search();
    search(3, -INFINITE_SCORE, INFINITE_SCORE, root_record(), side);
    const TTEntry* child = tt_find(key_after(0));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->depth, 3u);
    EXPECT_NE(child->flags & TT_BLACK_TO_MOVE, 0);
}

TEST_F(Search, ReductionsAreMeasuredFromBeta) {
    // White a man up (material 100), no capture anywhere, no black man that could run.
    // Depth 5: the first move's child shows the depth the node searched at.
    struct Case {
        int alpha, beta;
        unsigned child_depth;
    } cases[] = {
        {18, 19, 3},    // m = beta + 81: one ply less
        {-82, -81, 2},  // m = beta + 181: two plies less
        {-90, 20, 4},   // m above alpha + 180 but not above beta + 80: not reduced
    };
    for (const Case& c : cases) {
        const Side side = setup("W:W31-36:B1-5");
        begin_search();
        search(5, c.alpha, c.beta, root_record(), side);
        const TTEntry* child = tt_find(key_after(0));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->depth, c.child_depth) << "window " << c.alpha << ", " << c.beta;
    }
}

TEST_F(Search, ASingularTableMoveIsSearchedOnePlyDeeper) {
    const Side side = setup("W:W31-50:B1-20");
    begin_search();
    PlyRecord& root = root_record();
    generate_moves(side, root);
    root.best = 2;
    root.node_flags = 7;  // the node that stored it found its best move singular
    tt_store(1, -INFINITE_SCORE, INFINITE_SCORE, root, 0, side);
    ASSERT_NE(tt_find(root.key)->flags & TT_SINGULAR, 0);

    search(4, -INFINITE_SCORE, INFINITE_SCORE, root, side);
    ASSERT_NE(tt_find(key_after(2)), nullptr);
    EXPECT_EQ(tt_find(key_after(2))->depth, 4u);
    ASSERT_NE(tt_find(key_after(0)), nullptr);
    EXPECT_EQ(tt_find(key_after(0))->depth, 3u);
}

TEST_F(Search, EqualHistoryCountersAreTakenInListOrder) {
    setup("W:W31-50:B1-20");
    history_reset();
    PlyRecord& root = root_record();
    generate_moves(WHITE, root);
    History[move_key(root.moves[5].word)] = 7;
    std::vector<int> order;
    for (int i = 0; i < root.move_count; ++i) {
        pick_history_move(root);
        order.push_back(root.current);
    }
    EXPECT_EQ(order, (std::vector<int>{5, 0, 1, 2, 3, 4, 6, 7, 8}));
}

TEST_F(Search, EachHistoryPickSeesTheCountersAsTheyAreThen) {
    setup("W:W31-50:B1-20");
    history_reset();
    PlyRecord& root = root_record();
    generate_moves(WHITE, root);
    History[move_key(root.moves[3].word)] = 50;
    History[move_key(root.moves[6].word)] = 40;
    std::vector<int> order;
    pick_history_move(root);
    order.push_back(root.current);
    root.best = 7;
    history_bonus(root, 6);  // move 7 now 65: above the runner-up of the last pick
    for (int i = 1; i < root.move_count; ++i) {
        pick_history_move(root);
        order.push_back(root.current);
    }
    EXPECT_EQ(order, (std::vector<int>{3, 7, 6, 0, 1, 2, 4, 5, 8}));
}

TEST_F(Search, HistoryBonusDoublesWithDepthAndSaturates) {
    setup("W:W31-50:B1-20");
    history_reset();
    PlyRecord& root = root_record();
    generate_moves(WHITE, root);
    root.best = 1;
    std::uint32_t& counter = History[move_key(root.moves[1].word)];
    history_bonus(root, 4);
    EXPECT_EQ(counter, 17u);
    counter = 0xFFFFFFF0u;
    history_bonus(root, 5);  // 32 more would overflow: unchanged
    EXPECT_EQ(counter, 0xFFFFFFF0u);
    history_bonus(root, 32);
    EXPECT_EQ(counter, 0xFFFFFFFFu);
}

// Shots: White gives one man and takes three. Found by enumeration over the move
// generator (every Black reply is a single capture, after which White takes at least
// three), so the win of two men is a fact of the rules, not of the evaluation.
struct Shot {
    const char* fen;
    const char* move;
};

class Tactics : public EngineTest, public testing::WithParamInterface<Shot> {};

TEST_P(Tactics, GivesOneToTakeThree) {
    setup(GetParam().fen, 7);
    const int material = root_record().material;
    ASSERT_GT(run_search(game_state()), 0);
    EXPECT_EQ(engine_move_text(), GetParam().move);
    EXPECT_GE(game_state().score, material + 150);
}

INSTANTIATE_TEST_SUITE_P(Shots, Tactics,
                         testing::Values(Shot{"W:W27-28,31,34,37,41:B7-8,10,15-16,18,20-21", "28-22"},
                                         Shot{"W:W29,35,41-42,44,46,48,50:B10-11,13,17,19-20,22,24,30", "41-36"},
                                         Shot{"W:W26,29-31,34-35,40,43,45,49:B6,9,18-19,22,28", "29-23"},
                                         Shot{"W:W33,35,38-39,41,47-48:B7-8,10,20,22-24,27,29", "35-30"}));

TEST_F(Search, TournamentTimeAllocation) {
    // 65 moves in 60 minutes: 95 % of the period is 3420 s, an even share 52 s.
    settings().tournament_moves = 65;
    settings().tournament_minutes = 60;
    GameState& state = game_state();
    state.search_kind = TOURNAMENT;
    state.side = WHITE;
    static int moves_played = 0;
    set_game_length_source([] { return moves_played; });
    struct Case {
        int played, used, limit;
    } cases[] = {{0, 0, 52}, {120, 3000, 52}, {120, 3400, 4}};
    for (const Case& c : cases) {
        moves_played = c.played;
        app_state().white_clock = c.used;
        allocate_time(state);
        EXPECT_EQ(state.search_limit, c.limit) << c.played << " " << c.used;
    }
    // The budget is the side to move's own clock.
    state.side = BLACK;
    app_state().black_clock = 0;
    allocate_time(state);
    EXPECT_EQ(state.search_limit, 52);
    // A period of no moves cannot be divided by: it counts as one.
    settings().tournament_moves = 0;
    moves_played = 0;
    allocate_time(state);
    EXPECT_EQ(state.search_limit, 3420);
    settings().tournament_moves = 65;
    set_game_length_source(nullptr);
    app_state().white_clock = 0;
}

TEST_F(Search, FixedPlyBelowTwoStillNamesAMove) {
    setup("W:W31-50:B1-20", 1);
    game_state().engine_move = 77;
    EXPECT_EQ(run_search(game_state()), 9);
    EXPECT_EQ(game_state().iteration_depth, 2);
    EXPECT_LT(game_state().engine_move, 9);
}

TEST_F(Search, BenchNodeCountIsPinned) {
    // `vantor-cli bench --depth 6`: the 24 positions searched in turn from a fresh
    // table. Move generation, ordering, pruning and evaluation all feed the count, so
    // a change of behaviour anywhere changes it; a change of speed does not.
    std::int64_t nodes = 0;
    for (const char* fen : BENCH_POSITIONS) {
        setup(fen, 6);
        run_search(game_state());
        nodes += game_state().node_count;
    }
    EXPECT_EQ(nodes, 379556);
}
