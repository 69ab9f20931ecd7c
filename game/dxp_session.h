#pragma once
// Network matches with another draughts program over DamExchange (DXP): the initiator
// connects and proposes each game with GAMEREQ, the follower listens and answers with
// GAMEACC; then both exchange MOVE messages until one ends the game with GAMEEND and the
// other confirms it. A network game runs like a Remote game: the local computer plays its
// colour, the other program's moves are committed as they come, and the game controller
// does the rest (clocks, engine, record).
//
// Everything here runs on the main thread: dxp_poll() is called often (every 100 ms or
// so) by the program's own loop. Nothing the other program sends can corrupt the game:
// a malformed or illegal message, silence or a broken connection end the session with a
// clear error, and the game so far stays on the board and in the record.

#include <chrono>
#include <string>

#include "engine/board/board.h"
#include "game/dxp_message.h"

struct DxpOptions {
    bool initiator = true;             // connect and propose the games; else listen and follow
    std::string address = "127.0.0.1";  // the host to connect to, or the address to listen on
    int port = DXP_PORT;
    std::string name = "vantor 5.0";
    // Initiator: the engine's colour in the first game (the colours alternate after it),
    // the games to play, the time control proposed and, when set_up, the start position.
    Side engine_colour = WHITE;
    int games = 1;  // the follower accepts this many games at most
    int minutes = 10;
    int moves = 75;  // 0: no limit
    bool set_up = false;
    Board board;
    Side side_to_move = WHITE;
    int ply = 0;  // above 0: search this many plies instead of following the time control
    // The longest wait for an answer of the other program; its move may take its whole
    // thinking time on top of this.
    std::chrono::seconds timeout{60};
    // A refused connection is tried again for this long (both programs may be started at
    // the same moment).
    std::chrono::seconds connect_retry{0};
};

// What the session tells the user interface.
class DxpObserver {
public:
    virtual ~DxpObserver() = default;
    virtual void dxp_status(const std::string& /*text*/) {}
    virtual void dxp_chat(const std::string& /*text*/) {}
    virtual void dxp_error(const std::string& /*text*/) {}
    // Called before the game's first move is made.
    virtual void dxp_game_started(int /*number*/, const std::string& /*opponent*/, Side /*engine_colour*/) {}
    // The game is over; its position and record stay. `how` says why it ended.
    virtual void dxp_game_ended(int /*number*/, const std::string& /*how*/) {}
    // The connection is closed; `clean` unless an error ended the session.
    virtual void dxp_finished(bool /*clean*/) {}
};

// Starts a session (connecting or listening); false and `error` when the address cannot
// be used or a session is running already. The observer must outlive the session.
bool dxp_start(const DxpOptions& options, DxpObserver& observer, std::string& error);
void dxp_poll();
// The user stops: the game ends with GAMEEND at the engine's next turn (the protocol lets
// only the side to move end a game), and no further game is played.
void dxp_request_stop();
// Closes the connection at once; the game stops where it is.
void dxp_disconnect();
bool dxp_active();
// A game is being played (between GAMEACC and the last GAMEEND).
bool dxp_game_running();
std::string dxp_opponent();
bool dxp_send_chat(const std::string& text, std::string& error);
