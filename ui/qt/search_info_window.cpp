#include "ui/qt/search_info_window.h"

SearchInfoWindow::SearchInfoWindow(QWidget* parent) : QWidget(parent) {}
void SearchInfoWindow::searchInfo(int) {}
