#include "quantitylists.h"

#include "base/sharedstate.h"
#include "parameters/parameterstate.h"

#include <QCoreApplication>

DriveProfile DriveProfile::current() { return of(seriesLetter(), catalogueVersionNumber()); }

DriveProfile DriveProfile::of(char series, double version)
{
    DriveProfile d;
    d.series = series;
    d.version = version;
    d.plotListGF = isSeriesFeatureFor(series, QStringLiteral("mainDialPlot_plotComboBox_GF"));
    d.terminalPanel = isSeriesFeatureFor(series, QStringLiteral("mainDialPlot_ioState"));
    d.trendListGF = isSeriesFeatureFor(series, QStringLiteral("mainAdvPlot_PrComboBox_GF"));
    return d;
}

namespace QuantityLists {
namespace {
// The first four quantities every list starts with.
const char *const kCommon[] = {
    QT_TRANSLATE_NOOP("MainDialPlot", "Output Frequency"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output Voltage"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output Current"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Target Frequency"),
};
const char *const kExtended[] = {
    QT_TRANSLATE_NOOP("MainDialPlot", "2-5 Analog signal input"),
    QT_TRANSLATE_NOOP("MainDialPlot", "4-5 Analog signal input"),
    QT_TRANSLATE_NOOP("MainDialPlot", "AM Analog signal output"),
    QT_TRANSLATE_NOOP("MainDialPlot", "DC-Bus Voltage"),
    QT_TRANSLATE_NOOP("MainDialPlot", "The thermal accumulating record"),
    QT_TRANSLATE_NOOP("MainDialPlot", "The accumulation rate of temperature"),
};
// Positions 4 to 12 of the ZM-KX and series A lists.
const char *const kTerminalsToPower[] = {
    QT_TRANSLATE_NOOP("MainDialPlot", "Input status of external terminal"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output status of external terminal"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Input voltage of terminal 2-5"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Input voltage/current of terminal 4-5"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output voltage of terminal AM1-5"),
    QT_TRANSLATE_NOOP("MainDialPlot", "DC bus voltage"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Electronic thermal accumulation rate"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Temperature rising accumulation rate"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output power"),
};
const char *const kModuleTemperature = QT_TRANSLATE_NOOP("MainDialPlot", "NTC module temperature");
// Positions 13 to 19 of the ZM-KX list (14 to 20 of the series A list).
const char *const kMotorToAm2[] = {
    QT_TRANSLATE_NOOP("MainDialPlot", "Electronic thermal accumulation rate of motor"),
    QT_TRANSLATE_NOOP("MainDialPlot", "PID aim pressure"),
    QT_TRANSLATE_NOOP("MainDialPlot", "PID feedback pressure"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Rotating speed fedback by PG"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Input frequency of terminal HDI"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Input voltage of terminal 1-5"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Output voltage of terminal AM2-5"),
};
const char *const kSeriesATail[] = {
    QT_TRANSLATE_NOOP("MainDialPlot", "Output torque"),
    QT_TRANSLATE_NOOP("MainDialPlot", "Input voltage of terminal 3-5"),
};

template <size_t N>
void append(QList<const char *> &to, const char *const (&texts)[N])
{
    for (const char *t : texts)
        to.append(t);
}

QList<const char *> sources(List list)
{
    QList<const char *> texts;
    append(texts, kCommon);
    switch (list) {
    case Basic:
        break;
    case Extended:
        append(texts, kExtended);
        break;
    case ZmKx:
        append(texts, kTerminalsToPower);
        append(texts, kMotorToAm2);
        break;
    case SeriesA:
        append(texts, kTerminalsToPower);
        texts.append(kModuleTemperature);
        append(texts, kMotorToAm2);
        append(texts, kSeriesATail);
        break;
    }
    return texts;
}

// Units by position: basic and extended lists, ZM-KX list, series A list.
const char *const kUnitsBasic[] = {"Hz(r/min)", "V", "A", "Hz(r/min)", "V",
                                   "A",         "V", "V", "",          ""};
const char *const kUnitsZmKx[] = {"Hz(r/min)", "V", "A", "Hz(r/min)", "",   "",  "V",
                                  "V",         "V", "V", "",          "",   "kW", "",
                                  "%",         "%", "Hz", "kHz",      "V",  "V"};
const char *const kUnitsA[] = {"Hz(r/min)", "V", "A",  "Hz(r/min)", "",  "",  "V",  "V",
                               "V",         "V", "",   "",          "kW", "", "",   "%",
                               "%",         "Hz", "kHz", "V",       "V",  "",  "V"};

template <size_t N>
QString unitIn(const char *const (&units)[N], int position)
{
    return position >= 0 && position < int(N) ? QString::fromLatin1(units[position]) : QString();
}
}  // namespace

List dialList(const DriveProfile &d)
{
    if (d.series == 'F' || d.zmkFrom02() || d.zp2From06() || d.series == 'T')
        return Extended;
    if (d.series == 'L')
        return ZmKx;
    if (d.series == 'A')
        return SeriesA;
    return Basic;
}

List plotList(const DriveProfile &d)
{
    if (d.plotListGF)
        return d.series == 'F' || d.zmkFrom02() ? Extended : Basic;
    if (d.zp2From06() || d.series == 'T')
        return Extended;
    if (d.series == 'L')
        return ZmKx;
    if (d.series == 'A')
        return SeriesA;
    return Basic;
}

// As the plot's list, under the trend recorder's own feature switch.
List trendList(const DriveProfile &d)
{
    DriveProfile trend = d;
    trend.plotListGF = d.trendListGF;
    return plotList(trend);
}

QStringList sourceCaptions(List list)
{
    QStringList texts;
    for (const char *t : sources(list))
        texts.append(QString::fromLatin1(t));
    return texts;
}

QStringList captions(List list)
{
    QStringList texts;
    for (const char *t : sources(list))
        texts.append(QCoreApplication::translate(kContext, t));
    return texts;
}

QString unit(char series, int position)
{
    if (series == 'L')
        return unitIn(kUnitsZmKx, position);
    if (series == 'A')
        return unitIn(kUnitsA, position);
    return unitIn(kUnitsBasic, position);
}

int statusPosition(char series) { return series == 'L' ? 20 : series == 'A' ? 23 : 12; }

int terminalInputPosition(char series) { return series == 'L' || series == 'A' ? 4 : 10; }

int terminalOutputPosition(char series) { return series == 'L' || series == 'A' ? 5 : 11; }

int flagsClearedOnStop(char series) { return series == 'L' ? 21 : series == 'A' ? 24 : 13; }

bool watchesTerminals(const DriveProfile &d)
{
    return d.series == 'T' || d.zp2From06() || d.zmkFrom02() || d.series == 'L' ||
           d.series == 'A';
}
}  // namespace QuantityLists
