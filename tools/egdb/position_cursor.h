#pragma once
// The positions of one database in index order, decoded from the index (the inverse of
// egdb_index). Boards are White to move: White holds the side to move's pieces.

#include <array>
#include <cstdint>

#include "engine/board/board.h"
#include "engine/knowledge/egdb_index.h"

class PositionCursor {
  public:
    explicit PositionCursor(const EgdbMaterial& material);

    // Moves to the first position whose index is at least `index`; false when there is
    // none.
    bool seek(std::int64_t index);
    // Moves to the next position; false past the last one.
    bool next();

    std::int64_t index() const { return index_; }
    const Board& board() const { return board_; }

  private:
    // One of the four nested combinations: the opponent's men, the side to move's men
    // (compressed), the opponent's kings and the side to move's kings (compressed).
    struct Level {
        int length = 0;
        int n = 0;
        std::int64_t count = 0;  // C(n, length)
        std::int64_t rank = 0;
        std::array<int, EGDB_MAX_SIDE_PIECES> values{};
    };

    bool advance(int level);
    void reset_below(int level);
    bool place_from(int level);

    std::array<Level, 4> levels_;
    std::array<std::array<int, 50>, 4> free_{};  // the squares (normalised) each level draws from
    std::array<int, 4> free_count_{};
    std::array<Bitboard, 4> pieces_{};     // black men, white men, black kings, white kings
    std::array<std::uint64_t, 4> used_{};  // the same as sets of normalised indices
    std::int64_t end_ = 0;
    std::int64_t index_ = -1;  // -1 until a position is placed
    Board board_;
};
