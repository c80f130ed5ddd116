#include "machine/ui/base_points_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "shell/interfejs.h"

namespace vm::ui {

BasePointsDialog::BasePointsDialog(TPunkty_bazowe& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("Punkty_bazowe"));
  setModal(true);
  if (Interfejs() && Interfejs()->RightToLeft()) setLayoutDirection(Qt::RightToLeft);

  lista_ = new QListWidget(this);
  lista_->setObjectName(QStringLiteral("lista"));
  lista_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Fixed-pitch text keeps the padded columns of the point lines aligned.
  QFont mono = lista_->font();
  mono.setStyleHint(QFont::Monospace);
  mono.setFamily(QStringLiteral("Monospace"));
  lista_->setFont(mono);

  ustaw_ = new QPushButton(this);
  ustaw_->setObjectName(QStringLiteral("ustaw"));
  anuluj_ = new QPushButton(this);
  anuluj_->setObjectName(QStringLiteral("anuluj"));
  dodaj_ = new QPushButton(this);
  dodaj_->setObjectName(QStringLiteral("Dodaj"));
  usun_ = new QPushButton(this);
  usun_->setObjectName(QStringLiteral("usun"));

  // No button is the default: Enter in the list neither moves the machine
  // nor closes the dialog (Qt would make the first button the default).
  for (QPushButton* b : {ustaw_, anuluj_, dodaj_, usun_}) b->setAutoDefault(false);

  auto* bevel = new QFrame(this);
  bevel->setObjectName(QStringLiteral("Bevel2"));
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);

  auto* edit = new QHBoxLayout;
  edit->addWidget(dodaj_);
  edit->addWidget(usun_);
  edit->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ustaw_);
  buttons->addWidget(anuluj_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lista_);
  layout->addLayout(edit);
  layout->addWidget(bevel);
  layout->addLayout(buttons);

  connect(lista_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!refreshing_) form_.lista.ItemIndex = row;
  });
  connect(lista_, &QListWidget::itemSelectionChanged, this, [this] {
    if (refreshing_) return;
    for (int i = 0; i < lista_->count(); ++i)
      form_.lista.SetSelected(i, lista_->item(i)->isSelected());
  });
  connect(lista_, &QListWidget::itemClicked, this, [this] { form_.listaClick(); });
  connect(lista_, &QListWidget::itemDoubleClicked, this, [this] { form_.listaDblClick(); });
  connect(ustaw_, &QPushButton::clicked, this, [this] { form_.ustawClick(); });
  connect(anuluj_, &QPushButton::clicked, this, &QDialog::reject);
  connect(dodaj_, &QPushButton::clicked, this, [this] { form_.DodajClick(); });
  connect(usun_, &QPushButton::clicked, this, [this] { form_.usunClick(); });

  form_.hooks.Close = [this](ModalResult result) { done(static_cast<int>(result)); };
  form_.OnChange = [this] { Refresh(); };
  form_.FormCreate();
  Refresh();
}

BasePointsDialog::~BasePointsDialog() {
  form_.OnChange = nullptr;
  form_.hooks.Close = nullptr;
  form_.FormDestroy();
}

void BasePointsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) form_.FormActivate();
}

void BasePointsDialog::Refresh() {
  refreshing_ = true;
  setWindowTitle(form_.Caption);
  ustaw_->setText(form_.UstawCaption);
  anuluj_->setText(form_.AnulujCaption);
  dodaj_->setText(form_.DodajCaption);
  usun_->setText(form_.UsunCaption);
  ustaw_->setEnabled(form_.UstawEnabled);
  usun_->setEnabled(form_.UsunEnabled);

  const TListBoxModel& model = form_.lista;
  QStringList shown;
  for (int i = 0; i < lista_->count(); ++i) shown << lista_->item(i)->text();
  if (shown != model.Items) {
    lista_->clear();
    lista_->addItems(model.Items);
  }
  lista_->setCurrentRow(model.ItemIndex, QItemSelectionModel::NoUpdate);
  for (int i = 0; i < lista_->count(); ++i) lista_->item(i)->setSelected(model.IsSelected(i));
  refreshing_ = false;
}

}  // namespace vm::ui
