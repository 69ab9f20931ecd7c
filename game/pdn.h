#pragma once
// Portable Draughts Notation: games as the draughts world exchanges them.
//
//   [Event "?"]
//   [White "Sijbrands, Ton"]
//   [Result "2-0"]
//   [GameType "20"]
//   1. 32-28 19-23 2. 28x19 14x23 3. 37-32 {a comment} 10-14 (3... 9-14 4. 41-37) 4. 41-37! $1
//   5. 46-41 2-0
//
// The reader takes what programs and people write: tag pairs (all kept, in order), move
// numbers ("12." and "12..."), quiet moves "32-28", captures in the short form "28x19" or
// with their landing squares "28x19x10" (or with ':' between the squares), strength marks
// (!, ?, *, (?)), NAGs ($1), comments in braces or after ';' or '%' to the end of the line,
// variations in parentheses (skipped, at any depth), the results 2-0, 0-2, 1-1, 0-0, * and
// the chess-style 1-0, 0-1, 1/2-1/2, several games in one text, CRLF line ends, a UTF-8
// byte-order mark and Latin-1 tag values (turned into UTF-8). Every move is replayed
// against the legal moves of its position; a short capture that two different captures
// fit is refused as ambiguous unless its landing squares tell them apart.
//
// A game with a fault keeps the moves before it; the fault names the game, the move number
// and the text. The reader never recurses on its input and keeps no more than one game.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/board/board.h"

// The results the notation can state, in international (draughts) scoring.
enum class PdnResult : std::uint8_t {
    UNKNOWN,         // "*": unfinished or not known
    WHITE_WINS,      // "2-0" (chess style "1-0")
    BLACK_WINS,      // "0-2" ("0-1")
    DRAW,            // "1-1" ("1/2-1/2")
    DOUBLE_FORFEIT,  // "0-0": lost for both
};

// "2-0", "0-2", "1-1", "0-0" or "*".
const char* pdn_result_text(PdnResult result);
// Any of the result texts above or the chess-style ones; false for anything else.
bool parse_pdn_result(std::string_view text, PdnResult& result);

struct PdnTag {
    std::string name;
    std::string value;  // UTF-8
    bool operator==(const PdnTag&) const = default;
};

// One move of a game: its place in the legal move list of its position, as generate_moves
// orders it, and the move itself.
struct PdnMove {
    std::int32_t index = 0;
    MoveRecord move;
    bool operator==(const PdnMove& other) const {
        return index == other.index && same_move(move, other.move);
    }
};

struct PdnGame {
    std::vector<PdnTag> tags;
    Board start;  // the position before the first move
    Side start_side = WHITE;
    bool set_up = false;  // the FEN tag names another position than the initial one
    std::vector<PdnMove> moves;
    PdnResult result = PdnResult::UNKNOWN;

    // The value of a tag, or nullptr.
    const std::string* tag(std::string_view name) const;
    void clear();
};

// A fault in a text: the game (from 1), the number of the move as the text counts them
// (0 when the fault is no move's), what was written and what is wrong with it.
struct PdnError {
    int game = 0;
    int move_number = 0;
    std::string text;
    std::string message;
};
// "game 12 move 31: 27x18 is not legal here", "game 3: comment not closed".
std::string pdn_error_line(const PdnError& error);

class PdnLexer;
struct PlyStack;

// Reads the games of a text one after the other.
class PdnReader {
  public:
    // `first_game` numbers the first game of the text (for a slice of a larger one).
    explicit PdnReader(std::string_view text, int first_game = 1);
    ~PdnReader();
    PdnReader(const PdnReader&) = delete;
    PdnReader& operator=(const PdnReader&) = delete;

    // The next game, replayed; false when the text holds no more. Its faults are appended
    // to `errors`; the game then holds the moves before the first one.
    bool next(PdnGame& game, std::vector<PdnError>& errors);

  private:
    std::unique_ptr<PdnLexer> lexer_;
    std::unique_ptr<PlyStack> stack_;
    int game_number_;
};

// Every game of a text, with the faults of all of them.
std::vector<PdnGame> read_pdn(std::string_view text, std::vector<PdnError>& errors);

// Where a game of a text lies and what the game list shows of it; found without replaying.
struct PdnIndexEntry {
    int number = 0;  // from 1
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string white, black, event, date, result;
};
// The games of a text. `cancel`, when given and set, ends the scan early; `stop_after`
// ends it once that many games are found (0: no limit).
std::vector<PdnIndexEntry> index_pdn(std::string_view text, const std::atomic<bool>* cancel = nullptr,
                                     std::size_t stop_after = 0);
// The game an index entry names, replayed (its faults numbered as in the whole text).
bool read_pdn_game(std::string_view text, const PdnIndexEntry& entry, PdnGame& game,
                   std::vector<PdnError>& errors);

// The game as text: the seven archival tags (Event, Site, Date, Round, White, Black,
// Result; "?" where unknown, "????.??.??" for the date and "*" for the result), GameType
// "20", SetUp "1" and FEN for a set-up start, the other tags as they were, then the
// numbered moves in the short form (with landing squares only where it is ambiguous)
// and the result, in lines under 80 characters, and a blank line.
std::string write_pdn(const PdnGame& game);
void append_pdn(std::string& out, const PdnGame& game);
