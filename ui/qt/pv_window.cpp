#include "ui/qt/pv_window.h"

PvWindow::PvWindow(QWidget* parent) : QWidget(parent) {}
void PvWindow::refresh() { update(); }
