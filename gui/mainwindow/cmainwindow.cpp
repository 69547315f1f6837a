#include "cmainwindow.h"

#include "cabout.h"
#include "catalogueaccess.h"
#include "helplocation.h"
#include "language.h"
#include "ui_mainwindow.h"

#include "base/messagetable.h"
#include "base/series.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "ccomsetup.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/portsetup.h"
#include "link/stationfile.h"
#include "gui/navigation/cnavigation.h"
#include "monitor/monitordata.h"
#include "gui/parameters/cparameter.h"
#include "simulator/demoline.h"
#include "gui/monitor/alarmcode.h"
#include "gui/trend/mainadvplot.h"
#include "gui/trend/ram.h"
#include "gui/monitor/maindialplot.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTranslator>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The settings line of the demo: Modbus RTU on the simulated line, 9600 8N1.
const QString kDemoSettings = QStringLiteral("1-sim-1-1-0-0-0");

QString parityLetter(char parity) { return QString(QLatin1Char(parity)); }
}  // namespace

CMainWindow::CMainWindow(QTranslator &translator, const Options &options, QWidget *parent)
    : QMainWindow(parent), m_ui(new Ui::MainWindow), m_translator(translator),
      m_qtTexts(new QTranslator), m_options(options),
      m_monitorThread(options.monitorThread), m_worker(new LinkWorker)
{
    m_urlOpener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    m_ui->setupUi(this);
    // The stored language before the navigation panel asks its start question.
    Language::install(m_translator, *m_qtTexts, languageCode());
    fillMessageTable();
    buildStatusBar();
    connectActions();
    buildNavigationDock();
    m_parameterForm = new CParameter(*m_worker);
    m_navigation->setParameterForm(m_parameterForm);
    m_comSetup = new CComSetup(this);
    if (m_options.openLink)
        PortSetup::installDriver(0);
    buildCentralArea();
    m_ui->actE->setChecked(true);
    m_ui->actHelp->setEnabled(true);
    monitorData().reset();
    applyStoredLanguage();
    if (m_options.openLink)
        openLink();
    linkState().groupReselect = false;

    connect(this, &CMainWindow::showErrorInfo, this, &CMainWindow::ErrWarning);
    // Errors from any thread arrive queued, also from the GUI thread itself:
    // the box opens from the event loop, never inside a driver call.
    LinkEvents *events = LinkEvents::instance();
    connect(events, &LinkEvents::showErrorInfo, this, &CMainWindow::showErrorInfo,
            Qt::QueuedConnection);
    connect(events, &LinkEvents::lineHealthChanged, this, &CMainWindow::showLineHealth,
            Qt::QueuedConnection);
    connect(events, &LinkEvents::linkChanged, this, &CMainWindow::showLinkInUse,
            Qt::QueuedConnection);
    showLinkInUse();
    showLineHealth(LinkEvents::lineHealth());

    setDriveActionsEnabled(false);
}

CMainWindow::~CMainWindow()
{
    closePages(false);
    // Waits for the running job's next check; its last messages need this
    // window's event loop no longer.
    delete m_worker;
    delete m_ui;
    QCoreApplication::removeTranslator(m_qtTexts.get());
}

QString CMainWindow::message(int index) const
{
    return index >= 0 && index < m_messages.size() ? m_messages.at(index) : QString();
}

void CMainWindow::fillMessageTable()
{
    m_messages.clear();
    for (int i = 0; i < kMessageCount; ++i)
        m_messages.append(messageText(i));
}

void CMainWindow::buildStatusBar()
{
    m_modeCaption = new QLabel(this);
    m_modeValue = new QLabel(QStringLiteral("---"), this);
    m_modeValue->setObjectName(QStringLiteral("modeValueLabel"));
    m_modeValue->setMinimumSize(100, 20);
    m_typeCaption = new QLabel(this);
    m_typeValue = new QLabel(this);
    m_typeValue->setObjectName(QStringLiteral("typeValueLabel"));
    m_typeValue->setMinimumSize(200, 20);
    statusBar()->addWidget(m_modeCaption);
    statusBar()->addWidget(m_modeValue);
    statusBar()->addWidget(m_typeCaption);
    statusBar()->addWidget(m_typeValue);

    m_lineLamp = new QLabel(this);
    m_lineLamp->setObjectName(QStringLiteral("lineLamp"));
    m_lineLamp->setFixedSize(20, 20);
    m_lineLamp->setScaledContents(true);
    m_lineLabel = new QLabel(this);
    m_lineLabel->setObjectName(QStringLiteral("lineLabel"));
    statusBar()->addPermanentWidget(m_lineLamp);
    statusBar()->addPermanentWidget(m_lineLabel);
    m_modeCaption->setText(message(6));
    m_typeCaption->setText(message(7));
}

void CMainWindow::connectActions()
{
    Ui::MainWindow &ui = *m_ui;
    connect(ui.actAllPar, &QAction::triggered, this, &CMainWindow::iniParameter);
    connect(ui.actSysMon, &QAction::triggered, this, &CMainWindow::iniSysMon);
    connect(ui.actCom, &QAction::triggered, this, &CMainWindow::iniComDialog);
    connect(ui.actHelp, &QAction::triggered, this, &CMainWindow::iniHELP);
    connect(ui.actVer, &QAction::triggered, this, &CMainWindow::ABOUT);
    connect(ui.actCS, &QAction::triggered, this, &CMainWindow::LaChineseS);
    connect(ui.actCT, &QAction::triggered, this, &CMainWindow::LaChineseT);
    connect(ui.actE, &QAction::triggered, this, &CMainWindow::LanEnlish);
    connect(ui.actionTrend, &QAction::triggered, this, &CMainWindow::trendShow);
    // The tool row.
    connect(ui.actToolParameter, &QAction::triggered, this, &CMainWindow::iniParameter);
    connect(ui.actToolMonitor, &QAction::triggered, this, &CMainWindow::iniSysMon);
    connect(ui.actToolTrend, &QAction::triggered, this, &CMainWindow::trendShow);
    connect(ui.actToolHelp, &QAction::triggered, this, &CMainWindow::iniHELP);
    connect(ui.actToolExit, &QAction::triggered, this, &QWidget::close);

    auto *languages = new QActionGroup(this);
    languages->addAction(ui.actE);
    languages->addAction(ui.actCS);
    languages->addAction(ui.actCT);
}

void CMainWindow::buildNavigationDock()
{
    m_dock = new QDockWidget(message(0), this);
    m_dock->setObjectName(QStringLiteral("navigationDock"));
    m_dock->setAllowedAreas(Qt::LeftDockWidgetArea);
    m_dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    const bool demo = m_options.demo;
    m_navigation = new CNavigation(
        [demo] { return demo ? demoStationNames() : StationFile::read(); }, m_dock);
    connect(m_navigation, &CNavigation::typeLabelChanged, m_typeValue, &QLabel::setText);
    connect(m_navigation, &CNavigation::modeLabelChanged, m_modeValue, &QLabel::setText);
    connect(m_navigation, &CNavigation::driveActionsEnabled, this,
            &CMainWindow::setDriveActionsEnabled);
    m_dock->setWidget(m_navigation);
    addDockWidget(Qt::LeftDockWidgetArea, m_dock);
    m_dock->setFloating(false);
    m_dock->setVisible(true);
}

void CMainWindow::buildCentralArea()
{
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("centralSplitter"));
    m_splitter->setHandleWidth(0);
    m_splitter->addWidget(m_parameterForm);
    m_parameterForm->hide();
    setCentralWidget(m_splitter);
}

void CMainWindow::applyStoredLanguage()
{
    const int code = languageCode();
    checkLanguageAction(code);
    Language::install(m_translator, *m_qtTexts, code);
    retranslate();
}

void CMainWindow::openLink()
{
    PortSetup::setTransportFactory(&openPortOrSimulation);
    if (!m_options.demo) {
        PortSetup::openPortFromFile();
        return;
    }
    // The demo runs on the simulated line whatever iniProtocol.txt says, and
    // leaves that file alone.
    const ComSettings settings = ComSettings::fromLine(kDemoSettings);
    PortSetup::installDriver(settings.protocol);
    linkState().lineEnd = settings.lineEndIndex;
    PortSetup::reopenPort(settings.portText, settings.lineSettings());
    m_comSetup->setSettingsStored(false);
    m_comSetup->setPortLister([] {
        return CComSetup::portItems(CComSetup::systemPortNames(), false)
               << simulatedPortText();
    });
    m_comSetup->setSettings(settings);
}

void CMainWindow::setDriveActionsEnabled(bool on)
{
    for (QAction *action : {m_ui->actAllPar, m_ui->actSysMon, m_ui->actionTrend,
                            m_ui->actToolParameter, m_ui->actToolMonitor, m_ui->actToolTrend})
        action->setEnabled(on);
}

QStringList CMainWindow::stationNames() const { return m_navigation->stationNames(); }

void CMainWindow::setStationNames(const QStringList &names) { m_navigation->setStationNames(names); }

bool CMainWindow::selectStation(int station)
{
    m_navigation->selectStation(station);
    return !modelString().isEmpty() && linkState().stationByte == station;
}

bool CMainWindow::quitRequested() const { return m_navigation->quitRequested(); }

void CMainWindow::setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }

void CMainWindow::replacePage(QPointer<QWidget> &page, QWidget *replacement)
{
    delete page.data();
    page = replacement;
    replacement->showMaximized();
}

bool CMainWindow::closePages(bool mayRefuse)
{
    // The trend window first: it may refuse, and then nothing has gone.
    for (QPointer<QWidget> *page : {&m_trendPage, &m_dialPage}) {
        if (!*page)
            continue;
        if (!mayRefuse && page == &m_trendPage) {
            delete page->data();  // its destructor gives up what it asked for
            continue;
        }
        if (!(*page)->close() && mayRefuse)
            return false;
        delete page->data();
    }
    return true;
}

void CMainWindow::iniSysMon()
{
    if (!m_monitorParameters)
        m_monitorParameters = std::make_unique<CatalogueAccess>();
    // The page before goes first: it detaches from the monitor thread.
    delete m_dialPage.data();
    auto *page = MainDialPlot::create(m_monitorThread, linkWorker(), m_monitorParameters.get(), this);
    page->alarmCodePage()->loadLampNames();
    page->setRamPageFactory([](QWidget *parent) { return new Ram(parent); });
    replacePage(m_dialPage, page);
}

void CMainWindow::trendShow()
{
    if (!mayReplaceTrendPage())
        return;
    if (!m_monitorParameters)
        m_monitorParameters = std::make_unique<CatalogueAccess>();
    // The window before goes first: it detaches from the monitor thread.
    delete m_trendPage.data();
    replacePage(m_trendPage, MainAdvPlot::create(m_monitorThread, linkWorker(),
                                                 m_monitorParameters.get(), this));
}

// A recording that was not saved is not thrown away without asking.
bool CMainWindow::mayReplaceTrendPage()
{
    auto *old = qobject_cast<MainAdvPlot *>(m_trendPage.data());
    // A closed window asked as it closed.
    if (!old || !old->isVisible() || !old->hasUnsavedRecording())
        return true;
    const DriveTarget &drive = old->driveTarget();
    const QString text =
        tr("The trend window holds a recording of station %1 %2 that has not been saved. "
           "Close it and open a new trend window?")
            .arg(drive.station)
            .arg(drive.model);
    if (userInteraction()->question(message(20), text, true, false) == UserInteraction::Answer::Yes)
        return true;
    old->raise();
    old->activateWindow();
    return false;
}

void CMainWindow::iniParameter() { m_parameterForm->setVisible(!m_parameterForm->isVisible()); }

void CMainWindow::iniComDialog() { m_comSetup->iniComDialog(); }

void CMainWindow::iniHELP()
{
    const QString file = helpLocation(dataDirectory(), languageCode());
    const QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    if (m_urlOpener(url))
        return;
    // Without a program to open it the click would do nothing at all.
    userInteraction()->warning(message(20),
                               tr("No program was found to open the help file %1.")
                                   .arg(QDir::toNativeSeparators(file)));
}

void CMainWindow::ABOUT()
{
    CAbout about(this);
    about.exec();
}

void CMainWindow::LaChineseS() { switchLanguage(1); }

void CMainWindow::LaChineseT() { switchLanguage(2); }

void CMainWindow::LanEnlish() { switchLanguage(0); }

bool CMainWindow::switchLanguage(int code)
{
    if (code < 0 || code >= Language::kCount)
        return false;
    if (languageCode() == code) {
        // The exclusive group has already moved the check to the clicked action.
        checkLanguageAction(code);
        return false;
    }
    checkLanguageAction(code);
    // The code first: the windows retranslate from the catalogue of that language.
    setLanguageCode(quint8(code));
    Language::install(m_translator, *m_qtTexts, code);
    retranslate();
    if (!Language::writeChoice(code))
        userInteraction()->warning(message(20),
                                   tr("The language choice could not be saved in %1.")
                                       .arg(QDir::toNativeSeparators(settingsPath(QStringLiteral("LT.txt")))));
    return true;
}

void CMainWindow::checkLanguageAction(int code)
{
    m_ui->actE->setChecked(code == 0);
    m_ui->actCS->setChecked(code == 1);
    m_ui->actCT->setChecked(code == 2);
}

void CMainWindow::retranslate()
{
    m_ui->retranslateUi(this);
    fillMessageTable();
    m_modeCaption->setText(message(6));
    m_typeCaption->setText(message(7));
    m_dock->setWindowTitle(message(0));
    m_comSetup->retranslate();
    showLinkInUse();
    showLineHealth(LinkEvents::lineHealth());
}

void CMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && m_comSetup)
        retranslate();
    QMainWindow::changeEvent(event);
}

void CMainWindow::ErrWarning(int code)
{
    QString text = code == -1 ? QString() : message(code);
    if (text.isEmpty())
        text = message(8);
    userInteraction()->warning(message(20), text);
}

void CMainWindow::showLineHealth(int health)
{
    static const char *const kLamps[] = {":/new prefix/images/off.png", ":/new prefix/images/on.png",
                                         ":/new prefix/images/on_red.png"};
    if (health < LinkEvents::LineUntried || health > LinkEvents::LineFailed)
        health = LinkEvents::LineUntried;
    m_lineLamp->setPixmap(QPixmap(QString::fromLatin1(kLamps[health])));
    m_lineLamp->setProperty("health", health);
    const QString tips[] = {tr("No exchange with a drive yet"),
                            tr("The drive answered the last request"),
                            tr("The last request got no valid answer")};
    m_lineLamp->setToolTip(tips[health]);
}

void CMainWindow::showLinkInUse()
{
    const LinkState &link = linkState();
    const std::shared_ptr<Transport> port = link.serialPort();
    const QString protocols[] = {tr("Korvane protocol"), tr("Modbus RTU"), tr("Modbus ASCII")};
    const int protocol = qBound(0, int(link.protocolCode.load()), 2);
    if (!port) {
        m_lineLabel->setText(tr("No port"));
        return;
    }
    const LineSettings settings = port->settings();
    QString name = port->portName();
    if (name.compare(simulatedPortText(), Qt::CaseInsensitive) == 0)
        name = tr("Simulated drives");
    else if (!port->isOpen())
        name = tr("%1 (not open)").arg(name);
    m_lineLabel->setText(QStringLiteral("%1  |  %2  |  %3 %4%5%6")
                             .arg(name, protocols[protocol])
                             .arg(settings.baudRate)
                             .arg(settings.dataBits)
                             .arg(parityLetter(settings.parity))
                             .arg(settings.stopBits));
}

void CMainWindow::closeEvent(QCloseEvent *event)
{
    if (!closePages(true)) {
        event->ignore();
        return;
    }
    // Written only after a change: "No" at the start question, then Exit,
    // must not empty the saved list.
    if (!m_options.demo && m_navigation->stationNamesChanged() &&
        !StationFile::write(m_navigation->stationNames()))
        userInteraction()->warning(message(20),
                                   tr("The station list could not be saved in %1.")
                                       .arg(QDir::toNativeSeparators(StationFile::fileName())));
    event->accept();
}
