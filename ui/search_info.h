#pragma once
// The Search-Info window's fields: depth, move being examined, best move and score of
// the running search, each refilled from the game state when its notification arrives
// (so it shows the latest value, not the one at the time the engine reported).

#include <string>

#include "records/game_state.h"

inline constexpr int SEARCH_INFO_FIELDS = 4;

// The field (0-3) that notification 9001-9004 refills; -1 for any other number.
int search_info_field(int info);

// Its text: depth "%d", the examined and the best move as format_move gives them (read
// from the move words the engine publishes),
// score "%d". Empty for an unknown notification.
std::string search_info_text(int info, const GameState& state);

// The labels drawn beside the fields, and where fields and labels stand (pixels).
inline constexpr const char* SEARCH_INFO_LABELS[SEARCH_INFO_FIELDS] = {"Ply", "Exam", "Best",
                                                                       "Score"};
inline constexpr int SEARCH_INFO_LABEL_X = 5;
inline constexpr int SEARCH_INFO_FIELD_X = 50;
inline constexpr int SEARCH_INFO_FIELD_WIDTH = 50;
inline constexpr int SEARCH_INFO_FIELD_HEIGHT = 20;
inline constexpr int search_info_y(int field) {
    return 10 + 30 * field;
}
