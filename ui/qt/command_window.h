#pragma once
// The Command window: an edit line. A FEN typed there and ended with Enter sets the board
// up; the program reads nothing else from it.

#include <QWidget>

class QPlainTextEdit;

class CommandWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CommandWindow(QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return editor_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* editor_;
};
