// eval: the static evaluation of one position for the side to move.

#include <cstdio>
#include <limits>

#include "engine/knowledge/evaluation.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_eval(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"fen", true}, {"bound", true}}, error))
        return usage_error(error);
    if (!options.positional().empty())
        return usage_error("eval takes no argument '" + options.positional()[0] + "'");

    // 30000 never takes the lazy exit; -30000 is what the search driver shows at the root.
    long bound = 30000;
    if (const auto text = options.value("bound")) {
        if (!parse_int(*text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                       bound)) {
            return usage_error("eval bound must be a 32-bit integer, got '" + *text + "'");
        }
    }
    Board board;
    Side side = WHITE;
    if (!read_position(options, board, side, error)) return usage_error(error);

    init_board_tables();
    evaluation_init();
    PlyRecord& root = root_record();
    set_record_position(root, board, side);
    count_material(root);
    std::printf("eval %d\n", evaluate(side, root, static_cast<int>(bound)));
    return 0;
}
