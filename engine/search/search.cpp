#include "engine/search/search.h"

#include <utility>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"

RootList root_list;

namespace {

GameState* state = nullptr;
PlyRecord* deepest = nullptr;  // a node here is evaluated: the stack has no room below it
SearchCounters counters;

inline bool stopped() {
    return state->engine_request.load(std::memory_order_relaxed) != REQUEST_SEARCH;
}

// The root move being searched, and the one the engine would play now.
void publish_examined(const PlyRecord& root) {
    state->examined_word = static_cast<std::int32_t>(root.moves[root.current].word & MOVE_WORD_MASK);
    state->examined_move = root.current;
    report_progress(2);
}

void publish_engine_move(const PlyRecord& root) {
    state->engine_word = static_cast<std::int32_t>(root.moves[root.current].word & MOVE_WORD_MASK);
    state->engine_move = root.current;
    report_progress(3);
}

inline int evaluate_leaf(Side side, PlyRecord& record, int alpha) {
    ++counters.evaluations;
    return evaluate(side, record, alpha);
}

}  // namespace

void search_begin(GameState& game, PlyRecord& root) {
    state = &game;
    deepest = &root + (PLY_STACK_SIZE - 1);
    counters = SearchCounters{};
}

const SearchCounters& search_counters() { return counters; }

void history_reset() { History.fill(1); }

void history_bonus(const PlyRecord& record, int depth) {
    std::uint32_t& counter = History[move_key(record.moves[record.best].word)];
    if (counter == 0xFFFFFFFFu) return;
    if (depth > 31) {
        counter = 0xFFFFFFFFu;
        return;
    }
    const std::uint32_t bonus = 1u << depth;
    if (counter <= 0xFFFFFFFFu - bonus) counter += bonus;
}

void pick_history_move(PlyRecord& record) {
    // The first untried move with the highest counter. Each move is ranked by its
    // counter (0 when tried) in the high half of a word and its index, counted down, in
    // the low half, so the greatest rank is the highest counter and, among equal
    // counters, the earliest move: the tie rule of a scan that replaces only on a
    // strictly greater counter, without a branch that depends on the data.
    const MoveRecord* moves = record.moves;
    const int count = record.move_count;
    std::uint64_t best_rank = 0;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t word = moves[i].word;
        const std::uint32_t untried = ((word & MOVE_TRIED) >> 4) - 1;  // all ones, or 0 if tried
        const std::uint64_t rank = std::uint64_t{History[move_key(word)] & untried} << 32 |
                                   static_cast<std::uint32_t>(~i);
        best_rank = rank > best_rank ? rank : best_rank;
    }
    int chosen = static_cast<int>(~static_cast<std::uint32_t>(best_rank));
    if (best_rank >> 32 == 0) {  // counters never reset: take the first untried move
        chosen = -1;
        for (int i = 0; i < count && chosen < 0; ++i) {
            if (!(moves[i].word & MOVE_TRIED)) chosen = i;
        }
        if (chosen < 0) return;
    }
    record.current = chosen;
    make_move(record, record.moves[chosen]);
}

namespace {

// Whether the record's matched table entry names a move of its list.
const TTEntry* usable_table_move(const PlyRecord& record) {
    const TTEntry* entry = tt_matched_entry(record);
    if (entry == nullptr || entry->move_index >= record.move_count) return nullptr;
    return record.moves[entry->move_index].word == entry->move ? entry : nullptr;
}

}  // namespace

int pick_tt_move(PlyRecord& record) {
    const TTEntry* entry = usable_table_move(record);
    if (entry == nullptr) {
        pick_history_move(record);
        return 0;
    }
    record.current = entry->move_index;
    make_move(record, record.moves[record.current]);
    return (entry->flags & TT_SINGULAR) ? 1 : 0;
}

int pick_root_move(PlyRecord& record, bool first) {
    const TTEntry* entry = first ? usable_table_move(record) : nullptr;
    for (int pass = entry != nullptr ? 0 : 1; pass < 2; ++pass) {
        for (int k = 0; k < root_list.count; ++k) {
            RootSlot& slot = root_list.slots[k];
            const bool wanted = pass == 0 ? slot.move_index == entry->move_index : slot.flag == 1;
            if (!wanted) continue;
            slot.flag = 0;
            record.current = slot.move_index;
            make_move(record, record.moves[record.current]);
            return k;
        }
    }
    return 0;
}

void root_list_init(const PlyRecord& record) {
    root_list.count = record.move_count;
    for (int k = 0; k < record.move_count; ++k) root_list.slots[k] = RootSlot{1, k, -100000};
}

void root_list_sort() {
    // Bubble sort, highest score first; equal scores keep their order.
    for (int end = root_list.count - 1; end > 0; --end) {
        for (int k = 0; k < end; ++k) {
            if (root_list.slots[k].score < root_list.slots[k + 1].score) {
                std::swap(root_list.slots[k], root_list.slots[k + 1]);
            }
        }
    }
    for (int k = 0; k < root_list.count; ++k) root_list.slots[k].flag = 1;
}

int search(int depth, int alpha, int beta, PlyRecord& record, Side side) {
    // The path may not run past the ply stack: score the deepest record as it stands.
    if (&record >= deepest) return evaluate_leaf(side, record, alpha);

    // The moves are listed before the table is asked (nothing reads them until the
    // probe is answered), and every child's bucket is asked for as soon as its move is
    // known: each child probes the table first thing, and memory is the slowest part of
    // a node. A quiet position at the horizon needs no list (its captures decide).
    if (depth > 0) {
        find_captures(side, record);
    } else {
        find_own_captures(side, record);  // at the horizon only these matter
    }
    const bool must_capture =
        (record.capture_flags & (side == WHITE ? WHITE_MAN_CAN_CAPTURE | WHITE_KING_CAN_CAPTURE
                                               : BLACK_MAN_CAN_CAPTURE | BLACK_KING_CAN_CAPTURE)) != 0;
    const bool listed = depth > 0 || must_capture;
    if (listed) {
        list_moves(side, record);
        for (int i = 0; i < record.move_count; ++i) tt_prefetch(key_after(record, record.moves[i]));
    }

    // Step 1. Table probe; alpha and beta may narrow.
    int table_score = 0;
    const int probe = tt_probe(static_cast<unsigned>(depth), alpha, beta, record, table_score, side);
    if (probe == TT_CUTOFF) return table_score;

    // Step 2. Stop request.
    if (stopped()) return alpha;

    // Step 3. Count the node.
    ++counters.nodes;
    record.current = 0;
    record.node_flags = 0;
    const std::uint32_t capture_flags = record.capture_flags & 0xF;
    const int material = side == WHITE ? record.material : -record.material;

    // Step 5. Well ahead in material, with no capture in the air and no enemy man
    // running free: search shallower. The margins are measured from beta.
    int d = depth;
    if (depth > 0 && capture_flags == 0 && material > beta + 80 && !has_free_man(side, record)) {
        d = depth - 1;
        if (material > beta + 180 && depth >= 2) d = depth - 2;
    }
    const bool opponent_has_pieces = (side == WHITE ? record.black_count : record.white_count) != 0;

    // Steps 4, 6 and 7 at the horizon without a capture: the position is scored, and
    // only whether a move exists matters, not the list (the same answers as below).
    if (d == 0 && !must_capture) {
        if (!has_quiet_move(side, record.board)) return -WIN_SCORE;
        if (!opponent_has_pieces) return WIN_SCORE;
        return evaluate_leaf(side, record, alpha);
    }

    // Step 4. The moves (listed above: a node that gets here has them).
    int n = record.move_count;

    // Step 6. Decided positions.
    if (n == 0) return -WIN_SCORE;
    if (!opponent_has_pieces) return WIN_SCORE;

    // Step 7. A list cut short by the end of the move stack is not searched.
    if (record.capture_flags & MOVE_LIST_OVERFLOW) return evaluate_leaf(side, record, alpha);

    // Step 8. First move: the only one, the table's, or the best by history.
    int singular = 0;
    if (n == 1) {
        make_move(record, record.moves[0]);
    } else if (probe != TT_MISS) {
        singular = pick_tt_move(record);
    } else {
        pick_history_move(record);
    }
    record.best = record.current;

    // Step 9. A single reply, or a capture at the horizon, costs no depth.
    const bool free_node = n == 1 || d == 0;
    const int child_depth = free_node ? d : d - 1;
    const int research_depth = free_node ? depth : depth - 1;
    PlyRecord& next = (&record)[1];
    const Side opponent = ~side;

    // Step 10. The first move with the full window; a singular table move one ply deeper.
    int v = -search(singular && !free_node ? d : child_depth, -beta, -alpha, next, opponent);
    int best = v;
    if (stopped()) return alpha;

    // Step 11. While the first move stands out, the others need only stay 25 below it.
    int margin = 0;
    if (alpha < v && v < beta && n >= 2) {
        record.node_flags = 3;
        margin = SCOUT_MARGIN;
    }

    // Step 12. The other moves: null-window scouts, re-searched when they succeed.
    for (;;) {
        if (best > alpha) {
            alpha = best;
            if (best >= beta) {
                history_bonus(record, depth);
                tt_store(static_cast<unsigned>(depth), alpha, beta, record, best, side);
                return best;
            }
        }
        if (--n == 0) {
            record.node_flags |= 4;
            break;
        }
        pick_history_move(record);
        const int scout_alpha = alpha - margin;
        v = -search(child_depth, -scout_alpha - 1, -scout_alpha, next, opponent);
        if (stopped()) return alpha;
        if (scout_alpha < v && v < beta) {
            v = -search(research_depth, -beta, -v, next, opponent);
            if (stopped()) return alpha;
            if (record.node_flags & 1) {
                const bool stands_out = alpha + margin < v && v < beta;
                record.node_flags = stands_out ? 3 : 1;
                margin = stands_out ? SCOUT_MARGIN : 0;
            }
        }
        if (v > best) {
            best = v;
            record.best = record.current;
        }
    }

    // Step 13. Every move searched: alpha is already raised to the best score.
    if (best >= alpha) history_bonus(record, depth);
    tt_store(static_cast<unsigned>(depth), alpha, beta, record, best, side);
    return best;
}

int root_search(int depth, int alpha, int beta, PlyRecord& record, Side side) {
    int table_score = 0;
    const int probe = tt_probe(static_cast<unsigned>(depth), alpha, beta, record, table_score, side);
    if (probe == TT_CUTOFF) return table_score;

    record.current = 0;
    record.node_flags = 0;
    generate_moves(side, record);
    int n = record.move_count;
    if (n == 0) return -WIN_SCORE;

    int slot = 0;
    if (n == 1) {
        make_move(record, record.moves[0]);
    } else {
        slot = pick_root_move(record, probe != TT_MISS);
    }
    record.best = record.current;
    publish_examined(record);
    publish_engine_move(record);

    PlyRecord& next = (&record)[1];
    const Side opponent = ~side;
    int v = -search(n == 1 ? depth : depth - 1, -beta, -alpha, next, opponent);
    root_list.slots[slot].score = v;
    if (stopped()) return alpha;
    state->score = v;
    report_progress(4);

    for (;;) {
        if (v > alpha) {
            record.best = record.current;
            alpha = v;
            if (v >= beta) {
                history_bonus(record, depth);
                tt_store(static_cast<unsigned>(depth), alpha, beta, record, v, side);
                return v;
            }
        }
        if (--n == 0) break;
        slot = pick_root_move(record, false);
        publish_examined(record);
        v = -search(depth - 1, -alpha - 1, -alpha, next, opponent);
        root_list.slots[slot].score = v;
        if (stopped()) return alpha;
        if (alpha < v && v < beta) {
            // Named before its re-search ends: a stop now plays this move.
            publish_engine_move(record);
            v = -search(depth - 1, -beta, -v, next, opponent);
            root_list.slots[slot].score = v;
            if (stopped()) return alpha;
            state->score = v;
            report_progress(4);
        }
    }
    history_bonus(record, depth);
    tt_store(static_cast<unsigned>(depth), alpha, beta, record, alpha, side);
    return alpha;
}
