#pragma once
// Command-line options of vantor-cli: "--name value", "--flag" and positional words.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/board/board.h"

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool takes_value;
    bool repeatable = false;  // may be given more than once (values() has them all)
};

class Options {
public:
    // Reads argv[first..argc). Returns false with `error` set on an unknown option, a
    // missing value or an option given twice that is not repeatable.
    bool parse(int argc, char** argv, int first, const std::vector<OptionSpec>& specs,
               std::string& error);

    bool has(const std::string& name) const { return values_.count(name) != 0; }
    // The value (the last one of a repeatable option).
    std::optional<std::string> value(const std::string& name) const;
    // Every value given, in order.
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> positional_;
};

// Reads a decimal integer in [min, max]; false for anything else.
bool parse_int(const std::string& text, long min, long max, long& value);
// Reads a non-negative decimal number such as "2.5"; false for anything else.
bool parse_seconds(const std::string& text, double& value);

// The position of --fen, or the start position (White to move).
bool read_position(const Options& options, Board& board, Side& side, std::string& error);

// Chooses the engine of --engine classic|strong (classic without the option); false
// with `error` set for any other name.
bool apply_engine_option(const Options& options, std::string& error);

// Prints "vantor-cli: <message>" on stderr and returns exit status 2.
int usage_error(const std::string& message);
