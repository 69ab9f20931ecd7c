#include "tools/egdb/position_cursor.h"

#include <bit>

namespace {

// Next combination in lexicographic order; at the last one, back to the first and false.
bool step(int length, int n, int* values) {
    int i = length - 1;
    while (i >= 0 && values[i] == n - length + i) --i;
    if (i < 0) {
        for (int j = 0; j < length; ++j) values[j] = j;
        return false;
    }
    ++values[i];
    for (int j = i + 1; j < length; ++j) values[j] = values[j - 1] + 1;
    return true;
}

void unrank(std::int64_t rank, int length, int n, int* values) {
    int x = 0;
    for (int i = 0; i < length; ++i) {
        // Passing over x skips every combination whose next entry is x.
        while (rank >= BINOMIAL[n - 1 - x][length - 1 - i]) {
            rank -= BINOMIAL[n - 1 - x][length - 1 - i];
            ++x;
        }
        values[i] = x++;
    }
}

constexpr Bitboard bit_of(int normalised) {
    return BIT_MASK[SQUARE_TO_BIT[normalised + 1]];
}

constexpr std::uint64_t ALL_SQUARES = (std::uint64_t{1} << 50) - 1;
constexpr std::uint64_t MEN_SQUARES =
    ALL_SQUARES & ~std::uint64_t{0x1F};  // the side to move's men: 5-49

}  // namespace

PositionCursor::PositionCursor(const EgdbMaterial& m) {
    const int lengths[4] = {m.om, m.sm, m.ok, m.sk};
    const int sizes[4] = {45, 45, 50 - m.sm - m.om, 50 - m.sm - m.om - m.ok};
    for (int l = 0; l < 4; ++l) {
        levels_[l].length = lengths[l];
        levels_[l].n = sizes[l];
        levels_[l].count = BINOMIAL[sizes[l]][lengths[l]];
    }
    for (int v = 0; v < 45; ++v) free_[0][v] = v;
    free_count_[0] = 45;
    end_ = egdb_position_count(m);
}

void PositionCursor::reset_below(int level) {
    for (int l = level; l < 4; ++l) {
        for (int j = 0; j < levels_[l].length; ++j) levels_[l].values[j] = j;
        levels_[l].rank = 0;
    }
}

// Places the pieces of `level` and every level inside it (whose squares depend on it).
// False when the side to move's men fall off the end of their squares: that index
// belongs to no position.
bool PositionCursor::place_from(int level) {
    for (int l = level; l < 4; ++l) {
        if (l > level) {
            // Level 1 draws from 5-49, the others from every square; all skip what the
            // outer levels hold.
            const std::uint64_t taken =
                l == 1 ? used_[0] : used_[0] | used_[1] | (l == 3 ? used_[2] : 0);
            int n = 0;
            for (std::uint64_t f = ~taken & (l == 1 ? MEN_SQUARES : ALL_SQUARES); f; f &= f - 1) {
                free_[l][n++] = std::countr_zero(f);
            }
            free_count_[l] = n;
        }
        const Level& lv = levels_[l];
        if (lv.length > 0 && lv.values[lv.length - 1] >= free_count_[l]) return false;
        Bitboard pieces = 0;
        std::uint64_t used = 0;
        for (int j = 0; j < lv.length; ++j) {
            const int v = free_[l][lv.values[j]];
            pieces |= bit_of(v);
            used |= std::uint64_t{1} << v;
        }
        pieces_[l] = pieces;
        used_[l] = used;
    }
    board_.black_men = pieces_[0];
    board_.white_men = pieces_[1];
    board_.black_kings = pieces_[2];
    board_.white_kings = pieces_[3];
    board_.empty = SQUARE_BITS & ~(pieces_[0] | pieces_[1] | pieces_[2] | pieces_[3]);
    index_ = ((levels_[0].rank * levels_[1].count + levels_[1].rank) * levels_[2].count +
              levels_[2].rank) *
                 levels_[3].count +
             levels_[3].rank;
    return true;
}

bool PositionCursor::advance(int level) {
    for (;;) {
        reset_below(level + 1);
        int l = level;
        for (; l >= 0; --l) {
            Level& lv = levels_[l];
            if (step(lv.length, lv.n, lv.values.data())) {
                ++lv.rank;
                break;
            }
            lv.rank = 0;
        }
        if (l < 0) {
            index_ = -1;  // the levels have wrapped round: the next seek decodes them all
            return false;
        }
        if (place_from(l)) return true;
        level = 1;  // no room for these men: on to their next combination
    }
}

bool PositionCursor::next() {
    // Only the kings of the side to move change most of the time: place them alone.
    Level& inner = levels_[3];
    if (step(inner.length, inner.n, inner.values.data())) {
        ++inner.rank;
        Bitboard kings = 0;
        std::uint64_t used = 0;
        for (int j = 0; j < inner.length; ++j) {
            kings |= bit_of(free_[3][inner.values[j]]);
            used |= std::uint64_t{1} << free_[3][inner.values[j]];
        }
        board_.empty = (board_.empty | board_.white_kings) & ~kings;
        board_.white_kings = pieces_[3] = kings;
        used_[3] = used;
        ++index_;
        return true;
    }
    inner.rank = 0;
    return advance(2);
}

bool PositionCursor::seek(std::int64_t index) {
    if (index < 0) index = 0;
    if (index >= end_) return false;
    std::int64_t ranks[4];
    std::int64_t rest = index;
    for (int l = 3; l >= 0; --l) {
        ranks[l] = rest % levels_[l].count;
        rest /= levels_[l].count;
    }
    // Only the levels from the outermost one that changes are decoded again; a fresh
    // cursor (index_ -1) decodes them all.
    int changed = 0;
    if (index_ >= 0) {
        changed = 4;
        for (int l = 0; l < 4; ++l) {
            if (ranks[l] != levels_[l].rank) {
                changed = l;
                break;
            }
        }
        if (changed == 4) return true;
    }
    for (int l = changed; l < 4; ++l) {
        levels_[l].rank = ranks[l];
        unrank(ranks[l], levels_[l].length, levels_[l].n, levels_[l].values.data());
    }
    if (place_from(changed)) return true;
    index_ = -1;
    return advance(1);
}
