// vantor-cli as other tools see it: its output lines and its exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun run_cli(const std::string& args) {
    // CTest runs these tests side by side: one file per process.
    const std::string err_file = testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string command = std::string(VANTOR_CLI) + " " + args + " 2>" + err_file;
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
                         "perft 0", "perft 99", "perft x", "perft", "moves --fen", "frobnicate", ""};
    for (const char* args : bad) {
        const CliRun run = run_cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        if (args[0] != '\0') {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        }
    }
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
