#include "engine/search/tt.h"

#include <sys/mman.h>

#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/board/makemove.h"

std::array<std::uint32_t, HISTORY_SIZE> History{};

namespace tt_internal {
const TTEntry* buckets = nullptr;
std::uint32_t bucket_mask = 0;
}  // namespace tt_internal

namespace {

TTEntry* table = nullptr;
TTSize size_in_force{0, 0};
std::uint32_t allocation_cap = 0;
// The search in progress, stored in every entry: bumping it ages the whole table at
// once, where marking each entry would hold up the end of every search for a pass over
// megabytes of memory.
std::uint16_t generation = 0;
constexpr std::uint16_t GENERATIONS = 1024;
void (*store_observer)(const TTEntry&) = nullptr;

// Every node probes a random bucket, so the table is one long run of cache and TLB
// misses; on 2 MB pages the TLB misses go (where the system grants them).
constexpr std::size_t LARGE_PAGE = 2 * 1024 * 1024;

TTEntry* allocate_entries(std::uint32_t entries) {
    if (allocation_cap != 0 && entries > allocation_cap) return nullptr;
    const std::size_t bytes = (std::size_t{entries} * sizeof(TTEntry) + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    void* block = std::aligned_alloc(LARGE_PAGE, bytes);
    if (block == nullptr) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(block, bytes, MADV_HUGEPAGE);
#endif
    std::memset(block, 0, bytes);
    return static_cast<TTEntry*>(block);
}

}  // namespace

int tt_allocate(TTMode mode, int choice) {
    if (mode == TTMode::START_UP) {
        History.fill(0);
        choice = TT_DEFAULT_CHOICE;
    }
    tt_free();
    if (choice < 0 || choice >= static_cast<int>(TT_SIZES.size())) choice = TT_DEFAULT_CHOICE;
    for (; choice > 0; --choice) {
        table = allocate_entries(TT_SIZES[choice].entries);
        if (table != nullptr) break;
    }
    size_in_force = table != nullptr ? TT_SIZES[choice] : TT_SIZES[0];
    tt_internal::buckets = table;
    tt_internal::bucket_mask = size_in_force.mask;
    return choice;
}

void tt_free() {
    std::free(table);
    table = nullptr;
    size_in_force = TT_SIZES[0];
    tt_internal::buckets = nullptr;
    tt_internal::bucket_mask = 0;
}

void tt_clear(PlyRecord& root) {
    for (std::uint32_t i = 0; i < size_in_force.entries; ++i) {
        table[i].key = 0;
        table[i].depth = 0;
        table[i].score = 0;
    }
    root.key = compute_key(root);
}

void tt_age() {
    generation = static_cast<std::uint16_t>((generation + 1) % GENERATIONS);
    if (generation != 0) return;
    // The count has come round: entries of 1024 searches ago would look current again.
    for (std::uint32_t i = 0; i < size_in_force.entries; ++i) {
        if (table[i].flags != 0) table[i].flags |= TT_OLD;
    }
}

bool tt_is_old(const TTEntry& entry) {
    return (entry.flags & TT_OLD) != 0 || entry.flags >> TT_GENERATION_SHIFT != generation;
}

void tt_store(unsigned depth, int alpha, int beta, const PlyRecord& record, int score, Side side) {
    if (table == nullptr) return;
    // The first entry keeps the deepest result of the current search; the second takes
    // whatever comes last. An entry left from an earlier search yields at once.
    TTEntry* entry = &table[record.key & size_in_force.mask];
    if (depth < entry->depth && !tt_is_old(*entry)) ++entry;

    assert(depth <= 0xFFFF && score >= INT16_MIN && score <= INT16_MAX);
    entry->key = record.key;
    entry->depth = static_cast<std::uint16_t>(depth);
    entry->score = static_cast<std::int16_t>(score);
    std::uint16_t flags = score >= beta ? TT_LOWER : score > alpha ? TT_EXACT : TT_UPPER;
    if (record.node_flags == 7) flags |= TT_SINGULAR;
    flags |= side == WHITE ? TT_WHITE_TO_MOVE : TT_BLACK_TO_MOVE;
    entry->flags = static_cast<std::uint16_t>(flags | generation << TT_GENERATION_SHIFT);
    entry->move_index = static_cast<std::uint16_t>(record.best);
    entry->move = record.moves[record.best].word & MOVE_WORD_MASK;
    if (store_observer != nullptr) store_observer(*entry);
}

const TTEntry* tt_matched_entry(const PlyRecord& record) {
    if (table == nullptr) return nullptr;
    return &table[(record.key & size_in_force.mask) + static_cast<std::uint32_t>(record.tt_slot)];
}

const TTEntry* tt_find(std::uint32_t key) {
    if (table == nullptr) return nullptr;
    const TTEntry* entry = &table[key & size_in_force.mask];
    if (entry->key == key) return entry;
    if (entry[1].key == key) return entry + 1;
    return nullptr;
}

std::uint32_t tt_entry_count() { return size_in_force.entries; }

std::size_t tt_size_bytes() { return std::size_t{size_in_force.entries} * sizeof(TTEntry); }

void tt_set_allocation_cap(std::uint32_t max_entries) { allocation_cap = max_entries; }

void tt_set_store_observer(void (*observer)(const TTEntry&)) { store_observer = observer; }
