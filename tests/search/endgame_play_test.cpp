// With the endgame databases on, the engine plays won endings to the win: positions the
// databases call won for the side to move are played out, the engine moving for both
// sides, until the loser has no move left.

#include <filesystem>
#include <random>

#include "engine/knowledge/egdb.h"
#include "records/settings.h"
#include "tests/board/random_positions.h"
#include "tests/knowledge/egdb_test_util.h"
#include "tests/search/search_test_util.h"
#include "tools/egdb/build.h"

namespace {

class EndgamePlay : public EngineTest {
protected:
    std::string dir = testing::TempDir() + "vantor_endgame_play_" + std::to_string(getpid());

    void SetUp() override {
        EngineTest::SetUp();
        std::filesystem::create_directories(dir);
        BuildOptions options;
        options.pieces = 3;
        options.directory = dir;
        options.progress = false;
        options.summary = false;
        ASSERT_EQ(build_databases(options), 0);
        ASSERT_EQ(egdb_init(dir.c_str()), 1);
        settings().endgame_use = 1;
    }
    void TearDown() override {
        settings().endgame_use = 0;
        egdb_free();
        std::filesystem::remove_all(dir);
        EngineTest::TearDown();
    }

};

}  // namespace

TEST_F(EndgamePlay, WonEndingsAreWon) {
    std::mt19937_64 rng(12);
    int played = 0;
    while (played < 60) {
        Board board = random_board(rng, 1 + static_cast<int>(rng() % 2), 1, 0.4);
        const Side winner = rng() % 2 ? WHITE : BLACK;
        if (egdb_probe(winner, probe_record(board)) != EGDB_WIN) continue;
        ++played;
        Side side = winner;
        bool won = false;
        for (int ply = 0; ply < 100 && !won; ++ply) {
            setup(to_fen(board, side), 6);
            if (run_search(game_state()) == 0) {
                won = side != winner;
                break;
            }
            PlyRecord& root = root_record();
            generate_moves(side, root);
            make_move(root, root.moves[game_state().engine_move]);
            board = (&root)[1].board;
            side = ~side;
        }
        EXPECT_TRUE(won) << "from a won position the game ended in " << to_fen(board, side);
    }
}
