#include "maindialplot.h"

#include "alarmcode.h"
#include "cockpit.h"
#include "hideparameter.h"
#include "inverterstate.h"
#include "iostate.h"
#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"
#include "gui/widgets/drivetitle.h"
#include "ui_maindialplot.h"

#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kRefreshMs = 30;
constexpr int kBaseTabs = 3;
const QString kNoValue = QStringLiteral("...");
}  // namespace

MonitorPage<MainDialPlot> *MainDialPlot::create(MonitorThread *monitor, LinkWorker &worker,
                                                ParameterAccess *parameters, QWidget *parent)
{
    auto *page = new MonitorPage<MainDialPlot>(monitor, worker, parameters, parent);
    if (monitor)
        monitor->setDialPage(page);
    return page;
}

MainDialPlot::MainDialPlot(MonitorThread *monitor, LinkWorker &worker,
                           ParameterAccess *parameters, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_ui(new Ui::MainDialPlot), m_worker(worker),
      m_parameters(parameters),
      m_run(MonitorRun::Role::Dials, monitor, worker, parameters, windowDriveTarget()),
      m_drive(DriveProfile::of(m_run.target().series,
                               m_run.target().catalogueVersion.toDouble())),
      m_plotList(QuantityLists::plotList(m_drive)), m_display(new QTimer(this))
{
    m_ui->setupUi(this);
    shareHeight();
    buildInfoLabels();
    fillPlotSelector();
    connect(m_ui->actRun, &QAction::triggered, this, &MainDialPlot::startMonitor);
    connect(m_ui->actStop, &QAction::triggered, this, &MainDialPlot::stopMonitor);
    connect(m_ui->actExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->optionToolButton, &QToolButton::clicked, this, &MainDialPlot::optionPlot);
    connect(m_ui->clearToolButton, &QToolButton::clicked, this, &MainDialPlot::clearPlotCurve);
    connect(m_ui->cockpit, &Cockpit::leftDialMaxChosen, this, &MainDialPlot::setLeftDialMax);
    connect(m_ui->cockpit, &Cockpit::midDialMaxChosen, this, &MainDialPlot::setMidDialMax);
    connect(m_ui->cockpit, &Cockpit::rightDialMaxChosen, this, &MainDialPlot::setRightDialMax);
    connect(m_display, &QTimer::timeout, this, &MainDialPlot::updateLineEditValue);
    connect(&m_run, &MonitorRun::stateChanged, this, &MainDialPlot::showState);
    connect(&m_run, &MonitorRun::stopping, this, &MainDialPlot::quietPanels);
    connect(&m_run, &MonitorRun::driveInfoChanged, this, &MainDialPlot::applyDriveInfo);
    buildAlarmPages();
    retranslate();
    showState(State::Idle);
}

MainDialPlot::~MainDialPlot()
{
    m_ui->statusPanel->setAlarmLamps(nullptr);
    m_alarmCode->cancelReads();
    m_hideParameter->cancelReads();
    // MonitorPage has detached the page: no sample comes any more. A page
    // deleted without being closed still gives up what it asked for: its
    // run does as it goes.
    delete m_ui;
}

// The dials, the lamp row and the plot share the height 5 : 1 : 4 whatever
// each would like for itself; the dials and the plot keep what they need.
void MainDialPlot::shareHeight()
{
    for (QWidget *w : {static_cast<QWidget *>(m_ui->cockpit), static_cast<QWidget *>(m_ui->plot)}) {
        w->setMinimumHeight(w->minimumSizeHint().height());
        w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    }
    // "Option" and " Clear" under their icons in 48 pixels.
    for (QToolButton *b : {m_ui->optionToolButton, m_ui->clearToolButton}) {
        QFont small = b->font();
        small.setPixelSize(11);
        b->setFont(small);
    }
}

void MainDialPlot::buildAlarmPages()
{
    m_alarmCode = new AlarmCode(m_worker, m_parameters, m_ui->alarmCodeTab);
    auto *alarmLayout = new QVBoxLayout(m_ui->alarmCodeTab);
    alarmLayout->addWidget(m_alarmCode);
    m_hideParameter = new HideParameter(m_worker, m_parameters, m_alarmCode, m_ui->hideParameterTab);
    auto *diagnosisLayout = new QVBoxLayout(m_ui->hideParameterTab);
    diagnosisLayout->addWidget(m_hideParameter);
    auto watching = [this] { return m_terminalWatch.load(); };
    m_alarmCode->setTerminalWatch(watching);
    m_hideParameter->setTerminalWatch(watching);
    m_hideParameter->setDriveInfo([this] {
        QList<QPair<QString, QString>> info;
        for (InfoField f : {TypeField, VersionField, CurrentField, VoltageField, PowerField})
            info.append({m_infoCaptions[f]->text(), m_infoValues[f]->text()});
        return info;
    });
    connect(m_hideParameter, &HideParameter::ramPageToggled, this, &MainDialPlot::monitorRam);
    m_ui->statusPanel->setAlarmLamps(m_alarmCode);
}

QTabWidget *MainDialPlot::tabWidget() const { return m_ui->monitorTabWidget; }

void MainDialPlot::setRamPageFactory(PageFactory factory) { m_ramFactory = std::move(factory); }

QWidget *MainDialPlot::ramPage() const
{
    QTabWidget *tabs = m_ui->monitorTabWidget;
    const int index = m_ramPage ? tabs->indexOf(m_ramPage) : -1;
    return index >= 0 && tabs->isTabVisible(index) ? m_ramPage.data() : nullptr;
}

void MainDialPlot::monitorRam()
{
    QTabWidget *tabs = m_ui->monitorTabWidget;
    if (!m_ramPage) {
        if (!m_ramFactory)
            return;
        // The RAM page reads the window's drive, whatever station is chosen.
        DriveTargetScope drive(m_run.target());
        m_ramPage = m_ramFactory(tabs);
        tabs->addTab(m_ramPage, tr("RAM"));
        tabs->setCurrentWidget(m_ramPage);
        return;
    }
    const int index = tabs->indexOf(m_ramPage);
    if (tabs->isTabVisible(index)) {
        // A hidden page does not go on reading the line; what it charted
        // and its unlock stay for when it is shown again.
        if (m_ramPage->metaObject()->indexOfSlot("stopMonitor()") >= 0)
            QMetaObject::invokeMethod(m_ramPage, "stopMonitor");
        if (tabs->currentIndex() == index)
            tabs->setCurrentIndex(0);
        tabs->setTabVisible(index, false);
    } else {
        tabs->setTabVisible(index, true);
        tabs->setCurrentIndex(index);
    }
}

void MainDialPlot::buildInfoLabels()
{
    QToolBar *bar = m_ui->monitorToolBar;
    auto box = [this, bar](std::initializer_list<InfoField> fields) {
        auto *w = new QWidget(bar);
        auto *grid = new QGridLayout(w);
        grid->setContentsMargins(12, 0, 12, 0);
        grid->setVerticalSpacing(0);
        int row = 0;
        for (InfoField f : fields) {
            m_infoCaptions[f] = new QLabel(w);
            m_infoValues[f] = new QLabel(kNoValue, w);
            for (QLabel *l : {m_infoCaptions[f], m_infoValues[f]}) {
                QFont font = l->font();
                font.setPixelSize(16);
                font.setBold(true);
                l->setFont(font);
                l->setStyleSheet(QStringLiteral("QLabel{color:darkMagenta;}"));
            }
            grid->addWidget(m_infoCaptions[f], row, 0);
            grid->addWidget(m_infoValues[f], row, 1);
            ++row;
        }
        return w;
    };
    bar->addWidget(box({TypeField, VersionField}));
    bar->addSeparator();
    bar->addWidget(box({CurrentField, VoltageField, PowerField}));
    bar->addSeparator();
}

void MainDialPlot::fillPlotSelector()
{
    QComboBox *selector = m_ui->plotComboBox;
    const int index = selector->currentIndex();
    const bool blocked = selector->blockSignals(true);
    selector->clear();
    selector->addItems(QuantityLists::captions(m_plotList));
    selector->setCurrentIndex(qMax(index, 0));
    selector->blockSignals(blocked);
}

void MainDialPlot::retranslate()
{
    m_ui->retranslateUi(this);
    setWindowTitle(driveWindowTitle(tr("Monitor"), m_run.target()));
    m_infoCaptions[TypeField]->setText(tr("Inverter Type:"));
    m_infoCaptions[VersionField]->setText(tr("Version:"));
    m_infoCaptions[CurrentField]->setText(tr("Output Current:"));
    m_infoCaptions[VoltageField]->setText(tr("Input Voltage:"));
    m_infoCaptions[PowerField]->setText(tr("kw:"));
    fillPlotSelector();
    if (m_ramPage)
        m_ui->monitorTabWidget->setTabText(m_ui->monitorTabWidget->indexOf(m_ramPage), tr("RAM"));
}

void MainDialPlot::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

Cockpit *MainDialPlot::cockpit() const { return m_ui->cockpit; }
InverterState *MainDialPlot::statusPanel() const { return m_ui->statusPanel; }
IOState *MainDialPlot::terminalPanel() const { return m_ui->terminalPanel; }
Plot *MainDialPlot::plot() const { return m_ui->plot; }
QComboBox *MainDialPlot::plotSelector() const { return m_ui->plotComboBox; }
QLineEdit *MainDialPlot::sampleValueField() const { return m_ui->sampleLineEdit; }
QAction *MainDialPlot::runAction() const { return m_ui->actRun; }
QAction *MainDialPlot::stopAction() const { return m_ui->actStop; }
QAction *MainDialPlot::exitAction() const { return m_ui->actExit; }
QToolButton *MainDialPlot::optionButton() const { return m_ui->optionToolButton; }
QToolButton *MainDialPlot::clearButton() const { return m_ui->clearToolButton; }

void MainDialPlot::setDialogRunner(DialogRunner runner)
{
    m_runDialog = runner;
    m_ui->cockpit->setDialogRunner(std::move(runner));
}

// Run, Option and the selectors are offered while idle only.
void MainDialPlot::showState(State state)
{
    if (state == State::Running)
        beginRunning();
    const bool idle = state == State::Idle;
    m_ui->actRun->setEnabled(idle && m_run.canStart());
    m_ui->optionToolButton->setEnabled(idle);
    m_ui->cockpit->setSelectorsEnabled(idle);
    m_ui->plotComboBox->setEnabled(idle);
}

void MainDialPlot::startMonitor() { m_run.start(); }

void MainDialPlot::beginRunning()
{
    m_ui->cockpit->start();
    m_ui->statusPanel->start();
    m_ui->plot->start();
    m_terminalWatch = false;
    m_display->start(kRefreshMs);
    const int position = m_ui->plotComboBox->currentIndex();
    if (position >= 0 && position < MonitorData::kSize) {
        monitorData().setDialFlag(position, true);
        m_plotPosition = position;
    } else {
        m_plotPosition = -1;
    }
}

void MainDialPlot::takeSample()
{
    const MonitorData &data = monitorData();
    const char series = m_drive.series;
    m_ui->cockpit->takeSample();
    m_ui->statusPanel->setStatusWord(data.value(QuantityLists::statusPosition(series)));
    if (m_drive.terminalPanel && m_terminalWatch)
        m_ui->terminalPanel->setTerminalWords(
            int(data.value(QuantityLists::terminalInputPosition(series))),
            int(data.value(QuantityLists::terminalOutputPosition(series))));
    const int position = m_plotPosition;
    if (position >= 0 && position < MonitorData::kSize) {
        const double value = data.value(position);
        m_ui->plot->addSample(value, false);
        m_latest = value;
    }
}

void MainDialPlot::updateLineEditValue()
{
    // The end of the monitor thread is noticed here, on the GUI thread's
    // own clock, not through a queued finished() signal: no event crosses
    // from the monitor thread, and the page hears of a lost line in every
    // run, not only in the first.
    if (m_run.monitorEnded()) {
        offLine();
        if (state() != State::Running)
            return;
    }
    const QString text = QString::number(m_latest.load(), 'g', 6);
    if (text != m_shownLatest) {
        m_ui->sampleLineEdit->setText(text);
        m_shownLatest = text;
    }
    if (!m_terminalWatch && QuantityLists::watchesTerminals(m_drive)) {
        IOMonitor();
        m_terminalWatch = true;
    }
}

void MainDialPlot::IOMonitor()
{
    m_ui->terminalPanel->start();
    MonitorData &data = monitorData();
    data.setDialFlag(QuantityLists::terminalInputPosition(m_drive.series), true);
    data.setDialFlag(QuantityLists::terminalOutputPosition(m_drive.series), true);
}

void MainDialPlot::quietPanels()
{
    m_ui->cockpit->stop();
    m_ui->statusPanel->stop();
    m_ui->plot->stop();
    if (m_drive.terminalPanel)
        m_ui->terminalPanel->stop();
    m_display->stop();
    m_plotPosition = -1;
}

void MainDialPlot::stopMonitor() { m_run.stop(); }

// Asked every refresh whether monitoring has gone off line: the monitor
// thread ends when the line is lost.
void MainDialPlot::offLine() { m_run.endIfOffLine(); }

void MainDialPlot::closeEvent(QCloseEvent *event)
{
    m_alarmCode->cancelReads();
    m_hideParameter->cancelReads();
    if (m_ramPage)
        m_ramPage->close();  // its reader stops with the window
    m_run.stop();
    QMainWindow::closeEvent(event);
}

void MainDialPlot::setPlotValue(double seconds, double maximum)
{
    m_ui->plot->setRanges(seconds, maximum);
}

void MainDialPlot::clearPlotCurve() { m_ui->plot->clearCurve(0); }

void MainDialPlot::optionPlot()
{
    OptionDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Plot"));
    // The page width, not where the window has scrolled to: OK without a
    // change leaves the page as it was.
    dialog.setValues(m_ui->plot->pageWidth(), m_ui->plot->valueUpper());
    dialog.setModal(true);
    connect(&dialog, &OptionDialog::plotValueChosen, this, &MainDialPlot::setPlotValue);
    runDialog(m_runDialog, dialog);
}

void MainDialPlot::setLeftDialMax(double maximum) { m_ui->cockpit->setLeftRange(maximum); }
void MainDialPlot::setMidDialMax(double maximum) { m_ui->cockpit->setMidRange(maximum); }
void MainDialPlot::setRightDialMax(double maximum) { m_ui->cockpit->setRightRange(maximum); }

void MainDialPlot::showDriveInfo(const QStringList &info) { m_run.showDriveInfo(info); }

void MainDialPlot::applyDriveInfo(const DriveInfo &info)
{
    m_infoValues[VersionField]->setText(info.version);
    m_infoValues[CurrentField]->setText(info.current);
    m_infoValues[VoltageField]->setText(info.voltage);
    if (info.typeKnown) {
        m_infoValues[TypeField]->setText(info.type);
        m_infoValues[PowerField]->setText(info.power);
    }
    m_hideParameter->setIdentityKnown(true);
}
