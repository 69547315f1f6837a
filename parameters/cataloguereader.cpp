#include "cataloguereader.h"

#include "catalogueversion.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

struct CatalogueReader::Walk {
    Settings settings;
    CapacityRules rules;
    QSet<int> capacityDefaults;
    ParameterRow record;
    int row = 0;
    QString lastGroupNumber;
    QString lastElement;
};

struct CatalogueReader::Reload {
    char series = '0';
    double version = 0;
    int nextRow = 0;    // where the scan for the next name starts
    int namedRow = -1;  // the row the last name went to
    QString group;
    bool hasGroup = false;
};

namespace {
// A parameter number as element names carry it: digits, or the digits of the
// parameter-function row followed by "X" (series 'A').
bool isParameterNumber(const QString &number, bool allowX)
{
    static const QRegularExpression plain(QStringLiteral("^\\d+$"));
    static const QRegularExpression withX(QStringLiteral("^\\d+X?$"));
    return (allowX ? withX : plain).match(number).hasMatch();
}

// The element's whole text under the version rule; false when it is ignored.
bool elementText(QXmlStreamReader &reader, double version, QString *text)
{
    const QString raw = reader.readElementText(QXmlStreamReader::IncludeChildElements);
    // An element cut off by the end of a damaged file is not taken.
    if (reader.hasError() || !CatalogueVersion::selectText(raw, version, text))
        return false;
    if (text->startsWith(QLatin1Char(' ')))
        text->remove(0, 1);
    return true;
}

QString withoutBlanks(const QString &text)
{
    QString result;
    for (const QChar c : text)
        if (!c.isSpace())
            result.append(c);
    return result;
}
}  // namespace

QSet<int> CatalogueReader::capacityDefaultNumbers(bool computedDefaults)
{
    return computedDefaults ? QSet<int>{0, 9, 87} : QSet<int>{0, 7, 8, 12, 16};
}

CatalogueReader::Result CatalogueReader::load(const QString &fileName, const Settings &settings,
                                              int *rows)
{
    *rows = 0;
    QFile file(fileName);
    if (!file.exists())
        return Result::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return Result::Unreadable;
    Walk walk{settings, CapacityRules(settings.drive),
              capacityDefaultNumbers(settings.computedDefaults), ParameterRow(), 0, QString(),
              QString()};
    walk.record.number = QStringLiteral("0");
    QXmlStreamReader reader(&file);
    // A damaged document ends the walk where the damage starts; the records
    // read so far stay.
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            walkElement(walk, reader.name().toString(), reader);
    }
    // The parameter-function row takes the number of the group element
    // before it; in a file without one it is no row of its own.
    const bool functionRowLast = settings.series == 'A' && !walk.lastGroupNumber.isEmpty() &&
                                 walk.lastElement.contains(QLatin1Char('X'));
    appendRecord(walk, functionRowLast ? walk.lastGroupNumber : walk.record.number, true);
    *rows = walk.row;
    return Result::Loaded;
}

void CatalogueReader::walkElement(Walk &walk, const QString &name, QXmlStreamReader &reader)
{
    const bool seriesA = walk.settings.series == 'A';
    const bool isGroup = seriesA && name.contains(QLatin1String("Group"));
    const bool isName = !isGroup && name.contains(QLatin1String("Name"));
    const bool isRange = !isGroup && !isName && name.contains(QLatin1String("Range"));
    const bool isUnit = !isGroup && !isName && !isRange && name.contains(QLatin1String("Unit"));
    const bool isDefault =
        !isGroup && !isName && !isRange && !isUnit && name.contains(QLatin1String("Default"));
    if (!isGroup && !isName && !isRange && !isUnit && !isDefault)
        return;
    const QString number = isGroup ? name.mid(5) : name.mid(4);
    // A key element must carry a parameter number; any other is no key.
    const bool startsRecord = isGroup || (isName && !seriesA);
    if (startsRecord && !isParameterNumber(number, isGroup))
        return;
    QString text;
    if (!elementText(reader, walk.settings.version, &text))
        return;
    walk.lastElement = name;
    if (startsRecord && number != walk.record.number)
        startRecord(walk, number);
    if (isGroup) {
        walk.lastGroupNumber = number;
        walk.record.group = text;
    } else if (isName) {
        walk.record.name = text;
    } else if (isRange) {
        walk.record.range = text;
        walk.record.fixedRange = false;
    } else if (isUnit) {
        walk.record.unit = withoutBlanks(text);
    } else {
        takeDefault(walk, name, text);
    }
}

void CatalogueReader::startRecord(Walk &walk, const QString &number)
{
    appendRecord(walk, walk.record.number, true);
    walk.record.number = number;
    walk.record.fixedRange = false;
    walk.record.fixedDefault = false;
}

// Rows whose default the capacity rules give get it here, whatever the
// record holds.
void CatalogueReader::appendRecord(Walk &walk, const QString &number, bool advance)
{
    ParameterRow row = walk.record;
    row.number = number;
    bool numeric = false;
    const int n = number.toInt(&numeric);
    if (numeric && walk.capacityDefaults.contains(n)) {
        row.defaultValue = walk.settings.computedDefaults ? walk.rules.computedDefault(n)
                                                          : walk.rules.shortCapacityDefault(n);
        row.fixedDefault = true;
    }
    m_table.addParameterRow(row, walk.row);
    if (advance)
        ++walk.row;
}

void CatalogueReader::takeDefault(Walk &walk, const QString &name, const QString &text)
{
    bool numeric = false;
    const int n = walk.record.number.toInt(&numeric);
    if (numeric && walk.capacityDefaults.contains(n))
        return;
    walk.record.defaultValue = text;
    walk.record.fixedDefault = false;
    if (walk.settings.multiValue && numeric) {
        const MultiValue value = walk.rules.multiValue(n);
        if (value.hasDefault) {
            walk.record.defaultValue = value.defaultValue;
            walk.record.fixedDefault = true;
        }
        if (value.hasRange) {
            walk.record.range = value.range;
            walk.record.fixedRange = true;
        }
    }
    // The parameter-function row ends a series 'A' catalogue: its default
    // puts it in place at once, under its group's number (none, no row).
    if (walk.settings.series == 'A' && !walk.lastGroupNumber.isEmpty() &&
        name.contains(QLatin1Char('X')))
        appendRecord(walk, walk.lastGroupNumber, false);
}

bool CatalogueReader::reloadTexts(const QString &fileName, char series, double version)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader reader(&file);
    // The language file lists the parameters in P-number order; a series 'A'
    // table in group order is put in that order for the reload.
    const bool groupOrder = series == 'A' &&
                            m_table.text(0, ParameterTable::GroupColumn) == QLatin1String("00-00");
    if (groupOrder)
        m_table.sortByColumn(ParameterTable::NumberColumn);
    reloadWalk(reader, series, version);
    if (groupOrder)
        m_table.sortByColumn(ParameterTable::GroupColumn);
    return true;
}

void CatalogueReader::reloadWalk(QXmlStreamReader &reader, char series, double version)
{
    Reload reload;
    reload.series = series;
    reload.version = version;
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            reloadElement(reload, reader.name().toString(), reader);
    }
}

void CatalogueReader::reloadElement(Reload &reload, const QString &name, QXmlStreamReader &reader)
{
    const bool isGroup = reload.series == 'A' && name.contains(QLatin1String("Group"));
    const bool isName = !isGroup && name.contains(QLatin1String("Name"));
    const bool isRange = !isGroup && !isName && name.contains(QLatin1String("Range"));
    const bool isDefault = !isGroup && !isName && !isRange &&
                           !name.contains(QLatin1String("Unit")) &&
                           name.contains(QLatin1String("Default"));
    QString text;
    if (!(isGroup || isName || isRange || isDefault) ||
        !elementText(reader, reload.version, &text))
        return;
    if (isGroup) {
        reload.group = text;
        reload.hasGroup = true;
        return;
    }
    if (isName) {
        // The scan stops at the end of the table; a name without a row is dropped.
        const int row = m_table.rowOfNumber(name.mid(4), reload.nextRow);
        reload.namedRow = row;
        if (row < 0)
            return;
        m_table.setText(row, ParameterTable::NameColumn, text);
        if (reload.hasGroup)
            m_table.setText(row, ParameterTable::GroupColumn, reload.group);
        reload.hasGroup = false;
        reload.nextRow = row + 1;
        return;
    }
    const int row = reload.namedRow;
    const int column = isRange ? ParameterTable::RangeColumn : ParameterTable::DefaultColumn;
    if (row < 0 || m_table.isFixedText(row, column))
        return;
    if (isDefault && text.contains(QLatin1String("---")))
        return;
    m_table.setText(row, column, text);
}
