// The printed game: page geometry, where the lines stand, and the page order for copies.
// The PDF test in the window suite reads the printed texts and pages back.

#include "ui/print_layout.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PrintGeometry, LinesPerPageAndPages) {
    // Font 14 + leading 2 = 16; 1000 pixels hold 62 lines.
    const PrintGeometry geometry = print_geometry(250, 14, 2, 9, 1000);
    EXPECT_EQ(geometry.line_height, 16);
    EXPECT_EQ(geometry.lines, 125);
    EXPECT_EQ(geometry.lines_per_page, 62);
    EXPECT_EQ(geometry.pages, 3);
    EXPECT_EQ(print_geometry(248, 14, 2, 9, 1000).pages, 2);  // 124 lines: exactly two
    EXPECT_EQ(print_geometry(0, 14, 2, 9, 1000).pages, 0);
    // A page too short for a line still takes one.
    EXPECT_EQ(print_geometry(6, 40, 0, 9, 30).lines_per_page, 1);
    EXPECT_EQ(print_geometry(6, 0, 0, 0, 30).line_height, 1);
}

TEST(PrintSequence, CopiesRepeatEachPageOrWithCollateTheDocument) {
    EXPECT_EQ(print_sequence(2, 2, false), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(print_sequence(2, 2, true), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(print_sequence(3, 1, true), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(print_sequence(0, 3, true).empty());
    EXPECT_EQ(print_sequence(2, 0, false), (std::vector<int>{0, 1}));
}

TEST(PrintLines, EachPageStartsAtItsTop) {
    GameRecord record;
    record.length = record.current = 13;  // 7 lines, 4 a page
    const PrintGeometry geometry = print_geometry(record.length, 10, 0, 6, 45);
    const auto first = page_lines(record, geometry, 0);
    const auto second = page_lines(record, geometry, 1);
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first[1].y, 10);
    EXPECT_EQ(first[0].number_right_x, 30);
    EXPECT_EQ(first[0].white_x, 36);
    EXPECT_EQ(first[0].black_x, 78);
    EXPECT_EQ(second.front().text.number, "  5");
    EXPECT_EQ(second.front().y, 0);
    EXPECT_TRUE(page_lines(record, geometry, 2).empty());
}
