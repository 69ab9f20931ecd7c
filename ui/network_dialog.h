#pragma once
// Game > Network (DXP)...: what the dialog asks before a match with another program over
// the network, and what it makes of the answers. The Qt window only mirrors this record.

#include <optional>
#include <string>

#include "game/dxp_session.h"

inline constexpr const char* NETWORK_CAPTION = "Network (DXP)";

struct NetworkDialogState {
    bool connect = true;  // connect to a program that waits; else wait for one to connect
    // Connecting: the other program's host. Waiting: the address to listen on, this
    // computer only unless the user names another one.
    std::string host = "127.0.0.1";
    std::string port = "27531";
    bool engine_white = true;  // the engine's colour in the first game
    std::string games = "2";
    std::string minutes = "10";
    std::string moves = "75";
};

enum NetworkField : int { NETWORK_HOST, NETWORK_PORT, NETWORK_GAMES, NETWORK_MINUTES, NETWORK_MOVES };

// Why the fields cannot start a session: the field to correct and the message to show.
struct NetworkProblem {
    NetworkField field = NETWORK_HOST;
    std::string message;
};

// The session the fields ask for, or the first problem found.
std::optional<NetworkProblem> network_dialog_apply(const NetworkDialogState& state, DxpOptions& options);
