#pragma once
// DamExchange (DXP) messages: the messages two draughts programs exchange to play each
// other, as the protocol's public description fixes them. Every message is one line of
// 1-127 ASCII characters (codes 1-127), its first character naming its type, its fields
// of fixed width: numbers with leading zeros, names padded with blanks to 32 places.
//
//   R  GAMEREQ  version(2) initiator(32) follower colour(1) minutes(3) moves(3)
//               start(1: 'A' the normal start; 'B' followed by the colour to move(1)
//               and the position(50: square 1 first, e w z W Z))
//   A  GAMEACC  follower(32) acceptance code(1)
//   M  MOVE     seconds(4) from(2) to(2) captured count(2) captured squares(2 each)
//   E  GAMEEND  reason(1) stop code(1)
//   C  CHAT     text(1-126)
//   B  BACKREQ  move number(3) colour to move(1)
//   K  BACKACC  acceptance code(1)
//
// Colours are 'W' (white) and 'Z' (black, "zwart").

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/board/board.h"

inline constexpr int DXP_PORT = 27531;
inline constexpr std::size_t DXP_MAX_MESSAGE = 127;
inline constexpr std::size_t DXP_NAME_WIDTH = 32;
inline constexpr int DXP_VERSION = 1;

// GAMEACC acceptance codes.
enum DxpAcceptance : int {
    DXP_ACCEPT = 0,
    DXP_REFUSE_VERSION = 1,  // the GAMEREQ's protocol version is not the expected one
    DXP_REFUSE_GAME = 2,     // not this game, but another one perhaps
    DXP_REFUSE_ALL = 3,      // no game at all
};

// GAMEEND reasons (the first GAMEEND of a game may give one; its answer gives 0).
enum DxpEndReason : int {
    DXP_END_UNSPECIFIED = 0,
    DXP_END_GIVE_UP = 1,
    DXP_END_DRAW = 2,
    DXP_END_WIN = 3,
};

// BACKACC acceptance codes.
enum DxpBackAcceptance : int {
    DXP_BACK_ACCEPT = 0,
    DXP_BACK_NOT_SUPPORTED = 1,
    DXP_BACK_REFUSE = 2,
};

struct DxpGameRequest {
    int version = DXP_VERSION;
    std::string initiator;  // without the padding
    Side follower_colour = BLACK;
    int minutes = 0;  // thinking time of each player for the whole game, 0-999
    int moves = 0;    // moves of the whole game, 0-999; 0: no limit
    bool set_up = false;  // false: the normal start, White to move
    Side side_to_move = WHITE;
    Board board;  // the position when set_up
};

struct DxpGameAccept {
    std::string follower;
    int code = DXP_ACCEPT;
};

struct DxpMove {
    int seconds = 0;  // 0-9999
    int from = 0;
    int to = 0;
    std::vector<int> captured;  // squares, in the order given
};

struct DxpGameEnd {
    int reason = DXP_END_UNSPECIFIED;
    int stop_code = 0;  // 0: another game is welcome; 1: no more games
};

struct DxpChat {
    std::string text;
};

struct DxpBackRequest {
    int move_number = 1;  // 1-999
    Side side_to_move = WHITE;
};

struct DxpBackAccept {
    int code = DXP_BACK_ACCEPT;
};

using DxpMessage =
    std::variant<DxpGameRequest, DxpGameAccept, DxpMove, DxpGameEnd, DxpChat, DxpBackRequest, DxpBackAccept>;

// The message text (without the NUL that frames it on the wire). Numbers are clamped to
// their fields, names cut to 32 places and padded with blanks, and every character outside
// the printable ASCII range becomes '?', so the text is always a well-formed message.
std::string dxp_build(const DxpMessage& message);

// Reads one message. On anything that is not exactly a message of the types above
// returns false and says why in `error`; `out` is then unchanged.
bool dxp_parse(std::string_view text, DxpMessage& out, std::string& error);

// The 50-character position field of a board (square 1 first).
std::string dxp_position(const Board& board);

// "32-28"-like text of a DXP move for messages to the user: "32x23 (28)".
std::string dxp_move_text(const DxpMove& move);
