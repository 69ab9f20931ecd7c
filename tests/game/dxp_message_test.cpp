// DamExchange messages built and read. The layouts, widths and examples come from the
// DamExchange protocol pages (mesander.nl/damexchange): egamereq.htm (GAMEREQ),
// egameacc.htm (GAMEACC, example "ATornado voor Windows 4.0        0"), emove.htm (MOVE,
// examples "M0012061100" and "M001205250422122320"), egameend.htm (GAMEEND, example
// "E00"), echat.htm (CHAT, example "CWhat do you think about move 35?"), backreq.htm
// (BACKREQ, example "B005Z"), ebackacc.htm (BACKACC: 'K' and a one-digit code 0-2), and
// edxplg2.htm (every message 1-127 characters of ASCII 1-127).

#include <gtest/gtest.h>

#include "engine/board/fen.h"
#include "game/dxp_message.h"

namespace {

DxpMessage parse_ok(std::string_view text) {
    DxpMessage message;
    std::string error;
    EXPECT_TRUE(dxp_parse(text, message, error)) << text << ": " << error;
    return message;
}

std::string parse_error(std::string_view text) {
    DxpMessage message = DxpChat{"unchanged"};
    std::string error;
    EXPECT_FALSE(dxp_parse(text, message, error)) << text;
    EXPECT_EQ(std::get<DxpChat>(message).text, "unchanged") << text;
    return error;
}

const std::string NAME_32 = "Tornado voor Windows 4.0        ";  // 24 characters and 8 blanks

}  // namespace

TEST(DxpMessage, GameRequestFieldsAndPadding) {
    DxpGameRequest request;
    request.initiator = "vantor 5.0";
    request.follower_colour = BLACK;
    request.minutes = 10;
    request.moves = 75;
    // 'R', version "01", the name in 32 places, follower colour, minutes and moves in
    // three places each, 'A' for the normal start: 43 characters.
    const std::string text = dxp_build(request);
    EXPECT_EQ(text, "R01vantor 5.0                      Z010075A");
    EXPECT_EQ(text.size(), 43u);

    const auto back = std::get<DxpGameRequest>(parse_ok(text));
    EXPECT_EQ(back.version, 1);
    EXPECT_EQ(back.initiator, "vantor 5.0");
    EXPECT_EQ(back.follower_colour, BLACK);
    EXPECT_EQ(back.minutes, 10);
    EXPECT_EQ(back.moves, 75);
    EXPECT_FALSE(back.set_up);

    // 'B': the colour to move and 50 squares from square 1, e w z W Z.
    request.set_up = true;
    request.side_to_move = BLACK;
    Side side = WHITE;
    std::string error;
    ASSERT_TRUE(parse_fen("B:W31-43,45-50,K7:B1-5,K44", request.board, side, error));
    const std::string position = dxp_build(request);
    EXPECT_EQ(position.size(), 94u);
    EXPECT_EQ(position.substr(42), "BZzzzzzeWeeeeeeeeeeeeeeeeeeeeeeewwwwwwwwwwwwwZwwwwww");
    const auto set_up = std::get<DxpGameRequest>(parse_ok(position));
    EXPECT_TRUE(set_up.set_up);
    EXPECT_EQ(set_up.side_to_move, BLACK);
    EXPECT_EQ(set_up.board, request.board);

    // A name that is too long is cut, leading blanks dropped, numbers clamped.
    request = DxpGameRequest{};
    request.initiator = "  " + std::string(40, 'x');
    request.minutes = 5000;
    EXPECT_EQ(dxp_build(request), "R01" + std::string(32, 'x') + "Z999000A");
}

TEST(DxpMessage, GameAcceptMoveAndGameEndExamples) {
    const auto accept = std::get<DxpGameAccept>(parse_ok("A" + NAME_32 + "0"));
    EXPECT_EQ(accept.follower, "Tornado voor Windows 4.0");
    EXPECT_EQ(accept.code, DXP_ACCEPT);
    EXPECT_EQ(dxp_build(accept), "A" + NAME_32 + "0");
    EXPECT_EQ(dxp_build(DxpGameAccept{"x", DXP_REFUSE_ALL}), "Ax" + std::string(31, ' ') + "3");

    const auto quiet = std::get<DxpMove>(parse_ok("M0012061100"));
    EXPECT_EQ(quiet.seconds, 12);
    EXPECT_EQ(quiet.from, 6);
    EXPECT_EQ(quiet.to, 11);
    EXPECT_TRUE(quiet.captured.empty());
    const auto capture = std::get<DxpMove>(parse_ok("M001205250422122320"));
    EXPECT_EQ(capture.from, 5);
    EXPECT_EQ(capture.to, 25);
    EXPECT_EQ(capture.captured, (std::vector<int>{22, 12, 23, 20}));
    EXPECT_EQ(dxp_build(capture), "M001205250422122320");
    EXPECT_EQ(dxp_build(DxpMove{12345, 32, 28, {}}), "M9999322800");

    const auto end = std::get<DxpGameEnd>(parse_ok("E00"));
    EXPECT_EQ(end.reason, DXP_END_UNSPECIFIED);
    EXPECT_EQ(end.stop_code, 0);
    EXPECT_EQ(dxp_build(DxpGameEnd{DXP_END_GIVE_UP, 1}), "E11");
    EXPECT_EQ(std::get<DxpGameEnd>(parse_ok("E31")).reason, DXP_END_WIN);
}

TEST(DxpMessage, ChatAndTakeBackExamples) {
    EXPECT_EQ(std::get<DxpChat>(parse_ok("CWhat do you think about move 35?")).text,
              "What do you think about move 35?");
    EXPECT_EQ(dxp_build(DxpChat{"good luck"}), "Cgood luck");
    // Text is 1 to 126 characters of printable ASCII.
    EXPECT_EQ(dxp_build(DxpChat{std::string(200, 'a')}).size(), 127u);
    EXPECT_EQ(dxp_build(DxpChat{"tab\there"}), "Ctab?here");
    EXPECT_EQ(dxp_build(DxpChat{""}), "C ");

    const auto back = std::get<DxpBackRequest>(parse_ok("B005Z"));
    EXPECT_EQ(back.move_number, 5);
    EXPECT_EQ(back.side_to_move, BLACK);
    EXPECT_EQ(dxp_build(back), "B005Z");
    EXPECT_EQ(std::get<DxpBackAccept>(parse_ok("K1")).code, DXP_BACK_NOT_SUPPORTED);
    EXPECT_EQ(dxp_build(DxpBackAccept{DXP_BACK_REFUSE}), "K2");
}

TEST(DxpMessage, MalformedMessagesAreRefusedWithAReason) {
    EXPECT_EQ(parse_error(""), "an empty message");
    EXPECT_NE(parse_error(std::string(128, 'C')).find("at most 127"), std::string::npos);
    EXPECT_NE(parse_error("C\xff").find("ASCII"), std::string::npos);
    EXPECT_NE(parse_error("X123").find("unknown message type"), std::string::npos);
    EXPECT_NE(parse_error("C").find("no text"), std::string::npos);
    // Field widths: one character short, one too many, a letter in a number.
    EXPECT_NE(parse_error("M001206110").find("ends before"), std::string::npos);
    EXPECT_NE(parse_error("M00120611001").find("do not match"), std::string::npos);
    EXPECT_NE(parse_error("M00a2061100").find("not a number"), std::string::npos);
    EXPECT_NE(parse_error("M0012511100").find("outside 1-50"), std::string::npos);
    EXPECT_NE(parse_error("M001206250205").find("do not match"), std::string::npos);
    EXPECT_NE(parse_error("E02").find("outside 0-1"), std::string::npos);
    EXPECT_NE(parse_error("E001").find("longer"), std::string::npos);
    EXPECT_NE(parse_error("A" + NAME_32 + "4").find("outside 0-3"), std::string::npos);
    EXPECT_NE(parse_error("A" + NAME_32).find("ends before"), std::string::npos);
    EXPECT_NE(parse_error("B000W").find("outside 1-999"), std::string::npos);
    EXPECT_NE(parse_error("B005X").find("not W or Z"), std::string::npos);
    EXPECT_NE(parse_error("K3").find("outside 0-2"), std::string::npos);

    const std::string request = "R01" + NAME_32 + "Z010075";
    EXPECT_NE(parse_error(request + "C").find("not A or B"), std::string::npos);
    EXPECT_NE(parse_error(request + "AW").find("longer"), std::string::npos);
    EXPECT_NE(parse_error(request + "BW" + std::string(49, 'e')).find("fewer than 50"), std::string::npos);
    EXPECT_NE(parse_error(request + "BW" + std::string(49, 'e') + "k").find("e, w, z, W or Z"), std::string::npos);
    EXPECT_NE(parse_error("R01" + NAME_32 + "X010075A").find("not W or Z"), std::string::npos);
}
