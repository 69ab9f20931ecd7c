#include "tools/egdb/solver.h"

#include <memory>
#include <thread>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/egdb.h"
#include "tools/egdb/position_cursor.h"

// The solve works on one byte per index and runs in two passes.
//
// The first pass generates the moves of every position with the program's own
// generate_moves. A position without moves is lost. A position that must capture
// leaves the material, so its value follows at once from the databases already solved;
// so does a position with a crowning move into a lost position. Every other position
// keeps a count of its quiet moves that are not yet known to win for the opponent
// (crowning moves into won positions are not counted; crowning moves into drawn ones
// are counted and never taken back, so such a position cannot come out lost).
//
// The backward pass spreads the decided positions to their predecessors in the mirror
// database by taking back the last quiet move: a predecessor of a lost position is won,
// and a predecessor of a won position loses a count and is lost when none is left.
// Taking back moves never has to know about captures: a position whose side to move
// has a capture was decided in the first pass, and decided positions are never
// touched again. What is left undecided at the end is drawn.
namespace {

constexpr std::uint8_t WIN = EGDB_WIN;
constexpr std::uint8_t DRAW = EGDB_DRAW;
constexpr std::uint8_t LOSS = EGDB_LOSS;
constexpr std::uint8_t NO_POSITION = EGDB_UNKNOWN;
constexpr std::uint8_t WIN_PENDING = 4;   // won, predecessors not yet told
constexpr std::uint8_t LOSS_PENDING = 5;  // lost, predecessors not yet told
constexpr std::uint8_t OPEN =
    8;  // OPEN + c: undecided, c moves not yet known to win for the opponent

constexpr std::int64_t CHUNK = 1 << 14;  // indices per task of the first pass
constexpr std::int64_t BLOCK = 1 << 12;  // indices per dirty flag of the backward pass

template <class Body>
void parallel_for(int threads, Body body) {
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(body);
    body();
    for (std::thread& helper : helpers) helper.join();
}

struct WorkArray {
    EgdbMaterial material;
    std::int64_t size = 0;
    std::vector<std::uint8_t> state;
    // Blocks that may hold a pending position. Set (release) after the position is
    // written, cleared (acquire) before the block is scanned.
    std::unique_ptr<std::atomic<std::uint8_t>[]> dirty;
    std::int64_t blocks = 0;
};

class PairSolver {
  public:
    PairSolver(const EgdbMaterial& material, const SolvedSet& solved, int threads,
               SolveProgress& progress);
    std::vector<SolvedDatabase> run();

  private:
    void first_pass();
    std::uint8_t first_value(PlyStack& stack, const Board& board) const;
    bool backward_round();
    std::int64_t scan_block(int a, std::int64_t block, PositionCursor& cursor);
    void settle(int a, std::int64_t index, bool won, PositionCursor& cursor);
    void tell(WorkArray& w, std::int32_t index, bool predecessor_wins);
    SolvedDatabase finish(WorkArray& w);
    int partner(int a) const { return arrays_.size() == 1 ? 0 : 1 - a; }

    const SolvedSet& solved_;
    int threads_;
    SolveProgress& progress_;
    std::vector<WorkArray> arrays_;
};

PairSolver::PairSolver(const EgdbMaterial& material, const SolvedSet& solved, int threads,
                       SolveProgress& progress)
    : solved_(solved), threads_(threads < 1 ? 1 : threads), progress_(progress) {
    const EgdbMaterial both[2] = {material, mirrored(material)};
    arrays_.resize(material == mirrored(material) ? 1 : 2);
    for (std::size_t a = 0; a < arrays_.size(); ++a) {
        WorkArray& w = arrays_[a];
        w.material = both[a];
        w.size = egdb_position_count(w.material);
        w.state.assign(static_cast<std::size_t>(w.size), NO_POSITION);
        w.blocks = (w.size + BLOCK - 1) / BLOCK;
        w.dirty = std::make_unique<std::atomic<std::uint8_t>[]>(static_cast<std::size_t>(w.blocks));
        for (std::int64_t b = 0; b < w.blocks; ++b) w.dirty[b].store(1, std::memory_order_relaxed);
    }
}

std::uint8_t PairSolver::first_value(PlyStack& stack, const Board& board) const {
    PlyRecord& record = stack.plies[0];
    const PlyRecord& next = stack.plies[1];
    record.board = board;
    generate_moves(WHITE, record);
    if (record.move_count == 0) return LOSS_PENDING;
    if (record.max_captured > 0) {
        bool all_won = true;
        for (int i = 0; i < record.move_count; ++i) {
            make_move(record, record.moves[i]);
            const int v = solved_.value_for_black(next.board);
            if (v == EGDB_LOSS) return WIN_PENDING;
            if (v == EGDB_UNKNOWN) progress_.missing.fetch_add(1, std::memory_order_relaxed);
            all_won = all_won && v == EGDB_WIN;
        }
        return all_won ? LOSS_PENDING : DRAW;
    }
    int open = 0;
    for (int i = 0; i < record.move_count; ++i) {
        MoveRecord& move = record.moves[i];
        if (move_kind(move.word) == WHITE_MAN_MOVE &&
            (BIT_MASK[move_to(move.word)] & WHITE_CROWNING_ROW)) {
            make_move(record, move);
            const int v = solved_.value_for_black(next.board);
            if (v == EGDB_LOSS) return WIN_PENDING;
            if (v == EGDB_WIN) continue;
            if (v == EGDB_UNKNOWN) progress_.missing.fetch_add(1, std::memory_order_relaxed);
        }
        ++open;
    }
    return open == 0 ? LOSS_PENDING : static_cast<std::uint8_t>(OPEN + open);
}

void PairSolver::first_pass() {
    std::int64_t chunks[2] = {0, 0};
    for (std::size_t a = 0; a < arrays_.size(); ++a)
        chunks[a] = (arrays_[a].size + CHUNK - 1) / CHUNK;
    std::atomic<std::int64_t> next_chunk{0};
    parallel_for(threads_, [&] {
        auto stack = std::make_unique<PlyStack>();
        stack->reset();
        for (;;) {
            std::int64_t chunk = next_chunk.fetch_add(1, std::memory_order_relaxed);
            const int a = chunk < chunks[0] ? 0 : 1;
            if (a == 1) chunk -= chunks[0];
            if (a >= static_cast<int>(arrays_.size()) || chunk >= chunks[a]) return;
            WorkArray& w = arrays_[a];
            const std::int64_t begin = chunk * CHUNK;
            const std::int64_t end = std::min(begin + CHUNK, w.size);
            PositionCursor cursor(w.material);
            for (bool more = cursor.seek(begin); more && cursor.index() < end;
                 more = cursor.next()) {
                w.state[static_cast<std::size_t>(cursor.index())] =
                    first_value(*stack, cursor.board());
            }
            progress_.scanned.fetch_add(end - begin, std::memory_order_relaxed);
        }
    });
}

void PairSolver::tell(WorkArray& w, std::int32_t index, bool predecessor_wins) {
    if (index < 0) {  // a predecessor without an index: the build must not pass for sound
        progress_.missing.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    std::atomic_ref<std::uint8_t> cell(w.state[static_cast<std::size_t>(index)]);
    std::uint8_t s = cell.load(std::memory_order_relaxed);
    std::uint8_t next;
    do {
        if (s < OPEN) return;  // decided already
        next = predecessor_wins ? WIN_PENDING
               : s == OPEN + 1  ? LOSS_PENDING
                                : static_cast<std::uint8_t>(s - 1);
    } while (!cell.compare_exchange_weak(s, next, std::memory_order_relaxed));
    if (next < OPEN) w.dirty[index / BLOCK].store(1, std::memory_order_release);
}

// Marks a pending position decided and tells its predecessors: the positions, Black to
// move, from which Black's last quiet move led here. They are indexed from Black's side,
// the moved piece put back on its square.
void PairSolver::settle(int a, std::int64_t index, bool won, PositionCursor& cursor) {
    std::atomic_ref<std::uint8_t>(arrays_[a].state[static_cast<std::size_t>(index)])
        .store(won ? WIN : LOSS, std::memory_order_relaxed);
    cursor.seek(index);
    const Board& b = cursor.board();
    const EgdbSets here = egdb_sets(BLACK, b);
    const auto& to_index = EGDB_NORMALISED[1];
    WorkArray& before = arrays_[partner(a)];
    const bool predecessor_wins = !won;
    for (Bitboard men = b.black_men; men; men &= men - 1) {
        const int to = lowest_bit(men);
        for (int d : {5, 6}) {  // Black's men step -5 and -6
            if (!(b.empty & BIT_MASK[to + d])) continue;
            EgdbSets p = here;
            p.own_men ^= std::uint64_t{1} << to_index[to] | std::uint64_t{1} << to_index[to + d];
            tell(before, egdb_sets_index(p), predecessor_wins);
        }
    }
    // A king taken back changes only the innermost term of the index.
    const std::int32_t king_base =
        b.black_kings ? egdb_sets_index(here) - egdb_own_king_rank(here) : 0;
    for (Bitboard kings = b.black_kings; kings; kings &= kings - 1) {
        const int to = lowest_bit(kings);
        for (int d : DIRECTIONS) {
            for (int from = to + d; b.empty & BIT_MASK[from]; from += d) {
                EgdbSets p = here;
                p.own_kings ^= std::uint64_t{1} << to_index[to] | std::uint64_t{1}
                                                                      << to_index[from];
                tell(before, king_base + egdb_own_king_rank(p), predecessor_wins);
            }
        }
    }
}

std::int64_t PairSolver::scan_block(int a, std::int64_t block, PositionCursor& cursor) {
    WorkArray& w = arrays_[a];
    const std::int64_t end = std::min((block + 1) * BLOCK, w.size);
    std::int64_t settled = 0;
    for (std::int64_t i = block * BLOCK; i < end; ++i) {
        const std::uint8_t s = std::atomic_ref<std::uint8_t>(w.state[static_cast<std::size_t>(i)])
                                   .load(std::memory_order_relaxed);
        if (s != WIN_PENDING && s != LOSS_PENDING) continue;
        settle(a, i, s == WIN_PENDING, cursor);
        ++settled;
    }
    return settled;
}

// One sweep over the dirty blocks of both arrays; false when none was dirty, i.e. no
// position is pending anywhere.
bool PairSolver::backward_round() {
    progress_.round.fetch_add(1, std::memory_order_relaxed);
    const std::int64_t total = arrays_[0].blocks + (arrays_.size() > 1 ? arrays_[1].blocks : 0);
    std::atomic<std::int64_t> next_block{0};
    std::atomic<bool> any{false};
    parallel_for(threads_, [&] {
        std::unique_ptr<PositionCursor> cursors[2];
        for (std::int64_t g = next_block.fetch_add(1, std::memory_order_relaxed); g < total;
             g = next_block.fetch_add(1, std::memory_order_relaxed)) {
            const int a = g < arrays_[0].blocks ? 0 : 1;
            const std::int64_t block = a == 0 ? g : g - arrays_[0].blocks;
            if (arrays_[a].dirty[block].exchange(0, std::memory_order_acquire) == 0) continue;
            any.store(true, std::memory_order_relaxed);
            if (!cursors[a]) cursors[a] = std::make_unique<PositionCursor>(arrays_[a].material);
            progress_.decided.fetch_add(scan_block(a, block, *cursors[a]),
                                        std::memory_order_relaxed);
        }
    });
    return any.load();
}

SolvedDatabase PairSolver::finish(WorkArray& w) {
    SolvedDatabase db;
    db.material = w.material;
    db.values.assign(static_cast<std::size_t>((w.size + 3) / 4), 0xFF);
    for (std::int64_t i = 0; i < w.size; ++i) {
        std::uint8_t v = w.state[static_cast<std::size_t>(i)];
        if (v == WIN) {
            ++db.wins;
        } else if (v == LOSS) {
            ++db.losses;
        } else if (v != NO_POSITION) {
            v = DRAW;  // undecided at the fixpoint, or drawn by a capture
            ++db.draws;
        }
        const int shift = 6 - 2 * static_cast<int>(i & 3);
        std::uint8_t& byte = db.values[static_cast<std::size_t>(i >> 2)];
        byte = static_cast<std::uint8_t>((byte & ~(3 << shift)) | v << shift);
    }
    std::vector<std::uint8_t>().swap(w.state);
    return db;
}

std::vector<SolvedDatabase> PairSolver::run() {
    first_pass();
    while (backward_round()) {
    }
    std::vector<SolvedDatabase> result;
    for (WorkArray& w : arrays_) result.push_back(finish(w));
    return result;
}

}  // namespace

void SolvedSet::add(const EgdbMaterial& m, std::vector<std::uint8_t> values) {
    values_[material_key(m)] = std::move(values);
}

void SolvedSet::drop(const EgdbMaterial& m) {
    std::vector<std::uint8_t>().swap(values_[material_key(m)]);
}

std::int64_t SolvedSet::bytes() const {
    std::int64_t total = 0;
    for (const auto& v : values_) total += static_cast<std::int64_t>(v.size());
    return total;
}

int SolvedSet::value_for_black(const Board& board) const {
    const int bm = std::popcount(board.black_men), bk = std::popcount(board.black_kings);
    if (bm + bk == 0) return EGDB_LOSS;  // no piece left: lost
    const EgdbMaterial m{bm, bk, std::popcount(board.white_men), std::popcount(board.white_kings)};
    if (m.sm + m.sk > EGDB_MAX_SIDE_PIECES || m.om + m.ok > EGDB_MAX_SIDE_PIECES)
        return EGDB_UNKNOWN;
    const std::vector<std::uint8_t>& values = values_[material_key(m)];
    const std::int32_t index = egdb_index(BLACK, board);
    if (values.empty() || index < 0 || (index >> 2) >= static_cast<std::int64_t>(values.size())) {
        return EGDB_UNKNOWN;
    }
    return egdb_value_at(values.data(), index);
}

std::vector<SolvedDatabase> solve_pair(const EgdbMaterial& material, const SolvedSet& solved,
                                       int threads, SolveProgress& progress) {
    PairSolver solver(material, solved, threads, progress);
    return solver.run();
}
