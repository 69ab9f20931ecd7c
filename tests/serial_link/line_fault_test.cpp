// Faults on the line: a hand-driven peer on end b plays the protocol against a link on end a.
#include <sys/resource.h>

#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "null_modem.h"
#include "relaycom.h"

namespace serial_test {
namespace {

class LineFault : public CableTest {
  protected:
    void SetUp() override {
        CableTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(link_.connect(), 0);
        peer_ = std::make_unique<RawPeer>(cable_.b());
        ASSERT_TRUE(peer_->is_open());
    }

    // The peer sends c and expects its echo.
    void send_echoed(char c) {
        peer_->write(std::string(1, c));
        ASSERT_EQ(peer_->read(2000ms), c);
    }

    // The peer reads the next byte, expects it to be want, and echoes it.
    void echo_next(char want) {
        ASSERT_EQ(peer_->read(2000ms), want);
        peer_->write(std::string(1, want));
    }

    // After a hang-up every read and write fails at once; the link must neither spin on
    // that nor hang in disconnect.
    void expect_quiet_and_quick_to_stop() {
        const auto cpu_time = [] {
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            return Millis((usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000);
        };
        std::this_thread::sleep_for(100ms);
        const Millis cpu_before = cpu_time();
        std::this_thread::sleep_for(600ms);
        EXPECT_LT(cpu_time() - cpu_before, 250ms) << "the link spins on a dead line";
        EXPECT_LT(timed_disconnect(link_), 1000ms);
        EXPECT_EQ(link_.status(), 0);
    }

    CConnNulmodem link_{kComA};
    std::unique_ptr<RawPeer> peer_;
};

TEST_F(LineFault, NoiseBetweenMessagesIsDropped) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> any_byte(0, 255);
    for (const char* text : {"1234", "5678"}) {
        std::string noise;
        while (noise.size() < 200) {
            const char c = static_cast<char>(any_byte(random));
            if (c != 'S') noise.push_back(c);  // an "S" would open a message of its own
        }
        peer_->write(noise);
        // No sender waits for an echo of these, and an echo would only come back.
        EXPECT_FALSE(peer_->read(300ms).has_value()) << "noise outside a message was echoed";
        ASSERT_TRUE(peer_->send_message(text));
    }
    EXPECT_EQ(wait_for_message(link_, 2000ms), "1234");
    EXPECT_EQ(wait_for_message(link_, 2000ms), "5678");
    EXPECT_FALSE(wait_for_status(link_, 3, 300ms)) << "noise turned into a message";
    link_.putmessage("90");
    EXPECT_EQ(peer_->receive_message(2000ms), "90");
}

TEST_F(LineFault, MessageOver127CharactersIsDropped) {
    // The receiver echoes the 128th character and drops the message; back outside a
    // message it leaves the "E" unanswered.
    for (const char c : "S" + std::string(128, '7')) ASSERT_NO_FATAL_FAILURE(send_echoed(c));
    peer_->write("E");
    EXPECT_FALSE(peer_->read(300ms).has_value());
    ASSERT_TRUE(peer_->send_message(std::string(127, '8')));
    EXPECT_EQ(wait_for_message(link_, 2000ms), std::string(127, '8'));
    EXPECT_FALSE(wait_for_status(link_, 3, 300ms));
}

// An "S" and then nothing: the receiver waits inside the message and keeps the line, so
// the sender waits too, but not for ever. Caught inside a message once more, disconnect
// must still end both threads at once.
TEST_F(LineFault, StartWithoutEndHoldsTheLineForAWhileOrUntilDisconnect) {
    ASSERT_TRUE(wait_for_link_threads(2));
    peer_->write("S");
    ASSERT_EQ(peer_->read(1000ms), 'S');
    link_.putmessage("42");
    EXPECT_FALSE(peer_->read(500ms).has_value()) << "the sender used the line";
    EXPECT_EQ(peer_->receive_message(2000ms), "42");

    peer_->write("S");
    ASSERT_EQ(peer_->read(1000ms), 'S');
    link_.putmessage("43");
    EXPECT_LT(timed_disconnect(link_), 1000ms);
    EXPECT_EQ(link_.status(), 0);
    EXPECT_TRUE(wait_for_link_threads(0));
}

TEST_F(LineFault, PeerGoneWhileSending) {
    link_.putmessage("123456");
    echo_next('S');
    echo_next('1');
    ASSERT_EQ(peer_->read(1000ms), '2');
    cable_.pull_out();
    expect_quiet_and_quick_to_stop();
}

TEST_F(LineFault, PeerGoneWhileReceiving) {
    peer_->write("S");
    ASSERT_EQ(peer_->read(1000ms), 'S');
    peer_->write("3");
    ASSERT_EQ(peer_->read(1000ms), '3');
    link_.putmessage("55");
    cable_.pull_out();
    expect_quiet_and_quick_to_stop();
}

TEST_F(LineFault, WrongEchoRestartsTheWholeMessage) {
    link_.putmessage("123");
    echo_next('S');
    ASSERT_EQ(peer_->read(2000ms), '1');
    peer_->write("9");  // a wrong echo
    for (char c : std::string("S123E")) echo_next(c);
    EXPECT_FALSE(peer_->read(300ms).has_value());
}

// The link waits for an echo that does not come (its "S" was lost) while the peer starts a
// message: the link takes the peer's "S" for its echo and goes on, the peer takes the next
// character for a wrong echo and starts again. That second "S" must be answered, not
// swallowed as one more wrong echo.
TEST_F(LineFault, StartReadInsteadOfAnEchoIsAnswered) {
    link_.putmessage("12");
    ASSERT_EQ(peer_->read(2000ms), 'S');
    peer_->write("S");
    ASSERT_EQ(peer_->read(2000ms), '1');
    ASSERT_TRUE(peer_->send_message("78"));
    EXPECT_EQ(wait_for_message(link_, 2000ms), "78");
    EXPECT_EQ(peer_->receive_message(8000ms), "12");
}

TEST_F(LineFault, SimultaneousStartsAreSortedOut) {
    // Both ends start a message at the same moment: each sender reads the other's "S" as
    // its echo and then a wrong character. The link must stand back so that one of the two
    // messages goes through, and then send its own.
    link_.putmessage("12");
    ASSERT_EQ(peer_->read(2000ms), 'S');
    peer_->write("S");
    ASSERT_EQ(peer_->read(2000ms), '1');
    peer_->write("7");
    // The peer restarts at once, as a sender does after a wrong echo.
    ASSERT_TRUE(peer_->send_message("78")) << "the link kept the line after a collision";
    EXPECT_EQ(wait_for_message(link_, 2000ms), "78");
    EXPECT_EQ(peer_->receive_message(2000ms), "12");
}

}  // namespace
}  // namespace serial_test
