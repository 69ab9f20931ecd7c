#include "engine/search/strong_table.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Every node asks a random bucket: on 4 KB pages nearly each ask is a TLB miss, which
// stalls even the prefetch. On 2 MB pages (where the system grants them) those go.
constexpr std::size_t LARGE_PAGE = 2 * 1024 * 1024;

void* allocate_on_large_pages(std::size_t bytes) {
    bytes = (bytes + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    void* block = std::aligned_alloc(LARGE_PAGE, bytes);
    if (block == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(block, bytes, MADV_HUGEPAGE);
#endif
    return block;
}

}  // namespace

void StrongTable::Release::operator()(Bucket* b) const { std::free(b); }

StrongTable::StrongTable(int bucket_bits)
    : buckets_(static_cast<Bucket*>(allocate_on_large_pages(sizeof(Bucket) << bucket_bits))),
      bucket_mask_((std::uint64_t{1} << bucket_bits) - 1) {
    clear();
}

void StrongTable::clear() {
    std::fill(buckets_.get(), buckets_.get() + bucket_mask_ + 1, Bucket{});
    generation_ = 0;
}

const StrongEntry* StrongTable::probe(std::uint64_t hash) const {
    const auto lock = static_cast<std::uint32_t>(hash >> 32);
    for (const StrongEntry& e : bucket(hash)->entries) {
        if (e.lock == lock && e.bound() != BOUND_NONE) return &e;
    }
    return nullptr;
}

void StrongTable::store(std::uint64_t hash, int depth, int score, StrongBound bound, std::uint32_t move,
                        int move_index) {
    const auto lock = static_cast<std::uint32_t>(hash >> 32);
    StrongEntry* entries = bucket(hash)->entries;
    // The position's own entry, else the one least worth keeping: shallow, or left by
    // an earlier search.
    StrongEntry* victim = entries;
    int victim_worth = 1 << 30;
    for (int i = 0; i < 4; ++i) {
        StrongEntry& e = entries[i];
        if (e.lock == lock || e.bound() == BOUND_NONE) {
            victim = &e;
            break;
        }
        const int stale = (generation_ - e.age()) & 63;
        const int worth = e.depth - 8 * stale;
        if (worth < victim_worth) {
            victim_worth = worth;
            victim = &e;
        }
    }
    // A shallower result of the same search keeps a deeper one's move and bound unless
    // it is exact.
    if (victim->lock == lock && victim->bound() != BOUND_NONE && bound != BOUND_EXACT &&
        depth + 2 < victim->depth && victim->age() == generation_) {
        return;
    }
    if (move == 0 && victim->lock == lock) {
        move = victim->move;
        move_index = victim->move_index;
    }
    victim->lock = lock;
    victim->move = move;
    victim->move_index = static_cast<std::uint16_t>(move_index);
    victim->score = static_cast<std::int16_t>(score);
    victim->depth = static_cast<std::uint8_t>(std::clamp(depth, 0, 255));
    victim->bound_age = static_cast<std::uint8_t>(bound | generation_ << 2);
}
