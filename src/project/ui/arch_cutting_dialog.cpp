// The arch-cutting dialog widgets.
#include "project/ui/arch_cutting_dialog.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "project/ui/generator_windows.h"
#include "shell/interfejs.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"

namespace vm::ui {

TfZaginaczDialog::TfZaginaczDialog(TMainForm* main, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fZaginacz"));
  setWindowTitle(Tr("Arch_cutting", "caption"));
  auto* g = new QGridLayout(this);
  caption_ = new QLabel(Tr("Arch_cutting", "lSzerMat.caption"), this);
  caption_->setObjectName(QStringLiteral("lSzerMat"));
  depth_ = new TFltEditWidget(form_.feuGlebokoscNaciec, this);
  unit_ = new QLabel(form_.lGlebokoscNaciecJm, this);
  unit_->setObjectName(QStringLiteral("lGlebokoscNaciecJm"));
  generate_ = new QPushButton(Tr("Arch_cutting", "btnGeneruj.caption"), this);
  generate_->setObjectName(QStringLiteral("btnGeneruj"));
  generate_->setDefault(true);
  cancel_ = new QPushButton(Tr("Configuration", "cancel.caption"), this);
  cancel_->setObjectName(QStringLiteral("btnAnuluj"));
  g->addWidget(caption_, 0, 0);
  g->addWidget(depth_, 0, 1);
  g->addWidget(unit_, 0, 2);
  g->addWidget(generate_, 1, 0);
  g->addWidget(cancel_, 1, 1, 1, 2);
  connect(generate_, &QPushButton::clicked, this, [this] { form_.btnGenerujClick(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  depth_->Field()->installEventFilter(this);

  TMainForm* m = main != nullptr ? main : MainForm();
  if (m != nullptr) form_.Windows = MdiGeneratorWindows(*m);
  form_.Close = [this] { accept(); };
}

TfZaginaczDialog::~TfZaginaczDialog() {
  // The edit widget refers to the core edit, which is destroyed before the
  // dialog's children: the widget goes first.
  delete depth_;
}

bool TfZaginaczDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      generate_->setFocus();
      form_.btnGenerujClick();
      return true;
    }
    if (key == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfZaginaczDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ShowArchCuttingDialog(TfZaginaczDialog& dialog, TMDIChild& source) {
  TfZaginacz& form = dialog.form();
  form.FormCreate();
  dialog.unitLabel()->setText(form.lGlebokoscNaciecJm);
  form.BeginRun(&source);
  dialog.exec();
}

}  // namespace vm::ui
