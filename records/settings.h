#pragma once
// The user's settings. They start from their defaults at every run and change only
// through the dialogs; nothing is stored between runs.

#include "records/shared_word.h"

enum SearchMode : std::int32_t {
    FIXED_PLY = 0,
    FIXED_TIME_PER_MOVE = 1,
    GAME_TIME = 2,
    TOURNAMENT = 3,
};

struct Settings {
    Word search_mode{FIXED_PLY};
    Word ply{6};
    Word seconds_per_move{50};
    Word minutes_per_game{60};
    Word tournament_moves{65};
    Word tournament_minutes{60};
    Word hash_size_index{3};  // 0, 64K, 128K, 256K, 512K, 1024K entries
    Word com_port{1};
    Word sound{1};
    Word permanent_brain{1};
    Word auto_move{0};
    Word book_use{0};
    Word endgame_use{0};  // read by the evaluation on the engine thread
};

Settings& settings();
// Puts every setting back to its default (hash_size_index is the caller's to set).
void reset_settings();
