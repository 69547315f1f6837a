#include "link/driverregistry.h"
#include "base/series.h"
#include "common/scaledparameters.h"
#include "common/simdriverig.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"
#include "resources/images.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "gui/monitor/cockpit.h"
#include "gui/monitor/dial.h"
#include "gui/monitor/dialoptiondialog.h"
#include "gui/monitor/inverterstate.h"
#include "gui/monitor/iostate.h"
#include "gui/widgets/lamp.h"
#include "gui/monitor/maindialplot.h"
#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {
using DriveRig = SimDriveRig;

QList<int> dialFlags()
{
    QList<int> on;
    for (int k = 0; k < MonitorData::kSize; ++k)
        if (monitorData().dialFlag(k))
            on.append(k);
    return on;
}

QStringList items(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// Every control a user has while the page is idle.
bool everyControlEnabled(MainDialPlot &page)
{
    Cockpit *c = page.cockpit();
    return page.runAction()->isEnabled() && page.stopAction()->isEnabled() &&
           page.exitAction()->isEnabled() && page.optionButton()->isEnabled() &&
           page.clearButton()->isEnabled() && page.plotSelector()->isEnabled() &&
           c->leftSelector()->isEnabled() && c->midSelector()->isEnabled() &&
           c->rightSelector()->isEnabled();
}
}  // namespace

// The monitor window on the simulated drives: what it offers per series, how
// it starts, runs, stops and goes off line, and that it can be closed or
// deleted while the monitor thread samples for it.
class TestMainDialPlot : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;
    ScaledParameters m_parameters;
    std::unique_ptr<LinkWorker> m_worker;
    std::unique_ptr<MonitorThread> m_monitor;

    MonitorPage<MainDialPlot> *newPage()
    {
        auto *page = MainDialPlot::create(m_monitor.get(), *m_worker, &m_parameters);
        page->resize(1100, 760);
        page->show();
        return page;
    }
    // Starts monitoring and waits until the page runs.
    bool startRunning(MainDialPlot &page)
    {
        page.startMonitor();
        return QTest::qWaitFor([&] { return page.state() == MainDialPlot::State::Running; },
                               10000);
    }

private slots:
    void initTestCase()
    {
        initialiseImages();
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt", "InvParameter/Version.txt",
                              "InvParameter/F_InvParameter_Eng.xml",
                              "InvParameter/H_InvParameter_Eng.xml",
                              "InvParameter/L_InvParameter_Eng.xml",
                              "InvParameter/A_InvParameter_Eng.xml"})
            m_dir.copyShipped(QString::fromLatin1(f));
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void init()
    {
        m_ui.clear();
        monitorData().reset();
        m_worker = std::make_unique<LinkWorker>();
        m_monitor = std::make_unique<MonitorThread>();
        setCatalogueVersion(QStringLiteral("1.00"));
    }
    void cleanup()
    {
        m_monitor.reset();
        m_worker.reset();
        linkState().setSerialPort(nullptr);
        setCatalogueVersion(QString());
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    void selectorsFollowTheDrive_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("dialItems");
        QTest::addColumn<int>("plotItems");
        QTest::newRow("ZN") << "ZN-020-5.5K" << "0.10" << 4 << 4;
        QTest::newRow("ZM-K 0.10") << "ZM-043-7.5K-K" << "0.10" << 4 << 4;
        QTest::newRow("ZM-K 0.40") << "ZM-043-7.5K-K" << "0.40" << 10 << 10;
        QTest::newRow("ZM") << "ZM-043-7.5K" << "1.00" << 10 << 10;
        QTest::newRow("ZM-KX") << "ZM-043-5.5K-KX" << "0.14" << 20 << 20;
        QTest::newRow("ZQ") << "ZQ1-043-5.5K" << "0.10" << 23 << 23;
        QTest::newRow("ZP2 0.50") << "ZP2-043-2.2K" << "0.50" << 4 << 4;
    }
    void selectorsFollowTheDrive()
    {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(int, dialItems);
        QFETCH(int, plotItems);
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        setCatalogueVersion(version);
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        Cockpit *c = page->cockpit();
        for (QComboBox *selector : {c->leftSelector(), c->midSelector(), c->rightSelector()})
            QCOMPARE(selector->count(), dialItems);
        QCOMPARE(page->plotSelector()->count(), plotItems);
        QCOMPARE(items(c->leftSelector()).mid(0, 4),
                 (QStringList{"Output Frequency", "Output Voltage", "Output Current",
                              "Target Frequency"}));
        QCOMPARE(c->leftSelector()->currentIndex(), 0);
        QCOMPARE(c->midSelector()->currentIndex(), 1);
        QCOMPARE(c->rightSelector()->currentIndex(), 2);
        QCOMPARE(c->leftDial()->label(), QString("Hz(r/min)"));
        QCOMPARE(c->midDial()->label(), QString("V"));
        QCOMPARE(c->rightDial()->label(), QString("A"));
        // Without a monitor thread nothing can be started.
        QVERIFY(!page->runAction()->isEnabled());
        QCOMPARE(page->infoValue(MainDialPlot::TypeField)->text(), QString("..."));
    }

    // The decoded identity in the tool bar, for the window's drive; the
    // decoding of every series is the run's (tst_monitorrun).
    void driveInfo_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("power");
        const QString none = "...";
        QTest::newRow("ZM-K second rating")
            << 'G' << QStringList{"ZM-043-7.5K/11K-K", "V0.33", "17A", "440V", "1"} << "ZM-K"
            << "11KW";
        QTest::newRow("ZM-K, rating unknown")
            << 'G' << QStringList{"ZM-043-7.5K-K", "V0.33", "17A", "440V", ""} << none << none;
        QTest::newRow("ZN, four texts") << 'H' << QStringList{"ZN-020-5.5K", "0.1", "19A", ""} << "ZN"
                                        << "5.5K";
    }
    void driveInfo()
    {
        QFETCH(char, series);
        QFETCH(QStringList, record);
        QFETCH(QString, type);
        QFETCH(QString, power);
        setSeriesLetter(series);
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        page->showDriveInfo(record);
        QCOMPARE(page->infoValue(MainDialPlot::TypeField)->text(), type);
        QCOMPARE(page->infoValue(MainDialPlot::PowerField)->text(), power);
        QCOMPARE(page->infoValue(MainDialPlot::VersionField)->text(), record.value(1));
        QCOMPARE(page->infoValue(MainDialPlot::CurrentField)->text(), record.value(2));
        QCOMPARE(page->infoValue(MainDialPlot::VoltageField)->text(), record.value(3));
        // An empty record leaves the texts shown.
        page->showDriveInfo(QStringList());
        QCOMPARE(page->infoValue(MainDialPlot::TypeField)->text(), type);
        QCOMPARE(page->infoValue(MainDialPlot::VersionField)->text(), record.value(1));
    }

    // The drive runs at 50 Hz; the page monitors it, stops, runs again and
    // goes back to idle when the line breaks.
    void monitorsARunningDrive()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        rig.runAt(50);
        std::unique_ptr<MainDialPlot> page(newPage());
        QVERIFY(everyControlEnabled(*page));
        QVERIFY(startRunning(*page));
        QVERIFY(!page->runAction()->isEnabled() && !page->optionButton()->isEnabled());
        QVERIFY(!page->plotSelector()->isEnabled() && !page->cockpit()->leftSelector()->isEnabled());
        QVERIFY(page->stopAction()->isEnabled() && page->clearButton()->isEnabled());
        QCOMPARE(dialFlags(), (QList<int>{0, 1, 2, 12}));
        QCOMPARE(page->infoValue(MainDialPlot::TypeField)->text(), QString("ZM"));
        QCOMPARE(page->infoValue(MainDialPlot::PowerField)->text(), QString("7.5KW"));

        QTRY_COMPARE(page->cockpit()->leftDial()->value(), 50.0);
        QTRY_VERIFY(!page->plot()->series(0).isEmpty() &&
                    page->plot()->series(0).last().y() == 50.0);
        QTRY_COMPARE(page->sampleValueField()->text(), QString("50"));
        QTRY_VERIFY(page->statusPanel()->lamp(0)->isLit());  // Running
        QVERIFY(page->statusPanel()->lamp(1)->isLit());       // Forward
        QVERIFY(!page->statusPanel()->lamp(2)->isLit());      // not Reversal
        QVERIFY(page->cockpit()->midDial()->value() > 0);
        QVERIFY(page->cockpit()->rightDial()->label().endsWith("A"));
        // The page follows the drive, not a picture of it.
        QVERIFY(currentDriver()->writeRegister(SimRegisters::FrequencyCommand, 3000));
        rig.drive->advance(30000);
        QTRY_COMPARE(page->cockpit()->leftDial()->value(), 30.0);

        page->stopMonitor();
        QCOMPARE(page->state(), MainDialPlot::State::Idle);
        QVERIFY(everyControlEnabled(*page));
        QCOMPARE(dialFlags(), QList<int>{});
        QVERIFY(m_monitor->wait(10000));
        QVERIFY(!page->statusPanel()->lamp(0)->isLit());

        // Running again, the broken line still takes the page off line.
        QVERIFY(startRunning(*page));
        QTRY_VERIFY(page->statusPanel()->lamp(0)->isLit());
        rig.breakLine();
        QTRY_COMPARE_WITH_TIMEOUT(page->state(), MainDialPlot::State::Idle, 20000);
        QVERIFY(everyControlEnabled(*page));
        QCOMPARE(dialFlags(), QList<int>{});
        QVERIFY(!m_monitor->dialActive());
        QVERIFY(!page->statusPanel()->lamp(0)->isLit());
        QVERIFY(!page->plot()->isRefreshing());
    }

    // The line is lost and then answers again before the page hears that the
    // thread ended: the page still goes off line.
    void offLineAfterTheLineCameBack()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        std::unique_ptr<MainDialPlot> page(newPage());
        QVERIFY(startRunning(*page));
        rig.breakLine();
        QVERIFY(m_monitor->wait(20000));
        QVERIFY(linkState().linkLost);
        rig.line->setFaults(1, SimFaults());
        QVERIFY(currentDriver()->readRegister(7, 0.1) >= 0);
        QVERIFY(!linkState().linkLost);
        QCOMPARE(page->state(), MainDialPlot::State::Running);  // not told yet
        QTRY_COMPARE(page->state(), MainDialPlot::State::Idle);
        QVERIFY(everyControlEnabled(*page));
        QVERIFY(!m_monitor->dialActive());
        // And it can be started again.
        QVERIFY(startRunning(*page));
        page->stopMonitor();
    }

    // The identity cannot be read: the page stays idle with every control
    // (what the run starts and asks for meanwhile: tst_monitorrun).
    void refusedStart()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        rig.breakLine();
        std::unique_ptr<MainDialPlot> page(newPage());
        page->startMonitor();
        QCOMPARE(page->state(), MainDialPlot::State::Starting);
        QVERIFY(!page->runAction()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(page->state(), MainDialPlot::State::Idle, 20000);
        QVERIFY(everyControlEnabled(*page));
    }

    // Stopped before the identity has been read: monitoring never starts.
    void stopWhileStarting()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        std::unique_ptr<MainDialPlot> page(newPage());
        page->startMonitor();
        page->stopMonitor();
        QCOMPARE(page->state(), MainDialPlot::State::Idle);
        QTRY_COMPARE(m_worker->unfinishedJobs(), 0);
        QTest::qWait(50);
        QCOMPARE(page->state(), MainDialPlot::State::Idle);
        QVERIFY(!m_monitor->dialActive() && !m_monitor->isRunning());
        QVERIFY(everyControlEnabled(*page));
    }

    // A ZN drive: four quantities, working status lamps, and a terminal
    // panel that stays greyed out and dark.
    void znKeepsItsTerminalPanelDark()
    {
        DriveRig rig(QStringLiteral("ZN-020-5.5K"));
        setCatalogueVersion(QStringLiteral("0.10"));
        rig.runAt(50);
        std::unique_ptr<MainDialPlot> page(newPage());
        QCOMPARE(page->cockpit()->rightSelector()->count(), 4);
        QVERIFY(startRunning(*page));
        QCOMPARE(page->infoValue(MainDialPlot::TypeField)->text(), QString("ZN"));
        QTRY_VERIFY(page->statusPanel()->lamp(0)->isLit());
        QCOMPARE(page->statusPanel()->caption(5)->text(), QString("key tone"));
        QTest::qWait(150);
        QVERIFY(!page->terminalMonitoringActive());
        QVERIFY(!page->terminalPanel()->isRunning());
        QCOMPARE(dialFlags(), (QList<int>{0, 1, 2, 12}));
        for (int n = 1; n <= IOState::kLamps; ++n) {
            QVERIFY(!page->terminalPanel()->lamp(n)->isLit());
            QVERIFY(!page->terminalPanel()->lamp(n)->isEnabled());
        }
        page->stopMonitor();
    }

    // A ZM-KX drive: the terminals are watched from the first refresh on.
    void zmkxWatchesItsTerminals()
    {
        DriveRig rig(QStringLiteral("ZM-043-5.5K-KX"));
        setCatalogueVersion(QStringLiteral("0.14"));
        rig.runAt(50);
        std::unique_ptr<MainDialPlot> page(newPage());
        QVERIFY(startRunning(*page));
        QTRY_VERIFY(page->terminalMonitoringActive());
        QVERIFY(page->terminalPanel()->isRunning());
        QCOMPARE(dialFlags(), (QList<int>{0, 1, 2, 4, 5, 20}));
        QTRY_VERIFY(page->terminalPanel()->lamp(1)->isLit());   // STF
        QTRY_VERIFY(page->terminalPanel()->lamp(12)->isLit());  // SO1-SE: frequency arrival
        QVERIFY(!page->terminalPanel()->lamp(2)->isLit());      // STR
        page->stopMonitor();
        QCOMPARE(dialFlags(), QList<int>{});
        QVERIFY(!page->terminalPanel()->lamp(1)->isLit());
        QVERIFY(!page->terminalPanel()->isRunning());
    }

    void closedOrDeletedWhileSampling_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("remove");
        QTest::newRow("closed, then deleted") << true << true;
        QTest::newRow("deleted without closing") << false << true;
        QTest::newRow("closed") << true << false;
    }
    void closedOrDeletedWhileSampling()
    {
        QFETCH(bool, close);
        QFETCH(bool, remove);
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        rig.runAt(50);
        QPointer<MainDialPlot> page = newPage();
        QVERIFY(startRunning(*page));
        QTRY_VERIFY(page->plot()->series(0).size() > 20);
        if (close)
            page->close();
        if (remove)
            delete page.data();
        QVERIFY(!m_monitor->dialActive());
        QVERIFY(m_monitor->wait(10000));
        QCOMPARE(dialFlags(), QList<int>{});
        if (!remove) {
            QCOMPARE(page->state(), MainDialPlot::State::Idle);
            QVERIFY(!page->plot()->isRefreshing());
            delete page.data();
        }
        // The thread can serve a new page afterwards.
        std::unique_ptr<MainDialPlot> next(newPage());
        QVERIFY(startRunning(*next));
        QTRY_COMPARE(next->cockpit()->leftDial()->value(), 50.0);
        next->stopMonitor();
    }

    void dialOptionSetsTheRange_data()
    {
        QTest::addColumn<int>("dial");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("preset");
        QTest::newRow("left") << int(Cockpit::Left) << "LeftDial" << 100.0;
        QTest::newRow("middle") << int(Cockpit::Mid) << "MidDial" << 450.0;
        QTest::newRow("right") << int(Cockpit::Right) << "RightDial" << 100.0;
    }
    void dialOptionSetsTheRange()
    {
        QFETCH(int, dial);
        QFETCH(QString, name);
        QFETCH(double, preset);
        setSeriesLetter('F');
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        QString shownName;
        int shownMax = 0;
        page->setDialogRunner([&](QDialog &d) {
            auto &dialog = static_cast<DialOptionDialog &>(d);
            shownName = dialog.objectName();
            shownMax = dialog.maximum();
            dialog.findChild<QSpinBox *>("maxSpinBox")->setValue(200);
            dialog.findChild<QToolButton *>("okToolButton")->click();
            return dialog.result();
        });
        page->cockpit()->optionButton(dial)->click();
        QCOMPARE(shownName, name);
        QCOMPARE(shownMax, int(preset));
        Dial *dials[] = {page->cockpit()->leftDial(), page->cockpit()->midDial(),
                         page->cockpit()->rightDial()};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(dials[i]->upperBound(), i == dial ? 200.0 : i == Cockpit::Mid ? 450.0 : 100.0);
        QCOMPARE(dials[dial]->scaleStepSize(), 20.0);
        // Cancel leaves the range alone.
        page->setDialogRunner([](QDialog &d) {
            d.findChild<QSpinBox *>("maxSpinBox")->setValue(7);
            d.findChild<QToolButton *>("cancelToolButton")->click();
            return d.result();
        });
        page->cockpit()->optionButton(dial)->click();
        QCOMPARE(dials[dial]->upperBound(), 200.0);
    }

    // At 60 Hz the left dial's maximum goes to 30 and back to 100 through its
    // option dialog: the needle stands at 60 again, as the display does.
    void needleFollowsARangeChange()
    {
        setSeriesLetter('F');
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        Dial *left = page->cockpit()->leftDial();
        left->changeDialValue(60);
        QCOMPARE(left->value(), 60.0);
        for (int maximum : {30, 100}) {
            page->setDialogRunner([maximum](QDialog &d) {
                d.findChild<QSpinBox *>("maxSpinBox")->setValue(maximum);
                d.findChild<QToolButton *>("okToolButton")->click();
                return d.result();
            });
            page->cockpit()->optionButton(Cockpit::Left)->click();
            QCOMPARE(left->upperBound(), double(maximum));
            QCOMPARE(left->value(), maximum == 30 ? 30.0 : 60.0);
        }
        left->changeDialValue(60);  // the same sample again
        QCOMPARE(left->value(), 60.0);
    }

    // With the plot scrolled to 75 s, its option dialog starts from the page
    // width: OK without a change keeps a page of 60 s; a change sets the page
    // width and the value maximum.
    void plotOptionStartsFromThePageWidth()
    {
        setSeriesLetter('F');
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        qint64 nowMs = 0;
        Plot *plot = page->plot();
        plot->setClock([&] { return nowMs; });
        plot->start();
        for (int s = 0; s <= 75; ++s) {
            nowMs = s * 1000;
            plot->addSample(s % 7, false);
        }
        QCOMPARE(plot->timeUpper(), 75.0);
        int seconds = 0, maximum = 0;
        QString name;
        page->setDialogRunner([&](QDialog &d) {
            auto &dialog = static_cast<OptionDialog &>(d);
            name = dialog.objectName();
            seconds = dialog.seconds();
            maximum = dialog.maximum();
            dialog.setValue();  // OK, nothing changed
            return dialog.result();
        });
        page->optionButton()->click();
        QCOMPARE(name, QString("Plot"));
        QCOMPARE(seconds, 60);
        QCOMPARE(maximum, 70);
        QCOMPARE(plot->pageWidth(), 60.0);

        page->setDialogRunner([&](QDialog &d) {
            auto &dialog = static_cast<OptionDialog &>(d);
            dialog.setValues(30, 100);
            dialog.setValue();
            return dialog.result();
        });
        page->optionButton()->click();
        QCOMPARE(plot->pageWidth(), 30.0);
        QCOMPARE(plot->valueUpper(), 100.0);
        QCOMPARE(plot->timeUpper(), 30.0);

        page->clearButton()->click();
        QVERIFY(plot->series(0).isEmpty());
        QVERIFY(!plot->series(1).isEmpty());  // the time track stays
    }

    // The language menu reaches an open page: selectors keep their choice.
    void retranslatesOnLanguageChange()
    {
        setSeriesLetter('F');
        std::unique_ptr<MainDialPlot> page(MainDialPlot::create(nullptr, *m_worker, nullptr));
        page->cockpit()->rightSelector()->setCurrentIndex(7);
        page->plotSelector()->setCurrentIndex(5);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(VANTREO_BIN_DIR "/language/KorvaneINV_zh_CN.qm")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(page->cockpit()->rightSelector()->currentIndex(), 7);
        QCOMPARE(page->plotSelector()->currentIndex(), 5);
        QCOMPARE(page->cockpit()->rightDial()->label(), QString("V"));
        for (const QString &text :
             {page->windowTitle(), page->statusPanel()->title(), page->terminalPanel()->title(),
              page->cockpit()->leftSelector()->itemText(0), page->plotSelector()->itemText(9),
              page->infoValue(MainDialPlot::TypeField)->parentWidget()->findChild<QLabel *>()->text()})
            QVERIFY2(!text.isEmpty() && text.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")),
                     qPrintable(text));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(page->windowTitle(), QString::fromUtf8("Monitor \u2014 station 1 ZM-043-7.5K"));
        QCOMPARE(page->cockpit()->leftSelector()->itemText(0), QString("Output Frequency"));
        QCOMPARE(page->statusPanel()->caption(3)->text(), QString("Freq Arrival"));
    }
};

QTEST_MAIN(TestMainDialPlot)
#include "tst_maindialplot.moc"
