#include "tools/match/referee.h"

#include <memory>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "game/game_end.h"
#include "game/record.h"
#include "hub/hub_moves.h"

namespace {

constexpr const char* START_POSITION = "Wbbbbbbbbbbbbbbbbbbbbeeeeeeeeeewwwwwwwwwwwwwwwwwwww";

// The game as the referee keeps it: the record of positions (for the draw rules), the
// moves as Hub texts (for the engines) and as listed moves (for PDN).
class RefereeGame {
  public:
    RefereeGame() : stack_(std::make_unique<PlyStack>()), record_(std::make_unique<GameRecord>()) {
        setup_initial_position(board_);
        record_->entries[0].side = WHITE;
        record_->entries[0].board = board_;
    }

    Side side() const { return side_; }
    int plies() const { return record_->length; }
    const std::string& hub_moves() const { return hub_moves_; }
    std::vector<PdnMove>& moves() { return moves_; }

    // Lists the legal moves of the current position into the root record.
    PlyRecord& position() {
        stack_->reset();
        PlyRecord& root = stack_->root();
        set_record_position(root, board_, side_);
        generate_moves(side_, root);
        return root;
    }
    GameResult result() {
        return record_result(*record_, record_->length, position().move_count > 0);
    }
    // Plays the move `text` names; false when it names no legal move.
    bool play(const std::string& text) {
        PlyRecord& root = position();
        const MoveRecord* found = find_hub_move(root, side_, text);
        if (found == nullptr) return false;
        if (!hub_moves_.empty()) hub_moves_ += ' ';
        hub_moves_ += hub_move_text(root, side_, *found);
        MoveRecord move = *found;
        moves_.push_back({static_cast<std::int32_t>(found - root.moves), move});
        GameEntry& entry = record_->entries[static_cast<std::size_t>(record_->length)];
        entry.move_index = moves_.back().index;
        entry.move_type = static_cast<std::int32_t>(move_kind(move.word));
        entry.from = BIT_TO_SQUARE[move_from(move.word)];
        entry.to = BIT_TO_SQUARE[move_to(move.word)];
        make_move(root, move);
        board_ = stack_->plies[1].board;
        side_ = ~side_;
        GameEntry& next = record_->entries[static_cast<std::size_t>(++record_->length)];
        next = GameEntry{};
        next.side = side_;
        next.board = board_;
        record_->current = record_->length;
        return true;
    }

  private:
    std::unique_ptr<PlyStack> stack_;
    std::unique_ptr<GameRecord> record_;
    Board board_;
    Side side_ = WHITE;
    std::string hub_moves_;
    std::vector<PdnMove> moves_;
};

const char* side_name(Side side) {
    return side == WHITE ? "white" : "black";
}

void forfeit(GameOutcome& outcome, Side loser, const std::string& why) {
    outcome.white_points = loser == WHITE ? 0 : 2;
    outcome.faulty = loser;
    outcome.words =
        std::string(side_name(~loser)) + " wins (" + side_name(loser) + ": " + why + ")";
}

}  // namespace

const char* outcome_score_text(const GameOutcome& outcome) {
    return outcome.white_points == 2 ? "2-0" : outcome.white_points == 0 ? "0-2" : "1-1";
}

GameOutcome play_game(HubPlayer& white, HubPlayer& black, const Opening& opening, double seconds,
                      const std::atomic<bool>& abort) {
    GameOutcome outcome;
    RefereeGame game;
    for (const std::string& move : opening.moves) game.play(move);  // checked when read
    for (;;) {
        outcome.plies = game.plies();
        if (const GameResult result = game.result(); result != RESULT_NONE) {
            outcome.white_points = result == RESULT_WHITE_WINS   ? 2
                                   : result == RESULT_BLACK_WINS ? 0
                                                                 : 1;
            outcome.words = result_line_text(result);
            break;
        }
        if (game.plies() >= MOVE_CAP_PLIES) {
            outcome.white_points = 1;
            outcome.words = "draw (move limit)";
            break;
        }
        if (abort) {
            outcome.aborted = true;
            break;
        }
        const Side side = game.side();
        HubPlayer& mover = side == WHITE ? white : black;
        std::string move;
        std::string error;
        if (!mover.think(START_POSITION, game.hub_moves(), seconds, move, error)) {
            forfeit(outcome, side, error);
            break;
        }
        if (!game.play(move)) {
            forfeit(outcome, side, "illegal move " + (move.empty() ? std::string("''") : move));
            break;
        }
    }
    outcome.moves = std::move(game.moves());
    return outcome;
}
