#pragma once
// The position index of the endgame databases, shared by the program (which probes the
// databases) and vantor-egdb (which computes them), so that both always agree.
//
// A database covers one material: sm men and sk kings for the side to move, om men and
// ok kings for its opponent. Positions are seen from the side to move: with Black to
// move the board is turned half a turn (square s becomes 51 - s) so that the side to
// move always plays up the board. In that frame a square's normalised index is s - 1,
// the side to move's men stand on 5-49 and the opponent's men on 0-44.
//
// The index nests four combinations, outermost first: the opponent's men m (over 45
// squares), the side to move's men M (over 45), the opponent's kings k (over the
// 50 - sm - om squares the men leave) and the side to move's kings K (over what is left).
// Each list is compressed to the squares still free for it and ranked in lexicographic
// order. M is ranked over 45 values although fewer may be free, so when both sides have
// men some indices belong to no position; every other index does.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "engine/board/board.h"

// A database holds at most this many pieces of one side (the material key packs each
// count into three bits).
inline constexpr int EGDB_MAX_SIDE_PIECES = 7;
inline constexpr int EGDB_KEY_COUNT = 4096;
// Indices, sizes and offsets are signed 32-bit in the database files.
inline constexpr std::int64_t EGDB_MAX_POSITIONS = std::int64_t{1} << 31;

struct EgdbMaterial {
    int sm = 0;  // men of the side to move
    int sk = 0;  // kings of the side to move
    int om = 0;  // men of the opponent
    int ok = 0;  // kings of the opponent

    bool operator==(const EgdbMaterial&) const = default;
};

// C(n, k) for n 0-50, exact; 0 when k > n.
inline constexpr auto BINOMIAL = [] {
    std::array<std::array<std::int64_t, 51>, 51> c{};
    for (int n = 0; n <= 50; ++n) {
        c[n][0] = 1;
        for (int k = 1; k <= n; ++k) c[n][k] = c[n - 1][k - 1] + c[n - 1][k];
    }
    return c;
}();

// RANK_SUMS[g][n][r] = C(n-1, r-1) + C(n-2, r-1) + ... + C(n-g, r-1): what skipping g
// values adds to the rank of an r-long combination drawn from n values.
inline constexpr auto RANK_SUMS = [] {
    std::array<std::array<std::array<std::int32_t, EGDB_MAX_SIDE_PIECES + 1>, 51>, 51> sums{};
    for (int n = 0; n <= 50; ++n) {
        for (int r = 1; r <= EGDB_MAX_SIDE_PIECES; ++r) {
            std::int64_t total = 0;
            for (int g = 1; g <= 50; ++g) {
                if (n - g >= 0) total += BINOMIAL[n - g][r - 1];
                sums[g][n][r] = static_cast<std::int32_t>(total);
            }
        }
    }
    return sums;
}();

static_assert(BINOMIAL[50][7] == 99884400 && BINOMIAL[45][2] == 990);
static_assert(RANK_SUMS[3][10][2] == 9 + 8 + 7);

inline constexpr int material_key(const EgdbMaterial& m) {
    return m.sm + 8 * (m.sk + 8 * (m.om + 8 * m.ok));
}
inline constexpr EgdbMaterial key_material(int key) {
    return {key & 7, key >> 3 & 7, key >> 6 & 7, key >> 9 & 7};
}
// The same pieces with the other side to move.
inline constexpr EgdbMaterial mirrored(const EgdbMaterial& m) {
    return {m.om, m.ok, m.sm, m.sk};
}

// N: the number of indices of the material (64-bit: it may pass the format's limit).
std::int64_t egdb_position_count(const EgdbMaterial& m);
// Each side has at most EGDB_MAX_SIDE_PIECES pieces and N is below 2^31.
bool egdb_indexable(const EgdbMaterial& m);
// The value array's size in bytes: four values a byte.
inline std::int64_t egdb_byte_count(const EgdbMaterial& m) {
    return (egdb_position_count(m) + 3) / 4;
}
// The database's name: sk X, sm O, v, ok X, om O ("XOvX").
std::string egdb_name(const EgdbMaterial& m);

// Lexicographic rank of an ascending list of distinct values drawn from 0 .. n-1 (n at
// most 50, at most EGDB_MAX_SIDE_PIECES values); -1 for any other list.
std::int32_t combination_rank(std::span<const int> list, int n);

// Bit position to normalised index: [0] White to move (s - 1), [1] Black to move
// (50 - s, the half-turn).
inline constexpr auto EGDB_NORMALISED = [] {
    std::array<std::array<std::uint8_t, 64>, 2> table{};
    for (int s = 1; s <= 50; ++s) {
        table[0][SQUARE_TO_BIT[s]] = static_cast<std::uint8_t>(s - 1);
        table[1][SQUARE_TO_BIT[s]] = static_cast<std::uint8_t>(50 - s);
    }
    return table;
}();

// A position's pieces seen from the side to move, each kind as a set of normalised
// indices (bit i = index i): the opponent's men m and kings k, the side to move's men M
// and kings K.
struct EgdbSets {
    std::uint64_t men = 0;
    std::uint64_t own_men = 0;
    std::uint64_t kings = 0;
    std::uint64_t own_kings = 0;
};
EgdbSets egdb_sets(Side side, const Board& board);
// The index of disjoint sets (as egdb_index gives it), or -1.
std::int32_t egdb_sets_index(const EgdbSets& sets);
// The innermost term of the index: the rank of the side to move's kings among the
// squares the other pieces leave. Two positions that differ only in where those kings
// stand have indices that differ by the difference of their ranks.
std::int32_t egdb_own_king_rank(const EgdbSets& sets);

// The index of a position in the database of its material for the side to move, or -1
// when the material has no index (a list longer than EGDB_MAX_SIDE_PIECES, or 2^31
// positions or more).
std::int32_t egdb_index(Side side, const Board& board);
inline std::int32_t egdb_index(Side side, const PlyRecord& position) {
    return egdb_index(side, position.board);
}

// Value number i of a value array: 0 win, 1 draw, 2 loss, 3 undecided.
inline int egdb_value_at(const std::uint8_t* values, std::int64_t i) {
    return values[i >> 2] >> (6 - 2 * (i & 3)) & 3;
}
