// The command-line tools as other tools see them: their output lines and their exit
// status. vantor-cli, vantor-egdb and vantor-book run as real processes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun run_tool(const std::string& tool, const std::string& args) {
    // CTest runs these tests side by side: one file per process.
    const std::string err_file = testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string command = tool + " " + args + " 2>" + err_file;
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) run.out += buffer.data();
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* f = std::fopen(err_file.c_str(), "r")) {
        while (std::fgets(buffer.data(), buffer.size(), f)) run.err += buffer.data();
        std::fclose(f);
    }
    return run;
}

CliRun run_cli(const std::string& args) { return run_tool(VANTOR_CLI, args); }

// A fresh folder per test and process, removed afterwards.
class ToolTest : public testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::path(testing::TempDir()) /
                                ("vantor_tools_" + std::to_string(getpid()));
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string at(const std::string& name) const { return (dir / name).string(); }
};

}  // namespace

TEST(Cli, MovesListsTheStartPositionInGenerationOrder) {
    const CliRun run = run_cli("moves");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "31-26\n32-27\n33-28\n34-29\n35-30\n31-27\n32-28\n33-29\n34-30\n");
}

TEST(Cli, MovesShowCapturedSquaresAscending) {
    EXPECT_EQ(run_cli("moves --fen 'W:W26:B12,K21,31,32'").out, "26x28 (31,32)\n26x8 (12,21)\n");
    EXPECT_EQ(run_cli("moves --fen 'W:W38:B22,23,32,33'").out,
              "38x38 (22,23,32,33)\n38x38 (22,23,32,33)\n");
}

TEST(Cli, PerftPrintsOneLinePerDepth) {
    const CliRun run = run_cli("perft --unique 3");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("depth 1 nodes 9 time "), std::string::npos);
    EXPECT_NE(run.out.find("depth 3 nodes 658 time "), std::string::npos);
    EXPECT_NE(run.out.find(" nps "), std::string::npos);
    const CliRun divide = run_cli("perft --divide 2");
    EXPECT_EQ(divide.out.rfind("31-26 9\n32-27 9\n", 0), 0u);
}

TEST(Cli, BadInputGivesOneLineAndStatus2) {
    const char* bad[] = {"moves --fen 'W:W51:B1'", "moves --fen 'W:W31,31:B1'", "moves --fen 'W:W3:B10'",
                         "moves --fen 'W31:B1'", "moves --fen ':W31:B1'", "moves --bogus",
                         "perft 0", "perft 99", "perft x", "perft", "moves --fen", "frobnicate", "",
                         // an option given twice, a save folder with no name, no databases
                         "moves --fen 'W:W31:B1' --fen 'W:W32:B1'", "perft --divide --divide 2",
                         "selfplay --save ''", "egdb --dir /no/such/dir",
                         // match: one engine, three, no such program, a repeated --games, no time
                         "match --engine classic --games 2 --movetime 1",
                         "match --engine classic --engine classic --engine strong --games 2 --movetime 1",
                         "match --engine classic --engine /no/such/vantor --games 2 --movetime 1",
                         "match --engine classic --engine strong --games 2 --games 4 --movetime 1",
                         "match --engine classic --engine strong --games 2",
                         "match --engine classic --engine strong --games 2 --movetime 1 --sprt 5,0",
                         "match --engine classic --engine strong --games 2 --movetime 1 --concurrency 3",
                         "match --engine classic --engine strong --games 2 --movetime 1 --openings /no/such/file",
                         "hub --engine fast"};
    for (const char* args : bad) {
        const CliRun run = run_cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        if (args[0] != '\0') {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        }
    }
}

TEST_F(ToolTest, MatchNamesTheBadLineOfAnOpeningsFile) {
    std::ofstream(at("openings.txt")) << "# fine, then a typo\n32-28 19-23\n32-28 19-23 28x19 14-23\n";
    const CliRun run = run_cli("match --engine classic --engine classic --games 2 --movetime 0.01 --openings " +
                               at("openings.txt"));
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "vantor-cli: " + at("openings.txt") + " line 3: '14-23' is not legal here\n");
}

// A Computer - Computer game ends by the rules, not by the record's length: ply 3 plays
// into a repeated position, ply 4 wins for Black.
TEST(Cli, SelfplayEndsEachGameWithItsResult) {
    const auto last_line = [](const std::string& out) {
        const std::size_t end = out.find_last_not_of('\n');
        return out.substr(out.rfind('\n', end) + 1, end - out.rfind('\n', end));
    };
    EXPECT_EQ(last_line(run_cli("selfplay --ply 3").out), "result: draw (repetition)");
    EXPECT_EQ(last_line(run_cli("selfplay --ply 4").out), "result: black wins");
}

// The strong engine behind every command that takes --engine: its games through the
// game controller and through the Hub protocol (a match, whose referee checks every
// move) end by the rules, and a search names a legal move.
TEST(Cli, TheStrongEngineServesTheCommandsThatChooseIt) {
    const CliRun search = run_cli("search --engine strong --depth 6 --fen W:W28,40:B23");
    EXPECT_NE(search.out.find("bestmove 28x19\n"), std::string::npos) << search.out;
    const CliRun selfplay = run_cli("selfplay --engine strong --ply 3");
    EXPECT_NE(selfplay.out.find("result: "), std::string::npos) << selfplay.out;
    const CliRun match = run_cli("match --engine strong --engine classic --games 2 --movetime 0.01");
    EXPECT_EQ(match.status, 0) << match.err;
    EXPECT_EQ(std::count(match.out.begin(), match.out.end(), '\n'), 3) << match.out;
    EXPECT_EQ(match.out.find("illegal"), std::string::npos) << match.out;
    EXPECT_EQ(match.out.find("no answer"), std::string::npos) << match.out;
    EXPECT_EQ(run_cli("bench --engine fast").status, 2);
}

TEST(Cli, SearchReturnsAsSoonAsTheSearchEnds) {
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = run_cli("search --movetime 30 --fen W:W28:B23");  // the capture wins
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("bestmove 28x19\n"), std::string::npos) << run.out;
}

TEST_F(ToolTest, SelfplaySavesIntoAFolderItCreates) {
    const CliRun run = run_cli("selfplay --ply 2 --save " + at("new/games"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(at("new/games/game1.tgr")));
}

// ---- vantor-egdb ----

TEST_F(ToolTest, EgdbVerifyFailsOnListedFilesThatAreMissingShortOrLong) {
    ASSERT_EQ(run_tool(VANTOR_EGDB, "build --pieces 2 --quiet --out " + dir.string()).status, 0);
    std::filesystem::resize_file(at("XvX.raw"), std::filesystem::file_size(at("XvX.raw")) - 1);
    std::ofstream(at("OvX.raw"), std::ios::app) << 'x';
    std::filesystem::remove(at("XvO.raw"));
    const CliRun run = run_tool(VANTOR_EGDB, "verify --quiet " + dir.string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(" faults 3 "), std::string::npos) << run.out;
    for (const char* file : {"XvX.raw: short", "OvX.raw: long", "XvO.raw: missing"}) {
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    }
}

TEST_F(ToolTest, EgdbSmallerBuildKeepsTheLargerDatabasesListed) {
    ASSERT_EQ(run_tool(VANTOR_EGDB, "build --pieces 3 --quiet --out " + dir.string()).status, 0);
    ASSERT_EQ(run_tool(VANTOR_EGDB, "build --pieces 2 --quiet --out " + dir.string()).status, 0);
    EXPECT_EQ(run_cli("egdb --fen B:WK46,K50:BK5 --dir " + dir.string()).out, "loss\n");
}

TEST_F(ToolTest, EgdbBuildNamesTheFolderItCannotCreate) {
    std::ofstream(at("file")) << "not a folder";
    const CliRun run = run_tool(VANTOR_EGDB, "build --pieces 2 --quiet --out " + at("file/sub"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot create the folder " + at("file/sub")), std::string::npos) << run.err;
}

// ---- vantor-book ----

TEST_F(ToolTest, BookRefusesAFolderOrAnEmptySource) {
    std::ofstream(at("empty.txt")).close();
    for (const std::string& source : {dir.string(), at("empty.txt")}) {
        const CliRun run = run_tool(VANTOR_BOOK, source + " " + at("book.dat"));
        EXPECT_EQ(run.status, 2) << source;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(at("book.dat")));
    }
}


// pdn check replays every game and names each fault by game and move number.
TEST_F(ToolTest, PdnCheckReportsEveryFaultAndTheCounts) {
    std::ofstream(at("bad.pdn")) << "[Event \"a\"]\n1. 32-28 19-23 2. 28x19 14x23 2-0\n"
                                    "[Event \"b\"]\n1. 32-28 19-23 2. 28x19 14x23 3. 37-32 23x32 *\n"
                                    "1. 33-28 18-22 2. 28x17 *\n";
    const CliRun run = run_cli("pdn check " + at("bad.pdn"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out,
              "game 2 move 3: 23x32 is not legal here\n"
              "game 3 move 2: 28x17 is not legal here\n"
              "games 3 moves 11 errors 2\n");
    std::ofstream(at("good.pdn")) << "1. 32-28 19-23 2. 28x19 14x23 1-1";
    const CliRun good = run_cli("pdn check " + at("good.pdn"));
    EXPECT_EQ(good.out, "games 1 moves 4 errors 0\n");
    EXPECT_EQ(good.status, 0);
}

TEST_F(ToolTest, ShowAndConvertPdnAndTgr) {
    const std::string two = at("two.pdn");
    std::ofstream(two) << "1. 33-28 *\n1. 32-28 19-23 2. 28x19 14x23 3. 37-32 *\n";
    const CliRun second = run_cli("show " + two + " --game 2");
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, "    1 32-28  19-23\n    2 28x19  14x23\n    3 37-32\n");
    EXPECT_EQ(run_cli("show " + two + " --game 3").status, 2);

    // pdn -> tgr -> pdn gives the same moves as the Game window lists them.
    EXPECT_EQ(run_cli("pdn convert " + two + " " + at("two.tgr") + " --game 2").status, 0);
    EXPECT_EQ(run_cli("show " + at("two.tgr")).out, second.out);
    EXPECT_EQ(run_cli("pdn convert " + at("two.tgr") + " " + at("back.pdn")).status, 0);
    EXPECT_EQ(run_cli("show " + at("back.pdn")).out, second.out);

    std::ofstream(at("setup.pdn")) << "[FEN \"W:W28:B23\"]\n1. 28x19 2-0\n";
    const CliRun refused = run_cli("pdn convert " + at("setup.pdn") + " " + at("two.tgr"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("a .tgr file cannot hold"), std::string::npos);
}

TEST_F(ToolTest, SelfplayWritesItsGamesAsPdn) {
    const CliRun run = run_cli("selfplay --ply 2 --games 2 --pdn " + at("selfplay.pdn"));
    EXPECT_EQ(run.status, 0);
    const CliRun check = run_cli("pdn check " + at("selfplay.pdn"));
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out.rfind("games 2 moves ", 0), 0u) << check.out;
}
