#include "tools/tune/game_data.h"

#include <bit>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "engine/knowledge/egdb.h"
#include "engine/search/driver.h"
#include "engine/search/strong_search.h"
#include "engine/search/strong_table.h"
#include "game/game_end.h"
#include "game/record.h"
#include "records/settings.h"
#include "tools/book/book_source.h"

namespace {

// Games longer than this are scored as drawn; the game rules end almost all before.
constexpr int PLY_CAP = 400;
// Positions this early belong to the opening and are not written.
constexpr int FIRST_WRITTEN_PLY = 10;

// One game on a ply stack of its own (the engine's search keeps the program's root
// record), with the record the game-end rules read.
class SelfPlayGame {
  public:
    SelfPlayGame()
        : stack_(std::make_unique<PlyStack>()), record_(std::make_unique<GameRecord>()) {}

    void start() {
        stack_->reset();
        setup_initial_position(board_);
        side_ = WHITE;
        ply_ = 0;
        reversible_.clear();
        *record_ = GameRecord{};
        record_->entries[0].side = side_;
        record_->entries[0].board = board_;
    }

    // Lists the moves of the position; the list stays valid until the next move.
    int list_moves() {
        set_record_position(stack_->root(), board_, side_);
        generate_moves(side_, stack_->root());
        return stack_->root().move_count;
    }
    const MoveRecord& move(int index) const { return stack_->plies[0].moves[index]; }

    void play(int index) {
        MoveRecord& m = stack_->root().moves[index];
        record_->entries[ply_].move_type = static_cast<std::int32_t>(move_kind(m.word));
        make_move(stack_->root(), m);
        const Board& after = stack_->plies[1].board;
        // A quiet king move can be undone; a man move or a capture never.
        const bool reversible = after.white_men == board_.white_men &&
                                after.black_men == board_.black_men &&
                                std::popcount(after.white() | after.black()) ==
                                    std::popcount(board_.white() | board_.black());
        if (reversible) {
            reversible_.push_back(position_hash(board_, side_));
        } else {
            reversible_.clear();
        }
        board_ = after;
        side_ = ~side_;
        ++ply_;
        record_->entries[ply_] = GameEntry{};
        record_->entries[ply_].side = side_;
        record_->entries[ply_].board = board_;
        record_->length = record_->current = ply_;
    }

    GameResult result(bool has_move) const { return record_result(*record_, ply_, has_move); }
    const Board& board() const { return board_; }
    Side side() const { return side_; }
    int ply() const { return ply_; }
    // The positions since the last man move or capture, for the strong engine's draws.
    const std::vector<std::uint64_t>& reversible_positions() const { return reversible_; }

  private:
    std::unique_ptr<PlyStack> stack_;
    std::unique_ptr<GameRecord> record_;
    Board board_;
    Side side_ = WHITE;
    int ply_ = 0;
    std::vector<std::uint64_t> reversible_;
};

bool play_random_plies(SelfPlayGame& game, std::mt19937_64& rng) {
    const int plies = std::uniform_int_distribution<int>(6, 10)(rng);
    for (int i = 0; i < plies; ++i) {
        const int count = game.list_moves();
        if (count == 0) return false;
        game.play(std::uniform_int_distribution<int>(0, count - 1)(rng));
    }
    return true;
}

bool play_book_line(SelfPlayGame& game, const BookSourceLine& line) {
    for (const std::string& text : line.moves) {
        const int count = game.list_moves();
        int found = -1;
        for (int m = 0; m < count && found < 0; ++m)
            found = move_text(game.move(m)) == text ? m : -1;
        if (found < 0) return false;
        game.play(found);
    }
    return true;
}

// The engine's move at `depth`, as an index into the game's list, and its score for
// the side to move.
int engine_choice(const SelfPlayGame& game, int count, int depth, int& score) {
    GameState& state = game_state();
    prepare_fixed_ply_search(state, game.board(), game.side(), depth);
    if (engine_kind() == EngineKind::STRONG) strong_set_history(game.reversible_positions());
    run_search(state);
    score = state.score.load();
    const MoveRecord& chosen = root_moves()[state.engine_move];
    for (int m = 0; m < count; ++m) {
        if (same_move(game.move(m), chosen)) return m;
    }
    return 0;
}

struct WrittenPosition {
    std::string fen;
    int score;  // the search's, White's view
};

// Plays on from the opening; returns White's result and the quiet positions met.
// `adjudicated` tells whether the databases ended the game.
double play_out(SelfPlayGame& game, int depth, bool databases, std::mt19937_64& rng,
                std::vector<WrittenPosition>& fens, bool& adjudicated) {
    const int first_written = std::max(game.ply(), FIRST_WRITTEN_PLY);
    adjudicated = false;
    for (;;) {
        const int count = game.list_moves();
        const GameResult result = game.result(count > 0);
        if (result == RESULT_WHITE_WINS) return 1.0;
        if (result == RESULT_BLACK_WINS) return 0.0;
        if (result != RESULT_NONE || game.ply() >= PLY_CAP) return 0.5;
        if (databases) {
            const double known = database_result(game.board(), game.side());
            if (known >= 0) {
                adjudicated = true;
                return known;
            }
        }
        const bool quiet = !is_capture_kind(move_kind(game.move(0).word));
        const bool written = quiet && game.ply() >= first_written && !settled_by_rule(game.board());
        const std::string fen = written ? to_fen(game.board(), game.side()) : std::string();
        const int searched = depth - static_cast<int>(rng() % 2);
        int score = 0;
        const int choice = engine_choice(game, count, std::max(2, searched), score);
        if (written) fens.push_back({fen, game.side() == WHITE ? score : -score});
        game.play(choice);
    }
}

bool read_book_lines(const std::string& path, std::vector<BookSourceLine>& lines,
                     std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse_book_source(text.str(), lines, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace

double database_result(const Board& board, Side side) {
    PlyRecord r;
    r.board = board;
    r.type_counts[0] = std::popcount(board.white_men);
    r.type_counts[1] = std::popcount(board.white_kings);
    r.type_counts[2] = std::popcount(board.black_men);
    r.type_counts[3] = std::popcount(board.black_kings);
    switch (egdb_probe(side, r)) {
        case EGDB_WIN:
            return side == WHITE ? 1.0 : 0.0;
        case EGDB_LOSS:
            return side == WHITE ? 0.0 : 1.0;
        case EGDB_DRAW:
            return 0.5;
        default:
            return -1.0;
    }
}

bool settled_by_rule(const Board& board) {
    const int white = std::popcount(board.white());
    const int black = std::popcount(board.black());
    if (white <= 3 && black <= 3) return true;
    if ((board.white_men | board.black_men) != 0) return false;
    return (white == 4 && black == 1) || (white == 1 && black == 4);
}

bool generate_games(const GenOptions& options, std::FILE* out, GenStats& stats,
                    std::string& error) {
    std::vector<BookSourceLine> book;
    if (!options.book_source.empty() && !read_book_lines(options.book_source, book, error))
        return false;
    const bool databases = !options.egdb_dir.empty();
    if (databases && egdb_init(options.egdb_dir.c_str()) != 1) {
        error = "no endgame databases in " + options.egdb_dir;
        return false;
    }
    settings().endgame_use = databases ? 1 : 0;  // the searches probe them as in a match
    std::mt19937_64 rng(options.seed);
    set_engine_kind(options.engine);
    SelfPlayGame game;
    std::vector<WrittenPosition> fens;
    for (int g = 0; g < options.games; ++g) {
        game.start();
        const bool from_book = !book.empty() && g % 4 == 3;
        const bool opened =
            from_book ? play_book_line(game, book[static_cast<std::size_t>(g / 4) % book.size()])
                      : play_random_plies(game, rng);
        if (!opened) continue;
        if (options.engine == EngineKind::STRONG) strong_new_game();
        fens.clear();
        bool adjudicated = false;
        const double result = play_out(game, options.depth, databases, rng, fens, adjudicated);
        ++stats.games;
        stats.ended_by_databases += adjudicated ? 1 : 0;
        (result == 1.0 ? stats.white_wins : result == 0.0 ? stats.black_wins : stats.draws)++;
        stats.positions += static_cast<long>(fens.size());
        // One write a game: a run stopped between games leaves only whole games.
        std::string text;
        const std::string tail = result == 1.0 ? " 1 " : result == 0.0 ? " 0 " : " 0.5 ";
        for (const WrittenPosition& p : fens) text += p.fen + tail + std::to_string(p.score) + "\n";
        std::fwrite(text.data(), 1, text.size(), out);
        std::fflush(out);
    }
    return true;
}

std::vector<TuneSample> read_samples(std::FILE* in, long& rejected) {
    std::vector<TuneSample> samples;
    rejected = 0;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
        std::istringstream line(buffer);
        std::string fen, result, score, rest;
        line >> fen >> result >> score >> rest;
        Board board;
        Side side = WHITE;
        std::string error;
        char* end = nullptr;
        const long searched = score.empty() ? 0 : std::strtol(score.c_str(), &end, 10);
        if ((result != "1" && result != "0" && result != "0.5") || !rest.empty() ||
            (!score.empty() && (*end != '\0' || searched < -32767 || searched > 32767)) ||
            !parse_fen(fen, board, side, error)) {
            ++rejected;
            continue;
        }
        if (settled_by_rule(board)) continue;
        TuneSample& s = samples.emplace_back();
        strong_features(board, s.features);
        strong_region_slots(board, s.regions);
        s.has_regions = true;
        s.phase = static_cast<std::int8_t>(strong_phase(board));
        s.result = result == "1" ? 1.0F : result == "0" ? 0.0F : 0.5F;
        s.has_score = !score.empty();
        s.score = static_cast<std::int16_t>(searched);
    }
    return samples;
}
