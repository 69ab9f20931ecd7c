#include "tools/match/hub_player.h"

#include <unistd.h>

#include <cstdio>

#include "hub/hub_line.h"

namespace {

using Clock = EngineProcess::Clock;
using namespace std::chrono_literals;

constexpr auto HANDSHAKE_TIME = 10s;
constexpr auto INIT_TIME = 120s;  // loading the larger endgame databases takes a while
constexpr auto QUIT_GRACE = 1000ms;

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool parse_engine_command(const std::string& text, const std::string& self, EngineCommand& command,
                          std::string& error) {
    command.name = text;
    if (text == "classic" || text == "strong") {
        command.argv = {self, "hub", "--engine", text};
        return true;
    }
    std::string path = text;
    std::string kind;
    for (const char* setting : {"classic", "strong"}) {
        if (ends_with(text, std::string(":") + setting)) {
            kind = setting;
            path = text.substr(0, text.size() - kind.size() - 1);
        }
    }
    if (path.empty() || access(path.c_str(), X_OK) != 0) {
        error = "engine '" + text + "' is neither classic, strong nor a program";
        return false;
    }
    command.argv = {path, "hub"};
    if (!kind.empty()) command.argv.insert(command.argv.end(), {"--engine", kind});
    return true;
}

// Reads lines until one whose command is `command`; an "error" line or the deadline ends
// the wait with `error` set.
bool HubPlayer::wait_for(const std::string& command, Clock::time_point deadline,
                         std::string& error) {
    std::string text;
    while (process_.read_line(text, deadline)) {
        HubLine line;
        std::string why;
        if (!parse_hub_line(text, line, why)) continue;
        if (line.command == command) return true;
        if (line.command == "error") {
            error = "error '" + line.value("message") + "'";
            return false;
        }
    }
    error = process_.dead() ? "engine died" : "no answer in time";
    return false;
}

bool HubPlayer::ensure_started(std::string& error) {
    if (process_.running()) return true;
    if (!process_.start(command_.argv, error)) return false;
    ++starts_;
    if (process_.send("hub") && wait_for("wait", Clock::now() + HANDSHAKE_TIME, error) &&
        process_.send("set-param name=book value=false") && process_.send("init") &&
        wait_for("ready", Clock::now() + INIT_TIME, error)) {
        return true;
    }
    if (error.empty()) error = "engine died";
    error = "engine " + command_.name + " did not start: " + error;
    stop();
    return false;
}

bool HubPlayer::new_game(std::string& error) {
    if (!ensure_started(error)) return false;
    if (process_.send("new-game")) return true;
    error = "engine died";
    return false;
}

bool HubPlayer::think(const std::string& position, const std::string& moves, double seconds,
                      std::string& move, std::string& error) {
    char level[64];
    std::snprintf(level, sizeof level, "level move-time=%g", seconds);
    std::string pos = "pos pos=" + position;
    if (!moves.empty()) pos += " moves=" + hub_value(moves);
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(10 * seconds + 5));
    if (!process_.send(pos) || !process_.send(level) || !process_.send("go think")) {
        error = "engine died";
        return false;
    }
    std::string text;
    while (process_.read_line(text, deadline)) {
        HubLine line;
        std::string why;
        if (!parse_hub_line(text, line, why)) continue;
        if (line.command == "done") {
            move = line.value("move");
            return true;
        }
        if (line.command == "error") {
            error = "error '" + line.value("message") + "'";
            return false;
        }
    }
    error = process_.dead() ? "engine died" : "no answer in time";
    return false;
}

void HubPlayer::stop() {
    process_.stop(QUIT_GRACE);
}
