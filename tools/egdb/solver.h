#pragma once
// Solving the databases of one material and of its mirror (the same pieces with the
// other side to move), which reach each other by every quiet move. Captures and
// crownings lead into databases solved before, read from a SolvedSet.

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/board/board.h"
#include "engine/knowledge/egdb_index.h"

// Finished value arrays (four values a byte, as in the files), by material key.
class SolvedSet {
  public:
    void add(const EgdbMaterial& m, std::vector<std::uint8_t> values);
    void drop(const EgdbMaterial& m);
    bool has(const EgdbMaterial& m) const { return !values_[material_key(m)].empty(); }
    std::int64_t bytes() const;

    // The value for Black to move of a board reached by a White move: EGDB_LOSS when
    // Black has no piece left, EGDB_UNKNOWN when its database is not in the set.
    int value_for_black(const Board& board) const;

  private:
    std::vector<std::uint8_t> values_[EGDB_KEY_COUNT];
};

struct SolvedDatabase {
    EgdbMaterial material;
    std::vector<std::uint8_t> values;  // packed; indices of no position hold 3
    std::int64_t wins = 0;
    std::int64_t draws = 0;
    std::int64_t losses = 0;
    std::int64_t positions() const { return wins + draws + losses; }
};

// What a solve is doing, for the progress display (read from another thread).
struct SolveProgress {
    std::atomic<std::int64_t> scanned{0};  // indices through the first pass
    std::atomic<int> round{0};             // rounds of the backward pass begun
    std::atomic<std::int64_t> decided{0};  // positions decided by the backward pass
    std::atomic<std::int64_t> missing{
        0};  // moves into a database not in the set, or without an index
};

// Solves `material` and its mirror (one database when they are the same) on `threads`
// threads. Every database a capture or a crowning leads to must be in `solved`.
std::vector<SolvedDatabase> solve_pair(const EgdbMaterial& material, const SolvedSet& solved,
                                       int threads, SolveProgress& progress);
