#pragma once

#include "alarmdrive.h"

#include <QCoreApplication>
#include <QStringList>

class ParameterAccess;

// The operating data the drive stored with its newest alarms, read item by
// item: on most series the item number is written to register 290 and the
// value read from 291; series A keeps the newest alarm in 752-758 and the one
// before in 766-772. Every read goes through the current driver; call it on
// the link worker. A failed item is "-1".
class AlarmRecordReader
{
    Q_DECLARE_TR_FUNCTIONS(AlarmCode)
public:
    AlarmRecordReader(ParameterAccess &parameters, const AlarmDrive &drive);

    // Item 1 to 7 of the newest alarm (frequency, current, output voltage,
    // thermal rate, P-N voltage, continuing operation time, status word);
    // "" for a frequency whose resolution the drive does not say.
    QString readItem(int item);
    // The same of the alarm before it (series A).
    QString readPreviousItem(int item);

    // Three lines (data, data, accumulated run time), none when an item of
    // the first five failed.
    QStringList readAlarmRecord();
    QStringList readPreviousAlarmRecord();
    // The continuing-operation line, "" when its items failed; of the
    // newest alarm, and of the one before it (series A).
    QString readContinuingLine();
    QString readPreviousContinuingLine();
    // What the alarm log adds after an alarm: the record's first two lines,
    // the continuing line where the drive has it, the run-time line.
    QStringList readLoggedRecord(bool terminalsWatched);

    // The alarm the drive reports now (the low byte of "M0N"), -1 on failure.
    static int currentAlarmNumber();
    // History alarm n (1 = newest): through register 288/289, or through
    // "M0N"/"M1N" (n up to 4); -1 when the drive refused.
    int historyAlarmNumber(int n);

    // The accumulated run time ("12 day 345 min "), "" when a read failed.
    QString runTimeText();

    // The factor of the current item by the model's capacity (its third
    // piece): 0.1 above 160 kW, else 0.01.
    static double currentFactor(const QString &model);
    static QString formatValue(double value);
    // "12 day 345 min " in the language of the window.
    static QString daysAndMinutes(const QString &days, const QString &minutes);

private:
    QString readItemAt(int item, bool previous);
    // The register factor of an item; 0 for an empty item, -1 when a read
    // it depends on failed.
    double itemFactor(int item);
    QStringList record(bool previous);
    QString continuingLine(bool previous);
    QString readParameterText(int number);

    ParameterAccess &m_parameters;
    AlarmDrive m_drive;
};
