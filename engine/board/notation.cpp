#include "engine/board/notation.h"

std::string move_text(const MoveRecord& move) {
    const int from = BIT_TO_SQUARE[move_from(move.word)];
    const int to = BIT_TO_SQUARE[move_to(move.word)];
    const char separator = is_capture_kind(move_kind(move.word)) ? 'x' : '-';
    return std::to_string(from) + separator + std::to_string(to);
}

std::string move_text_with_captures(const PlyRecord& record, const MoveRecord& move) {
    std::string text = move_text(move);
    const std::uint32_t kind = move_kind(move.word);
    if (!is_capture_kind(kind)) return text;
    const Bitboard opponents = kind <= WHITE_KING_CAPTURE ? record.board.black() : record.board.white();
    const Bitboard captured = opponents & ~move.remaining;
    text += " (";
    bool first = true;
    for (int s = 1; s <= 50; ++s) {
        if (!(captured & BIT_MASK[SQUARE_TO_BIT[s]])) continue;
        if (!first) text += ',';
        first = false;
        text += std::to_string(s);
    }
    return text + ')';
}
