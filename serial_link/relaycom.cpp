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
constexpr int kNothing = -1;  // receive_with_echo(): no byte within the read timeout
constexpr unsigned char kStart = 'S';
constexpr unsigned char kEnd = 'E';

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
    handle_.store(handle);

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

// 1 the echo came back right, 0 a wrong echo, none within 5 s, or stopping; -1 not written.
int CConnNulmodem::send_with_echo(unsigned char c) {
    const port::Handle handle = handle_.load();
    if (!port::write_byte(handle, c)) return -1;
    const auto written = Clock::now();
    for (;;) {
        const unsigned char echo = port::read_byte(handle);
        if (echo != 0) return echo == c ? 1 : 0;
        if (stopping() || Clock::now() - written > 5s) return 0;
    }
}

// The byte read and echoed; kNothing when none came; 0 when stopping or the echo failed.
int CConnNulmodem::receive_with_echo() {
    const port::Handle handle = handle_.load();
    const unsigned char byte = port::read_byte(handle);
    if (byte == 0) return relaycom::kNothing;
    if (stopping()) return 0;
    return port::write_byte(handle, byte) ? byte : 0;
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
    }
}

void CConnNulmodem::receiver_main() {
    port::name_this_thread("relaycom recv");
    Message work;
    int length = 0;
    while (!stopping()) {
        relaycom::LineHold line(line_, stop_);
        if (!line.take()) return;
        if (receive_with_echo() != relaycom::kStart) continue;  // anything else is dropped

        // Inside a message: keep the line, so that our sender does not read the peer's
        // bytes, and wait without a time limit for the rest.
        length = 0;
        for (;;) {
            const int byte = receive_with_echo();
            if (byte == relaycom::kNothing) {
                if (stopping()) return;
                continue;
            }
            if (byte == 0) break;  // stopping, or the echo could not be sent: drop the message
            if (byte == relaycom::kStart) {
                length = 0;
                continue;
            }
            if (byte == relaycom::kEnd) {
                work.text[length] = '\0';
                work.position = length;
                incoming_.push(std::make_unique<Message>(work));
                break;
            }
            if (length == relaycom::kMaxText) break;  // too long: drop it
            work.text[length++] = static_cast<char>(byte & 0x7F);
        }
    }
}
