#include "engine/knowledge/evaluation.h"

#include <atomic>
#include <bit>
#include <cstdlib>

#include "engine/knowledge/egdb.h"
#include "engine/knowledge/geometry.h"
#include "engine/knowledge/patterns.h"
#include "records/settings.h"

namespace {

using namespace geometry;

// Square t and every square k rows further toward the promotion row (row_step -1:
// White's, toward row 0; +1: Black's, toward row 9) at most k columns away from it.
constexpr Bitboard path_cone(int t, int row_step) {
    if (t == 0) return 0;
    const int last_row = row_step < 0 ? 0 : 9;
    Bitboard cone = 0;
    for (int k = 0, row = square_row(t);; ++k, row += row_step) {
        for (int column = square_column(t) - k; column <= square_column(t) + k; ++column) {
            if (const int s = square_at(row, column); s != 0) cone |= square_bit(s);
        }
        if (row == last_row) break;
    }
    return cone;
}

// The cones are built from rows and columns; the search moves men by +5/+6 (White)
// and -5/-6 (Black). Both views must name the same forward neighbours.
constexpr bool geometry_matches_layout() {
    for (int s = 1; s <= 50; ++s) {
        const int row = square_row(s);
        const int column = square_column(s);
        const int steps[4][3] = {{-1, -1, 5}, {-1, +1, 6}, {+1, +1, -5}, {+1, -1, -6}};
        for (const auto& step : steps) {
            const int t = square_at(row + step[0], column + step[1]);
            const int bit = SQUARE_TO_BIT[s] + step[2];
            if ((t != 0) != is_square_bit(bit)) return false;
            if (t != 0 && SQUARE_TO_BIT[t] != bit) return false;
        }
    }
    return true;
}
static_assert(geometry_matches_layout());

// Men that earn the free-path term: White's on squares 6-25, Black's on 26-45.
constexpr Bitboard WHITE_PATH_ZONE = square_range(6, 25);
constexpr Bitboard BLACK_PATH_ZONE = square_range(26, 45);

constexpr Bitboard WHITE_CENTRE = squares({28, 29, 32, 33, 38, 39, 42, 43, 48, 49});
constexpr Bitboard BLACK_CENTRE = squares({2, 3, 8, 9, 12, 13, 18, 19, 22, 23});
constexpr Bitboard LEFT_WING = squares({1, 6, 7, 11, 16, 17, 21, 26, 27, 31, 36, 37, 41, 46, 47});
constexpr Bitboard RIGHT_WING = squares({4, 5, 10, 14, 15, 20, 24, 25, 30, 34, 35, 40, 44, 45, 50});
constexpr Bitboard WHITE_BACK_SQUARE = squares({48});
constexpr Bitboard BLACK_BACK_SQUARE = squares({3});

// One king each on these two corners: both open only onto the long diagonal, so the
// side to move must move along it and the other king takes it.
constexpr Bitboard LOST_CORNERS = squares({5, 46});

// Four kings against one: the strong side is paid for holding these squares. They are
// the same squares whichever colour has the four kings: kings have no direction, and
// 46 and 41 hold the long diagonal for either side.
constexpr Bitboard FOUR_KINGS_SQUARES = squares({41, 46, 47});
constexpr int FOUR_KINGS_SCORE = 4000;

constexpr int LAZY_MARGIN = 150;

}  // namespace

constexpr std::array<std::uint8_t, 65536> BitCountTable = [] {
    std::array<std::uint8_t, 65536> table{};
    for (unsigned v = 1; v < 65536; ++v)
        table[v] = static_cast<std::uint8_t>(table[v >> 1] + (v & 1));
    return table;
}();

constexpr std::array<PathCones, 64> PathCone = [] {
    std::array<PathCones, 64> table{};
    for (int s = 1; s <= 50; ++s) {
        const int row = square_row(s);
        const int column = square_column(s);
        table[SQUARE_TO_BIT[s]] = {path_cone(square_at(row - 1, column - 1), -1),
                                   path_cone(square_at(row - 1, column + 1), -1),
                                   path_cone(square_at(row + 1, column + 1), +1),
                                   path_cone(square_at(row + 1, column - 1), +1)};
    }
    return table;
}();

void evaluation_init() {}
void evaluation_free() {}

int bit_count(Bitboard b) {
    return BitCountTable[b & 0xFFFF] + BitCountTable[b >> 16 & 0xFFFF] +
           BitCountTable[b >> 32 & 0xFFFF] + BitCountTable[b >> 48];
}

void count_material(PlyRecord& position) {
    const Board& board = position.board;
    const int white_men = std::popcount(board.white_men);
    const int white_kings = std::popcount(board.white_kings);
    const int black_men = std::popcount(board.black_men);
    const int black_kings = std::popcount(board.black_kings);
    position.white_count = white_men + white_kings;
    position.black_count = black_men + black_kings;
    position.material = (white_kings - black_kings) * 320 + (white_men - black_men) * 100;
}

int count_and_evaluate(Side side, PlyRecord& position, int bound) {
    count_material(position);
    return evaluate(side, position, bound);
}

// A cone without an enemy man is open; so is an empty cone (a man on the edge has one
// forward neighbour only, and the missing side counts as open).
int free_path_sum(const Board& board) {
    int sum = 0;
    for (Bitboard men = board.white_men & WHITE_PATH_ZONE; men != 0; men &= men - 1) {
        const int b = std::countr_zero(men);
        const int open = ((PathCone[b].white_left & board.black_men) == 0) +
                         ((PathCone[b].white_right & board.black_men) == 0);
        sum += open * (4 - ROW[b]) * 10;
    }
    for (Bitboard men = board.black_men & BLACK_PATH_ZONE; men != 0; men &= men - 1) {
        const int b = std::countr_zero(men);
        const int open = ((PathCone[b].black_right & board.white_men) == 0) +
                         ((PathCone[b].black_left & board.white_men) == 0);
        sum += open * (5 - ROW[b]) * 10;
    }
    return sum;
}

// Asked by the search before it reduces depth. Men just short of the zone that pays
// (White on 21-25, Black on 26-30) count here.
bool has_free_man(Side side, const PlyRecord& position) {
    const Board& board = position.board;
    if (side == WHITE) {
        for (Bitboard men = board.black_men & BLACK_PATH_ZONE; men != 0; men &= men - 1) {
            const PathCones& cones = PathCone[std::countr_zero(men)];
            if ((cones.black_right & board.white_men) == 0 ||
                (cones.black_left & board.white_men) == 0)
                return true;
        }
        return false;
    }
    for (Bitboard men = board.white_men & WHITE_PATH_ZONE; men != 0; men &= men - 1) {
        const PathCones& cones = PathCone[std::countr_zero(men)];
        if ((cones.white_left & board.black_men) == 0 || (cones.white_right & board.black_men) == 0)
            return true;
    }
    return false;
}

namespace {

struct PieceCounts {
    int white_men;
    int white_kings;
    int black_men;
    int black_kings;
};

// Each side has at most three pieces: material alone decides, and once both sides
// have a king it counts only a little (such endings are mostly drawn).
int small_ending(bool white_to_move, const PieceCounts& n, const PlyRecord& position) {
    int base = position.material;
    if (n.white_kings > 0 && n.black_kings > 0) {
        base = 3 * (n.white_kings - n.black_kings) + (n.white_men - n.black_men);
        const Board& board = position.board;
        if (n.white_kings == 1 && n.black_kings == 1 && n.white_men == 0 && n.black_men == 0 &&
            (board.white_kings | board.black_kings) == LOST_CORNERS) {
            return -WIN_SCORE;
        }
    }
    return white_to_move ? base : -base;
}

// Differences of at least two men on a wing, or of at least two pieces among kings and
// middle men, are paid for; smaller ones are noise.
int wing_balance(const PlyRecord& position) {
    const Board& board = position.board;
    const int white_left = std::popcount(board.white_men & LEFT_WING);
    const int white_right = std::popcount(board.white_men & RIGHT_WING);
    const int black_left = std::popcount(board.black_men & LEFT_WING);
    const int black_right = std::popcount(board.black_men & RIGHT_WING);
    const int differences[3] = {white_left - black_left, white_right - black_right,
                                (position.white_count - white_left - white_right) -
                                    (position.black_count - black_left - black_right)};
    int sum = 0;
    for (int d : differences) sum += std::abs(d) >= 2 ? 3 * d : 0;
    return sum;
}

// Back square, centre, wing balance and patterns: White's view, not halved.
int positional_sum(const PlyRecord& position) {
    const Board& board = position.board;
    int sum = 0;
    if (board.white_men & WHITE_BACK_SQUARE) sum += 2;
    if (board.black_men & BLACK_BACK_SQUARE) sum -= 2;
    sum += 2 * (std::popcount(board.white_men & WHITE_CENTRE) -
                std::popcount(board.black_men & BLACK_CENTRE));
    sum += wing_balance(position);
    return sum + pattern_score(board);
}

// Also what the databases read from the record.
PieceCounts count_pieces(PlyRecord& position) {
    PieceCounts n;
    n.white_kings = std::popcount(position.board.white_kings);
    n.black_kings = std::popcount(position.board.black_kings);
    n.white_men = position.white_count - n.white_kings;
    n.black_men = position.black_count - n.black_kings;
    position.type_counts[0] = n.white_men;
    position.type_counts[1] = n.white_kings;
    position.type_counts[2] = n.black_men;
    position.type_counts[3] = n.black_kings;
    return n;
}

// The score for the side to move when four kings stand against one, else 0.
int four_kings_against_one(bool white_to_move, const PieceCounts& n, const Board& board) {
    if (n.white_men != 0 || n.black_men != 0) return 0;
    if (n.white_kings == 4 && n.black_kings == 1) {
        const int score =
            FOUR_KINGS_SCORE + 5 * std::popcount(board.white_kings & FOUR_KINGS_SQUARES);
        return white_to_move ? score : -score;
    }
    if (n.black_kings == 4 && n.white_kings == 1) {
        const int score =
            FOUR_KINGS_SCORE + 5 * std::popcount(board.black_kings & FOUR_KINGS_SQUARES);
        return white_to_move ? -score : score;
    }
    return 0;
}

// The endings settled before any term is counted: the databases (below eight pieces,
// when in use), at most three pieces a side, four kings against one. True, with the
// score for the side to move, when one of them applies.
template <class Probe>
bool decided_ending(Side side, PlyRecord& position, const PieceCounts& n, Probe probe, int& score) {
    const bool white_to_move = side == WHITE;

    // The databases index by these counts; a record whose counts contradict its board
    // is not looked up.
    if (position.white_count + position.black_count < 8 && n.white_men >= 0 && n.black_men >= 0 &&
        settings().endgame_use.load(std::memory_order_relaxed) != 0) {
        switch (probe(side, position)) {
            case EGDB_WIN:
                score = WIN_SCORE;
                return true;
            case EGDB_DRAW:
                score = 0;
                return true;
            case EGDB_LOSS:
                score = -WIN_SCORE;
                return true;
            default:
                break;
        }
    }

    if (position.white_count <= 3 && position.black_count <= 3) {
        score = small_ending(white_to_move, n, position);
        return true;
    }
    score = four_kings_against_one(white_to_move, n, position.board);
    return score != 0;
}

template <class Probe>
int evaluate_position(Side side, PlyRecord& position, int bound, Probe probe) {
    const Board& board = position.board;
    const bool white_to_move = side == WHITE;
    const PieceCounts n = count_pieces(position);
    if (int decided = 0; decided_ending(side, position, n, probe, decided)) return decided;

    // With a king on each side a lead converts far less often: both halves of the
    // score are damped (halving truncates toward zero).
    const bool both_have_kings = n.white_kings > 0 && n.black_kings > 0;
    int base = position.material + free_path_sum(board);
    if (both_have_kings) base /= 2;
    const int score = white_to_move ? base : -base;

    // Lazy exit against the negated bound: with the driver's root bound of -30000 it
    // is taken for every real score, so the root shows material and free paths only.
    // Widened so that no bound can overflow.
    if (std::int64_t{score} + LAZY_MARGIN <= -std::int64_t{bound}) return score;

    int positional = positional_sum(position);
    if (both_have_kings) positional /= 2;
    return white_to_move ? score + positional : score - positional;
}

}  // namespace

int evaluate(Side side, PlyRecord& position, int bound) {
    return evaluate_position(side, position, bound,
                             [](Side s, const PlyRecord& p) { return egdb_probe(s, p); });
}

int evaluate_with_probe(Side side, PlyRecord& position, int bound, EndgameProbe probe) {
    return evaluate_position(side, position, bound, [probe](Side s, const PlyRecord& p) {
        return probe != nullptr ? probe(s, p) : int{EGDB_UNKNOWN};
    });
}

bool settled_ending(Side side, PlyRecord& position, int& score) {
    return decided_ending(side, position, count_pieces(position),
                          [](Side s, const PlyRecord& p) { return egdb_probe(s, p); }, score);
}

bool settled_ending_with_probe(Side side, PlyRecord& position, EndgameProbe probe, int& score) {
    return decided_ending(side, position, count_pieces(position),
                          [probe](Side s, const PlyRecord& p) {
                              return probe != nullptr ? probe(s, p) : int{EGDB_UNKNOWN};
                          },
                          score);
}
