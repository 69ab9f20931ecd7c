#include "tools/match/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>

extern char** environ;

namespace {

// A line longer than this is no protocol line: the child is treated as broken.
constexpr std::size_t MAX_LINE = 1 << 20;

// A child that stops reading must not end this process with SIGPIPE: its write fails
// instead. Children get the default action back (see start).
void ignore_sigpipe() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

void close_fd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

bool EngineProcess::start(const std::vector<std::string>& argv, std::string& error) {
    stop(std::chrono::milliseconds(0));
    ignore_sigpipe();
    int in[2];
    int out[2];
    // Close-on-exec: the engines of another worker must not hold these pipes open.
    if (pipe2(in, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int status = posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(in[0]);
    close(out[1]);
    if (status != 0) {
        pid_ = -1;
        close(in[1]);
        close(out[0]);
        error = "cannot start " + argv[0] + ": " + std::strerror(status);
        return false;
    }
    to_child_ = in[1];
    from_child_ = out[0];
    closed_ = false;
    buffer_.clear();
    return true;
}

bool EngineProcess::send(const std::string& line) {
    if (to_child_ < 0) return false;
    const std::string text = line + '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = write(to_child_, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool EngineProcess::read_line(std::string& line, Clock::time_point deadline) {
    for (;;) {
        if (const std::size_t end = buffer_.find('\n'); end != std::string::npos) {
            line = buffer_.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            buffer_.erase(0, end + 1);
            return true;
        }
        if (closed_ || from_child_ < 0 || buffer_.size() > MAX_LINE) {
            closed_ = true;
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) return false;
        pollfd entry{from_child_, POLLIN, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::min<long long>(left, 1000)) + 1);
        if (ready < 0 && errno != EINTR) closed_ = true;
        if (ready <= 0) continue;
        char chunk[4096];
        const ssize_t count = read(from_child_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            closed_ = true;
            continue;
        }
        buffer_.append(chunk, static_cast<std::size_t>(count));
    }
}

void EngineProcess::stop(std::chrono::milliseconds grace) {
    if (pid_ <= 0) return;
    if (grace.count() > 0) send("quit");
    close_fd(to_child_);
    const auto deadline = Clock::now() + grace;
    int status = 0;
    pid_t ended = waitpid(pid_, &status, WNOHANG);
    while (ended == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ended = waitpid(pid_, &status, WNOHANG);
    }
    if (ended == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    close_fd(from_child_);
    pid_ = -1;
    closed_ = true;
    buffer_.clear();
}
