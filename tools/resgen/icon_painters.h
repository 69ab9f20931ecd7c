#pragma once
// One painter per toolbar button. Each draws into a cleared 16 x 15 picture with
// antialiasing on; straight edges sit on pixel boundaries (whole coordinates for fills,
// half coordinates for one-pixel lines) so the small pictures stay crisp.

#include <QPainter>

namespace resgen::icons {

void open(QPainter& p);
void save(QPainter& p);
void print(QPainter& p);
void view_clock(QPainter& p);
void view_command(QPainter& p);
void view_game(QPainter& p);
void view_pv(QPainter& p);
void view_search_info(QPainter& p);
void new_game(QPainter& p);
void player_player(QPainter& p);
void player_computer(QPainter& p);
void computer_player(QPainter& p);
void computer_computer(QPainter& p);
void remote(QPainter& p);
void undo_move(QPainter& p);
void redo_move(QPainter& p);
void force_move(QPainter& p);
void memory(QPainter& p);
void search(QPainter& p);
void serial_port(QPainter& p);
void preferences(QPainter& p);
void help_contents(QPainter& p);
void help_about(QPainter& p);

}  // namespace resgen::icons
