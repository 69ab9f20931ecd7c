#pragma once
// The far end of a loopback TCP connection, scripted by a test: a free port to use, and
// a peer that connects or listens, sends raw bytes or NUL-ended messages and reads them.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

// A port nobody uses right now.
inline int free_port() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// The other end of the connection, scripted by the test.
class Peer {
public:
    ~Peer() {
        if (fd_ >= 0) close(fd_);
    }
    // Connects to a listening vantor-cli, trying while it starts up.
    bool connect_to(int port) {
        for (int attempt = 0; attempt < 500; ++attempt) {
            fd_ = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address = loopback(port);
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
            close(fd_);
            fd_ = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Listens and takes the connection of a connecting vantor-cli.
    bool listen_and_accept(int port) {
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address = loopback(port);
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0) {
            close(listener);
            return false;
        }
        pollfd entry{listener, POLLIN, 0};
        if (poll(&entry, 1, 20000) == 1) fd_ = accept(listener, nullptr, nullptr);
        close(listener);
        return fd_ >= 0;
    }
    bool send_bytes(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    bool send_message(const std::string& text) { return send_bytes(text + '\0'); }
    // The next message ("" when none comes within `wait_ms` or the connection closes).
    std::string receive(int wait_ms = 20000) {
        char c = 0;
        pollfd entry{fd_, POLLIN, 0};
        while (poll(&entry, 1, wait_ms) == 1 && recv(fd_, &c, 1, 0) == 1) {
            if (c == '\0') return std::exchange(pending_, std::string());
            pending_ += c;
        }
        return "";
    }
    void hang_up() {
        close(fd_);
        fd_ = -1;
    }

private:
    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    int fd_ = -1;
    std::string pending_;  // the start of a message whose NUL has not come yet
};

