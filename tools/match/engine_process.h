#pragma once
// Another program as a child process spoken to in lines: its standard input and output
// are pipes of ours, its standard error is ours. Started without a shell. Whatever the
// child does (dies, floods, falls silent), the caller only ever waits as long as it says.

#include <sys/types.h>
#include <chrono>
#include <string>
#include <vector>

class EngineProcess {
  public:
    using Clock = std::chrono::steady_clock;

    EngineProcess() = default;
    ~EngineProcess() { stop(std::chrono::milliseconds(0)); }
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts `argv[0]` with those arguments; false and `error` when it cannot be started.
    bool start(const std::vector<std::string>& argv, std::string& error);
    bool running() const { return pid_ > 0; }

    // Writes one line; false when the child no longer reads.
    bool send(const std::string& line);
    // The next line of the child's output, without its end. false when none has come by
    // `deadline` or the child closed its output (dead() then tells which).
    bool read_line(std::string& line, Clock::time_point deadline);
    bool dead() const { return closed_; }

    // Sends "quit" (when it runs), waits up to `grace` for the child to end, then kills
    // it; the child is always reaped.
    void stop(std::chrono::milliseconds grace);

  private:
    pid_t pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    bool closed_ = false;
    std::string buffer_;
};
