#include "shell/ui/grid_columns.h"

#include <QFontMetrics>
#include <QTableWidget>

namespace vm::ui {

int TextWidthForFont(const QString& text, int cap, const QFont& font) {
  const int width =
      QFontMetrics(font).horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  "));
  return (cap > 0 && cap < width) ? cap : width;
}

void AutoSizeGridColumns(QTableWidget* grid, int firstColumn, int lastColumn, int row) {
  if (grid == nullptr || row < 0 || row >= grid->rowCount()) return;
  for (int c = std::max(firstColumn, 0); c <= lastColumn && c < grid->columnCount(); ++c) {
    const QTableWidgetItem* item = grid->item(row, c);
    const int needed =
        TextWidthForFont(item != nullptr ? item->text() : QString(), 0, grid->font());
    if (grid->columnWidth(c) < needed) grid->setColumnWidth(c, needed);
  }
}

}  // namespace vm::ui
