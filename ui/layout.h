#pragma once
// The frame's fixed layout: the six child windows at their client positions, the status
// bar's seven panes, and how a resize shares the frame between toolbar, MDI client and
// status bar.

#include <array>
#include <string>

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }  // one past the last pixel
    int bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

enum ChildWindow : int {
    BOARD_WINDOW,
    CLOCK_WINDOW,
    COMMAND_WINDOW,
    GAME_WINDOW,
    PV_WINDOW,
    SEARCH_INFO_WINDOW,
    CHILD_WINDOW_COUNT,
};

enum class ChildFrame {
    NONE,     // no caption, no border
    CAPTION,  // caption and system menu, fixed size
    SIZING,   // caption, system menu and sizing border
};

struct ChildWindowInfo {
    ChildWindow window;
    const char* class_name;
    const char* title;
    Rect rect;  // in MDI client coordinates, frame included
    ChildFrame frame;
    int view_command;  // the View item that shows and hides it; 0: never hidden
};

// In creation order.
inline constexpr std::array<ChildWindowInfo, CHILD_WINDOW_COUNT> CHILD_WINDOWS{{
    {BOARD_WINDOW, "MdiBoardClass", "Board", {20, 25, 420, 420}, ChildFrame::NONE, 0},
    {CLOCK_WINDOW, "MdiClockClass", "Clock", {460, 25, 175, 75}, ChildFrame::CAPTION, 301},
    {COMMAND_WINDOW, "MdiCmndClass", "Command", {20, 460, 180, 50}, ChildFrame::CAPTION, 302},
    {GAME_WINDOW, "MdiGameClass", "Game", {460, 150, 175, 200}, ChildFrame::SIZING, 303},
    {PV_WINDOW, "MdiPVClass", "PV", {660, 250, 120, 200}, ChildFrame::CAPTION, 304},
    {SEARCH_INFO_WINDOW,
     "MdiSInfoClass",
     "Search-Info",
     {660, 25, 120, 170},
     ChildFrame::CAPTION,
     305},
}};

inline constexpr const char* FRAME_CLASS = "MdiFrame";
inline constexpr const char* FRAME_TITLE = "VANTOR 5.0";
inline constexpr const char* MENU_NAME = "MDIVantorMenu";
inline constexpr const char* ACCELERATOR_TABLE = "MDIACCEL";

// The frame's title: FRAME_TITLE, then " - " and the name of the game's file once the
// game has been opened from or saved to one.
std::string frame_title(const std::string& file_name);

const ChildWindowInfo& child_window_info(ChildWindow window);
// The child window a View command shows and hides; CHILD_WINDOW_COUNT for any other.
ChildWindow child_window_of_view(int command);

// Status bar panes by their right edges, in status bar pixels.
inline constexpr int STATUS_PANE_COUNT = 7;
using StatusPaneEdges = std::array<int, STATUS_PANE_COUNT>;
inline constexpr StatusPaneEdges STATUS_PANE_RIGHT_EDGES{150, 325, 375, 500, 625, 675, 775};

// The longest text each pane shows (the turn, the remote play notice over the last move,
// the seconds of the move, the depth, the play mode, the engine's state, the node count);
// "" where any fits.
inline constexpr std::array<const char*, STATUS_PANE_COUNT> STATUS_PANE_LONGEST_TEXTS{
    "Computer to move with White", "No answer from remote for 119 min", "", "", "Computer - Computer", "",
    "9999999999"};

// The right edges when pane i needs `needed[i]` pixels for its longest text in the font
// in use: each pane keeps its width unless its text needs more.
StatusPaneEdges status_pane_edges(const std::array<int, STATUS_PANE_COUNT>& needed);

// Pane `pane` of a status bar `height` pixels high; an empty rectangle for no such pane.
Rect status_pane_rect(int pane, int height, const StatusPaneEdges& edges = STATUS_PANE_RIGHT_EDGES);

// A fixed-size child window's width: its own, or what its title needs to show whole.
int child_window_width(ChildWindow window, int width_for_title);

struct FrameLayout {
    Rect toolbar;
    Rect client;
    Rect status_bar;
};

// A frame client area of width x height: the toolbar along the top, the status bar along
// the bottom, the MDI client exactly between. A frame too small for both bars leaves the
// client empty rather than upside down.
FrameLayout frame_layout(int width, int height, int toolbar_height, int status_height);
