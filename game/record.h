#pragma once
// The game record: every position of the game with the move played from it, a length
// and a current index that Undo and Redo move. Around it: the legal-move listing of the
// game position, the two-click move entry and the board edits of set-up mode.
//
// The operations use the program's root record (root_record(), root_moves()) as the
// scratch position for listing, matching and playing moves, so every move index here
// means a place in the root list as generate_moves ordered it.

#include <array>
#include <cstdint>

#include "engine/board/board.h"
#include "records/game_state.h"

// One position of the game and the move played from it (move fields are 0 for the last
// position and for a cleared record).
struct GameEntry {
    Side side = WHITE;
    std::int32_t move_index = 0;  // in the position's legal move list
    std::int32_t move_type = 0;   // MoveKind 1-8
    std::int32_t from = 0;        // squares 1-50
    std::int32_t to = 0;
    Board board;
};

inline constexpr int GAME_RECORD_ENTRIES = 513;
inline constexpr int MAX_GAME_MOVES = GAME_RECORD_ENTRIES - 1;

struct GameRecord {
    std::array<GameEntry, GAME_RECORD_ENTRIES> entries{};
    std::int32_t length = 0;   // moves in the record
    std::int32_t current = 0;  // position shown and played from; 0 <= current <= length
};

// The from and to squares of every legal move of the game position, in root-list order.
struct MoveSquares {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
};
struct MoveTable {
    std::array<MoveSquares, MOVE_STACK_SIZE> moves{};
    std::int32_t count = 0;
};

// Two-click move entry, kept by the controller: the square picked up (0 = none), a word
// cleared with it, and the square just clicked.
struct Selection {
    std::int32_t from = 0;
    std::int32_t second = 0;
    std::int32_t clicked = 0;
};

// The move message text of the last move (see move_text.h), NUL-terminated.
using MoveMessage = std::array<char, 64>;

enum RecordStep : int { START = 1, STORE = 2, REDO = 3, UNDO = 4, RESTORE = 6 };

enum SelectResult : int {
    SELECT_NOTHING = 0,
    SELECT_PIECE = 1,    // a piece with several moves is picked up
    SELECT_DROPPED = 2,  // the second click named no destination
    SELECT_MOVE = 3,     // player_move holds the chosen move
};

enum EditOp : int { EDIT_CLEAR = 0, EDIT_INIT = 1, EDIT_SQUARE = 2 };

// Set-up colours: the colour an empty square takes when it is clicked in set-up mode.
inline constexpr int SETUP_WHITE = 1;
inline constexpr int SETUP_BLACK = 3;

// Read access for the windows, printing and the game files.
const GameRecord& game_record();
// Entry `index`, clamped to 0-512.
const GameEntry& game_entry(int index);
const MoveTable& move_table();
int setup_colour();

// Length and current become 0 and every entry's move fields 0; sides and boards stay.
void game_record_clear();
int game_length();
int game_current();
// Replaces the whole record (a game file that decoded completely).
void game_record_replace(const GameRecord& record);

// 1 when the step did something. After REDO, UNDO and RESTORE the side marks, the turn
// marks and the legal moves follow the new position.
int game_record_step(int op, GameState& state);

// Lists the game position's moves into the root record and the move table; sets the
// engine request flag, legal_count and capture_count, and zeroes the three move indices.
int list_legal_moves(GameState& state);

// Matches selection.clicked against the move table (see SelectResult).
int select_square(Selection& selection, GameState& state);

// Regenerates the root record's moves and finds the first whose word (and, for a
// capture, remaining set) equals key's. 1 and index on a match, else 0.
int find_legal_move(int& index, const MoveRecord& key);

// Plays move_to_play from the root list into the game position and appends it at
// current, dropping the redo tail, and writes its move message. Returns false and
// changes nothing when the record is full (512 moves) or move_to_play names no move
// of the list; the caller then must not treat the move as played.
bool record_move(GameState& state, MoveMessage& message);

// Set-up mode: EDIT_CLEAR / EDIT_INIT set the board of `state`; EDIT_SQUARE steps the
// square through its pieces. Other ops do nothing.
void edit_square(int op, int square, GameState& state);
