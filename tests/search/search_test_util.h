#pragma once
// The engine as the search tests use it: the program's stacks and table, a position
// set up from FEN text, and the game state prepared for the computer to search it.

#include <gtest/gtest.h>

#include <string>

#include "engine/board/fen.h"
#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/search.h"
#include "engine/search/tt.h"

class EngineTest : public testing::Test {
protected:
    void SetUp() override {
        init_board_tables();
        evaluation_init();
        tt_set_allocation_cap(0);
        tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
        app_state().engine_state = ENGINE_IDLE;
        app_state().play_mode = PLAYER_COMPUTER;
        settings().endgame_use = 0;
    }
    void TearDown() override {
        set_engine_reporter(nullptr);
        tt_set_store_observer(nullptr);
        tt_free();
    }

    // Puts `fen` into the root record and the game state, the computer to move, Fixed Ply.
    Side setup(const std::string& fen, int ply = 6) {
        Board board;
        Side side = WHITE;
        std::string error;
        EXPECT_TRUE(parse_fen(fen, board, side, error)) << error;
        prepare_fixed_ply_search(game_state(), board, side, ply);
        return side;
    }

    // A fresh search of the root: empty table, fresh history and counters.
    void begin_search() {
        engine_reset(game_state());
        search_begin(game_state(), root_record());
    }

    std::string engine_move_text() { return move_text(root_moves()[game_state().engine_move]); }

    // The key of the position after move `index` of the root list.
    std::uint32_t key_after(int index) {
        PlyStack& scratch = *scratch_stack;
        scratch.reset();
        set_record_position(scratch.plies[0], root_record().board, game_state().side);
        generate_moves(game_state().side, scratch.plies[0]);
        make_move(scratch.plies[0], scratch.plies[0].moves[index]);
        return scratch.plies[1].key;
    }

    std::unique_ptr<PlyStack> scratch_stack = std::make_unique<PlyStack>();
};
