// A stand-in engine for the match tests, speaking just enough of the Hub protocol
// (version 2: hub -> id/wait, init -> ready, pos, level, go think -> done move=, quit).
//   fake_hub_engine hub first     plays the first legal move in generation order
//   fake_hub_engine hub illegal   answers every go with "done move=50-49"
//   fake_hub_engine hub die       ends itself at the first go

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "hub/hub_line.h"
#include "hub/hub_moves.h"

namespace {

// The first legal move after `moves` from the start position.
std::string first_move(const std::string& moves, PlyStack& stack) {
    Board board;
    setup_initial_position(board);
    Side side = WHITE;
    std::string text;
    for (std::size_t at = 0; at <= moves.size();) {
        stack.reset();
        set_record_position(stack.root(), board, side);
        generate_moves(side, stack.root());
        const std::size_t end = std::min(moves.find(' ', at), moves.size());
        if (end == at) break;
        const MoveRecord* found = find_hub_move(stack.root(), side, moves.substr(at, end - at));
        if (found == nullptr) return "none";
        MoveRecord move = *found;
        make_move(stack.root(), move);
        board = stack.plies[1].board;
        side = ~side;
        at = end + 1;
    }
    stack.reset();
    set_record_position(stack.root(), board, side);
    generate_moves(side, stack.root());
    return stack.root().move_count == 0 ? "none"
                                        : hub_move_text(stack.root(), side, stack.root().moves[0]);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[2] : "first";
    auto stack = std::make_unique<PlyStack>();
    std::string moves;
    for (std::string text; std::getline(std::cin, text);) {
        HubLine line;
        std::string error;
        if (!parse_hub_line(text, line, error)) continue;
        if (line.command == "hub") {
            std::printf("id name=fake\nwait\n");
        } else if (line.command == "init") {
            std::printf("ready\n");
        } else if (line.command == "pos") {
            moves = line.value("moves");
        } else if (line.command == "go") {
            if (mode == "die") return 1;
            std::printf("done move=%s\n",
                        mode == "illegal" ? "50-49" : first_move(moves, *stack).c_str());
        } else if (line.command == "quit") {
            return 0;
        }
        std::fflush(stdout);
    }
    return 0;
}
