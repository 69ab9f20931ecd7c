// The TCP message link over loopback: framing at the NULs however the bytes arrive, the
// size cap, a peer that goes away, a refused connection, listening for one peer only.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "message_link.h"

namespace {

using namespace std::chrono_literals;

// A plain socket connected to a listening link: the far end, under the test's control.
class RawPeer {
public:
    explicit RawPeer(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawPeer() { close(); }
    bool connected() const { return connected_; }
    bool send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    std::string receive() {
        char buffer[256];
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
        return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

// Polls until something other than NOTHING happens (or two seconds pass).
LinkEvent next_event(MessageLink& link) {
    for (int i = 0; i < 200; ++i) {
        LinkEvent event = link.poll(10ms);
        if (event.kind != LinkEvent::NOTHING) return event;
    }
    return {};
}

class MessageLinkTest : public testing::Test {
protected:
    MessageLink link{127};
    std::string error;

    // Listens on a free loopback port and lets a raw peer connect.
    std::unique_ptr<RawPeer> accept_raw_peer() {
        EXPECT_TRUE(link.listen("127.0.0.1", 0, error)) << error;
        auto peer = std::make_unique<RawPeer>(link.local_port());
        EXPECT_TRUE(peer->connected());
        EXPECT_EQ(next_event(link).kind, LinkEvent::CONNECTED);
        EXPECT_TRUE(link.connected());
        return peer;
    }
};

}  // namespace

TEST_F(MessageLinkTest, MessagesAreCutAtTheNulsHoweverTheBytesArrive) {
    auto peer = accept_raw_peer();
    EXPECT_FALSE(link.listening());  // one peer only
    ASSERT_TRUE(peer->send(std::string("E00\0C", 5)));
    ASSERT_TRUE(peer->send(std::string("hello\0", 6)));
    for (const char* expected : {"E00", "Chello"}) {
        const LinkEvent event = next_event(link);
        EXPECT_EQ(event.kind, LinkEvent::MESSAGE);
        EXPECT_EQ(event.text, expected);
    }
    ASSERT_TRUE(link.send("M0012061100", error)) << error;
    EXPECT_EQ(peer->receive(), std::string("M0012061100\0", 12));
    EXPECT_FALSE(link.send(std::string(128, 'C'), error));
    EXPECT_FALSE(link.send(std::string("C\0x", 3), error));
    EXPECT_TRUE(link.connected());  // a refused text does not close the link

    peer->close();
    EXPECT_EQ(next_event(link).kind, LinkEvent::CLOSED);
    EXPECT_FALSE(link.connected());
    EXPECT_FALSE(link.send("E00", error));
}

TEST_F(MessageLinkTest, TenMegabytesWithoutANulEndTheLinkAtOnce) {
    auto peer = accept_raw_peer();
    std::thread flood([&] {
        const std::string block(1 << 16, 'x');
        // The link closes long before the ten megabytes are through; the rest fails.
        int blocks = 0;
        while (blocks < 160 && peer->send(block)) ++blocks;
    });
    const LinkEvent event = next_event(link);
    EXPECT_EQ(event.kind, LinkEvent::FAILED);
    EXPECT_NE(event.text.find("without its end"), std::string::npos) << event.text;
    EXPECT_FALSE(link.connected());
    flood.join();
}

TEST_F(MessageLinkTest, ConnectingBothWaysAndARefusedConnection) {
    ASSERT_TRUE(link.listen("127.0.0.1", 0, error)) << error;
    MessageLink client{127};
    ASSERT_TRUE(client.connect("localhost", link.local_port(), error)) << error;
    EXPECT_EQ(next_event(link).kind, LinkEvent::CONNECTED);
    EXPECT_EQ(next_event(client).kind, LinkEvent::CONNECTED);
    ASSERT_TRUE(client.send("Cfrom the client", error));
    EXPECT_EQ(next_event(link).text, "Cfrom the client");

    // Nobody listens on the port any more.
    const int port = link.local_port();
    link.close();
    MessageLink refused{127};
    ASSERT_TRUE(refused.connect("127.0.0.1", port, error)) << error;
    const LinkEvent event = next_event(refused);
    EXPECT_EQ(event.kind, LinkEvent::FAILED);
    EXPECT_NE(event.text.find("refused"), std::string::npos) << event.text;

    EXPECT_FALSE(refused.connect("no-such-host.invalid", 27531, error));
    EXPECT_FALSE(link.listen("127.0.0.1", 70000, error));
}
