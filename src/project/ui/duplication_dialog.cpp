// The duplication dialog widgets.
#include "project/ui/duplication_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "project/ui/generator_windows.h"
#include "shell/interfejs.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"

namespace vm::ui {
namespace {

void SetBold(QLabel* label, bool bold) {
  if (label == nullptr) return;
  QFont f = label->font();
  f.setBold(bold);
  label->setFont(f);
}

}  // namespace

TfParDupDialog::TfParDupDialog(TMainForm* main, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fParDup"));
  const tInterfejs* lang = Interfejs();
  if (lang != nullptr && lang->RightToLeft()) setLayoutDirection(Qt::RightToLeft);
  setWindowTitle(Tr("Duplication_parameters", "fParDup.caption"));

  auto* top = new QVBoxLayout(this);
  auto* gb = new QGroupBox(Tr("Duplication_parameters", "gbWzorzec.Caption"), this);
  gb->setObjectName(QStringLiteral("gbWzorzec"));
  auto* g1 = new QGridLayout(gb);
  ePlik_ = new QLineEdit(gb);
  ePlik_->setObjectName(QStringLiteral("ePlik"));
  ePlik_->setReadOnly(true);
  g1->addWidget(addLabel("lPlik", Tr("Duplication_parameters", "lPlik.Caption")), 0, 0);
  g1->addWidget(ePlik_, 0, 1, 1, 2);
  g1->addWidget(addLabel("lWymiary", Tr("Duplication_parameters", "lWymiary.Caption")), 1, 0);
  g1->addWidget(addLabel("lSzerokosc", Tr("Duplication_parameters", "lSzerokosc.Caption")), 2, 0);
  g1->addWidget(addLabel("pWzorzecSzerokosc", QString()), 2, 1);
  g1->addWidget(addLabel("lJmSzerokosc", QString()), 2, 2);
  g1->addWidget(addLabel("lWysokosc", Tr("Duplication_parameters", "lWysokosc.Caption")), 3, 0);
  g1->addWidget(addLabel("pWzorzecWysokosc", QString()), 3, 1);
  g1->addWidget(addLabel("lJmWysokosc", QString()), 3, 2);
  top->addWidget(gb);

  auto* g = new QGridLayout;
  int row = 0;
  const auto addEdit = [&](TNumericEdit& e, QWidget* caption, const char* unitLabel) {
    auto* w = new TFltEditWidget(e, this);
    edits_[e.Name()] = w;
    g->addWidget(caption, row, 0);
    g->addWidget(w, row, 1);
    if (unitLabel != nullptr) g->addWidget(addLabel(unitLabel, QString()), row, 2);
    ++row;
  };
  // Two-line captions: both labels in one cell.
  const auto twoLines = [&](const char* n1, const QString& t1, const char* n2, const QString& t2) {
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(addLabel(n1, t1));
    v->addWidget(addLabel(n2, t2));
    return box;
  };
  addEdit(
      form_.feIloscElemWWierszu,
      addLabel("lIloscElemWWierszu", Tr("Duplication_parameters", "lIloscElemWWierszu.Caption")),
      nullptr);
  addEdit(form_.feIloscWierszy,
          addLabel("lIloscWierszy", Tr("Duplication_parameters", "lIloscWierszy.Caption")),
          nullptr);
  addEdit(form_.feuPrzesuniecieMdzyElem,
          twoLines("lPrzesuniecieMdzyElem1",
                   Tr("Duplication_parameters", "lPrzesuniecieMdzyElem1.Caption"),
                   "lPrzesuniecieMdzyElem2",
                   Tr("Duplication_parameters", "lPrzesuniecieMdzyElem2.Caption")),
          "lJmPrzesuniecieMdzyElem");
  addEdit(form_.feuPrzesMdzyWierszami,
          twoLines(
              "lPrzesMdzyWierszami1", Tr("Duplication_parameters", "lPrzesMdzyWierszami1.Caption"),
              "lPrzesMdzyWierszami2", Tr("Duplication_parameters", "lPrzesMdzyWierszami2.Caption")),
          "lJmPrzesMdzyWierszami");
  addEdit(form_.feuOdlMdzyEl_i_laczPionowym,
          addLabel("lOdlMdzyEl_i_laczPionowym",
                   Tr("Duplication_parameters", "lOdlMdzyEl_i_laczPionowym.Caption")),
          "lJmOdlMdzyEl_i_laczPionowym");
  addEdit(form_.feuOdlMdzyEl_i_laczPoziomym,
          addLabel("lOdlMdzyEl_i_laczPoziomym",
                   Tr("Duplication_parameters", "lOdlMdzyEl_i_laczPoziomym.Caption")),
          "lJmOdlMdzyEl_i_laczPoziomym");
  g->addWidget(addLabel("lSzerCalegoProj", Tr("Duplication_parameters", "lSzerCalegoProj.Caption")),
               row, 0);
  g->addWidget(addLabel("pCalySzer", QString()), row, 1);
  g->addWidget(addLabel("lCalySzer", QString()), row++, 2);
  g->addWidget(addLabel("lWysCalegoProj", Tr("Duplication_parameters", "lWysCalegoProj.Caption")),
               row, 0);
  g->addWidget(addLabel("pCalyWys", QString()), row, 1);
  g->addWidget(addLabel("lCalyWys", QString()), row++, 2);
  top->addLayout(g);

  auto* buttons = new QHBoxLayout;
  const auto addButton = [&](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    buttons_[b->objectName()] = b;
    buttons->addWidget(b);
    return b;
  };
  QPushButton* defaults =
      addButton("btnParDomyslne", Tr("Duplication_parameters", "btnParDomyslne.Caption"));
  buttons->addStretch();
  QPushButton* execute =
      addButton("btnZatwierdz", Tr("Duplication_parameters", "btnZatwierdz.Caption"));
  QPushButton* cancel = addButton("btnAnuluj", Tr("Duplication_parameters", "btnAnuluj.Caption"));
  execute->setDefault(true);
  top->addLayout(buttons);
  connect(defaults, &QPushButton::clicked, this, [this] { form_.btnParDomyslneClick(); });
  connect(execute, &QPushButton::clicked, this, [this] { form_.btnZatwierdzClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  // The label (or labels) of the focused edit turn bold.
  const std::pair<TNumericEdit*, std::vector<const char*>> bound[] = {
      {&form_.feIloscElemWWierszu, {"lIloscElemWWierszu"}},
      {&form_.feuPrzesuniecieMdzyElem, {"lPrzesuniecieMdzyElem1", "lPrzesuniecieMdzyElem2"}},
      {&form_.feIloscWierszy, {"lIloscWierszy"}},
      {&form_.feuPrzesMdzyWierszami, {"lPrzesMdzyWierszami1", "lPrzesMdzyWierszami2"}},
      {&form_.feuOdlMdzyEl_i_laczPionowym, {"lOdlMdzyEl_i_laczPionowym"}},
      {&form_.feuOdlMdzyEl_i_laczPoziomym, {"lOdlMdzyEl_i_laczPoziomym"}}};
  for (const auto& [e, names] : bound) {
    std::vector<QLabel*> ls;
    for (const char* n : names) ls.push_back(label(QString::fromLatin1(n)));
    e->OnEnter = [ls] {
      for (QLabel* l : ls) SetBold(l, true);
    };
    e->OnExit = [ls] {
      for (QLabel* l : ls) SetBold(l, false);
    };
  }
  for (auto& [name, w] : edits_) w->Field()->installEventFilter(this);
  for (auto& [name, b] : buttons_) b->installEventFilter(this);

  TMainForm* m = main != nullptr ? main : MainForm();
  if (m != nullptr) form_.Windows = MdiGeneratorWindows(*m);
  form_.Close = [this] { accept(); };
  form_.TextsChanged = [this] { showTexts(); };
  showTexts();
}

TfParDupDialog::~TfParDupDialog() {
  // The core outlives no widget: its callbacks must not reach a freed label.
  form_.TextsChanged = nullptr;
  for (TControl* c : form_.Components()) {
    auto* e = static_cast<TNumericEdit*>(c);
    e->OnEnter = nullptr;
    e->OnExit = nullptr;
  }
  // The edit widgets refer to the core edits, which are destroyed before the
  // dialog's children: the widgets go first.
  for (auto& [name, w] : edits_) delete w;
  edits_.clear();
}

QLabel* TfParDupDialog::addLabel(const char* name, const QString& text) {
  auto* l = new QLabel(text, this);
  l->setObjectName(QString::fromLatin1(name));
  labels_[l->objectName()] = l;
  return l;
}

QLabel* TfParDupDialog::label(const QString& name) const {
  const auto it = labels_.find(name);
  return it == labels_.end() ? nullptr : it->second;
}

TFltEditWidget* TfParDupDialog::edit(const QString& name) const {
  const auto it = edits_.find(name);
  return it == edits_.end() ? nullptr : it->second;
}

QPushButton* TfParDupDialog::button(const QString& name) const {
  const auto it = buttons_.find(name);
  return it == buttons_.end() ? nullptr : it->second;
}

void TfParDupDialog::showTexts() {
  ePlik_->setText(form_.ePlik);
  ePlik_->setToolTip(form_.ePlik);
  label("pWzorzecSzerokosc")->setText(form_.pWzorzecSzerokosc);
  label("pWzorzecWysokosc")->setText(form_.pWzorzecWysokosc);
  label("pCalySzer")->setText(form_.pCalySzer);
  label("pCalyWys")->setText(form_.pCalyWys);
  for (const char* n :
       {"lJmSzerokosc", "lJmWysokosc", "lJmPrzesuniecieMdzyElem", "lJmPrzesMdzyWierszami",
        "lCalySzer", "lCalyWys", "lJmOdlMdzyEl_i_laczPionowym", "lJmOdlMdzyEl_i_laczPoziomym"})
    label(QString::fromLatin1(n))->setText(form_.UnitLabel);
}

void TfParDupDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  form_.TntFormActivate();
  showTexts();
}

bool TfParDupDialog::formKey(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      form_.btnZatwierdzClick();
      return true;
    case Qt::Key_Escape:
      reject();
      return true;
    default:
      return false;
  }
}

bool TfParDupDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && formKey(static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void TfParDupDialog::keyPressEvent(QKeyEvent* event) {
  if (formKey(event)) return;
  QDialog::keyPressEvent(event);
}

void ShowDuplicateDialog(TMDIChild& source, TMainForm* main) {
  TfParDupDialog dialog(main, main);
  dialog.setSource(source);
  dialog.exec();
}

}  // namespace vm::ui
