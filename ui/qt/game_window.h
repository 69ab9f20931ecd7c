#pragma once
// The Game window: the game record, two half-moves a line, scrollable.

#include <QWidget>

class GameWindow : public QWidget {
    Q_OBJECT
public:
    explicit GameWindow(QWidget* parent = nullptr);
    // The record changed: scroll to its end and repaint.
    void gameChanged();
    // Undo or redo moved the current position: rescroll and repaint.
    void currentMoveChanged();
};
