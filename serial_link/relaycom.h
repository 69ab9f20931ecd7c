// RELAYCOM: short text messages between two computers over a serial null-modem cable.
//
// A message travels as "S", its 7-bit characters and "E"; the receiving side echoes the
// bytes of a message and the sender sends each byte only after the echo of the previous
// one came back. A text therefore cannot contain the letters 'S' and 'E', and a NUL ends
// it. Which bytes a receiver echoes, and why two ends can never echo each other for ever,
// is told at the receiver in relaycom.cpp.
//
// Use: create a CConnNulmodem for COM port 1-9, connect() it, queue texts with putmessage(),
// poll status() and take received texts with getmessage(); these three never wait for the
// line.
// connect(), disconnect() and destruction belong to one thread at a time; putmessage(),
// getmessage() and status() may be called from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// RELAYCOM_API marks the seven operations the library exports. On ELF the classes themselves
// are visible too, so that users share their type information (dynamic_cast, UBSan's vptr
// check); relaycom.map still lets no other member out of the library.
#if defined(_WIN32)
#ifdef RELAYCOM_BUILDING
#define RELAYCOM_API __declspec(dllexport)
#else
#define RELAYCOM_API __declspec(dllimport)
#endif
#define RELAYCOM_CLASS
#else
#define RELAYCOM_API __attribute__((visibility("default")))
#define RELAYCOM_CLASS __attribute__((visibility("default")))
#endif

namespace relaycom {

// One queued message: up to 127 characters and a NUL.
struct RELAYCOM_CLASS Message {
    char text[128] = {};
    int position = 0;  // next character to send, or characters received so far
};

// First-in first-out list of messages with its own lock. count() reads without the lock.
class RELAYCOM_CLASS MessageQueue {
  public:
    MessageQueue() = default;
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    void push(std::unique_ptr<Message> message);
    std::unique_ptr<Message> pop();  // null when empty
    void clear();
    int count() const { return count_.load(); }

  private:
    struct Node {
        Node* next = nullptr;
        std::unique_ptr<Message> item;
    };
    Node* head_ = nullptr;
    std::mutex lock_;
    std::atomic<std::int32_t> count_{0};
};

// Binary semaphore that serves its waiters in turn, so that a thread taking and giving it
// back in a tight loop cannot starve the other one.
class RELAYCOM_CLASS LineSemaphore {
  public:
    // Waits for the semaphore; gives up (false) once stop is non-zero. A turn given up is
    // never served again, so after a stop the semaphore is good only for reset().
    bool acquire(const std::atomic<int>& stop);
    void release();
    // Makes waiters look at their stop flag now.
    void wake();
    void reset();  // available, nobody waiting

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t next_turn_ = 0;
    std::uint64_t serving_ = 0;
};

}  // namespace relaycom

class RELAYCOM_CLASS CConnection {
  public:
    virtual int connect() = 0;
    virtual void disconnect() = 0;
    virtual ~CConnection();

    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    // Takes the oldest received text into buffer (at most 128 bytes with the NUL);
    // "" when none is waiting.
    RELAYCOM_API void getmessage(char* buffer);
    // Queues the first 127 characters of text, each with its top bit cleared.
    RELAYCOM_API void putmessage(const char* text);
    // 0 not connected, 1 connected, 3 connected with a received message waiting.
    RELAYCOM_API int status();

  protected:
    CConnection() = default;

    static constexpr int kConnected = 1;
    static constexpr int kMessageWaiting = 2;

    std::atomic<int> flags_{0};
    relaycom::MessageQueue outgoing_;
    relaycom::MessageQueue incoming_;
};

class RELAYCOM_CLASS CConnNulmodem : public CConnection {
  public:
    // port 1-9 names "COM<port>"; anything else means COM1. Opens nothing yet.
    RELAYCOM_API explicit CConnNulmodem(int port);
    // 0 connected; 1 the port cannot be opened (missing, or in use); 2 its settings cannot
    // be read; 3 the line settings cannot be set; 4 the timeouts cannot be set; 5 the event
    // mask cannot be set. A connected object is disconnected first; bytes that waited in
    // the port are discarded.
    RELAYCOM_API int connect() override;
    // Ends both threads, drops queued messages and closes the port. Harmless when not
    // connected.
    RELAYCOM_API void disconnect() override;
    RELAYCOM_API ~CConnNulmodem() override;

  private:
    void sender_main();
    void receiver_main();
    enum class Delivery { delivered, restart, stopped };
    Delivery deliver(relaycom::Message& message);
    int send_with_echo(unsigned char c);
    int read_line();
    bool echo(unsigned char byte);
    void receive_message();
    bool peer_reset_due() const;
    void reset_peer();
    bool stopping() const { return stop_.load() != 0; }
    void nap(int milliseconds) const;

    int port_;
    // A file descriptor here; Win32 keeps its HANDLE, whose invalid value is also -1.
    std::atomic<std::intptr_t> handle_{-1};
    std::atomic<int> stop_{0};
    // The far receiver may be stuck inside a message (see reset_peer).
    std::atomic<bool> peer_reset_owed_{false};
    // The sender read the far end's "S" instead of an echo; the receiver answers it.
    std::atomic<bool> start_heard_{false};
    // When either thread last read a byte (steady clock ticks).
    std::atomic<std::int64_t> last_byte_at_{0};
    // Joined by disconnect(), which thereby knows that neither thread can touch *this.
    std::thread sender_;
    std::thread receiver_;
    relaycom::LineSemaphore line_;
};
