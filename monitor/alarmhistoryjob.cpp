#include "alarmhistoryjob.h"

#include "alarmrecordreader.h"

#include "base/userinteraction.h"

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
    m_lines << caption + QStringLiteral(" > ") + alarmName(number);
    return true;
}

// An entry the drive has not filled says so; a code the table does not know
// is shown by its number rather than as nothing.
QString AlarmHistoryJob::alarmName(int number) const
{
    if (number == 0)
        return QCoreApplication::translate("HideParameter", "(none)");
    const QString name = m_codes.lookup(number, m_drive.series);
    return name.isEmpty() ? QString::number(number) : name;
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
