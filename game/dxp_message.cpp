#include "game/dxp_message.h"

#include <algorithm>

namespace {

// ---- Building -------------------------------------------------------------------------

void put_number(std::string& text, int value, int width) {
    int limit = 1;
    for (int i = 0; i < width; ++i) limit *= 10;
    value = std::clamp(value, 0, limit - 1);
    std::string digits = std::to_string(value);
    text.append(static_cast<std::size_t>(width) - digits.size(), '0');
    text += digits;
}

char printable(char c) { return c >= ' ' && c <= '~' ? c : '?'; }

// A program name: no leading blanks (the field must not start with one), cut to 32
// places and padded with blanks.
void put_name(std::string& text, std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    std::string field;
    for (char c : name.substr(0, DXP_NAME_WIDTH)) field += printable(c);
    field.resize(DXP_NAME_WIDTH, ' ');
    text += field;
}

char colour_letter(Side side) { return side == WHITE ? 'W' : 'Z'; }

struct Builder {
    std::string operator()(const DxpGameRequest& m) const {
        std::string text = "R";
        put_number(text, m.version, 2);
        put_name(text, m.initiator);
        text += colour_letter(m.follower_colour);
        put_number(text, m.minutes, 3);
        put_number(text, m.moves, 3);
        if (!m.set_up) return text + 'A';
        text += 'B';
        text += colour_letter(m.side_to_move);
        return text + dxp_position(m.board);
    }
    std::string operator()(const DxpGameAccept& m) const {
        std::string text = "A";
        put_name(text, m.follower);
        put_number(text, m.code, 1);
        return text;
    }
    std::string operator()(const DxpMove& m) const {
        std::string text = "M";
        put_number(text, m.seconds, 4);
        put_number(text, m.from, 2);
        put_number(text, m.to, 2);
        // As many captured squares as the message has room for; a longer capture than
        // that cannot happen on a real board.
        const std::size_t room = (DXP_MAX_MESSAGE - 11) / 2;
        const std::size_t count = std::min(m.captured.size(), room);
        put_number(text, static_cast<int>(count), 2);
        for (std::size_t i = 0; i < count; ++i) put_number(text, m.captured[i], 2);
        return text;
    }
    std::string operator()(const DxpGameEnd& m) const {
        std::string text = "E";
        put_number(text, m.reason, 1);
        put_number(text, m.stop_code, 1);
        return text;
    }
    std::string operator()(const DxpChat& m) const {
        std::string text = "C";
        for (char c : std::string_view(m.text).substr(0, DXP_MAX_MESSAGE - 1)) text += printable(c);
        if (text.size() == 1) text += ' ';  // the text has at least one character
        return text;
    }
    std::string operator()(const DxpBackRequest& m) const {
        std::string text = "B";
        put_number(text, std::max(m.move_number, 1), 3);
        text += colour_letter(m.side_to_move);
        return text;
    }
    std::string operator()(const DxpBackAccept& m) const {
        std::string text = "K";
        put_number(text, m.code, 1);
        return text;
    }
};

// ---- Reading --------------------------------------------------------------------------

// Reads the fixed fields of a message from left to right; the first problem is kept.
class Reader {
public:
    Reader(std::string_view text, std::string& error) : text_(text), error_(error) {}

    bool ok() const { return ok_; }
    std::size_t left() const { return ok_ ? text_.size() - at_ : 0; }

    int number(int width, int low, int high, const char* field) {
        if (!take(width, field)) return 0;
        int value = 0;
        for (char c : text_.substr(at_ - static_cast<std::size_t>(width), static_cast<std::size_t>(width))) {
            if (c < '0' || c > '9') return problem(std::string(field) + " is not a number");
            value = 10 * value + (c - '0');
        }
        if (value < low || value > high) {
            return problem(std::string(field) + " " + std::to_string(value) + " is outside " + std::to_string(low) +
                           "-" + std::to_string(high));
        }
        return value;
    }
    Side colour(const char* field) {
        if (!take(1, field)) return WHITE;
        const char c = text_[at_ - 1];
        if (c != 'W' && c != 'Z') problem(std::string(field) + " is not W or Z");
        return c == 'Z' ? BLACK : WHITE;
    }
    char letter(const char* field) { return take(1, field) ? text_[at_ - 1] : '\0'; }
    std::string name() {
        if (!take(DXP_NAME_WIDTH, "the name")) return {};
        std::string name(text_.substr(at_ - DXP_NAME_WIDTH, DXP_NAME_WIDTH));
        name.erase(name.find_last_not_of(' ') + 1);
        return name;
    }
    std::string_view rest() {
        const std::string_view rest = text_.substr(std::min(at_, text_.size()));
        at_ = text_.size();
        return rest;
    }
    bool end() {
        if (ok_ && at_ != text_.size()) problem("the message is longer than its fields");
        return ok_;
    }
    int problem(const std::string& text) {
        if (ok_) error_ = text;
        ok_ = false;
        return 0;
    }

private:
    bool take(std::size_t width, const char* field) {
        if (!ok_) return false;
        if (text_.size() - at_ < width) return problem(std::string("the message ends before ") + field), false;
        at_ += width;
        return true;
    }

    std::string_view text_;
    std::string& error_;
    std::size_t at_ = 1;  // after the type letter
    bool ok_ = true;
};

bool read_position(std::string_view field, Board& board) {
    board = Board{};
    for (int square = 1; square <= 50; ++square) {
        Bitboard* set = nullptr;
        switch (field[static_cast<std::size_t>(square - 1)]) {
            case 'e': set = &board.empty; break;
            case 'w': set = &board.white_men; break;
            case 'W': set = &board.white_kings; break;
            case 'z': set = &board.black_men; break;
            case 'Z': set = &board.black_kings; break;
            default: return false;
        }
        *set |= BIT_MASK[SQUARE_TO_BIT[square]];
    }
    return true;
}

bool read_game_request(Reader& r, DxpMessage& out) {
    DxpGameRequest m;
    m.version = r.number(2, 0, 99, "the version");
    m.initiator = r.name();
    m.follower_colour = r.colour("the follower's colour");
    m.minutes = r.number(3, 0, 999, "the thinking time");
    m.moves = r.number(3, 0, 999, "the number of moves");
    const char start = r.letter("the starting position");
    if (r.ok() && start == 'B') {
        m.set_up = true;
        m.side_to_move = r.colour("the colour to move");
        if (r.left() < 50) return r.problem("the position has fewer than 50 squares"), false;
        if (!read_position(r.rest().substr(0, 50), m.board)) return r.problem("the position has a square not e, w, z, W or Z"), false;
        if (r.left() != 0) r.problem("the message is longer than its fields");
    } else if (r.ok() && start != 'A') {
        r.problem("the starting position is not A or B");
    }
    if (!r.end()) return false;
    out = m;
    return true;
}

bool read_move(Reader& r, DxpMessage& out) {
    DxpMove m;
    m.seconds = r.number(4, 0, 9999, "the time");
    m.from = r.number(2, 1, 50, "the from square");
    m.to = r.number(2, 1, 50, "the to square");
    const int count = r.number(2, 0, 58, "the number captured");
    if (r.ok() && r.left() != 2 * static_cast<std::size_t>(count)) {
        return r.problem("the captured squares do not match their number"), false;
    }
    for (int i = 0; i < count; ++i) m.captured.push_back(r.number(2, 1, 50, "a captured square"));
    if (!r.end()) return false;
    out = m;
    return true;
}

bool read_message(char type, Reader& r, DxpMessage& out) {
    switch (type) {
        case 'R': return read_game_request(r, out);
        case 'M': return read_move(r, out);
        case 'A': {
            DxpGameAccept m;
            m.follower = r.name();
            m.code = r.number(1, 0, 3, "the acceptance code");
            if (r.end()) out = m;
            return r.ok();
        }
        case 'E': {
            DxpGameEnd m;
            m.reason = r.number(1, 0, 3, "the reason");
            m.stop_code = r.number(1, 0, 1, "the stop code");
            if (r.end()) out = m;
            return r.ok();
        }
        case 'C': {
            if (r.left() == 0) return r.problem("the chat has no text"), false;
            out = DxpChat{std::string(r.rest())};
            return true;
        }
        case 'B': {
            DxpBackRequest m;
            m.move_number = r.number(3, 1, 999, "the move number");
            m.side_to_move = r.colour("the colour to move");
            if (r.end()) out = m;
            return r.ok();
        }
        case 'K': {
            DxpBackAccept m;
            m.code = r.number(1, 0, 2, "the acceptance code");
            if (r.end()) out = m;
            return r.ok();
        }
        default:
            return r.problem(std::string("unknown message type '") + type + "'"), false;
    }
}

}  // namespace

std::string dxp_build(const DxpMessage& message) { return std::visit(Builder{}, message); }

bool dxp_parse(std::string_view text, DxpMessage& out, std::string& error) {
    if (text.empty()) {
        error = "an empty message";
        return false;
    }
    if (text.size() > DXP_MAX_MESSAGE) {
        error = "a message of " + std::to_string(text.size()) + " characters (at most 127)";
        return false;
    }
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code == 0 || code > 127) {
            error = "a message with a character outside ASCII 1-127";
            return false;
        }
    }
    Reader reader(text, error);
    DxpMessage message;
    if (!read_message(text.front(), reader, message)) return false;
    out = std::move(message);
    return true;
}

std::string dxp_position(const Board& board) {
    std::string text;
    for (int square = 1; square <= 50; ++square) {
        switch (piece_on_square(square, board)) {
            case WHITE_MAN: text += 'w'; break;
            case WHITE_KING: text += 'W'; break;
            case BLACK_MAN: text += 'z'; break;
            case BLACK_KING: text += 'Z'; break;
            default: text += 'e'; break;
        }
    }
    return text;
}

std::string dxp_move_text(const DxpMove& move) {
    std::string text = std::to_string(move.from) + (move.captured.empty() ? '-' : 'x') + std::to_string(move.to);
    if (move.captured.empty()) return text;
    text += " (";
    for (std::size_t i = 0; i < move.captured.size(); ++i) {
        if (i > 0) text += ',';
        text += std::to_string(move.captured[i]);
    }
    return text + ")";
}
