#pragma once
// The Command window: an edit line (the program reads nothing from it).

#include <QWidget>

class QPlainTextEdit;

class CommandWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CommandWindow(QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return editor_; }

  private:
    QPlainTextEdit* editor_;
};
