#include "alarmrecords.h"

#include "base/drivetarget.h"

#include "parameteraccess.h"

#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parameterstate.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {
constexpr int kItemSelect = 290;     // item 1..7 of the newest alarm
constexpr int kItemValue = 291;
constexpr int kHistorySelect = 288;  // history entry 1..12
constexpr int kHistoryAlarm = 289;
constexpr int kFrequencyResolution = 187;
constexpr double kEmptyItem = 0;
constexpr double kFailedItem = -1;
const QString kFailed = QStringLiteral("-1");

QString readAll(const QString &fileName, bool *opened, QString *error)
{
    QFile file(fileName);
    *opened = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!*opened) {
        if (error)
            *error = file.errorString();
        return QString();
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    return in.readAll();
}
}  // namespace

// --- alarm codes ------------------------------------------------------------

bool AlarmCodeTable::load(const QString &fileName, QString *error)
{
    bool opened = false;
    const QString text = readAll(fileName, &opened, error);
    if (!opened)
        return false;
    setText(text);
    return true;
}

void AlarmCodeTable::setText(const QString &text)
{
    m_lines.clear();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QString l = line;
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (!l.isEmpty())
            m_lines.append(l.split(QLatin1Char('-')));
    }
}

QString AlarmCodeTable::lookup(int number, char series) const
{
    const bool brakeAsBi = series == 'B' || series == 'E' || series == 'X';
    QString name;
    for (const QStringList &parts : m_lines) {
        bool ok = false;
        const int n = parts.value(0).trimmed().toInt(&ok);
        if (!ok || n != number)
            continue;
        name = brakeAsBi && parts.value(0) == QLatin1String("112") ? QStringLiteral("BI")
                                                                    : parts.value(1);
    }
    return name;
}

// --- lamp list --------------------------------------------------------------

QStringList AlarmLampList::parse(const QString &text, char series, double version)
{
    QStringList entries;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList selector = lines.at(i).split(QLatin1Char('-'));
        if (selector.size() < 3 || selector.at(0) != QString(QLatin1Char(series)))
            continue;
        bool lowOk = false;
        bool highOk = false;
        const double low = selector.at(1).toDouble(&lowOk);
        const double high = selector.at(2).toDouble(&highOk);
        if (!lowOk || !highOk || !(low <= version && version < high) || i + 1 >= lines.size())
            continue;
        ++i;
        entries += lines.at(i).split(QLatin1Char('-'));
    }
    return entries;
}

QStringList AlarmLampList::read(const QString &fileName, char series, double version)
{
    bool opened = false;
    const QString text = readAll(fileName, &opened, nullptr);
    return opened ? parse(text, series, version) : QStringList();
}

QStringList AlarmLampList::lampNames(const QStringList &entries)
{
    QStringList names;
    for (int i = 0; 2 * i + 1 < entries.size(); ++i)
        names.append(entries.at(2 * i + 1));
    return names;
}

// --- the drive --------------------------------------------------------------

AlarmDrive AlarmDrive::current()
{
    AlarmDrive d;
    d.series = seriesLetter();
    // A window bound to its drive keeps the catalogue version it was opened with.
    const DriveTarget *bound = DriveTargetScope::bound();
    d.version = bound && !bound->catalogueVersion.isEmpty() ? bound->catalogueVersion.toDouble()
                                                            : catalogueVersionNumber();
    d.model = modelString();
    d.readP187 = isSeriesFeature(QStringLiteral("alarmcode_readP187"));
    d.recordsData = isSeriesFeature(QStringLiteral("alarmcode_errorInfomation"));
    d.historyByRegister = isSeriesFeature(QStringLiteral("hideparameter_errorInfomation"));
    return d;
}

bool AlarmDrive::continuingLineWithTerminals() const
{
    switch (series) {
    case 'L':  // ZM-KX
    case 'F':  // ZM
        return true;
    case 'G':  // ZM-K
        return version >= 0.2;
    case 'X':  // ZP2
        return version > 0.6;
    case 'T':  // ZR2
        return version >= 0.4;
    default:
        return false;
    }
}

bool AlarmDrive::offersRamMonitor() const
{
    switch (series) {
    case 'G':
        return version >= 0.2;
    case 'X':
        return version >= 0.6;
    case 'T':
        return version >= 0.3;
    case 'L':
    case 'A':
        return true;
    default:
        return false;
    }
}

// --- operating data ---------------------------------------------------------

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
    lines << tr("           Accumulative motor operation time:: ") + days + QStringLiteral(" day ") +
                 minutes + QStringLiteral(" min ");
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
    return days + QStringLiteral(" day ") + minutes + QStringLiteral(" min ");
}

// --- the history ------------------------------------------------------------

AlarmHistoryJob::AlarmHistoryJob(ParameterAccess &parameters, const AlarmDrive &drive,
                                 const AlarmCodeTable &codes, bool terminalsWatched)
    : m_parameters(parameters), m_drive(drive), m_codes(codes),
      m_terminalsWatched(terminalsWatched)
{
}

bool AlarmHistoryJob::appendAlarm(AlarmRecordReader &reader, int n)
{
    const int number = reader.historyAlarmNumber(n);
    if (number < 0)
        return false;
    const QString caption =
        n == 1 && m_drive.historyByRegister
            ? QCoreApplication::translate("HideParameter", "Alarm 1")
            : QCoreApplication::translate("HideParameter", "Alarm ") + QString::number(n);
    m_lines << caption + QStringLiteral(" > ") + m_codes.lookup(number, m_drive.series);
    return true;
}

void AlarmHistoryJob::appendNonEmpty(const QString &line)
{
    if (!line.isEmpty())
        m_lines << line;
}

void AlarmHistoryJob::run()
{
    AlarmRecordReader reader(m_parameters, m_drive);
    if (!m_drive.historyByRegister) {
        for (int n = 1; n <= 4 && !isCancelled(); ++n)
            if (!appendAlarm(reader, n))
                return;
        return;
    }
    if (isCancelled() || !appendAlarm(reader, 1))
        return;
    const QStringList newest = reader.readAlarmRecord();
    if (newest.isEmpty())
        return;
    m_lines += newest.mid(0, 2);
    int next = 2;
    if (m_drive.isSeriesA()) {
        appendNonEmpty(reader.readContinuingLine());
        if (isCancelled() || !appendAlarm(reader, 2))
            return;
        const QStringList previous = reader.readPreviousAlarmRecord();
        if (previous.isEmpty())
            return;
        m_lines += previous.mid(0, 2);
        // The second alarm's own continuing time and status word.
        appendNonEmpty(reader.readPreviousContinuingLine());
        next = 3;
    } else if (m_drive.continuingLineWithTerminals() && m_terminalsWatched) {
        appendNonEmpty(reader.readContinuingLine());
    }
    UserInteraction *ui = userInteraction();
    UserInteraction::ProgressSetup setup;
    setup.title = QCoreApplication::translate("HideParameter", "Reading parameters...");
    setup.cancelText = QCoreApplication::translate("HideParameter", "Cancel");
    setup.minimum = 0;
    setup.maximum = kHistoryDepth;
    ui->progressStart(setup);
    ui->progressSetValue(1);
    for (int n = next; n <= kHistoryDepth; ++n) {
        if (!appendAlarm(reader, n))
            break;
        if (ui->progressCancelled() || isCancelled())
            break;
        ui->progressSetValue(n);
    }
    ui->progressEnd();
}
