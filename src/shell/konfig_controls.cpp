// Named controls of the dialogs, held in core.
#include "shell/konfig_controls.h"

#include <algorithm>
#include <vector>

namespace vm {

void TControl::SetCaption(const QString& c) {
  if (caption_ == c) return;
  caption_ = c;
  Changed();
}

void TControl::SetEnabled(bool e) {
  if (enabled_ == e) return;
  enabled_ = e;
  Changed();
}

void TControl::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed();
}

void TControl::SetHint(const QString& h) {
  if (hint_ == h) return;
  hint_ = h;
  Changed();
}

int TControl::Subscribe(std::function<void()> view) {
  const int id = nextId_++;
  views_.emplace(id, std::move(view));
  return id;
}

void TControl::Unsubscribe(int id) { views_.erase(id); }

void TControl::Changed() {
  // A view may unsubscribe while being told; work on a copy.
  std::vector<std::function<void()>> views;
  views.reserve(views_.size());
  for (auto& [id, v] : views_) views.push_back(v);
  for (auto& v : views) v();
}

void TTntCheckBox::SetState(TCheckBoxState s) {
  if (state_ == s) return;
  state_ = s;
  Changed();
  if (OnClick) OnClick();
}

TTntRadioGroup::TTntRadioGroup(QString name, QStringList items, int itemIndex, int columns)
    : TControl(std::move(name)), items_(std::move(items)), itemIndex_(-1), columns_(columns) {
  itemIndex_ = std::clamp(itemIndex, -1, static_cast<int>(items_.size()) - 1);
}

void TTntRadioGroup::SetItemIndex(int i) {
  i = std::clamp(i, -1, static_cast<int>(items_.size()) - 1);
  if (i == itemIndex_) return;
  itemIndex_ = i;
  Changed();
  if (OnClick) OnClick();
}

void TTntRadioGroup::SetItems(const QStringList& items) {
  items_ = items;
  itemIndex_ = std::clamp(itemIndex_, -1, static_cast<int>(items_.size()) - 1);
  Changed();
}

void TTntRadioGroup::SetItem(int i, const QString& text) {
  if (i < 0 || i >= items_.size() || items_[i] == text) return;
  items_[i] = text;
  Changed();
}

void TImage::LoadPicture(const QString& path) {
  source_ = Source::File;
  path_ = path;
  Changed();
}

void TImage::ClearPicture() {
  source_ = Source::None;
  path_.clear();
  Changed();
}

}  // namespace vm
