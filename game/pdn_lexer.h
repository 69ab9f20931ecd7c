#pragma once
// The words of a PDN text, one at a time, for the reader and the game index.
//
// Every token is found by a forward scan that never backs up more than a few bytes, so
// any text, however broken (a comment or tag never closed, a line of a megabyte, bytes
// that are no text at all), is read in one linear pass.

#include <cstddef>
#include <string_view>

#include "game/pdn.h"
#include "game/pdn_moves.h"

enum class PdnToken {
    END,
    TAG,           // [Name "value"]: name and raw value (escapes still in it)
    BAD_TAG,       // a '[' line that is no tag pair
    COMMENT,       // {...}, ';' or '%' to the end of the line, a stray ']' or '}'
    OPEN_COMMENT,  // '{' without its '}': runs to the end of the text
    OPEN_PAREN,    // a variation begins
    CLOSE_PAREN,
    MOVE_NUMBER,   // "12." or "12..." (black)
    ELLIPSIS,      // "..." standing for an unknown move
    MOVE,          // a word that reads as a move
    RESULT,        // 2-0, 0-2, 1-1, 0-0 and the chess-style ones
    STAR,          // '*' standing alone: the game ends, result unknown
    STRENGTH,      // !, ?, !?, (?), or '*' right after a move
    NAG,           // $n
    SETUP,         // /.../: a position set up inside the game
    JUNK,          // anything else
};

struct PdnLexeme {
    PdnToken kind = PdnToken::END;
    std::size_t begin = 0;  // byte offsets in the text
    std::size_t end = 0;
    std::string_view text;  // the token as written
    std::string_view name;  // TAG: the tag name
    std::string_view value;  // TAG: the value between the quotes, escapes included
    long number = 0;        // MOVE_NUMBER
    bool black = false;     // MOVE_NUMBER with three dots
    PdnResult result = PdnResult::UNKNOWN;  // RESULT
    WrittenMove move;                       // MOVE
};

class PdnLexer {
  public:
    explicit PdnLexer(std::string_view text);

    // The next token; it stays valid until the following call.
    const PdnLexeme& next();
    // Hands `lexeme` out again at the next call (one token of look-back).
    void unread(const PdnLexeme& lexeme) {
        unread_ = lexeme;
        has_unread_ = true;
    }
    std::string_view text() const { return text_; }

  private:
    PdnLexeme& make(PdnToken kind, std::size_t begin);
    const PdnLexeme& tag(std::size_t begin);
    const PdnLexeme& braced(std::size_t begin);
    const PdnLexeme& open_paren(std::size_t begin);
    const PdnLexeme& delimited(std::size_t begin, char delimiter);
    const PdnLexeme& word(std::size_t begin);
    std::size_t line_end(std::size_t from) const;

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t last_move_end_ = static_cast<std::size_t>(-1);
    PdnLexeme lexeme_;
    PdnLexeme unread_;
    bool has_unread_ = false;
};

// The tag value with its escapes (\" and \\) resolved, as UTF-8: a value that is not
// valid UTF-8 is taken as Latin-1.
std::string decode_tag_value(std::string_view raw);
