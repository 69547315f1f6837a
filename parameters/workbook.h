#pragma once

#include "workbookcells.h"

class BiffSheetSource;

#include <QString>
#include <QVector>

// An .xls workbook as the parameter files and the trend recorder use it:
// cells of the first sheet addressed by 1-based row and column, written with
// text or numbers and saved, or read back from a file with the extent of
// its used rows. Saving writes our own BIFF8 file; reading goes through
// XlsReader.
class Workbook
{
public:
    static constexpr int kMaxTextLength = 32767;  // the most one cell holds

    // Writing. An empty text empties the cell, as assigning "" to a cell of
    // a spreadsheet does. A number that is not finite is stored as its text
    // ("nan", "inf"): the format has no such numbers. A cell outside the
    // sheet (rows 1..65536, columns 1..256) or a text longer than
    // kMaxTextLength is refused, and the next save() fails naming it.
    bool setText(int row, int column, const QString &text);
    bool setNumber(int row, int column, double value);
    // Data longer than a sheet goes on: cells written after selectSheet(n)
    // go to sheet n + 1 (0 is the first; sheets up to n are added, empty).
    // Reading sees the first sheet only.
    static constexpr int kMaxSheets = 256;
    bool selectSheet(int index);
    int sheetCount() const { return 1 + m_moreSheets.size(); }

    // Writes the workbook to `fileName` through a temporary file in the same
    // folder that replaces the target only when completely written: on any
    // failure the previous file stays byte for byte. `error` gets the reason.
    bool save(const QString &fileName, QString *error = nullptr) const;
    // Saves sheets whose cells are made as they are written, the same file
    // save() writes for the same cells, without holding them all.
    static bool save(const QString &fileName, const BiffSheetSource &sheets,
                     QString *error = nullptr);

    // Reading: replaces the cells with those of sheet 1 of `fileName`; on
    // failure the workbook is left empty and `error` says why.
    bool open(const QString &fileName, QString *error = nullptr);
    // A cell's value as text: texts as stored, numbers in their shortest
    // form (5 -> "5", 0.5 -> "0.5", 12.34 -> "12.34"), empty cells "".
    QString text(int row, int column) const;
    // The used block of rows: its first row and its number of rows (1 and 1
    // for an empty sheet, like a spreadsheet's used range).
    int firstUsedRow() const;
    int usedRowCount() const;
    void close();

    // What the user is shown when no spreadsheet application is there to open
    // a workbook in. Never for a file: reading and writing need no application.
    static QString missingApplicationMessage();

private:
    bool place(int row, int column, const QVariant &value);

    WorkbookCells m_cells;  // the first sheet
    QVector<WorkbookCells> m_moreSheets;
    int m_sheet = 0;  // where cells are written
    QString m_refused;  // the first refused cell, reported by save()
};
