// Two link objects on the two ends of one cable: messages, status, connect and disconnect.
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "null_modem.h"
#include "relaycom.h"

namespace serial_test {
namespace {

using LinkPair = CableTest;

TEST_F(LinkPair, MessagesTravelBothWaysInOrder) {
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);

    a.putmessage("322800");
    a.putmessage("1");
    a.putmessage("4737014142");
    EXPECT_EQ(wait_for_message(b, 3000ms), "322800");
    EXPECT_EQ(wait_for_message(b, 3000ms), "1");
    EXPECT_EQ(wait_for_message(b, 3000ms), "4737014142");

    b.putmessage("172200");
    EXPECT_EQ(wait_for_message(a, 3000ms), "172200");
}

TEST_F(LinkPair, LongTextArrivesAsItsFirst127CharactersWithTheTopBitCleared) {
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);

    std::string text;
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        const char plain = "0123456789abcdfghijk"[i % 20];
        text.push_back(i % 3 == 0 ? static_cast<char>(plain | 0x80) : plain);
        if (i < 127) expected.push_back(plain);
    }
    a.putmessage(text.c_str());
    ASSERT_TRUE(wait_for_status(b, 3, 5000ms));

    char buffer[160];
    std::memset(buffer, '#', sizeof buffer);
    b.getmessage(buffer);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(buffer[128], '#') << "getmessage wrote past 128 bytes";
}

TEST_F(LinkPair, StatusShowsConnectionAndWaitingMessage) {
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    EXPECT_EQ(b.status(), 0);
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);
    EXPECT_EQ(b.status(), 1);

    a.putmessage("11");
    a.putmessage("22");
    ASSERT_TRUE(wait_for_status(b, 3, 3000ms));
    char buffer[128];
    // The second message may still be on the way; wait until both are in.
    std::this_thread::sleep_for(500ms);
    b.getmessage(buffer);
    EXPECT_STREQ(buffer, "11");
    EXPECT_EQ(b.status(), 3);
    b.getmessage(buffer);
    EXPECT_STREQ(buffer, "22");
    EXPECT_EQ(b.status(), 1);

    b.disconnect();
    EXPECT_EQ(b.status(), 0);
}

TEST_F(LinkPair, GetmessageWithNothingWaitingGivesEmptyText) {
    CConnNulmodem a(kComA);
    char buffer[128] = "left over";
    a.getmessage(buffer);
    EXPECT_STREQ(buffer, "");

    ASSERT_EQ(a.connect(), 0);
    std::strcpy(buffer, "left over");
    a.getmessage(buffer);
    EXPECT_STREQ(buffer, "");
}

TEST_F(LinkPair, MessagesQueuedBeforeConnectAreDropped) {
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    a.putmessage("111");
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);
    a.putmessage("222");
    EXPECT_EQ(wait_for_message(b, 3000ms), "222");
    EXPECT_FALSE(wait_for_status(b, 3, 400ms));
}

TEST_F(LinkPair, PortOutsideOneToNineIsCom1) {
    route_com(1, cable_.a());
    const std::string nowhere = "/nonexistent/relaycom-port";
    route_com(0, nowhere);
    route_com(10, nowhere);
    route_com(9, nowhere);
    CConnNulmodem b(kComB);
    ASSERT_EQ(b.connect(), 0);

    for (const int port : {0, 10, -3}) {
        CConnNulmodem link(port);
        ASSERT_EQ(link.connect(), 0) << "port " << port;
        link.putmessage("4455");
        EXPECT_EQ(wait_for_message(b, 3000ms), "4455") << "port " << port;
    }
    CConnNulmodem nine(9);
    EXPECT_EQ(nine.connect(), 1) << "port 9 is a port of its own";
}

TEST_F(LinkPair, ConnectOnMissingDeviceReturns1) {
    route_com(5, "/nonexistent/relaycom-port");
    CConnNulmodem link(5);
    EXPECT_EQ(link.connect(), 1);
    EXPECT_EQ(link.status(), 0);
    EXPECT_EQ(link_threads(), 0);
    link.disconnect();
    EXPECT_EQ(link.status(), 0);
}

TEST_F(LinkPair, ConnectOnNonTerminalReturns2AndClosesIt) {
    route_com(6, "/dev/null");
    CConnNulmodem link(6);
    EXPECT_EQ(link.connect(), 2);
    EXPECT_EQ(link.status(), 0);
    // Closed again: its lock is gone, so the same device gives the same answer.
    CConnNulmodem again(6);
    EXPECT_EQ(again.connect(), 2);
}

TEST_F(LinkPair, PortIsNotShared) {
    CConnNulmodem first(kComA);
    CConnNulmodem second(kComA);
    ASSERT_EQ(first.connect(), 0);
    EXPECT_EQ(second.connect(), 1);
    first.disconnect();
    EXPECT_EQ(second.connect(), 0);
}

TEST_F(LinkPair, DisconnectWithoutConnectIsHarmless) {
    CConnNulmodem link(kComA);
    link.disconnect();
    link.disconnect();
    EXPECT_EQ(link.status(), 0);
    EXPECT_EQ(link.connect(), 0);
    EXPECT_EQ(link.status(), 1);
}

TEST_F(LinkPair, ConnectAgainAndWhileConnected) {
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(b.connect(), 0);
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(a.connect(), 0);
        a.disconnect();
    }
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(a.connect(), 0);  // disconnects first
    EXPECT_TRUE(wait_for_link_threads(4));
    a.putmessage("3125");
    EXPECT_EQ(wait_for_message(b, 3000ms), "3125");
}

TEST_F(LinkPair, DestroyingThroughBaseDisconnects) {
    CConnection* link = new CConnNulmodem(kComA);
    ASSERT_EQ(link->connect(), 0);
    EXPECT_TRUE(wait_for_link_threads(2));
    link->putmessage("777");
    delete link;
    EXPECT_TRUE(wait_for_link_threads(0)) << "the link's threads outlived it";

    CConnNulmodem again(kComA);
    EXPECT_EQ(again.connect(), 0) << "the port stayed locked";
}

}  // namespace
}  // namespace serial_test
