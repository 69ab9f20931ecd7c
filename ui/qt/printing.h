#pragma once
// File > Print: the game's move list on the printer chosen in the print dialog.

class QPrinter;
class QWidget;

// Returns 1 when the whole document was printed and not cancelled.
int print_game(QWidget* frame);

// The one routine that prints: the game record on `printer` (a real printer, or a PDF
// printer in the tests), `copies` times, collated or each page `copies` times in a row.
// While it runs, `frame` (may be null) is disabled and the modeless abort dialog
// "PrintDlgBox" lets the user cancel; no page after the current one is then started.
// Nothing is printed for an empty game. Returns 1 when the whole document was printed
// and not cancelled, else 0; a failure shows no message.
int print_game_on(QPrinter& printer, int copies, bool collate, QWidget* frame);
