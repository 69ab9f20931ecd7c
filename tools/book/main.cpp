// vantor-book SOURCE OUT: builds the opening book "book.dat" from its readable source,
// refusing any line that is not legal from the start position.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/board/board.h"
#include "tools/book/book_source.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "vantor-book: %s\n", message.c_str());
    return 1;
}

// A source that is no book at all: bad input rather than a failed build.
int refuse(const std::string& message) {
    fail(message);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor-book SOURCE OUT\n");
        return 2;
    }
    // A folder opens like a file and reads as nothing: refuse it before it makes an empty book.
    std::error_code ec;
    if (std::filesystem::exists(argv[1], ec) && !std::filesystem::is_regular_file(argv[1], ec)) {
        return refuse(std::string(argv[1]) + " is not a file");
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return fail(std::string("cannot read ") + argv[1]);
    std::ostringstream text;
    text << in.rdbuf();

    init_board_tables();
    std::vector<BookSourceLine> lines;
    std::string error;
    if (!parse_book_source(text.str(), lines, error)) return fail(std::string(argv[1]) + ": " + error);
    if (lines.empty()) return refuse(std::string(argv[1]) + " holds no opening line");
    for (BookSourceLine& line : lines) {
        if (!replay_book_line(line, error)) return fail(std::string(argv[1]) + ": " + error);
    }

    const std::vector<std::uint8_t> file = build_book_file(lines);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) return fail(std::string("cannot write ") + argv[2]);
    return 0;
}
