#pragma once
// The modal dialogs of the Options and Help menus. Each returns 1 for OK, 0 for Cancel.

class QWidget;

int run_search_dialog(QWidget* owner);
int run_memory_dialog(QWidget* owner);
int run_serial_port_dialog(QWidget* owner);
int run_preferences_dialog(QWidget* owner);
int run_about_dialog(QWidget* owner);
