#include "ui/qt/printing.h"

int print_game(QWidget*) { return 0; }
