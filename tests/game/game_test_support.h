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
    std::vector<std::pair<int, std::string>> status;
    int boards_drawn = 0;

    void set_status_text(int pane, const std::string& text) override { status.emplace_back(pane, text); }
    void check_menu_item(int command, bool checked) override { checks.emplace_back(command, checked); }
    void draw_all_pieces(const Board&) override { ++boards_drawn; }
    Answer message_box(const std::string&, const std::string&, MessageKind) override { return Answer::OK; }

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
        Board board;
        Side side = WHITE;
        std::string error;
        ASSERT_TRUE(parse_fen(fen, board, side, error)) << error;
        state.board = board;
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
    bool play_index(int index, MoveMessage& message) {
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
        MoveMessage message{};
        const int index = index_of(text);
        ASSERT_GE(index, 0) << text << " is not legal in " << to_fen(state.board, state.side);
        ASSERT_TRUE(play_index(index, message));
    }
    // Random moves as play_random, but never one that lets the opponent capture when
    // another move does not, and kings before men: such games keep their pieces and run
    // into long king endings.
    int play_careful(std::mt19937_64& rng, int moves) {
        auto scratch = std::make_unique<PlyStack>();
        MoveMessage message{};
        int played = 0;
        std::vector<int> safe;
        while (played < moves && state.legal_count > 0 && game_current() < MAX_GAME_MOVES) {
            safe.clear();
            bool safe_kings = false;
            for (int i = 0; i < state.legal_count; ++i) {
                scratch->reset();
                PlyRecord& here = scratch->root();
                set_record_position(here, state.board, state.side);
                generate_moves(state.side, here);
                make_move(here, here.moves[i]);
                PlyRecord& next = scratch->plies[1];
                set_record_position(next, next.board, ~state.side);
                generate_moves(~state.side, next);
                if (next.max_captured != 0) continue;
                const std::uint32_t kind = move_kind(here.moves[i].word);
                const bool king = kind == WHITE_KING_MOVE || kind == BLACK_KING_MOVE;
                if (king && !safe_kings) safe.clear();
                if (king || !safe_kings) safe.push_back(i);
                safe_kings = safe_kings || king;
            }
            if (safe.empty()) {
                for (int i = 0; i < state.legal_count; ++i) safe.push_back(i);
            }
            const int pick = safe[std::uniform_int_distribution<std::size_t>(0, safe.size() - 1)(rng)];
            if (!play_index(pick, message)) break;
            ++played;
        }
        return played;
    }
    // Random legal moves until the game ends or `moves` are played; the number played.
    int play_random(std::mt19937_64& rng, int moves) {
        MoveMessage message{};
        int played = 0;
        while (played < moves && state.legal_count > 0 && game_current() < MAX_GAME_MOVES) {
            std::uniform_int_distribution<int> pick(0, state.legal_count - 1);
            if (!play_index(pick(rng), message)) break;
            ++played;
        }
        return played;
    }
};
