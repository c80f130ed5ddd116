#include "shell/ui/about_box.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <algorithm>

namespace vm::ui {
namespace {

constexpr int kWidth = 330;
constexpr int kGroupTop = 72;
constexpr int kGroupHeight = 128;
constexpr int kRowTop = 22;
constexpr int kRowStep = 20;
constexpr int kValueLeft = 150;
constexpr int kLogoTop = kGroupTop + kGroupHeight + 8;

// Label/value pairs of the machine group, in row order.
constexpr const char* kMachineRows[][2] = {{"Labelprod", "prod"},
                                           {"Labelmodel", "model"},
                                           {"Labelobszar", "obszar"},
                                           {"Labelprzebieg", "przebieg"},
                                           {"Labelilpl", "ilpl"}};

}  // namespace

TAboutBoxDialog::TAboutBoxDialog(TAboutMachineLink link, QWidget* parent)
    : QDialog(parent), box_(std::move(link)) {
  setObjectName(QStringLiteral("AboutBox"));
  setModal(true);
  box_.FormCreate();
  if (box_.RightToLeft) setLayoutDirection(Qt::RightToLeft);

  QLabel* prog = addLabel(this, "Labelprog", 0, 10, kWidth);
  prog->setAlignment(Qt::AlignHCenter);
  QFont bold = prog->font();
  bold.setBold(true);
  prog->setFont(bold);
  addLabel(this, "Labelver", 20, 32, kValueLeft - 20);
  addLabel(this, "ver", kValueLeft, 32, kWidth - kValueLeft - 10);

  QLabel* www = addLabel(this, "lWww", 0, 50, kWidth);
  www->setAlignment(Qt::AlignHCenter);
  www->setCursor(Qt::PointingHandCursor);
  www->installEventFilter(this);

  group_ = new QGroupBox(this);
  group_->setObjectName(QStringLiteral("GroupBox1"));
  group_->setGeometry(8, kGroupTop, kWidth - 16, kGroupHeight);
  group_->installEventFilter(this);
  for (const auto& row : kMachineRows) {
    addLabel(group_, row[0], 10, 0, kValueLeft - 20);
    addLabel(group_, row[1], kValueLeft, 0, kWidth - 16 - kValueLeft - 10);
  }
  layoutMachineLabels();

  QLabel* logo = addLabel(this, "dealer", 0, kLogoTop, kWidth);
  logo->setAlignment(Qt::AlignHCenter);
  logo->setCursor(Qt::PointingHandCursor);
  logo->installEventFilter(this);
  logo->hide();
  if (!box_.LogoFile.isEmpty()) {
    QPixmap pixmap(box_.LogoFile);
    if (pixmap.isNull()) {
      box_.LogoNotLoaded();
    } else {
      logo->setPixmap(pixmap);
      logo->setFixedHeight(std::min(pixmap.height(), box_.Height - kLogoTop));
      logo->show();
    }
  }
  logo->setToolTip(box_.dealerHint);

  setFixedSize(kWidth, box_.Height);
  showTexts();
}

QLabel* TAboutBoxDialog::addLabel(QWidget* parent, const char* name, int left, int top, int width) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setGeometry(left, top, width, 18);
  labels_[l->objectName()] = l;
  return l;
}

QLabel* TAboutBoxDialog::label(const QString& name) const {
  const auto it = labels_.find(name);
  return it == labels_.end() ? nullptr : it->second;
}

void TAboutBoxDialog::layoutMachineLabels() {
  int i = 0;
  for (const auto& row : kMachineRows) {
    const bool producer = i == 0;
    const int top = kRowTop + kRowStep * i - (producer ? 0 : box_.MachineLabelsShift);
    for (const char* name : row) {
      QLabel* l = label(QString::fromLatin1(name));
      l->move(l->x(), top);
      l->setVisible(!producer || box_.ProducerVisible);
    }
    ++i;
  }
}

void TAboutBoxDialog::showTexts() {
  setWindowTitle(box_.Caption);
  group_->setTitle(box_.GroupBox1);
  const std::pair<const char*, const QString*> texts[] = {{"Labelprog", &box_.Labelprog},
                                                          {"Labelver", &box_.Labelver},
                                                          {"ver", &box_.ver},
                                                          {"lWww", &box_.lWww},
                                                          {"Labelprod", &box_.Labelprod},
                                                          {"prod", &box_.prod},
                                                          {"Labelmodel", &box_.Labelmodel},
                                                          {"model", &box_.model},
                                                          {"Labelobszar", &box_.Labelobszar},
                                                          {"obszar", &box_.obszar},
                                                          {"Labelprzebieg", &box_.Labelprzebieg},
                                                          {"przebieg", &box_.przebieg},
                                                          {"Labelilpl", &box_.Labelilpl},
                                                          {"ilpl", &box_.ilpl}};
  for (const auto& [name, text] : texts) label(QString::fromLatin1(name))->setText(*text);
  label(QStringLiteral("lWww"))->setVisible(box_.lWwwVisible);
  fitWidth();
}

void TAboutBoxDialog::fitWidth() {
  // The box widens for a long program-name line or link, so no text is cut
  // off; the centred lines, the machine group and the logo follow.
  int width = kWidth;
  for (const char* name : {"Labelprog", "lWww"}) {
    width = std::max(width, label(QString::fromLatin1(name))->sizeHint().width() + 16);
  }
  for (const char* name : {"Labelprog", "lWww", "dealer"}) {
    QLabel* l = label(QString::fromLatin1(name));
    l->resize(width, l->height());
  }
  group_->resize(width - 16, kGroupHeight);
  setFixedSize(width, box_.Height);
}

void TAboutBoxDialog::showEvent(QShowEvent* event) {
  box_.FormActivate();
  showTexts();
  QDialog::showEvent(event);
}

void TAboutBoxDialog::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

void TAboutBoxDialog::keyPressEvent(QKeyEvent* event) {
  event->accept();
  accept();
}

bool TAboutBoxDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == label(QStringLiteral("lWww"))) {
      box_.lWwwClick();
      return true;
    }
    if (watched == label(QStringLiteral("dealer"))) {
      box_.dealerClick();
      return true;
    }
    if (watched == group_) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vm::ui
