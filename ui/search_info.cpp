#include "ui/search_info.h"

#include "engine/search/driver.h"
#include "game/move_text.h"

int search_info_field(int info) {
    switch (info) {
        case INFO_DEPTH:
            return 0;
        case INFO_EXAMINED:
            return 1;
        case INFO_BEST:
            return 2;
        case INFO_SCORE:
            return 3;
        default:
            return -1;
    }
}

std::string search_info_text(int info, const GameState& state) {
    switch (info) {
        case INFO_DEPTH:
            return std::to_string(state.iteration_depth.load());
        case INFO_EXAMINED:
            return format_move_word(static_cast<std::uint32_t>(state.examined_word.load()));
        case INFO_BEST:
            return format_move_word(static_cast<std::uint32_t>(state.engine_word.load()));
        case INFO_SCORE:
            return std::to_string(state.score.load());
        default:
            return {};
    }
}
