#pragma once

#include <QMap>
#include <QVariant>

// The cells of a workbook's first sheet, keyed by zero-based row * 256 +
// zero-based column, so that iteration runs row by row, left to right (the
// order the file stores them in). A value is a QString or a double.
using WorkbookCells = QMap<int, QVariant>;

// The largest sheet the .xls format holds.
constexpr int kWorkbookRows = 65536;
constexpr int kWorkbookColumns = 256;

constexpr int workbookCellKey(int row0, int column0)
{
    return row0 * kWorkbookColumns + column0;
}
