#include "records/settings.h"

Settings& settings() {
    static Settings instance;
    return instance;
}

void reset_settings() {
    Settings& s = settings();
    s.search_mode = FIXED_PLY;
    s.ply = 6;
    s.seconds_per_move = 50;
    s.minutes_per_game = 60;
    s.tournament_moves = 65;
    s.tournament_minutes = 60;
    s.com_port = 1;
    s.sound = 1;
    s.permanent_brain = 1;
    s.auto_move = 0;
    s.book_use = 0;
    s.endgame_use = 0;
}
