#include "engine/board/perft.h"

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"

bool is_duplicate_path(const PlyRecord& record, int index) {
    if (record.max_captured == 0) return false;  // quiet moves are all distinct
    const MoveRecord& move = record.moves[index];
    for (int i = 0; i < index; ++i) {
        const MoveRecord& other = record.moves[i];
        if (((other.word ^ move.word) & MOVE_WORD_MASK) == 0 && other.remaining == move.remaining) {
            return true;
        }
    }
    return false;
}

std::uint64_t perft(PlyRecord& record, Side side, int depth, bool unique) {
    if (depth <= 0) return 1;
    // Bulk counting: the last ply's moves are counted, not made.
    if (depth == 1 && !unique) return static_cast<std::uint64_t>(count_moves(side, record));
    // The list of generate_moves; the other side's capture sets, which it also works
    // out, are not needed to count.
    find_own_captures(side, record);
    list_moves(side, record);
    const int n = record.move_count;
    std::uint64_t total = 0;
    if (depth == 1) {
        for (int i = 0; i < n; ++i) total += is_duplicate_path(record, i) ? 0 : 1;
        return total;
    }
    for (int i = 0; i < n; ++i) {
        if (unique && is_duplicate_path(record, i)) continue;
        make_move(record, record.moves[i]);
        total += perft((&record)[1], ~side, depth - 1, unique);
    }
    return total;
}
