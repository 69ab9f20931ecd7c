#include "engine/board/fen.h"

#include <cctype>
#include <vector>

namespace {

bool parse_number(std::string_view text, int& value) {
    if (text.empty() || text.size() > 2) return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// Places one colour's list ("31-35,K46,48") on the board.
bool place_pieces(std::string_view list, bool white, Board& board, std::string& error) {
    if (list.empty()) return true;
    for (std::string_view item : split(list, ',')) {
        item = trim(item);
        const bool king = !item.empty() && (item.front() == 'K' || item.front() == 'k');
        if (king) item.remove_prefix(1);
        const std::size_t dash = item.find('-');
        int first = 0;
        int last = 0;
        const bool ok = dash == std::string_view::npos
                            ? parse_number(item, first) && parse_number(item, last)
                            : parse_number(item.substr(0, dash), first) &&
                                  parse_number(item.substr(dash + 1), last);
        if (!ok || first > last) {
            error = "malformed square list '" + std::string(list) + "'";
            return false;
        }
        for (int s = first; s <= last; ++s) {
            if (s < 1 || s > 50) {
                error = "square " + std::to_string(s) + " is outside 1-50";
                return false;
            }
            const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[s]];
            if (!(board.empty & bit)) {
                error = "square " + std::to_string(s) + " is given twice";
                return false;
            }
            if (!king && (white ? s <= 5 : s >= 46)) {
                error = std::string(white ? "white" : "black") + " man on its crowning row (square " +
                        std::to_string(s) + ")";
                return false;
            }
            board.empty &= ~bit;
            (white ? (king ? board.white_kings : board.white_men)
                   : (king ? board.black_kings : board.black_men)) |= bit;
        }
    }
    return true;
}

void append_list(std::string& out, Bitboard men, Bitboard kings) {
    bool first = true;
    for (int s = 1; s <= 50;) {
        const Bitboard bit = BIT_MASK[SQUARE_TO_BIT[s]];
        const bool king = kings & bit;
        if (!((men | kings) & bit)) {
            ++s;
            continue;
        }
        int end = s;
        const Bitboard same = king ? kings : men;
        while (end < 50 && (same & BIT_MASK[SQUARE_TO_BIT[end + 1]])) ++end;
        if (!first) out += ',';
        first = false;
        if (king) out += 'K';
        out += std::to_string(s);
        if (end > s) out += '-' + std::to_string(end);
        s = end + 1;
    }
}

}  // namespace

bool parse_fen(std::string_view text, Board& board, Side& side, std::string& error) {
    text = trim(text);
    if (!text.empty() && text.back() == '.') text.remove_suffix(1);  // PDN allows a final dot
    const std::vector<std::string_view> fields = split(text, ':');
    if (fields.empty() || trim(fields[0]).empty()) {
        error = "no side to move";
        return false;
    }
    const std::string_view side_field = trim(fields[0]);
    if (side_field != "W" && side_field != "B") {
        error = "side to move must be W or B, not '" + std::string(side_field) + "'";
        return false;
    }
    if (fields.size() > 3) {
        error = "too many fields";
        return false;
    }
    Board result;
    setup_empty_position(result);
    bool seen[2] = {false, false};
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string_view field = trim(fields[i]);
        if (field.empty() || (field.front() != 'W' && field.front() != 'B')) {
            error = "colour list must start with W or B: '" + std::string(field) + "'";
            return false;
        }
        const bool white = field.front() == 'W';
        if (seen[white]) {
            error = std::string("the ") + (white ? "white" : "black") + " list is given twice";
            return false;
        }
        seen[white] = true;
        if (!place_pieces(trim(field.substr(1)), white, result, error)) return false;
    }
    board = result;
    side = side_field == "W" ? WHITE : BLACK;
    return true;
}

std::string to_fen(const Board& board, Side side) {
    std::string out = side == WHITE ? "W:W" : "B:W";
    append_list(out, board.white_men, board.white_kings);
    out += ":B";
    append_list(out, board.black_men, board.black_kings);
    return out;
}
