// Every line of the shipped opening book, searched from its last position: none may
// leave the colour it is played for worse than -50 at depth 8.

#include <fstream>
#include <sstream>

#include "tests/search/search_test_util.h"
#include "engine/knowledge/book.h"
#include "tools/book/book_source.h"

using BookLines = EngineTest;

TEST_F(BookLines, NoLineLeavesItsColourWorseThanMinus50AtDepth8) {
    std::ifstream in(VANTOR_BOOK_SOURCE);
    ASSERT_TRUE(in) << VANTOR_BOOK_SOURCE;
    std::stringstream text;
    text << in.rdbuf();
    std::vector<BookSourceLine> lines;
    std::string error;
    ASSERT_TRUE(parse_book_source(text.str(), lines, error)) << error;
    ASSERT_GE(lines.size(), 60u);

    for (const BookSourceLine& line : lines) {
        Board board;
        setup_initial_position(board);
        Side side = WHITE;
        auto stack = std::make_unique<PlyStack>();
        stack->reset();
        for (const std::string& move : line.moves) {
            PlyRecord& record = stack->plies[0];
            set_record_position(record, board, side);
            generate_moves(side, record);
            int found = -1;
            for (int i = 0; i < record.move_count && found < 0; ++i) {
                if (move_text(record.moves[i]) == move) found = i;
            }
            ASSERT_GE(found, 0) << "line " << line.line_number << ": " << move;
            make_move(record, record.moves[found]);
            board = stack->plies[1].board;
            side = ~side;
        }
        setup(to_fen(board, side), 8);
        ASSERT_GT(run_search(game_state()), 0);
        const bool book_side_to_move = (side == WHITE) == (line.tag == BOOK_WHITE_TAG);
        const int score = book_side_to_move ? game_state().score.load() : -game_state().score.load();
        EXPECT_GE(score, -50) << "line " << line.line_number << " ends in " << to_fen(board, side);
    }
}
