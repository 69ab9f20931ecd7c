#include "tools/match/openings.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "hub/hub_moves.h"

namespace {

// Checks one line's moves from the start position; the first fault in `error`.
bool check_line(const std::vector<std::string>& moves, PlyStack& stack, std::string& error) {
    Board board;
    setup_initial_position(board);
    Side side = WHITE;
    for (const std::string& text : moves) {
        stack.reset();
        PlyRecord& root = stack.root();
        set_record_position(root, board, side);
        generate_moves(side, root);
        // Written exactly as the notation writes it, short or with the captured squares.
        const MoveRecord* found = find_hub_move(root, side, text);
        if (found != nullptr && text != move_text(*found) &&
            text != hub_move_text(root, side, *found))
            found = nullptr;
        if (found == nullptr) {
            error = "'" + text + "' is not legal here";
            return false;
        }
        MoveRecord move = *found;
        make_move(root, move);
        board = stack.plies[1].board;
        side = ~side;
    }
    return true;
}

}  // namespace

bool parse_openings(std::string_view text, const std::string& source,
                    std::vector<Opening>& openings, std::string& error) {
    openings.clear();
    auto stack = std::make_unique<PlyStack>();
    std::istringstream in{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        Opening opening;
        opening.line = number;
        std::istringstream words(line);
        for (std::string word; words >> word;) opening.moves.push_back(word);
        if (opening.moves.empty()) continue;
        std::string why;
        if (!check_line(opening.moves, *stack, why)) {
            error = source + " line " + std::to_string(number) + ": " + why;
            return false;
        }
        openings.push_back(std::move(opening));
    }
    if (openings.empty()) {
        error = source + " holds no opening";
        return false;
    }
    return true;
}

bool load_openings(const std::string& path, std::vector<Opening>& openings, std::string& error) {
    if (path.empty())
        return parse_openings(default_openings_text(), "openings.txt", openings, error);
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    text << file.rdbuf();  // an empty file sets failbit here, and is then refused as empty
    return parse_openings(text.str(), path, openings, error);
}
