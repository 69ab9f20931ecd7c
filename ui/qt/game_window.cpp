#include "ui/qt/game_window.h"

GameWindow::GameWindow(QWidget* parent) : QWidget(parent) {}
void GameWindow::gameChanged() {}
void GameWindow::currentMoveChanged() {}
