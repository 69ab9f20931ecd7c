#pragma once
// Progress of long runs on stderr: a bar redrawn in place on a terminal, a plain line
// every ten seconds when stderr is a file or a pipe.

#include <chrono>
#include <string>

class ProgressDisplay {
  public:
    explicit ProgressDisplay(bool enabled);

    // The bar for `label` at `fraction` (0-1), with a word on what is being done.
    void show(const std::string& label, double fraction, const std::string& detail);
    // Replaces the bar with a finished line.
    void line(const std::string& text);
    double elapsed() const;

  private:
    bool enabled_;
    bool terminal_;
    bool bar_shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_line_;
};

// Largest resident size of the process so far, in megabytes.
double peak_memory_mb();
