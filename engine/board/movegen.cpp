#include "engine/board/movegen.h"

#include <bit>
#include <cassert>
#include <cstddef>

namespace {

// Direction offsets in the order in which men try their captures.
constexpr int MAN_CAPTURE_ORDER[4] = {-6, -5, 5, 6};
constexpr int MAN_CAPTURE_DIRECTION[4] = {3, 2, 0, 1};  // their index in DIRECTIONS

// Quiet moves of any position: 2 for each of up to 50 men, 17 for each of up to 50 kings.
constexpr int MAX_QUIET_MOVES = 17 * 50;

// The direction a king turns to at a landing square, as an index into DIRECTIONS:
// +5 -> -6, +6 -> +5, -5 -> +6, -6 -> -5. It tries that side first, then the
// opposite one (index ^ 2).
constexpr int turn_index(int d) { return (d + 3) & 3; }
static_assert(DIRECTIONS[turn_index(0)] == -6 && DIRECTIONS[turn_index(1)] == 5);
static_assert(DIRECTIONS[turn_index(2)] == 6 && DIRECTIONS[turn_index(3)] == -5);

inline int highest_bit(Bitboard b) { return 63 - std::countl_zero(b); }

// The first square from t along direction d (index into DIRECTIONS; t not counted)
// that is not empty, or 0 when the ray reaches the edge of the board first. Found from
// the ray in one step, where walking square by square costs a test per square; on a
// +5 or +6 ray the nearest square is the lowest bit, on a -5 or -6 ray the highest.
inline int first_blocker(int t, int d, Bitboard empty) {
    const Bitboard blockers = RAY[t][d] & ~empty & ~BIT_MASK[t];
    if (!blockers) return 0;
    return d < 2 ? lowest_bit(blockers) : highest_bit(blockers);
}

// The squares among `from` that can take a piece of `jumpable` along direction d
// (index into DIRECTIONS), found for all of them at once: a square can when the
// squares between it and such a piece are all empty. The runs of empty squares leading
// to the pieces are filled backward in steps of one, two and four squares (a diagonal
// holds at most eight empty squares between a king and a piece); ghost bits are never
// empty, so no run crosses the edge of the board.
inline Bitboard kings_taking_along(int d, Bitboard from, Bitboard jumpable, Bitboard empty) {
    const int step = DIRECTIONS[d] > 0 ? DIRECTIONS[d] : -DIRECTIONS[d];
    const auto back = [d, step](Bitboard b, int n) { return d < 2 ? b >> (n * step) : b << (n * step); };
    const Bitboard next_to = back(jumpable, 1);  // a king here takes at once
    Bitboard run = next_to & empty;
    Bitboard pass = empty;
    run |= pass & back(run, 1);
    pass &= back(pass, 1);
    run |= pass & back(run, 2);
    pass &= back(pass, 2);
    run |= pass & back(run, 4);
    return from & (next_to | back(run, 1));
}

// The same, for the pieces of `remaining` that have an empty square behind them
// along d.
inline Bitboard squares_taking_along(int d, Bitboard from, Bitboard remaining, Bitboard empty) {
    const int step = DIRECTIONS[d] > 0 ? DIRECTIONS[d] : -DIRECTIONS[d];
    const Bitboard behind_empty = d < 2 ? empty >> step : empty << step;
    return kings_taking_along(d, from, remaining & behind_empty, empty);
}

// Two directions side by side, one lane each, so that a set is worked out for two at
// once: Up holds +5 and +6, Down holds -5 and -6 (each in the order of DIRECTIONS).
// Stepping back against the direction is a right shift for Up and a left shift for Down.
using Pair = Bitboard __attribute__((vector_size(2 * sizeof(Bitboard))));
struct Lanes {
    Pair up, down;
};

inline Lanes operator&(Lanes a, Lanes b) { return {a.up & b.up, a.down & b.down}; }
inline Lanes operator|(Lanes a, Lanes b) { return {a.up | b.up, a.down | b.down}; }
inline Lanes back(Lanes b, int n) {
    const Pair steps = {5, 6};
    return {b.up >> (steps * n), b.down << (steps * n)};
}
inline Lanes all_lanes(Bitboard b) { return {Pair{b, b}, Pair{b, b}}; }
inline Bitboard any_lane(Lanes b) {
    const Pair both = b.up | b.down;
    return both[0] | both[1];
}
inline void store_lanes(Bitboard* out, Lanes b) {
    __builtin_memcpy(out, &b.up, sizeof b.up);
    __builtin_memcpy(out + 2, &b.down, sizeof b.down);
}

// The side to move's captures, for all four directions at once: stores the jumpable
// sets of its opponent, its capturing men and (when it has kings) the kings that can
// take along each direction; returns its two capture_flags bits. The king sets are the
// fill of kings_taking_along, lane by lane.
inline std::uint32_t own_captures(PlyRecord& record, bool white) {
    const Board& b = record.board;
    const Lanes empty = all_lanes(b.empty);
    const Lanes jumpable = all_lanes(white ? b.black() : b.white()) & back(empty, 1);
    store_lanes(white ? record.black_jumpable : record.white_jumpable, jumpable);
    const Lanes next_to = back(jumpable, 1);  // a man or king here takes at once
    const Bitboard capturing = (white ? b.white_men : b.black_men) & any_lane(next_to);
    (white ? record.white_capturing_men : record.black_capturing_men) = capturing;
    std::uint32_t flags = capturing ? (white ? WHITE_MAN_CAN_CAPTURE : BLACK_MAN_CAN_CAPTURE) : 0;
    const Bitboard kings = white ? b.white_kings : b.black_kings;
    if (!kings) return flags;
    Lanes run = next_to & empty;
    Lanes pass = empty;
    run = run | (pass & back(run, 1));
    pass = pass & back(pass, 1);
    run = run | (pass & back(run, 2));
    pass = pass & back(pass, 2);
    run = run | (pass & back(run, 4));
    const Lanes takers = all_lanes(kings) & (next_to | back(run, 1));
    store_lanes(record.king_takers, takers);
    if (any_lane(takers)) flags |= white ? WHITE_KING_CAN_CAPTURE : BLACK_KING_CAN_CAPTURE;
    return flags;
}

// Working state of one generate_moves call.
struct Generator {
    MoveRecord* start;
    MoveRecord* write;
    MoveRecord* limit;
    int max;    // pieces taken by every capture listed so far
    int depth;  // pieces taken on the path being followed
    int from;
    std::uint32_t kind;
    Bitboard empty;  // empty squares; the capturing piece's own square counts as empty
    bool overflow;
};

inline void write_move(Generator& g, int from, int to, Bitboard remaining) {
    if (g.write == g.limit) {
        g.overflow = true;
        return;
    }
    g.write->word = move_word(g.kind, from, to);
    g.write->remaining = remaining;
    ++g.write;
}

// Majority rule, applied wherever a capture path ends or may end: a longer path
// restarts the list, an equal one is appended, a shorter one is dropped.
inline void record_capture(Generator& g, int to, Bitboard remaining) {
    if (g.depth > g.max) {
        g.write = g.start;
        g.max = g.depth;
        g.overflow = false;
    } else if (g.depth < g.max) {
        return;
    }
    write_move(g, g.from, to, remaining);
}

// A man standing on t after a jump: follow every further jump, then record the path.
// A path that can go on is superseded by its longer continuation.
void man_capture_step(Generator& g, int t, Bitboard remaining) {
    for (int d : MAN_CAPTURE_ORDER) {
        const int over = t + d;
        if ((remaining & BIT_MASK[over]) && (g.empty & BIT_MASK[over + d])) {
            ++g.depth;
            man_capture_step(g, over + d, remaining ^ BIT_MASK[over]);
            --g.depth;
        }
    }
    record_capture(g, t, remaining);
}

template <int D>
void king_capture_step(Generator& g, int t, Bitboard remaining);

// The king on l takes the first piece along direction D (one it can take).
template <int D>
inline void king_take_along(Generator& g, int l, Bitboard remaining) {
    const int s = first_blocker(l, D, g.empty);
    king_capture_step<D>(g, s + DIRECTIONS[D], remaining ^ BIT_MASK[s]);
}

// Records every landing square of `landing` as the end of a path, nearest first along
// direction D: the majority rule decided once for them all, as it would be one by one.
template <int D>
void record_landings(Generator& g, Bitboard landing, Bitboard remaining) {
    if (g.depth < g.max) return;
    if (g.depth > g.max) {
        g.write = g.start;
        g.max = g.depth;
        g.overflow = false;
    }
    while (landing) {
        const int l = D < 2 ? lowest_bit(landing) : highest_bit(landing);
        landing ^= BIT_MASK[l];
        write_move(g, g.from, l, remaining);
    }
}

// A king on t, the first empty square behind the piece it has just taken, travelling
// along direction D (index into DIRECTIONS; one function for each, so that every shift
// is by a constant). Every empty square behind that piece is a
// landing square: from each, nearest first, the king may turn to either side, and each
// is an end square. Straight on, it may take the next piece on the same diagonal.
// Taken pieces stay in place (they are not in `remaining` and are not empty), so none
// is jumped twice.
// A path that goes on is longer than one that ends on any of these landing squares, so
// the landing squares are recorded only when no path goes on: the list comes out as if
// each were recorded and then superseded.
template <int D>
void king_capture_step(Generator& g, int t, Bitboard remaining) {
    const Bitboard ray = RAY[t][D];
    const Bitboard blockers = ray & ~g.empty;
    int s = 0;  // the first square that is not empty; bit 0 is in no set
    Bitboard landing = ray;
    if (D < 2) {
        landing &= (blockers & (0 - blockers)) - 1;
        if (blockers) s = lowest_bit(blockers);
    } else if (blockers) {
        s = highest_bit(blockers);
        landing &= ~((BIT_MASK[s] << 1) - 1);
    }
    const bool straight = (remaining & BIT_MASK[s]) && (g.empty & BIT_MASK[s + DIRECTIONS[D]]);
    constexpr int A = turn_index(D);
    constexpr int B = A ^ 2;
    const Bitboard turn_a = squares_taking_along(A, landing, remaining, g.empty);
    const Bitboard turn_b = squares_taking_along(B, landing, remaining, g.empty);
    ++g.depth;
    if (!(turn_a | turn_b) && !straight) {
        record_landings<D>(g, landing, remaining);
    } else {
        for (Bitboard turns = turn_a | turn_b; turns;) {
            const int l = D < 2 ? lowest_bit(turns) : highest_bit(turns);
            turns ^= BIT_MASK[l];
            if (turn_a & BIT_MASK[l]) king_take_along<A>(g, l, remaining);
            if (turn_b & BIT_MASK[l]) king_take_along<B>(g, l, remaining);
        }
        if (straight) king_capture_step<D>(g, s + DIRECTIONS[D], remaining ^ BIT_MASK[s]);
    }
    --g.depth;
}

void man_captures(Generator& g, const PlyRecord& record, bool white) {
    const Bitboard* jumpable = white ? record.black_jumpable : record.white_jumpable;
    Bitboard men = white ? record.white_capturing_men : record.black_capturing_men;
    g.kind = white ? WHITE_MAN_CAPTURE : BLACK_MAN_CAPTURE;
    g.depth = 1;
    for (; men; men &= men - 1) {
        const int m = lowest_bit(men);
        g.from = m;
        g.empty = record.board.empty | BIT_MASK[m];
        for (int i = 0; i < 4; ++i) {
            const int d = MAN_CAPTURE_ORDER[i];
            if (jumpable[MAN_CAPTURE_DIRECTION[i]] & BIT_MASK[m + d]) {
                man_capture_step(g, m + 2 * d, record.opponents ^ BIT_MASK[m + d]);
            }
        }
    }
}

// Every king that can take, in bit order, along +5, +6, -5, -6. Kept out of line, as
// the kings' quiet moves are.
[[gnu::noinline]] void king_captures(Generator& g, const PlyRecord& record, bool white) {
    const Bitboard* takers = record.king_takers;
    g.kind = white ? WHITE_KING_CAPTURE : BLACK_KING_CAPTURE;
    g.depth = 0;
    for (Bitboard any = takers[0] | takers[1] | takers[2] | takers[3]; any; any &= any - 1) {
        const int k = lowest_bit(any);
        g.from = k;
        g.empty = record.board.empty | BIT_MASK[k];
        if (takers[0] & BIT_MASK[k]) king_take_along<0>(g, k, record.opponents);
        if (takers[1] & BIT_MASK[k]) king_take_along<1>(g, k, record.opponents);
        if (takers[2] & BIT_MASK[k]) king_take_along<2>(g, k, record.opponents);
        if (takers[3] & BIT_MASK[k]) king_take_along<3>(g, k, record.opponents);
    }
}

// Writes a quiet move for each square of `to`, ascending (nearest first when the
// squares lie on a ray away from `from` in a +5 or +6 direction); `from_of` gives the
// start square of each. The write position is a local, which the stores cannot change.
template <class FromOf>
inline MoveRecord* write_ascending(MoveRecord* out, std::uint32_t kind, Bitboard to, FromOf from_of) {
    for (; to; to &= to - 1) {
        const int t = lowest_bit(to);
        (out++)->word = move_word(kind, from_of(t), t);
    }
    return out;
}

// The same, descending: nearest first on a ray in a -5 or -6 direction.
inline MoveRecord* write_descending(MoveRecord* out, std::uint32_t kind, int from, Bitboard to) {
    while (to) {
        const int t = 63 - std::countl_zero(to);
        (out++)->word = move_word(kind, from, t);
        to ^= Bitboard{1} << t;
    }
    return out;
}

// The squares a king on k reaches along direction d (index into DIRECTIONS): the ray
// up to the first square that is not empty. On a +5 or +6 ray that square is the
// lowest blocker, on a -5 or -6 ray the highest.
inline Bitboard king_reach(int k, int d, Bitboard empty) {
    const Bitboard ray = RAY[k][d] & ~BIT_MASK[k];
    const Bitboard blockers = ray & ~empty;
    if (d < 2) return ray & ((blockers & (0 - blockers)) - 1);
    return blockers ? ray & ~((std::bit_floor(blockers) << 1) - 1) : ray;
}

// A man's step to each square of `to`, ascending, from `step` bit positions behind it.
// The move word kind | from << 8 | to << 14 with from = to - step is one multiply-add
// of the target square.
inline MoveRecord* write_men_steps(MoveRecord* out, std::uint32_t kind, Bitboard to, int step) {
    const std::uint32_t base = kind - static_cast<std::uint32_t>(step) * (1u << 8);
    for (; to; to &= to - 1) {
        (out++)->word = base + static_cast<std::uint32_t>(lowest_bit(to)) * ((1u << 8) + (1u << 14));
    }
    return out;
}
static_assert(move_word(WHITE_MAN_MOVE, 7, 12) == WHITE_MAN_MOVE - 5u * (1u << 8) + 12u * ((1u << 8) + (1u << 14)));

// Men's steps, found for all men at once: first every step +5 (-5 for Black) in bit
// order, then every step +6 (-6). Then the kings, each in bit order along +5, +6, -5,
// -6, nearest square first, found from the rays. The caller has made sure the list
// has room.
// Kept out of line: most positions have no kings, and the men's moves then need no
// registers saved.
[[gnu::noinline]] MoveRecord* king_quiet_moves(MoveRecord* out, Bitboard kings, Bitboard e, std::uint32_t kind) {
    for (; kings; kings &= kings - 1) {
        const int k = lowest_bit(kings);
        const auto from_king = [k](int) { return k; };
        out = write_ascending(out, kind, king_reach(k, 0, e), from_king);
        out = write_ascending(out, kind, king_reach(k, 1, e), from_king);
        out = write_descending(out, kind, k, king_reach(k, 2, e));
        out = write_descending(out, kind, k, king_reach(k, 3, e));
    }
    return out;
}

// Writes the quiet moves from `out` on; returns the end of the list.
inline MoveRecord* quiet_moves(MoveRecord* out, const Board& board, bool white) {
    const Bitboard e = board.empty;
    if (white) {
        out = write_men_steps(out, WHITE_MAN_MOVE, board.white_men << 5 & e, 5);
        out = write_men_steps(out, WHITE_MAN_MOVE, board.white_men << 6 & e, 6);
    } else {
        out = write_men_steps(out, BLACK_MAN_MOVE, board.black_men >> 5 & e, -5);
        out = write_men_steps(out, BLACK_MAN_MOVE, board.black_men >> 6 & e, -6);
    }
    const Bitboard kings = white ? board.white_kings : board.black_kings;
    if (kings) out = king_quiet_moves(out, kings, e, white ? WHITE_KING_MOVE : BLACK_KING_MOVE);
    return out;
}

// At most two steps a man and 17 squares a king (from the centre of an empty board).
inline std::ptrdiff_t quiet_move_bound(const Board& board, bool white) {
    return 2 * std::popcount(white ? board.white_men : board.black_men) +
           17 * std::popcount(white ? board.white_kings : board.black_kings);
}

// The rare list that might not fit: every move checked against the end of the array.
[[gnu::noinline]] void quiet_moves_checked(Generator& g, const Board& board, bool white) {
    MoveRecord spill[MAX_QUIET_MOVES];
    const MoveRecord* const end = quiet_moves(spill, board, white);
    for (const MoveRecord* m = spill; m != end; ++m) {
        g.kind = move_kind(m->word);
        write_move(g, move_from(m->word), move_to(m->word), 0);
    }
}

}  // namespace

void find_captures(Side side, PlyRecord& record) {
    // The side to move's sets as find_own_captures finds them, and the other side's
    // jumpable sets and capturing men (whether its kings could take is not asked).
    const bool white = side == WHITE;
    const Board& b = record.board;
    const Bitboard e = b.empty;
    const Bitboard targets = white ? b.white() : b.black();
    Bitboard* jumpable = white ? record.white_jumpable : record.black_jumpable;
    jumpable[0] = targets & e >> 5;
    jumpable[1] = targets & e >> 6;
    jumpable[2] = targets & e << 5;
    jumpable[3] = targets & e << 6;
    const Bitboard capturing = (white ? b.black_men : b.white_men) &
                               ((targets & e >> 5) >> 5 | (targets & e >> 6) >> 6 | (targets & e << 5) << 5 |
                                (targets & e << 6) << 6);
    (white ? record.black_capturing_men : record.white_capturing_men) = capturing;
    const std::uint32_t other = capturing ? (white ? BLACK_MAN_CAN_CAPTURE : WHITE_MAN_CAN_CAPTURE) : 0;
    record.capture_flags = other | own_captures(record, white);
}

void find_own_captures(Side side, PlyRecord& record) { record.capture_flags = own_captures(record, side == WHITE); }

bool has_quiet_move(Side side, const Board& board) {
    // A man steps onto an empty square ahead of it; a king onto one in any direction.
    if (side == WHITE) {
        const Bitboard men = board.white_men;
        const Bitboard kings = board.white_kings;
        return ((men | kings) << 5 | (men | kings) << 6 | kings >> 5 | kings >> 6) & board.empty;
    }
    const Bitboard men = board.black_men;
    const Bitboard kings = board.black_kings;
    return ((men | kings) >> 5 | (men | kings) >> 6 | kings << 5 | kings << 6) & board.empty;
}

void list_moves(Side side, PlyRecord& record) {
    assert(record.moves != nullptr && record.moves_limit != nullptr);
    const bool white = side == WHITE;
    MoveRecord* end;
    int max = 0;

    const std::uint32_t man_flag = white ? WHITE_MAN_CAN_CAPTURE : BLACK_MAN_CAN_CAPTURE;
    const std::uint32_t king_flag = white ? WHITE_KING_CAN_CAPTURE : BLACK_KING_CAN_CAPTURE;
    if (record.capture_flags & (man_flag | king_flag)) {
        Generator g{};
        g.start = g.write = record.moves;
        g.limit = record.moves_limit;
        // Men and kings share one list and one maximum: the majority rule spans both.
        record.opponents = white ? record.board.black() : record.board.white();
        if (record.capture_flags & man_flag) man_captures(g, record, white);
        if (record.capture_flags & king_flag) king_captures(g, record, white);
        if (g.overflow) record.capture_flags |= MOVE_LIST_OVERFLOW;
        end = g.write;
        max = g.max;
    } else if (record.moves_limit - record.moves >= quiet_move_bound(record.board, white)) {
        end = quiet_moves(record.moves, record.board, white);
    } else {
        Generator g{};
        g.start = g.write = record.moves;
        g.limit = record.moves_limit;
        quiet_moves_checked(g, record.board, white);
        if (g.overflow) record.capture_flags |= MOVE_LIST_OVERFLOW;
        end = g.write;
    }

    record.move_count = static_cast<std::int32_t>(end - record.moves);
    record.max_captured = max;

    PlyRecord& next = (&record)[1];
    next.moves = end;
    next.moves_limit = record.moves_limit;
    next.white_count = white ? record.white_count : record.white_count - max;
    next.black_count = white ? record.black_count - max : record.black_count;
}

int count_moves(Side side, PlyRecord& record) {
    find_own_captures(side, record);
    const bool white = side == WHITE;
    if (record.capture_flags & (white ? WHITE_MAN_CAN_CAPTURE | WHITE_KING_CAN_CAPTURE
                                      : BLACK_MAN_CAN_CAPTURE | BLACK_KING_CAN_CAPTURE)) {
        list_moves(side, record);
        return record.move_count;
    }
    // The quiet list holds one move per target square of each man's step and of each
    // king's rays: the sizes of those sets.
    const Board& b = record.board;
    const Bitboard e = b.empty;
    int count = white ? std::popcount(b.white_men << 5 & e) + std::popcount(b.white_men << 6 & e)
                      : std::popcount(b.black_men >> 5 & e) + std::popcount(b.black_men >> 6 & e);
    // The kings' squares, all kings at once: the k-th step of every ray is the set of
    // squares k squares away whose whole way there is empty.
    const Bitboard kings = white ? b.white_kings : b.black_kings;
    if (!kings) return count;
    for (Bitboard reach = kings << 5 & e; reach; reach = reach << 5 & e) count += std::popcount(reach);
    for (Bitboard reach = kings << 6 & e; reach; reach = reach << 6 & e) count += std::popcount(reach);
    for (Bitboard reach = kings >> 5 & e; reach; reach = reach >> 5 & e) count += std::popcount(reach);
    for (Bitboard reach = kings >> 6 & e; reach; reach = reach >> 6 & e) count += std::popcount(reach);
    return count;
}

void generate_moves(Side side, PlyRecord& record) {
    find_captures(side, record);
    list_moves(side, record);
}
