// show: a game file's moves as the Game window lists them.

#include <cstdio>

#include "game/files.h"
#include "game/move_text.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_show(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {}, error)) return usage_error(error);
    if (options.positional().size() != 1) return usage_error("show needs one FILE");

    init_board_tables();
    if (load_game(options.positional()[0], game_state()) == 0) {
        std::fprintf(stderr, "Could not read file!\n");
        return 2;
    }
    // One line per move pair, numbered; a last line with White's move alone ends there.
    const int length = game_length();
    for (int i = 0; 2 * i < length; ++i) {
        const std::string white = entry_text(game_entry(2 * i));
        if (2 * i + 1 < length) {
            std::printf("%5d %s  %s\n", i + 1, white.c_str(), entry_text(game_entry(2 * i + 1)).c_str());
        } else {
            std::printf("%5d %s\n", i + 1, white.c_str());
        }
    }
    return 0;
}
