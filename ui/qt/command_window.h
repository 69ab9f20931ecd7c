#pragma once
// The Command window: an edit line (the program reads nothing from it).

#include <QWidget>

class CommandWindow : public QWidget {
    Q_OBJECT
public:
    explicit CommandWindow(QWidget* parent = nullptr);
};
