// The workbook parameter file (.xls): bit 0 of byte 0 selects the series 'A'
// layout with group codes, bit 1 an identity check that accepts every cell
// (1, 1) instead of only "InvParameter-ZM-043-7.5K"; the rest is the file.
// It goes through our compound-document and record checks before the
// decoding library sees it, once as bare cells and once as a parameter file.
#include "fuzzsupport.h"

#include "parameters/parameterfilereader.h"
#include "parameters/xlsreader.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {
QTemporaryDir *g_dir = nullptr;
const QString kIdentity = QStringLiteral("InvParameter-ZM-043-7.5K");

using Reader = ParameterFileReader;

// Cells of sheet 1 only, texts never empty, numbers as doubles.
void checkCells(const WorkbookCells &cells)
{
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        fuzz::check(it.key() >= 0 && it.key() < kWorkbookRows * kWorkbookColumns);
        const int type = it.value().userType();
        fuzz::check(type == QMetaType::QString || type == QMetaType::Double);
        if (type == QMetaType::QString)
            fuzz::check(!it.value().toString().isEmpty());
    }
}

void checkEntries(const Reader::Result &result, bool groupLayout)
{
    fuzz::check(result.entries.size() <= Reader::kMaxEntries);
    QSet<QString> numbers;
    for (const ParameterFileEntry &entry : result.entries) {
        fuzz::check(Reader::isParameterNumber(entry.number));
        fuzz::check(entry.value.size() <= Reader::kMaxValueLength);
        // Only the group layout carries group codes.
        fuzz::check(groupLayout || entry.group.isNull());
        numbers.insert(entry.number);
    }
    fuzz::check(numbers.size() == result.entries.size());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool groupLayout = data[0] & 1;
    const bool anyIdentity = data[0] & 2;
    const QString path = g_dir->filePath(QStringLiteral("book.xls"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    }
    WorkbookCells cells;
    QString error;
    const bool read = XlsReader::read(path, &cells, &error);
    if (read)
        checkCells(cells);
    else
        fuzz::check(!error.isEmpty());

    int asked = 0;
    bool accepted = false;
    const Reader::Result result = Reader::readWorkbook(path, groupLayout, [&](const QString &s) {
        ++asked;
        accepted = anyIdentity || s == kIdentity;
        return accepted;
    });
    // The same file read twice: unreadable both times or neither.
    fuzz::check((result.status == Reader::Status::Unreadable) == !read);
    fuzz::check(asked <= 1);
    if (result.status != Reader::Status::Ok) {
        fuzz::check(result.entries.isEmpty());
        fuzz::check(!result.error.isEmpty());
        return 0;
    }
    fuzz::check(asked == 1 && accepted);
    checkEntries(result, groupLayout);
    return 0;
}
