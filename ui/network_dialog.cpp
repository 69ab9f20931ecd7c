#include "ui/network_dialog.h"

#include "ui/dialog_state.h"

namespace {

std::optional<NetworkProblem> number(const std::string& text, int low, int high, NetworkField field,
                                     const char* name, int& value) {
    const std::optional<int> v = parse_setting(text);
    if (v && *v >= low && *v <= high) {
        value = *v;
        return std::nullopt;
    }
    return NetworkProblem{field, std::string(name) + " must be a number from " + std::to_string(low) + " to " +
                                     std::to_string(high) + "."};
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<NetworkProblem> network_dialog_apply(const NetworkDialogState& state, DxpOptions& options) {
    DxpOptions o = options;
    o.initiator = state.connect;
    o.address = trimmed(state.host);
    if (o.address.empty()) {
        if (state.connect) return NetworkProblem{NETWORK_HOST, "Name the computer the other program runs on."};
        o.address = "127.0.0.1";
    }
    if (o.address.find(' ') != std::string::npos) return NetworkProblem{NETWORK_HOST, "A host name has no blanks."};
    int port = 0;
    int games = 0;
    int minutes = 0;
    int moves = 0;
    if (auto p = number(state.port, 1, 65535, NETWORK_PORT, "The port", port)) return p;
    if (auto p = number(state.games, 1, 999, NETWORK_GAMES, "Games", games)) return p;
    if (auto p = number(state.minutes, 1, 999, NETWORK_MINUTES, "Minutes", minutes)) return p;
    if (auto p = number(state.moves, 0, 999, NETWORK_MOVES, "Moves", moves)) return p;
    o.port = port;
    o.engine_colour = state.engine_white ? WHITE : BLACK;
    // Waiting, the other program proposes the games; at most this many are played.
    o.games = games;
    o.minutes = minutes;
    o.moves = moves;
    options = o;
    return std::nullopt;
}
