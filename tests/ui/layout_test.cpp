#include "ui/layout.h"

#include <gtest/gtest.h>

#include <string>

TEST(ChildWindows, CreatedInOrderAtTheirPlaces) {
    // Creation order, classes, titles, client positions and sizes of the shell's table.
    struct Expected {
        const char* class_name;
        const char* title;
        Rect rect;
        ChildFrame frame;
    };
    const Expected expected[] = {
        {"MdiBoardClass", "Board", {20, 25, 420, 420}, ChildFrame::NONE},
        {"MdiClockClass", "Clock", {460, 25, 175, 75}, ChildFrame::CAPTION},
        {"MdiCmndClass", "Command", {20, 460, 180, 50}, ChildFrame::CAPTION},
        {"MdiGameClass", "Game", {460, 150, 175, 200}, ChildFrame::SIZING},
        {"MdiPVClass", "PV", {660, 250, 120, 200}, ChildFrame::CAPTION},
        {"MdiSInfoClass", "Search-Info", {660, 25, 120, 170}, ChildFrame::CAPTION},
    };
    for (int i = 0; i < CHILD_WINDOW_COUNT; ++i) {
        const ChildWindowInfo& info = CHILD_WINDOWS[i];
        EXPECT_EQ(info.window, i);
        EXPECT_STREQ(info.class_name, expected[i].class_name);
        EXPECT_STREQ(info.title, expected[i].title);
        EXPECT_EQ(info.rect, expected[i].rect) << info.title;
        EXPECT_EQ(info.frame, expected[i].frame) << info.title;
        EXPECT_EQ(&child_window_info(info.window), &info);
    }
}

TEST(ChildWindows, ViewCommandsNameTheirWindows) {
    EXPECT_EQ(child_window_of_view(301), CLOCK_WINDOW);
    EXPECT_EQ(child_window_of_view(302), COMMAND_WINDOW);
    EXPECT_EQ(child_window_of_view(303), GAME_WINDOW);
    EXPECT_EQ(child_window_of_view(304), PV_WINDOW);
    EXPECT_EQ(child_window_of_view(305), SEARCH_INFO_WINDOW);
    // The Board has no View item: nothing hides it.
    EXPECT_EQ(child_window_info(BOARD_WINDOW).view_command, 0);
    for (int command : {0, 300, 306, 401, -1})
        EXPECT_EQ(child_window_of_view(command), CHILD_WINDOW_COUNT);
}

TEST(ChildWindows, NoChildCoversTheBoard) {
    const Rect board = CHILD_WINDOWS[BOARD_WINDOW].rect;
    for (const ChildWindowInfo& info : CHILD_WINDOWS) {
        if (info.window == BOARD_WINDOW) continue;
        const Rect r = info.rect;
        const bool apart = r.x >= board.right() || r.right() <= board.x || r.y >= board.bottom() ||
                           r.bottom() <= board.y;
        EXPECT_TRUE(apart) << info.title;
    }
}

TEST(StatusPanes, RightEdgesAndWidths) {
    const int widths[STATUS_PANE_COUNT] = {150, 175, 50, 125, 125, 50, 100};
    int left = 0;
    for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
        const Rect r = status_pane_rect(pane, 20);
        EXPECT_EQ(r.x, left) << pane;
        EXPECT_EQ(r.width, widths[pane]) << pane;
        EXPECT_EQ(r.right(), STATUS_PANE_RIGHT_EDGES[pane]) << pane;
        EXPECT_EQ(r.y, 0);
        EXPECT_EQ(r.height, 20);
        left = r.right();
    }
    EXPECT_EQ(left, 775);
}

TEST(StatusPanes, NoSuchPaneIsEmpty) {
    EXPECT_EQ(status_pane_rect(-1, 20), Rect{});
    EXPECT_EQ(status_pane_rect(7, 20), Rect{});
    EXPECT_EQ(status_pane_rect(0, -5).height, 0);
}

// The toolbar on top, the status bar at the bottom and the client exactly between, for
// frames of every size, the degenerate ones included.
TEST(FrameLayout, BarsAtTheEdgesClientBetween) {
    for (int width : {0, 1, 100, 800, 1920}) {
        for (int height : {0, 10, 40, 41, 300, 1080}) {
            for (int toolbar : {0, 26, 40}) {
                for (int status : {0, 20, 23}) {
                    const FrameLayout l = frame_layout(width, height, toolbar, status);
                    const std::string at = std::to_string(width) + "x" + std::to_string(height) +
                                           " t" + std::to_string(toolbar) + " s" +
                                           std::to_string(status);
                    EXPECT_EQ(l.toolbar.y, 0) << at;
                    EXPECT_EQ(l.client.y, l.toolbar.bottom()) << at;
                    EXPECT_EQ(l.status_bar.y, l.client.bottom()) << at;
                    EXPECT_EQ(l.status_bar.bottom(), height) << at;
                    EXPECT_GE(l.client.height, 0) << at;
                    for (const Rect& r : {l.toolbar, l.client, l.status_bar}) {
                        EXPECT_EQ(r.x, 0) << at;
                        EXPECT_EQ(r.width, width) << at;
                    }
                }
            }
        }
    }
}

TEST(FrameLayout, KnownFrame) {
    const FrameLayout l = frame_layout(1024, 700, 26, 22);
    EXPECT_EQ(l.toolbar, (Rect{0, 0, 1024, 26}));
    EXPECT_EQ(l.status_bar, (Rect{0, 678, 1024, 22}));
    EXPECT_EQ(l.client, (Rect{0, 26, 1024, 652}));
}

TEST(FrameLayout, TooSmallForBothBarsKeepsTheToolbar) {
    const FrameLayout l = frame_layout(300, 30, 26, 22);
    EXPECT_EQ(l.toolbar, (Rect{0, 0, 300, 26}));
    EXPECT_EQ(l.client.height, 0);
    EXPECT_EQ(l.status_bar, (Rect{0, 26, 300, 4}));
    const FrameLayout negative = frame_layout(-5, -5, 26, 22);
    EXPECT_EQ(negative.client, (Rect{0, 0, 0, 0}));
}
