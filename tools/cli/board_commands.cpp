// moves and perft: the generator as other tools see it.

#include <chrono>
#include <cstdio>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/perft.h"
#include "tools/cli/commands.h"
#include "engine/board/notation.h"
#include "tools/cli/options.h"

namespace {

constexpr int MAX_PERFT_DEPTH = 20;

PlyRecord& setup_root(const Board& board, Side side) {
    init_board_tables();
    PlyRecord& root = root_record();
    set_record_position(root, board, side);
    return root;
}

}  // namespace

int run_moves(int argc, char** argv) {
    Options options;
    std::string error;
    Board board;
    Side side = WHITE;
    if (!options.parse(argc, argv, 2, {{"fen", true}}, error)) return usage_error(error);
    if (!options.positional().empty()) return usage_error("moves takes no argument '" + options.positional()[0] + "'");
    if (!read_position(options, board, side, error)) return usage_error(error);

    PlyRecord& root = setup_root(board, side);
    generate_moves(side, root);
    for (int i = 0; i < root.move_count; ++i) {
        std::printf("%s\n", move_text_with_captures(root, root.moves[i]).c_str());
    }
    return 0;
}

int run_perft(int argc, char** argv) {
    Options options;
    std::string error;
    Board board;
    Side side = WHITE;
    if (!options.parse(argc, argv, 2, {{"fen", true}, {"divide", false}, {"unique", false}}, error)) {
        return usage_error(error);
    }
    long depth = 0;
    if (options.positional().size() != 1) return usage_error("perft needs one DEPTH");
    if (!parse_int(options.positional()[0], 1, MAX_PERFT_DEPTH, depth)) {
        return usage_error("perft depth must be 1-" + std::to_string(MAX_PERFT_DEPTH));
    }
    if (!read_position(options, board, side, error)) return usage_error(error);
    const bool unique = options.has("unique");

    PlyRecord& root = setup_root(board, side);
    if (options.has("divide")) {
        generate_moves(side, root);
        for (int i = 0; i < root.move_count; ++i) {
            if (unique && is_duplicate_path(root, i)) continue;
            make_move(root, root.moves[i]);
            const std::uint64_t count = perft((&root)[1], ~side, static_cast<int>(depth) - 1, unique);
            std::printf("%s %llu\n", move_text_with_captures(root, root.moves[i]).c_str(),
                        static_cast<unsigned long long>(count));
        }
    }
    for (int d = 1; d <= depth; ++d) {
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t nodes = perft(root, side, d, unique);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double nps = seconds > 0 ? static_cast<double>(nodes) / seconds : 0.0;
        std::printf("depth %d nodes %llu time %.3f nps %.0f\n", d, static_cast<unsigned long long>(nodes),
                    seconds, nps);
        std::fflush(stdout);
    }
    return 0;
}
