// Test equipment for the serial link: a null-modem cable made of two ptys joined by socat,
// and a hand-driven peer that talks the wire protocol byte by byte.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "relaycom.h"

namespace serial_test {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Two pty ends, a() and b(), with socat relaying between them.
class NullModemCable {
  public:
    NullModemCable() = default;
    ~NullModemCable();
    NullModemCable(const NullModemCable&) = delete;
    NullModemCable& operator=(const NullModemCable&) = delete;

    // Starts socat and waits until both ends exist; false (with a reason) when that fails.
    bool plug_in(std::string& why);
    // Stops socat: both ends hang up, as when the cable is pulled.
    void pull_out();

    const std::string& a() const { return a_; }
    const std::string& b() const { return b_; }

  private:
    std::string dir_;
    std::string a_;
    std::string b_;
    pid_t socat_ = -1;
};

// Makes COM<number> of the link library open the given device.
void route_com(int number, const std::string& device);

// One end of the cable driven by hand (raw termios).
class RawPeer {
  public:
    explicit RawPeer(const std::string& device);
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool is_open() const { return fd_ >= 0; }
    void write(std::string_view bytes);
    std::optional<unsigned char> read(Millis timeout);
    // Sends "S", text, "E", each byte after the right echo of the one before.
    bool send_message(std::string_view text);
    // Plays the receiving side: echoes every byte, returns the text between "S" and "E".
    std::optional<std::string> receive_message(Millis timeout);

  private:
    int fd_ = -1;
};

// Noise on the line: a write handle on each end of a cable. A link lets nobody open its
// port once it holds it, so make the noise before the links connect.
class LineNoise {
  public:
    explicit LineNoise(const NullModemCable& cable);
    ~LineNoise();
    LineNoise(const LineNoise&) = delete;
    LineNoise& operator=(const LineNoise&) = delete;

    bool is_open() const { return into_a_ >= 0 && into_b_ >= 0; }
    // Bytes that arrive at end a (or b) as if the other end had sent them.
    void to_a(std::string_view bytes) const;
    void to_b(std::string_view bytes) const;

  private:
    int into_a_ = -1;  // an extra handle on end b: what it writes comes out at a
    int into_b_ = -1;
};

// The far end as a program that keeps to the bare wire rules: its receiver echoes every
// byte it reads, takes every "S" for the start of a message and waits without a time limit
// inside one, keeping the line; its sender restarts a message at once after a wrong echo
// or 5 s without one, keeping the line meanwhile. One thread plays both, as the line lets
// only one of them use the port at a time; it runs from construction to destruction.
class EchoAllPeer {
  public:
    explicit EchoAllPeer(const std::string& device);
    ~EchoAllPeer();
    EchoAllPeer(const EchoAllPeer&) = delete;
    EchoAllPeer& operator=(const EchoAllPeer&) = delete;

    bool is_open() const { return port_.is_open(); }
    void put(const std::string& text);
    std::optional<std::string> take(Millis timeout);

  private:
    void run();
    bool deliver(const std::string& text);

    RawPeer port_;
    std::atomic<bool> stop_{false};
    std::mutex queues_;
    std::deque<std::string> outgoing_;
    std::deque<std::string> incoming_;
    std::thread thread_;
};

// Polls done() every 5 ms until it holds or the time is up.
template <class Condition>
bool eventually(Condition done, Millis timeout) {
    for (const auto deadline = Clock::now() + timeout; !done(); std::this_thread::sleep_for(5ms)) {
        if (Clock::now() > deadline) return false;
    }
    return true;
}
inline bool wait_for_status(CConnection& link, int want, Millis timeout) {
    return eventually([&] { return link.status() == want; }, timeout);
}
// Waits for a message and takes it; nullopt when none came in time.
std::optional<std::string> wait_for_message(CConnection& link, Millis timeout);
// Link threads running in this process (the library names them "relaycom ...").
int link_threads();
inline bool wait_for_link_threads(int want) {
    return eventually([want] { return link_threads() == want; }, 1000ms);
}
// How long disconnect() took; one that never returns is left to ctest's TIMEOUT to end.
inline Millis timed_disconnect(CConnection& link) {
    const auto start = Clock::now();
    link.disconnect();
    return std::chrono::duration_cast<Millis>(Clock::now() - start);
}

// A cable per test, its ends reachable as COM7 (a) and COM8 (b).
class CableTest : public ::testing::Test {
  protected:
    static constexpr int kComA = 7;
    static constexpr int kComB = 8;
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(cable_.plug_in(why)) << why;
        route_com(kComA, cable_.a());
        route_com(kComB, cable_.b());
    }
    NullModemCable cable_;
};

}  // namespace serial_test
