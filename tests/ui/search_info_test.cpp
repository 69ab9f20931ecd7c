// The Search-Info window's fields, read from the game state when a notification comes.

#include "ui/search_info.h"

#include <gtest/gtest.h>

#include "engine/board/board.h"
#include "engine/search/driver.h"
#include "game/move_text.h"
#include "game/record.h"

TEST(SearchInfo, TextsComeFromTheGameStateAsTheyAreNow) {
    EXPECT_EQ(search_info_field(INFO_SCORE), 3);
    EXPECT_EQ(search_info_field(9005), -1);
    init_board_tables();
    GameState state;
    setup_initial_position(state.board);
    state.side = WHITE;
    ASSERT_EQ(list_legal_moves(state), 9);
    state.iteration_depth = 7;
    state.score = -35;
    state.examined_move = 0;
    state.engine_move = 8;
    state.examined_word = static_cast<std::int32_t>(root_moves()[0].word);
    state.engine_word = static_cast<std::int32_t>(root_moves()[8].word);
    EXPECT_EQ(search_info_text(INFO_DEPTH, state), "7");
    EXPECT_EQ(search_info_text(INFO_SCORE, state), "-35");
    EXPECT_EQ(search_info_text(INFO_EXAMINED, state), format_move(0));
    EXPECT_EQ(search_info_text(INFO_BEST, state), format_move(8));
    EXPECT_EQ(search_info_text(1234, state), "");
}
