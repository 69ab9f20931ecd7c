#include "hub/hub_moves.h"

#include <vector>

namespace {

Bitboard opponents(const Board& board, Side side) {
    return side == WHITE ? board.black() : board.white();
}

// The squares of a text such as "28x19x23" or "32-28"; false when it is no such text.
bool read_squares(const std::string& text, std::vector<int>& squares) {
    std::size_t at = 0;
    while (at < text.size()) {
        int square = 0;
        std::size_t used = 0;
        while (at + used < text.size() && used < 3 && text[at + used] >= '0' &&
               text[at + used] <= '9') {
            square = square * 10 + (text[at + used] - '0');
            ++used;
        }
        if (used == 0 || square < 1 || square > 50) return false;
        squares.push_back(square);
        at += used;
        if (at < text.size() && text[at] != '-' && text[at] != 'x') return false;
        if (at < text.size() && ++at == text.size()) return false;  // a separator ends the text
    }
    return squares.size() >= 2;
}

}  // namespace

std::string hub_move_text(const PlyRecord& position, Side side, const MoveRecord& move) {
    const std::uint32_t word = move.word;
    std::string text = std::to_string(BIT_TO_SQUARE[move_from(word)]);
    const bool capture = is_capture_kind(move_kind(word));
    text += (capture ? 'x' : '-') + std::to_string(BIT_TO_SQUARE[move_to(word)]);
    if (!capture) return text;
    const Bitboard taken = opponents(position.board, side) & ~move.remaining;
    for (int square = 1; square <= 50; ++square) {
        if (taken & BIT_MASK[SQUARE_TO_BIT[square]]) text += 'x' + std::to_string(square);
    }
    return text;
}

const MoveRecord* find_hub_move(const PlyRecord& position, Side side, const std::string& text) {
    std::vector<int> squares;
    if (!read_squares(text, squares)) return nullptr;
    Bitboard taken = 0;
    for (std::size_t i = 2; i < squares.size(); ++i) taken |= BIT_MASK[SQUARE_TO_BIT[squares[i]]];
    for (int i = 0; i < position.move_count; ++i) {
        const MoveRecord& move = position.moves[i];
        if (BIT_TO_SQUARE[move_from(move.word)] != squares[0] ||
            BIT_TO_SQUARE[move_to(move.word)] != squares[1])
            continue;
        const Bitboard captured = is_capture_kind(move_kind(move.word))
                                      ? opponents(position.board, side) & ~move.remaining
                                      : 0;
        if (squares.size() == 2 || captured == taken) return &move;
    }
    return nullptr;
}
