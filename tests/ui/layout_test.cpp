#include "ui/layout.h"

#include <gtest/gtest.h>

#include <string>

// The window test checks the children and the panes where the frame puts them.
TEST(ChildWindows, ViewItemsNameTheirWindowsAndNoneCoversTheBoard) {
    const Rect board = CHILD_WINDOWS[BOARD_WINDOW].rect;
    for (const ChildWindowInfo& info : CHILD_WINDOWS) {
        EXPECT_EQ(&child_window_info(info.window), &info);
        if (info.window == BOARD_WINDOW) continue;
        EXPECT_EQ(child_window_of_view(info.view_command), info.window) << info.title;
        const Rect r = info.rect;
        EXPECT_TRUE(r.x >= board.right() || r.right() <= board.x || r.y >= board.bottom() ||
                    r.bottom() <= board.y)
            << info.title << " covers the board";
    }
    for (int command : {0, 300, 306, 401})
        EXPECT_EQ(child_window_of_view(command), CHILD_WINDOW_COUNT);
}

// The toolbar on top, the status bar at the bottom and the client exactly between, for
// frames of every size, the degenerate ones included.
TEST(FrameLayout, BarsAtTheEdgesClientBetween) {
    for (int width : {0, 800}) {
        for (int height : {0, 10, 40, 41, 300}) {
            for (int toolbar : {0, 26}) {
                for (int status : {0, 23}) {
                    const FrameLayout l = frame_layout(width, height, toolbar, status);
                    const std::string at = std::to_string(width) + "x" + std::to_string(height) +
                                           " t" + std::to_string(toolbar) + " s" +
                                           std::to_string(status);
                    EXPECT_EQ(l.toolbar.y, 0) << at;
                    EXPECT_EQ(l.client.y, l.toolbar.bottom()) << at;
                    EXPECT_EQ(l.status_bar.y, l.client.bottom()) << at;
                    EXPECT_EQ(l.status_bar.bottom(), height) << at;
                    EXPECT_GE(l.client.height, 0) << at;
                    for (const Rect& r : {l.toolbar, l.client, l.status_bar})
                        EXPECT_TRUE(r.x == 0 && r.width == width) << at;
                }
            }
        }
    }
}

TEST(FrameLayout, KnownFramesAndOneTooSmallForBothBars) {
    const FrameLayout l = frame_layout(1024, 700, 26, 22);
    EXPECT_EQ(l.toolbar, (Rect{0, 0, 1024, 26}));
    EXPECT_EQ(l.client, (Rect{0, 26, 1024, 652}));
    EXPECT_EQ(l.status_bar, (Rect{0, 678, 1024, 22}));
    // Too small: the toolbar keeps its height, the status bar gets the rest.
    const FrameLayout small = frame_layout(300, 30, 26, 22);
    EXPECT_EQ(small.toolbar, (Rect{0, 0, 300, 26}));
    EXPECT_EQ(small.client.height, 0);
    EXPECT_EQ(small.status_bar, (Rect{0, 26, 300, 4}));
    EXPECT_EQ(frame_layout(-5, -5, 26, 22).client, (Rect{0, 0, 0, 0}));
}
