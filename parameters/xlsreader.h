#pragma once

#include "workbookcells.h"

#include <QString>

// Reads the first sheet of an .xls file. The file is taken apart by our own
// compound document reader, its workbook stream checked record by record
// (BiffCheck), and only then handed, in a fresh container of our own, to
// libfreexl, which decodes the cells. So the library never sees the damaged
// or hostile structures it does not guard against, nor a file that changed
// after the check.
class XlsReader
{
public:
    static constexpr qint64 kMaxFileSize = qint64(64) << 20;

    // The cells of sheet 1 (texts, numbers; dates as the library writes them
    // out); false with a reason in `error` when the file cannot be read.
    static bool read(const QString &fileName, WorkbookCells *cells, QString *error);

private:
    static bool decode(const QString &path, WorkbookCells *cells, QString *error);
};
