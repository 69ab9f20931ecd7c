#pragma once
// The game module as the controller drives it: a user interface that records what it is
// told, a fresh game, and moves played the way move_done plays them.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "game/controller.h"
#include "game/move_text.h"
#include "game/record.h"
#include "records/settings.h"

class RecordingUi final : public QuietGameUi {
  public:
    std::vector<std::pair<int, bool>> checks;
    int boards_drawn = 0;

    void check_menu_item(int command, bool checked) override {
        checks.emplace_back(command, checked);
    }
    void draw_all_pieces(const Board&) override { ++boards_drawn; }

    // The last state the UI was given for a menu item (-1: never touched).
    int checked(int command) const {
        for (auto it = checks.rbegin(); it != checks.rend(); ++it) {
            if (it->first == command) return it->second ? 1 : 0;
        }
        return -1;
    }
};

// Every test starts from a new game at the start position (or `fen`), Player - Player.
class GameTest : public testing::Test {
  protected:
    GameState state;
    RecordingUi ui;

    void SetUp() override {
        init_board_tables();
        reset_settings();
        set_game_ui(&ui);
        start_game("W:W31-50:B1-20");
    }
    void TearDown() override { set_game_ui(nullptr); }

    void start_game(const std::string& fen) {
        Side side = WHITE;
        std::string error;
        ASSERT_TRUE(parse_fen(fen, state.board, side, error)) << error;
        state.side = side;
        game_record_clear();
        game_record_step(START, state);
        list_legal_moves(state);
    }

    // The root-list index of the move written "32-28" or "28x19", or -1.
    static int index_of(const std::string& text) {
        const PlyRecord& root = root_record();
        for (int i = 0; i < root.move_count; ++i) {
            if (move_text(root.moves[i]) == text) return i;
        }
        return -1;
    }

    // What move_done does with a move: flip the side, record it, store the new position
    // and list its moves.
    bool play_index(int index) {
        MoveMessage message{};
        state.move_to_play = index;
        state.side = ~state.side;
        if (!record_move(state, message)) {
            state.side = ~state.side;
            return false;
        }
        game_record_step(STORE, state);
        list_legal_moves(state);
        return true;
    }
    void play(const std::string& text) {
        const int index = index_of(text);
        ASSERT_GE(index, 0) << text << " is not legal in " << to_fen(state.board, state.side);
        ASSERT_TRUE(play_index(index));
    }
    // Two kings moving to and fro from a set-up position, as long as the record holds.
    void play_king_shuffle() {
        start_game("W:WK46:BK4");
        const char* shuffle[] = {"46-41", "4-9", "41-46", "9-4"};
        for (int i = 0; i < MAX_GAME_MOVES; ++i) play(shuffle[i % 4]);
    }
    // Random moves until the game ends or `moves` are played. With `careful`, a move that
    // lets the opponent capture is taken only when every move does, and kings go first:
    // such games keep their pieces and run on into long king endings.
    void play_random(std::mt19937_64& rng, int moves, bool careful = false) {
        for (int played = 0; played < moves && state.legal_count > 0; ++played) {
            std::vector<int> best;
            for (int i = 0, best_rank = 0; i < state.legal_count; ++i) {
                const int rank = careful ? care(i) : 0;
                if (rank > best_rank) best.clear();
                if (rank < best_rank) continue;
                best.push_back(i);
                best_rank = rank;
            }
            std::uniform_int_distribution<std::size_t> pick(0, best.size() - 1);
            if (!play_index(best[pick(rng)])) break;
        }
    }
    // 2 when the move leaves the opponent no capture, plus 1 for a king's move.
    int care(int index) {
        static const auto scratch = std::make_unique<PlyStack>();
        scratch->reset();
        PlyRecord& here = scratch->root();
        set_record_position(here, state.board, state.side);
        generate_moves(state.side, here);
        make_move(here, here.moves[index]);
        PlyRecord& next = scratch->plies[1];
        set_record_position(next, next.board, ~state.side);
        generate_moves(~state.side, next);
        const std::uint32_t kind = move_kind(here.moves[index].word);
        return 2 * (next.max_captured == 0) + (kind == WHITE_KING_MOVE || kind == BLACK_KING_MOVE);
    }
};
