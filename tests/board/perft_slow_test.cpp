// Depth 9 from the start position, move by move (published divide, ../shared/reference/
// perft-and-rules.md). Runs on the Release build only.

#include <gtest/gtest.h>

#include <map>

#include "engine/board/makemove.h"
#include "engine/board/perft.h"
#include "tests/board/board_test_util.h"

TEST(PerftSlow, DivideAtDepth9MatchesThePublishedFigures) {
    const std::map<std::string, std::uint64_t> published = {
        {"31-27", 3688169}, {"32-28", 4156449}, {"33-29", 4158847}, {"34-30", 6360375}, {"31-26", 5649973},
        {"32-27", 3631411}, {"33-28", 4340749}, {"34-29", 3660496}, {"35-30", 5375954}};
    TestPosition p("W:W31-50:B1-20");
    const std::vector<std::string> moves = p.moves();
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        make_move(p.root(), p.root().moves[i]);
        const std::uint64_t count = perft(p.stack->plies[1], BLACK, 8, true);
        EXPECT_EQ(count, published.at(moves[i])) << moves[i];
        total += count;
    }
    EXPECT_EQ(total, 41022423u);
}
