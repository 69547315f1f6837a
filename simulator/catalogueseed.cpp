#include "catalogueseed.h"

#include "simulateddrive.h"

#include "base/sharedstate.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace {
struct Entry {
    int number = -1;
    QString unit;
    QString range;
    QString defaultText;
};

// "low-high\text" applies only to catalogue versions from low to high.
bool textForVersion(const QString &raw, double version, QString *text)
{
    const QStringList parts = raw.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 2) {
        *text = parts.value(0);
        return true;
    }
    const QStringList window = parts.at(0).split(QLatin1Char('-'));
    const double low = window.value(0).toDouble();
    const double high = window.value(1).toDouble();
    if (version < low - 1e-9 || version > high + 1e-9)
        return false;
    *text = parts.at(1);
    return true;
}

// The resolution of a two-resolution unit ("0.01s/0.1s"): acceleration time
// units follow P.21, current units the drive's size.
int twoResolutionDigits(const SimulatedDrive &drive, const QString &unit)
{
    if (unit.endsWith(QLatin1Char('s'))) {
        const bool fine = !drive.hasParameter(21) || drive.parameter(21).value == 0;
        return fine ? 2 : 1;
    }
    const bool big = drive.series() == 'A' ? drive.capacity() >= 160 : drive.capacity() > 160;
    return big ? 1 : 2;
}

quint16 toRaw(double value, int digits)
{
    const double raw = std::round(value * std::pow(10.0, digits));
    return quint16(std::max(0.0, std::min(65535.0, raw)));
}

// Range texts such as "0~400Hz,9999", "0,1" or "0~360s/0~3600s".
void applyRange(SimulatedDrive::Parameter &p, const QString &range, int digits, bool firstVariant)
{
    static const QRegularExpression number(QStringLiteral("-?\\d+(\\.\\d+)?"));
    double low = 1e18, high = -1e18;
    bool unset = false;
    for (QString token : range.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList variants = token.split(QLatin1Char('/'));
        token = variants.value(firstVariant ? 0 : variants.size() - 1);
        if (token.trimmed() == QLatin1String("9999") || token.trimmed() == QLatin1String("99999")) {
            unset = true;
            continue;
        }
        auto it = number.globalMatch(token);
        while (it.hasNext()) {
            const double v = it.next().captured(0).toDouble();
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high)
        return;
    p.minimum = toRaw(low, digits);
    p.maximum = toRaw(high, digits);
    if (unset)
        p.allowsUnset = true;
}

// P.996 to P.999 name the parameter functions, which run through the function
// register: the drive holds no value under those numbers.
bool isParameterFunction(int number) { return number >= 996 && number <= 999; }

// The alarm history and run-time registers are records the drive keeps
// itself; a catalogue entry of the same number must not shadow them.
bool isRecordRegister(const SimulatedDrive &drive, int number)
{
    if (number >= 288 && number <= 293)
        return true;
    const char series = drive.series();
    if ((series == 'S' || series == 'C') && (number == 164 || number == 165))
        return true;
    return series == 'A' && number >= 752 && number <= 772;
}

void applyEntry(SimulatedDrive &drive, const Entry &e)
{
    if (e.number < 0 || e.number >= 1600 || e.number == 77 || drive.isIdentityRegister(e.number) ||
        isParameterFunction(e.number) || isRecordRegister(drive, e.number))
        return;
    const bool builtIn = drive.hasParameter(e.number);
    SimulatedDrive::Parameter p = builtIn ? drive.parameter(e.number) : SimulatedDrive::Parameter();
    const int builtInDigits = p.digits;
    const bool twoResolutions = e.unit.size() == 10 && e.unit.contains(QLatin1Char('/'));
    p.digits = twoResolutions ? twoResolutionDigits(drive, e.unit)
                              : CatalogueSeed::unitDigits(e.unit);
    const bool firstVariant = !twoResolutions ||
                              p.digits == CatalogueSeed::unitDigits(e.unit.section('/', 0, 0));
    p.minimum = 0;
    p.maximum = 0xFFFF;
    applyRange(p, e.range, p.digits, firstVariant);
    bool ok = false;
    const double value = e.defaultText.toDouble(&ok);
    // P.56 holds the drive's rated current, whatever the catalogue's default.
    if (e.number == 56)
        ok = false;
    if (ok && (value == 9999 || value == 99999))
        p.defaultValue = 0xFFFF;
    else if (ok)
        p.defaultValue = toRaw(value, p.digits);
    else if (builtIn)  // "---": the drive computes it from its size; keep what it has
        p.defaultValue = toRaw(p.defaultValue * std::pow(10.0, -builtInDigits), p.digits);
    else  // "---" and no rule of the drive's: the lowest value it accepts, never one it refuses
        p.defaultValue = p.minimum;
    p.value = p.defaultValue;
    drive.defineParameter(e.number, p);
}
}  // namespace

int CatalogueSeed::unitDigits(const QString &unit)
{
    const int one = unit.indexOf(QLatin1Char('1'));
    switch (one) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    default: return 0;
    }
}

QString CatalogueSeed::catalogueFile(char series)
{
    return dataPath(QStringLiteral("InvParameter/%1_InvParameter_Eng.xml").arg(QChar(series)));
}

bool CatalogueSeed::apply(SimulatedDrive &drive, const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    static const QRegularExpression element(
        QStringLiteral("^(Pr|Name|Range|Unit|Default|Group)(\\d+)$"));
    QXmlStreamReader xml(&f);
    Entry entry;
    QString lastUnit;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto match = element.match(xml.name().toString());
        if (!match.hasMatch())
            continue;
        const QString kind = match.captured(1);
        if (kind == QLatin1String("Pr")) {
            if (entry.number >= 0)
                applyEntry(drive, entry);
            entry = Entry();
            entry.number = match.captured(2).toInt();
            entry.unit = lastUnit;  // a missing unit repeats the one before
            continue;
        }
        QString text;
        if (!textForVersion(xml.readElementText(), drive.version(), &text))
            continue;
        if (kind == QLatin1String("Unit"))
            entry.unit = lastUnit = text;
        else if (kind == QLatin1String("Range"))
            entry.range = text;
        else if (kind == QLatin1String("Default"))
            entry.defaultText = text;
    }
    if (entry.number >= 0)
        applyEntry(drive, entry);
    return !xml.hasError();
}

std::shared_ptr<SimulatedDrive> makeSimulatedDrive(int station, const QString &model,
                                                   double version)
{
    auto drive = std::make_shared<SimulatedDrive>(station, model, version);
    CatalogueSeed::apply(*drive, CatalogueSeed::catalogueFile(drive->series()));
    return drive;
}
