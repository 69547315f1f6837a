#include "alarmrecordreader.h"
#include "link/driverregistry.h"

#include "parameteraccess.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parameterstate.h"

#include <QRegularExpression>

namespace {
constexpr int kItemSelect = 290;     // item 1..7 of the newest alarm
constexpr int kItemValue = 291;
constexpr int kHistorySelect = 288;  // history entry 1..12
constexpr int kHistoryAlarm = 289;
constexpr int kFrequencyResolution = 187;
constexpr double kEmptyItem = 0;
constexpr double kFailedItem = -1;
const QString kFailed = QStringLiteral("-1");
}  // namespace

AlarmRecordReader::AlarmRecordReader(ParameterAccess &parameters, const AlarmDrive &drive)
    : m_parameters(parameters), m_drive(drive)
{
}

QString AlarmRecordReader::formatValue(double value) { return QString::number(value, 'g', 6); }

double AlarmRecordReader::currentFactor(const QString &model)
{
    const QStringList pieces =
        model.split(QRegularExpression(QStringLiteral("[-/]")), Qt::SkipEmptyParts);
    QString capacity = pieces.value(2);
    capacity.chop(1);
    return capacity.toDouble() > 160 ? 0.1 : 0.01;
}

double AlarmRecordReader::itemFactor(int item)
{
    if (item == 1 && m_drive.readP187) {
        const double resolution = currentDriver()->readRegister(kFrequencyResolution, 1);
        if (resolution < 0)
            return kFailedItem;  // a failed read is no resolution
        if (resolution == 0)
            return 0.01;
        if (resolution == 1)
            return 0.1;
        return kEmptyItem;
    }
    const bool byModel = m_drive.isSeriesA() || m_drive.series == 'G' || m_drive.series == 'L';
    if (item == 2 && byModel)
        return currentFactor(m_drive.model);
    return item >= 5 ? 1 : 0.01;
}

QString AlarmRecordReader::readItemAt(int item, bool previous)
{
    if (item < 1 || item > 7)
        return kFailed;
    int address = kItemValue;
    if (m_drive.isSeriesA()) {
        address = (previous ? 765 : 751) + item;
    } else if (!m_parameters.writeParameter(kItemSelect, QString::number(item),
                                            QStringLiteral("1"))) {
        return kFailed;
    }
    const double factor = itemFactor(item);
    if (factor == kFailedItem)
        return kFailed;
    if (factor == kEmptyItem)
        return QString();
    const double value = currentDriver()->readRegister(address, factor);
    return value < 0 ? kFailed : formatValue(value);
}

QString AlarmRecordReader::readItem(int item) { return readItemAt(item, false); }

QString AlarmRecordReader::readPreviousItem(int item) { return readItemAt(item, true); }

QString AlarmRecordReader::readParameterText(int number)
{
    return formatValue(m_parameters.readParameter(number));
}

QStringList AlarmRecordReader::record(bool previous)
{
    QString items[5];
    for (int i = 0; i < 5; ++i) {
        items[i] = readItemAt(i + 1, previous);
        if (items[i] == kFailed)
            return {};
    }
    const QString indent = QStringLiteral("  ");
    QStringList lines;
    lines << indent + tr("         Frequency:: ") + items[0] + QStringLiteral("Hz") +
                 tr("    Current:: ") + items[1] + QStringLiteral("A") +
                 tr("    Output Voltage:: ") + items[2] + QStringLiteral("V");
    lines << indent + tr("         The accumulation rate of temperature:: ") + items[3] +
                 tr("    P-N Voltage:: ") + items[4] + QStringLiteral("V");
    const QString days = readParameterText(293);
    const QString minutes = readParameterText(292);
    lines << tr("           Accumulative motor operation time:: ") + daysAndMinutes(days, minutes);
    return lines;
}

QStringList AlarmRecordReader::readAlarmRecord() { return record(false); }

QStringList AlarmRecordReader::readPreviousAlarmRecord()
{
    return m_drive.isSeriesA() ? record(true) : QStringList();
}

QString AlarmRecordReader::readContinuingLine() { return continuingLine(false); }

QString AlarmRecordReader::readPreviousContinuingLine()
{
    return m_drive.isSeriesA() ? continuingLine(true) : QString();
}

QString AlarmRecordReader::continuingLine(bool previous)
{
    const QString minutes = readItemAt(6, previous);
    if (minutes == kFailed)
        return QString();
    QString line = QStringLiteral("  ") + tr("         Continuing Operation Time:: ") + minutes +
                   QStringLiteral("min");
    if (m_drive.series == 'X' || m_drive.series == 'T')
        return line;
    const QString status = readItemAt(7, previous);
    if (status == kFailed)
        return QString();
    return line + tr("    Status Word:: ") + status;
}

QStringList AlarmRecordReader::readLoggedRecord(bool terminalsWatched)
{
    const QStringList record = readAlarmRecord();
    if (record.isEmpty())
        return {};
    QStringList lines = record.mid(0, 2);
    if (m_drive.isSeriesA() || (m_drive.continuingLineWithTerminals() && terminalsWatched)) {
        const QString continuing = readContinuingLine();
        if (!continuing.isEmpty())
            lines << continuing;
    }
    lines << record.at(2);
    return lines;
}

int AlarmRecordReader::currentAlarmNumber()
{
    // The native driver selects its register group again first: the alarm
    // registers lie in another group than the one the monitor reads.
    linkState().groupReselect = true;
    const int word = currentDriver()->runFunction("M0N");
    return word < 0 ? -1 : (word & 0xFF);
}

int AlarmRecordReader::historyAlarmNumber(int n)
{
    if (m_drive.historyByRegister) {
        if (!m_parameters.writeParameter(kHistorySelect, QString::number(n), QStringLiteral("1")))
            return -1;
        const double number = m_parameters.readParameter(kHistoryAlarm);
        return number < 0 ? -1 : int(number);
    }
    if (n < 1 || n > 4)
        return -1;
    const int word = currentDriver()->runFunction(n <= 2 ? "M0N" : "M1N");
    if (word < 0)
        return -1;
    return n % 2 == 1 ? (word & 0xFF) : ((word >> 8) & 0xFF);
}

QString AlarmRecordReader::runTimeText()
{
    const bool lowRegisters = m_drive.series == 'S' || m_drive.series == 'C';  // ZR, ZW
    const QString minutes = readParameterText(lowRegisters ? 164 : 292);
    if (minutes == kFailed)
        return QString();
    const QString days = readParameterText(lowRegisters ? 165 : 293);
    if (days == kFailed)
        return QString();
    return daysAndMinutes(days, minutes);
}

QString AlarmRecordReader::daysAndMinutes(const QString &days, const QString &minutes)
{
    return tr("%1 day %2 min ").arg(days, minutes);
}
