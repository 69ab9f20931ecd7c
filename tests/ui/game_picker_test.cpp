// The list of a file's games: filled by its worker, read on the main thread.

#include "ui/game_picker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

void wait_ready(GamePicker& picker) {
    for (int i = 0; i < 5000 && !picker.poll(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

}  // namespace

TEST(GamePicker, ListsEveryGameWithItsTags) {
    auto text = std::make_shared<const std::string>(
        "[Event \"Cup\"]\n[Date \"2001.02.03\"]\n[White \"A\"]\n[Black \"B\"]\n1. 32-28 2-0\n"
        "1. 33-28 *\n[White \"C\"]\n[Result \"1-1\"]\n1. 31-27\n");
    GamePicker picker(text);
    wait_ready(picker);
    ASSERT_TRUE(picker.ready());
    ASSERT_EQ(picker.rows(), 3);
    EXPECT_EQ(picker.status(), "3 games");
    const std::vector<std::string> first = {"1", "A", "B", "Cup", "2001.02.03", "2-0"};
    for (int column = 0; column < GamePicker::COLUMN_COUNT; ++column) {
        EXPECT_EQ(picker.cell(0, column), first[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(picker.cell(1, 5), "*");
    EXPECT_EQ(picker.cell(2, 1), "C");
    EXPECT_EQ(picker.cell(2, 5), "1-1");
    EXPECT_EQ(picker.cell(3, 0), "");
    EXPECT_EQ(picker.entry(2).number, 3);
}

TEST(GamePicker, GoesAwayWhileItsWorkerStillReads) {
    auto text = std::make_shared<std::string>();
    for (int i = 0; i < 200000; ++i) text->append("[White \"x\"]\n1. 32-28 *\n");
    auto picker = std::make_unique<GamePicker>(text);
    EXPECT_EQ(picker->status(), "Reading the games...");
    picker.reset();  // the dialog was cancelled at once: the worker stops early
}
