// Serial port access through termios.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "serial_port.h"

namespace relaycom::port {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// COM<n> is what the program calls the port; VANTOR_COM<n> may name any device for it.
std::string device_path(int number) {
    const std::string variable = "VANTOR_COM" + std::to_string(number);
    if (const char* path = std::getenv(variable.c_str()); path != nullptr && *path != '\0') {
        return path;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

int fail(int fd, int code) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return code;
}

}  // namespace

int open(int number, Handle& handle) {
    handle = kInvalid;
    // Non-blocking for the open only: until CLOCAL is set a real port may wait for carrier.
    const int fd = ::open(device_path(number).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 1;
    // The port is not shared. TIOCEXCL does not stop root, so a lock keeps out a second link.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 1;
    }
    ::ioctl(fd, TIOCEXCL);

    termios line{};
    if (::tcgetattr(fd, &line) != 0) return fail(fd, 2);

    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSTOPB | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (::cfsetispeed(&line, B9600) != 0 || ::cfsetospeed(&line, B9600) != 0 ||
        ::tcsetattr(fd, TCSANOW, &line) != 0) {
        return fail(fd, 3);
    }
    // Fails on devices without modem lines (ptys); nothing to hold off there.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);

    // One byte or 100 ms, whichever comes first. VTIME needs a blocking descriptor.
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 1;
    if (::tcsetattr(fd, TCSANOW, &line) != 0) return fail(fd, 4);
    const int status_flags = ::fcntl(fd, F_GETFL);
    if (status_flags == -1 || ::fcntl(fd, F_SETFL, status_flags & ~O_NONBLOCK) == -1) {
        return fail(fd, 4);
    }
    // Result 5 (event mask) belongs to Win32, where a character-received mask is set that
    // nothing waits on; termios has no counterpart, so it never happens here.
    handle = fd;
    return 0;
}

void close(Handle handle) {
    if (handle == kInvalid) return;
    const int fd = static_cast<int>(handle);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

void discard_input(Handle handle) {
    ::tcflush(static_cast<int>(handle), TCIFLUSH);
}

bool write_byte(Handle handle, unsigned char byte) {
    // termios has no write timeout: wait for room at most 100 ms per byte plus 100 ms.
    const auto deadline = Clock::now() + 200ms;
    const int fd = static_cast<int>(handle);
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd ready{fd, POLLOUT, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(left));
        if (n == 0) return false;
        if (n < 0 && errno == EINTR) continue;
        if (n == 1 && (ready.revents & POLLOUT) != 0 && ::write(fd, &byte, 1) == 1) return true;
        break;
    }
    // A failed write takes its whole timeout, as on a stalled line, so that the callers'
    // retry loops do not spin on a port that has gone away.
    std::this_thread::sleep_until(deadline);
    return false;
}

unsigned char read_byte(Handle handle) {
    const auto deadline = Clock::now() + 100ms;
    unsigned char byte = 0;
    if (::read(static_cast<int>(handle), &byte, 1) == 1) return byte;
    // VTIME ends a read early only with a byte; anything sooner is an error or a hung-up
    // line, which must read as silence rather than a spin.
    std::this_thread::sleep_until(deadline);
    return 0;
}

void name_this_thread(const char* name) {
    ::pthread_setname_np(::pthread_self(), name);
}

}  // namespace relaycom::port
