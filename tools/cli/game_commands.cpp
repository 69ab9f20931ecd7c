// show: a game file's moves as the Game window lists them; a PDN file's first game, or
// the one --game names.

#include <cstdio>

#include "game/files.h"
#include "game/move_text.h"
#include "game/pdn_files.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace {

int could_not_read() {
    std::fprintf(stderr, "Could not read file!\n");
    return 2;
}

// One line per move pair, numbered; a last line with White's move alone ends there.
void print_moves(const std::vector<GameEntry>& entries) {
    const int length = static_cast<int>(entries.size()) - 1;
    for (int i = 0; 2 * i < length; ++i) {
        const std::string white = entry_text(entries[2 * i]);
        if (2 * i + 1 < length) {
            std::printf("%5d %s  %s\n", i + 1, white.c_str(), entry_text(entries[2 * i + 1]).c_str());
        } else {
            std::printf("%5d %s\n", i + 1, white.c_str());
        }
    }
}

}  // namespace

int run_show(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"game", true}}, error)) return usage_error(error);
    if (options.positional().size() != 1) return usage_error("show needs one FILE");
    long number = 1;
    if (options.has("game") && !parse_int(*options.value("game"), 1, 10000000, number)) {
        return usage_error("game must be a number from 1");
    }
    const std::string& path = options.positional()[0];
    init_board_tables();
    std::vector<GameEntry> entries;
    if (!(game_file_format(path, FileFilter::ALL) == GameFileFormat::PDN)) {
        if (number != 1) return usage_error("a .tgr file holds one game");
        if (load_game(path, game_state()) == 0) return could_not_read();
        for (int i = 0; i <= game_length(); ++i) entries.push_back(game_entry(i));
        print_moves(entries);
        return 0;
    }
    std::string text;
    if (!read_text_file(path, text)) return could_not_read();
    const std::vector<PdnIndexEntry> index = index_pdn(text, nullptr, static_cast<std::size_t>(number));
    if (index.size() < static_cast<std::size_t>(number)) {
        return usage_error(path + " holds " + std::to_string(index.size()) + " games");
    }
    PdnGame game;
    std::vector<PdnError> errors;
    read_pdn_game(text, index.back(), game, errors);
    pdn_game_entries(game, entries);
    print_moves(entries);
    for (const PdnError& e : errors) std::fprintf(stderr, "%s\n", pdn_error_line(e).c_str());
    return errors.empty() ? 0 : 2;
}

