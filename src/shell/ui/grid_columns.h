// Column widths of string grids, sized to their texts.
#pragma once

#include <QString>

class QFont;
class QTableWidget;

namespace vm::ui {

// Width of two blanks, `text` and two blanks as a label in `font` shows them;
// when `cap` is positive and smaller, `cap`.
int TextWidthForFont(const QString& text, int cap, const QFont& font);

// Widens each column from `firstColumn` to `lastColumn` that is narrower than
// TextWidthForFont of its cell in `row` (the grid's font); wider columns stay.
// Columns or a row outside the grid are skipped.
void AutoSizeGridColumns(QTableWidget* grid, int firstColumn, int lastColumn, int row);

}  // namespace vm::ui
