// Right-to-left layout helpers for the windows of a right-to-left language.
#pragma once

class QMenuBar;
class QWidget;

namespace vm::ui {

// Reverses the order of the top-level items of a menu bar; submenus keep
// their order. The menu bar first takes its parent's layout direction.
void ReverseMenu(QMenuBar* menu);

// Mirrors the direct children of `control` horizontally: each child's left
// edge becomes control's width minus its left minus its width. Deeper
// descendants are not moved.
void MirrorControls(QWidget* control);

}  // namespace vm::ui
