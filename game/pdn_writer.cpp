#include <algorithm>
#include <array>
#include <memory>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/pdn.h"
#include "game/pdn_moves.h"

namespace {

constexpr std::size_t LINE_LIMIT = 79;

struct ArchivalTag {
    const char* name;
    const char* unknown;
};
// The seven tags every archived game carries, in their order.
constexpr std::array<ArchivalTag, 6> ARCHIVAL_TAGS{{
    {"Event", "?"},
    {"Site", "?"},
    {"Date", "????.??.??"},
    {"Round", "?"},
    {"White", "?"},
    {"Black", "?"},
}};
// Tags the writer states itself; the others are copied as they came.
constexpr std::array<std::string_view, 10> WRITTEN_TAGS{
    "Event", "Site", "Date", "Round", "White", "Black", "Result", "GameType", "SetUp", "FEN"};

void append_tag(std::string& out, std::string_view name, std::string_view value) {
    out += '[';
    out += name;
    out += " \"";
    for (const char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    out += "\"]\n";
}

// Words of the movetext, joined into lines under 80 characters.
class LineFiller {
  public:
    explicit LineFiller(std::string& out) : out_(out) {}
    void add(const std::string& word) {
        if (length_ > 0 && length_ + 1 + word.size() > LINE_LIMIT) {
            out_ += '\n';
            length_ = 0;
        }
        if (length_ > 0) {
            out_ += ' ';
            ++length_;
        }
        out_ += word;
        length_ += word.size();
    }
    void end_line() {
        if (length_ > 0) out_ += '\n';
        length_ = 0;
    }

  private:
    std::string& out_;
    std::size_t length_ = 0;
};

void append_moves(LineFiller& line, const PdnGame& game) {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    PlyRecord& position = stack->plies[0];
    set_record_position(position, game.start, game.start_side);
    int number = 1;
    bool first = true;
    for (const PdnMove& played : game.moves) {
        generate_moves(position.side, position);
        if (played.index < 0 || played.index >= position.move_count) return;
        MoveRecord& move = position.moves[played.index];
        if ((move.word & MOVE_WORD_MASK) != (played.move.word & MOVE_WORD_MASK)) return;
        const bool white = position.side == WHITE;
        std::string word;
        if (white) word = std::to_string(number) + ". ";
        if (!white && first) word = std::to_string(number) + "... ";
        word += pdn_move_text(position, played.index);
        line.add(word);
        first = false;
        if (!white) ++number;
        make_move(position, move);
        set_record_position(position, stack->plies[1].board, ~position.side);
    }
}

}  // namespace

const char* pdn_result_text(PdnResult result) {
    switch (result) {
        case PdnResult::WHITE_WINS: return "2-0";
        case PdnResult::BLACK_WINS: return "0-2";
        case PdnResult::DRAW: return "1-1";
        case PdnResult::DOUBLE_FORFEIT: return "0-0";
        default: return "*";
    }
}

bool parse_pdn_result(std::string_view text, PdnResult& result) {
    struct Form {
        std::string_view text;
        PdnResult result;
    };
    static constexpr Form FORMS[] = {
        {"2-0", PdnResult::WHITE_WINS},   {"0-2", PdnResult::BLACK_WINS},
        {"1-1", PdnResult::DRAW},         {"0-0", PdnResult::DOUBLE_FORFEIT},
        {"*", PdnResult::UNKNOWN},        {"1-0", PdnResult::WHITE_WINS},
        {"0-1", PdnResult::BLACK_WINS},   {"1/2-1/2", PdnResult::DRAW},
        {"\xC2\xBD-\xC2\xBD", PdnResult::DRAW},
    };
    for (const Form& form : FORMS) {
        if (text == form.text) {
            result = form.result;
            return true;
        }
    }
    return false;
}

const std::string* PdnGame::tag(std::string_view name) const {
    for (const PdnTag& t : tags) {
        if (t.name == name) return &t.value;
    }
    return nullptr;
}

void PdnGame::clear() {
    tags.clear();
    setup_initial_position(start);
    start_side = WHITE;
    set_up = false;
    moves.clear();
    result = PdnResult::UNKNOWN;
}

std::string pdn_error_line(const PdnError& error) {
    std::string line = "game " + std::to_string(error.game);
    if (error.move_number > 0) line += " move " + std::to_string(error.move_number);
    line += ": ";
    if (!error.text.empty()) line += error.text + ' ';
    return line + error.message;
}

void append_pdn(std::string& out, const PdnGame& game) {
    for (const ArchivalTag& archival : ARCHIVAL_TAGS) {
        const std::string* value = game.tag(archival.name);
        append_tag(out, archival.name, value != nullptr && !value->empty() ? *value : archival.unknown);
    }
    append_tag(out, "Result", pdn_result_text(game.result));
    append_tag(out, "GameType", "20");
    if (game.set_up) {
        append_tag(out, "SetUp", "1");
        append_tag(out, "FEN", to_fen(game.start, game.start_side));
    }
    for (const PdnTag& tag : game.tags) {
        if (std::find(WRITTEN_TAGS.begin(), WRITTEN_TAGS.end(), tag.name) == WRITTEN_TAGS.end()) {
            append_tag(out, tag.name, tag.value);
        }
    }
    out += '\n';
    LineFiller line(out);
    append_moves(line, game);
    line.add(pdn_result_text(game.result));
    line.end_line();
    out += '\n';
}

std::string write_pdn(const PdnGame& game) {
    std::string out;
    append_pdn(out, game);
    return out;
}
