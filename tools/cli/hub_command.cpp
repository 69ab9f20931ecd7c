// hub: the engine speaking the Hub protocol on standard input and output, for draughts
// interfaces that load engines that way.

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "hub/hub_engine.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace {

// A line longer than this is no protocol line; it is dropped with an error.
constexpr std::size_t MAX_LINE = 1 << 20;

}  // namespace

int run_hub(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"engine", true}}, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("hub takes no argument '" + options.positional()[0] + "'");
    if (!apply_engine_option(options, error)) return usage_error(error);
    HubEngine engine(".", [](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    std::string pending;
    bool dropping = false;  // inside an overlong line
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, static_cast<int>(engine.idle_wait().count())) > 0) {
            char buffer[4096];
            const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
            // The interface has gone: quit as directly as possible.
            if (count <= 0) return 0;
            pending.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (dropping) {
                    dropping = false;
                    continue;
                }
                if (!engine.handle(line)) return 0;
            }
            if (pending.size() > MAX_LINE) {
                engine.reject("a line longer than " + std::to_string(MAX_LINE) + " characters");
                pending.clear();
                dropping = true;
            }
        }
        engine.tick();
    }
}
