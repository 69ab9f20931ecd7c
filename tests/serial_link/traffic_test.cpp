// Many messages in both directions at once, put from two threads.
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "null_modem.h"
#include "relaycom.h"

namespace serial_test {
namespace {

using Traffic = CableTest;

// Texts of 1 to 60 characters, none with an "S" or "E"; the two sides differ in the first.
std::vector<std::string> texts(char side, int count) {
    std::vector<std::string> all;
    for (int i = 0; i < count; ++i) {
        std::string text(1, side);
        text += std::to_string(i);
        for (int k = 0; k < (i * 17) % 58; ++k)
            text.push_back("0123456789abcdfghij-"[(i + k) % 20]);
        all.push_back(text);
    }
    return all;
}

TEST_F(Traffic, ManyMessagesBothWaysAllArriveInOrder) {
    constexpr int kCount = 25;
    CConnNulmodem a(kComA);
    CConnNulmodem b(kComB);
    ASSERT_EQ(a.connect(), 0);
    ASSERT_EQ(b.connect(), 0);
    const std::vector<std::string> from_a = texts('1', kCount);
    const std::vector<std::string> from_b = texts('2', kCount);

    std::thread put_a([&] {
        for (const auto& text : from_a) a.putmessage(text.c_str());
    });
    std::thread put_b([&] {
        for (const auto& text : from_b) b.putmessage(text.c_str());
    });

    std::vector<std::string> at_a;
    std::vector<std::string> at_b;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    char buffer[128];
    while ((at_a.size() < kCount || at_b.size() < kCount) &&
           std::chrono::steady_clock::now() < deadline) {
        if (a.status() == 3) {
            a.getmessage(buffer);
            at_a.emplace_back(buffer);
        } else if (b.status() == 3) {
            b.getmessage(buffer);
            at_b.emplace_back(buffer);
        } else {
            std::this_thread::sleep_for(2ms);
        }
    }
    put_a.join();
    put_b.join();
    EXPECT_EQ(at_b, from_a);
    EXPECT_EQ(at_a, from_b);
}

}  // namespace
}  // namespace serial_test
