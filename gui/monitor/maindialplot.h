#pragma once

#include "gui/widgets/dialogrunner.h"
#include "monitor/quantitylists.h"

#include "base/drivetarget.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorrun.h"

#include <QMainWindow>
#include <QPointer>

#include <atomic>
#include <functional>

class AlarmCode;
class Cockpit;
class HideParameter;
class InverterState;
class IOState;
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
    using State = MonitorRun::State;

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

    State state() const { return m_run.state(); }
    const DriveProfile &drive() const { return m_drive; }
    const DriveTarget &driveTarget() const { return m_run.target(); }

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
    // The page of the "RAM" tab, shown or hidden; null until first asked for.
    QWidget *keptRamPage() const { return m_ramPage; }

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
    // Shows the "RAM" tab after the three tabs, or hides it. Its page is
    // made the first time and kept for the life of the window, with its
    // samples and its unlock; hiding stops its reads.
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
    void showState(State state);
    void beginRunning();
    // What a stop, a lost line and closing do to the page: the panels and
    // timers stop and the plotted quantity is given up.
    void quietPanels();
    void applyDriveInfo(const DriveInfo &info);

    Ui::MainDialPlot *m_ui;
    LinkWorker &m_worker;
    ParameterAccess *m_parameters;
    // Bound to the drive the window was opened for; a station chosen later
    // changes neither what it reads nor how it labels it.
    MonitorRun m_run;
    const DriveProfile m_drive;
    QuantityLists::List m_plotList;
    QTimer *m_display;
    DialogRunner m_runDialog;
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
    QPointer<QWidget> m_ramPage;
};
