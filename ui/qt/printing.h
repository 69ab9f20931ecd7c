#pragma once
// File > Print: the game's move list on the printer chosen in the print dialog.

class QWidget;

// Returns 1 when the whole document was printed and not cancelled.
int print_game(QWidget* frame);
