// A stray "S" on an idle line, or "S"s left waiting in a port's buffer by a sender that
// started before the other end opened, must not set the two ends echoing each other for
// ever: both ends recover and messages pass both ways. The far end is a second link or a
// program that keeps to the bare wire rules (EchoAllPeer).
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "null_modem.h"
#include "relaycom.h"

namespace serial_test {
namespace {

enum class Far { link, echo_all };
enum class Fault { start_at_near, start_at_far, stale_starts_at_far };

struct Case {
    const char* name;
    Far far;
    Fault fault;
};

class StrayStart : public CableTest, public ::testing::WithParamInterface<Case> {};

// The near end is a link on end a. After a stray start the far end sends first, as when
// it is the far program's move: a far end that echoes everything is then stuck inside the
// message that start opened, unless the near end gets it out. After stale starts the near
// end's move is the first, sent before the far end opened its port.
TEST_P(StrayStart, BothEndsRecoverAndMessagesPassBothWays) {
    const Case& c = GetParam();
    LineNoise noise(cable_);
    ASSERT_TRUE(noise.is_open());
    CConnNulmodem near(kComA);
    ASSERT_EQ(near.connect(), 0);
    std::unique_ptr<CConnNulmodem> far_link;
    std::unique_ptr<EchoAllPeer> far_peer;
    auto open_far = [&] {
        if (c.far == Far::link) {
            far_link = std::make_unique<CConnNulmodem>(kComB);
            ASSERT_EQ(far_link->connect(), 0);
        } else {
            far_peer = std::make_unique<EchoAllPeer>(cable_.b());
            ASSERT_TRUE(far_peer->is_open());
        }
    };
    auto far_take = [&](Millis timeout) {
        return far_link ? wait_for_message(*far_link, timeout) : far_peer->take(timeout);
    };
    auto far_to_near = [&](const char* text, Millis timeout) {
        if (far_link) far_link->putmessage(text);
        if (far_peer) far_peer->put(text);
        EXPECT_EQ(wait_for_message(near, timeout), std::string(text));
    };

    if (c.fault == Fault::stale_starts_at_far) {
        // The near end's "S" goes out while nobody listens, and its retries pile up.
        near.putmessage("3530");
        std::this_thread::sleep_for(300ms);
        noise.to_b("SS");
        std::this_thread::sleep_for(200ms);  // all in the far port's buffer
        ASSERT_NO_FATAL_FAILURE(open_far());
        EXPECT_EQ(far_take(8s), std::string("3530"));
        far_to_near("1923", 8s);
    } else {
        ASSERT_NO_FATAL_FAILURE(open_far());
        std::this_thread::sleep_for(200ms);
        if (c.fault == Fault::start_at_near) noise.to_a("S");
        if (c.fault == Fault::start_at_far) noise.to_b("S");
        std::this_thread::sleep_for(200ms);
        far_to_near("1923", 8s);
        near.putmessage("3530");
        EXPECT_EQ(far_take(8s), std::string("3530"));
    }
    // And the line is sound afterwards, both ways at once.
    near.putmessage("3429");
    far_to_near("2025", 3s);
    EXPECT_EQ(far_take(3s), std::string("3429"));
}

INSTANTIATE_TEST_SUITE_P(
    Line, StrayStart,
    ::testing::Values(Case{"StartAtNearLink", Far::link, Fault::start_at_near},
                      Case{"StaleStartsAtFarLink", Far::link, Fault::stale_starts_at_far},
                      Case{"StartAtNearEchoAll", Far::echo_all, Fault::start_at_near},
                      Case{"StartAtFarEchoAll", Far::echo_all, Fault::start_at_far},
                      Case{"StaleStartsAtFarEchoAll", Far::echo_all, Fault::stale_starts_at_far}),
    [](const ::testing::TestParamInfo<Case>& param_info) {
        return std::string(param_info.param.name);
    });

}  // namespace
}  // namespace serial_test
