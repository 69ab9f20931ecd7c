// The game record, the two-click move entry, the set-up edits and the turn marks.

#include "tests/game/game_test_support.h"

namespace {

Board start_board() {
    Board board;
    setup_initial_position(board);
    return board;
}

class GameRecordTest : public GameTest {};
class SelectionTest : public GameTest {
protected:
    Selection selection;
    int click(int square) {
        selection.clicked = square;
        return select_square(selection, state);
    }
};
class EditTest : public GameTest {
protected:
    int piece(int square) const { return piece_on_square(square, state.board); }
    // Steps a scratch square through its pieces until the set-up colour is `colour`;
    // the square ends empty.
    void make_setup_colour(int colour) {
        for (int i = 0; i < 12 && (setup_colour() != colour || piece(25) != EMPTY_SQUARE); ++i) {
            edit_square(EDIT_SQUARE, 25, state);
        }
        ASSERT_EQ(setup_colour(), colour);
        ASSERT_EQ(piece(25), EMPTY_SQUARE);
    }
};
class MarksTest : public GameTest {};

}  // namespace

TEST_F(GameRecordTest, NewGameIsEmptyAtTheStartPositionWithWhiteToMove) {
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(game_current(), 0);
    EXPECT_EQ(game_entry(0).side, WHITE);
    EXPECT_EQ(game_entry(0).board, start_board());
    EXPECT_EQ(state.legal_count, 9);
    EXPECT_EQ(state.capture_count, 0);
}

TEST_F(GameRecordTest, PlayingAfterUndoDropsTheUndoneMoves) {
    play("32-28");
    play("19-23");
    play("28x19");
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_EQ(game_record_step(UNDO, state), 1);
    EXPECT_EQ(game_current(), 1);
    EXPECT_EQ(state.side, BLACK);
    play("18-23");
    EXPECT_EQ(game_length(), 2);
    EXPECT_EQ(game_current(), 2);
    EXPECT_EQ(entry_text(game_entry(1)), "18-23");
    EXPECT_EQ(game_record_step(REDO, state), 0);
}

TEST_F(GameRecordTest, UndoAtTheStartAndRedoAtTheEndDoNothing) {
    EXPECT_EQ(game_record_step(UNDO, state), 0);
    play("32-28");
    const Board before = state.board;
    ui.checks.clear();
    EXPECT_EQ(game_record_step(REDO, state), 0);
    EXPECT_EQ(state.board, before);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_TRUE(ui.checks.empty());
    EXPECT_EQ(game_record_step(5, state), 0);
    EXPECT_EQ(game_record_step(0, state), 0);
}

TEST_F(GameRecordTest, UndoAndRedoWalkThePositionsAndRelistTheMoves) {
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
    EXPECT_EQ(game_current(), 2);
}

TEST_F(GameRecordTest, TheFiveHundredThirteenthMoveIsRefused) {
    start_game("W:WK46:BK4");
    const char* shuffle[] = {"46-41", "4-9", "41-46", "9-4"};
    for (int i = 0; i < MAX_GAME_MOVES; ++i) play(shuffle[i % 4]);
    ASSERT_EQ(game_length(), MAX_GAME_MOVES);
    const Board before = state.board;
    const Side side = state.side;
    MoveMessage message{};
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
    state.move_to_play = 0;
    state.side = ~state.side;
    EXPECT_TRUE(record_move(state, message));
    EXPECT_EQ(game_length(), MAX_GAME_MOVES);
}

TEST_F(GameRecordTest, AMoveIndexOutsideTheListIsRefused) {
    MoveMessage message{};
    state.move_to_play = 9;
    EXPECT_FALSE(record_move(state, message));
    state.move_to_play = -1;
    EXPECT_FALSE(record_move(state, message));
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(state.board, start_board());
}

TEST_F(GameRecordTest, ALostPositionNeverAsksForTheEngine) {
    // Permanent Brain is on by default, so the engine thinks whenever there is a move;
    // after White takes Black's last piece there is none, whatever the count was before.
    start_game("W:W28:B23");
    EXPECT_EQ(state.engine_request, 1);
    play("28x19");
    EXPECT_EQ(state.legal_count, 0);
    EXPECT_EQ(state.engine_request, 0);
}

TEST_F(SelectionTest, AManWithOneMoveMovesAtTheFirstClick) {
    EXPECT_EQ(click(35), SELECT_MOVE);
    EXPECT_EQ(state.player_move, index_of("35-30"));
    EXPECT_EQ(selection.from, 0);
}

TEST_F(SelectionTest, AManWithTwoMovesWaitsForTheSecondClick) {
    EXPECT_EQ(click(32), SELECT_PIECE);
    EXPECT_EQ(selection.from, 32);
    EXPECT_EQ(click(28), SELECT_MOVE);
    EXPECT_EQ(state.player_move, index_of("32-28"));
}

TEST_F(SelectionTest, ASecondClickElsewhereDropsTheSelection) {
    EXPECT_EQ(click(32), SELECT_PIECE);
    selection.second = 5;
    EXPECT_EQ(click(29), SELECT_DROPPED);
    EXPECT_EQ(selection.from, 0);
    EXPECT_EQ(selection.second, 0);
    EXPECT_EQ(click(0), SELECT_NOTHING);  // a light square
}

TEST_F(SelectionTest, SquaresWithoutAMovablePieceSelectNothing) {
    EXPECT_EQ(click(42), SELECT_NOTHING);  // blocked
    EXPECT_EQ(click(18), SELECT_NOTHING);  // Black's
    EXPECT_EQ(click(25), SELECT_NOTHING);  // empty
    EXPECT_EQ(selection.from, 0);
}

TEST_F(SelectionTest, CapturesBetweenTheSameSquaresPlayTheLastInTheList) {
    start_game("W:W38:B22,23,32,33");
    ASSERT_EQ(state.legal_count, 2);
    EXPECT_EQ(click(38), SELECT_PIECE);
    EXPECT_EQ(click(38), SELECT_MOVE);
    EXPECT_EQ(state.player_move, 1);
}

TEST_F(EditTest, AnEmptyCrowningSquareTakesAKingOfTheSetUpColour) {
    make_setup_colour(SETUP_WHITE);
    edit_square(EDIT_CLEAR, 0, state);
    edit_square(EDIT_SQUARE, 3, state);
    EXPECT_EQ(piece(3), WHITE_KING);
    edit_square(EDIT_SQUARE, 48, state);
    EXPECT_EQ(piece(48), WHITE_MAN);

    make_setup_colour(SETUP_BLACK);
    edit_square(EDIT_SQUARE, 4, state);
    EXPECT_EQ(piece(4), BLACK_MAN);
    edit_square(EDIT_SQUARE, 47, state);
    EXPECT_EQ(piece(47), BLACK_KING);
    EXPECT_TRUE(board_is_consistent(state.board));
}

TEST_F(EditTest, ClicksStepASquareThroughBothColours) {
    make_setup_colour(SETUP_WHITE);
    edit_square(EDIT_CLEAR, 0, state);
    const int expected[] = {WHITE_MAN, WHITE_KING, EMPTY_SQUARE, BLACK_MAN, BLACK_KING, EMPTY_SQUARE};
    const int colour[] = {SETUP_WHITE, SETUP_WHITE, SETUP_BLACK, SETUP_BLACK, SETUP_BLACK, SETUP_WHITE};
    for (int i = 0; i < 6; ++i) {
        edit_square(EDIT_SQUARE, 23, state);
        EXPECT_EQ(piece(23), expected[i]) << "click " << i + 1;
        EXPECT_EQ(setup_colour(), colour[i]) << "click " << i + 1;
        EXPECT_TRUE(board_is_consistent(state.board));
    }
}

TEST_F(EditTest, ClearAndInitSetTheBoardAndOtherOpsDoNothing) {
    edit_square(EDIT_CLEAR, 0, state);
    EXPECT_EQ(state.board.empty, SQUARE_BITS);
    edit_square(EDIT_INIT, 0, state);
    EXPECT_EQ(state.board, start_board());
    edit_square(7, 23, state);
    edit_square(EDIT_SQUARE, 0, state);
    edit_square(EDIT_SQUARE, 51, state);
    edit_square(EDIT_SQUARE, -3, state);
    EXPECT_EQ(state.board, start_board());
}

TEST_F(MarksTest, SideMarksFollowTheSideToMove) {
    state.black_is_computer = 1;
    state.side = BLACK;
    update_side_marks(state);
    EXPECT_EQ(state.computer_to_move, 1);
    EXPECT_EQ(ui.checked(CMD_EDIT_BLACK_TO_MOVE), 1);
    EXPECT_EQ(ui.checked(CMD_EDIT_WHITE_TO_MOVE), 0);
    state.side = WHITE;
    update_side_marks(state);
    EXPECT_EQ(state.computer_to_move, 0);
    EXPECT_EQ(ui.checked(CMD_EDIT_WHITE_TO_MOVE), 1);
}

TEST_F(MarksTest, TurnMarksNameWhoMovesWithWhichColour) {
    state.side = BLACK;
    state.computer_to_move = 1;
    update_turn_marks(state);
    EXPECT_EQ(ui.checked(CMD_MOVE_COMPUTER), 1);
    EXPECT_EQ(ui.checked(CMD_MOVE_PLAYER), 0);
    ASSERT_FALSE(ui.status.empty());
    EXPECT_EQ(ui.status.back(), std::make_pair(static_cast<int>(PANE_TURN), std::string("Computer to move with Black")));
    state.side = WHITE;
    state.computer_to_move = 0;
    update_turn_marks(state);
    EXPECT_EQ(ui.checked(CMD_MOVE_PLAYER), 1);
    EXPECT_EQ(ui.status.back().second, "Player to move with White");
}

TEST_F(MarksTest, TheEngineIsWantedForTheComputerOrPermanentBrain) {
    settings().permanent_brain = 0;
    state.legal_count = 3;
    EXPECT_EQ(engine_wanted(state), 0);
    state.white_is_computer = 1;
    EXPECT_EQ(engine_wanted(state), 1);
    state.side = BLACK;
    EXPECT_EQ(engine_wanted(state), 0);
    settings().permanent_brain = 1;
    EXPECT_EQ(engine_wanted(state), 1);
    state.legal_count = 0;
    EXPECT_EQ(engine_wanted(state), 0);
}
