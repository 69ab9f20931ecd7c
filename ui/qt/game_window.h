#pragma once
// The Game window: the game record, two half-moves a line, scrollable.

#include <QFont>
#include <QWidget>

#include "ui/game_list.h"

class QScrollBar;

class GameWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GameWindow(QWidget* parent = nullptr);
    // The record changed: scroll to its end and repaint.
    void gameChanged();
    // Undo or redo moved the current position: rescroll and repaint.
    void currentMoveChanged();

    const GameScroll& scroll() const { return game_window_scroll(); }
    int lineHeight() const { return line_height_; }
    int charWidth() const { return char_width_; }
    QScrollBar* scrollBar() const { return bar_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    GameView view() const;
    // Puts the scroll state on the scroll bar (hidden while there is nothing to scroll).
    void showScroll();
    void scrollBy(ScrollRequest request, int thumb = 0);
    void barAction(int action);

    QScrollBar* bar_;
    QFont font_;
    int char_width_ = 1;
    int line_height_ = 1;
};
