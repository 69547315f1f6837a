#include "workbook.h"

#include "atomicfile.h"
#include "biffwriter.h"
#include "compoundfile.h"
#include "xlsreader.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

bool Workbook::setText(int row, int column, const QString &text)
{
    if (text.size() > kMaxTextLength) {
        if (m_refused.isEmpty())
            m_refused = QStringLiteral("the text for row %1, column %2 is longer than %3 characters")
                            .arg(row)
                            .arg(column)
                            .arg(kMaxTextLength);
        return false;
    }
    return place(row, column, text.isEmpty() ? QVariant() : QVariant(text));
}

bool Workbook::setNumber(int row, int column, double value)
{
    if (!std::isfinite(value))
        return place(row, column, QString::number(value));
    return place(row, column, value);
}

bool Workbook::place(int row, int column, const QVariant &value)
{
    if (row < 1 || row > kWorkbookRows || column < 1 || column > kWorkbookColumns) {
        if (m_refused.isEmpty())
            m_refused = QStringLiteral("row %1, column %2 lies outside the sheet").arg(row).arg(column);
        return false;
    }
    const int key = workbookCellKey(row - 1, column - 1);
    WorkbookCells &cells = m_sheet == 0 ? m_cells : m_moreSheets[m_sheet - 1];
    if (value.isValid())
        cells.insert(key, value);
    else
        cells.remove(key);
    return true;
}

bool Workbook::selectSheet(int index)
{
    if (index < 0 || index >= kMaxSheets) {
        if (m_refused.isEmpty())
            m_refused = QStringLiteral("a workbook holds at most %1 sheets").arg(kMaxSheets);
        return false;
    }
    if (index > m_moreSheets.size())
        m_moreSheets.resize(index);
    m_sheet = index;
    return true;
}

bool Workbook::save(const QString &fileName, QString *error) const
{
    QString reason = m_refused;
    if (reason.isEmpty()) {
        QVector<const WorkbookCells *> sheets{&m_cells};
        for (const WorkbookCells &more : m_moreSheets)
            sheets.append(&more);
        const QByteArray bytes = CompoundFile::wrapWorkbook(BiffWriter::workbookStream(sheets));
        if (writeFileAtomically(fileName, bytes, &reason))
            return true;
    }
    if (error)
        *error = reason;
    return false;
}

bool Workbook::save(const QString &fileName, const BiffSheetSource &sheets, QString *error)
{
    QString reason;
    const bool written = writeFileAtomically(
        fileName,
        [&sheets, &reason](const FileChunkWriter &write) {
            qint64 size = -1;
            const auto head = [&size](qint64 streamSize) {
                size = streamSize;
                return CompoundFile::workbookHead(int(streamSize));
            };
            if (!BiffWriter::writeStream(sheets, head, write)) {
                reason = QStringLiteral("the workbook could not be written whole");
                return false;
            }
            return write(CompoundFile::workbookTail(int(size)));
        },
        error);
    if (!written && error && error->isEmpty())
        *error = reason;
    return written;
}

bool Workbook::open(const QString &fileName, QString *error)
{
    close();
    WorkbookCells cells;
    if (!XlsReader::read(fileName, &cells, error))
        return false;
    m_cells = cells;
    return true;
}

QString Workbook::text(int row, int column) const
{
    if (row < 1 || row > kWorkbookRows || column < 1 || column > kWorkbookColumns)
        return QString();
    const QVariant value = m_cells.value(workbookCellKey(row - 1, column - 1));
    if (value.type() == QVariant::Double)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value.toString();
}

int Workbook::firstUsedRow() const
{
    return m_cells.isEmpty() ? 1 : m_cells.firstKey() / kWorkbookColumns + 1;
}

int Workbook::usedRowCount() const
{
    if (m_cells.isEmpty())
        return 1;
    return m_cells.lastKey() / kWorkbookColumns - m_cells.firstKey() / kWorkbookColumns + 1;
}

void Workbook::close()
{
    m_cells.clear();
    m_moreSheets.clear();
    m_sheet = 0;
    m_refused.clear();
}

QString Workbook::missingApplicationMessage()
{
    return QCoreApplication::translate("CParameter", "EXCEL application not found!");
}
