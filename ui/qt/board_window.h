#pragma once
// The Board window: the board drawn from the images at 42 pixels a square, mouse entry
// of moves and set-up edits, Escape to abort the game and Space to make the engine move.
//
// The window keeps its own copy of the pieces it shows and draws into a back buffer of
// its own, so a repaint never reads the game position while the engine may be using it.

#include <QImage>
#include <QWidget>
#include <array>

#include "ui/board_geometry.h"

// The nine board images in the order of BoardImage, loaded once at start-up.
class BoardImages {
  public:
    // False when a picture is missing; the board then simply lacks it.
    bool load();
    const QImage& operator[](int index) const;

  private:
    std::array<QImage, BOARD_IMAGE_COUNT> images_;
    QImage none_;
};

class BoardWindow : public QWidget {
    Q_OBJECT
  public:
    explicit BoardWindow(const BoardImages& images, QWidget* parent = nullptr);

    // marking: SQUARE_MARKED draws the selected-square picture, anything else plain.
    void drawSquare(int piece, int square, int marking);
    void drawAllPieces(const BoardPieces& pieces);

    // What the window shows: a piece code per square and the marked squares.
    int pieceShown(int square) const;
    bool isMarked(int square) const;
    int paintCount() const { return paintCount_; }

  signals:
    void painted();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void renderBoard();
    void renderSquare(int square);

    const BoardImages& images_;
    QImage buffer_;
    BoardPieces pieces_{};
    std::array<bool, SQUARE_COUNT + 1> marked_{};
    bool rendered_ = false;
    int paintCount_ = 0;
};
