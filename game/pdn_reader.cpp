#include <algorithm>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/pdn.h"
#include "game/pdn_lexer.h"
#include "game/pdn_moves.h"

namespace {

constexpr std::size_t SHOWN_TEXT = 40;
constexpr int INTERNATIONAL_DRAUGHTS = 20;

// A written text as an error line shows it: on one line, and cut short when long.
std::string shown(std::string_view text) {
    std::string out(text.substr(0, SHOWN_TEXT));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    if (text.size() > SHOWN_TEXT) out += "...";
    return out;
}

// The number a GameType value starts with ("20", "20,W,10,10,N2,0"); -1 when none.
int game_type_number(std::string_view value) {
    int number = 0;
    std::size_t i = 0;
    while (i < value.size() && value[i] == ' ') ++i;
    const std::size_t first = i;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9' && i - first < 6; ++i) {
        number = number * 10 + (value[i] - '0');
    }
    return i == first ? -1 : number;
}

// One game's reading: the tags, then the moves replayed in the reader's own ply stack
// (or, for the game index, passed over). Variations are followed by their depth alone.
class GameReading {
  public:
    GameReading(PdnLexer& lexer, int number, PlyStack* stack, PdnGame& game,
                std::vector<PdnError>* errors)
        : lexer_(lexer), number_(number), stack_(stack), game_(game), errors_(errors) {}

    // False when the text ended before a game began.
    bool read(std::size_t& begin, std::size_t& end);

  private:
    // False when the lexeme ends the game.
    bool take(const PdnLexeme& lexeme);
    bool take_body(const PdnLexeme& lexeme);
    void take_tag(const PdnLexeme& lexeme);
    void take_move(const PdnLexeme& lexeme);
    void start_body();
    // A fault stops the replay unless it lies outside the moves (a bad tag line).
    void fault(int move_number, std::string_view text, const std::string& message, bool stops = true);
    void finish();
    // The number the next move goes by, as the text counts.
    int next_move_number();

    PdnLexer& lexer_;
    int number_;
    PlyStack* stack_;
    PdnGame& game_;
    std::vector<PdnError>* errors_;

    bool started_ = false;  // a tag, a move or a fault: there is a game
    bool in_body_ = false;
    bool stopped_ = false;  // after a fault the moves are passed over
    int depth_ = 0;
    long move_number_ = 1;
    bool numbered_ = false;  // a move number stands before the next move
    bool terminated_ = false;
    PdnResult terminator_ = PdnResult::UNKNOWN;
};

bool GameReading::read(std::size_t& begin, std::size_t& end) {
    begin = end = lexer_.text().size();
    bool first = true;
    for (;;) {
        const PdnLexeme& lexeme = lexer_.next();
        if (lexeme.kind == PdnToken::END) break;
        const bool counts = lexeme.kind != PdnToken::COMMENT && lexeme.kind != PdnToken::CLOSE_PAREN;
        if (counts && first) {
            begin = lexeme.begin;
            first = false;
        }
        if (!take(lexeme)) {
            if (started_) {
                end = terminated_ ? lexeme.end : lexeme.begin;
                finish();
                return true;
            }
            // Results, numbers or comments without a game: nothing to keep.
            in_body_ = false;
            terminated_ = false;
            depth_ = 0;
            move_number_ = 1;
            numbered_ = false;
            first = true;
            begin = lexer_.text().size();
        }
    }
    if (depth_ > 0 && started_) fault(0, "", "variation not closed");
    end = lexer_.text().size();
    if (started_) finish();
    return started_;
}

bool GameReading::take(const PdnLexeme& lexeme) {
    switch (lexeme.kind) {
        case PdnToken::TAG:
        case PdnToken::BAD_TAG:
            // A tag after the moves opens the next game.
            if (in_body_) {
                if (depth_ > 0) fault(0, "", "variation not closed");
                lexer_.unread(lexeme);
                return false;
            }
            started_ = true;
            if (lexeme.kind == PdnToken::TAG) {
                take_tag(lexeme);
            } else {
                fault(0, shown(lexeme.text), "is not a tag pair", false);
            }
            return true;
        case PdnToken::OPEN_COMMENT:
            started_ = true;
            fault(0, "", "comment not closed");
            return true;
        case PdnToken::COMMENT:
        case PdnToken::END:
            return true;
        default:
            return take_body(lexeme);
    }
}

bool GameReading::take_body(const PdnLexeme& lexeme) {
    if (!in_body_) {
        in_body_ = true;
        start_body();
    }
    if (depth_ > 0) {
        if (lexeme.kind == PdnToken::OPEN_PAREN) ++depth_;
        if (lexeme.kind == PdnToken::CLOSE_PAREN) --depth_;
        return true;
    }
    switch (lexeme.kind) {
        case PdnToken::OPEN_PAREN:
            ++depth_;
            return true;
        case PdnToken::MOVE_NUMBER:
            move_number_ = std::max(1L, lexeme.number);
            numbered_ = true;
            return true;
        case PdnToken::RESULT:
        case PdnToken::STAR:
            terminated_ = true;
            terminator_ = lexeme.kind == PdnToken::RESULT ? lexeme.result : PdnResult::UNKNOWN;
            return false;
        case PdnToken::MOVE:
            started_ = true;
            take_move(lexeme);
            return true;
        case PdnToken::SETUP:
        case PdnToken::JUNK:
            started_ = true;
            if (!stopped_) {
                const bool setup = lexeme.kind == PdnToken::SETUP;
                fault(next_move_number(), shown(lexeme.text),
                      setup ? "sets up a position inside the game, which is not supported"
                            : "cannot be read as a move");
            }
            return true;
        default:  // strength marks, NAGs, ellipses, a stray ')'
            return true;
    }
}

void GameReading::take_tag(const PdnLexeme& lexeme) {
    game_.tags.push_back({std::string(lexeme.name), decode_tag_value(lexeme.value)});
}

int GameReading::next_move_number() {
    if (!numbered_ && stack_ != nullptr && stack_->plies[0].side == WHITE && !game_.moves.empty()) {
        ++move_number_;
    }
    numbered_ = false;
    return static_cast<int>(std::min(move_number_, 999999L));
}

// The position the moves start from, once the tags are all read.
void GameReading::start_body() {
    if (stack_ == nullptr) return;
    setup_initial_position(game_.start);
    game_.start_side = WHITE;
    if (const std::string* type = game_.tag("GameType");
        type != nullptr && game_type_number(*type) != INTERNATIONAL_DRAUGHTS) {
        fault(0, "GameType \"" + shown(*type) + "\"", "is not international draughts");
    }
    if (const std::string* fen = game_.tag("FEN"); fen != nullptr && !stopped_) {
        Board board;
        Side side = WHITE;
        std::string why;
        if (parse_fen(*fen, board, side, why)) {
            Board initial;
            setup_initial_position(initial);
            game_.start = board;
            game_.start_side = side;
            game_.set_up = !(board == initial && side == WHITE);
        } else {
            fault(0, "FEN \"" + shown(*fen) + "\"", "is no position: " + why);
        }
    }
    set_record_position(stack_->plies[0], game_.start, game_.start_side);
}

void GameReading::take_move(const PdnLexeme& lexeme) {
    if (stopped_) return;
    if (stack_ == nullptr) return;
    PlyRecord& position = stack_->plies[0];
    const int number = next_move_number();
    generate_moves(position.side, position);
    int index = 0;
    switch (match_written_move(position, lexeme.move, index)) {
        case MoveMatch::FOUND:
            break;
        case MoveMatch::NOT_LEGAL:
            fault(number, shown(lexeme.text), "is not legal here");
            return;
        case MoveMatch::AMBIGUOUS:
            fault(number, shown(lexeme.text), "is ambiguous: more than one capture fits it");
            return;
    }
    MoveRecord& move = position.moves[index];
    game_.moves.push_back({index, move});
    make_move(position, move);
    // Only the board and the side matter to the generator: no key, no material.
    position.board = stack_->plies[1].board;
    position.side = ~position.side;
}

void GameReading::fault(int move_number, std::string_view text, const std::string& message, bool stops) {
    if (stops) stopped_ = true;
    started_ = true;
    if (errors_ != nullptr) errors_->push_back({number_, move_number, std::string(text), message});
}

void GameReading::finish() {
    if (!in_body_) start_body();
    if (terminated_ && terminator_ != PdnResult::UNKNOWN) {
        game_.result = terminator_;
    } else if (const std::string* tag = game_.tag("Result")) {
        if (!parse_pdn_result(*tag, game_.result)) game_.result = PdnResult::UNKNOWN;
    }
}

}  // namespace

PdnReader::PdnReader(std::string_view text, int first_game)
    : lexer_(std::make_unique<PdnLexer>(text)),
      stack_(std::make_unique<PlyStack>()),
      game_number_(first_game) {
    stack_->reset();
}

PdnReader::~PdnReader() = default;

bool PdnReader::next(PdnGame& game, std::vector<PdnError>& errors) {
    game.clear();
    GameReading reading(*lexer_, game_number_, stack_.get(), game, &errors);
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!reading.read(begin, end)) return false;
    ++game_number_;
    return true;
}

std::vector<PdnGame> read_pdn(std::string_view text, std::vector<PdnError>& errors) {
    std::vector<PdnGame> games;
    PdnReader reader(text);
    PdnGame game;
    while (reader.next(game, errors)) games.push_back(game);
    return games;
}

std::vector<PdnIndexEntry> index_pdn(std::string_view text, const std::atomic<bool>* cancel,
                                     std::size_t stop_after) {
    std::vector<PdnIndexEntry> index;
    PdnLexer lexer(text);
    PdnGame game;
    for (;;) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
        if (stop_after != 0 && index.size() == stop_after) break;
        game.clear();
        PdnIndexEntry entry;
        entry.number = static_cast<int>(index.size()) + 1;
        GameReading reading(lexer, entry.number, nullptr, game, nullptr);
        if (!reading.read(entry.begin, entry.end)) break;
        const auto value = [&game](std::string_view name) {
            const std::string* v = game.tag(name);
            return v != nullptr ? *v : std::string();
        };
        entry.white = value("White");
        entry.black = value("Black");
        entry.event = value("Event");
        entry.date = value("Date");
        entry.result = pdn_result_text(game.result);
        index.push_back(std::move(entry));
    }
    return index;
}

bool read_pdn_game(std::string_view text, const PdnIndexEntry& entry, PdnGame& game,
                   std::vector<PdnError>& errors) {
    if (entry.begin > entry.end || entry.end > text.size()) return false;
    PdnReader reader(text.substr(entry.begin, entry.end - entry.begin), entry.number);
    return reader.next(game, errors);
}
