#include "project/ui/info_form.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "drawing/errors.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm::ui {

InfoForm::InfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("infoform"));
  setFixedSize(488, 156);
  form_.FormCreate();
  if (form_.RightToLeft) setLayoutDirection(Qt::RightToLeft);
  addLabel("Labelfile", 0, 6, 150, true);
  addLabel("fname", 160, 6, 313, false);
  addLabel("Labelkonf", 0, 24, 150, true);
  addLabel("konfigname", 160, 24, 313, false);
  addLabel("Labelszer", 0, 40, 150, true);
  addLabel("szerokosc", 160, 40, 69, false);
  addLabel("Labelwys", 0, 58, 150, true);
  addLabel("wysokosc", 160, 58, 69, false);
  addLabel("Labeldlug", 0, 76, 150, true);
  addLabel("totlen", 160, 76, 0, false);
  addLabel("Labeltime", 0, 94, 150, true);
  addLabel("total_time", 160, 94, 105, false);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setGeometry(64, 120, 85, 29);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  showTexts();
}

QLabel* InfoForm::addLabel(const char* name, int left, int top, int width, bool caption) {
  auto* l = new QLabel(this);
  l->setObjectName(QString::fromLatin1(name));
  // Numbers and names read left to right even in a right-to-left form.
  l->setLayoutDirection(Qt::LeftToRight);
  l->setTextFormat(Qt::PlainText);
  if (caption) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setGeometry(left, top, width > 0 ? width : 313, 13 + 4);
  return l;
}

QLabel* InfoForm::label(const QString& name) const { return findChild<QLabel*>(name); }

void InfoForm::showTexts() {
  setWindowTitle(form_.Caption);
  const std::pair<const char*, const QString*> texts[] = {
      {"Labelfile", &form_.Labelfile}, {"Labelkonf", &form_.Labelkonf},
      {"Labelszer", &form_.Labelszer}, {"Labelwys", &form_.Labelwys},
      {"Labeldlug", &form_.Labeldlug}, {"Labeltime", &form_.Labeltime},
      {"fname", &form_.fname},         {"konfigname", &form_.konfigname},
      {"szerokosc", &form_.szerokosc}, {"wysokosc", &form_.wysokosc},
      {"totlen", &form_.totlen},       {"total_time", &form_.total_time}};
  for (const auto& [name, text] : texts)
    if (QLabel* l = label(QString::fromLatin1(name))) l->setText(*text);
}

void InfoForm::fill(const TMDIChild& project) {
  form_.FormPaint(InfoInputFrom(project));
  showTexts();
}

namespace {

QPointer<InfoForm>& Instance() {
  static QPointer<InfoForm> form;
  return form;
}

}  // namespace

void CreateInfoForm(QWidget* parent) {
  QPointer<InfoForm>& form = Instance();
  if (!form) form = new InfoForm(parent ? parent->window() : nullptr);
}

void ShowInfoForm(const TMDIChild& project, QWidget* parent) {
  CreateInfoForm(parent);
  QPointer<InfoForm>& form = Instance();
  try {
    form->fill(project);
  } catch (const Error& e) {
    ShowMessageBox(Tr("Info", "bladObliczen") + QString::fromStdString(e.what()), true);
    return;
  }
  form->exec();
}

}  // namespace vm::ui
