#pragma once
// The strong engine's transposition table: 64-bit position hashes, buckets of four
// 16-byte entries on one cache line, depth-preferred replacement that gives way to
// entries of earlier searches. The table lives for the whole game: each search ages it
// instead of clearing it.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/board/board.h"

// A hash of the position and the side to move, computed from the board alone.
inline std::uint64_t mix_hash(std::uint64_t x) {
    x ^= x >> 31;
    x *= 0x7FB5D329728EA185ull;
    x ^= x >> 27;
    x *= 0x81DADEF4BC2DD44Dull;
    return x ^ (x >> 33);
}
inline std::uint64_t position_hash(const Board& b, Side side) {
    const std::uint64_t h = mix_hash(b.white_men ^ 0x9E3779B97F4A7C15ull) ^
                            mix_hash(b.black_men + 0x3C6EF372FE94F82Aull) * 3 ^
                            mix_hash(b.white_kings ^ 0xDAA66D2C7DDF743Full) * 5 ^
                            mix_hash(b.black_kings + 0x78DDE6E5FD29F054ull) * 7;
    return side == WHITE ? h : ~h;
}

enum StrongBound : std::uint8_t { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_LOWER = 2, BOUND_EXACT = 3 };

struct StrongEntry {
    std::uint32_t lock = 0;  // the hash's high half
    std::uint32_t move = 0;  // the best move's word without the tried flag; 0: none
    std::int16_t score = 0;
    std::uint8_t depth = 0;
    std::uint8_t bound_age = 0;  // bits 0-1 the bound, bits 2-7 the search it was stored in
    std::uint16_t move_index = 0;
    std::uint16_t unused = 0;

    StrongBound bound() const { return static_cast<StrongBound>(bound_age & 3); }
    int age() const { return bound_age >> 2; }
};
static_assert(sizeof(StrongEntry) == 16);

class StrongTable {
public:
    explicit StrongTable(int bucket_bits = 19);

    void clear();
    // The next search: entries of earlier ones may be replaced first.
    void age() { generation_ = (generation_ + 1) & 63; }

    // The entry of `hash`, or nullptr.
    const StrongEntry* probe(std::uint64_t hash) const;
    void store(std::uint64_t hash, int depth, int score, StrongBound bound, std::uint32_t move, int move_index);
    void prefetch(std::uint64_t hash) const { __builtin_prefetch(bucket(hash)); }

    std::size_t size_bytes() const { return (bucket_mask_ + 1) * sizeof(Bucket); }

private:
    struct alignas(64) Bucket {
        StrongEntry entries[4];
    };
    Bucket* bucket(std::uint64_t hash) const { return buckets_.get() + (hash & bucket_mask_); }

    struct Release {
        void operator()(Bucket* b) const;
    };
    std::unique_ptr<Bucket[], Release> buckets_;
    std::uint64_t bucket_mask_;
    int generation_ = 0;
};
