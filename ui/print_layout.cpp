#include "ui/print_layout.h"

#include <algorithm>

PrintGeometry print_geometry(int game_length, int font_height, int external_leading, int char_width,
                             int printable_height) {
    PrintGeometry geometry;
    geometry.line_height = std::max(font_height + external_leading, 1);
    geometry.char_width = char_width;
    geometry.lines = game_lines(game_length);
    // A page too short for one line still takes one, rather than none and a division by
    // zero for the page count.
    geometry.lines_per_page = std::max(printable_height / geometry.line_height, 1);
    geometry.pages = (geometry.lines + geometry.lines_per_page - 1) / geometry.lines_per_page;
    return geometry;
}

std::vector<int> print_sequence(int pages, int copies, bool collate) {
    copies = std::max(copies, 1);
    std::vector<int> sequence;
    if (pages <= 0) return sequence;
    sequence.reserve(static_cast<std::size_t>(pages) * static_cast<std::size_t>(copies));
    const int passes = collate ? copies : 1;
    const int repeats = collate ? 1 : copies;
    for (int pass = 0; pass < passes; ++pass) {
        for (int page = 0; page < pages; ++page) {
            for (int repeat = 0; repeat < repeats; ++repeat) sequence.push_back(page);
        }
    }
    return sequence;
}

std::vector<PrintLine> page_lines(const GameRecord& record, const PrintGeometry& geometry,
                                  int page, const std::string& result) {
    std::vector<PrintLine> lines;
    for (int j = 0; j < geometry.lines_per_page; ++j) {
        const int k = page * geometry.lines_per_page + j;
        if (k < 0 || k >= geometry.lines) break;
        GameLine text = game_line(record, k, result);
        const int result_x = text.result_chars * geometry.char_width;
        lines.push_back({j * geometry.line_height, NUMBER_RIGHT_CHARS * geometry.char_width,
                         WHITE_MOVE_CHARS * geometry.char_width,
                         BLACK_MOVE_CHARS * geometry.char_width, std::move(text), result_x});
    }
    return lines;
}
