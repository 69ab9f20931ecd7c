#pragma once
// The Clock window: two analogue clocks, White's and Black's time used.

#include <QWidget>

class ClockWindow : public QWidget {
    Q_OBJECT
public:
    explicit ClockWindow(QWidget* parent = nullptr);
    // The clock tick: redraw the side to move's hands.
    void tick();
    // Before the clocks are zeroed: erase both clocks' hands and draw them at zero.
    void resetHands();
};
