#include "message_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// A blocked send waits this long for the peer to take its bytes.
constexpr int SEND_WAIT_MS = 5000;

struct AddressList {
    addrinfo* first = nullptr;
    ~AddressList() {
        if (first != nullptr) freeaddrinfo(first);
    }
};

bool resolve(const std::string& host, int port, bool passive, AddressList& list, std::string& error) {
    if (port < 0 || port > 65535) {
        error = "port " + std::to_string(port) + " is outside 0-65535";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
    const std::string service = std::to_string(port);
    const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &list.first);
    if (result != 0 || list.first == nullptr) {
        error = "cannot find the address of '" + host + "': " + gai_strerror(result);
        return false;
    }
    return true;
}

std::string system_error(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool make_nonblocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string address_text(const sockaddr* address) {
    char host[NI_MAXHOST] = {};
    char port[NI_MAXSERV] = {};
    const socklen_t length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (getnameinfo(address, length, host, sizeof host, port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return "?";
    }
    return std::string(host) + ":" + port;
}

int wait_for(int fd, short events, int milliseconds) {
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, milliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 ? entry.revents : 0;
}

}  // namespace

MessageLink::MessageLink(std::size_t max_message) : max_message_(max_message) {}

MessageLink::~MessageLink() { close(); }

void MessageLink::close() {
    if (listener_ >= 0) ::close(listener_);
    if (socket_ >= 0) ::close(socket_);
    listener_ = -1;
    socket_ = -1;
    connected_ = false;
    partial_.clear();
}

bool MessageLink::listen(const std::string& address, int port, std::string& error) {
    close();
    AddressList list;
    if (!resolve(address, port, true, list, error)) return false;
    const addrinfo* a = list.first;
    const int fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd < 0) {
        error = system_error("cannot make a socket");
        return false;
    }
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 1) != 0 || !make_nonblocking(fd)) {
        error = system_error(("cannot listen on " + address_text(a->ai_addr)).c_str());
        ::close(fd);
        return false;
    }
    listener_ = fd;
    return true;
}

int MessageLink::local_port() const {
    if (listener_ < 0) return 0;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

bool MessageLink::connect(const std::string& host, int port, std::string& error) {
    close();
    AddressList list;
    if (!resolve(host, port, false, list, error)) return false;
    const addrinfo* a = list.first;
    const int fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd < 0 || !make_nonblocking(fd)) {
        error = system_error("cannot make a socket");
        if (fd >= 0) ::close(fd);
        return false;
    }
    peer_ = address_text(a->ai_addr);
    if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
        error = system_error(("cannot connect to " + peer_).c_str());
        ::close(fd);
        return false;
    }
    socket_ = fd;
    connected_ = false;
    return true;
}

LinkEvent MessageLink::fail(std::string reason) {
    close();
    return LinkEvent{LinkEvent::FAILED, std::move(reason)};
}

LinkEvent MessageLink::accept_peer() {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int fd = ::accept(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    if (fd < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED) return {};
        return fail(system_error("cannot accept the connection"));
    }
    // One peer only: nobody else can connect from now on.
    ::close(listener_);
    listener_ = -1;
    if (!make_nonblocking(fd)) {
        ::close(fd);
        return fail(system_error("cannot set up the connection"));
    }
    socket_ = fd;
    connected_ = true;
    peer_ = address_text(reinterpret_cast<sockaddr*>(&address));
    return LinkEvent{LinkEvent::CONNECTED, peer_};
}

LinkEvent MessageLink::finish_connect() {
    int problem = 0;
    socklen_t length = sizeof problem;
    if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, &problem, &length) != 0) problem = errno;
    if (problem != 0) {
        errno = problem;
        return fail(system_error(("cannot connect to " + peer_).c_str()));
    }
    connected_ = true;
    const int yes = 1;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    return LinkEvent{LinkEvent::CONNECTED, peer_};
}

// Takes in whatever has arrived and cuts it into messages at the NULs.
LinkEvent MessageLink::read_messages() {
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::recv(socket_, buffer, sizeof buffer, 0);
        if (count == 0) {
            close();
            return LinkEvent{LinkEvent::CLOSED, "the other program closed the connection"};
        }
        if (count < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return {};
            return fail(system_error("the connection broke"));
        }
        for (ssize_t i = 0; i < count; ++i) {
            if (buffer[i] == '\0') {
                received_.push_back(std::move(partial_));
                partial_.clear();
            } else if (partial_.size() < max_message_) {
                partial_ += buffer[i];
            } else {
                // Without its end the rest cannot be cut into messages any more.
                return fail("a message longer than " + std::to_string(max_message_) +
                            " characters came without its end (NUL)");
            }
        }
        if (!received_.empty()) return {};
    }
}

LinkEvent MessageLink::poll(std::chrono::milliseconds wait) {
    if (!received_.empty()) {
        LinkEvent event{LinkEvent::MESSAGE, std::move(received_.front())};
        received_.pop_front();
        return event;
    }
    const int fd = listener_ >= 0 ? listener_ : socket_;
    if (fd < 0) return {};
    const short want = connecting() ? POLLOUT : POLLIN;
    const int revents = wait_for(fd, want, static_cast<int>(wait.count()));
    if (revents == 0) return {};
    if (fd == listener_) return accept_peer();
    if (!connected_) return finish_connect();
    LinkEvent event = read_messages();
    if (event.kind != LinkEvent::NOTHING || received_.empty()) return event;
    return poll(std::chrono::milliseconds(0));
}

bool MessageLink::send(std::string_view message, std::string& error) {
    if (!connected()) {
        error = "not connected";
        return false;
    }
    if (message.empty() || message.size() > max_message_ || message.find('\0') != std::string_view::npos) {
        error = "a message must have 1-" + std::to_string(max_message_) + " characters and no NUL";
        return false;
    }
    std::string framed(message);
    framed += '\0';
    std::size_t sent = 0;
    while (sent < framed.size()) {
        const ssize_t count = ::send(socket_, framed.data() + sent, framed.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && wait_for(socket_, POLLOUT, SEND_WAIT_MS) != 0) {
            continue;
        }
        error = count < 0 && errno != EAGAIN ? system_error("cannot send") : "the other program takes no data";
        close();
        return false;
    }
    return true;
}
