#pragma once

#include "workbookcells.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVector>

// Builds the BIFF8 "Workbook" stream of a workbook: the workbook globals
// (BOF, CODEPAGE 1200, WINDOW1, DATEMODE, five FONTs, 15 style XFs and the
// cell XF, STYLE, one BOUNDSHEET per sheet, SST with its CONTINUE records,
// EXTSST, EOF), then each sheet (BOF, WSBOOL, DIMENSIONS, one LABELSST or
// NUMBER record per cell, WINDOW2, EOF). The sheets are named Sheet1,
// Sheet2, ... Texts go to the shared string table as
// one byte per character when every character fits in Latin-1, else as
// UTF-16.
class BiffWriter
{
public:
    // Cells must lie inside the sheet and texts must be non-empty and at most
    // 32767 characters long (the caller checks).
    static QByteArray workbookStream(const WorkbookCells &cells);
    // Several sheets, in order (at least one).
    static QByteArray workbookStream(const QVector<const WorkbookCells *> &sheets);

private:
    explicit BiffWriter(const QVector<const WorkbookCells *> &sheets);
    void writeGlobals();
    void writeStringTable();
    void writeString(const QString &text, bool startsBucket);
    void writeSheet(const WorkbookCells &cells);
    void beginRecord(quint16 id);
    void endRecord();
    void record(quint16 id, const QByteArray &body);
    int roomInRecord() const;

    const QVector<const WorkbookCells *> m_sheets;
    QStringList m_strings;
    QHash<QString, int> m_stringIndex;
    int m_stringUses = 0;
    QByteArray m_out;
    int m_recordStart = -1;
    QVector<int> m_boundSheetAt;  // where each sheet's offset goes
    bool m_recordHasText = false;
    QByteArray m_bucketOffsets;  // EXTSST entries
};
