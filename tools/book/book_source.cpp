#include "tools/book/book_source.h"

#include <charconv>
#include <memory>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/book.h"

namespace {

std::vector<std::string_view> split_words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r')) ++at;
        const std::size_t start = at;
        while (at < text.size() && text[at] != ' ' && text[at] != '\t' && text[at] != '\r') ++at;
        if (at > start) words.push_back(text.substr(start, at - start));
    }
    return words;
}

bool read_number(std::string_view text, int min, int max, int& value) {
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && last == end && value >= min && value <= max;
}

// "32-28" or "28x19": the squares and whether it is written as a capture.
bool read_move(std::string_view text, int& from, int& to, bool& capture) {
    const std::size_t separator = text.find_first_of("-x");
    if (separator == std::string_view::npos) return false;
    capture = text[separator] == 'x';
    return read_number(text.substr(0, separator), 1, 50, from) && read_number(text.substr(separator + 1), 1, 50, to);
}

std::string where(const BookSourceLine& line) { return "line " + std::to_string(line.line_number) + ": "; }

void append_u16(std::vector<std::uint8_t>& bytes, std::size_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

void append_i32(std::vector<std::uint8_t>& bytes, std::size_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i) & 0xFF));
}

}  // namespace

bool parse_book_source(std::string_view text, std::vector<BookSourceLine>& lines, std::string& error) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view row = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++number;
        row = row.substr(0, row.find('#'));
        const std::vector<std::string_view> words = split_words(row);
        if (words.empty()) continue;

        BookSourceLine line;
        line.line_number = number;
        if (words[0] != "W" && words[0] != "B") {
            error = where(line) + "colour must be W or B, not '" + std::string(words[0]) + "'";
            return false;
        }
        line.tag = words[0] == "W" ? BOOK_WHITE_TAG : BOOK_BLACK_TAG;
        if (words.size() < 3 || !read_number(words[1], 0, 65535, line.weight)) {
            error = where(line) + "expected a weight 0-65535 and at least one move";
            return false;
        }
        for (std::size_t i = 2; i < words.size(); ++i) line.moves.emplace_back(words[i]);
        lines.push_back(std::move(line));
    }
    return true;
}

bool replay_book_line(BookSourceLine& line, std::string& error) {
    auto stack = std::make_unique<PlyStack>();
    stack->reset();
    PlyRecord& root = stack->root();
    Board board;
    setup_initial_position(board);
    Side side = WHITE;
    line.codes.clear();
    for (std::size_t i = 0; i < line.moves.size(); ++i) {
        const std::string& text = line.moves[i];
        const std::string move_name = "move " + std::to_string(i + 1) + " '" + text + "'";
        int from = 0;
        int to = 0;
        bool capture = false;
        if (!read_move(text, from, to, capture)) {
            error = where(line) + move_name + " is not a move like 32-28 or 28x19";
            return false;
        }
        set_record_position(root, board, side);
        generate_moves(side, root);
        int found = -1;
        for (int m = 0; m < root.move_count; ++m) {
            const MoveRecord& move = root.moves[m];
            if (BIT_TO_SQUARE[move_from(move.word)] != from || BIT_TO_SQUARE[move_to(move.word)] != to) continue;
            if (is_capture_kind(move_kind(move.word)) != capture) continue;
            // The book codes only from and to: captures between the same squares must
            // take the same pieces, or the line would not say which one it means.
            if (found >= 0 && root.moves[found].remaining != move.remaining) {
                error = where(line) + move_name + " could be more than one capture";
                return false;
            }
            found = m;
        }
        if (found < 0) {
            error = where(line) + move_name + " is not legal";
            return false;
        }
        std::uint8_t code[2];
        const int size = book_move_code(move_kind(root.moves[found].word), from, to, code);
        line.codes.insert(line.codes.end(), code, code + size);
        make_move(root, root.moves[found]);
        board = stack->plies[1].board;
        side = ~side;
    }
    if (line.codes.size() + 1 > 65535) {
        error = where(line) + "too many moves";
        return false;
    }
    return true;
}

std::vector<std::uint8_t> build_book_file(const std::vector<BookSourceLine>& lines) {
    std::vector<std::uint8_t> body;
    for (const BookSourceLine& line : lines) {
        append_u16(body, line.codes.size() + 1);
        append_u16(body, static_cast<std::size_t>(line.weight));
        body.push_back(static_cast<std::uint8_t>(line.tag));
        body.push_back(0);
        body.insert(body.end(), line.codes.begin(), line.codes.end());
    }
    book_scramble(body);
    std::vector<std::uint8_t> file;
    append_i32(file, body.size());
    append_i32(file, lines.size());
    file.insert(file.end(), body.begin(), body.end());
    return file;
}
