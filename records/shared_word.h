#pragma once

#include <atomic>
#include <cstdint>

// A 32-bit value of the process-wide records. The engine thread and the main thread
// both touch these records, so every word is atomic; plain loads and stores (sequentially
// consistent) everywhere except the search's own hot path, which uses relaxed loads.
using Word = std::atomic<std::int32_t>;
