#include "link/driverregistry.h"
#include "gui/mainwindow/cabout.h"
#include "gui/mainwindow/cmainwindow.h"
#include "gui/mainwindow/helplocation.h"
#include "gui/app/startup.h"
#include "common/testsupport.h"
#include "gui/mainwindow/ccomsetup.h"
#include "link/readwrite.h"
#include "link/stationfile.h"
#include "gui/parameters/cparameter.h"
#include "monitor/monitordata.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "simulator/demoline.h"
#include "simulator/simport.h"
#include "simulator/simulatedline.h"
#include "gui/trend/ram.h"
#include "gui/monitor/hideparameter.h"
#include "gui/monitor/maindialplot.h"
#include "gui/widgets/plot.h"
#include "gui/monitor/hideparameter.h"
#include "gui/widgets/passworddlg.h"
#include "link/frameobserver.h"
#include "gui/trend/advanceplot.h"
#include "gui/trend/mainadvplot.h"
#include "gui/navigation/cnavigation.h"
#include "simulator/simulateddrive.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QStandardItem>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

#include <atomic>

namespace {
QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The stations of the Modbus writes (functions 06 and 16) sent.
class StationFrames : public FrameObserver
{
public:
    void frameSent(const QByteArray &frame, int station, FrameForm) override
    {
        if (frame.size() > 1 && (frame.at(1) == 0x06 || frame.at(1) == 0x10)) {
            QMutexLocker lock(&m_mutex);
            m_writes.append(station);
        }
    }
    void frameReceived(const QByteArray &, int, FrameForm) override {}
    QList<int> writeStations()
    {
        QMutexLocker lock(&m_mutex);
        return m_writes;
    }

private:
    QMutex m_mutex;
    QList<int> m_writes;
};

// A dial page that only counts what the monitor thread hands it.
class QuietPage : public DialPageSink
{
public:
    void takeSample() override { ++samples; }
    void showDriveInfo(const QStringList &) override {}
    std::atomic<int> samples{0};
};

// Parameter reads with fixed scales, standing in for the catalogue in the
// identity read.
class ScaledParameters : public ParameterAccess
{
public:
    double readParameter(int number) override
    {
        const bool hundredths = number == 302 || number == 360 || number == 56;
        return currentDriver()->readRegister(number, hundredths ? 0.01 : 1);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        return currentDriver()->writeRegister(number, value.toInt());
    }
    QString catalogueVersion() const override { return QStringLiteral("1.00"); }
};
}  // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        linkState().reset();
        setUserInteraction(&m_ui);
        m_ui.reset();
        m_dir.reset(new DataDir);
        m_dir->copyShipped("InvType/FNC.txt");
        m_dir->copyShipped("InvType/typeInfo.txt");
        loadSeriesFeatures();
    }
    void cleanup()
    {
        m_dir.reset();
        QCoreApplication::removeTranslator(&m_translator);
        setUserInteraction(nullptr);
    }

    void linkErrorsEndInOneWarningBox_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1") << -1 << "Communication Error!";
        QTest::newRow("0 is a message too") << 0 << "Navigation";
        QTest::newRow("12") << 12 << "Illegal data address!";
        QTest::newRow("19") << 19 << "Material range error!";
        QTest::newRow("no text") << 42 << "Communication Error!";
    }
    void linkErrorsEndInOneWarningBox()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        auto window = keptLinkWindow();
        emit LinkEvents::instance()->showErrorInfo(code);
        // Queued also on the GUI thread: the box opens from the event loop,
        // never inside the failing call.
        QVERIFY(m_ui.messages().isEmpty());
        QTRY_COMPARE(m_ui.messages().size(), 1);
        const auto message = m_ui.messages().at(0);
        QCOMPARE(message.kind, QString("warning"));
        QCOMPARE(message.title, QString("Warning"));
        QCOMPARE(message.text, text);
        QCOMPARE(message.thread, QThread::currentThread());
    }

    // A polling thread's read fails (the drive stops answering): the driver's
    // report is shown once, by the GUI thread. The monitor thread's own
    // readings fail silently and end the thread, which takes the pages off line.
    void pollingThreadFailureShowsOneBox()
    {
        auto window = demoWindow();
        QVERIFY(window->selectStation(1));
        ScaledParameters parameters;
        MonitorThread monitor(&parameters);
        MonitorPage<QuietPage> page;
        monitor.setDialPage(&page);
        monitorData().setDialFlag(0, true);
        QVERIFY(monitor.startForDials());
        QTRY_VERIFY(page.samples > 0);
        // The drive stops answering: the monitor thread, which keeps to the
        // drive it was started for, and another reader both fail.
        SimFaults dead;
        dead.noAnswer = true;
        demoLine()->setFaults(1, dead);
        double value = 0;
        QThread *poller = QThread::create([&] { value = currentDriver()->readRegister(7, 0.1); });
        poller->start();
        QVERIFY(poller->wait(10000));
        delete poller;
        QCOMPARE(value, -1.0);
        QVERIFY(monitor.wait(10000));
        QTRY_COMPARE(m_ui.messages().size(), 1);
        QTest::qWait(100);
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).text, QString("Communication Error!"));
        QCOMPARE(m_ui.messages().at(0).thread, QThread::currentThread());
        monitor.setDialPage(nullptr);
        demoLine()->setFaults(1, SimFaults());
    }

    void languageSwitchRetranslatesEveryOpenWindow_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("simplified") << 1;
        QTest::newRow("traditional") << 2;
    }
    void languageSwitchRetranslatesEveryOpenWindow()
    {
        QFETCH(int, code);
        copyTranslations();
        auto window = demoWindow();
        window->iniSysMon();
        window->trendShow();
        window->comSetup()->show();
        CAbout about(window.get());
        about.show();
        const auto captions = [&] {
            return QStringList{window->findChild<QMenu *>("MenuSys")->title(),
                               window->navigationDock()->windowTitle(),
                               window->comSetup()->windowTitle(),
                               about.windowTitle(),
                               window->dialPage()->windowTitle(),
                               window->trendPage()->windowTitle()};
        };
        const QStringList english = captions();
        QCOMPARE(english, (QStringList{"&System", "Navigation", "Communication setup",
                                       "Version Information", "Monitor", "Trend"}));
        QVERIFY(window->switchLanguage(code));
        QCoreApplication::processEvents();
        const QStringList translated = captions();
        for (int i = 0; i < english.size(); ++i)
            QVERIFY2(translated.at(i) != english.at(i) && !translated.at(i).isEmpty(),
                     qPrintable(english.at(i)));
        QCOMPARE(fileContents(m_dir->path() + "/LT.txt"), QByteArray::number(code));
        QCOMPARE(window->message(20), QCoreApplication::translate("CMainWindow", "Warning"));

        QVERIFY(window->switchLanguage(0));
        QCoreApplication::processEvents();
        QCOMPARE(captions(), english);
    }

    // Choosing the language in use rewrites nothing; a missing translation
    // file keeps the texts in place.
    void sameLanguageRewritesNothing()
    {
        copyTranslations();
        auto window = demoWindow();
        QVERIFY(!window->switchLanguage(0));
        QVERIFY(!QFile::exists(m_dir->path() + "/LT.txt"));
        QVERIFY(window->findChild<QAction *>("actE")->isChecked());

        QVERIFY(QFile::remove(m_dir->path() + "/language/KorvaneINV_zh_Big.qm"));
        QVERIFY(window->switchLanguage(2));
        QCoreApplication::processEvents();
        QCOMPARE(window->navigationDock()->windowTitle(), QString("Navigation"));
        QVERIFY(window->findChild<QAction *>("actCT")->isChecked());
        QVERIFY(!window->findChild<QAction *>("actE")->isChecked());
    }

    void helpLocation_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("compiled");  // a .chm put in place, or empty
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("html, English") << "bin" << "" << 0 << "bin/help/en/index.html";
        QTest::newRow("html, traditional") << "bin" << "" << 2 << "bin/help/zh_TW/index.html";
        QTest::newRow("chm there") << "bin" << "bin/help/HELP-CN.chm" << 1
                                   << "bin/help/HELP-CN.chm";
        QTest::newRow("other language's chm") << "bin" << "bin/help/HELP-CN.chm" << 0
                                              << "bin/help/en/index.html";
        QTest::newRow("Release folder") << "out/Release" << "out/help/HELP-TW.chm" << 2
                                        << "out/help/HELP-TW.chm";
        QTest::newRow("debug folder") << "out/debug" << "" << 0 << "out/help/en/index.html";
        QTest::newRow("release below") << "Release/bin" << "" << 0
                                       << "Release/bin/help/en/index.html";
    }
    void helpLocation()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, compiled);
        QFETCH(int, language);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QDir(root.path()).mkpath(programDir);
        if (!compiled.isEmpty()) {
            QDir(root.path()).mkpath(QFileInfo(compiled).path());
            QFile(root.filePath(compiled)).open(QIODevice::WriteOnly);
        }
        QCOMPARE(QDir::cleanPath(::helpLocation(root.filePath(programDir), language)),
                 QDir::cleanPath(root.filePath(expected)));
    }

    void helpOpensThroughTheDesktop()
    {
        auto window = demoWindow();
        setLanguageCode(1);
        QList<QUrl> opened;
        bool opens = true;
        window->setUrlOpener([&](const QUrl &url) {
            opened.append(url);
            return opens;
        });
        window->findChild<QAction *>("actHelp")->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0), QUrl::fromLocalFile(m_dir->path() + "/help/zh_CN/index.html"));
        QVERIFY(m_ui.messages().isEmpty());
        opens = false;  // no program to open it: said, not silent
        window->iniHELP();
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY(m_ui.messages().at(0).text.contains("index.html"));
    }

    void pagesAreReplacedNotReused()
    {
        auto window = demoWindow();
        window->findChild<QAction *>("actSysMon")->trigger();
        QPointer<QWidget> first = window->dialPage();
        QVERIFY(first && first->isVisible());
        window->findChild<QAction *>("actToolMonitor")->trigger();
        QVERIFY(!first);
        QVERIFY(window->dialPage() && window->dialPage()->isVisible());
        window->trendShow();
        QPointer<QWidget> trend = window->trendPage();
        window->trendShow();
        QVERIFY(!trend && window->trendPage());
        QPointer<QWidget> dial = window->dialPage();
        trend = window->trendPage();
        window->close();
        QVERIFY(!dial && !trend);
    }

    // The monitor and trend windows opened on the ZM at station 1 keep
    // reading it and naming it after station 3, a ZQ1, is chosen and set
    // running: no value of the ZQ1 appears under a ZM caption.
    void windowsKeepTheirDrive()
    {
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));  // the catalogues too
        MonitorThread monitor;  // outlives the window's pages
        auto window = demoWindow();
        window->setMonitorThread(&monitor);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        SimulatedDrive &zm = *demoLine()->drive(1);
        SimulatedDrive &zq1 = *demoLine()->drive(3);
        QCOMPARE(zm.outputFrequency(), 0.0);
        QVERIFY(window->selectStation(1));
        window->findChild<QAction *>("actSysMon")->trigger();
        window->findChild<QAction *>("actionTrend")->trigger();
        QPointer<MainDialPlot> dial = qobject_cast<MainDialPlot *>(window->dialPage());
        QPointer<MainAdvPlot> trend = qobject_cast<MainAdvPlot *>(window->trendPage());
        QVERIFY(dial && trend);
        const QString zmTitle = QString::fromUtf8(" \u2014 station 1 ZM-043-7.5K");
        QCOMPARE(dial->windowTitle(), "Monitor" + zmTitle);
        QCOMPARE(trend->windowTitle(), "Trend" + zmTitle);

        QVERIFY(window->selectStation(3));
        CNavigation *nav = window->navigationPanel();
        auto button = [nav](const char *name) { return nav->findChild<QPushButton *>(name); };
        QTest::mouseClick(button("CUPB"), Qt::LeftButton);
        nav->findChild<QDoubleSpinBox *>("FrespinBox")->setValue(20);
        QTest::mouseClick(button("NaSetPB"), Qt::LeftButton);
        QTest::mouseClick(button("NaFWDPB"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(zq1.outputFrequency() > 5, 10000);

        QCOMPARE(trend->quantityBox(0)->currentText(), QString("Output Frequency"));
        trend->channelCheckBox(0)->setChecked(true);
        trend->action("actRun")->trigger();
        dial->runAction()->trigger();
        QTRY_VERIFY(trend->state() == MainAdvPlot::State::Running);
        QTRY_VERIFY(dial->state() == MainDialPlot::State::Running);
        QTRY_VERIFY_WITH_TIMEOUT(trend->plot()->cycleCount() > 20, 10000);
        QVERIFY(zq1.outputFrequency() > 5);
        const TrendRecording rec = trend->plot()->recording();
        int sampled = 0;
        for (int k = 0; k < rec.size(); ++k) {
            const double f = rec.at(k).values[0];
            if (!TrendRecording::hasValue(f))
                continue;
            ++sampled;
            QVERIFY2(f == 0, qPrintable(QString("cycle %1: %2 Hz").arg(k).arg(f)));
        }
        QVERIFY(sampled > 10);
        QCOMPARE(dial->sampleValueField()->text(), QString("0"));
        QCOMPARE(dial->infoValue(MainDialPlot::TypeField)->text(), QString("ZM"));
        QCOMPARE(dial->windowTitle(), "Monitor" + zmTitle);
        QCOMPARE(trend->windowTitle(), "Trend" + zmTitle);

        QTest::mouseClick(button("NaStopPB"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!zq1.running(), 10000);
        window.reset();
    }

    // The diagnosis tab of a monitor window opened on station 1 reads
    // station 1 after a real click has chosen station 2: the alarm history
    // is drive 1's, and "Read Hide Pr." opens and closes the write guard
    // (P.77) of drive 1 only.
    void diagnosisReadsTheWindowsDrive()
    {
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        MonitorThread monitor;
        auto window = demoWindow();
        window->setMonitorThread(&monitor);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        SimulatedDrive &one = *demoLine()->drive(1);
        SimulatedDrive &two = *demoLine()->drive(2);
        one.raiseAlarm(48);
        one.resetAlarm();
        two.raiseAlarm(16);
        two.resetAlarm();
        one.setParameterValue(77, 0);
        two.setParameterValue(77, 1);
        QVERIFY(window->selectStation(1));
        window->iniSysMon();
        auto *page = qobject_cast<MainDialPlot *>(window->dialPage());
        QVERIFY(page);
        HideParameter *diagnosis = page->diagnosisPage();
        page->tabWidget()->setCurrentIndex(2);
        QVERIFY(QTest::qWaitForWindowExposed(page));
        QVERIFY(diagnosis->historyButton()->isVisible());

        // What drive 1 says while station 1 is current.
        QTest::mouseClick(diagnosis->historyButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!diagnosis->isBusy(), 10000);
        const QString history = diagnosis->historyBox()->toPlainText();
        QVERIFY(!history.isEmpty());
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        diagnosis->historyBox()->clear();

        // A real click on station 2 in the tree.
        auto *tree = window->navigationPanel()->findChild<QTreeView *>("SysSettreeView");
        const QModelIndex second = window->navigationPanel()->stationItem(2)->index();
        tree->scrollTo(second);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree->visualRect(second).center());
        QTRY_COMPARE(int(linkState().stationByte), 2);

        auto frames = std::make_shared<StationFrames>();
        linkState().addFrameObserver(frames);
        QTest::mouseClick(diagnosis->historyButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!diagnosis->isBusy(), 10000);
        QCOMPARE(diagnosis->historyBox()->toPlainText(), history);
        QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));

        QTest::mouseClick(diagnosis->serviceButton(), Qt::LeftButton);
        auto *password = diagnosis->findChild<PassWordDlg *>();
        QVERIFY(password);
        QTest::keyClicks(password->findChild<QLineEdit *>("passwordLineEdit"), "tarmelo");
        QTest::keyClick(password->findChild<QLineEdit *>("passwordLineEdit"), Qt::Key_Return);
        QTRY_VERIFY(diagnosis->hiddenMode());
        QTest::mouseClick(diagnosis->readHiddenButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!diagnosis->isBusy(), 20000);
        linkState().removeFrameObserver(frames);

        QCOMPARE(one.parameter(77).value, quint16(0));
        QCOMPARE(two.parameter(77).value, quint16(1));
        const QList<int> writes = frames->writeStations();
        QVERIFY(writes.size() >= 2);  // the guard opened, then closed
        QCOMPARE(writes.count(1), writes.size());
        // The demo's ZM lacks some registers of the hidden list (P.303 to
        // P.306): their refusals are reported, and nothing else.
        for (const auto &message : m_ui.messages())
            QCOMPARE(message.text, QString("Illegal data address!"));
        window.reset();
    }

    // A trend window with a recording not yet saved is replaced only after
    // the user agrees; after "Save Data" it goes without a question.
    void unsavedRecordingIsNotDroppedSilently()
    {
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));  // the catalogues too
        MonitorThread monitor;  // outlives the window's pages
        auto window = demoWindow();
        window->setMonitorThread(&monitor);
        QVERIFY(window->selectStation(1));
        window->trendShow();
        QPointer<MainAdvPlot> trend = qobject_cast<MainAdvPlot *>(window->trendPage());
        QVERIFY(trend);
        trend->channelCheckBox(0)->setChecked(true);
        trend->action("actRun")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(trend->plot()->cycleCount() > 3, 10000);
        trend->action("actStop")->trigger();
        QVERIFY(trend->hasUnsavedRecording());

        m_ui.nextAnswer = UserInteraction::Answer::No;
        window->findChild<QAction *>("actionTrend")->trigger();
        QVERIFY(trend);
        QCOMPARE(window->trendPage(), trend.data());
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY(m_ui.messages().at(0).text.contains("station 1 ZM-043-7.5K"));

        const QString file = m_dir->path() + "/trend.txt";
        trend->setFileNameAsker([&](QWidget *, const QString &, const QString &,
                                    const QString &) { return file; });
        trend->action("actSaveData")->trigger();
        QVERIFY(QFile::exists(file));
        QVERIFY(!trend->hasUnsavedRecording());
        m_ui.reset();
        window->findChild<QAction *>("actionTrend")->trigger();
        QVERIFY(!trend);
        QVERIFY(m_ui.messages().isEmpty());
        window.reset();
    }

    // Leaving the program with an unsaved recording asks first; "No" keeps
    // the program and the trend window open.
    void exitAsksForAnUnsavedRecording()
    {
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));  // the catalogues too
        MonitorThread monitor;  // outlives the window's pages
        auto window = demoWindow();
        window->setMonitorThread(&monitor);
        window->show();
        QVERIFY(window->selectStation(1));
        window->trendShow();
        QPointer<MainAdvPlot> trend = qobject_cast<MainAdvPlot *>(window->trendPage());
        QVERIFY(trend);
        trend->channelCheckBox(0)->setChecked(true);
        trend->action("actRun")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(trend->plot()->cycleCount() > 3, 10000);
        trend->action("actStop")->trigger();

        m_ui.nextAnswer = UserInteraction::Answer::No;
        QVERIFY(!window->close());
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY(window->isVisible());
        QVERIFY(trend && trend->isVisible() && trend->hasUnsavedRecording());

        m_ui.clear();
        QVERIFY(window->close());
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY(!trend);
        window.reset();
    }

    // The service mode's "RAM" tab is the RAM monitor; closing the monitor
    // window ends its reader, which would otherwise go on reading the line.
    void ramTabStopsWithTheMonitorWindow()
    {
        auto window = demoWindow();
        QVERIFY(window->selectStation(3));
        window->iniSysMon();
        auto *page = qobject_cast<MainDialPlot *>(window->dialPage());
        QVERIFY(page);
        page->monitorRam();
        QPointer<Ram> ram = qobject_cast<Ram *>(page->ramPage());
        QVERIFY(ram);
        ram->setDialogRunner([](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText("tarmelo");
            QMetaObject::invokeMethod(&dialog, "accept");
            return dialog.result();
        });
        ram->passwordAction()->trigger();
        ram->runAction()->trigger();
        QVERIFY(ram->isRunning());
        QPointer<RamThread> reader = ram->reader();
        QVERIFY(reader);
        QTRY_VERIFY(reader->isRunning());
        QTRY_VERIFY(!ram->plot()->series(0).isEmpty());
        page->close();
        QVERIFY(ram && !ram->isRunning() && !ram->reader());
        // Told to stop, it ends after its exchange and is deleted.
        QTRY_VERIFY(!reader);
        window->close();
        QVERIFY(!ram);
    }

    // The "Monitor Ram" button hides the tab while its page reads the
    // drive: the page stays, its reader is told to stop and let go of it,
    // and ends on its own.
    void ramTabHiddenWhileReading()
    {
        auto window = demoWindow();
        QVERIFY(window->selectStation(3));
        window->iniSysMon();
        auto *page = qobject_cast<MainDialPlot *>(window->dialPage());
        QVERIFY(page);
        QPushButton *ramButton = page->diagnosisPage()->ramButton();
        ramButton->click();
        QPointer<Ram> ram = qobject_cast<Ram *>(page->ramPage());
        QVERIFY(ram);
        QCOMPARE(ram->driveTarget().station, 3);
        ram->setDialogRunner([](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText("tarmelo");
            QMetaObject::invokeMethod(&dialog, "accept");
            return dialog.result();
        });
        ram->passwordAction()->trigger();
        ram->runAction()->trigger();
        QPointer<RamThread> reader = ram->reader();
        QVERIFY(reader);
        QTRY_VERIFY(!ram->plot()->series(0).isEmpty());
        ramButton->click();
        QVERIFY(!page->tabWidget()->isTabVisible(3));
        QVERIFY(ram && !ram->isRunning() && !ram->reader());
        QVERIFY(!reader || (reader->isDetached() && reader->stopRequested()));
        QTRY_VERIFY(!reader);
        window->close();
    }

    // Switched off and on again, the RAM tab is the same page: what it
    // charted is still there, and the password given once still holds.
    void ramTabKeptWhenSwitchedOffAndOn()
    {
        auto window = demoWindow();
        QVERIFY(window->selectStation(3));
        window->iniSysMon();
        auto *page = qobject_cast<MainDialPlot *>(window->dialPage());
        QVERIFY(page);
        QTabWidget *tabs = page->tabWidget();
        QPushButton *ramButton = page->diagnosisPage()->ramButton();
        ramButton->click();
        QPointer<Ram> ram = qobject_cast<Ram *>(page->ramPage());
        QVERIFY(ram);
        int asked = 0;
        ram->setDialogRunner([&asked](QDialog &dialog) {
            ++asked;
            dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText("tarmelo");
            QMetaObject::invokeMethod(&dialog, "accept");
            return dialog.result();
        });
        ram->passwordAction()->trigger();
        ram->runAction()->trigger();
        QTRY_VERIFY(ram->plot()->series(0).size() >= 3);
        ram->stopAction()->trigger();
        const QVector<QPointF> charted = ram->plot()->series(0);

        ramButton->click();
        QVERIFY(!page->ramPage());
        QVERIFY(tabs->currentWidget() != ram.data());
        ramButton->click();
        QVERIFY(ram);
        QCOMPARE(page->ramPage(), static_cast<QWidget *>(ram.data()));
        QCOMPARE(tabs->currentWidget(), static_cast<QWidget *>(ram.data()));
        QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("RAM"));
        QCOMPARE(ram->plot()->series(0), charted);
        QVERIFY(ram->isUnlocked());
        QVERIFY(ram->runAction()->isEnabled());
        ram->runAction()->trigger();
        QVERIFY(ram->isRunning());
        QTRY_VERIFY(ram->plot()->series(0).size() > charted.size());
        QCOMPARE(asked, 1);
        window->close();
        QVERIFY(!ram);
    }

    void closeSavesTheStationList_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("drive line") << false;
        QTest::newRow("demo leaves the files alone") << true;
    }
    void closeSavesTheStationList()
    {
        QFETCH(bool, demo);
        m_dir->write("station.txt", "14,ZN-020-5.5K\n");
        m_dir->write("iniProtocol.txt", "1-sim-1-1-0-0-0\n");
        CMainWindow::Options options;
        options.demo = demo;
        auto window = withoutStartQuestion(std::make_unique<CMainWindow>(m_translator, options));
        QStringList names = window->stationNames();
        QCOMPARE(names.size(), 255);
        QCOMPARE(names.at(14), demo ? QString() : QString("ZN-020-5.5K"));
        names[7] = "ZM-043-7.5K";
        window->setStationNames(names);
        window->close();
        QCOMPARE(fileContents(m_dir->path() + "/station.txt"),
                 demo ? QByteArray("14,ZN-020-5.5K\n")
                      : QByteArray("7,ZM-043-7.5K\n14,ZN-020-5.5K\n"));
        QCOMPARE(fileContents(m_dir->path() + "/iniProtocol.txt"), QByteArray("1-sim-1-1-0-0-0\n"));
        QVERIFY(m_ui.messages().isEmpty());
    }

    // The start question comes in the language LT.txt asks for.
    void startQuestionInTheStoredLanguage()
    {
        copyTranslations();
        setLanguageCode(1);
        m_ui.clear();
        CMainWindow::Options demo;
        demo.demo = true;
        CMainWindow window(m_translator, demo);
        QVERIFY(!m_ui.messages().isEmpty());
        QCOMPARE(m_ui.messages().first().kind, QString("question"));
        QCOMPARE(m_ui.messages().first().text, QString::fromUtf8("载入已保存的站号吗？"));
        setLanguageCode(0);
    }

    // "No" at the start question, then Exit: the saved list stays as it was.
    // Written again only after a change.
    void stationListWrittenOnlyAfterAChange_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("change");
        QTest::addColumn<QByteArray>("file");
        const QByteArray saved("3,ZQ1-043-5.5K\n14,ZN-020-5.5K\n");
        QTest::newRow("No, no change") << int(UserInteraction::Answer::No) << false << saved;
        QTest::newRow("Yes, no change") << int(UserInteraction::Answer::Yes) << false << saved;
        QTest::newRow("No, then a station typed")
            << int(UserInteraction::Answer::No) << true << QByteArray("7,ZM-043-7.5K\n");
    }
    void stationListWrittenOnlyAfterAChange()
    {
        QFETCH(int, answer);
        QFETCH(bool, change);
        QFETCH(QByteArray, file);
        m_dir->write("station.txt", "3,ZQ1-043-5.5K\n14,ZN-020-5.5K\n");
        m_dir->write("iniProtocol.txt", "1-sim-1-1-0-0-0\n");
        m_ui.nextAnswer = UserInteraction::Answer(answer);
        auto window = withoutStartQuestion(std::make_unique<CMainWindow>(m_translator));
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        if (change) {
            QStringList names = window->stationNames();
            names[7] = "ZM-043-7.5K";
            window->setStationNames(names);
        }
        window->close();
        QCOMPARE(fileContents(m_dir->path() + "/station.txt"), file);
    }

    // The demo: the simulated line whatever iniProtocol.txt says, its drives
    // named in the station list, station 1 selected and its actions on.
    void demoRunsOnTheSimulatedDrives()
    {
        m_dir->write("iniProtocol.txt", "0-nosuchport-1-1-0-0-1\n");
        auto window = demoWindow();
        QCOMPARE(linkState().serialPort()->portName(), QString("sim"));
        QCOMPARE(int(linkState().protocolCode), 1);
        const QStringList names = window->stationNames();
        QCOMPARE(names.mid(1, 3), (QStringList{"ZM-043-7.5K", "ZN-020-5.5K", "ZQ1-043-5.5K"}));
        QVERIFY(window->selectStation(1));
        QCOMPARE(window->typeValueLabel()->text(), QString("ZM-043-7.5K"));
        QCOMPARE(seriesLetter(), 'F');
        QVERIFY(window->findChild<QAction *>("actToolMonitor")->isEnabled());
        linkState().setStation(2);
        QCOMPARE(currentDriver()->readRegister(300, 0.01), 5.5);
        // A session of days must not pile up a record of its traffic.
        const auto sim = std::dynamic_pointer_cast<SimPort>(linkState().serialPort());
        QVERIFY(sim && sim->writes().isEmpty() && sim->readStats().isEmpty());
        QVERIFY(m_ui.messages().isEmpty());
    }

    void driveActionsFollowTheDrive()
    {
        m_dir->write("iniProtocol.txt", "1-sim-1-1-0-0-0\n");
        auto window = withoutStartQuestion(std::make_unique<CMainWindow>(m_translator));
        QCOMPARE(linkState().serialPort()->portName(), QString("sim"));
        const QStringList dependent{"actAllPar", "actSysMon", "actionTrend", "actToolParameter",
                                    "actToolMonitor", "actToolTrend"};
        for (const QString &name : dependent)
            QVERIFY2(!window->findChild<QAction *>(name)->isEnabled(), qPrintable(name));
        QVERIFY(window->findChild<QAction *>("actHelp")->isEnabled());
        window->setDriveActionsEnabled(true);
        for (const QString &name : dependent)
            QVERIFY2(window->findChild<QAction *>(name)->isEnabled(), qPrintable(name));
        QVERIFY(!window->parameterForm()->isVisible());
        window->show();
        window->findChild<QAction *>("actToolParameter")->trigger();
        QVERIFY(window->parameterForm()->isVisible());
        window->findChild<QAction *>("actAllPar")->trigger();
        QVERIFY(!window->parameterForm()->isVisible());
        window->close();
    }

    // The status bar names the line in use and lights its lamp from the
    // link core's signal: grey, then green after an answer, red after none.
    void statusBarShowsTheLine()
    {
        auto window = demoWindow();
        QLabel *lamp = window->lineLamp();
        QCOMPARE(lamp->property("health").toInt(), int(LinkEvents::LineUntried));
        QCOMPARE(window->lineLabel()->text(), QString("Simulated drives  |  Modbus RTU  |  9600 8N1"));
        linkState().setStation(1);
        QVERIFY(currentDriver()->readRegister(7, 0.1) >= 0);
        QTRY_COMPARE(lamp->property("health").toInt(), int(LinkEvents::LineAnswered));
        linkState().setStation(9);
        QCOMPARE(currentDriver()->readRegister(7, 0.1), -1.0);
        QTRY_COMPARE(lamp->property("health").toInt(), int(LinkEvents::LineFailed));
        QTRY_COMPARE(m_ui.messages().size(), 1);

        // The setup dialog's choice shows at once, with a fresh lamp.
        ComSettings ascii = ComSettings::fromLine("2-sim-5-0-1-2-2");
        window->comSetup()->setModalRunner([&](CComSetup &dialog) {
            dialog.setSettings(ascii);
            return int(QDialog::Accepted);
        });
        window->iniComDialog();
        QTRY_COMPARE(window->lineLabel()->text(),
                     QString("Simulated drives  |  Modbus ASCII  |  115200 7E2"));
        QTRY_COMPARE(lamp->property("health").toInt(), int(LinkEvents::LineUntried));
        QVERIFY(!QFile::exists(m_dir->path() + "/iniProtocol.txt"));  // the demo stores nothing
    }

    void versionDialogNamesTheVersions()
    {
        QVERIFY(CAbout::titleText().contains(VANTREO_VERSION));
        const QString info = CAbout::infoHtml();
        QVERIFY(info.contains(QString::fromLatin1(qVersion())));
        QVERIFY(info.contains(QT_VERSION_STR));
        QVERIFY(info.contains("6.1"));  // Qwt
    }

private:
    std::unique_ptr<CMainWindow> demoWindow()
    {
        CMainWindow::Options options;
        options.demo = true;
        return withoutStartQuestion(std::make_unique<CMainWindow>(m_translator, options));
    }
    // The navigation panel asks "load saved stations ?" while the window is built.
    std::unique_ptr<CMainWindow> withoutStartQuestion(std::unique_ptr<CMainWindow> window)
    {
        if (m_ui.messages().size() == 1 && m_ui.messages().at(0).text == "load saved stations ?")
            m_ui.clear();
        return window;
    }
    std::unique_ptr<CMainWindow> keptLinkWindow()
    {
        CMainWindow::Options options;
        options.openLink = false;
        return withoutStartQuestion(std::make_unique<CMainWindow>(m_translator, options));
    }
    void copyTranslations()
    {
        for (const char *name : {"KorvaneINV_Eng.qm", "KorvaneINV_zh_CN.qm", "KorvaneINV_zh_Big.qm"}) {
            QFile in(QStringLiteral(VANTREO_BIN_DIR "/language/") + name);
            QVERIFY(in.open(QIODevice::ReadOnly));
            m_dir->write(QStringLiteral("language/") + name, in.readAll());
        }
    }

    RecordingInteraction m_ui;
    QTranslator m_translator;
    std::unique_ptr<DataDir> m_dir;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
