#include "game/pdn_lexer.h"

#include <string>

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_char(char c) {
    return is_digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
// Characters that end a word (a move, a number, a result) and start a token of their own.
bool ends_word(char c) {
    switch (c) {
        case '{': case '}': case '(': case ')': case '[': case ']': case ';': case '$':
        case '!': case '?': case '*': case '"': case '%':
            return true;
        default:
            return is_space(c);
    }
}

// Length of the valid UTF-8 sequence at `at`, or 0.
std::size_t utf8_length(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    else return 0;
    if (at + length > s.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool valid_utf8(std::string_view s) {
    for (std::size_t at = 0; at < s.size();) {
        const std::size_t length = utf8_length(s, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace

std::string decode_tag_value(std::string_view raw) {
    std::string value;
    value.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) ++i;
        value += raw[i];
    }
    if (valid_utf8(value)) return value;
    // Older files write names in Latin-1, whose bytes are the first 256 code points.
    std::string utf8;
    utf8.reserve(value.size() + value.size() / 4);
    for (const char c : value) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

PdnLexer::PdnLexer(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
}

std::size_t PdnLexer::line_end(std::size_t from) const {
    const std::size_t newline = text_.find('\n', from);
    return newline == std::string_view::npos ? text_.size() : newline;
}

// Every token is built in the same record: a game file has millions of them.
PdnLexeme& PdnLexer::make(PdnToken kind, std::size_t begin) {
    PdnLexeme& lexeme = lexeme_;
    lexeme.kind = kind;
    lexeme.begin = begin;
    lexeme.end = at_;
    lexeme.text = text_.substr(begin, at_ - begin);
    lexeme.name = {};
    lexeme.value = {};
    lexeme.number = 0;
    lexeme.black = false;
    lexeme.result = PdnResult::UNKNOWN;
    return lexeme;
}

const PdnLexeme& PdnLexer::next() {
    if (has_unread_) {
        has_unread_ = false;
        return unread_;
    }
    while (at_ < text_.size() && is_space(text_[at_])) ++at_;
    const std::size_t begin = at_;
    if (at_ == text_.size()) return make(PdnToken::END, begin);
    const char c = text_[at_];
    switch (c) {
        case '[':
            return tag(begin);
        case '{':
            return braced(begin);
        case ';':
        case '%':
            at_ = line_end(at_);
            return make(PdnToken::COMMENT, begin);
        case ']':
        case '}':
            ++at_;
            return make(PdnToken::COMMENT, begin);
        case '(':
            return open_paren(begin);
        case ')':
            ++at_;
            return make(PdnToken::CLOSE_PAREN, begin);
        case '!':
        case '?':
            while (at_ < text_.size() && (text_[at_] == '!' || text_[at_] == '?')) ++at_;
            return make(PdnToken::STRENGTH, begin);
        case '*':
            ++at_;
            // Glued to its move, '*' marks a forced move; standing alone it ends the game.
            return make(begin == last_move_end_ ? PdnToken::STRENGTH : PdnToken::STAR, begin);
        case '$':
            ++at_;
            while (at_ < text_.size() && is_digit(text_[at_])) ++at_;
            return make(at_ > begin + 1 ? PdnToken::NAG : PdnToken::JUNK, begin);
        case '/':
        case '"':
            return delimited(begin, c);
        default:
            return word(begin);
    }
}

const PdnLexeme& PdnLexer::braced(std::size_t begin) {
    const std::size_t close = text_.find('}', at_ + 1);
    if (close == std::string_view::npos) {
        at_ = text_.size();
        return make(PdnToken::OPEN_COMMENT, begin);
    }
    at_ = close + 1;
    return make(PdnToken::COMMENT, begin);
}

const PdnLexeme& PdnLexer::open_paren(std::size_t begin) {
    // "(?)" and "(!?)" are strength marks, not variations.
    std::size_t mark = at_ + 1;
    while (mark < text_.size() && (text_[mark] == '!' || text_[mark] == '?')) ++mark;
    if (mark > at_ + 1 && mark < text_.size() && text_[mark] == ')') {
        at_ = mark + 1;
        return make(PdnToken::STRENGTH, begin);
    }
    ++at_;
    return make(PdnToken::OPEN_PAREN, begin);
}

// "/FEN .../" sets a position up inside a game; a quoted string outside a tag is junk.
// Neither runs past the end of its line.
const PdnLexeme& PdnLexer::delimited(std::size_t begin, char delimiter) {
    const std::size_t end = line_end(at_);
    const std::size_t close = text_.find(delimiter, at_ + 1);
    const bool closed = close != std::string_view::npos && close < end;
    at_ = closed ? close + 1 : end;
    return make(closed && delimiter == '/' ? PdnToken::SETUP : PdnToken::JUNK, begin);
}

const PdnLexeme& PdnLexer::tag(std::size_t begin) {
    // [Name "value"] on one line; anything else is refused up to the end of the line.
    const std::size_t end = line_end(at_);
    const auto skip_blanks = [&](std::size_t i) {
        while (i < end && (text_[i] == ' ' || text_[i] == '\t' || text_[i] == '\r')) ++i;
        return i;
    };
    std::size_t i = skip_blanks(at_ + 1);
    const std::size_t name_begin = i;
    while (i < end && is_name_char(text_[i])) ++i;
    const std::size_t name_end = i;
    i = skip_blanks(i);
    bool ok = name_end > name_begin && i < end && text_[i] == '"';
    std::size_t value_begin = i + 1;
    std::size_t value_end = value_begin;
    if (ok) {
        for (i = value_begin; i < end && text_[i] != '"'; ++i) {
            if (text_[i] == '\\' && i + 1 < end) ++i;
        }
        value_end = i;
        ok = i < end;
        if (ok) i = skip_blanks(i + 1);
        ok = ok && i < end && text_[i] == ']';
    }
    if (!ok) {
        at_ = end;
        return make(PdnToken::BAD_TAG, begin);
    }
    at_ = i + 1;
    PdnLexeme& lexeme = make(PdnToken::TAG, begin);
    lexeme.name = text_.substr(name_begin, name_end - name_begin);
    lexeme.value = text_.substr(value_begin, value_end - value_begin);
    return lexeme;
}

const PdnLexeme& PdnLexer::word(std::size_t begin) {
    std::size_t end = at_;
    while (end < text_.size() && !ends_word(text_[end])) ++end;
    const std::string_view w = text_.substr(begin, end - begin);

    // A move number may stand glued to its move ("12.32-28"): it is a token of its own.
    std::size_t digits = 0;
    while (digits < w.size() && is_digit(w[digits])) ++digits;
    std::size_t dots = digits;
    while (dots < w.size() && w[dots] == '.') ++dots;

    if (PdnResult result; parse_pdn_result(w, result)) {
        at_ = end;
        make(PdnToken::RESULT, begin).result = result;
    } else if (digits == 0 && dots == w.size()) {
        at_ = end;
        make(PdnToken::ELLIPSIS, begin);
    } else if (digits > 0 && dots > digits) {
        at_ = begin + dots;
        PdnLexeme& lexeme = make(PdnToken::MOVE_NUMBER, begin);
        for (std::size_t i = 0; i < digits && lexeme.number < 1000000; ++i) {
            lexeme.number = lexeme.number * 10 + (w[i] - '0');
        }
        lexeme.black = dots - digits >= 2;
    } else {
        at_ = end;
        const bool is_move = parse_written_move(w, lexeme_.move);
        make(is_move ? PdnToken::MOVE : PdnToken::JUNK, begin);
        if (is_move) last_move_end_ = end;
    }
    return lexeme_;
}
