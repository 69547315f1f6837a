#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Walks a "Workbook" stream record by record before the reading library
// sees it, and refuses what is not a plain BIFF8 workbook or what would make
// a reader go out of bounds or allocate without limit: records running past
// the stream, texts longer than their record, a damaged shared string table,
// sheets whose extent exceeds kMaxCells cells, encrypted workbooks.
class BiffCheck
{
public:
    // The most cells (rows times columns of the used extents, summed over
    // all sheets) that a workbook may declare: a parameter file has a few
    // thousand, a full trend recording about half a million.
    static constexpr qint64 kMaxCells = qint64(1) << 20;

    static bool check(const QByteArray &stream, QString *error);

private:
    explicit BiffCheck(const QByteArray &stream) : m_stream(stream) {}
    bool run();
    bool checkRecord(quint16 id, const QByteArray &body);
    bool checkCell(quint16 id, const QByteArray &body);
    bool endSubstream();
    bool checkStringTable();
    bool checkSharedString(int *record, int *pos);
    bool fail(const QString &reason);

    const QByteArray &m_stream;
    QString m_error;
    QList<QByteArray> m_sst;  // the SST body and its CONTINUE bodies
    bool m_inSst = false;
    int m_sstCount = 0;
    qint64 m_cells = 0;
    bool m_inSubstream = false;
    int m_substreams = 0;
    bool m_hasDimensions = false;
    qint64 m_lastRow = -1;
    qint64 m_lastColumn = -1;
};
