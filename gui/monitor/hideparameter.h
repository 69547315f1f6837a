#pragma once

#include "monitor/alarmdrive.h"
#include "parameters/hiddenparameterlist.h"

#include "base/drivetarget.h"

#include <QWidget>

#include <functional>
#include <memory>

class AlarmCode;
class JobProgressPanel;
class LinkJob;
class LinkWorker;
class ParameterAccess;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTextEdit;

// "System Diagnosis": the drive's alarm history, its accumulated run time,
// and "Save All", which writes both with the drive information of the
// monitor page's tool bar. "Service mode" asks for the service password and
// then offers the hidden-parameter table and, on the series that have it,
// the RAM monitor tab. Every drive read runs on the link worker.
class HideParameter : public QWidget
{
    Q_OBJECT
public:
    // `parameters` (may be null: nothing can be read) must outlive the page;
    // `alarms` gives the alarm names.
    HideParameter(LinkWorker &worker, ParameterAccess *parameters, AlarmCode *alarms,
                  QWidget *parent = nullptr);
    ~HideParameter() override;

    // The tool-bar texts "Save All" writes: captions and values of type,
    // version, output current, input voltage and power.
    using DriveInfo = std::function<QList<QPair<QString, QString>>()>;
    void setDriveInfo(DriveInfo info) { m_driveInfo = std::move(info); }
    // The window has read the drive's identity: "Save All" has something to save.
    void setIdentityKnown(bool known);
    void setTerminalWatch(std::function<bool()> watching) { m_terminalWatch = std::move(watching); }
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }

    bool hiddenMode() const { return m_hiddenMode; }
    // Turns hidden mode on: the hidden-parameter table of the attached
    // series, "Read Hide Pr." and, where offered, "Monitor Ram".
    void fillHiddenTable();
    // Ends the reads in flight (the page closes).
    void cancelReads();
    bool isBusy() const { return bool(m_job); }

    QTextEdit *historyBox() const { return m_history; }
    QLineEdit *runTimeField() const { return m_runTime; }
    QPushButton *historyButton() const { return m_historyButton; }
    QPushButton *runTimeButton() const { return m_runTimeButton; }
    QPushButton *saveButton() const { return m_saveButton; }
    QPushButton *serviceButton() const { return m_serviceButton; }
    QPushButton *readHiddenButton() const { return m_readHiddenButton; }
    QPushButton *ramButton() const { return m_ramButton; }
    JobProgressPanel *progressPanel() const { return m_progress; }
    QTableWidget *hiddenTable() const { return m_table; }

public slots:
    bool ReadAllValue();
    void historyAlarm();
    void runTime();
    void monitorRam();
    void saveMessage();
    void showPassWorkDlg();

signals:
    // "Monitor Ram": the window shows its RAM tab, or hides it.
    void ramPageToggled();

protected:
    void changeEvent(QEvent *event) override;

private:
    // The alarm reading rules of the window's drive.
    AlarmDrive pageDrive() const;
    void retranslate();
    void fitTableToHeaders();
    void setBusy(const std::shared_ptr<LinkJob> &job);
    void jobEnded();

    LinkWorker &m_worker;
    ParameterAccess *m_parameters;
    AlarmCode *m_alarms;
    // The drive of the window the page belongs to: its reads go there.
    const DriveTarget m_target;
    QPushButton *m_historyButton;
    QPushButton *m_runTimeButton;
    QPushButton *m_saveButton;
    QPushButton *m_serviceButton;
    QPushButton *m_readHiddenButton;
    QPushButton *m_ramButton;
    QLabel *m_historyCaption;
    QLabel *m_runTimeCaption;
    QLabel *m_tableCaption;
    QTextEdit *m_history;
    QLineEdit *m_runTime;
    QTableWidget *m_table;
    QWidget *m_hiddenPanel;
    bool m_hiddenMode = false;
    HiddenParameterList m_hiddenList;
    std::shared_ptr<LinkJob> m_job;
    JobProgressPanel *m_progress = nullptr;
    DriveInfo m_driveInfo;
    bool m_identityKnown = false;
    std::function<bool()> m_terminalWatch;
    FileNameAsker m_askFileName;
};
