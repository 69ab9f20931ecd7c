// vantor-egdb's databases: a fresh set of up to three pieces checked against the rules
// and against facts of the game, and the files it writes loading in the program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "tests/knowledge/egdb_test_util.h"
#include "tools/egdb/build.h"
#include "tools/egdb/position_cursor.h"
#include "tools/egdb/solver.h"

namespace {

constexpr int BUILT_PIECES = 3;

// The number of legal placements of a material: Black's men on squares 1-45, White's on
// 6-50, counted by how many of Black's men stand on 1-5 where White's cannot.
std::int64_t placements(const EgdbMaterial& m) {
    std::int64_t men = 0;
    for (int j = 0; j <= std::min(5, m.om); ++j) {
        men += BINOMIAL[5][j] * BINOMIAL[40][m.om - j] * BINOMIAL[45 - (m.om - j)][m.sm];
    }
    return men * BINOMIAL[50 - m.sm - m.om][m.ok] * BINOMIAL[50 - m.sm - m.om - m.ok][m.sk];
}

std::vector<EgdbMaterial> built_materials() {
    std::vector<EgdbMaterial> all;
    for (const EgdbMaterial& m : build_plan(BUILT_PIECES)) {
        all.push_back(m);
        if (!(m == mirrored(m))) all.push_back(mirrored(m));
    }
    return all;
}

// The set built once for the suite: "%s.raw" files with "endings" (on two threads), and
// "endgame.dat" (on one).
class EgdbBuilt : public testing::Test {
  protected:
    static inline std::unique_ptr<ScratchDirectory> raw;
    static inline std::unique_ptr<ScratchDirectory> combined;

    static void SetUpTestSuite() {
        raw = std::make_unique<ScratchDirectory>("built_raw");
        combined = std::make_unique<ScratchDirectory>("built_combined");
        ASSERT_EQ(build_databases({BUILT_PIECES, raw->path(), false, 2, false, false}), 0);
        ASSERT_EQ(build_databases({BUILT_PIECES, combined->path(), true, 1, false, false}), 0);
    }
    static void TearDownTestSuite() {
        egdb_free();
        raw.reset();
        combined.reset();
    }
    void SetUp() override { ASSERT_EQ(egdb_init(raw->path().c_str()), 1); }
};

}  // namespace

// A capture or crowning into a database that is not there must not pass for a draw; a
// failed write is a failed build and leaves nothing the program would read.
TEST(EgdbSolver, MissingDatabasesAndUnwritableFilesAreNoticed) {
    SolvedSet nothing;
    SolveProgress progress;
    solve_pair({1, 1, 0, 1}, nothing, 1, progress);  // XOvX: captures reach XvX, OvX, ...
    EXPECT_GT(progress.missing.load(), 0);
    SolveProgress alone;
    solve_pair({0, 1, 0, 1}, nothing, 1, alone);  // XvX: every capture ends the game
    EXPECT_EQ(alone.missing.load(), 0);

    ScratchDirectory dir("unwritable");
    dir.write("file", "not a directory");
    const std::string out = dir.file("file") + "/databases";
    EXPECT_EQ(build_databases({2, out, false, 1, false, false}), 1);
    EXPECT_EQ(build_databases({2, out, true, 1, false, false}), 1);
    EXPECT_EQ(egdb_init(out.c_str()), 0);
}

TEST_F(EgdbBuilt, EveryPositionAgreesWithItsSuccessors) {
    std::int64_t expected = 0;
    for (const EgdbMaterial& m : built_materials()) expected += placements(m);
    for (const auto& dir : {raw.get(), combined.get()}) {
        const VerifyCounts counts = verify_databases(dir->path(), 2, false);
        EXPECT_EQ(counts.databases, 16);
        EXPECT_EQ(counts.positions, expected);
        EXPECT_EQ(counts.faults, 0);
        EXPECT_EQ(counts.unknown, 0);
    }
}

// The solver's own values, computed again here on one thread, are what the program
// probes from both kinds of file.
TEST_F(EgdbBuilt, ProgramProbesTheToolsOwnValues) {
    SolvedSet solved;
    std::vector<SolvedDatabase> databases;
    for (const EgdbMaterial& m : build_plan(BUILT_PIECES)) {
        SolveProgress progress;
        for (SolvedDatabase& db : solve_pair(m, solved, 1, progress)) {
            solved.add(db.material, db.values);
            databases.push_back(std::move(db));
        }
    }
    for (const auto& dir : {raw.get(), combined.get()}) {
        ASSERT_EQ(egdb_init(dir->path().c_str()), 1);
        for (const SolvedDatabase& db : databases) {
            PositionCursor cursor(db.material);
            for (bool more = cursor.seek(0); more; more = cursor.next()) {
                const int expected = egdb_value_at(db.values.data(), cursor.index());
                ASSERT_EQ(egdb_probe(WHITE, probe_record(cursor.board())), expected)
                    << to_fen(cursor.board(), WHITE);
            }
        }
    }
}

// ---- Facts of the game ----

// The rules (FMJD, end of the game): a player who has no piece left, or none that can
// move, has lost.
// A lone king cannot be caught by a lone king: one king against one is a draw, unless
// the side to move captures at once or the other king is shut in a corner of the great
// diagonal (5 or 46), whose only way out is along that diagonal. Then a king on the
// diagonal goes to the far corner and the cornered king must step into its capture;
// with the two kings already in the two corners, the side to move is the one caught.
TEST_F(EgdbBuilt, FactsOfTheGameHoldInEveryPosition) {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    const auto on = [](Bitboard set, std::initializer_list<int> squares) {
        return std::any_of(squares.begin(), squares.end(),
                           [&](int s) { return (set & BIT_MASK[SQUARE_TO_BIT[s]]) != 0; });
    };
    int blocked = 0;
    for (const EgdbMaterial& m : built_materials()) {
        PositionCursor cursor(m);
        for (bool more = cursor.seek(0); more; more = cursor.next()) {
            const Board& b = cursor.board();
            PlyRecord& r = stack->plies[0];
            r.board = b;
            generate_moves(WHITE, r);
            bool takes_all = false;  // quiet moves leave `remaining` at 0
            for (int i = 0; i < r.move_count; ++i)
                takes_all |= r.max_captured > 0 && r.moves[i].remaining == 0;
            const int value = egdb_probe(WHITE, probe_record(b));
            int expected = r.move_count == 0 ? EGDB_LOSS : takes_all ? EGDB_WIN : value;
            if (m == EgdbMaterial{0, 1, 0, 1}) {
                const bool cornered = on(b.black_kings, {5, 46});
                expected = EGDB_DRAW;
                if (r.max_captured > 0 ||
                    (cornered && on(b.white_kings, {10, 14, 19, 23, 28, 32, 37, 41}))) {
                    expected = EGDB_WIN;
                } else if (cornered && on(b.white_kings, {5, 46})) {
                    expected = EGDB_LOSS;
                }
            }
            ASSERT_EQ(value, expected) << to_fen(b, WHITE);
            blocked += r.move_count == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(blocked, 0);
}

TEST_F(EgdbBuilt, KnownEndings) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        // The two corners of the great diagonal: lost for the side to move either way.
        {"W:WK46:BK5", EGDB_LOSS}, {"B:WK46:BK5", EGDB_LOSS}, {"W:WK10:BK5", EGDB_WIN},
        // Two kings do not beat a king that holds the great diagonal (classical endgame
        // theory: even three kings draw against it), unless it is caught in its corner.
        {"W:WK47,K49:BK23", EGDB_DRAW}, {"B:WK47,K49:BK23", EGDB_DRAW},
        {"W:WK1,K45:BK28", EGDB_DRAW}, {"B:WK46,K50:BK5", EGDB_LOSS},
        // A man one step from crowning beats a lone man far from its own crowning row:
        // the new king stops it, and it must walk into capture or be blocked.
        {"W:W6:B15", EGDB_WIN}, {"B:W36:B45", EGDB_WIN}, {"B:W6:B15", EGDB_LOSS},
        {"W:W46:B37,41", EGDB_LOSS},  // the man on 46 is stuck behind 41 and 37
    };
    // clang-format on
    for (const auto& [fen, value] : cases) EXPECT_EQ(probe_fen(fen), value) << fen;
}

// ---- vantor-cli egdb ----

TEST_F(EgdbBuilt, CliPrintsTheValueForTheSideToMove) {
    const auto run = [](const std::string& args) {
        const std::string command = std::string(VANTOR_CLI) + " egdb " + args + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        std::string out;
        std::array<char, 256> buffer{};
        while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
        const int status = pipe ? pclose(pipe) : -1;
        return out + (WIFEXITED(status) ? std::to_string(WEXITSTATUS(status)) : "?");
    };
    const std::string dir = " --dir " + raw->path();
    EXPECT_EQ(run("--fen B:WK46:BK5" + dir), "loss\n0");
    EXPECT_EQ(run("--fen W:WK46:BK23" + dir), "win\n0");
    EXPECT_EQ(run("--fen W:WK47:BK5 --dir " + combined->path()), "draw\n0");
    EXPECT_EQ(run("--fen W:WK46,K47:BK5,K4" + dir), "unknown\n0");  // four pieces: not built
    EXPECT_EQ(run("--fen W:WK46:BK5" + dir + "/missing"), "2");     // no databases there
    EXPECT_EQ(run("--fen W:W3:BK5" + dir), "2");                    // a man on its own crowning row
    EXPECT_EQ(run("--depth 3"), "2");
}
