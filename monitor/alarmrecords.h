#pragma once

#include "link/linkjob.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

class ParameterAccess;

// Alarm numbers and the abbreviations the program shows for them, one alarm
// a line in InvType/alarmCode.txt ("16-OC1-text": number, abbreviation,
// anything after is ignored). A value: copies go to the link worker.
class AlarmCodeTable
{
public:
    // Reads the file; false (and `error` set, the table unchanged) when it
    // cannot be opened.
    bool load(const QString &fileName, QString *error);
    void setText(const QString &text);
    bool isEmpty() const { return m_lines.isEmpty(); }
    // The abbreviation of the last line whose number is `number`, "" when
    // none. On ZD, ZP and ZP2 drives alarm 112 is always "BI".
    QString lookup(int number, char series) const;

private:
    QList<QStringList> m_lines;
};

// The alarm lamps of a drive, from InvType/alarm.txt: selector lines
// "letter-lowest-highest" each followed by a line of "-"-separated entries;
// every selector of the series whose range holds the version (lowest <= v <
// highest) adds its entries. Lamp i shows entry 2i+1.
namespace AlarmLampList {
QStringList parse(const QString &text, char series, double version);
// A missing file gives no entries.
QStringList read(const QString &fileName, char series, double version);
// The abbreviation of each lamp shown (entries 1, 3, 5, ...).
QStringList lampNames(const QStringList &entries);
}  // namespace AlarmLampList

// What the alarm reads need to know of the attached drive.
struct AlarmDrive {
    char series = '0';
    double version = 0;  // the catalogue version as a number
    QString model;       // the station's model text
    bool readP187 = false;      // P.187 tells the resolution of the frequency item
    bool recordsData = false;   // the drive stores operating data with an alarm
    bool historyByRegister = false;  // history alarm n is selected in register 288

    // The drive now attached (series, version, model, features).
    static AlarmDrive current();
    bool isSeriesA() const { return series == 'A'; }
    // Series whose newest alarm also has the continuing-operation line
    // when the terminals are watched (ZM, ZM-KX, ZM-K from 0.2, ZP2 above
    // 0.6, ZR2 from 0.4).
    bool continuingLineWithTerminals() const;
    // ZM-K from 0.2, ZP2 from 0.6, ZR2 from 0.3, ZM-KX and series A.
    bool offersRamMonitor() const;
    // ZP and ZD do not keep the run time where it can be read.
    bool offersRunTime() const { return series != 'E' && series != 'B'; }
};

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

// The drive's alarm history as the maintenance page lists it, on the link
// worker: "Alarm 1 > OC1" lines, the newest alarms with their operating data,
// the rest of the twelve with a progress dialog that can be cancelled.
// Lines read before a failure or a cancel are kept.
class AlarmHistoryJob : public LinkJob
{
    Q_OBJECT
public:
    // `parameters` must outlive the job.
    AlarmHistoryJob(ParameterAccess &parameters, const AlarmDrive &drive,
                    const AlarmCodeTable &codes, bool terminalsWatched);

    // After the job finished.
    QStringList lines() const { return isFinished() ? m_lines : QStringList(); }

    static constexpr int kHistoryDepth = 12;

protected:
    void run() override;

private:
    bool appendAlarm(AlarmRecordReader &reader, int n);
    void appendNonEmpty(const QString &line);

    ParameterAccess &m_parameters;
    const AlarmDrive m_drive;
    const AlarmCodeTable m_codes;
    const bool m_terminalsWatched;
    QStringList m_lines;
};
