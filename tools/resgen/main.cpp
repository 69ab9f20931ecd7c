// vantor-resgen OUTDIR: paints vantor's pictures, synthesises its move sound and writes them
// under OUTDIR (the source tree's resources folder), where they are kept. Run it through the
// resources_regenerate target after changing a picture here; the output depends on nothing
// but this code, so a second run writes the same bytes.

#include <cstdio>

#include "tools/resgen/board_images.h"
#include "tools/resgen/help_images.h"
#include "tools/resgen/move_sound.h"
#include "tools/resgen/output.h"
#include "tools/resgen/program_icons.h"
#include "tools/resgen/toolbar_icons.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantor-resgen OUTDIR\n");
        return 2;
    }
    const resgen::Output out(QString::fromLocal8Bit(argv[1]));
    const resgen::BoardImages board = resgen::make_board_images();
    resgen::write_board_images(out, board);
    const std::vector<resgen::ToolbarIcon> icons = resgen::make_toolbar_icons();
    resgen::write_toolbar(out, icons);
    resgen::write_program_icons(out);
    resgen::write_move_sound(out);
    resgen::write_help_images(out, board, icons);
    return 0;
}
