#pragma once
// Help > Contents and F1: the program's HTML help in a window of its own.

#include <QWidget>

class QTextBrowser;

// The help document beside the program: "vantor_help.html" in the working directory,
// its pictures in "vantor_help/".
inline constexpr const char* HELP_FILE = "vantor_help.html";

// Opens the help window (one per parent; a second request raises it).
void show_help_contents(QWidget* parent);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
    // Loads the document again from the working directory, or says that it is missing.
    void loadContents();

  private:
    QTextBrowser* browser_;
};
