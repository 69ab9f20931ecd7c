#include "reference_movegen.h"

#include <algorithm>
#include <cstddef>

namespace reference {
namespace {

// Diagonal steps as (row, column) offsets; row 0 is at Black's side.
struct Direction {
    int rows;
    int columns;
};
constexpr std::array<Direction, 4> kDirections = {{{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}};

int row_of(int square) {
    return (square - 1) / 5;
}

int column_of(int square) {
    const int offset = 2 * ((square - 1) % 5);
    return row_of(square) % 2 == 0 ? offset + 1 : offset;
}

// 0 when (row, column) is off the board or not a playing square.
int square_at(int row, int column) {
    if (row < 0 || row > 9 || column < 0 || column > 9) return 0;
    if ((row + column) % 2 == 0) return 0;
    return row * 5 + column / 2 + 1;
}

int step(int square, Direction d) {
    return square_at(row_of(square) + d.rows, column_of(square) + d.columns);
}

bool is_white(Piece p) {
    return p == Piece::WhiteMan || p == Piece::WhiteKing;
}
bool is_black(Piece p) {
    return p == Piece::BlackMan || p == Piece::BlackKing;
}
bool is_king(Piece p) {
    return p == Piece::WhiteKing || p == Piece::BlackKing;
}

bool is_own(Piece p, bool white) {
    return white ? is_white(p) : is_black(p);
}
bool is_enemy(Piece p, bool white) {
    return white ? is_black(p) : is_white(p);
}

// State of the depth-first search for the captures of one piece.
struct CaptureSearch {
    // The mover is lifted off its square, which therefore counts as empty.
    std::array<Piece, 51> board{};
    // Jumped pieces stay on the board until the capture is over.
    std::array<bool, 51> taken{};
    bool white = true;
    int from = 0;
    std::vector<int> captures;  // in the order they were taken
    std::vector<Move>* out = nullptr;

    bool can_be_taken(int square) const { return is_enemy(board[square], white) && !taken[square]; }

    void record(int to) const {
        Move move{from, to, captures};
        std::sort(move.captured.begin(), move.captured.end());
        out->push_back(move);
    }
};

void man_captures(CaptureSearch& search, int at) {
    bool took_more = false;
    for (const Direction d : kDirections) {
        const int over = step(at, d);
        if (over == 0) continue;
        const int landing = step(over, d);
        if (landing == 0) continue;
        if (!search.can_be_taken(over) || search.board[landing] != Piece::None) continue;

        took_more = true;
        search.taken[over] = true;
        search.captures.push_back(over);
        man_captures(search, landing);
        search.captures.pop_back();
        search.taken[over] = false;
    }
    if (!took_more && !search.captures.empty()) search.record(at);
}

void king_continues(CaptureSearch& search, Direction d, const std::vector<int>& landings);

// Looks along d from the king's square for one enemy piece with empty squares behind it;
// if there is one, takes it and searches on. Returns whether a piece was taken.
bool king_jump(CaptureSearch& search, int at, Direction d) {
    int square = step(at, d);
    while (square != 0 && search.board[square] == Piece::None) square = step(square, d);
    if (square == 0 || !search.can_be_taken(square)) return false;

    std::vector<int> landings;
    for (int s = step(square, d); s != 0 && search.board[s] == Piece::None; s = step(s, d))
        landings.push_back(s);
    if (landings.empty()) return false;

    search.taken[square] = true;
    search.captures.push_back(square);
    king_continues(search, d, landings);
    search.captures.pop_back();
    search.taken[square] = false;
    return true;
}

// The king has just taken a piece moving along d and may stop on any of the landings.
void king_continues(CaptureSearch& search, Direction d, const std::vector<int>& landings) {
    // Taking the next piece further down the same diagonal is a single path, wherever
    // between the two pieces one imagines the king stopping, so it is searched once.
    const bool straight_on = king_jump(search, landings.back(), d);

    // Turning is possible onto the two perpendicular diagonals only; going back is
    // blocked by the piece just taken. Each square the king turns on is its own path.
    const Direction left{d.rows, -d.columns};
    const Direction right{-d.rows, d.columns};
    for (const int landing : landings) {
        const bool turned_left = king_jump(search, landing, left);
        const bool turned_right = king_jump(search, landing, right);
        if (!straight_on && !turned_left && !turned_right) search.record(landing);
    }
}

void add_captures(const Position& position, int from, std::vector<Move>& out) {
    CaptureSearch search;
    search.board = position.squares;
    search.board[from] = Piece::None;
    search.white = position.white_to_move;
    search.from = from;
    search.out = &out;

    if (is_king(position.squares[from])) {
        for (const Direction d : kDirections) king_jump(search, from, d);
    } else {
        man_captures(search, from);
    }
}

void add_quiet_moves(const Position& position, int from, std::vector<Move>& out) {
    const Piece piece = position.squares[from];
    if (is_king(piece)) {
        for (const Direction d : kDirections) {
            for (int to = step(from, d); to != 0 && position.squares[to] == Piece::None;
                 to = step(to, d)) {
                out.push_back(Move{from, to, {}});
            }
        }
        return;
    }
    const int forward = is_white(piece) ? -1 : 1;
    for (const int columns : {-1, 1}) {
        const int to = step(from, Direction{forward, columns});
        if (to != 0 && position.squares[to] == Piece::None) out.push_back(Move{from, to, {}});
    }
}

}  // namespace

std::vector<Move> legal_moves(const Position& position) {
    const bool white = position.white_to_move;

    std::vector<Move> captures;
    for (int from = 1; from <= 50; ++from) {
        if (is_own(position.squares[from], white)) add_captures(position, from, captures);
    }
    if (!captures.empty()) {
        // Majority rule: only the sequences taking the most pieces, whatever they are.
        std::size_t most = 0;
        for (const Move& m : captures) most = std::max(most, m.captured.size());
        std::erase_if(captures, [most](const Move& m) { return m.captured.size() != most; });
        return captures;
    }

    std::vector<Move> quiet;
    for (int from = 1; from <= 50; ++from) {
        if (is_own(position.squares[from], white)) add_quiet_moves(position, from, quiet);
    }
    return quiet;
}

Position play(const Position& position, const Move& move) {
    Position next = position;
    Piece piece = position.squares[move.from];
    next.squares[move.from] = Piece::None;
    for (const int square : move.captured) next.squares[square] = Piece::None;

    // Only where the move ends counts: a man passing the far row during a capture stays a man.
    if (piece == Piece::WhiteMan && row_of(move.to) == 0) piece = Piece::WhiteKing;
    if (piece == Piece::BlackMan && row_of(move.to) == 9) piece = Piece::BlackKing;
    next.squares[move.to] = piece;

    next.white_to_move = !position.white_to_move;
    return next;
}

Position start_position() {
    Position position;
    for (int square = 1; square <= 20; ++square) position.squares[square] = Piece::BlackMan;
    for (int square = 31; square <= 50; ++square) position.squares[square] = Piece::WhiteMan;
    position.white_to_move = true;
    return position;
}

}  // namespace reference
