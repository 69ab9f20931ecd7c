#pragma once
// The printed game's arithmetic: the move list of the Game window on pages, each page
// as many lines as fit its printable height, and the order in which pages come out for
// several copies.

#include <vector>

#include "game/record.h"
#include "ui/game_list.h"

struct PrintGeometry {
    int line_height = 1;     // font height + external leading, at least 1
    int char_width = 0;      // the font's average character width
    int lines = 0;           // (game_length + 1) div 2
    int lines_per_page = 1;  // printable height div line height, at least 1
    int pages = 0;
};
PrintGeometry print_geometry(int game_length, int font_height, int external_leading, int char_width,
                             int printable_height);

// The pages (from 0) in the order they are printed. With collate the whole document
// comes out `copies` times; without, each page `copies` times in a row.
std::vector<int> print_sequence(int pages, int copies, bool collate);

// One line of a page: line k = page x lines per page + j at y = j x line height, its
// number right-aligned at 5 character widths, White's move at 6 and Black's at 13.
// Every page shows the lines of its own numbers, whichever copy it belongs to.
struct PrintLine {
    int y = 0;
    int number_right_x = 0;
    int white_x = 0;
    int black_x = 0;
    GameLine text;
    int result_x = 0;  // where the game's result starts, on the line of the last move
};
std::vector<PrintLine> page_lines(const GameRecord& record, const PrintGeometry& geometry,
                                  int page, const std::string& result = {});
