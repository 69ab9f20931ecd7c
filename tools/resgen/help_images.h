#pragma once
// Pictures for the help document, written beside it in help/vantor_help/ so that the
// document finds them by relative path both in the source tree and next to the program.

#include <vector>

#include "tools/resgen/board_images.h"
#include "tools/resgen/output.h"
#include "tools/resgen/toolbar_icons.h"

namespace resgen {

void write_help_images(const Output& out, const BoardImages& board,
                       const std::vector<ToolbarIcon>& icons);

}  // namespace resgen
