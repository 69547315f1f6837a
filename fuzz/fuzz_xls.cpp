// The workbook parameter file (.xls): bit 0 of byte 0 selects the series 'A'
// layout with group codes, bit 1 an identity check that accepts every cell
// (1, 1) instead of only "InvParameter-ZM-043-7.5K"; the rest is the file.
// It goes through our compound-document and record checks before the
// decoding library sees it, once as bare cells and once as a parameter file.
#include "parameterfilechecks.h"

#include "parameters/xlsreader.h"

namespace {
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
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || !fuzz::writeInput(QStringLiteral("book.xls"), data + 1, size - 1))
        return 0;
    const bool groupLayout = data[0] & 1;
    const QString path = fuzz::workPath(QStringLiteral("book.xls"));
    WorkbookCells cells;
    QString error;
    const bool read = XlsReader::read(path, &cells, &error);
    if (read)
        checkCells(cells);
    else
        fuzz::check(!error.isEmpty());

    fuzz::IdentityProbe probe{QStringLiteral("InvParameter-ZM-043-7.5K"), bool(data[0] & 2)};
    const Reader::Result result = Reader::readWorkbook(path, groupLayout, probe.check());
    // The file is there: never unreadable, and refused whenever it is no
    // workbook the reader takes.
    fuzz::check(result.status != Reader::Status::Unreadable);
    fuzz::check(read || result.status == Reader::Status::Mismatch);
    fuzz::checkResult(result, probe, groupLayout);
    return 0;
}
