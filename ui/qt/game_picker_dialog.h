#pragma once
// File > Open's list of the games of a file: a table to pick one from (double-click or
// OK). It fills itself from a GamePicker, whose worker finds the games meanwhile.

#include <QAbstractTableModel>
#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "ui/game_picker.h"

class QLabel;
class QPushButton;
class QTableView;

class GameListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GameListModel(GamePicker& picker, QObject* parent = nullptr)
        : QAbstractTableModel(parent), picker_(picker) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void refresh();

  private:
    GamePicker& picker_;
};

class GamePickerDialog : public QDialog {
    Q_OBJECT
  public:
    GamePickerDialog(std::shared_ptr<const std::string> text, QWidget* owner);

    // The game picked, once the dialog was accepted.
    const PdnIndexEntry* chosen() const;
    QTableView* table() const { return table_; }
    const GamePicker& picker() const { return picker_; }

  private:
    void poll();

    GamePicker picker_;
    GameListModel model_;
    QTableView* table_;
    QLabel* status_;
    QPushButton* ok_;
    QTimer timer_;
};
