#pragma once
// The list File > Open shows for a file of several games: number, White, Black, Event,
// Date and Result of each, to pick one from. The games are found on a worker thread, so
// the window goes on while a file of 100,000 games is gone through; the list fills once
// they are all found.

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/pdn.h"

class GamePicker {
  public:
    static constexpr int COLUMN_COUNT = 6;
    static constexpr std::array<const char*, COLUMN_COUNT> COLUMN_TITLES{"No.",   "White", "Black",
                                                                         "Event", "Date",  "Result"};

    // Starts going through `text`.
    explicit GamePicker(std::shared_ptr<const std::string> text);
    // Stops the worker early if it still runs.
    ~GamePicker();
    GamePicker(const GamePicker&) = delete;
    GamePicker& operator=(const GamePicker&) = delete;

    // Main thread: true once every game is found and in the list.
    bool poll();
    bool ready() const { return ready_; }

    int rows() const { return static_cast<int>(entries_.size()); }
    // The text of a cell ("" outside the list).
    std::string cell(int row, int column) const;
    const PdnIndexEntry& entry(int row) const { return entries_.at(static_cast<std::size_t>(row)); }
    // "Reading the games..." until ready, then "12 games".
    std::string status() const;

  private:
    std::shared_ptr<const std::string> text_;
    std::atomic<bool> done_{false};
    std::atomic<bool> cancel_{false};
    std::vector<PdnIndexEntry> found_;  // the worker's until done_
    std::vector<PdnIndexEntry> entries_;
    bool ready_ = false;
    std::thread worker_;
};
