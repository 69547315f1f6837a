// Renders every window and dialog of the program on the simulated drives, in
// each language, to PNG files: CMainWindow-en.png, CComSetup-zh_CN.png, ...
// A window shown in use adds a word before the language
// (MainDialPlot-running-en.png).
//   vantreo-screenshots OUTDIR   (offscreen: QT_QPA_PLATFORM=offscreen)

#include "link/driverregistry.h"
#include "gui/mainwindow/cabout.h"
#include "gui/navigation/csettype.h"
#include "gui/mainwindow/cmainwindow.h"
#include "gui/app/startup.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "gui/mainwindow/ccomsetup.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "gui/navigation/cnavigation.h"
#include "gui/parameters/cparameter.h"
#include "gui/widgets/jobprogresspanel.h"
#include "gui/parameters/csearch.h"
#include "gui/widgets/passworddlg.h"
#include "gui/parameters/selectparadialog.h"
#include "simulator/demoline.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "monitor/monitorthread.h"
#include "simulator/simregisters.h"
#include "gui/trend/advanceplot.h"
#include "gui/trend/advoptiondialog.h"
#include "gui/trend/mainadvplot.h"
#include "gui/trend/ram.h"
#include "gui/monitor/dialoptiondialog.h"
#include "gui/monitor/hideparameter.h"
#include "gui/monitor/maindialplot.h"
#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"

#include "resources/images.h"

#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHash>
#include <QLineEdit>
#include <QMouseEvent>
#include <QEventLoop>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <functional>
#include <memory>

namespace {


// One picture: the file name's word before the language (empty for none) and
// what to grab, made ready on the main window.
struct Shot {
    QString className;
    QString state;
    std::function<QWidget *(CMainWindow &)> prepare;
    // Undoes what prepare did to the drives (none: nothing to undo).
    std::function<void(CMainWindow &)> finish = nullptr;
};

void processEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Chooses a station as a click would, then waits for the parameter list's
// catalogue, which comes once the drive has told its version.
void chooseStation(CMainWindow &w, int station)
{
    w.selectStation(station);
    for (int i = 0; i < 250 && w.parameterForm()->catalogueLoading(); ++i)
        processEventsFor(20);
}

// The monitor page of a station whose drive starts towards 50 Hz as the
// page starts monitoring: the ramp on a plot of 10 seconds per page, the
// dials on their way up, the lamps of a running drive.
QWidget *runningMonitorPage(CMainWindow &w, int station)
{
    chooseStation(w, station);
    ReadWrite *driver = currentDriver();
    driver->writeRegister(SimRegisters::FrequencyCommand, 5000);
    w.iniSysMon();
    auto *page = qobject_cast<MainDialPlot *>(w.dialPage());
    page->showNormal();
    page->resize(1280, 860);
    page->setPlotValue(10, 70);
    page->startMonitor();
    for (int i = 0; i < 100 && page->state() != MainDialPlot::State::Running; ++i)
        processEventsFor(100);
    driver->runFunction("FWD");
    processEventsFor(3500);
    return page;
}

void stopDrive(CMainWindow &w)
{
    if (auto *page = qobject_cast<MainDialPlot *>(w.dialPage()))
        page->stopMonitor();
    currentDriver()->runFunction("STO");
    processEventsFor(100);
}

// The monitor page after the drive at station 1 tripped with an alarm, on the
// tab `tab`; "System Diagnosis" has read the history and the run time, and
// in service mode also the hidden parameters.
QWidget *alarmPage(CMainWindow &w, int tab, bool service)
{
    auto *page = qobject_cast<MainDialPlot *>(runningMonitorPage(w, 1));
    demoLine()->drive(1)->raiseAlarm(16);
    processEventsFor(3500);
    page->tabWidget()->setCurrentIndex(tab);
    HideParameter *diagnosis = page->diagnosisPage();
    if (tab == 2) {
        diagnosis->historyAlarm();
        for (int i = 0; i < 100 && diagnosis->isBusy(); ++i)
            processEventsFor(50);
        diagnosis->runTime();
        for (int i = 0; i < 100 && diagnosis->isBusy(); ++i)
            processEventsFor(50);
    }
    if (service) {
        diagnosis->fillHiddenTable();
        diagnosis->ReadAllValue();
        for (int i = 0; i < 200 && diagnosis->isBusy(); ++i)
            processEventsFor(50);
    }
    return page;
}

void clearAlarm(CMainWindow &w)
{
    stopDrive(w);
    demoLine()->drive(1)->resetAlarm();
}

// The trend window of station 1 after a few seconds of the drive starting
// towards 50 Hz: frequency, voltage and current on a 10 s page, stopped, with
// the cursor read-out held at 2.5 s.
QWidget *recordingTrendWindow(CMainWindow &w)
{
    chooseStation(w, 1);
    ReadWrite *driver = currentDriver();
    driver->writeRegister(SimRegisters::FrequencyCommand, 5000);
    w.trendShow();
    auto *page = qobject_cast<MainAdvPlot *>(w.trendPage());
    page->showNormal();
    page->resize(1200, 760);
    page->setPageAndRecordTime(10, 1200);
    page->startMonitor();
    for (int i = 0; i < 100 && page->state() != MainAdvPlot::State::Running; ++i)
        processEventsFor(100);
    driver->runFunction("FWD");
    processEventsFor(4000);
    page->stopMonitor();
    processEventsFor(600);  // the late refresh after a stop
    AdvancePlot *plot = page->plot();
    const QPointF at(plot->canvasXOf(2.5), plot->canvas()->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(plot->canvas(), &press);
    QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(plot->canvas(), &move);
    return page;
}

void stopTrendDrive(CMainWindow &)
{
    currentDriver()->runFunction("STO");
    processEventsFor(100);
}

MainDialPlot *idlePage(CMainWindow &w)
{
    chooseStation(w, 1);
    w.iniSysMon();
    w.dialPage()->hide();
    return qobject_cast<MainDialPlot *>(w.dialPage());
}

// The parameter list during a batch read: the progress and Cancel inside the
// form, its own controls resting, the rest of the window usable.
QWidget *batchInProgress(CMainWindow &w)
{
    chooseStation(w, 1);
    CParameter *form = w.parameterForm();
    form->show();
    form->findChild<QPushButton *>(QStringLiteral("allReadPB"))->click();
    for (int i = 0; i < 200 && form->progressPanel()->bar()->value() < 40; ++i)
        processEventsFor(20);
    return &w;
}

void cancelBatch(CMainWindow &w)
{
    CParameter *form = w.parameterForm();
    form->progressPanel()->cancelJob();
    for (int i = 0; i < 500 && form->transferRunning(); ++i)
        processEventsFor(20);
}

// The parameter list after a batch read of the demo's ZM, with one setting
// that differs from the drive's value and one outside its range. The drive is
// read once; the windows of the other languages get the same values.
QWidget *showReadParameters(CMainWindow &w)
{
    static QHash<QString, QString> readOnce;  // number -> value read
    ParameterTable &table = w.parameterForm()->core().table();
    if (readOnce.isEmpty()) {
        w.parameterForm()->core().readAllParameters();
        for (int row = 0; table.hasNumberCell(row); ++row)
            readOnce.insert(table.numberText(row), table.text(row, ParameterTable::CurrentColumn));
    } else {
        for (int row = 0; table.hasNumberCell(row); ++row)
            table.setText(row, ParameterTable::CurrentColumn, readOnce.value(table.numberText(row)));
    }
    table.setText(table.rowOfNumber(QStringLiteral("7")), ParameterTable::SettingColumn,
                  QStringLiteral("12.5"));
    table.setText(table.rowOfNumber(QStringLiteral("3")), ParameterTable::SettingColumn,
                  QStringLiteral("450"));
    w.parameterForm()->show();
    return &w;
}

// Station 1 in CU mode running forward at 30 Hz, its lamps lit by the poll.
QWidget *showRunningDrive(CMainWindow &w)
{
    CNavigation *nav = w.navigationPanel();
    chooseStation(w, 1);
    nav->SwitchToCU();
    nav->findChild<QDoubleSpinBox *>(QStringLiteral("FrespinBox"))->setValue(30);
    nav->InvSetFre();
    nav->InvRunFwd();
    processEventsFor(MonitorModeThread::kPollIntervalMs + 500);
    return &w;
}

// The drive refuses a mode switch while its motor turns: the next window's
// shot waits for it to stand still.
void stopNavigationDrive(CMainWindow &w)
{
    w.navigationPanel()->InvStop();
    for (int i = 0; i < 100 && demoLine()->drive(1)->running(); ++i)
        processEventsFor(200);
}

// The RAM monitor on its own, unlocked and reading two locations of the
// drive's memory: the free-running counter (a saw tooth) and a fixed byte,
// on a page of 10 seconds. Closed (and its reader ended) after the shot.
QWidget *runningRamPage(CMainWindow &w)
{
    chooseStation(w, 1);
    auto *page = new Ram;
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->setDialogRunner([](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))
            ->setText(QStringLiteral("tarmelo"));
        QMetaObject::invokeMethod(&dialog, "accept");
        return dialog.result();
    });
    page->showPassWorkDlg();
    page->addressField(0)->setText(QStringLiteral("9000"));
    page->addressField(1)->setText(QStringLiteral("9004"));
    page->penWidthBox(0)->setCurrentIndex(1);
    page->setAxes(10, 300);
    page->resize(1100, 640);
    page->show();
    page->startMonitor();
    processEventsFor(3000);
    return page;
}

// The parameter list after a batch write of two settings, one of which the
// drive refused: the other's value read back, the refused one still amber.
QWidget *showWrittenParameters(CMainWindow &w)
{
    showReadParameters(w);
    ParameterTable &table = w.parameterForm()->core().table();
    table.setText(table.rowOfNumber(QStringLiteral("3")), ParameterTable::SettingColumn, QString());
    table.setText(table.rowOfNumber(QStringLiteral("8")), ParameterTable::SettingColumn,
                  QStringLiteral("7"));
    SimulatedDrive &drive = *demoLine()->drive(1);
    drive.setRefusedWrite(8, SimulatedDrive::IllegalAddress);
    w.parameterForm()->core().writeAllParameters();
    drive.setRefusedWrite(8, SimulatedDrive::Ok);
    // The values beside the settings in sight.
    QTableView *view = w.parameterForm()->table();
    view->scrollTo(view->model()->index(table.rowOfNumber(QStringLiteral("8")),
                                        ParameterTable::CommentColumn));
    return &w;
}

// The RAM monitor with its second channel on a location the drive refuses:
// that channel shows "--" and draws nothing.
QWidget *failedRamPage(CMainWindow &w)
{
    demoLine()->drive(1)->setRefusedRegister(0x9004, SimulatedDrive::IllegalAddress);
    QWidget *page = runningRamPage(w);
    demoLine()->drive(1)->setRefusedRegister(0x9004, SimulatedDrive::Ok);
    return page;
}

QList<Shot> shots()
{
    return {
        {QStringLiteral("CMainWindow"), QString(), [](CMainWindow &w) { return &w; }},
        // The status bar's lamp lit by an answered exchange.
        {QStringLiteral("CMainWindow"), QStringLiteral("answering"),
         [](CMainWindow &w) -> QWidget * {
             linkState().setStation(1);
             currentDriver()->readRegister(7, 0.1);
             QCoreApplication::processEvents();
             return &w;
         }},
        {QStringLiteral("CParameter"), QStringLiteral("read"), showReadParameters},
        {QStringLiteral("CParameter"), QStringLiteral("reading"), batchInProgress, cancelBatch},
        {QStringLiteral("CParameter"), QStringLiteral("written"), showWrittenParameters},
        {QStringLiteral("SelectParaDialog"), QString(),
         [](CMainWindow &w) -> QWidget * {
             auto *dialog = new SelectParaDialog(w.parameterForm()->core().table(), {"3", "7", "8"}, &w);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             return dialog;
         }},
        {QStringLiteral("CSearch"), QString(),
         [](CMainWindow &w) -> QWidget * {
             auto *search = new CSearch(w.parameterForm()->table(), &w);
             search->setAttribute(Qt::WA_DeleteOnClose);
             search->findChild<QLineEdit *>(QStringLiteral("SearchlineEdit"))->setText(QStringLiteral("P.1"));
             return search;
         }},
        {QStringLiteral("PassWordDlg"), QString(),
         [](CMainWindow &w) -> QWidget * {
             auto *password = new PassWordDlg(&w);
             password->setAttribute(Qt::WA_DeleteOnClose);
             return password;
         }},
        {QStringLiteral("CNavigation"), QStringLiteral("running"), showRunningDrive, stopNavigationDrive},
        {QStringLiteral("CSetType"), QString(),
         [](CMainWindow &w) -> QWidget * {
             CSetType *dialog = w.navigationPanel()->typeDialog();
             dialog->setStation(3);
             const QPair<int, int> preset =
                 CSetType::presetFor(TypeCatalogue::loadShipped(), QStringLiteral("ZQ1-043-5.5K"));
             dialog->preset(preset.first, preset.second);
             return dialog;
         }},
        {QStringLiteral("CComSetup"), QString(),
         [](CMainWindow &w) -> QWidget * { return w.comSetup(); }},
        {QStringLiteral("CAbout"), QString(),
         [](CMainWindow &w) -> QWidget * { return new CAbout(&w); }},
        {QStringLiteral("MainDialPlot"), QStringLiteral("running"),
         [](CMainWindow &w) { return runningMonitorPage(w, 1); }, stopDrive},
        {QStringLiteral("MainDialPlot"), QStringLiteral("running-ZN"),
         [](CMainWindow &w) { return runningMonitorPage(w, 2); }, stopDrive},
        {QStringLiteral("MainDialPlot"), QStringLiteral("running-A"),
         [](CMainWindow &w) { return runningMonitorPage(w, 3); }, stopDrive},
        {QStringLiteral("MainDialPlot"), QStringLiteral("alarm"),
         [](CMainWindow &w) { return alarmPage(w, 1, false); }, clearAlarm},
        {QStringLiteral("MainDialPlot"), QStringLiteral("diagnosis"),
         [](CMainWindow &w) { return alarmPage(w, 2, false); }, clearAlarm},
        {QStringLiteral("MainDialPlot"), QStringLiteral("service"),
         [](CMainWindow &w) { return alarmPage(w, 2, true); }, clearAlarm},
        {QStringLiteral("MainAdvPlot"), QStringLiteral("recording"), recordingTrendWindow,
         stopTrendDrive},
        {QStringLiteral("AdvOptionDialog"), QString(),
         [](CMainWindow &w) -> QWidget * {
             chooseStation(w, 1);
             w.trendShow();
             w.trendPage()->hide();
             auto *dialog = new AdvOptionDialog(w.trendPage());
             dialog->setObjectName(QStringLiteral("AdvancePlot"));
             dialog->setSecondsPerPage(30);
             return dialog;
         }},
        {QStringLiteral("Ram"), QStringLiteral("running"), runningRamPage},
        {QStringLiteral("Ram"), QStringLiteral("failed"), failedRamPage},
        {QStringLiteral("DialOptionDialog"), QString(),
         [](CMainWindow &w) -> QWidget * {
             auto *dialog = new DialOptionDialog(idlePage(w));
             dialog->setObjectName(QStringLiteral("LeftDial"));
             dialog->setMaximum(100);
             return dialog;
         }},
        {QStringLiteral("OptionDialog"), QString(),
         [](CMainWindow &w) -> QWidget * {
             MainDialPlot *page = idlePage(w);
             auto *dialog = new OptionDialog(page);
             dialog->setObjectName(QStringLiteral("Plot"));
             dialog->setValues(page->plot()->timeUpper(), page->plot()->valueUpper());
             return dialog;
         }},
    };
}

const char *const kLanguageSuffix[] = {"en", "zh_CN", "zh_TW"};

// The run-time folders of the build beside a scratch LT.txt, iniProtocol.txt
// and station.txt, so that the shots leave the build's files alone.
bool prepareDataDirectory(const QString &programDir, const QString &scratch)
{
    for (const char *folder : {"InvType", "InvParameter", "hideparameter", "language", "help"}) {
        const QString target = programDir + QLatin1Char('/') + QLatin1String(folder);
        if (QFileInfo::exists(target) &&
            !QFile::link(target, scratch + QLatin1Char('/') + QLatin1String(folder)))
            return false;
    }
    for (const char *file : {"Version.txt", "INVParameter_num.txt", "ReadPar.txt"})
        QFile::copy(programDir + QLatin1Char('/') + QLatin1String(file),
                    scratch + QLatin1Char('/') + QLatin1String(file));
    setDataDirectory(scratch);
    return true;
}

bool grabTo(QWidget *widget, const QString &path)
{
    widget->show();
    widget->raise();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const QPixmap content = widget->grab();
    if (!widget->isWindow())
        return content.save(path, "PNG");
    // The offscreen platform draws no window frame: a plain title bar shows
    // the window's title as a window manager would (the monitor and trend
    // windows name their drive there).
    const int bar = 28;
    QPixmap framed(content.width(), content.height() + bar);
    framed.fill(QColor(60, 63, 70));
    QPainter painter(&framed);
    QFont font = widget->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(10, 0, content.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft,
                     widget->windowTitle());
    painter.drawPixmap(0, bar, content);
    painter.end();
    return framed.save(path, "PNG");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    initialiseImages();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: vantreo-screenshots OUTDIR\n";
        return 2;
    }
    const QString outDir = args.at(1);
    QTemporaryDir scratch;
    if (!QDir().mkpath(outDir) || !scratch.isValid() ||
        !prepareDataDirectory(QStringLiteral(VANTREO_BIN_DIR), scratch.path())) {
        QTextStream(stderr) << "vantreo-screenshots: cannot prepare " << outDir << '\n';
        return 1;
    }
    loadSeriesFeatures();
    // Messages go to stderr; a shot must never wait on a box.
    StderrInteraction interaction(nullptr, false);
    setUserInteraction(&interaction);
    QTranslator translator;
    QCoreApplication::installTranslator(&translator);
    // The monitor pages' thread (the program makes its own at start-up).
    MonitorThread monitor;
    int written = 0;
    for (int language = 0; language < 3; ++language) {
        // Each language's window starts as the program does: no drive chosen.
        setModelString(QString());
        setSeriesLetter('0');
        setLanguageCode(quint8(language));
        CMainWindow::Options options;
        options.demo = true;
        options.monitorThread = &monitor;
        CMainWindow window(translator, options);
        window.selectStation(1);
        window.resize(1280, 800);
        window.show();
        for (const Shot &shot : shots()) {
            QWidget *widget = shot.prepare(window);
            QString name = shot.className;
            if (!shot.state.isEmpty())
                name += QLatin1Char('-') + shot.state;
            name += QLatin1Char('-') + QLatin1String(kLanguageSuffix[language]) +
                    QStringLiteral(".png");
            if (!grabTo(widget, QDir(outDir).filePath(name))) {
                QTextStream(stderr) << "vantreo-screenshots: cannot write " << name << '\n';
                return 1;
            }
            if (widget != &window) {
                if (widget->testAttribute(Qt::WA_DeleteOnClose))
                    widget->close();
                else
                    widget->hide();
            }
            if (shot.finish)
                shot.finish(window);
            ++written;
        }
        window.close();
    }
    setUserInteraction(nullptr);
    QTextStream(stdout) << written << " screenshots in " << QDir(outDir).absolutePath() << '\n';
    return 0;
}
