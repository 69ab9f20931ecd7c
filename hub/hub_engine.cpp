#include "hub/hub_engine.h"

#include <algorithm>
#include <cstdio>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/knowledge/book.h"
#include "engine/knowledge/egdb.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/strong_search.h"
#include "engine/search/strong_table.h"
#include "engine/search/tt.h"
#include "hub/hub_line.h"
#include "hub/hub_moves.h"
#include "records/app_state.h"
#include "records/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* START_POSITION = "Wbbbbbbbbbbbbbbbbbbbbeeeeeeeeeewwwwwwwwwwwwwwwwwwww";
// Sudden death is budgeted as if this many moves were still to come.
constexpr int SUDDEN_DEATH_MOVES = 30;

// The principal variation as Hub move texts, replayed on a stack of the caller's.
std::vector<std::string> pv_texts(const Board& board, Side side, const GameState& state, PlyStack& stack) {
    std::vector<std::string> texts;
    stack.reset();
    PlyRecord* record = &stack.root();
    set_record_position(*record, board, side);
    const int length = std::min(static_cast<int>(state.pv_length), PV_MAX);
    for (int k = 0; k < length; ++k, ++record, side = ~side) {
        const PvEntry entry = state.pv[static_cast<std::size_t>(k)].load();
        generate_moves(side, *record);
        MoveRecord* found = nullptr;
        for (int i = 0; i < record->move_count && found == nullptr; ++i) {
            const std::uint32_t word = record->moves[i].word;
            if (BIT_TO_SQUARE[move_from(word)] == entry.from && BIT_TO_SQUARE[move_to(word)] == entry.to) {
                found = &record->moves[i];
            }
        }
        if (found == nullptr) break;
        texts.push_back(hub_move_text(*record, side, *found));
        make_move(*record, *found);
    }
    return texts;
}

// Reads the 51 characters of a Hub position: the side to move, then squares 1-50.
bool read_position(const std::string& text, Board& board, Side& side) {
    if (text.size() != 51 || (text[0] != 'W' && text[0] != 'B')) return false;
    Board b;
    for (int square = 1; square <= 50; ++square) {
        Bitboard* set = nullptr;
        switch (text[static_cast<std::size_t>(square)]) {
            case 'w': set = &b.white_men; break;
            case 'W': set = &b.white_kings; break;
            case 'b': set = &b.black_men; break;
            case 'B': set = &b.black_kings; break;
            case 'e': set = &b.empty; break;
            default: return false;
        }
        *set |= BIT_MASK[SQUARE_TO_BIT[square]];
    }
    board = b;
    side = text[0] == 'W' ? WHITE : BLACK;
    return true;
}

}  // namespace

// Prints one "info" line per completed iteration (the driver rebuilds the principal
// variation once after each), on the engine thread.
class HubReporter final : public EngineReporter {
public:
    explicit HubReporter(std::function<void(const std::string&)> write)
        : write_(std::move(write)), stack_(std::make_unique<PlyStack>()) {}

    void begin(const Board& board, Side side) {
        board_ = board;
        side_ = side;
        start_ = Clock::now();
    }
    void set_status_text(int, const std::string&) override {}
    void search_info_changed(int) override {}
    void pv_changed() override {
        const GameState& state = game_state();
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        const auto nodes = static_cast<long long>(state.node_count.load());
        std::string pv;
        for (const std::string& move : pv_texts(board_, side_, state, *stack_)) {
            if (!pv.empty()) pv += ' ';
            pv += move;
        }
        char text[160];
        std::snprintf(text, sizeof text, "info depth=%d score=%.2f nodes=%lld time=%.3f nps=%.2f pv=", state.iteration_depth.load(),
                      state.score.load() / 100.0, nodes, seconds, seconds > 0 ? nodes / seconds / 1e6 : 0.0);
        write_(text + hub_value(pv));
    }

private:
    std::function<void(const std::string&)> write_;
    std::unique_ptr<PlyStack> stack_;
    Board board_;
    Side side_ = WHITE;
    Clock::time_point start_;
};

HubEngine::HubEngine(std::string directory, std::function<void(const std::string&)> write)
    : directory_(std::move(directory)), write_(std::move(write)), tt_choice_(TT_DEFAULT_CHOICE) {
    reporter_ = std::make_unique<HubReporter>([this](const std::string& line) { this->write(line); });
    scratch_ = std::make_unique<PlyStack>();
    read_position(START_POSITION, board_, side_);
}

HubEngine::~HubEngine() {
    if (!initialised_) return;
    if (searching_) engine_stop(game_state());
    engine_shutdown();
    set_engine_reporter(nullptr);
    tt_free();
    book_free();
    egdb_free();
    evaluation_free();
    free_board_tables();
}

void HubEngine::write(const std::string& line) {
    std::scoped_lock lock(write_mutex_);
    write_(line);
}

void HubEngine::error(const std::string& message) {
    // A double quote inside would end the value early.
    std::string text = message;
    std::replace(text.begin(), text.end(), '"', '\'');
    write("error message=" + hub_value(text));
}

std::chrono::milliseconds HubEngine::idle_wait() const {
    return searching_ ? std::chrono::milliseconds(5) : std::chrono::milliseconds(500);
}

bool HubEngine::handle(const std::string& text) {
    HubLine line;
    std::string why;
    if (!parse_hub_line(text, line, why)) {
        error("cannot read '" + text + "': " + why);
        return true;
    }
    const std::string& c = line.command;
    if (c == "ping") {
        write("pong");
    } else if (c == "stop") {
        if (searching_) finish_search();
    } else if (c == "ponder-hit") {
        if (searching_ && pondering_) {
            pondering_ = false;
            if (timed_) deadline_ = Clock::now() + allotted_;
        }
    } else if (c == "quit") {
        if (searching_) finish_search();
        return false;
    } else if (searching_ && !c.empty()) {
        error("'" + c + "' while searching; only ping, ponder-hit and stop are taken now");
    } else if (c == "hub") {
        identify();
    } else if (c == "set-param") {
        set_param(line);
    } else if (c == "init") {
        initialise();
    } else if (c == "new-game") {
        if (initialised_) {
            tt_clear(root_record());
            if (engine_kind() == EngineKind::STRONG) strong_new_game();
        }
    } else if (c == "pos") {
        set_position(line);
    } else if (c == "level") {
        set_level(line);
    } else if (c == "go") {
        go(line.arguments.empty() ? std::string() : line.arguments.front().first);
    }
    // Anything else is a command of a later protocol version: ignored.
    return true;
}

void HubEngine::identify() {
    write("id name=vantor version=5.0");
    write(std::string("param name=book value=") + (use_book_ ? "true" : "false") + " type=bool");
    write(std::string("param name=egdb value=") + (use_egdb_ ? "true" : "false") + " type=bool");
    std::string sizes;
    for (std::size_t i = 1; i < TT_SIZES.size(); ++i) sizes += std::to_string(TT_SIZES[i].entries >> 10) + "K ";
    sizes.pop_back();
    write("param name=tt-size value=" + std::to_string(TT_SIZES[static_cast<std::size_t>(tt_choice_)].entries >> 10) +
          "K type=enum values=" + hub_value(sizes));
    write("wait");
}

void HubEngine::set_param(const HubLine& line) {
    const std::string name = line.value("name");
    const std::string value = line.value("value");
    if (name == "book" || name == "egdb") {
        if (value != "true" && value != "false") return error(name + " must be true or false");
        (name == "book" ? use_book_ : use_egdb_) = value == "true";
        if (name == "egdb" && initialised_) settings().endgame_use = use_egdb_ && game_state().endgame_available;
        return;
    }
    if (name != "tt-size") return error("no parameter '" + name + "'");
    for (std::size_t i = 1; i < TT_SIZES.size(); ++i) {
        if (value == std::to_string(TT_SIZES[i].entries >> 10) + "K") {
            tt_choice_ = static_cast<int>(i);
            if (initialised_) settings().hash_size_index = tt_allocate(TTMode::REALLOCATE, tt_choice_);
            return;
        }
    }
    error("tt-size must be one of 64K 128K 256K 512K 1024K");
}

// The engine as the desktop program starts it, with the parameters the interface chose.
void HubEngine::initialise() {
    if (!initialised_) {
        init_board_tables();
        evaluation_init();
        reset_settings();
        GameState& state = game_state();
        book_load(directory_.c_str());
        state.endgame_available = egdb_init(directory_.c_str());
        settings().hash_size_index = tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
        if (tt_choice_ != TT_DEFAULT_CHOICE) settings().hash_size_index = tt_allocate(TTMode::REALLOCATE, tt_choice_);
        state.last = root_moves();
        app_state().pv_shown = 1;  // the driver reports each iteration's principal variation
        set_engine_reporter(reporter_.get());
        engine_launch();
        initialised_ = true;
    }
    settings().endgame_use = use_egdb_ && game_state().endgame_available;
    write("ready");
}

void HubEngine::set_position(const HubLine& line) {
    if (!initialised_) return error("init comes before pos");
    const std::string text = line.value("pos");
    Board board;
    Side side = WHITE;
    if (!read_position(text, board, side)) return error("pos must be W or B and then 50 squares of w, b, W, B or e");
    std::vector<MoveRecord> played;
    std::vector<std::uint64_t> since_irreversible;  // the positions a king step may repeat
    PlyRecord& record = scratch_->root();
    const std::string moves = line.value("moves");
    std::size_t at = 0;
    while (at < moves.size()) {
        const std::size_t end = std::min(moves.find(' ', at), moves.size());
        const std::string move = moves.substr(at, end - at);
        at = end + 1;
        if (move.empty()) continue;
        scratch_->reset();
        set_record_position(record, board, side);
        generate_moves(side, record);
        const MoveRecord* found = find_hub_move(record, side, move);
        if (found == nullptr) return error("the move '" + move + "' is not legal in its position");
        played.push_back(*found);
        since_irreversible.push_back(position_hash(board, side));
        const std::uint32_t kind = move_kind(found->word);
        if (kind != WHITE_KING_MOVE && kind != BLACK_KING_MOVE) since_irreversible.clear();
        MoveRecord copy = *found;
        make_move(record, copy);
        board = scratch_->plies[1].board;
        side = ~side;
    }
    board_ = board;
    side_ = side;
    has_position_ = true;
    from_start_ = text == START_POSITION;
    game_moves_ = std::move(played);
    history_ = std::move(since_irreversible);
}

void HubEngine::set_level(const HubLine& line) {
    auto number = [&](const char* name, double low, double high, double& value) {
        char* end = nullptr;
        const std::string text = line.value(name);
        const double v = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(v >= low && v <= high)) return false;
        value = v;
        return true;
    };
    double depth = 0, time = 0, moves = 0, inc = 0;
    if (line.has("depth")) {
        if (!number("depth", 2, MAX_ITERATION_DEPTH, depth)) return error("depth must be 2-32");
        limit_ = Limit::DEPTH;
        depth_ = static_cast<int>(depth);
    } else if (line.has("move-time")) {
        if (!number("move-time", 0, 1e6, time)) return error("move-time must be a number of seconds");
        limit_ = Limit::MOVE_TIME;
        move_time_ = time;
    } else if (line.has("infinite")) {
        limit_ = Limit::INFINITE;
    } else if (line.has("time")) {
        if (!number("time", 0, 1e7, time) || (line.has("moves") && !number("moves", 0, 10000, moves)) ||
            (line.has("inc") && !number("inc", 0, 1e6, inc))) {
            return error("level time=, moves= and inc= must be numbers");
        }
        limit_ = Limit::GAME_TIME;
        move_time_ = time;
        moves_to_go_ = static_cast<int>(moves);
        increment_ = inc;
    } else {
        error("level needs depth=, move-time=, time= or infinite");
    }
}

// The time for one move: an even share of what is left for the moves to come (a
// sudden-death game is treated as 30 moves to go), never more than half of it.
std::chrono::duration<double> HubEngine::move_budget() const {
    if (limit_ == Limit::MOVE_TIME) return std::chrono::duration<double>(move_time_);
    const int moves = moves_to_go_ > 0 ? moves_to_go_ : SUDDEN_DEATH_MOVES;
    const double share = move_time_ / moves + 0.9 * increment_;
    return std::chrono::duration<double>(std::max(0.01, std::min(share, 0.5 * move_time_ + 0.9 * increment_)));
}

void HubEngine::go(const std::string& mode) {
    if (!initialised_ || !has_position_) return error("init and pos come before go");
    if (mode != "think" && mode != "ponder" && mode != "analyze") return error("go needs think, ponder or analyze");
    PlyRecord& root = root_record();
    set_record_position(root, board_, side_);
    generate_moves(side_, root);
    if (root.move_count == 0) return error("the position has no legal move");
    if (mode == "think") {
        // A forced move or a book move needs no search.
        std::uint32_t index = 0;
        if (root.move_count == 1 || book_move(index)) {
            write("done move=" + hub_move_text(root_record(), side_, root_record().moves[index]));
            return;
        }
    }
    GameState& state = game_state();
    Settings& s = settings();
    state.board = board_;
    state.side = side_;
    state.computer_to_move = 1;
    state.engine_move = 0;
    state.pv_length = 0;
    state.search_kind = limit_ == Limit::DEPTH ? FIXED_PLY : FIXED_TIME_PER_MOVE;
    s.search_mode = state.search_kind.load();
    s.ply = depth_;
    set_record_position(root, board_, side_);
    pondering_ = mode == "ponder";
    timed_ = limit_ == Limit::MOVE_TIME || limit_ == Limit::GAME_TIME;
    allotted_ = std::chrono::duration_cast<Clock::duration>(move_budget());
    deadline_ = timed_ && !pondering_ ? Clock::now() + allotted_ : Clock::time_point::max();
    give_strong_engine_its_time();
    reporter_->begin(board_, side_);
    searching_ = true;
    engine_start(state);
}

// The strong engine is told the game's positions that a king step may repeat, and spends
// its time by how settled its move is: in a game with a clock it aims at the share and
// may run to two and a half times it (never past half of what is left). A fixed time
// per move is used to its end: time saved is not carried over, and an unfinished
// iteration may still find a better move. The classic engine is stopped at the share.
void HubEngine::give_strong_engine_its_time() {
    using std::chrono::milliseconds;
    if (engine_kind() != EngineKind::STRONG) return;
    strong_set_history(history_);
    if (!timed_ || pondering_) {
        strong_set_budget(milliseconds{0}, milliseconds{0});
        return;
    }
    auto maximum = allotted_;
    auto nominal = Clock::duration::zero();
    if (limit_ == Limit::GAME_TIME) {
        nominal = allotted_;
        const auto half_left = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(0.5 * move_time_));
        maximum = std::max(allotted_, std::min(allotted_ * 5 / 2, half_left));
        deadline_ = Clock::now() + maximum;
    }
    strong_set_budget(std::chrono::duration_cast<milliseconds>(nominal), std::chrono::duration_cast<milliseconds>(maximum));
}

void HubEngine::tick() {
    if (!searching_) return;
    // The engine may end a search itself (its depth reached, a win found).
    if (app_state().engine_state == ENGINE_IDLE || Clock::now() >= deadline_) finish_search();
}

void HubEngine::finish_search() {
    GameState& state = game_state();
    engine_stop(state);
    searching_ = false;
    pondering_ = false;
    const PlyRecord& root = root_record();
    const int index = std::clamp(static_cast<int>(state.engine_move), 0, root.move_count - 1);
    const std::string move = hub_move_text(root, side_, root.moves[index]);
    std::string line = "done move=" + move;
    const std::vector<std::string> pv = pv_texts(board_, side_, state, *scratch_);
    if (pv.size() >= 2 && pv[0] == move) line += " ponder=" + pv[1];
    write(line);
}

// The book follows games from the start position: it is asked only when the position
// came as the start position and the moves played from it.
bool HubEngine::book_move(std::uint32_t& index) {
    if (!use_book_ || !from_start_ || book_line_count() == 0) return false;
    GameState& state = game_state();
    state.white_is_computer = side_ == WHITE;
    state.black_is_computer = side_ != WHITE;
    state.use_book = 1;
    book_start(state);
    PlyRecord& root = root_record();
    Board board;
    Side side = WHITE;
    read_position(START_POSITION, board, side);
    for (const MoveRecord& played : game_moves_) {
        if (state.use_book == 0) return false;
        set_record_position(root, board, side);
        generate_moves(side, root);
        int found = -1;
        for (int i = 0; i < root.move_count && found < 0; ++i) {
            if (same_move(root.moves[i], played)) found = i;
        }
        if (found < 0) return false;
        state.side = side;
        state.move_to_play = found;
        book_advance(state);
        make_move(root, root.moves[found]);
        board = (&root)[1].board;
        side = ~side;
    }
    set_record_position(root, board_, side_);
    generate_moves(side_, root);
    state.side = side_;
    if (state.use_book == 0 || !book_choose(state)) return false;
    index = static_cast<std::uint32_t>(state.engine_move.load());
    return true;
}
