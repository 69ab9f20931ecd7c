// The printed game: page geometry, lines of each page, and the page order for copies.

#include "ui/print_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

GameRecord record_of(int length) {
    GameRecord record;
    for (int i = 0; i < length; ++i) {
        record.entries[i] = {
            i % 2 == 0 ? WHITE : BLACK, 0, i % 2 == 0 ? 1 : 6, 31 + i % 20, 26 + i % 20, {}};
    }
    record.length = length;
    record.current = length;
    return record;
}

}  // namespace

TEST(PrintGeometry, LinesPerPageAndPages) {
    // Font 14 + leading 2 = 16; 1000 pixels hold 62 lines.
    const PrintGeometry geometry = print_geometry(250, 14, 2, 9, 1000);
    EXPECT_EQ(geometry.line_height, 16);
    EXPECT_EQ(geometry.char_width, 9);
    EXPECT_EQ(geometry.lines, 125);
    EXPECT_EQ(geometry.lines_per_page, 62);
    EXPECT_EQ(geometry.pages, 3);
    EXPECT_EQ(print_geometry(248, 14, 2, 9, 1000).pages, 2);  // 124 lines: exactly two
    EXPECT_EQ(print_geometry(0, 14, 2, 9, 1000).pages, 0);
    EXPECT_EQ(print_geometry(1, 14, 2, 9, 1000).pages, 1);
}

TEST(PrintGeometry, APageTooShortForALineStillTakesOne) {
    const PrintGeometry geometry = print_geometry(6, 40, 0, 9, 30);
    EXPECT_EQ(geometry.lines_per_page, 1);
    EXPECT_EQ(geometry.pages, 3);
    EXPECT_EQ(print_geometry(6, 0, 0, 0, 30).line_height, 1);
}

TEST(PrintSequence, TwoCopiesWithoutCollateRepeatEachPage) {
    EXPECT_EQ(print_sequence(2, 2, false), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(print_sequence(3, 1, false), (std::vector<int>{0, 1, 2}));
}

TEST(PrintSequence, TwoCopiesWithCollateRepeatTheDocument) {
    EXPECT_EQ(print_sequence(2, 2, true), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(print_sequence(3, 2, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST(PrintSequence, NoPagesOrNoCopies) {
    EXPECT_TRUE(print_sequence(0, 3, true).empty());
    EXPECT_EQ(print_sequence(2, 0, false), (std::vector<int>{0, 1}));
}

TEST(PrintLines, FiveHalfMovesPrintThreeLinesTheLastWithWhiteOnly) {
    const GameRecord record = record_of(5);
    const PrintGeometry geometry = print_geometry(record.length, 14, 2, 9, 1000);
    const auto lines = page_lines(record, geometry, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text.number, "  1");
    EXPECT_EQ(lines[0].text.white, "31-26");
    EXPECT_EQ(lines[0].text.black, "32x27");
    EXPECT_EQ(lines[2].text.number, "  3");
    EXPECT_EQ(lines[2].text.white, "35-30");
    EXPECT_EQ(lines[2].text.black, "");
    EXPECT_EQ(lines[1].y, 16);
    EXPECT_EQ(lines[2].y, 32);
    EXPECT_EQ(lines[0].number_right_x, 45);
    EXPECT_EQ(lines[0].white_x, 54);
    EXPECT_EQ(lines[0].black_x, 117);
}

TEST(PrintLines, TheSecondPageContinuesTheNumbersFromTheTop) {
    // 7 lines, 4 a page; the game ends with White's move.
    const GameRecord record = record_of(13);
    const PrintGeometry geometry = print_geometry(record.length, 10, 0, 6, 45);
    ASSERT_EQ(geometry.lines_per_page, 4);
    ASSERT_EQ(geometry.pages, 2);
    const auto first = page_lines(record, geometry, 0);
    const auto second = page_lines(record, geometry, 1);
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first.back().text.number, "  4");
    EXPECT_EQ(second.front().text.number, "  5");
    EXPECT_EQ(second.front().y, 0);
    EXPECT_EQ(second.back().text.number, "  7");
    EXPECT_EQ(second.back().text.black, "");
    EXPECT_FALSE(second.back().text.white.empty());
    EXPECT_TRUE(page_lines(record, geometry, 2).empty());
}
