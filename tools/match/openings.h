#pragma once
// The openings a match starts its games from: one line each, the moves from the start
// position in the usual notation ("32-28 19-23 28x19 14x23"; a capture may also name
// its captured squares, "28x19x23"), '#' to the end of a line a comment, blank lines
// ignored. Every move is checked against the legal moves of its position.

#include <string>
#include <string_view>
#include <vector>

struct Opening {
    int line = 0;  // in its file, from 1
    std::vector<std::string> moves;
};

// Replaces `openings` by those of the text; false and `error` ("FILE line 12: '32-27'
// is not legal here") on the first fault, or when the text holds no opening.
bool parse_openings(std::string_view text, const std::string& source,
                    std::vector<Opening>& openings, std::string& error);

// The openings of a file; the default set (built into the program from
// resources/openings/openings.txt) when `path` is empty.
bool load_openings(const std::string& path, std::vector<Opening>& openings, std::string& error);

std::string_view default_openings_text();
