#include "ui/qt/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "engine/knowledge/book.h"
#include "records/app_state.h"
#include "records/game_state.h"
#include "records/settings.h"
#include "ui/dialog_templates.h"

namespace {

DialogUnits units_of(const QFont& font) {
    const QFontMetrics metrics(font);
    return dialog_units(metrics.horizontalAdvance(
                            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                        metrics.height());
}

QWidget* make_control(const ControlTemplate& control, QDialog* dialog, QButtonGroup* radios) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
        case ControlKind::DEFAULT_BUTTON:
        case ControlKind::BUTTON: {
            auto* button = new QPushButton(text, dialog);
            button->setDefault(control.kind == ControlKind::DEFAULT_BUTTON);
            if (control.id == CONTROL_OK) {
                QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
            } else if (control.id == CONTROL_CANCEL) {
                QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
            }
            return button;
        }
        case ControlKind::GROUP_BOX:
            return new QGroupBox(text, dialog);
        case ControlKind::RADIO: {
            auto* radio = new QRadioButton(text, dialog);
            radios->addButton(radio, control.id);
            return radio;
        }
        case ControlKind::CHECK_BOX:
            return new QCheckBox(text, dialog);
        case ControlKind::NUMBER_FIELD: {
            // Digits only, as typed; what OK can store is checked when it is pressed.
            auto* field = new QLineEdit(dialog);
            field->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), field));
            return field;
        }
        case ControlKind::TEXT:
            return new QLabel(text, dialog);
    }
    return nullptr;
}

}  // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialog, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      radios_(new QButtonGroup(this)) {
    setObjectName(QString::fromUtf8(dialog.name));
    setWindowTitle(QString::fromUtf8(dialog.caption));
    setModal(true);
    const DialogUnits units = units_of(font());
    QSize client(units.x(dialog.rect.width), units.y(dialog.rect.height));
    QWidget* group_box = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = make_control(control, this, radios_);
        if (control.id != 0) widget->setObjectName(QString::number(control.id));
        const DialogRect place = units.pixels(control.rect);
        // Texts may need more room in this font than in the template's; a number field
        // keeps its width, which is for numbers, not for its text's hint.
        QSize hint = control.kind == ControlKind::GROUP_BOX ? QSize() : widget->sizeHint();
        if (control.kind == ControlKind::NUMBER_FIELD) hint.setWidth(0);
        widget->setGeometry(place.x, place.y, std::max(place.width, hint.width()),
                            std::max(place.height, hint.height()));
        client = client.expandedTo(QSize(widget->geometry().right() + units.x(7),
                                         widget->geometry().bottom() + units.y(7)));
        if (control.kind == ControlKind::GROUP_BOX) group_box = widget;
    }
    // The group box frames the controls that follow it; it stays behind them.
    if (group_box != nullptr) group_box->lower();
    setFixedSize(client);
    if (owner != nullptr)
        move(owner->mapToGlobal(QPoint(units.x(dialog.rect.x), units.y(dialog.rect.y))));
}

QWidget* TemplateDialog::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

// ---- Search ----------------------------------------------------------------------------

SearchDialog::SearchDialog(QWidget* owner)
    : TemplateDialog(SEARCH_TEMPLATE, owner), state_(search_dialog_open(settings())) {
    // The labels change with the mode: room for the longest of their texts.
    auto* label = control<QLabel>(SEARCH_LABEL_1);
    for (const char* text : {"Ply", "Seconds/Move", "Minutes/Game", "Moves"}) {
        label->resize(std::max(label->width(),
                               label->fontMetrics().horizontalAdvance(text) + 2 * label->margin()),
                      label->height());
    }
    connect(radios(), &QButtonGroup::idClicked, this, &SearchDialog::select);
    showState();
}

void SearchDialog::select(int control) {
    search_dialog_select(state_, control, settings());
    showState();
}

void SearchDialog::showState() {
    radios()->button(state_.selected)->setChecked(true);
    control<QLineEdit>(SEARCH_FIELD_1)->setText(QString::fromStdString(state_.field1));
    auto* field2 = control<QLineEdit>(SEARCH_FIELD_2);
    field2->setText(QString::fromStdString(state_.field2));
    field2->setVisible(state_.field2_shown);
    control<QLabel>(SEARCH_LABEL_1)->setText(QString::fromStdString(state_.label1));
    control<QLabel>(SEARCH_LABEL_2)->setText(QString::fromStdString(state_.label2));
}

void SearchDialog::accept() {
    state_.field1 = control<QLineEdit>(SEARCH_FIELD_1)->text().toStdString();
    state_.field2 = control<QLineEdit>(SEARCH_FIELD_2)->text().toStdString();
    if (const auto problem = search_dialog_check(state_)) {
        QMessageBox::warning(this, QString::fromUtf8(SEARCH_CAPTION),
                             QString::fromStdString(problem->message));
        auto* field = control<QLineEdit>(problem->control);
        field->setFocus();
        field->selectAll();
        return;
    }
    search_dialog_apply(state_, settings());
    QDialog::accept();
}

// ---- Memory ----------------------------------------------------------------------------

MemoryDialog::MemoryDialog(QWidget* owner)
    : TemplateDialog(MEMORY_TEMPLATE, owner), selected_(memory_dialog_open(settings())) {
    radios()->button(selected_)->setChecked(true);
    connect(radios(), &QButtonGroup::idClicked, this, [this](int id) { selected_ = id; });
}

void MemoryDialog::accept() {
    const MemoryOutcome outcome = memory_dialog_apply(
        selected_, settings(), app_state().engine_state == ENGINE_IDLE, program_memory_actions());
    if (outcome.allocation_error) {
        selected_ = outcome.checked;
        radios()->button(selected_)->setChecked(true);
        QMessageBox::warning(this, QString::fromUtf8(MEMORY_ERROR_CAPTION),
                             QString::fromUtf8(MEMORY_ERROR_TEXT));
    }
    QDialog::accept();
}

// ---- Serial port -----------------------------------------------------------------------

SerialPortDialog::SerialPortDialog(QWidget* owner)
    : TemplateDialog(SERIAL_PORT_TEMPLATE, owner), selected_(serial_port_dialog_open(settings())) {
    radios()->button(selected_)->setChecked(true);
    connect(radios(), &QButtonGroup::idClicked, this, [this](int id) { selected_ = id; });
}

void SerialPortDialog::accept() {
    serial_port_dialog_apply(selected_, settings());
    QDialog::accept();
}

// ---- Preferences -----------------------------------------------------------------------

PreferencesDialog::PreferencesDialog(QWidget* owner) : TemplateDialog(PREFERENCES_TEMPLATE, owner) {
    const GameState& state = game_state();
    const PreferencesState preferences = preferences_dialog_open(
        settings(), book_line_count() > 0, state.endgame_available != 0, app_state().remote_on != 0);
    for (int id = PREF_OPENING_BOOK; id <= PREF_AUTO_MOVE; ++id) {
        auto* box = control<QCheckBox>(id);
        box->setChecked(preferences.box(id).checked);
        box->setEnabled(preferences.box(id).enabled);
    }
}

void PreferencesDialog::accept() {
    PreferencesState preferences;
    for (int id = PREF_OPENING_BOOK; id <= PREF_AUTO_MOVE; ++id) {
        const auto* box = control<QCheckBox>(id);
        preferences.box(id) = {box->isChecked(), box->isEnabled()};
    }
    preferences_dialog_apply(preferences, settings());
    QDialog::accept();
}

// ---- About -----------------------------------------------------------------------------

AboutDialog::AboutDialog(QWidget* owner) : TemplateDialog(ABOUT_TEMPLATE, owner) {}

// ---- The commands ----------------------------------------------------------------------

namespace {

int run(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace

int run_search_dialog(QWidget* owner) {
    SearchDialog dialog(owner);
    return run(dialog);
}

int run_memory_dialog(QWidget* owner) {
    MemoryDialog dialog(owner);
    return run(dialog);
}

int run_serial_port_dialog(QWidget* owner) {
    SerialPortDialog dialog(owner);
    return run(dialog);
}

int run_preferences_dialog(QWidget* owner) {
    PreferencesDialog dialog(owner);
    return run(dialog);
}

int run_about_dialog(QWidget* owner) {
    AboutDialog dialog(owner);
    return run(dialog);
}
