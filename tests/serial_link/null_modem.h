// Test equipment for the serial link: a null-modem cable made of two ptys joined by socat,
// and a hand-driven peer that talks the wire protocol byte by byte.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
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
    // Reads until nothing has come for quiet; returns what came.
    std::string drain(Millis quiet);
    // Sends "S", text, "E", each byte after the right echo of the one before.
    bool send_message(std::string_view text, Millis echo_timeout = 2000ms);
    // Plays the receiving side: echoes every byte, returns the text between "S" and "E".
    std::optional<std::string> receive_message(Millis timeout);

  private:
    int fd_ = -1;
};

// Polls status() until it returns want or the time is up.
bool wait_for_status(CConnection& link, int want, Millis timeout);
// Waits for a message and takes it; nullopt when none came in time.
std::optional<std::string> wait_for_message(CConnection& link, Millis timeout);
// Runs link.disconnect() and says how long it took; ends the test program when it has not
// returned after 5 s, as a stuck link thread cannot be got rid of otherwise.
Millis timed_disconnect(CConnection& link);
// Link threads running in this process (the library names them "relaycom ...").
int link_threads();
// Waits until link_threads() is want.
bool wait_for_link_threads(int want, Millis timeout = 1000ms);

// Ends the test program when it is still alive after limit: a link thread that does not
// stop would otherwise hang the test run for ever.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_changed_;
    bool done_ = false;
    std::thread thread_;
};

// A cable per test, its ends reachable as COM7 (a) and COM8 (b).
class CableTest : public ::testing::Test {
  protected:
    static constexpr int kComA = 7;
    static constexpr int kComB = 8;
    void SetUp() override;
    Watchdog watchdog_{30s};  // first member: it outlives everything a test sets up
    NullModemCable cable_;
};

}  // namespace serial_test
