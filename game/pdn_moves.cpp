#include "game/pdn_moves.h"

#include <bit>

namespace {

constexpr int MAX_JUMPS = 32;

// One way a capture goes: after each jump, the square the piece stands on, the
// direction it jumped in and the bit of the piece it jumped.
struct CapturePath {
    int jumps = 0;
    int landing[MAX_JUMPS] = {};
    int direction[MAX_JUMPS] = {};
    int taken[MAX_JUMPS] = {};
};

// Every path by which the piece on a square takes exactly `targets` and ends on `to`.
// Taken pieces stay on the board until the capture ends: they block the way and cannot
// be jumped twice. A king flies to any empty square behind the piece it takes; a man
// lands right behind it. The depth is bounded by the number of targets.
template <class Visit>
class PathSearch {
  public:
    PathSearch(Bitboard empty, bool king, int to, Visit& visit)
        : empty_(empty), king_(king), to_(to), visit_(visit) {}

    // True as soon as `visit` says so.
    bool follow(int at, Bitboard left) {
        if (left == 0) return at == to_ && visit_(static_cast<const CapturePath&>(path_));
        if (path_.jumps == MAX_JUMPS) return false;
        for (int d : DIRECTIONS) {
            int piece = at + d;
            if (king_) {
                while (empty_ & BIT_MASK[piece]) piece += d;
            }
            if (!(left & BIT_MASK[piece])) continue;
            for (int land = piece + d; empty_ & BIT_MASK[land]; land += d) {
                const int j = path_.jumps++;
                path_.landing[j] = land;
                path_.direction[j] = d;
                path_.taken[j] = piece;
                const bool done = follow(land, left ^ BIT_MASK[piece]);
                --path_.jumps;
                if (done) return true;
                if (!king_) break;
            }
        }
        return false;
    }

  private:
    Bitboard empty_;
    bool king_;
    int to_;
    Visit& visit_;
    CapturePath path_;
};

template <class Visit>
bool search_paths(const PlyRecord& position, const MoveRecord& move, Visit visit) {
    const std::uint32_t kind = move_kind(move.word);
    const bool king = kind == WHITE_KING_CAPTURE || kind == BLACK_KING_CAPTURE;
    const int from = move_from(move.word);
    PathSearch<Visit> search(position.board.empty | BIT_MASK[from], king, move_to(move.word), visit);
    return search.follow(from, captured_pieces(position, move));
}

// Whether the written landing squares (between from and to) lie on a path of the move,
// in their order.
bool path_fits(const PlyRecord& position, const MoveRecord& move, const WrittenMove& written) {
    return search_paths(position, move, [&written](const CapturePath& path) {
        int w = 1;
        for (int j = 0; j + 1 < path.jumps && w + 1 < written.count; ++j) {
            if (BIT_TO_SQUARE[path.landing[j]] == written.squares[w]) ++w;
        }
        return w + 1 == written.count;
    });
}

bool is_square(int square) { return square >= 1 && square <= 50; }

std::string join(const int* squares, int count) {
    std::string text = std::to_string(squares[0]);
    for (int i = 1; i < count; ++i) text += 'x' + std::to_string(squares[i]);
    return text;
}

// The written text resolves to a move that takes `taken`.
bool names_move(const PlyRecord& position, const std::string& text, Bitboard taken) {
    WrittenMove written;
    int index = 0;
    return parse_written_move(text, written) &&
           match_written_move(position, written, index) == MoveMatch::FOUND &&
           captured_pieces(position, position.moves[index]) == taken;
}

// The long form of a capture: the turning squares, or where the piece goes on straight the
// square right behind the piece it took; failing that (a text another path fits as well),
// every landing square.
std::string long_capture_text(const PlyRecord& position, const MoveRecord& move) {
    CapturePath found;
    const bool any = search_paths(position, move, [&found](const CapturePath& path) {
        found = path;
        return true;
    });
    const int from = BIT_TO_SQUARE[move_from(move.word)];
    const int to = BIT_TO_SQUARE[move_to(move.word)];
    if (!any) return std::to_string(from) + 'x' + std::to_string(to);
    int turns[MAX_JUMPS + 1] = {from};
    int every[MAX_JUMPS + 1] = {from};
    for (int j = 0; j < found.jumps; ++j) {
        const bool last = j + 1 == found.jumps;
        const bool straight = !last && found.direction[j + 1] == found.direction[j];
        turns[j + 1] = BIT_TO_SQUARE[straight ? found.taken[j] + found.direction[j] : found.landing[j]];
        every[j + 1] = BIT_TO_SQUARE[found.landing[j]];
    }
    const std::string text = join(turns, found.jumps + 1);
    if (names_move(position, text, captured_pieces(position, move))) return text;
    return join(every, found.jumps + 1);
}

}  // namespace

Bitboard captured_pieces(const PlyRecord& position, const MoveRecord& move) {
    const std::uint32_t kind = move_kind(move.word);
    if (!is_capture_kind(kind)) return 0;
    const Bitboard opponents = kind <= WHITE_KING_CAPTURE ? position.board.black() : position.board.white();
    return opponents & ~move.remaining;
}

bool parse_written_move(std::string_view text, WrittenMove& move) {
    move.count = 0;
    move.capture_separator = false;
    if (text.size() == 4 && text.find_first_not_of("0123456789") == std::string_view::npos) {
        const int from = (text[0] - '0') * 10 + (text[1] - '0');
        const int to = (text[2] - '0') * 10 + (text[3] - '0');
        if (!is_square(from) || !is_square(to)) return false;
        move.squares[0] = static_cast<std::uint8_t>(from);
        move.squares[1] = static_cast<std::uint8_t>(to);
        move.count = 2;
        return true;
    }
    std::size_t at = 0;
    for (;;) {
        int square = 0;
        int digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            square = square * 10 + (text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 2 || !is_square(square) || move.count == WrittenMove::MAX_SQUARES) {
            return false;
        }
        move.squares[move.count++] = static_cast<std::uint8_t>(square);
        if (at == text.size()) return move.count >= 2;
        const char separator = text[at++];
        if (separator == 'x' || separator == 'X' || separator == ':') {
            move.capture_separator = true;
        } else if (separator != '-') {
            return false;
        }
    }
}

MoveMatch match_written_move(const PlyRecord& position, const WrittenMove& written, int& index) {
    if (written.count < 2) return MoveMatch::NOT_LEGAL;
    const int from = SQUARE_TO_BIT[written.squares[0]];
    const int to = SQUARE_TO_BIT[written.squares[written.count - 1]];
    int first = -1;
    Bitboard first_taken = 0;
    bool several = false;
    for (int i = 0; i < position.move_count; ++i) {
        const MoveRecord& move = position.moves[i];
        if (move_from(move.word) != from || move_to(move.word) != to) continue;
        if (written.count > 2 && (position.max_captured == 0 || !path_fits(position, move, written))) continue;
        const Bitboard taken = captured_pieces(position, move);
        if (first < 0) {
            first = i;
            first_taken = taken;
        } else if (taken != first_taken) {
            several = true;
        }
    }
    if (first < 0) return MoveMatch::NOT_LEGAL;
    if (several) return MoveMatch::AMBIGUOUS;
    index = first;
    return MoveMatch::FOUND;
}

std::string pdn_move_text(const PlyRecord& position, int index) {
    if (index < 0 || index >= position.move_count) return {};
    const MoveRecord& move = position.moves[index];
    const std::string from = std::to_string(BIT_TO_SQUARE[move_from(move.word)]);
    const std::string to = std::to_string(BIT_TO_SQUARE[move_to(move.word)]);
    if (!is_capture_kind(move_kind(move.word))) return from + '-' + to;
    const Bitboard taken = captured_pieces(position, move);
    for (int i = 0; i < position.move_count; ++i) {
        const MoveRecord& other = position.moves[i];
        const bool same_squares = move_key(other.word) == move_key(move.word);
        if (same_squares && captured_pieces(position, other) != taken) {
            return long_capture_text(position, move);
        }
    }
    return from + 'x' + to;
}
