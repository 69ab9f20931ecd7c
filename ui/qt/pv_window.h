#pragma once
// The PV window: the engine's principal variation in two columns.

#include <QFont>
#include <QWidget>

class PvWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PvWindow(QWidget* parent = nullptr);
    // The variation was rebuilt: repaint with the background erased.
    void refresh();

    int lineHeight() const { return line_height_; }
    int charWidth() const { return char_width_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QFont font_;
    int char_width_ = 1;
    int line_height_ = 1;
};
