#pragma once
// The Search-Info window: depth, move being examined, best move and score.

#include <QFont>
#include <QWidget>
#include <array>

class QLabel;

class SearchInfoWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SearchInfoWindow(QWidget* parent = nullptr);
    // 9001 depth, 9002 examined move, 9003 best move, 9004 score: refill that field
    // from the game state.
    void searchInfo(int info);

    // Field 0-3: depth, examined move, best move, score.
    QLabel* field(int index) const { return fields_[index]; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<QLabel*, 4> fields_{};
    QFont font_;
};
