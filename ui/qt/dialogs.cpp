#include "ui/qt/dialogs.h"

int run_search_dialog(QWidget*) { return 0; }
int run_memory_dialog(QWidget*) { return 0; }
int run_serial_port_dialog(QWidget*) { return 0; }
int run_preferences_dialog(QWidget*) { return 0; }
int run_about_dialog(QWidget*) { return 0; }
