#include "hub/hub_line.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A word up to the next blank or '=', or a quoted value; `at` moves past it.
bool read_token(std::string_view text, std::size_t& at, std::string& token, std::string& error) {
    token.clear();
    if (at < text.size() && text[at] == '"') {
        const std::size_t end = text.find('"', at + 1);
        if (end == std::string_view::npos) {
            error = "a quote is not closed";
            return false;
        }
        token = text.substr(at + 1, end - at - 1);
        at = end + 1;
        return true;
    }
    while (at < text.size() && !is_blank(text[at]) && text[at] != '=') token += text[at++];
    return true;
}

}  // namespace

bool HubLine::has(std::string_view name) const {
    for (const auto& argument : arguments) {
        if (argument.first == name) return true;
    }
    return false;
}

std::string HubLine::value(std::string_view name) const {
    for (const auto& argument : arguments) {
        if (argument.first == name) return argument.second;
    }
    return {};
}

bool parse_hub_line(std::string_view text, HubLine& line, std::string& error) {
    HubLine parsed;
    std::size_t at = 0;
    auto skip_blanks = [&] {
        while (at < text.size() && is_blank(text[at])) ++at;
    };
    skip_blanks();
    if (!read_token(text, at, parsed.command, error)) return false;
    for (skip_blanks(); at < text.size(); skip_blanks()) {
        std::string name;
        std::string value;
        if (!read_token(text, at, name, error)) return false;
        if (at < text.size() && text[at] == '=') {
            ++at;
            if (!read_token(text, at, value, error)) return false;
        }
        if (name.empty()) {
            error = "a value without a name";
            return false;
        }
        parsed.arguments.emplace_back(std::move(name), std::move(value));
    }
    line = std::move(parsed);
    return true;
}

std::string hub_value(std::string_view value) {
    if (!value.empty() && value.find_first_of(" \t=\"") == std::string_view::npos) return std::string(value);
    std::string quoted(1, '"');
    quoted += value;
    quoted += '"';
    return quoted;
}
