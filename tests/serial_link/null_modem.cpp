#include "null_modem.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace serial_test {

namespace {

bool is_raw(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios line{};
    const bool raw = ::tcgetattr(fd, &line) == 0 && (line.c_lflag & ICANON) == 0;
    ::close(fd);
    return raw;
}

}  // namespace

NullModemCable::~NullModemCable() {
    pull_out();
    if (!dir_.empty()) ::rmdir(dir_.c_str());
}

bool NullModemCable::plug_in(std::string& why) {
    char dir[] = "/tmp/relaycom-test-XXXXXX";
    if (::mkdtemp(dir) == nullptr) {
        why = "mkdtemp failed";
        return false;
    }
    dir_ = dir;
    a_ = dir_ + "/a";
    b_ = dir_ + "/b";
    const std::string end_a = "pty,raw,echo=0,link=" + a_;
    const std::string end_b = "pty,raw,echo=0,link=" + b_;
    const pid_t parent = ::getpid();
    socat_ = ::fork();
    if (socat_ == 0) {
        // socat goes with the test program even when that ends abruptly.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        const int nothing = ::open("/dev/null", O_RDWR);
        ::dup2(nothing, STDIN_FILENO);
        ::dup2(nothing, STDOUT_FILENO);
        ::execlp("socat", "socat", end_a.c_str(), end_b.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (socat_ < 0) {
        why = "fork failed";
        return false;
    }
    // socat makes each link before it sets that pty raw (VMIN 1), and a link opened in
    // between would have its settings overwritten: wait until both ends are raw.
    for (const auto deadline = Clock::now() + 5s; !is_raw(a_) || !is_raw(b_);) {
        int wstatus = 0;
        if (::waitpid(socat_, &wstatus, WNOHANG) == socat_) {
            socat_ = -1;
            why = "socat did not run (scripts/install-deps.sh --test installs it)";
            return false;
        }
        if (Clock::now() > deadline) {
            why = "socat did not set up both ends within 5 s";
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

void NullModemCable::pull_out() {
    if (socat_ > 0) {
        ::kill(socat_, SIGTERM);
        int wstatus = 0;
        while (::waitpid(socat_, &wstatus, 0) == -1 && errno == EINTR) {
        }
        socat_ = -1;
    }
    if (!a_.empty()) ::unlink(a_.c_str());
    if (!b_.empty()) ::unlink(b_.c_str());
}

void route_com(int number, const std::string& device) {
    ::setenv(("VANTOR_COM" + std::to_string(number)).c_str(), device.c_str(), 1);
}

RawPeer::RawPeer(const std::string& device) {
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios line{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &line) == 0) {
        ::cfmakeraw(&line);
        line.c_cc[VMIN] = 0;
        line.c_cc[VTIME] = 0;
        ::tcsetattr(fd_, TCSANOW, &line);
    }
}

RawPeer::~RawPeer() {
    if (fd_ >= 0) ::close(fd_);
}

void RawPeer::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::optional<unsigned char> RawPeer::read(Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd ready{fd_, POLLIN, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        unsigned char byte = 0;
        if (::read(fd_, &byte, 1) == 1) return byte;
        if ((ready.revents & (POLLHUP | POLLERR)) != 0) return std::nullopt;
    }
}

bool RawPeer::send_message(std::string_view text) {
    std::string frame(1, 'S');
    frame.append(text).push_back('E');
    for (const char c : frame) {
        write(std::string_view(&c, 1));
        if (read(2000ms) != static_cast<unsigned char>(c)) return false;
    }
    return true;
}

std::optional<std::string> RawPeer::receive_message(Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    std::optional<std::string> text;
    while (const auto byte = read(std::chrono::ceil<Millis>(deadline - Clock::now()))) {
        const char c = static_cast<char>(*byte);
        write(std::string_view(&c, 1));
        if (c == 'S') {
            text.emplace();
        } else if (c == 'E' && text) {
            return text;
        } else if (text) {
            text->push_back(c);
        }
    }
    return std::nullopt;
}

LineNoise::LineNoise(const NullModemCable& cable) {
    into_a_ = ::open(cable.b().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    into_b_ = ::open(cable.a().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

LineNoise::~LineNoise() {
    if (into_a_ >= 0) ::close(into_a_);
    if (into_b_ >= 0) ::close(into_b_);
}

void LineNoise::to_a(std::string_view bytes) const {
    EXPECT_EQ(::write(into_a_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

void LineNoise::to_b(std::string_view bytes) const {
    EXPECT_EQ(::write(into_b_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

EchoAllPeer::EchoAllPeer(const std::string& device) : port_(device) {
    if (port_.is_open()) thread_ = std::thread(&EchoAllPeer::run, this);
}

EchoAllPeer::~EchoAllPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void EchoAllPeer::put(const std::string& text) {
    std::scoped_lock guard(queues_);
    outgoing_.push_back(text);
}

std::optional<std::string> EchoAllPeer::take(Millis timeout) {
    std::optional<std::string> text;
    eventually(
        [&] {
            std::scoped_lock guard(queues_);
            if (incoming_.empty()) return false;
            text = incoming_.front();
            incoming_.pop_front();
            return true;
        },
        timeout);
    return text;
}

void EchoAllPeer::run() {
    std::optional<std::string> text;  // set while inside a message
    while (!stop_) {
        std::optional<std::string> out;
        if (!text) {
            std::scoped_lock guard(queues_);
            if (!outgoing_.empty()) out = outgoing_.front();
        }
        if (out) {
            while (!stop_ && !deliver(*out)) {
            }
            std::scoped_lock guard(queues_);
            outgoing_.pop_front();
            continue;
        }
        const std::optional<unsigned char> byte = port_.read(100ms);
        if (!byte || *byte == 0) continue;
        const char c = static_cast<char>(*byte);
        port_.write(std::string_view(&c, 1));
        if (c == 'S') {
            text.emplace();
        } else if (c == 'E' && text) {
            std::scoped_lock guard(queues_);
            incoming_.push_back(*text);
            text.reset();
        } else if (text) {
            text->push_back(c);
            if (text->size() > 127) text.reset();
        }
    }
}

// One try: "S", the text and "E", each byte once its echo came back.
bool EchoAllPeer::deliver(const std::string& text) {
    for (const char c : "S" + text + "E") {
        port_.write(std::string_view(&c, 1));
        const auto deadline = Clock::now() + 5s;
        std::optional<unsigned char> echo;
        while (!echo && !stop_ && Clock::now() < deadline) echo = port_.read(100ms);
        if (echo != static_cast<unsigned char>(c)) return false;
    }
    return true;
}

std::optional<std::string> wait_for_message(CConnection& link, Millis timeout) {
    if (!wait_for_status(link, 3, timeout)) return std::nullopt;
    char buffer[128];
    link.getmessage(buffer);
    return std::string(buffer);
}

int link_threads() {
    int count = 0;
    if (DIR* tasks = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(tasks)) {
            if (entry->d_name[0] == '.') continue;
            std::ifstream name(std::string("/proc/self/task/") + entry->d_name + "/comm");
            std::string line;
            if (std::getline(name, line) && line.rfind("relaycom", 0) == 0) ++count;
        }
        ::closedir(tasks);
    }
    return count;
}

}  // namespace serial_test
