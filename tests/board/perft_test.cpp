// Perft from the start position against the published tables (../shared/reference/
// perft-and-rules.md: Aart Bik's BikDam figures and the FMJD forum perft thread).
// Published counts merge the paths of one capture; the generator lists every path, so
// both conventions are checked.

#include <gtest/gtest.h>

#include "engine/board/makemove.h"
#include "engine/board/perft.h"
#include "tests/board/board_test_util.h"

namespace {
constexpr std::uint64_t PUBLISHED[] = {1, 9, 81, 658, 4265, 27117, 167140, 1049442, 6483961, 41022423};
}

TEST(Perft, StartPositionMatchesThePublishedCountsToDepth8) {
    TestPosition p("W:W31-50:B1-20");
    for (int depth = 1; depth <= 8; ++depth) {
        EXPECT_EQ(perft(p.root(), WHITE, depth, true), PUBLISHED[depth]) << "depth " << depth;
    }
}

TEST(Perft, EveryPathCountsWithoutMerging) {
    // The first position with two paths to one capture appears at depth 8: the counts
    // agree with the published ones up to depth 7 and exceed them from there on.
    TestPosition p("W:W31-50:B1-20");
    EXPECT_EQ(perft(p.root(), WHITE, 7, false), PUBLISHED[7]);
    EXPECT_EQ(perft(p.root(), WHITE, 8, false), 6483971u);
    TestPosition ring("W:W38:B22,23,32,33");
    EXPECT_EQ(perft(ring.root(), WHITE, 1, false), 2u);
    EXPECT_EQ(perft(ring.root(), WHITE, 1, true), 1u);
}

TEST(Perft, DepthIsTheSumOverTheChildren) {
    TestPosition p("B:W18,24,27,28,33,K46:B12,13,19,K5");
    p.moves();
    std::uint64_t sum = 0;
    const int n = p.root().move_count;
    for (int i = 0; i < n; ++i) {
        make_move(p.root(), p.root().moves[i]);
        sum += perft(p.stack->plies[1], WHITE, 3, false);
    }
    EXPECT_EQ(perft(p.root(), BLACK, 4, false), sum);
}
