#pragma once
// The readable source of the opening book and its translation into "book.dat".
//
// One opening line per text line: the colour the computer plays with it (W or B), the
// weight (0-65535; below 50 the program never uses the line), then the moves of both
// sides from the start position, "32-28 19-23 28x19 14x23 ...". "#" starts a comment.
// Every line is replayed with the program's own move generator, so a book built from
// the source holds legal moves only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BookSourceLine {
    int line_number = 0;  // in the source text, for messages
    int tag = 0;          // BOOK_WHITE_TAG or BOOK_BLACK_TAG
    int weight = 0;
    std::vector<std::string> moves;
    std::vector<std::uint8_t> codes;  // filled by replay_book_line
};

// Reads every opening line of `text`. On a malformed line returns false with `error`
// naming it ("line 12: ...").
bool parse_book_source(std::string_view text, std::vector<BookSourceLine>& lines, std::string& error);

// Plays the line from the start position and fills its codes. False, with `error`
// naming the line and the move, when a move is not legal there (or names two different
// captures that the book's code could not tell apart).
bool replay_book_line(BookSourceLine& line, std::string& error);

// The file: header and scrambled body of the replayed lines, in source order.
std::vector<std::uint8_t> build_book_file(const std::vector<BookSourceLine>& lines);
