#include "ui/qt/help_window.h"

void show_help_contents(QWidget*) {}
