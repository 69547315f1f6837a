#include "catalogueversion.h"
#include "link/driverregistry.h"

#include "cataloguefiles.h"
#include "parameterstate.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

#include <QPair>

namespace {
const char kSeriesLetters[] = "ABCESHFGXTL";

struct BuiltIn {
    char series;
    double limit;
    const char *version;
};
const BuiltIn kBuiltIn[] = {
    {'B', 0.4, nullptr},   {'C', 0.4, "0.40"},   {'E', 1.0, nullptr},  {'S', 1.1, "1.10"},
    {'H', 0.1, nullptr},   {'F', 1.0, "1.00"},   {'G', 0.33, "0.330"}, {'X', 0.6, "0.600"},
    {'T', 0.43, "0.430"},  {'L', 0.14, "0.140"}, {'A', 0.1, "0.100"},
};

double readRegisterOrFail(int address, double scale)
{
    ReadWrite *driver = currentDriver();
    return driver ? driver->readRegister(address, scale) : -1;
}
}  // namespace

CatalogueVersion::CatalogueVersion() { loadLimits(); }

// The built-in limits stand for every series the file does not list, so that
// a Version.txt without a line for a series does not cap it at 0.
void CatalogueVersion::loadLimits()
{
    m_limits.clear();
    for (const BuiltIn &b : kBuiltIn)
        m_limits.insert(b.series, b.limit);
    QList<QPair<QString, QString>> lines;
    if (!CatalogueFiles::readVersionLines(&lines))
        return;
    for (const auto &line : lines) {
        bool ok = false;
        const double limit = line.second.toDouble(&ok);
        const char letter = line.first.size() == 1 ? line.first.at(0).toLatin1() : '\0';
        if (letter && QByteArray(kSeriesLetters).contains(letter) && ok)
            m_limits.insert(letter, limit);
    }
}

QString CatalogueVersion::builtInVersion(char series)
{
    for (const BuiltIn &b : kBuiltIn)
        if (b.series == series && b.version)
            return QString::fromLatin1(b.version);
    return QString();
}

void CatalogueVersion::determineCatalogueVersion()
{
    const char series = seriesLetter();
    QString found;
    if (series == 'B') {
        found = QStringLiteral("0.40");
    } else if (series == 'H') {
        found = QStringLiteral("0.10");
    } else if (series == 'E') {
        const QStringList fields = modelString().remove(QLatin1Char('K')).split(QLatin1Char('-'));
        found = fields.value(2).toDouble() < 5.5 ? QStringLiteral("1.00") : QStringLiteral("0.70");
    } else {
        found = versionFromDrive(series);
    }
    setDeviceVersion(found);
    const double limit = m_limits.value(series, 0);
    if (found.toDouble() > limit)
        found = QString::number(limit, 'g', 6);
    setCatalogueVersion(found.left(4));
}

QString CatalogueVersion::versionFromDrive(char series)
{
    const QString version = QString::number(readRegisterOrFail(188, 0.01), 'g', 6);
    if (version == QLatin1String("-1")) {
        setVersionReadFromDrive(false);
        return fallbackVersion(series);
    }
    if (isSeriesFeature(QStringLiteral("Parameter_readP186"))) {
        const QString p186 = QString::number(readRegisterOrFail(186, 1), 'g', 6);
        setP186Value(p186 == QLatin1String("-1") ? QStringLiteral("0") : p186);
    }
    setVersionReadFromDrive(true);
    return version;
}

// Version.txt's line for the series, else the built-in version (also when
// the file is there but has no line for the series).
QString CatalogueVersion::fallbackVersion(char series) const
{
    QList<QPair<QString, QString>> lines;
    if (CatalogueFiles::readVersionLines(&lines)) {
        for (const auto &line : lines)
            if (line.first == QLatin1Char(series))
                return line.second;
    }
    return builtInVersion(series);
}

bool CatalogueVersion::selectText(const QString &elementText, double version, QString *text)
{
    const QStringList parts = elementText.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    if (parts.size() == 1) {
        *text = parts.at(0);
        return true;
    }
    const QStringList bounds = parts.at(0).split(QLatin1Char('-'));
    bool lowOk = false, highOk = false;
    const double low = bounds.value(0).trimmed().toDouble(&lowOk);
    const double high = bounds.value(1).trimmed().toDouble(&highOk);
    if (bounds.size() != 2 || !lowOk || !highOk || version < low || version > high)
        return false;
    *text = parts.at(1);
    return true;
}
