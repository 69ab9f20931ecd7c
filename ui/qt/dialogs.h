#pragma once
// The modal dialogs of the Options and Help menus. Each returns 1 for OK, 0 for Cancel.

#include <QDialog>

#include "ui/dialog_state.h"

class QButtonGroup;
struct DialogTemplate;

int run_search_dialog(QWidget* owner);
int run_memory_dialog(QWidget* owner);
int run_serial_port_dialog(QWidget* owner);
int run_preferences_dialog(QWidget* owner);
int run_about_dialog(QWidget* owner);

// A dialog laid out from one of the program's templates: every control at its place in
// dialog units (converted with the dialog font's measures; a control whose text needs
// more room grows to the right and down), each named by its control number ("1005";
// OK is "1" and Cancel "2"). The radio buttons form one group keyed by those numbers.
class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    TemplateDialog(const DialogTemplate& dialog, QWidget* owner);

    QWidget* control(int id) const;
    template <class Control>
    Control* control(int id) const {
        return qobject_cast<Control*>(control(id));
    }

  protected:
    QButtonGroup* radios() const { return radios_; }

  private:
    QButtonGroup* radios_;
};

// Options > Search: the search mode and its limits.
class SearchDialog : public TemplateDialog {
    Q_OBJECT
  public:
    explicit SearchDialog(QWidget* owner);
    void accept() override;

  private:
    void select(int control);
    void showState();
    SearchDialogState state_;
};

// Options > Memory: the transposition table's size, re-allocated at once on OK.
class MemoryDialog : public TemplateDialog {
    Q_OBJECT
  public:
    explicit MemoryDialog(QWidget* owner);
    void accept() override;

  private:
    int selected_;
};

// Options > Serial port: the COM port for remote play.
class SerialPortDialog : public TemplateDialog {
    Q_OBJECT
  public:
    explicit SerialPortDialog(QWidget* owner);
    void accept() override;

  private:
    int selected_;
};

// Options > Preferences: book, databases, sound, permanent brain, auto move.
class PreferencesDialog : public TemplateDialog {
    Q_OBJECT
  public:
    explicit PreferencesDialog(QWidget* owner);
    void accept() override;
};

// Help > About: closes with OK only; Cancel, Escape and the close button leave it open.
class AboutDialog : public TemplateDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* owner);
    void reject() override {}
};
