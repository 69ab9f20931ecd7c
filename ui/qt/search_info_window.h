#pragma once
// The Search-Info window: depth, move being examined, best move and score.

#include <QWidget>

class SearchInfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit SearchInfoWindow(QWidget* parent = nullptr);
    // 9001 depth, 9002 examined move, 9003 best move, 9004 score: refill that field
    // from the game state.
    void searchInfo(int info);
};
