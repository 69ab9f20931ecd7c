#include "relaycom.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <system_error>

#include "serial_port.h"

namespace relaycom {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

MessageQueue::~MessageQueue() {
    clear();
}

void MessageQueue::push(std::unique_ptr<Message> message) {
    auto* node = new Node{nullptr, std::move(message)};
    std::scoped_lock guard(lock_);
    Node** tail = &head_;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = node;
    count_.fetch_add(1);
}

std::unique_ptr<Message> MessageQueue::pop() {
    Node* node = nullptr;
    {
        std::scoped_lock guard(lock_);
        node = head_;
        if (node == nullptr) return nullptr;
        head_ = node->next;
        count_.fetch_sub(1);
    }
    std::unique_ptr<Message> message = std::move(node->item);
    delete node;
    return message;
}

void MessageQueue::clear() {
    Node* list = nullptr;
    {
        std::scoped_lock guard(lock_);
        list = head_;
        head_ = nullptr;
        count_.store(0);
    }
    while (list != nullptr) {
        Node* next = list->next;
        delete list;
        list = next;
    }
}

bool LineSemaphore::acquire(const std::atomic<int>& stop) {
    std::unique_lock guard(mutex_);
    const std::uint64_t turn = next_turn_++;
    while (serving_ != turn) {
        if (stop.load() != 0) return false;
        // The timeout only bounds a missed wake(); release() and wake() both notify.
        changed_.wait_for(guard, 100ms);
    }
    return true;
}

void LineSemaphore::release() {
    {
        std::scoped_lock guard(mutex_);
        ++serving_;
    }
    changed_.notify_all();
}

void LineSemaphore::wake() {
    // Taking the mutex once orders the caller's stop flag before any waiter's next check.
    { std::scoped_lock guard(mutex_); }
    changed_.notify_all();
}

void LineSemaphore::reset() {
    std::scoped_lock guard(mutex_);
    next_turn_ = 0;
    serving_ = 0;
}

namespace {

// Holds the line semaphore for one thread and gives it back on every way out.
class LineHold {
  public:
    LineHold(LineSemaphore& line, const std::atomic<int>& stop) : line_(line), stop_(stop) {}
    ~LineHold() { release(); }
    LineHold(const LineHold&) = delete;
    LineHold& operator=(const LineHold&) = delete;

    bool take() {
        held_ = line_.acquire(stop_);
        return held_;
    }
    void release() {
        if (held_) line_.release();
        held_ = false;
    }

  private:
    LineSemaphore& line_;
    const std::atomic<int>& stop_;
    bool held_ = false;
};

constexpr int kMaxText = 127;
constexpr int kNothing = -1;  // read_line(): no byte within the read timeout
constexpr unsigned char kStart = 'S';
constexpr unsigned char kEnd = 'E';
// What reset_peer() sends after its "S": any character that is neither frame byte.
constexpr unsigned char kFiller = '0';

// A sender sends each byte as soon as the echo of the one before came back; a message
// that stalls longer than this is given up (a sender that was merely slow gets no echo
// for its next byte, and after its 5 s wait starts the message again).
constexpr auto kMessageGap = 1s;
// How long the line must be quiet before reset_peer(): longer than kMessageGap, so that a
// far end of our own kind has given up its empty message by then and echoes the "S".
constexpr auto kResetQuiet = 2s;

}  // namespace
}  // namespace relaycom

using relaycom::Clock;
using relaycom::Message;
using namespace std::chrono_literals;
namespace port = relaycom::port;

CConnection::~CConnection() = default;

void CConnection::getmessage(char* buffer) {
    if (buffer == nullptr) return;
    const std::unique_ptr<Message> message = incoming_.pop();
    if (!message) {
        buffer[0] = '\0';
        return;
    }
    const std::size_t length = strnlen(message->text, relaycom::kMaxText);
    std::memcpy(buffer, message->text, length);
    buffer[length] = '\0';
}

void CConnection::putmessage(const char* text) {
    if (text == nullptr) return;
    auto message = std::make_unique<Message>();
    for (int i = 0; i < relaycom::kMaxText && text[i] != '\0'; ++i) {
        message->text[i] = static_cast<char>(text[i] & 0x7F);
    }
    outgoing_.push(std::move(message));
}

int CConnection::status() {
    int flags = flags_.load();
    int updated = 0;
    do {
        const bool waiting = (flags & kConnected) != 0 && incoming_.count() > 0;
        updated = waiting ? (flags | kMessageWaiting) : (flags & ~kMessageWaiting);
    } while (!flags_.compare_exchange_weak(flags, updated));
    return updated;
}

CConnNulmodem::CConnNulmodem(int port) : port_(port >= 1 && port <= 9 ? port : 1) {}

CConnNulmodem::~CConnNulmodem() {
    // Also after a failed connect: disconnect() is harmless there, and a std::thread must
    // never be destroyed while joinable.
    disconnect();
}

int CConnNulmodem::connect() {
    if ((flags_.load() & kConnected) != 0) disconnect();

    port::Handle handle = port::kInvalid;
    if (const int result = port::open(port_, handle); result != 0) return result;
    // Bytes that waited in the port are no message to us: most likely the starts of a far
    // sender that began before this end was open, which would otherwise all be read at once.
    port::discard_input(handle);
    handle_.store(handle);
    peer_reset_owed_.store(false);
    start_heard_.store(false);

    outgoing_.clear();
    incoming_.clear();
    stop_.store(0);
    line_.reset();
    flags_.store(kConnected);
    try {
        sender_ = std::thread(&CConnNulmodem::sender_main, this);
        receiver_ = std::thread(&CConnNulmodem::receiver_main, this);
    } catch (const std::system_error&) {
        // No thread to be had: the port is no use either.
        disconnect();
        return 1;
    }
    return 0;
}

void CConnNulmodem::disconnect() {
    stop_.store(1);
    line_.wake();
    // Joining, not a semaphore the thread takes once it runs: a thread that has not yet
    // started must not be able to touch the object after disconnect() returned.
    if (sender_.joinable()) sender_.join();
    if (receiver_.joinable()) receiver_.join();
    outgoing_.clear();
    incoming_.clear();
    flags_.store(0);
    port::close(handle_.exchange(port::kInvalid));
}

void CConnNulmodem::nap(int milliseconds) const {
    const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stopping()) {
        const auto now = Clock::now();
        if (now >= until) return;
        std::this_thread::sleep_for(std::min<Clock::duration>(until - now, 10ms));
    }
}

// The byte read; kNothing when none came within the read timeout.
int CConnNulmodem::read_line() {
    const unsigned char byte = port::read_byte(handle_.load());
    if (byte == 0) return relaycom::kNothing;
    last_byte_at_.store(Clock::now().time_since_epoch().count());
    return byte;
}

bool CConnNulmodem::echo(unsigned char byte) {
    return port::write_byte(handle_.load(), byte);
}

// 1 the echo came back right, 0 a wrong echo, none within 5 s, or stopping; -1 not written.
int CConnNulmodem::send_with_echo(unsigned char c) {
    if (!port::write_byte(handle_.load(), c)) return -1;
    const auto written = Clock::now();
    for (;;) {
        const int echo = read_line();
        if (echo == c) return 1;
        if (echo != relaycom::kNothing) {
            // An "S" where the echo of another byte was due is the far sender starting a
            // message: our receiver answers it once it has the line. A sender waiting here
            // must not swallow it, or two senders could take turns swallowing each
            // other's starts for as long as both have messages.
            if (echo == relaycom::kStart) start_heard_.store(true);
            return 0;
        }
        if (stopping() || Clock::now() - written > 5s) return 0;
    }
}

CConnNulmodem::Delivery CConnNulmodem::deliver(Message& message) {
    for (;;) {
        if (stopping()) return Delivery::stopped;
        const int result = send_with_echo(relaycom::kStart);
        if (result == 1) break;
        if (result == 0) return Delivery::restart;
    }
    message.position = 0;
    while (message.position < relaycom::kMaxText && message.text[message.position] != '\0') {
        if (stopping()) return Delivery::stopped;
        const int result =
            send_with_echo(static_cast<unsigned char>(message.text[message.position]));
        if (result == 1) ++message.position;
        if (result == 0) return Delivery::restart;
    }
    for (;;) {
        if (stopping()) return Delivery::stopped;
        const int result = send_with_echo(relaycom::kEnd);
        if (result == 1) return Delivery::delivered;
        if (result == 0) return Delivery::restart;
    }
}

void CConnNulmodem::sender_main() {
    port::name_this_thread("relaycom send");
    std::minstd_rand random(static_cast<std::uint_fast32_t>(
        Clock::now().time_since_epoch().count() ^ reinterpret_cast<std::uintptr_t>(this)));
    std::uniform_int_distribution<int> backoff_ms(20, 250);

    while (!stopping()) {
        // A message being sent when the stop comes is dropped, not requeued.
        const std::unique_ptr<Message> message = outgoing_.pop();
        if (!message) {
            nap(100);
            continue;
        }
        relaycom::LineHold line(line_, stop_);
        if (!line.take()) return;
        Delivery delivery = Delivery::restart;
        while ((delivery = deliver(*message)) == Delivery::restart) {
            // A wrong echo mostly means that both sides started a message at once and each
            // sender took the other's bytes for its echoes. Both would restart in step for
            // ever while holding the line, so let the receiver read for a random while.
            line.release();
            nap(backoff_ms(random));
            if (!line.take()) return;
        }
        if (delivery == Delivery::stopped) return;
        // The far receiver took an "S" and an "E" from us: it is outside a message now.
        peer_reset_owed_.store(false);
    }
}

// Which bytes the receiver echoes. A byte that no sender waits for (line noise, or the
// "S"s of a far sender that piled up in the port before it was open) reaches the far
// receiver as our echo; a receiver that echoes everything sends it straight back, and two
// of those bounce it for ever. With an "S" among such bytes both sit inside a message,
// holding their line, and no message passes. So this receiver echoes only what a sender
// can be waiting for:
//   - outside a message an "S", and is then inside one; anything else is dropped
//     unanswered (a sender sends characters and "E" only after its "S" was echoed);
//   - inside a message characters and the "E"; an "S" ends the message unanswered;
// and it gives a message up after kMessageGap without a byte.
// Why nothing can bounce: a byte goes round only if we echo it on every pass. We echo an
// "S" only from outside a message and then stay inside until an "E", 127 characters or
// kMessageGap, so when several "S"s go round every second one is dropped, and a single one
// is dropped when it comes back; other bytes, echoed only inside a message, are dropped
// once no "S" is left. So every pass loses a byte, unless what goes round holds a whole
// frame "S...E", which is a message (as noise of that shape always is).
// What it costs: a sender that starts again inside a message (after a wrong echo), or
// goes on after we gave its message up, gets no echo and sends the whole message again
// after its 5 s wait; nothing is lost.
// The far end may be a program that does echo everything: reset_peer is for that one.
void CConnNulmodem::receiver_main() {
    port::name_this_thread("relaycom recv");
    while (!stopping()) {
        relaycom::LineHold line(line_, stop_);
        if (!line.take()) return;
        const int byte = start_heard_.exchange(false) ? relaycom::kStart : read_line();
        if (byte == relaycom::kNothing) {
            if (peer_reset_due()) reset_peer();
            continue;
        }
        if (byte != relaycom::kStart || stopping() || !echo(byte)) continue;
        // Inside a message: keep the line, so that our sender does not read the peer's bytes.
        receive_message();
    }
}

// After the echoed "S": takes the message in up to its "E" (then queued), or drops it.
void CConnNulmodem::receive_message() {
    Message work;
    int length = 0;
    auto last_byte = Clock::now();
    for (;;) {
        const int byte = read_line();
        if (stopping()) return;
        if (byte == relaycom::kNothing) {
            if (Clock::now() - last_byte > relaycom::kMessageGap) return;
            continue;
        }
        last_byte = Clock::now();
        if (byte == relaycom::kStart) {
            // Most likely the far receiver echoing our echo of the "S" that opened this
            // message: it is now inside an empty message itself.
            peer_reset_owed_.store(true);
            return;
        }
        if (!echo(static_cast<unsigned char>(byte))) return;
        if (byte == relaycom::kEnd) {
            work.text[length] = '\0';
            work.position = length;
            incoming_.push(std::make_unique<Message>(work));
            return;
        }
        if (length == relaycom::kMaxText) return;  // too long: drop it
        work.text[length++] = static_cast<char>(byte & 0x7F);
    }
}

bool CConnNulmodem::peer_reset_due() const {
    const Clock::duration quiet(Clock::now().time_since_epoch().count() - last_byte_at_.load());
    return peer_reset_owed_.load() && quiet >= relaycom::kResetQuiet;
}

// A far receiver that echoes every byte and waits without a time limit inside a message
// is left inside one whenever we drop an "S" that it echoed to us, and keeps its line
// there: its sender could not send again until ours does. So once the line has been quiet
// for a while we send "S" and one character more than a message may hold, each after the
// echo of the one before, as a sender does: any receiver, outside a message or stuck inside
// one, echoes them all, drops the message as too long and is outside a message afterwards
// (ours too). Any other answer means the far end is busy sending, so not stuck: give up.
void CConnNulmodem::reset_peer() {
    peer_reset_owed_.store(false);
    if (send_with_echo(relaycom::kStart) != 1) return;
    for (int i = 0; i <= relaycom::kMaxText; ++i) {
        if (send_with_echo(relaycom::kFiller) != 1) return;
    }
}
