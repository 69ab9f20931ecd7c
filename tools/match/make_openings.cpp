// vantor-openings: makes the default openings of `vantor-cli match`. Every sequence of
// 2, 3 and 4 plies from the start position is searched by the designed engine to a
// fixed depth, with a cleared table each time so that the result depends on nothing
// else; the sequences whose score for the side to move lies within +-25 (a man is 100)
// are kept, and from those of each length PICK are taken, spread evenly over them in
// generation order. The output is the openings file, header included.
//
//   vantor-openings [DEPTH] > resources/openings/openings.txt      (DEPTH 8 by default)
//   vantor-openings [DEPTH] --between > screen.txt
//
// --between takes the kept lines halfway between those picks: a second set of the same
// kind that shares no line with the first, for trying changes to an engine without
// tuning it on the openings its reported matches use.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/board/makemove.h"
#include "engine/board/movegen.h"
#include "engine/board/notation.h"
#include "engine/knowledge/evaluation.h"
#include "engine/search/driver.h"
#include "engine/search/tt.h"

namespace {

constexpr int PICK = 20;  // per length
constexpr int BALANCE = 25;

struct Line {
    std::string text;
    Board board;
    Side side = WHITE;
};

// Every sequence of `plies` plies from the start position, in generation order.
void extend(const Line& line, int plies, PlyStack& stack, std::vector<Line>& out) {
    if (plies == 0) {
        out.push_back(line);
        return;
    }
    PlyRecord& record = stack.plies[0];
    set_record_position(record, line.board, line.side);
    generate_moves(line.side, record);
    const int count = record.move_count;
    for (int i = 0; i < count; ++i) {
        // The deeper lines reuse the record: list the moves again.
        set_record_position(record, line.board, line.side);
        generate_moves(line.side, record);
        MoveRecord move = record.moves[i];
        Line next{line.text.empty() ? "" : line.text + " ", Board{}, ~line.side};
        next.text += move_text(move);
        make_move(record, move);
        next.board = stack.plies[1].board;
        extend(next, plies - 1, stack, out);
    }
}

int score_of(const Line& line, int depth) {
    GameState& state = game_state();
    tt_clear(root_record());
    prepare_fixed_ply_search(state, line.board, line.side, depth);
    run_search(state);
    return state.score;
}

}  // namespace

int main(int argc, char** argv) {
    int depth = 8;
    bool between = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--between") == 0) between = true;
        else depth = std::atoi(argv[i]);
    }
    if (depth < 2 || depth > MAX_ITERATION_DEPTH) return 2;
    init_board_tables();
    evaluation_init();
    tt_allocate(TTMode::START_UP, TT_DEFAULT_CHOICE);
    auto stack = std::make_unique<PlyStack>();
    std::printf(
        "# The %s openings of vantor-cli match: one line each, the moves from the start.\n"
        "# Made by `vantor-openings %d%s`: every sequence of 2, 3 and 4 plies from the start\n"
        "# position, searched by the classic engine to depth %d (table cleared each time);\n"
        "# those scoring within +-%d for the side to move (a man is 100) are kept, and %d of\n"
        "# each length are taken, spread evenly over the kept ones in generation order\n"
        "# (captures first, then quiet moves, by square)%s.\n",
        between ? "screening" : "default", depth, between ? " --between" : "", depth, BALANCE, PICK,
        between ? ", halfway between the default picks" : "");
    for (int plies = 2; plies <= 4; ++plies) {
        Line start;
        setup_initial_position(start.board);
        std::vector<Line> lines;
        stack->reset();
        extend(start, plies, *stack, lines);
        std::vector<const Line*> kept;
        for (const Line& line : lines) {
            if (std::abs(score_of(line, depth)) <= BALANCE) kept.push_back(&line);
        }
        std::printf("\n# %d plies: %zu sequences, %zu balanced\n", plies, lines.size(),
                    kept.size());
        const std::size_t pick = std::min<std::size_t>(PICK, kept.size());
        for (std::size_t i = 0; i < pick; ++i)
            std::printf("%s\n", kept[(2 * i + (between ? 1 : 0)) * kept.size() / (2 * pick)]->text.c_str());
        std::fflush(stdout);
    }
    return 0;
}
