#pragma once

#include "alarmlamps.h"

#include "monitor/alarmcodes.h"

#include "base/drivetarget.h"

#include <QWidget>

#include <functional>
#include <memory>

class LinkJob;
class LinkWorker;
class ParameterAccess;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

// "Alarm Code": a lamp for each alarm the drive's series knows, the lamp of
// the alarm the drive reports lit, and a time-stamped log of the alarms
// with the operating data the drive stored for them. The status panel asks
// for the current alarm on every tick while the alarm bit is set; the reads
// run on the link worker, one at a time: a tick that finds a read in flight
// asks nothing. The operating data are read two seconds after the alarm
// (the drive stores them meanwhile) without holding up the window.
class AlarmCode : public QWidget, public AlarmLamps
{
    Q_OBJECT
public:
    static constexpr int kLampCount = 60;
    // How long the drive needs to store an alarm's operating data.
    static constexpr int kRecordDelayMs = 2000;

    // `parameters` (may be null: no operating data) must outlive the page.
    AlarmCode(LinkWorker &worker, ParameterAccess *parameters, QWidget *parent = nullptr);
    ~AlarmCode() override;

    // The lamps of the attached series and version (alarm.txt).
    void loadLampNames();
    // The abbreviation of alarm `number`, "" when unknown, "-1" when
    // alarmCode.txt cannot be read (a warning says so).
    QString lookupAlarmName(int number);
    // The alarm-code table, loaded again (with the warning) when empty.
    AlarmCodeTable codeTable();

    // AlarmLamps (the status panel's timer).
    void showCurrentAlarm() override;
    void clearAlarmLamps() override;
    // Shows alarm `number` as the drive reported it.
    void showAlarm(int number);

    // Whether the monitor page watches the terminals (the continuing line).
    void setTerminalWatch(std::function<bool()> watching) { m_terminalWatch = std::move(watching); }
    // How "Save Message" asks for a file name (a file dialog by default).
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }

    // Ends the reads in flight and the pending record (the page closes).
    void cancelReads();
    // A read is in flight or the record is pending.
    bool isBusy() const;

    QLabel *lamp(int slot) const { return m_lamps[slot]; }
    QLabel *caption(int slot) const { return m_captions[slot]; }
    QTextEdit *historyBox() const { return m_history; }
    QPushButton *saveButton() const { return m_saveButton; }
    int lastShownCode() const { return m_lastShown; }

public slots:
    void SaveMessage();

protected:
    void changeEvent(QEvent *event) override;

private:
    void loadCodeTable();
    void retranslate();
    void alarmAnswered(LinkJob *job, int number);
    void readRecord();
    void recordAnswered(LinkJob *job, const QStringList &lines);
    void append(const QString &line);

    LinkWorker &m_worker;
    ParameterAccess *m_parameters;
    // The drive of the window the page belongs to: its reads go there.
    const DriveTarget m_target;
    QLabel *m_lamps[kLampCount] = {};
    QLabel *m_captions[kLampCount] = {};
    QLabel *m_historyCaption;
    QPushButton *m_saveButton;
    QTextEdit *m_history;
    QTimer *m_recordDelay;
    AlarmCodeTable m_codes;
    QStringList m_lampNames;
    int m_lastShown = 0;
    int m_latestRead = 0;
    // Raised by every clear: an answer asked for before it is stale.
    unsigned m_clearCount = 0;
    std::shared_ptr<LinkJob> m_job;
    std::function<bool()> m_terminalWatch;
    FileNameAsker m_askFileName;
};
