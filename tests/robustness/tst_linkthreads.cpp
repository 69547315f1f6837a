#include "simrig.h"

#include "gui/widgets/guiinteraction.h"
#include "gui/widgets/jobprogresspanel.h"
#include "gui/mainwindow/cmainwindow.h"
#include "link/linkjob.h"
#include "link/linkworker.h"
#include "monitor/monitordata.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorthread.h"
#include "parameters/batchjob.h"
#include "parameters/parametercore.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace SimRegisters;

namespace {
// Every error with the thread it was delivered on and the link locks that
// thread held then.
class DeliveryRecorder
{
public:
    struct Delivery {
        int code;
        QThread *thread;
        int locksHeld;
    };
    DeliveryRecorder()
    {
        // Without a context object the slot runs in the emitting thread.
        m_connection = QObject::connect(
            LinkEvents::instance(), &LinkEvents::showErrorInfo, [this](int code) {
                QMutexLocker lock(&m_mutex);
                m_deliveries.append({code, QThread::currentThread(),
                                     LinkLockScope::heldByThisThread()});
            });
    }
    ~DeliveryRecorder() { QObject::disconnect(m_connection); }
    // Also what other threads reported and this thread's events did not
    // take up yet.
    QList<Delivery> deliveries() const
    {
        LinkEvents::deliverPending();
        QMutexLocker lock(&m_mutex);
        return m_deliveries;
    }
    int countFrom(QThread *thread) const
    {
        int n = 0;
        for (const Delivery &d : deliveries())
            n += d.thread == thread;
        return n;
    }

private:
    QMetaObject::Connection m_connection;
    mutable QMutex m_mutex;
    QList<Delivery> m_deliveries;
};

class CountingPage : public DialPageSink
{
public:
    void takeSample() override { ++samples; }
    void showDriveInfo(const QStringList &r) override
    {
        record = r;
        infoThread = QThread::currentThread();
    }
    std::atomic<int> samples{0};
    QStringList record;
    QThread *infoThread = nullptr;
};
// A monitor thread with a counting dial page that asks for quantity 0.
struct MonitoredDial {
    RigParameters parameters;
    MonitorThread monitor{&parameters};
    MonitorPage<CountingPage> page;

    MonitoredDial()
    {
        monitor.setDialPage(&page);
        monitorData().reset();
        monitorData().setDialFlag(0, true);
    }
};
}  // namespace

// The link as several threads and windows use it at once: errors come out
// after every link lock is given back, one operation's reporting switches
// leave the others' alone, and long work runs as jobs on the link worker.
class TestLinkThreads : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;

private slots:
    void initTestCase()
    {
        SimRig::installData(m_dir);
        setUserInteraction(&m_ui);
    }
    void init() { m_ui.clear(); }
    void cleanup() { linkState().setSerialPort(nullptr); }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    // Every failing operation of every driver reports after its locks (the
    // port lock, the function lock, the native group lock) are released.
    void errorsComeOutsideLinkLocks_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("operation");
        for (int protocol : {0, 1, 2}) {
            const char *name = protocol == 0 ? "native" : protocol == 1 ? "RTU" : "ASCII";
            for (const char *op : {"read", "write", "function", "dead line"})
                QTest::addRow("%s %s", name, op) << protocol << QString(op);
            if (protocol != 0)
                QTest::addRow("%s packed read", name) << protocol << QString("packed");
        }
    }
    void errorsComeOutsideLinkLocks()
    {
        QFETCH(int, protocol);
        QFETCH(QString, operation);
        SimRig rig(protocol);
        DeliveryRecorder recorder;
        ReadWrite *driver = rig.driver;
        if (operation == "read") {
            rig.drive->setRefusedRegister(217, 2);
            QCOMPARE(driver->readRegister(217, 1), -1.0);
        } else if (operation == "write") {
            rig.drive->setRefusedWrite(12, 3);
            QVERIFY(!driver->writeRegister(12, 1));
        } else if (operation == "function") {
            rig.drive->setRefusedRegister(Control, 1);
            QCOMPARE(driver->runFunction("STO"), -1);
        } else if (operation == "packed") {
            rig.drive->setRefusedRegister(0x2000, 2);
            QVERIFY(!driver->readPacked(0x2000, 2));
        } else {
            SimFaults dead;
            dead.noAnswer = true;
            rig.line->setFaults(SimRig::kStation, dead);
            QCOMPARE(driver->readRegister(217, 1), -1.0);  // native: the group selection fails
            QCOMPARE(driver->runFunction("STO"), -1);
        }
        const auto deliveries = recorder.deliveries();
        QVERIFY(!deliveries.isEmpty());
        for (const auto &d : deliveries) {
            QCOMPARE(d.locksHeld, 0);
            QCOMPARE(d.thread, QThread::currentThread());
        }
        QCOMPARE(LinkLockScope::heldByThisThread(), 0);
    }

    // A failure on the GUI thread opens its box from the event loop, holding
    // no lock: the monitor thread goes on exchanging while the box is open,
    // and a timer on the GUI thread can still use the driver.
    void monitorGoesOnWhileAnErrorBoxIsOpen_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::newRow("native") << 0;
        QTest::newRow("RTU") << 1;
    }
    void monitorGoesOnWhileAnErrorBoxIsOpen()
    {
        QFETCH(int, protocol);
        SimRig rig(protocol);
        QTranslator translator;
        CMainWindow::Options keepRig;
        keepRig.openLink = false;
        CMainWindow window(translator, keepRig);  // asks its start question of m_ui
        GuiInteraction gui;
        setUserInteraction(&gui);
        MonitoredDial dial;
        MonitorThread &monitor = dial.monitor;
        CountingPage &page = dial.page;
        QVERIFY(monitor.startForDials());

        int samplesWhileOpen = -1;
        int locksInBox = -1;
        int modeInBox = -2;
        QString boxText;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !boxText.isEmpty())
                return;
            boxText = box->text();
            locksInBox = LinkLockScope::heldByThisThread();
            const int before = page.samples;
            QTest::qWait(150);
            samplesWhileOpen = page.samples - before;
            // A GUI timer's driver call while the box is open.
            if (locksInBox == 0)
                modeInBox = rig.driver->runFunction("MOD");
            box->accept();
        });
        watcher.start(5);
        rig.drive->setRefusedRegister(Control, 2);
        QCOMPARE(rig.driver->runFunction("STO"), -1);
        QTRY_VERIFY(!boxText.isEmpty());
        watcher.stop();
        monitor.stopDials();
        QVERIFY(monitor.wait(5000));
        setUserInteraction(&m_ui);

        if (protocol == 1)
            QCOMPARE(boxText, QString("Illegal data address!"));
        QCOMPARE(locksInBox, 0);
        QVERIFY2(samplesWhileOpen > 0, "the monitor thread stalled behind the box");
        QVERIFY(modeInBox >= '0' && modeInBox <= '2');
    }

    // A window starts monitoring without waiting on the line: the identity is
    // read on the link worker, the page hears of it on its own thread, and a
    // refused identity read starts nothing.
    void monitorStartsThroughTheWorker()
    {
        SimRig rig(1);
        MonitoredDial dial;
        MonitorThread &monitor = dial.monitor;
        CountingPage &page = dial.page;
        LinkWorker worker;
        QSignalSpy outcome(&monitor, &MonitorThread::startFinished);

        monitor.requestStartForDials(worker);
        QVERIFY(!monitor.dialActive());
        QTRY_COMPARE(outcome.count(), 1);
        QCOMPARE(outcome.at(0), (QVariantList{true, true}));
        QCOMPARE(page.infoThread, QThread::currentThread());
        QCOMPARE(page.record.value(0), QString("ZM-043-7.5KW"));
        QTRY_VERIFY(page.samples > 0);
        monitor.stopDials();
        QVERIFY(monitor.wait(5000));

        rig.drive->setRefusedRegister(77, 2);
        monitor.requestStartForDials(worker);
        QTRY_COMPARE(outcome.count(), 2);
        QCOMPARE(outcome.at(1), (QVariantList{true, false}));
        QVERIFY(!monitor.dialActive());
        QVERIFY(!monitor.isRunning());
    }

    // Stopping and starting again at once never leaves monitoring on with no
    // loop running.
    void quickRestartKeepsMonitoring()
    {
        SimRig rig(1);
        MonitoredDial dial;
        MonitorThread &monitor = dial.monitor;
        CountingPage &page = dial.page;
        for (int round = 0; round < 30; ++round) {
            QVERIFY(monitor.startForDials());
            const int before = page.samples;
            QTRY_VERIFY2(page.samples > before, qPrintable(QString("round %1").arg(round)));
            monitor.stopDials();
        }
        QVERIFY(monitor.wait(5000));
    }

    // A batch read on the link worker keeps its reads quiet to its end, while
    // another thread's operation sets and clears its own quiet mode and has
    // its refused read reported.
    void switchesStayWithTheirOperation()
    {
        SimRig rig(1);
        ParameterCore core;
        core.loadCatalogue();
        rig.drive->setRefusedRegister(5, 2);        // a catalogue row the batch reads
        rig.drive->setRefusedRegister(1500, 2);     // what the other thread reads
        DeliveryRecorder recorder;
        LinkWorker worker;
        std::atomic<bool> stop{false};
        std::atomic<int> pollerFailures{0};
        std::atomic<bool> pollerStarted{false};
        std::thread poller([&] {
            pollerStarted = true;
            while (!stop) {
                {
                    // An operation of its own that keeps its reads quiet.
                    SwitchScope quiet(linkState().quietReads, true);
                    rig.driver->readRegister(1500, 1);
                }
                if (rig.driver->readRegister(1500, 1) == -1)
                    ++pollerFailures;
            }
        });
        while (!pollerStarted)
            QThread::yieldCurrentThread();

        const std::shared_ptr<BatchJob> job = core.startReadAll(worker);
        QVERIFY(job->waitForFinished(60000));
        stop = true;
        poller.join();

        QCOMPARE(job->result().status, BatchTransfer::Result::Status::Completed);
        QVERIFY(job->result().failed.contains(5));
        const int row = core.table().rowOfNumber("5");
        QCOMPARE(core.table().text(row, ParameterTable::CurrentColumn), QString("--"));
        QVERIFY(pollerFailures > 0);
        // Every report reaches this thread, the one LinkEvents lives in.
        QCOMPARE(recorder.countFrom(QThread::currentThread()), int(pollerFailures));
        QCOMPARE(recorder.deliveries().size(), int(pollerFailures));  // none from the batch
    }

    // A job's progress reaches its maker as signals, Cancel stops it between
    // exchanges, and a read's values reach the table only when it finished.
    void batchJobProgressAndCancel()
    {
        SimRig rig(1, false);  // real line timing, so that Cancel comes in time
        ParameterCore core;
        core.loadCatalogue();
        core.table().setText(0, ParameterTable::CurrentColumn, "stale");
        LinkWorker worker;
        const std::shared_ptr<BatchJob> job = core.startReadAll(worker);
        QSignalSpy started(job.get(), &LinkJob::progressStarted);
        QList<int> values;
        connect(job.get(), &LinkJob::progressValueChanged, this, [&](int value) {
            values.append(value);
            if (value >= 20)
                job->cancel();
        });
        QVERIFY(job->waitForFinished(60000));
        QCOMPARE(started.count(), 1);
        QCOMPARE(job->progressSetup().title, QString("Reading parameters..."));
        QCOMPARE(job->result().status, BatchTransfer::Result::Status::Cancelled);
        QVERIFY(values.size() >= 20);
        const int readRows = values.last();
        QVERIFY2(readRows < core.parameterCount() / 2, "the job went on after Cancel");
        // The rows read are in the table; the first row was read again.
        QVERIFY(core.table().text(0, ParameterTable::CurrentColumn) != "stale");
        const int number = core.table().numberText(1).toInt();
        QCOMPARE(core.table().text(1, ParameterTable::CurrentColumn),
                 ParameterTransfer::formatValue(rig.valueOf(number, core.readScale(number))));
        // The rows not reached say so, and a save asks first.
        int last = core.parameterCount() - 1;
        while (last > 0 && core.table().numberText(last).toInt() > 300)
            --last;
        QVERIFY(last > readRows);
        QCOMPARE(core.table().text(last, ParameterTable::CurrentColumn), QString("--"));
        m_ui.nextAnswer = UserInteraction::Answer::No;
        QVERIFY(!core.saveFile(m_dir.path() + "/cut.xbel"));
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        QCOMPARE(m_ui.messages().value(0).kind, QString("question"));
        QVERIFY(!QFile::exists(m_dir.path() + "/cut.xbel"));
    }

    // The window's progress panel: the texts the batch asks for, its Cancel
    // stops the job, and it goes (and the owner hears it is idle) when the
    // job has finished. It is no window of its own: nothing else is blocked.
    void progressPanelFollowsTheJob()
    {
        SimRig rig(1, false);
        ParameterCore core;
        core.loadCatalogue();
        QWidget window;
        auto *panel = new JobProgressPanel(&window);
        QSignalSpy busy(panel, &JobProgressPanel::busyChanged);
        window.show();
        LinkWorker worker;
        const std::shared_ptr<BatchJob> job = core.startReadAll(worker);
        panel->follow(job);
        QCOMPARE(busy.count(), 1);
        QCOMPARE(busy.at(0).at(0).toBool(), true);
        QTRY_VERIFY(panel->isVisible() && panel->bar()->value() >= 3);
        QVERIFY(!panel->isWindow());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(panel->titleLabel()->text(), QString("Reading parameters..."));
        QCOMPARE(panel->cancelButton()->text(), QString("Cancel"));
        QVERIFY(panel->busy());
        QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        QVERIFY(!panel->cancelButton()->isEnabled());
        QVERIFY(job->waitForFinished(10000));
        QCOMPARE(job->result().status, BatchTransfer::Result::Status::Cancelled);
        QTRY_VERIFY(!panel->isVisible());
        QCOMPARE(busy.count(), 2);
        QCOMPARE(busy.at(1).at(0).toBool(), false);
        QVERIFY(!panel->busy());
    }

    // A window that goes away while its job runs: the job is cancelled, the
    // table it came from is not touched, nothing is called on the dead owner.
    void ownerGoneWhileItsJobRuns()
    {
        SimRig rig(1, false);  // real line timing: the job is still running below
        auto core = std::make_unique<ParameterCore>();
        core->loadCatalogue();
        LinkWorker worker;
        const std::shared_ptr<BatchJob> job = core->startReadAll(worker);
        QTest::qWait(50);
        core.reset();
        QVERIFY(job->waitForFinished(10000));
        QCOMPARE(job->result().status, BatchTransfer::Result::Status::Cancelled);
        QCoreApplication::processEvents();
    }

    // A table cut short while the read ran keeps its rows; they get their
    // values, and the values whose rows are gone are told, not dropped unseen.
    void reloadedTableIsLeftAlone()
    {
        SimRig rig(1);
        ParameterCore core;
        core.loadCatalogue();
        LinkWorker worker;
        const std::shared_ptr<BatchJob> job = core.startReadAll(worker);
        core.table().removeRowsFrom(10);
        QVERIFY(job->waitForFinished(60000));
        QCoreApplication::processEvents();
        // Rows the drive has and the catalogue lacks, found by the read, are added.
        int found = 0;
        for (const QString &number : job->cellsAfter().numberCells())
            found += !job->numberCellsBefore().contains(number);
        QCOMPARE(core.table().rowCount(), 10 + found);
        for (int row = 0; row < 10; ++row)
            QVERIFY(!core.table().text(row, ParameterTable::CurrentColumn).isEmpty());
        QCOMPARE(m_ui.messagesOfKind("warning").size(), 1);
        QVERIFY(m_ui.messages().last().text.startsWith(
            "The table changed while it was read: no row is left for the values of P."));
    }
};

QTEST_MAIN(TestLinkThreads)
#include "tst_linkthreads.moc"
