#include "tools/egdb/progress.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int BAR_WIDTH = 30;
constexpr double LINE_INTERVAL = 10.0;  // seconds between plain progress lines

}  // namespace

ProgressDisplay::ProgressDisplay(bool enabled)
    : enabled_(enabled),
      terminal_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now()),
      last_line_(start_) {}

double ProgressDisplay::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressDisplay::show(const std::string& label, double fraction, const std::string& detail) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!terminal_ && std::chrono::duration<double>(now - last_line_).count() < LINE_INTERVAL)
        return;
    last_line_ = now;
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int filled = static_cast<int>(fraction * BAR_WIDTH + 0.5);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(BAR_WIDTH - filled), '.');
    std::fprintf(stderr, "%s%-14s [%s] %3d%%  %-24s %8.1f s%s", terminal_ ? "\r" : "",
                 label.c_str(), bar.c_str(), static_cast<int>(fraction * 100), detail.c_str(),
                 elapsed(), terminal_ ? "" : "\n");
    std::fflush(stderr);
    bar_shown_ = terminal_;
}

void ProgressDisplay::line(const std::string& text) {
    if (!enabled_) return;
    if (bar_shown_) std::fprintf(stderr, "\r\033[K");
    bar_shown_ = false;
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

double peak_memory_mb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes on Linux
}
