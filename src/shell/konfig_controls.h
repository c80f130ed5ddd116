// Named controls of the dialogs, held in core: a common base (name, caption,
// enabled, visible, view listeners), labels, check boxes and radio groups.
//
// A control's value can be set by the operator (through its widget) or from
// code; both run the same change handler, so loading settings has the same
// effects as clicking. Widgets subscribe as views and repaint on Changed().
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

namespace vm {

class TControl {
 public:
  explicit TControl(QString name) : name_(std::move(name)) {}
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // Component name; for stored controls also the key in settings files.
  const QString& Name() const { return name_; }
  // Class name of the control kind ("TFltEdit", "TTntCheckBox", ...).
  virtual QString ClassName() const = 0;

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& c);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Hint text (tool tip).
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& h);

  // Views (widgets) are told of every change of value or state.
  int Subscribe(std::function<void()> view);
  void Unsubscribe(int id);
  // Expires when the control is destroyed, so a view that outlives its
  // control knows not to unsubscribe from it.
  std::weak_ptr<void> Lifetime() const { return lifetime_; }

 protected:
  void Changed();

 private:
  QString name_;
  QString caption_;
  QString hint_;
  bool enabled_ = true;
  bool visible_ = true;
  int nextId_ = 1;
  std::map<int, std::function<void()>> views_;
  std::shared_ptr<char> lifetime_ = std::make_shared<char>();
};

// A text shown beside an edit (caption, unit), or a page, group or button of a
// dialog: something with a caption and an enabled/visible state only.
class TLabel : public TControl {
 public:
  explicit TLabel(QString name, QString className = QStringLiteral("TTntLabel"))
      : TControl(std::move(name)), className_(std::move(className)) {}
  QString ClassName() const override { return className_; }

 private:
  QString className_;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TTntCheckBox : public TControl {
 public:
  TTntCheckBox(QString name, bool checked)
      : TControl(std::move(name)),
        state_(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked) {}
  QString ClassName() const override { return QStringLiteral("TTntCheckBox"); }

  TCheckBoxState State() const { return state_; }
  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  // Both run OnClick when the state changes.
  void SetState(TCheckBoxState s);
  void SetChecked(bool c) { SetState(c ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }

  std::function<void()> OnClick;

 private:
  TCheckBoxState state_;
};

class TTntRadioGroup : public TControl {
 public:
  TTntRadioGroup(QString name, QStringList items, int itemIndex, int columns = 1);
  QString ClassName() const override { return QStringLiteral("TTntRadioGroup"); }

  int ItemIndex() const { return itemIndex_; }
  // Clamps to -1 (nothing chosen) .. number of items - 1; runs OnClick when the
  // index changes.
  void SetItemIndex(int i);

  const QStringList& Items() const { return items_; }
  // Replaces the item texts; the chosen index is clamped to the new count.
  void SetItems(const QStringList& items);
  void SetItem(int i, const QString& text);
  int Columns() const { return columns_; }

  std::function<void()> OnClick;

 private:
  QStringList items_;
  int itemIndex_;
  int columns_;
};

// A picture shown by a dialog: the one stored with the form, a file, or none.
class TImage : public TControl {
 public:
  enum class Source { FormPicture, File, None };
  explicit TImage(QString name) : TControl(std::move(name)) {}
  QString ClassName() const override { return QStringLiteral("TImage"); }

  Source PictureSource() const { return source_; }
  // Path of the picture file when the source is File.
  const QString& PicturePath() const { return path_; }
  void LoadPicture(const QString& path);
  void ClearPicture();

 private:
  Source source_ = Source::FormPicture;
  QString path_;
};

}  // namespace vm
