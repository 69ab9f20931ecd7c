#pragma once
// The board window's mouse cursor and the application icon.

#include <QImage>
#include <QPoint>
#include <vector>

#include "tools/resgen/output.h"

namespace resgen {

// The board cursor: a ring with four cross hairs around an open middle, black on a white
// outline so it shows on light and dark squares and on the pieces. Its hotspot is the
// middle pixel.
constexpr int CURSOR_SIZE = 32;
constexpr QPoint CURSOR_HOTSPOT(15, 15);

QImage make_board_cursor();

// The application icon at size x size pixels: a crowned white piece before a black one on
// a corner of the board.
QImage make_application_icon(int size);

constexpr int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};

// images/board_cursor.png and images/icon/vantor_<size>.png.
void write_program_icons(const Output& out);

}  // namespace resgen
