#pragma once
// The Clock window: two analogue clocks, White's and Black's time used.
//
// The window draws into a picture of its own that lasts from one resize to the next, the
// way the program has always kept one device context per clock window: a tick erases
// the old hands in white and draws the new ones, and a repaint of the window only shows
// the picture. The faces and all hands are drawn afresh when the size changes.

#include <QImage>
#include <QPen>
#include <QWidget>

class QPainter;
struct LogicalPoint;

class ClockWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ClockWindow(QWidget* parent = nullptr);
    // The clock tick: redraw the side to move's hands.
    void tick();
    // Before the clocks are zeroed: erase both clocks' hands and draw them at zero.
    void resetHands();

    // The picture as drawn so far.
    const QImage& canvas() const { return canvas_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Hands at `seconds` on the clock centred at centre_x, in the painter's pen; the
    // second hand in red when asked. Which hands: see tick().
    void drawHands(QPainter& painter, int seconds, int centre_x, bool hour_and_minute,
                   bool red_second);
    void drawFace(QPainter& painter, int centre_x);
    // Faces and all hands of both clocks at the clocks' values.
    void drawClocks();
    // A painter on the picture, in the clocks' logical space.
    void beginLogical(QPainter& painter);
    void ensureCanvas();

    QImage canvas_;
    QPen red_pen_;
};
