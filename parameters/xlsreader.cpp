#include "xlsreader.h"

#include "biffcheck.h"
#include "compoundfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <freexl.h>

#include <memory>

namespace {

struct FreexlCloser {
    void operator()(const void *handle) const { freexl_close(handle); }
};
using FreexlHandle = std::unique_ptr<const void, FreexlCloser>;

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString libraryError(int code)
{
    return QStringLiteral("the workbook cannot be decoded (libfreexl error %1)").arg(code);
}

}  // namespace

bool XlsReader::read(const QString &fileName, WorkbookCells *cells, QString *error)
{
    cells->clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failWith(error, file.errorString());
    // In pieces no larger than the file says it is (and at most 1 MiB): a
    // read reserves what it asks for, and the size may be wrong (a file that
    // grows, a device).
    QByteArray bytes;
    for (QByteArray piece; bytes.size() <= kMaxFileSize; bytes += piece) {
        piece = file.read(qBound<qint64>(4096, file.size() - bytes.size() + 1, 1 << 20));
        if (piece.isEmpty())
            break;
    }
    if (bytes.size() > kMaxFileSize)
        return failWith(error, QStringLiteral("the file is too large for a workbook"));
    if (bytes.isEmpty())
        return failWith(error, QStringLiteral("the file is empty"));
    QByteArray stream;
    QString reason;
    if (!CompoundFile::extractWorkbook(bytes, &stream, &reason) ||
        !BiffCheck::check(stream, &reason))
        return failWith(error, reason);
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/vantreo-workbook-XXXXXX.xls"));
    const QByteArray clean = CompoundFile::wrapWorkbook(stream);
    if (!copy.open() || copy.write(clean) != clean.size() || !copy.flush())
        return failWith(error, copy.errorString());
    return decode(copy.fileName(), cells, error);
}

bool XlsReader::decode(const QString &path, WorkbookCells *cells, QString *error)
{
    const void *raw = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &raw);
    const FreexlHandle handle(raw);
    // The library can give up without an error code; it then hands back no handle.
    if (opened != FREEXL_OK || !raw)
        return failWith(error, libraryError(opened));
    unsigned int rows = 0;
    unsigned short columns = 0;
    int rc = freexl_select_active_worksheet(raw, 0);
    if (rc == FREEXL_OK)
        rc = freexl_worksheet_dimensions(raw, &rows, &columns);
    if (rc != FREEXL_OK)
        return failWith(error, QStringLiteral("the workbook has no worksheet"));
    if (rows > unsigned(kWorkbookRows) || columns > kWorkbookColumns)
        return failWith(error, QStringLiteral("the sheet extent exceeds the format"));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue value;
            rc = freexl_get_cell_value(raw, row, column, &value);
            if (rc != FREEXL_OK)
                return failWith(error, libraryError(rc));
            const int key = workbookCellKey(int(row), column);
            switch (value.type) {
            case FREEXL_CELL_INT:
                cells->insert(key, double(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                cells->insert(key, value.value.double_value);
                break;
            case FREEXL_CELL_NULL:
                break;
            default:  // texts, and dates and times as the library spells them
                if (value.value.text_value && *value.value.text_value)
                    cells->insert(key, QString::fromUtf8(value.value.text_value));
                break;
            }
        }
    }
    return true;
}
