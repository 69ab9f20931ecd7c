#pragma once
// One engine of a match: a child process spoken to in the Hub protocol (version 2), with
// its opening book off. The process is started on first use and kept from game to game;
// after a fault (a dead engine, no answer in time, an illegal move) the caller stops it
// and the next use starts a fresh one.

#include <string>
#include <vector>

#include "tools/match/engine_process.h"

// How to start an engine: the name the match prints and the command line.
struct EngineCommand {
    std::string name;
    std::vector<std::string> argv;
};

// "classic" or "strong": this program (`self`) as "self hub --engine KIND"; otherwise
// the path of another build, "PATH" (started as "PATH hub", so that builds older than
// the engine choice still work) or "PATH:classic" / "PATH:strong". false and `error`
// when PATH is no program.
bool parse_engine_command(const std::string& text, const std::string& self, EngineCommand& command,
                          std::string& error);

class HubPlayer {
  public:
    explicit HubPlayer(EngineCommand command) : command_(std::move(command)) {}

    const std::string& name() const { return command_.name; }
    // How many times the process has been started.
    int starts() const { return starts_; }

    // Starts the process and waits for "ready" unless it runs already.
    bool ensure_started(std::string& error);
    bool new_game(std::string& error);
    // The engine's move (its Hub text) for the position reached by `moves` from
    // `position`, with `seconds` to think; the answer must come within 10 * seconds + 5 s.
    // false and `error` (why, in a few words) otherwise.
    bool think(const std::string& position, const std::string& moves, double seconds,
               std::string& move, std::string& error);
    // Ends the process ("quit", then killed after a grace period).
    void stop();

  private:
    bool wait_for(const std::string& command, EngineProcess::Clock::time_point deadline,
                  std::string& error);

    EngineCommand command_;
    EngineProcess process_;
    int starts_ = 0;
};
