// Two copies of the program play each other over a null-modem cable (a socat pty pair):
// one lets the computer play White, the other Black, each with Remote on. Both records
// must end identical, move for move.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "null_modem.h"

namespace {

struct Player {
    FILE* pipe = nullptr;
    std::string output;
};

Player start(const std::string& device, int com, const char* computer) {
    const std::string command = "VANTOR_COM" + std::to_string(com) + "=" + device + " " + VANTOR_CLI +
                                " remote --com " + std::to_string(com) + " --computer " + computer +
                                " --ply 4 --moves 40 --timeout 240";
    return Player{popen(command.c_str(), "r"), {}};
}

int finish(Player& player) {
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), player.pipe)) player.output += buffer.data();
    return pclose(player.pipe);
}

}  // namespace

TEST(RemotePlay, TwoProgramsOverACableKeepTheSameRecord) {
    serial_test::NullModemCable cable;
    std::string why;
    ASSERT_TRUE(cable.plug_in(why)) << why;
    Player black = start(cable.a(), 7, "black");
    Player white = start(cable.b(), 8, "white");
    ASSERT_NE(black.pipe, nullptr);
    ASSERT_NE(white.pipe, nullptr);
    EXPECT_EQ(finish(white), 0);
    EXPECT_EQ(finish(black), 0);

    EXPECT_EQ(white.output, black.output);
    EXPECT_EQ(white.output.find("timeout"), std::string::npos) << white.output;
    // The game ends, or stops once each side has made 40 moves (forced replies to the
    // last one are still played on both sides).
    const bool ended = white.output.find(" wins") != std::string::npos;
    int moves = 0;
    const bool stopped = std::sscanf(white.output.c_str() + white.output.rfind("result:"),
                                     "result: stopped after %d moves", &moves) == 1;
    EXPECT_TRUE(ended || (stopped && moves >= 80)) << white.output;
}
