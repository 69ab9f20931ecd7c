#pragma once
// Help > Contents and F1: the program's HTML help in a window of its own.

class QWidget;

void show_help_contents(QWidget* parent);
