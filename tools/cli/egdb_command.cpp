// egdb: the endgame databases' value of a position, as the engine would see it.

#include <bit>
#include <cstdio>

#include "engine/knowledge/egdb.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

int run_egdb(int argc, char** argv) {
    Options options;
    std::string error;
    Board board;
    Side side = WHITE;
    if (!options.parse(argc, argv, 2, {{"fen", true}, {"dir", true}}, error))
        return usage_error(error);
    if (!options.positional().empty())
        return usage_error("egdb takes no argument '" + options.positional()[0] + "'");
    if (!read_position(options, board, side, error)) return usage_error(error);

    const std::string directory = options.value("dir").value_or(".");
    // No database at all is a wrong folder, not an unknown position.
    if (egdb_init(directory.c_str()) == 0)
        return usage_error("no endgame databases in " + directory);
    PlyRecord record;
    set_record_position(record, board, side);
    // The probe reads the piece counts that the evaluation fills in.
    record.type_counts[0] = std::popcount(board.white_men);
    record.type_counts[1] = std::popcount(board.white_kings);
    record.type_counts[2] = std::popcount(board.black_men);
    record.type_counts[3] = std::popcount(board.black_kings);
    static const char* const WORDS[] = {"win", "draw", "loss", "unknown"};
    const int value = egdb_probe(side, record);
    std::printf("%s\n", WORDS[value >= EGDB_WIN && value <= EGDB_UNKNOWN ? value : EGDB_UNKNOWN]);
    egdb_free();
    return 0;
}
