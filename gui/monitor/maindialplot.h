#pragma once

#include "gui/widgets/dialogrunner.h"
#include "monitor/quantitylists.h"

#include "base/drivetarget.h"
#include "monitor/monitorpages.h"

#include <QMainWindow>

#include <atomic>
#include <functional>
#include <memory>

class AlarmCode;
class Cockpit;
class HideParameter;
class InverterState;
class IOState;
class LinkJob;
class LinkWorker;
class MonitorThread;
class ParameterAccess;
class Plot;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QTabWidget;
class QToolButton;

namespace Ui {
class MainDialPlot;
}

// The monitor window: three dials, the sample plot of one more quantity with
// its value, the status and terminal lamps, and the drive's identity in the
// tool bar. The page does not talk to the drive: it asks the monitor thread
// for the quantities it shows (the dial request flags), the thread hands
// the values over at the end of every cycle (takeSample) and the page's
// timers repaint every 30 ms. Made with create(), as the monitor thread
// calls it.
class MainDialPlot : public QMainWindow, public DialPageSink
{
    Q_OBJECT
public:
    // Idle: Run offered. Starting: the identity is being read on the link
    // worker. Running: the monitor thread samples for the page.
    enum class State { Idle, Starting, Running };

    // A page the monitor thread calls, attached to it as its dial page.
    // `monitor` may be null (no monitoring offered); `parameters` is the
    // catalogue access the identity read uses and must outlive the page.
    static MonitorPage<MainDialPlot> *create(MonitorThread *monitor, LinkWorker &worker,
                                             ParameterAccess *parameters,
                                             QWidget *parent = nullptr);

    // Use create(); public for MonitorPage.
    MainDialPlot(MonitorThread *monitor, LinkWorker &worker, ParameterAccess *parameters,
                 QWidget *parent);
    ~MainDialPlot() override;

    State state() const { return m_state; }
    const DriveProfile &drive() const { return m_drive; }
    const DriveTarget &driveTarget() const { return m_target; }

    // Monitor thread.
    void takeSample() override;
    void showDriveInfo(const QStringList &info) override;

    // The dial option dialog's choices.
    void setLeftDialMax(double maximum);
    void setMidDialMax(double maximum);
    void setRightDialMax(double maximum);

    Cockpit *cockpit() const;
    InverterState *statusPanel() const;
    IOState *terminalPanel() const;
    Plot *plot() const;
    QComboBox *plotSelector() const;
    QLineEdit *sampleValueField() const;
    QAction *runAction() const;
    QAction *stopAction() const;
    QAction *exitAction() const;
    QToolButton *optionButton() const;
    QToolButton *clearButton() const;
    // The identity fields: type, version, output current, input voltage, power.
    QLabel *infoValue(int field) const { return m_infoValues[field]; }
    bool terminalMonitoringActive() const { return m_terminalWatch.load(); }
    // The "Alarm Code" and "System Diagnosis" tabs.
    AlarmCode *alarmCodePage() const { return m_alarmCode; }
    HideParameter *diagnosisPage() const { return m_hideParameter; }
    QTabWidget *tabWidget() const;

    // Makes the page of the "RAM" tab that the service mode adds (the main
    // window sets the RAM monitor; without a factory there is no such tab).
    using PageFactory = std::function<QWidget *(QWidget *parent)>;
    void setRamPageFactory(PageFactory factory);
    // The "RAM" tab's page while it is shown, else null.
    QWidget *ramPage() const;

    // How the option dialogs are run (exec() by default); also the cockpit's.
    void setDialogRunner(DialogRunner runner);

    enum InfoField { TypeField, VersionField, CurrentField, VoltageField, PowerField };

public slots:
    void startMonitor();
    void stopMonitor();
    void setPlotValue(double seconds, double maximum);
    void clearPlotCurve();
    void optionPlot();
    void updateLineEditValue();
    void IOMonitor();
    void offLine();
    // Adds the "RAM" tab after the three tabs, or removes it.
    void monitorRam();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void shareHeight();
    void buildInfoLabels();
    void buildAlarmPages();
    void fillPlotSelector();
    void retranslate();
    void startAnswered(LinkJob *job);
    void beginRunning();
    // Steps a stop, a lost line and closing share: the panels and timers
    // stop and the request flags are cleared.
    void quietPanels();
    void setState(State state);
    void cancelStart();
    void applyDriveInfo();
    void clearDialFlags();

    Ui::MainDialPlot *m_ui;
    MonitorThread *m_monitor;
    LinkWorker &m_worker;
    ParameterAccess *m_parameters;
    // The drive the window was opened for; a station chosen later changes
    // neither what it reads nor how it labels it.
    const DriveTarget m_target;
    const DriveProfile m_drive;
    QuantityLists::List m_plotList;
    State m_state = State::Idle;
    std::shared_ptr<LinkJob> m_startJob;
    QTimer *m_display;
    DialogRunner m_runDialog;
    QStringList m_driveInfo;
    QLabel *m_infoCaptions[5] = {};
    QLabel *m_infoValues[5] = {};

    // Shared with the monitor thread.
    std::atomic<int> m_plotPosition{-1};
    std::atomic<double> m_latest{0};
    std::atomic<bool> m_terminalWatch{false};
    QString m_shownLatest;
    AlarmCode *m_alarmCode = nullptr;
    HideParameter *m_hideParameter = nullptr;
    PageFactory m_ramFactory;
};
