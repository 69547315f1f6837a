#pragma once

#include "alarmcodes.h"
#include "alarmdrive.h"

#include "link/linkjob.h"

#include <QStringList>

class AlarmRecordReader;
class ParameterAccess;

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
    QString alarmName(int number) const;

    ParameterAccess &m_parameters;
    const AlarmDrive m_drive;
    const AlarmCodeTable m_codes;
    const bool m_terminalsWatched;
    QStringList m_lines;
};
