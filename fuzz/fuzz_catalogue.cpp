// The parameter catalogue reader: byte 0 picks the drive (series, model,
// P.186), the catalogue version and the capacity-default switches; the rest
// is the catalogue file, loaded into a fresh table the way the parameter
// core does it and then read again as the language file of the same table.
#include "fuzzsupport.h"

#include "parameters/cataloguereader.h"
#include "parameters/parametertable.h"

#include <QStringList>

#include <algorithm>

namespace {

struct Drive {
    char series;
    const char *model;
    const char *p186;
};
// The eleven series with their usual model, then a few other ratings.
const Drive kDrives[16] = {
    {'H', "ZN-020-5.5K", "0"},         {'B', "ZD-043-0.75K", "0"},
    {'C', "ZW-023-1.5K", "0"},         {'S', "ZR-043-11K", "0"},
    {'E', "ZP-043-22K", "0"},          {'F', "ZM-043-7.5K", "0"},
    {'G', "ZM-043-7.5K-K", "0"},       {'X', "ZP2-043-2.2K", "0"},
    {'T', "ZR2-043-15K", "0"},         {'L', "ZM-043-5.5K-KX", "0"},
    {'A', "ZQ1-043-5.5K", "0"},        {'G', "ZM-043-185K/200K-K", "1"},
    {'G', "ZM-043-185K/200K-K", "0"},  {'E', "ZP-043-2.2K", "0"},
    {'F', "ZM-020-0.4K", "0"},         {'A', "ZQ1-020-0.75K", "0"},
};
const double kVersions[4] = {0, 0.10, 0.40, 1.10};

CatalogueReader::Settings settingsOf(uint8_t flags)
{
    const Drive &drive = kDrives[flags & 0x0F];
    CatalogueReader::Settings s;
    s.series = drive.series;
    s.version = kVersions[(flags >> 6) & 3];
    s.computedDefaults = flags & 0x10;
    s.multiValue = flags & 0x20;
    s.drive = DriveIdentity{s.series, QString::fromLatin1(drive.model),
                            QString::fromLatin1(drive.p186), s.version};
    return s;
}

// What element names give as a parameter number: ASCII digits, and for
// series 'A' the parameter-function row's digits with "X".
bool isCatalogueNumber(const QString &number, char series)
{
    QString digits = number;
    if (series == 'A' && digits.endsWith(QLatin1Char('X')))
        digits.chop(1);
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Catalogue texts pass the version rule, which splits at backslashes.
bool isSelectedText(const ParameterTable &table, int row, int column)
{
    return table.isFixedText(row, column) ||
           !table.text(row, column).contains(QLatin1Char('\\'));
}

// What a language reload must leave alone: the rows, their numbers and
// units, and the texts the capacity rules gave.
QStringList unchangedByReload(const ParameterTable &table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QString key = table.text(row, ParameterTable::NumberColumn) + QLatin1Char('\x1f') +
                      table.text(row, ParameterTable::UnitColumn);
        for (int column : {int(ParameterTable::RangeColumn), int(ParameterTable::DefaultColumn)})
            if (table.isFixedText(row, column))
                key += QLatin1Char('\x1f') + table.text(row, column);
        rows.append(key);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void checkTexts(const ParameterTable &table, int rows)
{
    for (int row = 0; row < rows; ++row) {
        for (int column : {int(ParameterTable::GroupColumn), int(ParameterTable::NameColumn),
                           int(ParameterTable::RangeColumn), int(ParameterTable::DefaultColumn)})
            fuzz::check(isSelectedText(table, row, column));
        // Units are stored without blanks.
        for (const QChar c : table.text(row, ParameterTable::UnitColumn))
            fuzz::check(!c.isSpace());
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
    if (size == 0)
        return 0;
    const QString path = fuzz::workPath(QStringLiteral("catalogue.xml"));
    if (!fuzz::writeInput(path, data + 1, size - 1))
        return 0;
    const CatalogueReader::Settings settings = settingsOf(data[0]);
    ParameterTable table;
    table.setRowCount(ParameterTable::kInitialRows);
    CatalogueReader reader(table);
    int rows = -1;
    fuzz::check(reader.load(path, settings, &rows) == CatalogueReader::Result::Loaded);
    fuzz::check(rows >= 0 && rows <= table.rowCount());
    // Rows 0 .. rows-1 are the catalogue's, each with its parameter number;
    // the rows after those are untouched.
    for (int row = 0; row < table.rowCount(); ++row) {
        fuzz::check(table.hasNumberCell(row) == (row < rows));
        if (row < rows)
            fuzz::check(isCatalogueNumber(table.numberText(row), settings.series));
    }
    checkTexts(table, rows);

    table.removeRowsFrom(qMax(rows, 1));
    const QStringList before = unchangedByReload(table);
    fuzz::check(reader.reloadTexts(path, settings.series, settings.version));
    fuzz::check(unchangedByReload(table) == before);
    checkTexts(table, rows);
    return 0;
}
