// vantor-cli hub driven line by line as a draughts interface drives it. The lines follow
// the Hub protocol, version 2 (protocol.txt by Fabien Letouzey, 2017, distributed with the
// Hub interface): the handshake hub -> id/param/wait, init -> ready, pos with moves,
// level, go think / analyze, info lines, done move= ponder=, ping -> pong, stop, quit,
// and "error message=" for a line that cannot be carried out.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

const std::string START = "Wbbbbbbbbbbbbbbbbbbbbeeeeeeeeeewwwwwwwwwwwwwwwwwwww";

class HubProcess {
public:
    HubProcess() {
        int to_child[2];
        int from_child[2];
        if (pipe(to_child) != 0 || pipe(from_child) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(to_child[0], STDIN_FILENO);
            dup2(from_child[1], STDOUT_FILENO);
            close(to_child[1]);
            close(from_child[0]);
            execl(VANTOR_CLI, VANTOR_CLI, "hub", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(to_child[0]);
        close(from_child[1]);
        in_ = to_child[1];
        out_ = from_child[0];
    }
    ~HubProcess() {
        if (in_ >= 0) close(in_);
        if (out_ >= 0) close(out_);
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    void send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // The next line of the engine ("" when none comes within 20 s).
    std::string line() {
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            pollfd entry{out_, POLLIN, 0};
            char chunk[4096];
            if (poll(&entry, 1, 20000) != 1) return "";
            const ssize_t count = read(out_, chunk, sizeof chunk);
            if (count <= 0) return "";
            buffer_.append(chunk, static_cast<std::size_t>(count));
        }
    }
    // Lines up to and including the first that starts with `prefix`.
    std::vector<std::string> lines_until(const std::string& prefix) {
        std::vector<std::string> lines;
        do {
            lines.push_back(line());
        } while (!lines.back().empty() && lines.back().rfind(prefix, 0) != 0);
        return lines;
    }
    void close_input() {
        close(in_);
        in_ = -1;
    }
    int exit_status() {
        int status = 0;
        for (int i = 0; i < 500 && waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(10ms);
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    bool ended_ = false;
    std::string buffer_;
};

bool starts(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

TEST(Hub, HandshakePositionsSearchesAndErrors) {
    HubProcess hub;
    hub.send("hub");
    const auto hello = hub.lines_until("wait");
    ASSERT_EQ(hello.size(), 5u);
    EXPECT_EQ(hello[0], "id name=vantor version=5.0");
    EXPECT_EQ(hello[1], "param name=book value=true type=bool");
    EXPECT_EQ(hello[2], "param name=egdb value=true type=bool");
    EXPECT_EQ(hello[3], "param name=tt-size value=256K type=enum values=\"64K 128K 256K 512K 1024K\"");
    hub.send("set-param name=tt-size value=64K");
    hub.send("set-param name=book value=false");
    hub.send("init");
    EXPECT_EQ(hub.line(), "ready");

    // After 32-28 19-23 White's capture is forced: no search is needed.
    hub.send("new-game");
    hub.send("pos pos=" + START + " moves=\"32-28 19-23\"");
    hub.send("level depth=5");
    hub.send("go think");
    EXPECT_EQ(hub.line(), "done move=28x19x23");

    // Black has two ways to take back; the search names one after depths 2-5.
    hub.send("pos pos=" + START + " moves=\"32-28 19-23 28x19\"");
    hub.send("go think");
    const auto search = hub.lines_until("done");
    ASSERT_EQ(search.size(), 5u);
    for (int depth = 2; depth <= 5; ++depth) {
        const std::string& info = search[static_cast<std::size_t>(depth - 2)];
        EXPECT_TRUE(starts(info, "info depth=" + std::to_string(depth) + " score=")) << info;
        EXPECT_NE(info.find(" nodes="), std::string::npos);
        EXPECT_NE(info.find(" pv=\""), std::string::npos);
    }
    EXPECT_TRUE(starts(search.back(), "done move=13x24x19 ponder=") || starts(search.back(), "done move=14x23x19 ponder="))
        << search.back();

    // An endless analysis answers ping at once and stops on request with a move.
    hub.send("level infinite");
    hub.send("go analyze");
    std::this_thread::sleep_for(200ms);
    hub.send("ping");
    EXPECT_EQ(hub.lines_until("pong").back(), "pong");
    hub.send("stop");
    EXPECT_TRUE(starts(hub.lines_until("done").back(), "done move=1")) << "a capture from 13 or 14";

    // Bad lines: an error each, and the engine goes on with what it had.
    for (const char* bad : {"pos pos=Wbbb", "pos pos=" "Wbbbbbbbbbbbbbbbbbbbbeeeeeeeeeewwwwwwwwwwwwwwwwwwww moves=\"32-29\"",
                            "level depth=99", "go sideways", "set-param name=tt-size value=3K", "pos pos=\"unclosed"}) {
        hub.send(bad);
        EXPECT_TRUE(starts(hub.line(), "error message=")) << bad;
    }
    hub.send("unknown-command of=a later version");  // ignored, as the protocol asks
    hub.send("level depth=3");
    hub.send("go think");
    EXPECT_TRUE(starts(hub.lines_until("done").back(), "done move=1"));
    hub.send("quit");
    EXPECT_EQ(hub.exit_status(), 0);
}

TEST(Hub, TheBookFollowsTheMovesWhateverTheLastPositionLeftInTheMoveList) {
    // The last position had a capture first in its list; 31-26, first in the start
    // position's list, must still be found in the book and answered at once.
    HubProcess hub;
    hub.send("init");
    EXPECT_EQ(hub.line(), "ready");
    hub.send("pos pos=" + START + " moves=\"32-28 19-23\"");
    hub.send("level depth=3");
    hub.send("go think");
    EXPECT_EQ(hub.lines_until("done").back(), "done move=28x19x23");
    hub.send("pos pos=" + START + " moves=\"31-26\"");
    hub.send("level move-time=5");
    hub.send("go think");
    const std::string done = hub.line();
    EXPECT_TRUE(starts(done, "done move=")) << done;
    hub.send("quit");
    EXPECT_EQ(hub.exit_status(), 0);
}

TEST(Hub, TheBookAnswersAtTheStartAndClosedInputEndsTheEngine) {
    HubProcess hub;
    hub.send("init");  // parameters as declared: the book is on
    EXPECT_EQ(hub.line(), "ready");
    hub.send("pos pos=" + START);
    hub.send("level move-time=5");
    hub.send("go think");
    const std::string done = hub.line();  // a book move, at once: no info line before it
    EXPECT_TRUE(starts(done, "done move=3")) << done;
    hub.send("pos pos=" + START);
    hub.send("level depth=20");
    hub.send("go analyze");
    hub.send("ping");
    EXPECT_EQ(hub.lines_until("pong").back(), "pong");
    hub.close_input();  // the interface is gone: the engine stops searching and quits
    EXPECT_EQ(hub.exit_status(), 0);
}
