#include "engine/knowledge/egdb_index.h"

#include <bit>

namespace {

// Normalised indices 0-4 and 45-49: the rows where the side to move's men, and the
// opponent's, would already have been crowned.
constexpr std::uint64_t FIRST_ROW = 0x1F;
constexpr std::uint64_t LAST_ROW = std::uint64_t{0x1F} << 45;

constexpr std::uint64_t below(int x) {
    return (std::uint64_t{1} << x) - 1;
}

// The pieces of a bitboard as a set of normalised indices (bit i = index i), so that
// walking its bits lists them ascending.
inline std::uint64_t normalised_set(Bitboard pieces, const std::array<std::uint8_t, 64>& to_index) {
    std::uint64_t set = 0;
    for (; pieces; pieces &= pieces - 1) set |= std::uint64_t{1} << to_index[lowest_bit(pieces)];
    return set;
}

// Writes the members of `set`, each less `offset` and the members of `taken` below it,
// ascending; returns how many.
inline int compress(std::uint64_t set, std::uint64_t taken, int offset, int* list) {
    int n = 0;
    for (; set; set &= set - 1) {
        const int x = std::countr_zero(set);
        list[n++] = x - offset - std::popcount(taken & below(x));
    }
    return n;
}

// a * b, or `limit` once the product reaches it (both factors below 2^31).
constexpr std::int64_t capped_product(std::int64_t a, std::int64_t b, std::int64_t limit) {
    return a >= limit || b >= limit || a * b >= limit ? limit : a * b;
}

bool counts_in_range(const EgdbMaterial& m) {
    const int counts[4] = {m.sm, m.sk, m.om, m.ok};
    for (int c : counts) {
        if (c < 0 || c > EGDB_MAX_SIDE_PIECES) return false;
    }
    return m.sm + m.sk <= EGDB_MAX_SIDE_PIECES && m.om + m.ok <= EGDB_MAX_SIDE_PIECES;
}

}  // namespace

std::int64_t egdb_position_count(const EgdbMaterial& m) {
    if (!counts_in_range(m)) return -1;
    constexpr std::int64_t LIMIT = std::int64_t{1} << 62;
    std::int64_t n = capped_product(BINOMIAL[45][m.sm], BINOMIAL[45][m.om], LIMIT);
    n = capped_product(n, BINOMIAL[50 - m.sm - m.om][m.ok], LIMIT);
    return capped_product(n, BINOMIAL[50 - m.sm - m.om - m.ok][m.sk], LIMIT);
}

bool egdb_indexable(const EgdbMaterial& m) {
    const std::int64_t n = egdb_position_count(m);
    return n > 0 && n < EGDB_MAX_POSITIONS;
}

std::string egdb_name(const EgdbMaterial& m) {
    return std::string(static_cast<std::size_t>(m.sk), 'X') +
           std::string(static_cast<std::size_t>(m.sm), 'O') + "v" +
           std::string(static_cast<std::size_t>(m.ok), 'X') +
           std::string(static_cast<std::size_t>(m.om), 'O');
}

std::int32_t combination_rank(std::span<const int> list, int n) {
    const int length = static_cast<int>(list.size());
    if (length > EGDB_MAX_SIDE_PIECES || n < 0 || n > 50) return -1;
    std::int32_t rank = 0;
    int previous = -1;
    for (int i = 0; i < length; ++i) {
        const int x = list[i];
        if (x <= previous || x >= n + previous + 1) return -1;  // not ascending, or past n - 1
        rank += RANK_SUMS[x - previous - 1][n][length - i];
        n -= x - previous;
        previous = x;
    }
    return rank;
}

EgdbSets egdb_sets(Side side, const Board& board) {
    const bool white = side == WHITE;
    const auto& to_index = EGDB_NORMALISED[white ? 0 : 1];
    return {normalised_set(white ? board.black_men : board.white_men, to_index),
            normalised_set(white ? board.white_men : board.black_men, to_index),
            normalised_set(white ? board.black_kings : board.white_kings, to_index),
            normalised_set(white ? board.white_kings : board.black_kings, to_index)};
}

std::int32_t egdb_sets_index(const EgdbSets& s) {
    if ((s.own_men & FIRST_ROW) || (s.men & LAST_ROW))
        return -1;  // a man that should have been crowned
    const int sm = std::popcount(s.own_men), sk = std::popcount(s.own_kings);
    const int om = std::popcount(s.men), ok = std::popcount(s.kings);
    if (sm > EGDB_MAX_SIDE_PIECES || sk > EGDB_MAX_SIDE_PIECES || om > EGDB_MAX_SIDE_PIECES ||
        ok > EGDB_MAX_SIDE_PIECES) {
        return -1;
    }
    // Sets that overlap or reach past index 49 would break the ranking's invariants.
    const std::uint64_t all = s.men | s.own_men | s.kings | s.own_kings;
    if ((all >> 50) != 0 || std::popcount(all) != sm + sk + om + ok) return -1;
    // Radices of the three inner levels, checked on the way so that no product passes 2^31.
    const std::int64_t men_radix = BINOMIAL[45][sm];
    const std::int64_t king_radix = BINOMIAL[50 - sm - om][ok];
    const std::int64_t own_king_radix = BINOMIAL[50 - sm - om - ok][sk];
    std::int64_t n = capped_product(BINOMIAL[45][om], men_radix, EGDB_MAX_POSITIONS);
    n = capped_product(n, king_radix, EGDB_MAX_POSITIONS);
    if (capped_product(n, own_king_radix, EGDB_MAX_POSITIONS) == EGDB_MAX_POSITIONS) return -1;

    int list[EGDB_MAX_SIDE_PIECES];
    std::int64_t index =
        combination_rank({list, static_cast<std::size_t>(compress(s.men, 0, 0, list))}, 45);
    const int own_men_count = compress(s.own_men, s.men & ~FIRST_ROW, 5, list);
    index =
        index * men_radix + combination_rank({list, static_cast<std::size_t>(own_men_count)}, 45);
    const int king_count = compress(s.kings, s.men | s.own_men, 0, list);
    index = index * king_radix +
            combination_rank({list, static_cast<std::size_t>(king_count)}, 50 - sm - om);
    return static_cast<std::int32_t>(index * own_king_radix + egdb_own_king_rank(s));
}

std::int32_t egdb_own_king_rank(const EgdbSets& s) {
    const std::uint64_t taken = s.men | s.own_men | s.kings;
    int list[EGDB_MAX_SIDE_PIECES];
    const int count = compress(s.own_kings, taken, 0, list);
    return combination_rank({list, static_cast<std::size_t>(count)}, 50 - std::popcount(taken));
}

std::int32_t egdb_index(Side side, const Board& board) {
    // Bits off the board have no index of their own (the sets' check catches overlaps).
    if ((board.white_men | board.white_kings | board.black_men | board.black_kings) & ~SQUARE_BITS)
        return -1;
    return egdb_sets_index(egdb_sets(side, board));
}
