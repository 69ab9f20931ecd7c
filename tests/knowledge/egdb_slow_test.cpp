// The full set of up to four pieces: built, checked position by position against the
// rules, and held to facts about kings. One test, so that the set is built once.

#include <gtest/gtest.h>

#include "tests/knowledge/egdb_test_util.h"
#include "tools/egdb/build.h"

TEST(EgdbFourPieces, EveryPositionAgreesWithItsSuccessors) {
    ScratchDirectory raw("four_raw");
    ASSERT_EQ(build_databases({4, raw.path(), false, 2, false, false}), 0);
    const VerifyCounts counts = verify_databases(raw.path(), 2, false);
    EXPECT_EQ(counts.databases, 41);
    EXPECT_EQ(counts.positions, 42786345);
    EXPECT_EQ(counts.faults, 0);
    EXPECT_EQ(counts.unknown, 0);

    // Three kings cannot force a single king that holds the great diagonal (5-46): it
    // shuttles along it and keeps out of the one sacrifice that could catch it. Classical
    // endgame theory of the international game (the lone king on the "great line" draws).
    ASSERT_EQ(egdb_init(raw.path().c_str()), 1);
    EXPECT_EQ(probe_fen("W:WK28:BK1,K2,K3"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("B:WK28:BK1,K2,K3"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("B:WK23:BK47,K48,K49"), EGDB_DRAW);
    EXPECT_EQ(probe_fen("W:W46:B3,37,41"), EGDB_LOSS);  // blocked: no move is a loss
    egdb_free();
}
