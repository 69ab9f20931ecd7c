#include "ui/layout.h"

#include <algorithm>

std::string frame_title(const std::string& file_name) {
    return file_name.empty() ? FRAME_TITLE : std::string(FRAME_TITLE) + " - " + file_name;
}

const ChildWindowInfo& child_window_info(ChildWindow window) {
    const int index = std::clamp(static_cast<int>(window), 0, CHILD_WINDOW_COUNT - 1);
    return CHILD_WINDOWS[index];
}

ChildWindow child_window_of_view(int command) {
    for (const ChildWindowInfo& info : CHILD_WINDOWS) {
        if (info.view_command != 0 && info.view_command == command) return info.window;
    }
    return CHILD_WINDOW_COUNT;
}

StatusPaneEdges status_pane_edges(const std::array<int, STATUS_PANE_COUNT>& needed) {
    StatusPaneEdges edges{};
    int left = 0;
    for (int pane = 0; pane < STATUS_PANE_COUNT; ++pane) {
        const int width = STATUS_PANE_RIGHT_EDGES[pane] - (pane == 0 ? 0 : STATUS_PANE_RIGHT_EDGES[pane - 1]);
        left += std::max(width, needed[pane]);
        edges[pane] = left;
    }
    return edges;
}

Rect status_pane_rect(int pane, int height, const StatusPaneEdges& edges) {
    if (pane < 0 || pane >= STATUS_PANE_COUNT) return {};
    const int left = pane == 0 ? 0 : edges[pane - 1];
    return {left, 0, edges[pane] - left, std::max(height, 0)};
}

int child_window_width(ChildWindow window, int width_for_title) {
    return std::max(child_window_info(window).rect.width, width_for_title);
}

FrameLayout frame_layout(int width, int height, int toolbar_height, int status_height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int toolbar = std::clamp(toolbar_height, 0, height);
    const int status = std::clamp(status_height, 0, height - toolbar);
    FrameLayout layout;
    layout.toolbar = {0, 0, width, toolbar};
    layout.status_bar = {0, height - status, width, status};
    layout.client = {0, toolbar, width, height - status - toolbar};
    return layout;
}
