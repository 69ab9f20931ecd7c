// The game record, the two-click move entry and the set-up edits.

#include "tests/game/game_test_support.h"

namespace {

Board start_board() {
    Board board;
    setup_initial_position(board);
    return board;
}

using GameRecordTest = GameTest;

class SelectionTest : public GameTest {
  protected:
    Selection selection;
    int click(int square) {
        selection.clicked = square;
        return select_square(selection, state);
    }
};

}  // namespace

TEST_F(GameRecordTest, NewGameIsEmptyAtTheStartPositionWithWhiteToMove) {
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(game_current(), 0);
    EXPECT_EQ(game_entry(0).side, WHITE);
    EXPECT_EQ(game_entry(0).board, start_board());
    EXPECT_EQ(state.legal_count, 9);
    EXPECT_EQ(state.capture_count, 0);
}

TEST_F(GameRecordTest, UndoAndRedoWalkThePositionsAndStopAtTheEnds) {
    EXPECT_EQ(game_record_step(UNDO, state), 0);
    play("32-28");
    play("18-23");
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_EQ(state.board, game_entry(1).board);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_EQ(root_record().board, game_entry(1).board);
    EXPECT_EQ(state.legal_count, 9);
    EXPECT_EQ(ui.checked(CMD_EDIT_BLACK_TO_MOVE), 1);
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_EQ(state.board, start_board());
    EXPECT_EQ(state.side, WHITE);
    EXPECT_EQ(game_record_step(REDO, state), 1);
    EXPECT_EQ(game_record_step(REDO, state), 1);
    EXPECT_EQ(state.board, game_entry(2).board);
    ui.checks.clear();
    EXPECT_EQ(game_record_step(REDO, state), 0);
    EXPECT_EQ(state.board, game_entry(2).board);
    EXPECT_TRUE(ui.checks.empty());
    EXPECT_EQ(game_record_step(5, state), 0);
    EXPECT_EQ(game_record_step(0, state), 0);
}

TEST_F(GameRecordTest, PlayingAfterUndoDropsTheUndoneMoves) {
    play("32-28");
    play("19-23");
    play("28x19");
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    play("18-23");
    EXPECT_EQ(game_length(), 2);
    EXPECT_EQ(game_current(), 2);
    EXPECT_EQ(entry_text(game_entry(1)), "18-23");
    EXPECT_EQ(game_record_step(REDO, state), 0);
}

TEST_F(GameRecordTest, RecordMoveRefusesTheFiveHundredThirteenthMoveAndIndicesOffTheList) {
    MoveMessage message{};
    for (int index : {9, -1}) {
        state.move_to_play = index;
        EXPECT_FALSE(record_move(state, message));
    }
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(state.board, start_board());

    play_king_shuffle();
    ASSERT_EQ(game_length(), MAX_GAME_MOVES);
    const Board before = state.board;
    const Side side = state.side;
    message.fill('?');
    state.move_to_play = 0;
    EXPECT_FALSE(record_move(state, message));
    EXPECT_EQ(message[0], '\0');
    EXPECT_EQ(game_length(), MAX_GAME_MOVES);
    EXPECT_EQ(game_current(), MAX_GAME_MOVES);
    EXPECT_EQ(state.board, before);
    EXPECT_EQ(state.side, side);
    EXPECT_EQ(game_entry(MAX_GAME_MOVES).board, before);
    // After an undo there is room again, and the new move replaces the last one.
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_TRUE(play_index(0));
    EXPECT_EQ(game_length(), MAX_GAME_MOVES);
}

// Permanent Brain is on by default, so the engine thinks whenever there is a move; after
// White takes Black's last piece there is none, whatever the count was before.
TEST_F(GameRecordTest, ALostPositionNeverAsksForTheEngine) {
    start_game("W:W28:B23");
    EXPECT_EQ(state.engine_request, 1);
    play("28x19");
    EXPECT_EQ(state.legal_count, 0);
    EXPECT_EQ(state.engine_request, 0);
}

TEST_F(SelectionTest, OneClickForASingleMoveTwoForSeveral) {
    EXPECT_EQ(click(35), SELECT_MOVE);
    EXPECT_EQ(state.player_move, index_of("35-30"));
    EXPECT_EQ(selection.from, 0);
    EXPECT_EQ(click(32), SELECT_PIECE);
    EXPECT_EQ(selection.from, 32);
    EXPECT_EQ(click(28), SELECT_MOVE);
    EXPECT_EQ(state.player_move, index_of("32-28"));
    // Squares without a movable piece: blocked, Black's, empty, a light square.
    selection = {};
    for (int square : {42, 18, 25, 0}) EXPECT_EQ(click(square), SELECT_NOTHING) << square;
    EXPECT_EQ(selection.from, 0);
}

TEST_F(SelectionTest, ASecondClickElsewhereDropsTheSelection) {
    EXPECT_EQ(click(32), SELECT_PIECE);
    selection.second = 5;
    EXPECT_EQ(click(29), SELECT_DROPPED);
    EXPECT_EQ(selection.from, 0);
    EXPECT_EQ(selection.second, 0);
    // Captures between the same squares: the second click plays the last in the list.
    start_game("W:W38:B22,23,32,33");
    ASSERT_EQ(state.legal_count, 2);
    EXPECT_EQ(click(38), SELECT_PIECE);
    EXPECT_EQ(click(38), SELECT_MOVE);
    EXPECT_EQ(state.player_move, 1);
}

// A click steps a square through man and king of the set-up colour to empty, and then the
// colour turns; an empty crowning square takes a king at once (White's 1-5, Black's 46-50).
TEST_F(GameRecordTest, SetUpClicksStepASquareThroughBothColours) {
    edit_square(EDIT_CLEAR, 0, state);
    EXPECT_EQ(state.board.empty, SQUARE_BITS);
    // The colour turns only as a square empties: 23 is empty again once it is White.
    for (int i = 0; i < 6 && setup_colour() != SETUP_WHITE; ++i)
        edit_square(EDIT_SQUARE, 23, state);
    const int W = SETUP_WHITE, B = SETUP_BLACK;
    const std::tuple<int, int, int> clicks[] = {
        {23, WHITE_MAN, W},  {23, WHITE_KING, W},   {23, EMPTY_SQUARE, B}, {23, BLACK_MAN, B},
        {23, BLACK_KING, B}, {23, EMPTY_SQUARE, W}, {3, WHITE_KING, W},    {48, WHITE_MAN, W},
        {23, WHITE_MAN, W},  {23, WHITE_KING, W},   {23, EMPTY_SQUARE, B}, {4, BLACK_MAN, B},
        {47, BLACK_KING, B}};
    for (const auto& [square, piece, colour] : clicks) {
        edit_square(EDIT_SQUARE, square, state);
        EXPECT_EQ(piece_on_square(square, state.board), piece) << square;
        EXPECT_EQ(setup_colour(), colour) << square;
    }
    EXPECT_TRUE(board_is_consistent(state.board));
    edit_square(EDIT_INIT, 0, state);
    EXPECT_EQ(state.board, start_board());
    for (auto [op, square] : std::initializer_list<std::pair<int, int>>{
             {7, 23}, {EDIT_SQUARE, 0}, {EDIT_SQUARE, 51}, {EDIT_SQUARE, -3}})
        edit_square(op, square, state);
    EXPECT_EQ(state.board, start_board());
}
