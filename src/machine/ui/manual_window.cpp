#include "machine/ui/manual_window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "machine/ui/event_abort_probe.h"
#include "machine/virtual_keys.h"
#include "shell/interfejs.h"

namespace vm::ui {

namespace {

// Counts the operator's input (keys, mouse buttons, wheel) anywhere in the
// program, without taking it.
class InputCounter : public QObject {
 public:
  explicit InputCounter(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~InputCounter() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  }
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
        ++count;
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

template <typename T>
T* ManualWindow::add(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  // The window takes every key itself: no control holds the focus.
  widget->setFocusPolicy(Qt::NoFocus);
  controls_[widget->objectName()] = widget;
  return widget;
}

ManualWindow::ManualWindow(Tster& form, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), form_(form) {
  setObjectName(QStringLiteral("ster"));
  setFocusPolicy(Qt::StrongFocus);
  // The jog pad keeps its geometry in every language: +X stays right of
  // STOP, as the machine's axis runs. Right to left mirrors only the speed
  // and power groups (below); the application's own right-to-left setting
  // must not reach the rest of the panel.
  const bool rightToLeft = Interfejs() && Interfejs()->RightToLeft();
  setLayoutDirection(Qt::LeftToRight);

  groupBox1_ = add(new QGroupBox(this), "GroupBox1");
  auto* position = new QGridLayout(groupBox1_);
  wmx_ = add(new QLabel(groupBox1_), "wmx");
  wmy_ = add(new QLabel(groupBox1_), "wmy");
  wmz_ = add(new QLabel(groupBox1_), "wmz");
  for (QLabel* l : {wmx_, wmy_, wmz_}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  position->addWidget(new QLabel(QStringLiteral("X"), groupBox1_), 0, 0);
  position->addWidget(wmx_, 0, 1);
  position->addWidget(new QLabel(QStringLiteral("Y"), groupBox1_), 1, 0);
  position->addWidget(wmy_, 1, 1);
  position->addWidget(new QLabel(QStringLiteral("Z"), groupBox1_), 2, 0);
  position->addWidget(wmz_, 2, 1);
  position->addWidget(new QLabel(QString::fromUtf8("°"), groupBox1_), 2, 2);

  szybkosc_ = add(new QGroupBox(this), "Szybkosc");
  auto* speed = new QVBoxLayout(szybkosc_);
  vScroll_ = add(new QScrollBar(Qt::Vertical, szybkosc_), "VScroll");
  vScroll_->setSingleStep(10);
  vScroll_->setPageStep(100);
  vScroll_->setInvertedAppearance(true);  // faster upwards
  speedlabel_ = add(new QLabel(szybkosc_), "speedlabel");
  speed->addWidget(vScroll_, 1, Qt::AlignHCenter);
  speed->addWidget(speedlabel_, 0, Qt::AlignHCenter);

  moc_ = add(new QGroupBox(this), "moc");
  auto* power = new QVBoxLayout(moc_);
  pScroll_ = add(new QScrollBar(Qt::Vertical, moc_), "PScroll");
  pScroll_->setSingleStep(1);
  pScroll_->setPageStep(10);
  pScroll_->setInvertedAppearance(true);
  powerLabel_ = add(new QLabel(moc_), "PowerLabel");
  power->addWidget(pScroll_, 1, Qt::AlignHCenter);
  power->addWidget(powerLabel_, 0, Qt::AlignHCenter);

  if (rightToLeft) {
    szybkosc_->setLayoutDirection(Qt::RightToLeft);
    moc_->setLayoutDirection(Qt::RightToLeft);
  }

  chwilowa_ = add(new QScrollBar(Qt::Horizontal, this), "chwilowa");
  chwilowa_->setEnabled(false);
  chwilowaLabel_ = add(new QLabel(this), "chwilowaLabel");

  const auto arrow = [this](const char* name, Qt::ArrowType type) {
    auto* b = add(new QToolButton(this), name);
    b->setArrowType(type);
    b->setMinimumSize(40, 40);
    return b;
  };
  ku_ = arrow("ku", Qt::UpArrow);
  kd_ = arrow("kd", Qt::DownArrow);
  kl_ = arrow("kl", Qt::LeftArrow);
  kr_ = arrow("kr", Qt::RightArrow);
  kzu_ = add(new QToolButton(this), "kzu");
  kzu_->setText(QString::fromUtf8("↻"));
  kzd_ = add(new QToolButton(this), "kzd");
  kzd_->setText(QString::fromUtf8("↺"));
  kZalwyl_ = add(new QToolButton(this), "k_zalwyl");
  kZalwyl_->setCheckable(true);
  kZalwyl_->setText(QString::fromUtf8("♨"));
  kstop_ = add(new QPushButton(QStringLiteral("STOP"), this), "kstop");
  stanDrutu_ = add(new QLabel(this), "stan_drutu");
  stanDrutu_->setStyleSheet(QStringLiteral("color: red"));
  bazuj_ = add(new QPushButton(this), "Bazuj");
  keyprzesun_ = add(new QPushButton(this), "keyprzesun");
  base_ = add(new QPushButton(this), "Base");
  zamknij_ = add(new QPushButton(this), "zamknij");

  auto* jog = new QGridLayout;
  jog->addWidget(ku_, 0, 1);
  jog->addWidget(kl_, 1, 0);
  jog->addWidget(kstop_, 1, 1);
  jog->addWidget(kr_, 1, 2);
  jog->addWidget(kd_, 2, 1);
  jog->addWidget(kzu_, 0, 3);
  jog->addWidget(kzd_, 2, 3);
  jog->addWidget(kZalwyl_, 1, 3);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {bazuj_, keyprzesun_, base_, zamknij_}) buttons->addWidget(b);

  auto* grid = new QGridLayout(this);
  grid->addWidget(groupBox1_, 0, 0);
  grid->addLayout(jog, 1, 0);
  grid->addWidget(stanDrutu_, 2, 0);
  grid->addWidget(szybkosc_, 0, 1, 3, 1);
  grid->addWidget(moc_, 0, 2, 3, 1);
  grid->addWidget(chwilowa_, 3, 0, 1, 2);
  grid->addWidget(chwilowaLabel_, 3, 2);
  grid->addLayout(buttons, 4, 0, 1, 3);

  bindJogButton(ku_, Tster::Button::ku);
  bindJogButton(kd_, Tster::Button::kd);
  bindJogButton(kl_, Tster::Button::kl);
  bindJogButton(kr_, Tster::Button::kr);
  bindJogButton(kzu_, Tster::Button::kzu);
  bindJogButton(kzd_, Tster::Button::kzd);
  kstop_->installEventFilter(this);
  jogButtons_[kstop_] = Tster::Button::kstop;
  connect(kstop_, &QPushButton::clicked, this, [this] { form_.kstopClick(); });
  connect(kZalwyl_, &QToolButton::clicked, this, [this] {
    form_.k_zalwylClick();
    Refresh();
  });
  connect(vScroll_, &QScrollBar::valueChanged, this, [this](int v) {
    if (!refreshing_) form_.VScroll.SetPosition(v);
  });
  connect(pScroll_, &QScrollBar::valueChanged, this, [this](int v) {
    if (!refreshing_) form_.PScroll.SetPosition(v);
  });
  connect(bazuj_, &QPushButton::clicked, this, [this] { form_.bazujClick(); });
  connect(keyprzesun_, &QPushButton::clicked, this, [this] { form_.keyprzesunClick(); });
  connect(base_, &QPushButton::clicked, this, [this] { form_.BaseClick(); });
  connect(zamknij_, &QPushButton::clicked, this, [this] { close(); });

  Tster::Hooks& h = form_.hooks;
  // The operator's input goes first: whatever waits in the queue is handled
  // now, and the poll skips its turn when it held a key or a click.
  auto* input = new InputCounter(this);
  h.MessageWaiting = [input] {
    const int before = input->count;
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
      d->processEvents(QEventLoop::ExcludeSocketNotifiers);
    return input->count != before;
  };
  h.Close = [this] { hide(); };
  h.Changed = [this] { Refresh(); };
  h.ClearFocus = [this] { setFocus(); };
  h.SetWaitCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  h.RestoreCursor = [] { QApplication::restoreOverrideCursor(); };
  h.Show = [this] {
    show();
    raise();
    activateWindow();
  };
  h.MakeAbortProbe = [] { return std::make_unique<EventAbortProbe>(); };

  form_.FormCreate();
  Refresh();
}

ManualWindow::~ManualWindow() {
  form_.FormDestroy();
  form_.hooks = Tster::Hooks{};
}

void ManualWindow::bindJogButton(QToolButton* button, Tster::Button which) {
  jogButtons_[button] = which;
  button->installEventFilter(this);
}

QWidget* ManualWindow::control(const QString& name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void ManualWindow::Refresh() {
  refreshing_ = true;
  setWindowTitle(form_.Caption);
  groupBox1_->setTitle(form_.GroupBox1Caption);
  szybkosc_->setTitle(form_.SzybkoscCaption);
  moc_->setTitle(form_.MocCaption);
  wmx_->setText(form_.wmx);
  wmy_->setText(form_.wmy);
  wmz_->setText(form_.wmz);
  speedlabel_->setText(form_.speedlabel);
  powerLabel_->setText(form_.PowerLabel);
  chwilowaLabel_->setText(form_.chwilowaLabel);
  stanDrutu_->setText(form_.stan_drutu);
  bazuj_->setText(form_.BazujCaption);
  zamknij_->setText(form_.ZamknijCaption);
  keyprzesun_->setText(form_.KeyprzesunCaption);
  base_->setText(form_.BaseCaption);
  kzd_->setToolTip(form_.Hints.kzd);
  kzu_->setToolTip(form_.Hints.kzu);
  kZalwyl_->setToolTip(form_.Hints.k_zalwyl);
  kl_->setToolTip(form_.Hints.kl);
  kr_->setToolTip(form_.Hints.kr);
  ku_->setToolTip(form_.Hints.ku);
  kd_->setToolTip(form_.Hints.kd);
  const auto bar = [](QScrollBar* s, const TScrollBarModel& m) {
    s->setRange(m.Min, m.Max);
    s->setValue(m.Position);
  };
  bar(vScroll_, form_.VScroll);
  bar(pScroll_, form_.PScroll);
  bar(chwilowa_, form_.chwilowa);
  ku_->setEnabled(form_.Enabled.ku);
  kd_->setEnabled(form_.Enabled.kd);
  kl_->setEnabled(form_.Enabled.kl);
  kr_->setEnabled(form_.Enabled.kr);
  kzu_->setEnabled(form_.Enabled.kzu);
  kzd_->setEnabled(form_.Enabled.kzd);
  kZalwyl_->setEnabled(form_.Enabled.k_zalwyl);
  bazuj_->setEnabled(form_.Enabled.Bazuj);
  keyprzesun_->setEnabled(form_.Enabled.keyprzesun);
  kZalwyl_->setChecked(form_.HeatingShownOn());
  refreshing_ = false;
}

bool ManualWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !active_) {
    active_ = true;
    const bool result = QWidget::event(event);
    form_.FormActivate();
    return result;
  }
  if (event->type() == QEvent::WindowDeactivate && active_) {
    active_ = false;
    form_.FormDeactivate();
  }
  return QWidget::event(event);
}

void ManualWindow::keyPressEvent(QKeyEvent* event) {
  // Escape is the Close button's key, as in a dialog (the window may still
  // refuse while the turntable slows down).
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  const int key = VirtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier);
  if (key == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  form_.OnKeyDown(key);
  Refresh();
}

void ManualWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats as release and press pairs: only the real release
  // ends a jog.
  if (event->isAutoRepeat()) return;
  const int key = VirtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier);
  if (key == 0) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  form_.OnKeyUp(key);
  Refresh();
}

void ManualWindow::closeEvent(QCloseEvent* event) {
  // A turntable slowing down keeps the window (and its ramp timer) open.
  if (!form_.zamknijClick()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

bool ManualWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto it = jogButtons_.find(watched);
  if (it != jogButtons_.end() && static_cast<QWidget*>(watched)->isEnabled()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const bool press = event->type() == QEvent::MouseButtonPress;
      // The left button alone: with another button held the press is not a jog.
      if (mouse->button() == Qt::LeftButton && (!press || mouse->buttons() == Qt::LeftButton)) {
        if (press) {
          form_.MMouseDown(it->second);
        } else {
          form_.MMouseUp(it->second);
        }
        Refresh();
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vm::ui
