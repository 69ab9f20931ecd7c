#include "tools/cli/options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/board/fen.h"
#include "engine/search/driver.h"

bool Options::parse(int argc, char** argv, int first, const std::vector<OptionSpec>& specs,
                    std::string& error) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            positional_.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(2);
        const OptionSpec* option = nullptr;
        for (const OptionSpec& s : specs) {
            if (name == s.name) option = &s;
        }
        if (option == nullptr) {
            error = "unknown option " + arg;
            return false;
        }
        if (values_.count(name) != 0 && !option->repeatable) {
            error = "option " + arg + " given twice";
            return false;
        }
        if (!option->takes_value) {
            values_[name].push_back("");
        } else if (i + 1 < argc) {
            values_[name].push_back(argv[++i]);
        } else {
            error = "option " + arg + " needs a value";
            return false;
        }
    }
    return true;
}

std::optional<std::string> Options::value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> Options::values(const std::string& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

bool parse_int(const std::string& text, long min, long max, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    value = v;
    return true;
}

bool parse_seconds(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < 0) return false;
    value = v;
    return true;
}

bool read_position(const Options& options, Board& board, Side& side, std::string& error) {
    const auto fen = options.value("fen");
    if (!fen) {
        setup_initial_position(board);
        side = WHITE;
        return true;
    }
    if (!parse_fen(*fen, board, side, error)) {
        error = "bad FEN: " + error;
        return false;
    }
    return true;
}

bool apply_engine_option(const Options& options, std::string& error) {
    EngineKind kind = EngineKind::CLASSIC;
    if (const auto name = options.value("engine"); name && !engine_kind_from_name(*name, kind)) {
        error = "engine must be classic or strong";
        return false;
    }
    set_engine_kind(kind);
    return true;
}

int usage_error(const std::string& message) {
    std::fprintf(stderr, "vantor-cli: %s\n", message.c_str());
    return 2;
}
