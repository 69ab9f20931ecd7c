#include "ui/qt/game_picker_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int POLL_MS = 20;
constexpr int COLUMN_WIDTHS[GamePicker::COLUMN_COUNT] = {60, 150, 150, 180, 90, 60};
}  // namespace

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : picker_.rows();
}

int GameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GamePicker::COLUMN_COUNT;
}

QVariant GameListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return QString::fromStdString(picker_.cell(index.row(), index.column()));
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= GamePicker::COLUMN_COUNT) {
        return {};
    }
    return QString::fromLatin1(GamePicker::COLUMN_TITLES[static_cast<std::size_t>(section)]);
}

void GameListModel::refresh() {
    beginResetModel();
    endResetModel();
}

GamePickerDialog::GamePickerDialog(std::shared_ptr<const std::string> text, QWidget* owner)
    : QDialog(owner), picker_(std::move(text)), model_(picker_), table_(new QTableView(this)),
      status_(new QLabel(this)) {
    setObjectName(QStringLiteral("GamePicker"));
    setWindowTitle(tr("Open game"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    // Fixed heights and widths: nothing is measured over 100,000 rows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < GamePicker::COLUMN_COUNT; ++column) {
        table_->setColumnWidth(column, COLUMN_WIDTHS[column]);
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableView::doubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(760, 420);

    status_->setText(QString::fromStdString(picker_.status()));
    connect(&timer_, &QTimer::timeout, this, &GamePickerDialog::poll);
    timer_.start(POLL_MS);
}

void GamePickerDialog::poll() {
    if (!picker_.poll()) return;
    timer_.stop();
    model_.refresh();
    status_->setText(QString::fromStdString(picker_.status()));
    if (picker_.rows() > 0) {
        ok_->setEnabled(true);
        table_->selectRow(0);
        table_->setFocus();
    }
}

const PdnIndexEntry* GamePickerDialog::chosen() const {
    if (result() != QDialog::Accepted || !picker_.ready()) return nullptr;
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid() || current.row() >= picker_.rows()) return nullptr;
    return &picker_.entry(current.row());
}
