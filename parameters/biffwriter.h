#pragma once

#include "workbookcells.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

// The cells of a workbook's sheets handed out in file order (row by row,
// left to right), made when asked for: a writer need not hold them all.
// Texts must be non-empty and at most 32767 characters long, cells inside
// the sheet. Each sheet may be asked for more than once and must give the
// same cells each time.
class BiffSheetSource
{
public:
    virtual ~BiffSheetSource() = default;
    using CellVisitor = std::function<void(int key, const QVariant &value)>;
    virtual int sheetCount() const = 0;
    // Calls `visit` with each cell of `sheet`, keyed as WorkbookCells are.
    virtual void forEachCell(int sheet, const CellVisitor &visit) const = 0;
};

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
    // The same stream, the cells taken from `source` as they are written.
    static QByteArray workbookStream(const BiffSheetSource &source);
    // The same stream handed to `write` in pieces of about a megabyte, the
    // first piece being what `head` makes of the stream's size; false as
    // soon as `write` is. Only the workbook globals are held whole.
    static bool writeStream(const BiffSheetSource &source,
                            const std::function<QByteArray(qint64 streamSize)> &head,
                            const std::function<bool(const QByteArray &)> &write);

private:
    struct Extent {
        int firstRow = 0, endRow = 0, firstColumn = 0, endColumn = 0;
        bool empty = true;
        qint64 texts = 0, numbers = 0;
    };
    // The shared strings in order of first use, packed as UTF-16 with an
    // open-addressed index: an hour of trend timestamps as QStrings in a
    // hash took more memory than the file they go into.
    class StringPool
    {
    public:
        int size() const { return m_starts.size() - 1; }
        QString at(int i) const;
        // The index of `text`, added when new.
        int intern(const QString &text);
        int indexOf(const QString &text) const;

    private:
        int find(const QString &text, uint hash) const;
        void grow();
        QByteArray m_text;
        QVector<int> m_starts{0};  // UTF-16 units; size() + 1 entries
        QVector<int> m_slots;      // index + 1, 0 empty
    };
    qint64 sheetSize(int sheet) const;
    explicit BiffWriter(const BiffSheetSource &source);
    void writeGlobals();
    void writeStringTable();
    void writeString(const QString &text, bool startsBucket);
    void writeSheet(int sheet);
    void beginRecord(quint16 id);
    void endRecord();
    void record(quint16 id, const QByteArray &body);
    int roomInRecord() const;

    const BiffSheetSource &m_source;
    QVector<Extent> m_extents;
    StringPool m_strings;
    int m_stringUses = 0;
    QByteArray m_out;
    int m_recordStart = -1;
    QVector<int> m_boundSheetAt;  // where each sheet's offset goes
    bool m_recordHasText = false;
    QByteArray m_bucketOffsets;  // EXTSST entries
    // Streaming: hands over what is written so far (only once it has grown
    // to a piece unless `always`); false when the write failed.
    std::function<bool(bool always)> m_flush;
    bool m_failed = false;
};
