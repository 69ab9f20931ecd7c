// match: two engines (this program's classic and strong settings, or other builds of it)
// play each other as Hub child processes; the referee keeps the games and the score.

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/cli/commands.h"
#include "tools/cli/options.h"
#include "tools/match/match.h"

namespace {

// "elo0,elo1" with elo0 < elo1.
bool parse_sprt(const std::string& text, Sprt& test) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    char* end = nullptr;
    const std::string first = text.substr(0, comma);
    const std::string second = text.substr(comma + 1);
    test.elo0 = std::strtod(first.c_str(), &end);
    if (first.empty() || *end != '\0') return false;
    test.elo1 = std::strtod(second.c_str(), &end);
    if (second.empty() || *end != '\0') return false;
    return test.elo0 < test.elo1 && test.elo1 - test.elo0 < 1000;
}

// The settings of the command line; false and `error` for anything wrong with them.
bool read_settings(const Options& options, MatchSettings& settings, std::string& error) {
    const std::vector<std::string> engines = options.values("engine");
    if (engines.size() != 2) return error = "match needs --engine A --engine B", false;
    std::error_code ec;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec) return error = "cannot find this program's own path", false;
    if (!parse_engine_command(engines[0], self, settings.first, error) ||
        !parse_engine_command(engines[1], self, settings.second, error)) {
        return false;
    }
    long games = 2;
    long concurrency = 1;
    if (!options.has("games") || !parse_int(*options.value("games"), 1, 1000000, games)) {
        return error = "match needs --games N (1-1000000)", false;
    }
    if (!options.has("movetime") || !parse_seconds(*options.value("movetime"), settings.seconds) ||
        settings.seconds <= 0 || settings.seconds > 3600) {
        return error = "match needs --movetime S (seconds, above 0, at most 3600)", false;
    }
    if (options.has("concurrency") &&
        !parse_int(*options.value("concurrency"), 1, 2, concurrency)) {
        return error = "concurrency must be 1 or 2", false;
    }
    if (options.has("sprt") && !parse_sprt(*options.value("sprt"), settings.sprt.emplace())) {
        return error = "sprt must be elo0,elo1 with elo0 < elo1", false;
    }
    settings.games = static_cast<int>(games);
    settings.concurrency = static_cast<int>(concurrency);
    settings.pdn_path = options.value("pdn").value_or("");
    return load_openings(options.value("openings").value_or(""), settings.openings, error);
}

}  // namespace

int run_match(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2,
                       {{"engine", true, true},
                        {"games", true},
                        {"movetime", true},
                        {"openings", true},
                        {"concurrency", true},
                        {"sprt", true},
                        {"pdn", true}},
                       error)) {
        return usage_error(error);
    }
    if (!options.positional().empty())
        return usage_error("match takes no argument '" + options.positional()[0] + "'");
    MatchSettings settings;
    if (!read_settings(options, settings, error)) return usage_error(error);
    MatchReport report;
    const bool played = run_match(
        settings,
        [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        },
        report, error);
    if (!played) {
        std::fprintf(stderr, "vantor-cli: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "vantor-cli: %d games; engine processes started: %d and %d\n",
                 report.games, report.starts[0], report.starts[1]);
    return 0;
}
