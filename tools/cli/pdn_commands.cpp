// pdn check, pdn convert, and the games selfplay writes as PDN.

#include <cstdio>
#include <memory>

#include "game/controller.h"
#include "game/files.h"
#include "game/pdn.h"
#include "game/pdn_files.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace {

constexpr const char* SET_UP_IN_TGR = "This game starts from a set-up position, which a .tgr file cannot hold.";

bool is_pdn_path(const std::string& path) {
    return game_file_format(path, FileFilter::ALL) == GameFileFormat::PDN;
}

int unreadable() {
    std::fprintf(stderr, "Could not read file!\n");
    return 2;
}

// The games of a PDN file; false, with the faults printed on stderr, unless every game
// reads cleanly.
bool read_pdn_file(const std::string& path, std::vector<PdnGame>& games) {
    std::string text;
    if (!read_text_file(path, text)) {
        unreadable();
        return false;
    }
    std::vector<PdnError> errors;
    games = read_pdn(text, errors);
    for (const PdnError& error : errors) std::fprintf(stderr, "%s\n", pdn_error_line(error).c_str());
    if (games.empty() && errors.empty()) std::fprintf(stderr, "vantor-cli: %s holds no PDN game\n", path.c_str());
    return errors.empty() && !games.empty();
}

// The game of a .tgr file as a PDN game.
bool read_tgr_file(const std::string& path, PdnGame& game) {
    if (load_game(path, game_state()) != 1) return false;
    record_to_pdn_game(game_record(), game);
    game.result = pdn_result_of(game_record());
    return true;
}

int check(const std::string& path) {
    std::string text;
    if (!read_text_file(path, text)) return unreadable();
    PdnReader reader(text);
    PdnGame game;
    std::vector<PdnError> errors;
    long games = 0;
    long moves = 0;
    long faults = 0;
    while (reader.next(game, errors)) {
        ++games;
        moves += static_cast<long>(game.moves.size());
        for (const PdnError& error : errors) std::printf("%s\n", pdn_error_line(error).c_str());
        faults += static_cast<long>(errors.size());
        errors.clear();
    }
    std::printf("games %ld moves %ld errors %ld\n", games, moves, faults);
    return faults > 0 ? 2 : 0;
}

int convert(const std::string& in, const std::string& out, long number) {
    std::vector<PdnGame> games(1);
    if (is_pdn_path(in) ? !read_pdn_file(in, games) : !read_tgr_file(in, games[0])) {
        return is_pdn_path(in) ? 2 : unreadable();
    }
    if (is_pdn_path(out)) {
        std::string text;
        for (const PdnGame& game : games) append_pdn(text, game);
        if (write_text_file(out, text)) return 0;
    } else {
        if (number > static_cast<long>(games.size())) {
            return usage_error(in + " holds " + std::to_string(games.size()) + " games");
        }
        const PdnGame& game = games[static_cast<std::size_t>(number - 1)];
        if (game.set_up) return usage_error(SET_UP_IN_TGR);
        auto record = std::make_unique<GameRecord>();
        if (!pdn_game_to_record(game, *record)) return usage_error("the game has more than 512 moves");
        game_record_replace(*record);
        if (save_game(out) == 1) return 0;
    }
    std::fprintf(stderr, "Could not write file!\n");
    return 2;
}

}  // namespace

int run_pdn(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, 2, {{"game", true}}, error)) return usage_error(error);
    const std::vector<std::string>& words = options.positional();
    long number = 1;
    if (options.has("game") && !parse_int(*options.value("game"), 1, 10000000, number)) {
        return usage_error("game must be a number from 1");
    }
    init_board_tables();
    if (words.size() == 2 && words[0] == "check") return check(words[1]);
    if (words.size() == 3 && words[0] == "convert") return convert(words[1], words[2], number);
    return usage_error("pdn needs check FILE or convert IN OUT");
}

bool start_pdn_file(const std::string& path) { return write_text_file(path, ""); }

bool append_selfplay_game(const std::string& path, long round) {
    PdnGame game = current_pdn_game();
    for (PdnTag& tag : game.tags) {
        if (tag.name == "Event") tag.value = "vantor selfplay";
        if (tag.name == "Round") tag.value = std::to_string(round);
    }
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return false;
    const std::string text = write_pdn(game);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
