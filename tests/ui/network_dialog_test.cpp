// Game > Network (DXP)... fields: what they start, and the field a mistake points to.

#include <gtest/gtest.h>

#include "ui/network_dialog.h"

TEST(NetworkDialog, FieldsBecomeTheSessionOrNameTheFieldToCorrect) {
    NetworkDialogState state;
    DxpOptions options;
    ASSERT_FALSE(network_dialog_apply(state, options));
    EXPECT_TRUE(options.initiator);
    EXPECT_EQ(options.address, "127.0.0.1");
    EXPECT_EQ(options.port, 27531);
    EXPECT_EQ(options.engine_colour, WHITE);
    EXPECT_EQ(options.games, 2);
    EXPECT_EQ(options.minutes, 10);
    EXPECT_EQ(options.moves, 75);

    // Waiting without an address listens on this computer only.
    state = NetworkDialogState{false, "  ", "27531", false, "2", "10", "0"};
    ASSERT_FALSE(network_dialog_apply(state, options));
    EXPECT_FALSE(options.initiator);
    EXPECT_EQ(options.address, "127.0.0.1");
    EXPECT_EQ(options.moves, 0);

    const struct {
        NetworkField field;
        std::string NetworkDialogState::*member;
        const char* value;
    } bad[] = {
        {NETWORK_PORT, &NetworkDialogState::port, "0"},       {NETWORK_PORT, &NetworkDialogState::port, "65536"},
        {NETWORK_GAMES, &NetworkDialogState::games, "x"},     {NETWORK_MINUTES, &NetworkDialogState::minutes, "0"},
        {NETWORK_MOVES, &NetworkDialogState::moves, "-1"},    {NETWORK_HOST, &NetworkDialogState::host, "a b"},
    };
    for (const auto& b : bad) {
        NetworkDialogState wrong;
        wrong.*b.member = b.value;
        DxpOptions unchanged;
        unchanged.port = 1;
        const auto problem = network_dialog_apply(wrong, unchanged);
        ASSERT_TRUE(problem) << b.value;
        EXPECT_EQ(problem->field, b.field) << b.value;
        EXPECT_EQ(unchanged.port, 1);  // nothing stored
    }
    NetworkDialogState no_host;
    no_host.host = "";
    EXPECT_EQ(network_dialog_apply(no_host, options)->field, NETWORK_HOST);
}
