#include "game/move_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

void append_two_digits(std::string& text, int value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

// The two digits at `at`, or false when the text ends first or they are not digits.
bool read_two_digits(std::string_view text, std::size_t at, int& value) {
    if (at + 2 > text.size()) return false;
    const char high = text[at];
    const char low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return false;
    value = 10 * (high - '0') + (low - '0');
    return true;
}

bool read_square(std::string_view text, std::size_t at, int& square) {
    return read_two_digits(text, at, square) && square >= 1 && square <= 50;
}

Bitboard opponents_of(const Board& board, bool white_moves) {
    return white_moves ? board.black() : board.white();
}

}  // namespace

void encode_move_message(int index, MoveMessage& buffer) {
    buffer[0] = '\0';
    const PlyRecord& root = root_record();
    if (index < 0 || index >= root.move_count) return;
    const MoveRecord& move = root.moves[index];

    std::string text;
    append_two_digits(text, BIT_TO_SQUARE[move_from(move.word)]);
    append_two_digits(text, BIT_TO_SQUARE[move_to(move.word)]);
    append_two_digits(text, root.max_captured);
    if (root.max_captured != 0) {
        const bool white_moves = move_kind(move.word) <= WHITE_KING_CAPTURE;
        Bitboard captured = opponents_of(root.board, white_moves) ^ move.remaining;
        for (; captured != 0; captured &= captured - 1) {
            append_two_digits(text, BIT_TO_SQUARE[lowest_bit(captured)]);
        }
    }
    // Only a set-up position with more than 28 pieces in one capture could pass the
    // buffer; the message is then cut short (and the other side refuses it).
    const std::size_t length = std::min(text.size(), MOVE_MESSAGE_MAX);
    std::memcpy(buffer.data(), text.data(), length);
    buffer[length] = '\0';
}

int parse_move_message(GameState& state, std::string_view text) {
    if (text.size() > MOVE_MESSAGE_MAX) return 0;
    if (!text.empty() && text.front() == 'S') text.remove_prefix(1);
    int from = 0;
    int to = 0;
    int count = 0;
    if (!read_square(text, 0, from) || !read_square(text, 2, to) || !read_two_digits(text, 4, count)) {
        return 0;
    }
    if (count != state.capture_count) return 0;
    if (text.size() != 6 + 2 * static_cast<std::size_t>(count)) return 0;

    // A man's square gives kind 1/2 (White) or 5/6 (Black), a king's 3/4 or 7/8: the
    // quiet or the capturing kind of whatever stands on the from square.
    const Board board = state.board;
    const int piece = piece_on_square(from, board);
    const auto kind = static_cast<std::uint32_t>(2 * piece - (count == 0 ? 1 : 0));
    MoveRecord key;
    key.word = move_word(kind, SQUARE_TO_BIT[from], SQUARE_TO_BIT[to]);
    if (count > 0) {
        Bitboard remaining = opponents_of(board, state.side == WHITE);
        for (int i = 0; i < count; ++i) {
            int square = 0;
            if (!read_square(text, 6 + 2 * static_cast<std::size_t>(i), square)) return 0;
            remaining ^= BIT_MASK[SQUARE_TO_BIT[square]];
        }
        key.remaining = remaining;
    }
    int index = 0;
    if (!find_legal_move(index, key)) return 0;
    state.move_to_play = index;
    return 1;
}

int parse_move_message(GameState& state, const MoveMessage& text) {
    // A buffer without its NUL reads as 64 characters and is refused as too long.
    return parse_move_message(state, std::string_view(text.data(), strnlen(text.data(), text.size())));
}

std::string format_move(int index) {
    const PlyRecord& root = root_record();
    if (index < 0 || index >= root.move_count) return {};
    const std::uint32_t word = root.moves[index].word;
    const char separator = root.max_captured != 0 ? 'x' : '-';
    return std::to_string(BIT_TO_SQUARE[move_from(word)]) + separator +
           std::to_string(BIT_TO_SQUARE[move_to(word)]);
}

int captured_squares(int entry_index, CapturedSquares& out) {
    if (entry_index < 0 || entry_index >= game_length()) return 0;
    const GameEntry& entry = game_entry(entry_index);
    const PlyRecord& root = root_record();
    if (entry.move_index < 0 || entry.move_index >= root.move_count) return 0;
    const MoveRecord& move = root.moves[entry.move_index];
    Bitboard captured = opponents_of(root.board, entry.side == WHITE) ^ move.remaining;
    if (root.max_captured == 0) captured = 0;
    int count = 0;
    for (; captured != 0 && count < static_cast<int>(out.size()); captured &= captured - 1) {
        out[count++] = BIT_TO_SQUARE[lowest_bit(captured)];
    }
    return count;
}

std::string entry_text(const GameEntry& entry) {
    char text[16];
    const char separator = (entry.move_type & 1) != 0 ? '-' : 'x';
    std::snprintf(text, sizeof text, "%2d%c%2d", entry.from, separator, entry.to);
    return text;
}

std::string format_move_word(std::uint32_t word) {
    const int from = BIT_TO_SQUARE[move_from(word)];
    const int to = BIT_TO_SQUARE[move_to(word)];
    if (from == 0 || to == 0) return {};
    return std::to_string(from) + (is_capture_kind(move_kind(word)) ? 'x' : '-') + std::to_string(to);
}
