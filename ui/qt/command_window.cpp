#include "ui/qt/command_window.h"

CommandWindow::CommandWindow(QWidget* parent) : QWidget(parent) {}
