// The model info dialog window and its modal showing.
#include "model3d/ui/model_info_dialog.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vm::ui {
namespace {

constexpr int kWidth = 275;
constexpr int kHeight = 385;
constexpr int kLowerPanelHeight = 41;
constexpr int kRowHeight = 21;
constexpr int kValueLeft = 110;
constexpr int kValueWidth = 100;
constexpr int kUnitLeft = kValueLeft + kValueWidth + 4;
constexpr int kUnitWidth = 50;

}  // namespace

TfModelInfoDialog::TfModelInfoDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fModelInfo"));
  setModal(true);
  setFixedSize(kWidth, kHeight);
  form_.TntFormCreate();
  if (form_.RightToLeft) setLayoutDirection(Qt::RightToLeft);

  auto* upper = new QFrame(this);
  upper->setObjectName(QStringLiteral("Panel1"));
  upper->setGeometry(0, 0, kWidth, kHeight - kLowerPanelHeight);

  addLabel(upper, "lZrodlo", 8, 8, 120);
  addLabel(upper, "lRozmiarPliku", 130, 8, kWidth - 138)
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  addLabel(upper, "pZrodlo", 8, 26, kWidth - 16, true)
      ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  const char* sizeRows[][3] = {{"lSzerokoscX", "pSzerokoscX", "lSzerokoscXJm"},
                               {"lDlugoscY", "pDlugoscY", "lDlugoscYJm"},
                               {"lWysokoscZ", "pWysokoscZ", "lWysokoscZJm"}};
  int top = 56;
  for (const auto& row : sizeRows) {
    addLabel(upper, row[0], 8, top, kValueLeft - 12);
    addLabel(upper, row[1], kValueLeft, top, kValueWidth, true);
    addLabel(upper, row[2], kUnitLeft, top, kUnitWidth);
    top += kRowHeight + 3;
  }

  const char* axes[][5] = {{"X:", "pXmin", "lXminJm", "pXmax", "lXmaxJm"},
                           {"Y:", "pYmin", "lYminJm", "pYmax", "lYmaxJm"},
                           {"Z:", "pZmin", "lZminJm", "pZmax", "lZmaxJm"}};
  top += 4;
  for (const auto& axis : axes) {
    auto* group = new QGroupBox(QString::fromLatin1(axis[0]), upper);
    group->setGeometry(8, top, kWidth - 16, 66);
    for (int r = 0; r < 2; ++r) {
      const int y = 18 + r * (kRowHeight + 3);
      QLabel* caption = new QLabel(QString::fromLatin1(r == 0 ? "min" : "max"), group);
      caption->setGeometry(8, y, kValueLeft - 28, kRowHeight);
      addLabel(group, axis[1 + 2 * r], kValueLeft - 8, y, kValueWidth, true);
      addLabel(group, axis[2 + 2 * r], kUnitLeft - 8, y, kUnitWidth);
    }
    top += 70;
  }

  auto* lower = new QFrame(this);
  lower->setObjectName(QStringLiteral("Panel2"));
  lower->setGeometry(0, kHeight - kLowerPanelHeight, kWidth, kLowerPanelHeight);
  auto* ok = new QPushButton(QStringLiteral("OK"), lower);
  ok->setObjectName(QStringLiteral("btnOK"));
  ok->setGeometry((kWidth - 85) / 2, 7, 85, 27);
  ok->setDefault(true);
  // btnOKClick: close. Esc closes the dialog as well (QDialog rejects on Esc).
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  showTexts();
}

QLabel* TfModelInfoDialog::addLabel(QWidget* parent, const char* name, int left, int top, int width,
                                    bool valuePanel) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setGeometry(left, top, width, kRowHeight);
  if (valuePanel) {
    // Read-only value panels: lowered, right-aligned, in a muted text colour.
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setLayoutDirection(Qt::LeftToRight);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Disabled, QPalette::WindowText));
    l->setPalette(p);
  }
  return l;
}

QLabel* TfModelInfoDialog::label(const QString& name) const { return findChild<QLabel*>(name); }

void TfModelInfoDialog::showEvent(QShowEvent* event) {
  form_.TntFormShow();
  showTexts();
  QDialog::showEvent(event);
}

void TfModelInfoDialog::showTexts() {
  setWindowTitle(form_.Caption);
  const TfModelInfo& f = form_;
  const std::pair<const char*, const QString*> texts[] = {{"lZrodlo", &f.lZrodlo},
                                                          {"lSzerokoscX", &f.lSzerokoscX},
                                                          {"lDlugoscY", &f.lDlugoscY},
                                                          {"lWysokoscZ", &f.lWysokoscZ},
                                                          {"pZrodlo", &f.pZrodlo},
                                                          {"lRozmiarPliku", &f.lRozmiarPliku},
                                                          {"pSzerokoscX", &f.pSzerokoscX},
                                                          {"pDlugoscY", &f.pDlugoscY},
                                                          {"pWysokoscZ", &f.pWysokoscZ},
                                                          {"pXmin", &f.pXmin},
                                                          {"pXmax", &f.pXmax},
                                                          {"pYmin", &f.pYmin},
                                                          {"pYmax", &f.pYmax},
                                                          {"pZmin", &f.pZmin},
                                                          {"pZmax", &f.pZmax},
                                                          {"lSzerokoscXJm", &f.lSzerokoscXJm},
                                                          {"lDlugoscYJm", &f.lDlugoscYJm},
                                                          {"lWysokoscZJm", &f.lWysokoscZJm},
                                                          {"lXminJm", &f.lXminJm},
                                                          {"lXmaxJm", &f.lXmaxJm},
                                                          {"lYminJm", &f.lYminJm},
                                                          {"lYmaxJm", &f.lYmaxJm},
                                                          {"lZminJm", &f.lZminJm},
                                                          {"lZmaxJm", &f.lZmaxJm}};
  for (const auto& [name, text] : texts)
    if (QLabel* l = label(QString::fromLatin1(name))) l->setText(*text);
  if (QLabel* source = label(QStringLiteral("pZrodlo"))) source->setToolTip(f.pZrodloHint);
}

void ShowModelInfoDialog(int x, int y, const TModel& model, QWidget* parent) {
  auto* dialog = new TfModelInfoDialog(parent);
  dialog->move(x, y);
  dialog->form().Model = model;
  dialog->exec();
  delete dialog;
}

}  // namespace vm::ui
