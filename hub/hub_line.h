#pragma once
// Lines of the Hub protocol (version 2), the text protocol through which draughts
// interfaces drive engines on standard input and output. Every line, both ways, is
//     <command> <name>=<value> <name>=<value> ...
// with values in double quotes when they hold a blank or '=' or are empty; a name
// without "=value" is a flag (its value is empty).

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct HubLine {
    std::string command;
    std::vector<std::pair<std::string, std::string>> arguments;

    bool has(std::string_view name) const;
    // The value of `name` ("" when it is a flag or absent).
    std::string value(std::string_view name) const;
};

// Reads one line; false and `error` for an unterminated quote or a name missing before '='.
// An empty line gives an empty command.
bool parse_hub_line(std::string_view text, HubLine& line, std::string& error);

// A value as a line carries it: in double quotes when it needs them.
std::string hub_value(std::string_view value);
