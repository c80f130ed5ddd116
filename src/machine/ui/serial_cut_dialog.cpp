#include "machine/ui/serial_cut_dialog.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/ui/fltedit_widget.h"
#include "shell/ui/grid_columns.h"
#include "shell/ui/konfig_widgets.h"

namespace vm::ui {

SerialCutDialog::SerialCutDialog(TfDlgSeryjne& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("fDlgSeryjne"));
  setModal(true);
  setMinimumSize(415, 218);
  setSizeGripEnabled(true);
  if (form_.RightToLeft) setLayoutDirection(Qt::RightToLeft);
  setWindowTitle(form_.Caption);

  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("sgKatyObrotu"));
  grid_->setColumnCount(2);
  grid_->horizontalHeader()->setVisible(false);
  grid_->verticalHeader()->setVisible(false);
  grid_->verticalHeader()->setDefaultSectionSize(20);
  grid_->setColumnWidth(0, 200);
  grid_->setColumnWidth(1, 50);
  grid_->installEventFilter(this);
  // An edited angle reaches the core at once, so a repaint of the grid from
  // the core (a label turning bold) never brings back the old text.
  connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    const int r = item->row();
    if (item->column() == 1 && r >= 1 && r < static_cast<int>(form_.Cells.size())) {
      form_.Cells[static_cast<std::size_t>(r)][1] = item->text();
    }
  });
  // Enter in a cell editor ends the edit; the next row becomes current.
  connect(grid_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
            if (hint != QAbstractItemDelegate::SubmitModelCache) return;
            const int row = form_.sgKatyObrotuKeyDown(true, grid_->currentRow());
            if (row != grid_->currentRow()) grid_->setCurrentCell(row, grid_->currentColumn());
          });

  countLabel_ = new TLabelWidget(form_.lIloscPowtorzenSer, this);
  auto* timesLabel = new TLabelWidget(form_.lIloscPowtorzenSerRazy, this);
  shiftLabel_ = new TLabelWidget(form_.lPrzesuniecie, this);
  auto* unitLabel = new TLabelWidget(form_.lPrzesuniecieJm, this);
  count_ = new TFltEditWidget(form_.felloscPowtorzenSer, this);
  shift_ = new TFltEditWidget(form_.feuY_Przesuniecie, this);
  form_.felloscPowtorzenSer.OnEnter = [this] { form_.felloscPowtorzenSerEnter(true); };
  form_.felloscPowtorzenSer.OnExit = [this] { form_.felloscPowtorzenSerExit(true); };
  form_.feuY_Przesuniecie.OnEnter = [this] { form_.felloscPowtorzenSerEnter(false); };
  form_.feuY_Przesuniecie.OnExit = [this] { form_.felloscPowtorzenSerExit(false); };

  anuluj_ = new QPushButton(form_.btnAnulujCaption, this);
  anuluj_->setObjectName(QStringLiteral("btnAnuluj"));
  zatwierdz_ = new QPushButton(form_.btnZatwierdzCaption, this);
  zatwierdz_->setObjectName(QStringLiteral("btnZatwierdz"));
  domyslne_ = new QPushButton(form_.btnParDomyslneCaption, this);
  domyslne_->setObjectName(QStringLiteral("btnParDomyslne"));
  connect(anuluj_, &QPushButton::clicked, this, &QDialog::reject);
  connect(zatwierdz_, &QPushButton::clicked, this, [this] { confirm(); });
  connect(domyslne_, &QPushButton::clicked, this, [this] {
    takeGrid();
    form_.btnParDomyslneClick();
  });

  auto* edits = new QGridLayout;
  edits->addWidget(countLabel_, 0, 0);
  edits->addWidget(count_, 0, 1);
  edits->addWidget(timesLabel, 0, 2);
  edits->addWidget(shiftLabel_, 1, 0);
  edits->addWidget(shift_, 1, 1);
  edits->addWidget(unitLabel, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(domyslne_);
  buttons->addStretch();
  buttons->addWidget(anuluj_);
  buttons->addWidget(zatwierdz_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(edits);
  layout->addLayout(buttons);

  form_.hooks.Changed = [this] {
    fillGrid();
    QFont bold = countLabel_->font();
    bold.setBold(form_.CountLabelBold);
    countLabel_->setFont(bold);
    bold.setBold(form_.ShiftLabelBold);
    shiftLabel_->setFont(bold);
  };
  form_.hooks.FocusCell = [this](int row) {
    grid_->setCurrentCell(row, 1);
    grid_->setFocus();
  };
  form_.hooks.FocusCount = [this] { count_->setFocus(); };
  fillGrid();
}

void SerialCutDialog::fillGrid() {
  // The grid is written from the core here, not edited.
  const QSignalBlocker quiet(grid_);
  const int rows = static_cast<int>(form_.Cells.size());
  if (grid_->rowCount() != rows) grid_->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* item = grid_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        grid_->setItem(r, c, item);
      }
      item->setText(form_.Cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
      // The header row is fixed; file names are not edited.
      if (r == 0 || c == 0) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    }
    AutoSizeGridColumns(grid_, 0, 0, r);
  }
}

void SerialCutDialog::takeGrid() {
  for (int r = 1; r < grid_->rowCount() && r < static_cast<int>(form_.Cells.size()); ++r) {
    if (const QTableWidgetItem* item = grid_->item(r, 1)) {
      form_.Cells[static_cast<std::size_t>(r)][1] = item->text();
    }
  }
}

void SerialCutDialog::confirm() {
  takeGrid();
  if (form_.btnZatwierdzClick() == ModalResult::OK) accept();
}

void SerialCutDialog::showEvent(QShowEvent* event) {
  form_.TntFormActivate();
  QDialog::showEvent(event);
}

bool SerialCutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter outside an editor moves nothing and never reaches the grid.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      form_.sgKatyObrotuKeyDown(false, grid_->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void InstallSerialCutDialog(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  SetSerialCutDialogHandler([owner](TfDlgSeryjne& form) {
    SerialCutDialog dialog(form, owner);
    return dialog.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace vm::ui
