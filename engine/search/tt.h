#pragma once
// The transposition table: buckets of two entries indexed by the position key. The
// side to move is not part of the key; each entry carries a side mark instead.

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/board/board.h"

// 16 bytes: a bucket of two entries fills half of a 64-byte cache line and never
// straddles two, so a probe costs one memory access. Depths (at most a few dozen) and
// scores (within the root window of +-30000) fit their 16-bit fields.
struct TTEntry {
    std::uint32_t key;    // full key of the stored position; 0 when cleared
    std::uint16_t depth;  // remaining depth the position was searched to
    std::int16_t score;   // for the side to move
    std::uint16_t move_index;
    std::uint16_t flags;
    std::uint32_t move;  // the move's word without the tried flag
};
static_assert(sizeof(TTEntry) == 16);

// Entry flags.
inline constexpr std::uint16_t TT_EXACT = 0;
inline constexpr std::uint16_t TT_UPPER = 1;  // the true score is at most `score`
inline constexpr std::uint16_t TT_LOWER = 2;  // at least `score`
inline constexpr std::uint16_t TT_BOUND_MASK = 3;
inline constexpr std::uint16_t TT_SINGULAR = 4;
inline constexpr std::uint16_t TT_WHITE_TO_MOVE = 8;
inline constexpr std::uint16_t TT_BLACK_TO_MOVE = 16;
inline constexpr std::uint16_t TT_OLD = 32;
// Bits 6-15 hold the search an entry was stored in; an entry of an earlier search counts
// as OLD too, so that aging the table costs nothing (see tt_age).
inline constexpr std::uint16_t TT_MARK_MASK = 0x3F;
inline constexpr int TT_GENERATION_SHIFT = 6;

struct TTSize {
    std::uint32_t entries;
    std::uint32_t mask;  // entries - 2: key AND mask is the even first entry of a bucket
};

// Indexed by the Memory dialog's choice: 0, 64K, 128K, 256K, 512K, 1024K entries.
inline constexpr std::array<TTSize, 6> TT_SIZES = {{
    {0, 0},
    {65536, 0xFFFE},
    {131072, 0x1FFFE},
    {262144, 0x3FFFE},
    {524288, 0x7FFFE},
    {1048576, 0xFFFFE},
}};
inline constexpr int TT_DEFAULT_CHOICE = 3;

enum class TTMode { START_UP, REALLOCATE };

// History counters, indexed by a move's key (to * 64 + from).
inline constexpr int HISTORY_SIZE = 4096;
extern std::array<std::uint32_t, HISTORY_SIZE> History;

// Allocates the table for `choice` (START_UP: always choice 3, and the history is
// cleared), stepping down to smaller sizes while an allocation fails. Returns the
// choice in force; choice 0, or every size failing, leaves no table.
int tt_allocate(TTMode mode, int choice);
void tt_free();

// Empties the table (keys, depths, scores) and sets the root's key from scratch.
void tt_clear(PlyRecord& root);
// Marks every used entry OLD, so that the next search may replace it at once.
void tt_age();
bool tt_is_old(const TTEntry& entry);

namespace tt_internal {
extern const TTEntry* buckets;  // nullptr without a table (the mask is then 0)
extern std::uint32_t bucket_mask;
}  // namespace tt_internal

enum TTProbe { TT_MISS = 0, TT_HIT = 1, TT_CUTOFF = 2 };
// 0: no usable entry; 1: found (its move may be tried first; alpha or beta may have
// been narrowed); 2: cut-off, `score` holds the node's value. Sets record.tt_slot.
// Inline: every node asks, and alpha, beta and the score then stay in registers.
inline int tt_probe(unsigned depth, int& alpha, int& beta, PlyRecord& record, int& score, Side side) {
    const TTEntry* entry = tt_internal::buckets;
    if (entry == nullptr) return TT_MISS;
    entry += record.key & tt_internal::bucket_mask;
    if (entry->key == record.key) {
        record.tt_slot = 0;
    } else if (entry[1].key == record.key) {
        record.tt_slot = 1;
        ++entry;
    } else {
        return TT_MISS;
    }
    if (entry->flags & (side == WHITE ? TT_BLACK_TO_MOVE : TT_WHITE_TO_MOVE)) return TT_MISS;
    if (entry->depth < depth) return TT_HIT;
    switch (entry->flags & TT_BOUND_MASK) {
        case TT_EXACT:
            score = entry->score;
            return TT_CUTOFF;
        case TT_UPPER:
            if (entry->score <= alpha) {
                score = entry->score;
                return TT_CUTOFF;
            }
            if (entry->score < beta) beta = entry->score;
            return TT_HIT;
        default:  // TT_LOWER
            if (entry->score >= beta) {
                score = entry->score;
                return TT_CUTOFF;
            }
            if (entry->score > alpha) alpha = entry->score;
            return TT_HIT;
    }
}
void tt_store(unsigned depth, int alpha, int beta, const PlyRecord& record, int score, Side side);

// Starts loading the bucket of `key` into the cache: the probe that follows a move
// would otherwise wait for memory. Inline, as it is asked for at every move listed.
inline void tt_prefetch(std::uint32_t key) {
    __builtin_prefetch(tt_internal::buckets + (key & tt_internal::bucket_mask));
}

// The bucket entry a record's last probe matched, or nullptr without a table.
const TTEntry* tt_matched_entry(const PlyRecord& record);
// The entry of the bucket holding `key` (first entry, else second), or nullptr.
const TTEntry* tt_find(std::uint32_t key);

std::uint32_t tt_entry_count();
std::size_t tt_size_bytes();

// Tests: allocations of more than `max_entries` entries fail; 0 lifts the cap.
void tt_set_allocation_cap(std::uint32_t max_entries);
// Tests: called with every entry as it is stored; nullptr removes the observer.
void tt_set_store_observer(void (*observer)(const TTEntry&));
