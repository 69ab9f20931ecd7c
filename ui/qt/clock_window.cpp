#include "ui/qt/clock_window.h"

ClockWindow::ClockWindow(QWidget* parent) : QWidget(parent) {}
void ClockWindow::tick() {}
void ClockWindow::resetHands() {}
