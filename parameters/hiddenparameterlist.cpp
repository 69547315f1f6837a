#include "hiddenparameterlist.h"

#include "cataloguefiles.h"
#include "catalogueversion.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {
QString versionedValue(QXmlStreamReader &reader, double version)
{
    QString text;
    const QString raw = reader.readElementText(QXmlStreamReader::IncludeChildElements);
    if (reader.hasError())
        return QString();
    return CatalogueVersion::selectText(raw, version, &text) ? text : QString();
}
}  // namespace

void HiddenParameterList::load(char series, double version)
{
    QList<Entry> entries;
    QFile file(CatalogueFiles::hiddenParameterPath(series));
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly))
        entries = parse(&file, version);
    QMutexLocker lock(&m_mutex);
    m_entries = entries;
}

void HiddenParameterList::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}

QList<HiddenParameterList::Entry> HiddenParameterList::entries() const
{
    QMutexLocker lock(&m_mutex);
    return m_entries;
}

bool HiddenParameterList::unitOf(int number, QString *unit) const
{
    const QString name = QStringLiteral("P.") + QString::number(number);
    QMutexLocker lock(&m_mutex);
    for (const Entry &entry : m_entries) {
        if (entry.name == name) {
            *unit = entry.unit;
            return true;
        }
    }
    return false;
}

// Each parameter element (Pr + number) carries a DefaultValue child followed
// by a Unit child; the Unit completes the entry. The root's name is not read.
QList<HiddenParameterList::Entry> HiddenParameterList::parse(QIODevice *device, double version)
{
    QList<Entry> entries;
    QXmlStreamReader reader(device);
    if (!reader.readNextStartElement())
        return entries;
    Entry current;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.name().toString();
        if (name.contains(QLatin1String("Pr"))) {
            current.name = QStringLiteral("P.") + name.mid(2);
        } else if (name.contains(QLatin1String("DefaultValue"))) {
            current.defaultValue = versionedValue(reader, version);
        } else if (name.contains(QLatin1String("Unit"))) {
            current.unit = versionedValue(reader, version);
            if (!current.defaultValue.isEmpty() && !current.unit.isEmpty())
                entries.append(current);
        }
    }
    return entries;
}

void HiddenParameterList::setEntries(const QList<Entry> &entries)
{
    QMutexLocker lock(&m_mutex);
    m_entries = entries;
}
