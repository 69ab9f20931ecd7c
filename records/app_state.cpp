#include "records/app_state.h"

#include <atomic>
#include <chrono>

namespace {

std::int64_t steady_milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::atomic<std::int64_t (*)()> tick_source{steady_milliseconds};

}  // namespace

AppState& app_state() {
    static AppState instance;
    return instance;
}

std::int32_t tick_seconds() { return static_cast<std::int32_t>(tick_source.load()() / 1000); }

void set_tick_source(std::int64_t (*milliseconds)()) {
    tick_source = milliseconds ? milliseconds : steady_milliseconds;
}
