// Two link objects on the two ends of one cable: messages, status, connect and disconnect.
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "null_modem.h"
#include "relaycom.h"

namespace serial_test {
namespace {

using LinkPair = CableTest;

// Texts of 1 to 60 characters, none with an "S" or "E"; the two sides differ in the first.
std::vector<std::string> texts(char side, int count) {
    std::vector<std::string> all;
    for (int i = 0; i < count; ++i) {
        std::string text = side + std::to_string(i);
        for (int k = 0; k < (i * 17) % 58; ++k)
            text.push_back("0123456789abcdfghij-"[(i + k) % 20]);
        all.push_back(text);
    }
    return all;
}

// Both sides put messages from their own threads at once: each end must sort out the
// line with the other and deliver everything in order.
TEST_F(LinkPair, ManyMessagesBothWaysAllArriveInOrder) {
    constexpr std::size_t kCount = 25;
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);
    const std::vector<std::string> from_a = texts('1', kCount);
    const std::vector<std::string> from_b = texts('2', kCount);
    std::thread put_a([&] {
        for (const auto& text : from_a) a.putmessage(text.c_str());
    });
    std::thread put_b([&] {
        for (const auto& text : from_b) b.putmessage(text.c_str());
    });
    std::vector<std::string> at_a;
    std::vector<std::string> at_b;
    char buffer[128];
    for (const auto deadline = Clock::now() + 20s; Clock::now() < deadline;) {
        if (a.status() == 3) {
            a.getmessage(buffer);
            at_a.emplace_back(buffer);
        } else if (b.status() == 3) {
            b.getmessage(buffer);
            at_b.emplace_back(buffer);
        } else if (at_a.size() == kCount && at_b.size() == kCount) {
            break;
        } else {
            std::this_thread::sleep_for(2ms);
        }
    }
    put_a.join();
    put_b.join();
    EXPECT_EQ(at_b, from_a);
    EXPECT_EQ(at_a, from_b);
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
    char buffer[128] = "left over";
    b.getmessage(buffer);  // nothing waiting, not even connected
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(b.status(), 0);
    a.putmessage("111");  // queued before connect: dropped
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);
    EXPECT_EQ(b.status(), 1);
    std::strcpy(buffer, "left over");
    b.getmessage(buffer);
    EXPECT_STREQ(buffer, "");

    a.putmessage("11");
    a.putmessage("22");
    ASSERT_TRUE(wait_for_status(b, 3, 3000ms));
    std::this_thread::sleep_for(500ms);  // the second message may still be on the way
    b.getmessage(buffer);
    EXPECT_STREQ(buffer, "11");
    EXPECT_EQ(b.status(), 3);
    b.getmessage(buffer);
    EXPECT_STREQ(buffer, "22");
    EXPECT_EQ(b.status(), 1);
    b.disconnect();
    EXPECT_EQ(b.status(), 0);
}

TEST_F(LinkPair, PortOutsideOneToNineIsCom1) {
    route_com(1, cable_.a());
    for (int port : {0, 9, 10}) route_com(port, "/nonexistent/relaycom-port");
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

TEST_F(LinkPair, ConnectFailuresLeaveNothingBehind) {
    route_com(5, "/nonexistent/relaycom-port");
    CConnNulmodem missing(5);
    EXPECT_EQ(missing.connect(), 1);
    EXPECT_EQ(missing.status(), 0);
    EXPECT_EQ(link_threads(), 0);
    missing.disconnect();
    // Not a terminal: 2, and closed again, so its lock is gone and the answer is the same.
    route_com(6, "/dev/null");
    for (int i = 0; i < 2; ++i) EXPECT_EQ(CConnNulmodem(6).connect(), 2);
    // A port in use is not shared.
    CConnNulmodem first(kComA);
    CConnNulmodem second(kComA);
    second.disconnect();  // never connected: harmless
    second.disconnect();
    ASSERT_EQ(first.connect(), 0);
    EXPECT_EQ(second.connect(), 1);
    first.disconnect();
    EXPECT_EQ(second.connect(), 0);
    EXPECT_EQ(second.status(), 1);
}

TEST_F(LinkPair, ConnectAgainWhileConnectedAndDestroyThroughTheBase) {
    CConnection* a = new CConnNulmodem(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(b.connect(), 0);
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(a->connect(), 0);
        a->disconnect();
    }
    ASSERT_EQ(a->connect(), 0);
    ASSERT_EQ(a->connect(), 0);  // disconnects first
    EXPECT_TRUE(wait_for_link_threads(4));
    a->putmessage("3125");
    EXPECT_EQ(wait_for_message(b, 3000ms), "3125");
    a->putmessage("777");
    delete a;
    EXPECT_TRUE(wait_for_link_threads(2)) << "the link's threads outlived it";
    CConnNulmodem again(kComA);
    EXPECT_EQ(again.connect(), 0) << "the port stayed locked";
}

}  // namespace
}  // namespace serial_test
