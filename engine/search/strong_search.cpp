#include "engine/search/strong_search.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <memory>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/evaluation.h"
#include "engine/knowledge/strong_eval.h"
#include "engine/search/driver.h"
#include "engine/search/search.h"
#include "engine/search/strong_table.h"

namespace {

using Clock = std::chrono::steady_clock;

// A side without a move has lost; the sooner, the worse. Database and evaluation wins
// (WIN_SCORE) stay below every such score.
constexpr int MATE = 9000;
constexpr int MATE_BOUND = MATE - 2 * PLY_STACK_SIZE;
constexpr int INFINITE = 10000;
constexpr int MAX_PLY = PLY_STACK_SIZE - 8;
constexpr int ASPIRATION = 20;
constexpr std::size_t HISTORY_KEPT = 100;  // 25 king moves each, twice over
constexpr int PRUNING_DEPTH = 3;
constexpr int FUTILITY_MARGIN = 70;
constexpr int RAZOR_DEPTH = 2;
constexpr int RAZOR_MARGIN = 150;
constexpr int IIR_DEPTH = 3;
constexpr int PROBCUT_DEPTH = 5;
constexpr int PROBCUT_REDUCTION = 4;
constexpr int PROBCUT_MARGIN = 60;

constexpr int SCORE_TABLE_MOVE = 1 << 30;
constexpr int SCORE_KILLER = 1 << 29;
constexpr int HISTORY_LIMIT = 1 << 14;
constexpr int TAKEN = -(1 << 30);

constexpr std::uint32_t capture_flags_of(Side side) {
    return side == WHITE ? WHITE_MAN_CAN_CAPTURE | WHITE_KING_CAN_CAPTURE
                         : BLACK_MAN_CAN_CAPTURE | BLACK_KING_CAN_CAPTURE;
}

// Scores of lost positions count from the root in the search and from the position in
// the table, so that an entry holds wherever the position is met.
inline int score_to_table(int score, int ply) {
    return score > MATE_BOUND ? score + ply : score < -MATE_BOUND ? score - ply : score;
}
inline int score_from_table(int score, int ply) {
    return score > MATE_BOUND ? score - ply : score < -MATE_BOUND ? score + ply : score;
}
inline bool decides(StrongBound bound, int score, int alpha, int beta) {
    return bound == BOUND_EXACT || (bound == BOUND_LOWER && score >= beta) || (bound == BOUND_UPPER && score <= alpha);
}

// Whether `side`, to move in `record`, must capture.
inline bool offers_capture(PlyRecord& record, Side side) {
    find_own_captures(side, record);
    return (record.capture_flags & capture_flags_of(side)) != 0;
}

// A man of `side` with a free step onto its crowning row.
inline bool can_crown(Side side, const Board& b) {
    if (side == WHITE) {
        const Bitboard free = b.empty & WHITE_CROWNING_ROW;
        return (b.white_men & (free >> 5 | free >> 6)) != 0;
    }
    const Bitboard free = b.empty & BLACK_CROWNING_ROW;
    return (b.black_men & (free << 5 | free << 6)) != 0;
}

// A man's step onto its crowning row.
inline bool crowns(Side side, std::uint32_t word) {
    const std::uint32_t kind = move_kind(word);
    const Bitboard to = Bitboard{1} << move_to(word);
    return side == WHITE ? kind == WHITE_MAN_MOVE && (to & WHITE_CROWNING_ROW) != 0
                         : kind == BLACK_MAN_MOVE && (to & BLACK_CROWNING_ROW) != 0;
}

inline bool is_king_step(std::uint32_t word) {
    const std::uint32_t kind = move_kind(word);
    return kind == WHITE_KING_MOVE || kind == BLACK_KING_MOVE;
}

// Late-move reductions by remaining depth and move number.
struct ReductionTable {
    std::int8_t r[64][64];
    ReductionTable() {
        for (int d = 0; d < 64; ++d) {
            for (int i = 0; i < 64; ++i) {
                r[d][i] = d < 2 || i < 2 ? 0 : static_cast<std::int8_t>(0.7 + std::log(d) * std::log(i) / 1.8);
            }
        }
    }
};
const ReductionTable REDUCTIONS;

// 2^18 buckets, 16 MB: the searches of a game at match speeds (a few million nodes a
// move) fit, and each probe costs less than in a larger table that misses the caches
// and the address translation more often.
constexpr int TABLE_BUCKET_BITS = 18;

class Searcher {
public:
    Searcher() : stack_(std::make_unique<PlyStack>()), table_(TABLE_BUCKET_BITS) { new_game(); }

    void new_game() {
        table_.clear();
        game_history_.clear();
        std::fill(&history_[0][0], &history_[0][0] + 2 * 4096, 0);
    }
    void set_budget(std::chrono::milliseconds nominal, std::chrono::milliseconds maximum) {
        nominal_ = nominal;
        maximum_ = maximum;
        budget_given_ = true;
    }
    int run(GameState& state);
    void set_history(const std::vector<std::uint64_t>& hashes) {
        const std::size_t keep = std::min<std::size_t>(hashes.size(), HISTORY_KEPT);
        game_history_.assign(hashes.end() - static_cast<std::ptrdiff_t>(keep), hashes.end());
    }

private:
    int search(PlyRecord& r, Side side, int depth, int alpha, int beta, int ply, bool pv_node);
    int quiesce(PlyRecord& r, Side side, int alpha, int beta, int ply, bool threats);
    int search_later_move(PlyRecord& child, Side side, int depth, int reduction, int alpha, int beta, int ply,
                          bool pv_node);
    void extend_variation(int ply, std::uint32_t word);
    bool known_ending(Side side, PlyRecord& r, int ply, int& score);
    int evaluate_node(Side side, PlyRecord& r) { return strong_evaluate(side, r); }
    int iterate(int depth, int previous);
    void order_moves(const PlyRecord& r, Side side, int ply, std::uint32_t table_move, int table_index);
    int next_move(PlyRecord& r);
    void reward(const PlyRecord& r, Side side, int ply, int best, int depth);
    bool repeated(int ply) const;
    bool out_of_time();
    // The child's hash and reversible count; `probed`: it will ask the table, which is
    // then fetched ahead. Quiescence needs neither (it has no table and no repetitions).
    void enter(PlyRecord& r, int ply, std::uint32_t word, Side side_after, bool probed);
    void publish(GameState& state, int depth, int score);

    int* scores_of(const PlyRecord& r) { return move_scores_ + (r.moves - stack_->moves); }

    std::unique_ptr<PlyStack> stack_;
    StrongTable table_;
    int move_scores_[MOVE_STACK_SIZE] = {};
    std::uint64_t hashes_[PLY_STACK_SIZE + 1] = {};
    int reversible_[PLY_STACK_SIZE + 1] = {};  // plies since the last man move or capture
    std::uint32_t killers_[PLY_STACK_SIZE + 1][2] = {};
    int history_[2][4096] = {};
    std::vector<std::uint64_t> game_history_;
    std::uint32_t pv_[PLY_STACK_SIZE + 1][PLY_STACK_SIZE + 1] = {};
    int pv_length_[PLY_STACK_SIZE + 1] = {};

    GameState* state_ = nullptr;
    std::int64_t nodes_ = 0;
    std::chrono::milliseconds nominal_{0};
    std::chrono::milliseconds maximum_{0};
    bool budget_given_ = false;
    Clock::time_point deadline_;
    bool timed_ = false;
    bool aborted_ = false;
    int root_best_ = 0;   // the best root move established so far (index)
    int root_score_ = 0;
};

bool Searcher::out_of_time() {
    if (state_->engine_request.load(std::memory_order_relaxed) != REQUEST_SEARCH) return true;
    return timed_ && (nodes_ & 1023) == 0 && Clock::now() >= deadline_;
}

bool Searcher::repeated(int ply) const {
    // Only king steps repeat a position, and only a position with the same side to move.
    // Before the root the game's own positions are looked at.
    const int before_root = static_cast<int>(game_history_.size());
    for (int back = 4; back <= reversible_[ply]; back += 2) {
        const int at = ply - back;
        if (at < -before_root) break;
        if ((at >= 0 ? hashes_[at] : game_history_[before_root + at]) == hashes_[ply]) return true;
    }
    return false;
}

void Searcher::enter(PlyRecord& r, int ply, std::uint32_t word, Side side_after, bool probed) {
    const PlyRecord& child = (&r)[1];
    hashes_[ply + 1] = position_hash(child.board, side_after);
    reversible_[ply + 1] = is_king_step(word) ? reversible_[ply] + 1 : 0;
    if (probed) table_.prefetch(hashes_[ply + 1]);
}

void Searcher::order_moves(const PlyRecord& r, Side side, int ply, std::uint32_t table_move, int table_index) {
    int* scores = scores_of(r);
    const int* history = history_[side == WHITE ? 0 : 1];
    for (int i = 0; i < r.move_count; ++i) {
        const std::uint32_t word = r.moves[i].word & MOVE_WORD_MASK;
        int s = history[move_key(word)];
        if (word == killers_[ply][0]) s = SCORE_KILLER;
        else if (word == killers_[ply][1]) s = SCORE_KILLER - 1;
        scores[i] = s;
    }
    if (table_move != 0 && table_index < r.move_count && (r.moves[table_index].word & MOVE_WORD_MASK) == table_move) {
        scores[table_index] = SCORE_TABLE_MOVE;
    }
}

// The move not yet taken with the highest score; it is then marked taken. Moves keep
// their places in the list: the table and the caller name moves by index.
int Searcher::next_move(PlyRecord& r) {
    int* scores = scores_of(r);
    int best = 0;
    for (int i = 1; i < r.move_count; ++i) {
        if (scores[i] > scores[best]) best = i;
    }
    scores[best] = TAKEN;
    return best;
}

void Searcher::reward(const PlyRecord& r, Side side, int ply, int best, int depth) {
    const std::uint32_t word = r.moves[best].word & MOVE_WORD_MASK;
    if (!is_capture_kind(move_kind(word)) && killers_[ply][0] != word) {
        killers_[ply][1] = killers_[ply][0];
        killers_[ply][0] = word;
    }
    int* history = history_[side == WHITE ? 0 : 1];
    const int bonus = std::min(depth * depth, 400);
    auto update = [&](std::uint32_t w, int delta) {
        int& h = history[move_key(w)];
        h += delta - h * std::abs(delta) / HISTORY_LIMIT;
    };
    update(word, bonus);
    // The moves tried before it failed to cut: they lose what it gained.
    for (int i = 0; i < r.move_count; ++i) {
        if (i != best && (r.moves[i].word & MOVE_TRIED)) update(r.moves[i].word, -bonus);
    }
}

// Past the horizon: a side that must capture captures (there is no standing pat while
// a capture is compulsory); otherwise the static score stands, unless the opponent
// threatens to capture, when the replies to the threat are searched once, or a man can
// step onto its crowning row, when those steps are tried: a king a move away is worth
// far more than the evaluation's runaway terms can give a man.
int Searcher::quiesce(PlyRecord& r, Side side, int alpha, int beta, int ply, bool threats) {
    pv_length_[ply] = ply;
    if (out_of_time()) {
        aborted_ = true;
        return 0;
    }
    ++nodes_;
    if (ply >= MAX_PLY) return evaluate_node(side, r);
    find_captures(side, r);
    const bool must_capture = (r.capture_flags & capture_flags_of(side)) != 0;
    bool crowning_only = false;
    if (!must_capture) {
        if (!has_quiet_move(side, r.board)) return -MATE + ply;
        const int stand = evaluate_node(side, r);
        const bool threatened = (r.capture_flags & capture_flags_of(~side)) != 0;
        if (stand >= beta) return stand;
        crowning_only = !(threats && threatened);
        if (crowning_only && !can_crown(side, r.board)) return stand;
        alpha = std::max(alpha, stand);
    }
    list_moves(side, r);
    if (r.capture_flags & MOVE_LIST_OVERFLOW) return evaluate_node(side, r);
    int best = -INFINITE;
    PlyRecord& child = (&r)[1];
    for (int i = 0; i < r.move_count; ++i) {
        if (crowning_only && !crowns(side, r.moves[i].word)) continue;
        make_move(r, r.moves[i]);
        const int v = -quiesce(child, ~side, -beta, -alpha, ply + 1, threats && must_capture);
        if (aborted_) return 0;
        if (v > best) {
            best = v;
            if (v > alpha) {
                alpha = v;
                if (v >= beta) break;
            }
        }
    }
    return must_capture ? best : std::max(best, alpha);
}

int Searcher::search(PlyRecord& r, Side side, int depth, int alpha, int beta, int ply, bool pv_node) {
    if (depth <= 0) return quiesce(r, side, alpha, beta, ply, true);
    pv_length_[ply] = ply;
    if (out_of_time()) {
        aborted_ = true;
        return 0;
    }
    ++nodes_;
    if (ply > 0 && repeated(ply)) return 0;
    if (ply >= MAX_PLY) return evaluate_node(side, r);
    int known = 0;
    if (ply > 0 && known_ending(side, r, ply, known)) return known;

    generate_moves(side, r);
    const int n = r.move_count;
    if (n == 0) return -MATE + ply;
    if (r.capture_flags & MOVE_LIST_OVERFLOW) return evaluate_node(side, r);

    const std::uint64_t hash = hashes_[ply];
    std::uint32_t table_move = 0;
    int table_index = 0;
    if (const StrongEntry* e = table_.probe(hash)) {
        table_move = e->move;
        table_index = e->move_index;
        const int score = score_from_table(e->score, ply);
        if (!pv_node && ply > 0 && e->depth >= depth && decides(e->bound(), score, alpha, beta)) return score;
    }

    const bool must_capture = (r.capture_flags & capture_flags_of(side)) != 0;
    // A single reply costs no depth: forced sequences are followed to their end.
    const int extension = n == 1 ? 1 : 0;
    // Near the horizon of a quiet position, far enough above beta, the score stands.
    const bool quiet = !must_capture && (r.capture_flags & capture_flags_of(~side)) == 0;
    const bool prunable = quiet && !pv_node && depth <= PRUNING_DEPTH && beta < MATE_BOUND && alpha > -MATE_BOUND;
    if (prunable) {
        const int stand = evaluate_node(side, r);
        if (stand - FUTILITY_MARGIN * depth >= beta) return stand;
        // Far enough below alpha, it stands as well: no capture is in sight to lift it.
        if (depth <= RAZOR_DEPTH && stand + RAZOR_MARGIN * depth <= alpha) return stand;
    }
    // A node the table knows no move for is searched a ply shallower: its moves are
    // ordered by the killers and the history alone, and the next iteration finds it
    // with a move.
    if (table_move == 0 && depth >= IIR_DEPTH) --depth;
    // Far from the horizon, a shallow search that clears beta by a margin is taken as
    // the deep one's answer. It uses this record's list, which is then listed afresh.
    if (quiet && !pv_node && depth >= PROBCUT_DEPTH && beta < MATE_BOUND - PROBCUT_MARGIN && alpha > -MATE_BOUND) {
        const int raised = beta + PROBCUT_MARGIN;
        const int v = search(r, side, depth - PROBCUT_REDUCTION, raised - 1, raised, ply, false);
        if (aborted_) return 0;
        if (v >= raised) return v;
        generate_moves(side, r);
    }
    order_moves(r, side, ply, table_move, table_index);

    const int original_alpha = alpha;
    int best = -INFINITE;
    int best_index = 0;
    PlyRecord& child = (&r)[1];
    const int move_limit = prunable ? 3 + depth * depth : n;
    for (int count = 0; count < n; ++count) {
        const int i = next_move(r);
        const std::uint32_t word = r.moves[i].word & MOVE_WORD_MASK;
        make_move(r, r.moves[i]);
        const int new_depth = depth - 1 + extension;
        enter(r, ply, word, ~side, new_depth > 0);
        int v;
        if (count == 0) {
            v = -search(child, ~side, new_depth, -beta, -alpha, ply + 1, pv_node);
        } else {
            // A move that offers the opponent a capture starts the combinations of the
            // game: it is searched in full. Others come late in a quiet position: near
            // the horizon they are passed over, further from it searched shallower.
            const bool late = !must_capture && word != killers_[ply][0] && word != killers_[ply][1];
            const bool forcing = late && offers_capture(child, ~side);
            if (late && !forcing && count >= move_limit && best > -MATE_BOUND) continue;
            int reduction = 0;
            if (late && !forcing && depth >= 3) {
                reduction = REDUCTIONS.r[std::min(depth, 63)][std::min(count, 63)] - (pv_node ? 1 : 0);
                reduction = std::clamp(reduction, 0, new_depth - 1);
            }
            v = search_later_move(child, ~side, new_depth, reduction, alpha, beta, ply + 1, pv_node);
        }
        if (aborted_) return 0;
        if (v > best) {
            best = v;
            best_index = i;
            if (v > alpha) {
                alpha = v;
                extend_variation(ply, word);
                if (ply == 0) {
                    root_best_ = i;
                    root_score_ = v;
                }
                if (v >= beta) break;
            }
        }
    }
    if (best > original_alpha) reward(r, side, ply, best_index, depth);

    const StrongBound bound = best >= beta ? BOUND_LOWER : best > original_alpha ? BOUND_EXACT : BOUND_UPPER;
    const bool has_move = bound != BOUND_UPPER;
    table_.store(hash, depth, score_to_table(best, ply), bound,
                 has_move ? r.moves[best_index].word & MOVE_WORD_MASK : 0, has_move ? best_index : 0);
    return best;
}

// A move after the first: a null-window search, shallower by `reduction`, then again
// at full depth if it beats alpha, then with the whole window on the principal path.
int Searcher::search_later_move(PlyRecord& child, Side side, int depth, int reduction, int alpha, int beta,
                                int ply, bool pv_node) {
    int v = -search(child, side, depth - reduction, -alpha - 1, -alpha, ply, false);
    if (v > alpha && reduction > 0 && !aborted_) v = -search(child, side, depth, -alpha - 1, -alpha, ply, false);
    if (v > alpha && v < beta && pv_node && !aborted_) v = -search(child, side, depth, -beta, -alpha, ply, true);
    return v;
}

// The move at `ply` followed by the best line found below it.
void Searcher::extend_variation(int ply, std::uint32_t word) {
    pv_[ply][ply] = word;
    for (int k = ply + 1; k < pv_length_[ply + 1]; ++k) pv_[ply][k] = pv_[ply + 1][k];
    pv_length_[ply] = std::max(pv_length_[ply + 1], ply + 1);
}

// A position of the endgame databases needs no search. A win sooner is worth more: the
// search heads for the databases' wins by the shortest way it sees.
bool Searcher::known_ending(Side side, PlyRecord& r, int ply, int& score) {
    if (r.white_count + r.black_count >= 8 || !settings().endgame_use.load(std::memory_order_relaxed)) return false;
    const Board& b = r.board;
    r.type_counts[0] = std::popcount(b.white_men);
    r.type_counts[1] = std::popcount(b.white_kings);
    r.type_counts[2] = std::popcount(b.black_men);
    r.type_counts[3] = std::popcount(b.black_kings);
    switch (egdb_probe(side, r)) {
        case EGDB_WIN:
            score = WIN_SCORE - ply;
            return true;
        case EGDB_LOSS:
            score = -WIN_SCORE + ply;
            return true;
        case EGDB_DRAW:
            score = 0;
            return true;
        default:
            return false;
    }
}

// One iteration with an aspiration window around the last score, widened on failure.
int Searcher::iterate(int depth, int previous) {
    PlyRecord& root = stack_->root();
    const Side side = state_->side;
    int window = ASPIRATION;
    int alpha = depth >= 5 ? std::max(previous - window, -INFINITE) : -INFINITE;
    int beta = depth >= 5 ? std::min(previous + window, INFINITE) : INFINITE;
    for (;;) {
        const int v = search(root, side, depth, alpha, beta, 0, true);
        if (aborted_) return v;
        if (v <= alpha && alpha > -INFINITE) {
            beta = (alpha + beta) / 2;
            alpha = std::max(v - window, -INFINITE);
        } else if (v >= beta && beta < INFINITE) {
            beta = std::min(v + window, INFINITE);
        } else {
            return v;
        }
        window *= 2;
        if (window > 400) {
            alpha = -INFINITE;
            beta = INFINITE;
        }
    }
}

void Searcher::publish(GameState& state, int depth, int score) {
    const PlyRecord& root = stack_->root();
    state.engine_move = root_best_;
    state.engine_word = static_cast<std::int32_t>(root.moves[root_best_].word & MOVE_WORD_MASK);
    state.iteration_depth = depth;
    state.score = score;
    const int length = std::min(pv_length_[0], PV_MAX);
    for (int k = 0; k < length; ++k) {
        const std::uint32_t word = pv_[0][k];
        PvEntry e;
        e.kind = static_cast<std::uint8_t>(move_kind(word));
        e.from = static_cast<std::uint8_t>(BIT_TO_SQUARE[move_from(word)]);
        e.to = static_cast<std::uint8_t>(BIT_TO_SQUARE[move_to(word)]);
        state.pv[k] = e;
    }
    state.pv_length = length;
    state.node_count = nodes_;
}

int Searcher::run(GameState& state) {
    state_ = &state;
    nodes_ = 0;
    aborted_ = false;
    const auto start = Clock::now();

    // The caller's root record holds the position; its list names the moves by index.
    PlyRecord& caller_root = root_record();
    const Side side = state.side;
    generate_moves(side, caller_root);
    const int legal = caller_root.move_count;
    if (legal == 0) return 0;
    stack_->reset();
    PlyRecord& root = stack_->root();
    set_record_position(root, caller_root.board, side);
    hashes_[0] = position_hash(root.board, side);
    reversible_[0] = static_cast<int>(game_history_.size());
    table_.age();
    for (auto& k : killers_) k[0] = k[1] = 0;

    // Time: a budget given for this search, else the seconds of a timed search mode.
    std::chrono::milliseconds nominal = nominal_, maximum = maximum_;
    const bool given = budget_given_;
    nominal_ = maximum_ = std::chrono::milliseconds{0};
    budget_given_ = false;
    if (!given && state.computer_to_move && state.search_kind != FIXED_PLY && state.search_limit > 0) {
        maximum = std::chrono::milliseconds{1000LL * state.search_limit};
        if (state.search_kind == TOURNAMENT) nominal = maximum;
    }
    timed_ = maximum.count() > 0;
    deadline_ = start + maximum;

    int limit = MAX_ITERATION_DEPTH;
    if (state.computer_to_move && state.search_kind == FIXED_PLY) {
        limit = std::clamp(state.search_limit.load(), 1, MAX_ITERATION_DEPTH);
    }
    root_best_ = 0;
    state.engine_move = 0;
    int score = 0;
    double instability = 1.0;
    for (int depth = 1; depth <= limit; ++depth) {
        const int previous_best = root_best_;
        const int v = iterate(depth, score);
        if (aborted_) {
            // A move that took the lead in the unfinished iteration has a true score.
            if (root_best_ != previous_best) publish(state, depth - 1, root_score_);
            break;
        }
        const int drop = score - v;
        score = v;
        publish(state, depth, score);
        refresh_pv_window();
        if (v > MATE_BOUND || v < -MATE_BOUND) break;
        if (legal == 1 && depth >= 1 && timed_) break;
        if (nominal.count() > 0) {
            instability = 0.6 * instability + (root_best_ != previous_best ? 1.0 : 0.0) + (drop > 30 ? 0.5 : 0.0);
            const double factor = std::clamp(0.5 + instability, 0.6, 2.0);
            const auto elapsed = Clock::now() - start;
            if (elapsed > std::chrono::duration<double, std::milli>(0.45 * factor * nominal.count())) break;
        }
    }
    state.node_count = nodes_;
    return legal;
}

Searcher* searcher() {
    static Searcher* instance = new Searcher();  // kept for the program's life
    return instance;
}

}  // namespace

int strong_run_search(GameState& state) { return searcher()->run(state); }
void strong_new_game() { searcher()->new_game(); }
void strong_set_history(const std::vector<std::uint64_t>& hashes) { searcher()->set_history(hashes); }
void strong_set_budget(std::chrono::milliseconds nominal, std::chrono::milliseconds maximum) {
    searcher()->set_budget(nominal, maximum);
}
