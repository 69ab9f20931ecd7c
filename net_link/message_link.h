#pragma once
// A message link over TCP: short text messages, each sent as its bytes followed by a NUL,
// between this program and one other. It never blocks its owner for long: connecting and
// accepting go on in the background and poll() reports what has happened, so the owner's
// own loop (a timer of the window program, the command-line tool's loop) drives it.
//
// Whatever the other end sends cannot hurt: a message longer than the limit without its
// NUL, bytes that make no sense, a peer that vanishes - each ends the link with a clear
// reason, and the owner decides what that means for it.

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

struct LinkEvent {
    enum Kind {
        NOTHING,    // nothing happened within the wait
        CONNECTED,  // the connection stands: the peer accepted ours, or ours accepted it
        MESSAGE,    // `text` holds one whole message, without its NUL
        CLOSED,     // the peer closed the connection; the link is closed
        FAILED,     // `text` says what went wrong; the link is closed
    };
    Kind kind = NOTHING;
    std::string text;
};

class MessageLink {
public:
    // Messages longer than `max_message` bytes are refused, sent or received.
    explicit MessageLink(std::size_t max_message);
    ~MessageLink();
    MessageLink(const MessageLink&) = delete;
    MessageLink& operator=(const MessageLink&) = delete;

    // Waits for one peer on `address` (a numeric address or a host name) and `port`
    // (0: any free port, see local_port). False and `error` when that cannot be done.
    bool listen(const std::string& address, int port, std::string& error);
    // Starts connecting to `host`:`port`; poll() reports CONNECTED or FAILED. False and
    // `error` when the host name does not resolve or no socket can be made.
    bool connect(const std::string& host, int port, std::string& error);

    // Reports one event, waiting at most `wait` for it.
    LinkEvent poll(std::chrono::milliseconds wait);
    // Sends one message (1 to max_message bytes, no NUL inside); false and `error` when
    // the link is not connected, the text cannot be framed or the peer is gone. A failed
    // send closes the link.
    bool send(std::string_view message, std::string& error);
    void close();

    bool listening() const { return listener_ >= 0; }
    bool connecting() const { return socket_ >= 0 && !connected_; }
    bool connected() const { return socket_ >= 0 && connected_; }
    // The port the link listens on, or 0.
    int local_port() const;
    // The other end as "address:port" once connected ("" before).
    const std::string& peer() const { return peer_; }

private:
    LinkEvent accept_peer();
    LinkEvent finish_connect();
    LinkEvent read_messages();
    LinkEvent fail(std::string reason);

    std::size_t max_message_;
    int listener_ = -1;
    int socket_ = -1;
    bool connected_ = false;
    std::string peer_;
    std::string partial_;  // bytes of a message whose NUL has not come yet
    std::deque<std::string> received_;
};
