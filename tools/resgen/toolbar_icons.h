#pragma once
// The toolbar's button pictures: 23 images of 16 x 15 pixels on a transparent background,
// kept side by side in one 368 x 15 strip in the order the toolbar names them.

#include <QImage>
#include <QString>
#include <vector>

#include "tools/resgen/output.h"

namespace resgen {

constexpr int BUTTON_WIDTH = 16;
constexpr int BUTTON_HEIGHT = 15;

struct ToolbarIcon {
    QString name;  // file name stem, e.g. "00_open"
    QImage image;
};

std::vector<ToolbarIcon> make_toolbar_icons();
QImage toolbar_strip(const std::vector<ToolbarIcon>& icons);

// Writes the strip as images/toolbar.png and each button as images/toolbar/<name>.png.
void write_toolbar(const Output& out, const std::vector<ToolbarIcon>& icons);

}  // namespace resgen
