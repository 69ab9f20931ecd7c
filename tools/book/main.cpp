// vantor-book SOURCE OUT: builds the opening book "book.dat" from its readable source,
// refusing any line that is not legal from the start position.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/board/board.h"
#include "tools/book/book_source.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "vantor-book: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor-book SOURCE OUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return fail(std::string("cannot read ") + argv[1]);
    std::ostringstream text;
    text << in.rdbuf();

    init_board_tables();
    std::vector<BookSourceLine> lines;
    std::string error;
    if (!parse_book_source(text.str(), lines, error)) return fail(std::string(argv[1]) + ": " + error);
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
