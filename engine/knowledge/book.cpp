#include "engine/knowledge/book.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

namespace {

// Far more than any book needs; a bigger "book.dat" is refused without reading it.
constexpr long MAX_BOOK_FILE = 16L << 20;
constexpr std::size_t RECORD_HEAD = 6;  // L, weight, colour tag, unused byte

struct BookLine {
    int weight = 0;
    bool active = false;
    std::size_t offset = 0;  // of the record in the body
    std::size_t end = 0;     // one past the record's last code byte
};

struct OpeningBook {
    std::vector<std::uint8_t> body;
    std::vector<BookLine> lines;
    std::size_t code_offset = 0;  // code bytes of the moves played since book_start
    std::mt19937 random;
};

OpeningBook book;

int read_u16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

std::int32_t read_i32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                                static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                                static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    bool ok = size >= 8 && size <= MAX_BOOK_FILE && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

// The index of the records that lie whole inside the body, at most `count` of them. The
// first record that runs past the body, or is too short to hold its own head (L = 0),
// ends the book there. A record without moves (L = 1) is passed over.
void build_index(std::int32_t count) {
    std::size_t offset = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (offset + 2 > book.body.size()) break;
        const auto length = static_cast<std::size_t>(read_u16(book.body, offset));
        const std::size_t end = offset + length + 5;
        if (length < 1 || end > book.body.size()) break;
        if (length > 1) book.lines.push_back({read_u16(book.body, offset + 2), false, offset, end});
        offset = end;
    }
}

bool is_square(int square) { return square >= 1 && square <= 50; }

void give_up(GameState& state) {
    for (BookLine& line : book.lines) line.active = false;
    state.use_book = 0;
}

}  // namespace

int book_load(const char* directory) {
    book_free();
    std::vector<std::uint8_t> bytes;
    if (!read_file(std::string(directory) + "/book.dat", bytes)) return 0;
    const std::int32_t body_size = read_i32(bytes, 0);
    const std::int32_t count = read_i32(bytes, 4);
    if (body_size < 0 || count < 0 || static_cast<std::size_t>(body_size) > bytes.size() - 8) return 0;
    book.body.assign(bytes.begin() + 8, bytes.begin() + 8 + body_size);
    book_descramble(book.body);
    build_index(count);
    if (book.lines.empty()) {
        book_free();
        return 0;
    }
    return 1;
}

void book_start(GameState& state) {
    book.code_offset = 0;
    book.random.seed(static_cast<std::mt19937::result_type>(std::time(nullptr)));
    // Only a game against the computer uses the book, with the lines for its colour.
    int tag = 0;
    if (state.white_is_computer == 1 && state.black_is_computer == 0) tag = BOOK_WHITE_TAG;
    if (state.white_is_computer == 0 && state.black_is_computer == 1) tag = BOOK_BLACK_TAG;
    bool any = false;
    for (BookLine& line : book.lines) {
        line.active = tag != 0 && book.body[line.offset + 4] == tag && line.weight >= BOOK_MIN_WEIGHT;
        any = any || line.active;
    }
    if (!any) state.use_book = 0;
}

void book_advance(GameState& state) {
    if (state.use_book == 0) return;
    const PlyRecord& root = root_record();
    const int index = state.move_to_play;
    if (index < 0 || index >= root.move_count) {
        give_up(state);
        return;
    }
    const std::uint32_t word = root.moves[index].word;
    std::uint8_t code[2];
    const int size = book_move_code(move_kind(word), BIT_TO_SQUARE[move_from(word)], BIT_TO_SQUARE[move_to(word)], code);
    bool any = false;
    for (BookLine& line : book.lines) {
        if (!line.active) continue;
        const std::size_t at = line.offset + RECORD_HEAD + book.code_offset;
        const bool fits = at + static_cast<std::size_t>(size) <= line.end;
        const bool same = fits && book.body[at] == code[0] && (size == 1 || (book.body[at + 1] & 63) == code[1]);
        // A line that ends with this move has nothing more to offer either.
        line.active = same && at + static_cast<std::size_t>(size) < line.end;
        any = any || line.active;
    }
    book.code_offset += static_cast<std::size_t>(size);
    if (!any) state.use_book = 0;
}

bool book_choose(GameState& state) { return book_choose(state, static_cast<int>(book.random() & 0x7FFF)); }

bool book_choose(GameState& state, int r) {
    const auto n = static_cast<int>(std::count_if(book.lines.begin(), book.lines.end(), [](const BookLine& l) { return l.active; }));
    if (n == 0) {
        give_up(state);
        return false;
    }
    // Every active line is equally likely; the weights only decide which lines take part.
    const int k = std::min(std::clamp(r, 0, 32767) * n / 32767 + 1, n);
    int seen = 0;
    const BookLine* chosen = nullptr;
    for (const BookLine& line : book.lines) {
        if (line.active && ++seen == k) chosen = &line;
    }
    const std::size_t at = chosen->offset + RECORD_HEAD + book.code_offset;
    if (at >= chosen->end) {
        give_up(state);
        return false;
    }
    const int first = book.body[at];
    const int from = first & 63;
    int to = 0;
    if (first >> 6 < 3) {
        // A man's step: down the numbers for White, up for Black. The side to move says
        // whose move it is; the book is only followed in games from the start position,
        // where that agrees with the parity of the game's length.
        const int step = 4 + (first >> 6);
        to = state.side == WHITE ? from - step : from + step;
    } else if (at + 1 < chosen->end) {
        to = book.body[at + 1] & 63;
    }
    const PlyRecord& root = root_record();
    int best = -1;
    if (is_square(from) && is_square(to)) {
        const std::uint32_t key = (static_cast<std::uint32_t>(SQUARE_TO_BIT[to]) << 6 | SQUARE_TO_BIT[from]) << 8;
        for (int i = 0; i < root.move_count; ++i) {
            if ((root.moves[i].word & 0xFFF00) == key) best = i;
        }
    }
    // A line that names no legal move is a broken book: leave it to the search.
    if (best < 0) {
        give_up(state);
        return false;
    }
    root_record().best = best;
    state.engine_move = best;
    return true;
}

void book_free() {
    book.body = {};
    book.lines = {};
    book.code_offset = 0;
}

int book_line_count() { return static_cast<int>(book.lines.size()); }

int book_move_code(std::uint32_t kind, int from, int to, std::uint8_t code[2]) {
    const int step = kind == WHITE_MAN_MOVE ? from - to : kind == BLACK_MAN_MOVE ? to - from : 0;
    if (step >= 4 && step <= 6) {
        code[0] = static_cast<std::uint8_t>(from + 64 * (step - 4));
        return 1;
    }
    code[0] = static_cast<std::uint8_t>(192 + from);
    code[1] = static_cast<std::uint8_t>(to);
    return 2;
}

void book_scramble(std::vector<std::uint8_t>& body) {
    std::uint8_t previous = BOOK_SEED;
    for (std::uint8_t& byte : body) {
        const std::uint8_t plain = byte;
        byte = static_cast<std::uint8_t>(plain ^ previous);
        previous = plain;
    }
}

void book_descramble(std::vector<std::uint8_t>& body) {
    std::uint8_t previous = BOOK_SEED;
    for (std::uint8_t& byte : body) {
        byte = static_cast<std::uint8_t>(byte ^ previous);
        previous = byte;
    }
}
