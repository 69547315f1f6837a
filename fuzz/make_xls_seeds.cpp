// Writes the seeds of fuzz_xls that our own workbook writer makes: parameter
// files in both layouts and a sheet of assorted cells, each behind the
// target's flag byte. The seeds made from the test workbooks come from
// make_seeds.py.
//   make_xls_seeds <corpus/fuzz_xls folder>
#include "parameters/workbook.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>

namespace {
const QString kIdentity = QStringLiteral("InvParameter-ZM-043-7.5K");

Workbook parameterFile(bool groupLayout)
{
    Workbook book;
    book.setText(1, 1, kIdentity);
    const QStringList headers = groupLayout ? QStringList{"Group mode", "Trad. P mode",
                                                          "Default value", "Current value"}
                                            : QStringList{"Trad. P mode", "Default value",
                                                          "Current value"};
    for (int i = 0; i < headers.size(); ++i)
        book.setText(2, i + 1, headers.at(i));
    const QStringList numbers{"0", "1", "7", "12", "99X", "160", "1599"};
    const int first = groupLayout ? 2 : 1;
    for (int i = 0; i < numbers.size(); ++i) {
        const int row = 3 + i;
        if (groupLayout)
            book.setText(row, 1, QStringLiteral("Group:%1-%2").arg(i / 3, 2, 10, QLatin1Char('0'))
                                     .arg(i % 3, 2, 10, QLatin1Char('0')));
        book.setText(row, first, (QStringLiteral("P.") + numbers.at(i)).rightJustified(5));
        book.setText(row, first + 1, QString::number(i * 5));
        book.setText(row, first + 2, i == 2 ? QString() : QString::number(i * 2.5));
    }
    return book;
}

Workbook assortedCells()
{
    Workbook book;
    book.setText(1, 1, kIdentity);
    book.setNumber(2, 1, 0);
    book.setNumber(2, 2, -7000);
    book.setNumber(2, 3, 0.1);
    book.setNumber(2, 4, 1e300);
    book.setNumber(2, 5, 123456789);
    book.setText(3, 1, QString::fromUtf8("频率设定"));
    book.setText(3, 2, QString(300, QLatin1Char('7')));
    book.setText(4, 256, QStringLiteral("last column"));
    book.setText(40, 3, QStringLiteral("P.5"));
    return book;
}

bool saveSeed(const Workbook &book, char flags, const QString &path)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("seed.xls"));
    QString error;
    if (!book.save(file, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    QFile saved(file);
    QFile seed(path);
    if (!saved.open(QIODevice::ReadOnly) || !seed.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = QByteArray(1, flags) + saved.readAll();
    return seed.write(bytes) == bytes.size();
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_xls_seeds <corpus/fuzz_xls folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral(".")))
        return 1;
    const bool ok = saveSeed(parameterFile(false), 0, out.filePath(QStringLiteral("params_plain"))) &&
                    saveSeed(parameterFile(true), 1, out.filePath(QStringLiteral("params_groups"))) &&
                    saveSeed(assortedCells(), 2, out.filePath(QStringLiteral("assorted_cells")));
    return ok ? 0 : 1;
}
