// vantor-cli dxp over loopback: two copies playing a match, and a scripted peer that
// misbehaves in every way the network allows. The peer's messages follow the DamExchange
// pages (mesander.nl/damexchange): esocket.htm (TCP, each message ended by a NUL),
// egamereq.htm, egameacc.htm, emove.htm and egameend.htm for the layouts.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/loopback_peer.h"

namespace {

using namespace std::chrono_literals;

// vantor-cli running in the background, its output going to files.
class Cli {
public:
    explicit Cli(const std::string& args) {
        static int count = 0;
        base_ = testing::TempDir() + "dxp_" + std::to_string(getpid()) + "_" + std::to_string(++count);
        const std::string command = std::string(VANTOR_CLI) + " " + args + " >" + base_ + ".out 2>" + base_ + ".err";
        pid_ = fork();
        if (pid_ == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Cli() {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    // The exit status (-1 when it did not end within `limit`, or died of a signal).
    int finish(std::chrono::seconds limit = 60s) {
        const auto give_up = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > give_up) return -1;
            std::this_thread::sleep_for(10ms);
        }
        finished_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() const { return read(base_ + ".out"); }
    std::string err() const { return read(base_ + ".err"); }
    std::string dir() const { return testing::TempDir(); }

private:
    static std::string read(const std::string& path) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    pid_t pid_ = -1;
    bool finished_ = false;
    std::string base_;
};

std::string padded(const std::string& name) { return name + std::string(32 - name.size(), ' '); }

// GAMEREQ from the peer: version 01, its name, the follower's colour, 10 minutes for 50
// moves, the normal start.
std::string game_request(char follower_colour) { return std::string("R01") + padded("scripted peer") + follower_colour + "010050A"; }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// vantor-cli listening, the peer connected; returns the port.
struct Follower {
    int port = free_port();
    Cli cli;
    Peer peer;
    explicit Follower(const std::string& extra = "--timeout 5")
        : cli("dxp --listen 127.0.0.1:" + std::to_string(port) + " --ply 2 " + extra) {}
};

}  // namespace

TEST(DxpMatch, TwoProgramsPlayATwoGameMatchAndKeepTheSameRecords) {
    const std::string port = std::to_string(free_port());
    Cli follower("dxp --listen " + port + " --ply 4");
    Cli initiator("dxp --connect 127.0.0.1:" + port + " --games 2 --time 5 --moves 25 --ply 4 --color black");
    EXPECT_EQ(initiator.finish(), 0) << initiator.err();
    EXPECT_EQ(follower.finish(), 0) << follower.err();
    EXPECT_EQ(initiator.out(), follower.out());
    const std::string out = initiator.out();
    EXPECT_TRUE(contains(out, "game 1\n    1 ")) << out;
    EXPECT_TRUE(contains(out, "game 2\n    1 ")) << out;
    // Each game ends: won, or stopped once both sides made their 25 moves.
    int results = 0;
    for (std::size_t at = out.find("result: "); at != std::string::npos; at = out.find("result: ", at + 1)) ++results;
    EXPECT_EQ(results, 2) << out;
    EXPECT_TRUE(contains(initiator.err(), "game 1 against vantor 5.0, the engine plays Black"));
    EXPECT_TRUE(contains(follower.err(), "game 2 against vantor 5.0, the engine plays Black"));
}

TEST(DxpPeer, GarbageAndOverlongMessagesEndTheSessionWithAClearError) {
    const std::pair<std::string, const char*> cases[] = {
        {std::string("\x01\xfe\x80zz\0", 6), "malformed message"},
        {std::string("Xhello\0", 7), "unknown message type"},
        {std::string(10 << 20, 'R'), "without its end (NUL)"},
        {std::string("\0\0\0", 3), "an empty message"},
    };
    for (const auto& [bytes, error] : cases) {
        Follower f;
        ASSERT_TRUE(f.peer.connect_to(f.port));
        f.peer.send_bytes(bytes);  // the program may hang up before all of it is taken
        EXPECT_EQ(f.cli.finish(), 1) << error;
        EXPECT_TRUE(contains(f.cli.err(), error)) << f.cli.err();
        EXPECT_EQ(f.cli.out(), "");
    }
}

TEST(DxpPeer, ASilentPeerIsGivenUp) {
    Follower f("--timeout 1");
    ASSERT_TRUE(f.peer.connect_to(f.port));
    EXPECT_EQ(f.cli.finish(10s), 1);
    EXPECT_TRUE(contains(f.cli.err(), "did not answer")) << f.cli.err();
}

TEST(DxpPeer, APeerVanishingMidGameLeavesTheGameSoFar) {
    Follower f("--timeout 5 --save " + testing::TempDir());
    ASSERT_TRUE(f.peer.connect_to(f.port));
    ASSERT_TRUE(f.peer.send_message(game_request('Z')));  // the program plays Black
    const std::string accept = f.peer.receive();
    EXPECT_EQ(accept, std::string("A") + padded("vantor 5.0") + "0");
    ASSERT_TRUE(f.peer.send_message("M0003322800"));  // 32-28
    const std::string reply = f.peer.receive();
    ASSERT_EQ(reply.size(), 11u) << reply;  // a quiet move: M, time, from, to, "00"
    EXPECT_EQ(reply.substr(9), "00");
    f.peer.hang_up();
    EXPECT_EQ(f.cli.finish(), 1);
    EXPECT_TRUE(contains(f.cli.err(), "closed the connection during the game")) << f.cli.err();
    char listed[32];
    std::snprintf(listed, sizeof listed, "    1 32-28  %2d-%2d\n", std::stoi(reply.substr(5, 2)), std::stoi(reply.substr(7, 2)));
    EXPECT_EQ(f.cli.out(), std::string("game 1\n") + listed + "result: stopped after 2 moves\n");
    Cli show("show " + testing::TempDir() + "game1.tgr");
    EXPECT_EQ(show.finish(), 0);
    EXPECT_TRUE(contains(show.out(), "32-28")) << show.out();
}

TEST(DxpPeer, IllegalAndMalformedMovesEndTheGameWithGameEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {"M0001322600", "not legal here: 32-26"},
        {"M000132280127", "not legal here: 32x28 (27)"},
        {"M00013228", "malformed message"},
    };
    for (const auto& [move, error] : cases) {
        Follower f;
        ASSERT_TRUE(f.peer.connect_to(f.port));
        ASSERT_TRUE(f.peer.send_message(game_request('Z')));
        ASSERT_EQ(f.peer.receive().substr(0, 1), "A");
        ASSERT_TRUE(f.peer.send_message(move));
        EXPECT_EQ(f.peer.receive(), "E01") << move;  // GAMEEND, no further game
        EXPECT_EQ(f.cli.finish(), 1);
        EXPECT_TRUE(contains(f.cli.err(), error)) << f.cli.err();
        EXPECT_EQ(f.cli.out(), "game 1\nresult: stopped after 0 moves\n");
    }
}

TEST(DxpPeer, TheInitiatorProposesTheGameAndHearsARefusal) {
    const int port = free_port();
    Cli cli("dxp --connect 127.0.0.1:" + std::to_string(port) + " --color white --time 15 --moves 40 --timeout 5");
    Peer peer;
    ASSERT_TRUE(peer.listen_and_accept(port));
    // GAMEREQ: the follower (the peer) plays Black, 15 minutes for 40 moves, normal start.
    EXPECT_EQ(peer.receive(), std::string("R01") + padded("vantor 5.0") + "Z015040A");
    ASSERT_TRUE(peer.send_message(std::string("A") + padded("scripted peer") + "2"));
    EXPECT_EQ(cli.finish(), 1);
    EXPECT_TRUE(contains(cli.err(), "scripted peer declined the game")) << cli.err();
}
