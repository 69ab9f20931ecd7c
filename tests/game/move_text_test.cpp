// Move texts: the remote move message both ways, the short form and captured squares.

#include "tests/game/game_test_support.h"

namespace {

class MoveTextTest : public GameTest {
  protected:
    std::string message_of(const std::string& move) {
        MoveMessage message{};
        encode_move_message(index_of(move), message);
        return message.data();
    }
};

}  // namespace

TEST_F(MoveTextTest, MessagesNameFromToAndTheCapturedSquares) {
    EXPECT_EQ(message_of("32-28"), "322800");
    EXPECT_EQ(message_of("31-26"), "312600");
    play("32-28");
    play("19-23");
    EXPECT_EQ(message_of("28x19"), "28190123");
    MoveMessage message{};
    state.move_to_play = index_of("28x19");
    state.side = ~state.side;
    ASSERT_TRUE(record_move(state, message));
    EXPECT_STREQ(message.data(), "28190123");
}

TEST_F(MoveTextTest, CapturedSquaresComeInBitOrderNotJumpOrder) {
    // The man jumps 18 first and then 29; square 29 lies on the lower bit.
    start_game("W:W12:B18,29");
    EXPECT_EQ(message_of("12x34"), "1234022918");
    play("12x34");
    game_record_step(UNDO, state);  // lists the position before the capture
    CapturedSquares squares{};
    ASSERT_EQ(captured_squares(0, squares), 2);
    EXPECT_EQ(squares[0], 29);
    EXPECT_EQ(squares[1], 18);
    // Entry 1 has no move yet; -1 is no entry.
    EXPECT_EQ(captured_squares(1, squares), 0);
    EXPECT_EQ(captured_squares(-1, squares), 0);
}

TEST_F(MoveTextTest, AMessageIsReadForTheSideToMoveWithOrWithoutTheLeadingS) {
    EXPECT_EQ(parse_move_message(state, "322800"), 1);
    EXPECT_EQ(state.move_to_play, index_of("32-28"));
    state.move_to_play = 0;
    EXPECT_EQ(parse_move_message(state, "S322800"), 1);
    EXPECT_EQ(state.move_to_play, index_of("32-28"));
    EXPECT_EQ(parse_move_message(state, "SS322800"), 0);
    play("32-28");
    EXPECT_EQ(parse_move_message(state, "322800"), 0);
    EXPECT_EQ(parse_move_message(state, "192300"), 1);
    EXPECT_EQ(state.move_to_play, index_of("19-23"));
    // A buffer without its NUL is refused.
    MoveMessage message;
    message.fill('3');
    EXPECT_EQ(parse_move_message(state, message), 0);
    std::snprintf(message.data(), message.size(), "S192300");
    EXPECT_EQ(parse_move_message(state, message), 1);
}

TEST_F(MoveTextTest, AnythingButALegalMoveIsRefused) {
    play("32-28");
    play("19-23");
    // First a count of 00 while a capture is due, then a wrong square, then garbage.
    std::vector<std::string> bad = {"281900",    "28190122",   "",         "S",        "2819",
                                    "28190",     "2819012",    "281901",   "28x90123", "2819o123",
                                    "28190123 ", "2819012345", "99190123", "00190123", "28510123",
                                    "28190199",  "28190100",   "-8190123", "2819 123", "28190223"};
    bad.push_back(std::string(64, '2'));  // longer than a message can be
    bad.push_back("28190123" + std::string(56, '0'));
    for (const std::string& text : bad) {
        state.move_to_play = 7;
        EXPECT_EQ(parse_move_message(state, text), 0) << '"' << text << '"';
        EXPECT_EQ(state.move_to_play, 7) << '"' << text << '"';
    }
    EXPECT_EQ(parse_move_message(state, "28190123"), 1);
    EXPECT_EQ(state.move_to_play, index_of("28x19"));
}

TEST_F(MoveTextTest, ShortAndGameWindowForms) {
    EXPECT_EQ(format_move(index_of("32-28")), "32-28");
    EXPECT_EQ(format_move(9), "");
    play("32-28");
    play("19-23");
    EXPECT_EQ(format_move(0), "28x19");
    EXPECT_EQ(entry_text(game_entry(0)), "32-28");
    GameEntry entry;
    entry.from = 4;
    entry.to = 15;
    entry.move_type = BLACK_KING_CAPTURE;
    EXPECT_EQ(entry_text(entry), " 4x15");
}
