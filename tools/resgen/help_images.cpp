#include "tools/resgen/help_images.h"

#include "tools/resgen/program_icons.h"

namespace resgen {

void write_help_images(const Output& out, const BoardImages& board,
                       const std::vector<ToolbarIcon>& icons) {
    const QString folder = "help/vantor_help/";
    const Position start = start_position();
    out.png(folder + "start_position.png", board_picture(board, start, 0));
    // White's half of the start position with the man on 32 picked up: it has two moves
    // (to 27 and 28), so the program waits for the second click.
    const QImage picked = board_picture(board, start, 32);
    out.png(folder + "move_entry.png",
            picked.copy(0, 5 * SQUARE_SIZE, 10 * SQUARE_SIZE, 5 * SQUARE_SIZE));
    const char* pieces[4] = {"white_man", "white_king", "black_man", "black_king"};
    for (int i = 0; i < 4; ++i) out.png(folder + pieces[i] + ".png", board.alpha[i]);
    for (const ToolbarIcon& icon : icons) out.png(folder + "tb_" + icon.name + ".png", icon.image);
    out.png(folder + "vantor_48.png", make_application_icon(48));
}

}  // namespace resgen
