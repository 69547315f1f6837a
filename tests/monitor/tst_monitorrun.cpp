#include "base/series.h"
#include "common/stationlog.h"
#include "common/scaledparameters.h"
#include "common/simdriverig.h"
#include "common/testsupport.h"
#include "link/frameobserver.h"
#include "link/linkworker.h"
#include "monitor/identityread.h"
#include "monitor/monitordata.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorrun.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"

#include <QMutex>
#include <QSemaphore>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {
using Role = MonitorRun::Role;
using State = MonitorRun::State;

const char *const kModel = "ZM-043-7.5K";

// A page as the windows are one to the monitor thread: it counts its
// samples and hands the identity on to its run.
class RunPage : public DialPageSink, public TrendPageSink
{
public:
    void takeSample() override { ++samples; }
    void sampleChannels() override { ++channels; }
    void showDriveInfo(const QStringList &record) override
    {
        if (run)
            run->showDriveInfo(record);
    }
    MonitorRun *run = nullptr;
    std::atomic<int> samples{0};
    std::atomic<int> channels{0};
};

// What a run told, in order.
struct RunLog {
    QList<State> states;
    int stoppings = 0;
    State stoppingIn = State::Idle;  // the state at the last stopping()
    QList<DriveInfo> infos;
    QThread *infoThread = nullptr;

    void watch(MonitorRun &run)
    {
        QObject::connect(&run, &MonitorRun::stateChanged, [this](State s) { states.append(s); });
        QObject::connect(&run, &MonitorRun::stopping, [this, &run] {
            ++stoppings;
            stoppingIn = run.state();
        });
        QObject::connect(&run, &MonitorRun::driveInfoChanged, [this](const DriveInfo &info) {
            infos.append(info);
            infoThread = QThread::currentThread();
        });
    }
};

const char *roleName(Role role) { return role == Role::Dials ? "dials" : "trend"; }
}  // namespace

// A page's run against the simulated drive: the identity read on the link
// worker, the monitor thread started for the role, and the ways back to
// idle (stop, a refused or cancelled start, a lost line, deletion), for the
// dial and the trend role alike.
class TestMonitorRun : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;
    ScaledParameters m_parameters{QStringLiteral("1.00")};
    std::unique_ptr<LinkWorker> m_worker;
    std::unique_ptr<MonitorThread> m_monitor;
    std::unique_ptr<MonitorPage<RunPage>> m_page;
    std::shared_ptr<StationLog> m_log;

    // A run for the current drive, as a window opened now makes it.
    std::unique_ptr<MonitorRun> newRun(Role role)
    {
        DriveTarget target = currentDriveTarget();
        target.catalogueVersion = m_parameters.catalogueVersion();
        auto run = std::make_unique<MonitorRun>(role, m_monitor.get(), *m_worker, &m_parameters,
                                                target);
        m_page->run = run.get();
        return run;
    }
    bool startRunning(MonitorRun &run)
    {
        return run.start() &&
               QTest::qWaitFor([&] { return run.state() == State::Running; }, 10000);
    }
    bool roleActive(Role role) const
    {
        return role == Role::Dials ? m_monitor->dialActive() : m_monitor->trendActive();
    }
    DriveTarget threadTarget(Role role) const
    {
        return role == Role::Dials ? m_monitor->dialTarget() : m_monitor->trendTarget();
    }
    int samples(Role role) const
    {
        return role == Role::Dials ? m_page->samples.load() : m_page->channels.load();
    }
    static void setFlag(Role role, int k, bool on)
    {
        if (role == Role::Dials)
            monitorData().setDialFlag(k, on);
        else
            monitorData().setTrendFlag(k, on);
    }
    static QList<int> flags(Role role)
    {
        QList<int> on;
        for (int k = 0; k < MonitorData::kSize; ++k)
            if (role == Role::Dials ? monitorData().dialFlag(k) : monitorData().trendFlag(k))
                on.append(k);
        return on;
    }
    static Role otherRole(Role role) { return role == Role::Dials ? Role::Trend : Role::Dials; }
    void watchFrames()
    {
        m_log = std::make_shared<StationLog>();
        linkState().addFrameObserver(m_log);
    }
    static void addRoleRows()
    {
        QTest::addColumn<int>("role");
        for (Role role : {Role::Dials, Role::Trend})
            QTest::newRow(roleName(role)) << int(role);
    }

private slots:
    void initTestCase()
    {
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt", "InvParameter/Version.txt",
                              "InvParameter/F_InvParameter_Eng.xml"})
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
        m_page = std::make_unique<MonitorPage<RunPage>>();
        m_monitor->setDialPage(m_page.get());
        m_monitor->setTrendPage(m_page.get());
        setCatalogueVersion(QStringLiteral("1.00"));
    }
    void cleanup()
    {
        if (m_log)
            linkState().removeFrameObserver(m_log);
        m_log.reset();
        m_monitor.reset();
        m_worker.reset();
        m_page.reset();
        linkState().setSerialPort(nullptr);
        setCatalogueVersion(QString());
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    // Run: the identity is read from the run's drive, the thread samples for
    // the role on that drive and the tool bar texts come decoded.
    void runsOnItsDrive_data() { addRoleRows(); }
    void runsOnItsDrive()
    {
        QFETCH(int, role);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        watchFrames();
        auto run = newRun(r);
        RunLog log;
        log.watch(*run);
        QCOMPARE(run->state(), State::Idle);
        QVERIFY(run->canStart());
        QVERIFY(run->start());
        QCOMPARE(run->state(), State::Starting);
        QVERIFY(!run->start());  // one start at a time
        QTRY_COMPARE_WITH_TIMEOUT(run->state(), State::Running, 10000);
        QCOMPARE(log.states, (QList<State>{State::Starting, State::Running}));
        QVERIFY(roleActive(r));
        QVERIFY(!roleActive(otherRole(r)));
        QCOMPARE(threadTarget(r), run->target());
        QCOMPARE(log.infos.size(), 1);
        QVERIFY(log.infos.at(0).typeKnown);
        QCOMPARE(log.infos.at(0).type, QString("ZM"));
        QCOMPARE(log.infos.at(0).power, QString("7.5KW"));
        QCOMPARE(log.infos.at(0).voltage, QString("440V"));
        QVERIFY(run->driveInfo());
        QCOMPARE(run->driveInfo()->current, log.infos.at(0).current);
        QVERIFY(log.infos.at(0).current.endsWith('A'));

        setFlag(r, 0, true);
        const int before = samples(r);
        QTRY_VERIFY(samples(r) > before + 3);
        QVERIFY(!run->start());
        QCOMPARE(log.stoppings, 0);
        for (int station : m_log->stations())
            QCOMPARE(station, 1);
        run->stop();
        QCOMPARE(run->state(), State::Idle);
        QVERIFY(m_monitor->wait(10000));
        QVERIFY(m_ui.messages().isEmpty());
    }

    // The identity read of a run on station 1 fails: the run goes back to
    // idle, and nothing was started or asked for. It can run once the line
    // answers again.
    void identityNotRead_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("fault");
        for (Role role : {Role::Dials, Role::Trend})
            for (const char *fault : {"no answer", "late answer", "corrupt answer", "refused"})
                QTest::addRow("%s, %s", roleName(role), fault) << int(role) << QString(fault);
    }
    void identityNotRead()
    {
        QFETCH(int, role);
        QFETCH(QString, fault);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        SimFaults faults;
        if (fault == "no answer")
            faults.noAnswer = true;
        else if (fault == "late answer")
            faults.lateMs = 1000;  // long after the read window of every attempt
        else if (fault == "corrupt answer")
            faults.corruptChecksum = true;
        else
            rig.drive->setRefusedRegister(56, SimulatedDrive::IllegalAddress);
        rig.line->setFaults(1, faults);
        watchFrames();
        auto run = newRun(r);
        RunLog log;
        log.watch(*run);
        QVERIFY(run->start());
        QCOMPARE(run->state(), State::Starting);
        QTRY_COMPARE_WITH_TIMEOUT(run->state(), State::Idle, 20000);
        QCOMPARE(log.states, (QList<State>{State::Starting, State::Idle}));
        QVERIFY(!m_monitor->isRunning() && !roleActive(r));
        QCOMPARE(flags(r), QList<int>{});
        QCOMPARE(log.infos.size(), 0);
        QCOMPARE(log.stoppings, 0);
        QCOMPARE(samples(r), 0);
        const QList<int> stations = m_log->stations();
        QVERIFY(!stations.isEmpty());
        for (int station : stations)
            QCOMPARE(station, 1);

        rig.line->setFaults(1, SimFaults());
        rig.drive->setRefusedRegister(56, SimulatedDrive::Ok);
        QVERIFY(startRunning(*run));
        QVERIFY(roleActive(r));
        run->stop();
    }

    // Stopped while the identity is read: the read ends on the drive as
    // usual (the write guard closed again), but its answer starts nothing.
    void cancelledDuringTheIdentityRead_data() { addRoleRows(); }
    void cancelledDuringTheIdentityRead()
    {
        QFETCH(int, role);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        rig.drive->setParameterValue(77, 2);
        watchFrames();
        // The read is held in its first exchange until the run was stopped.
        std::atomic<bool> reading{false};
        QSemaphore goOn;
        struct GoOn {
            QSemaphore &semaphore;
            ~GoOn() { semaphore.release(); }
        } goOnAtLatest{goOn};
        m_log->onSent = [&reading, &goOn](int sent) {
            if (sent != 1)
                return;
            reading = true;
            goOn.tryAcquire(1, 10000);
        };
        auto run = newRun(r);
        RunLog log;
        log.watch(*run);
        QVERIFY(run->start());
        QTRY_VERIFY(reading);
        run->stop();
        QCOMPARE(run->state(), State::Idle);
        QCOMPARE(log.stoppings, 1);
        QCOMPARE(log.stoppingIn, State::Starting);
        goOn.release();
        QTRY_COMPARE(m_worker->unfinishedJobs(), 0);
        QTest::qWait(100);
        QCOMPARE(run->state(), State::Idle);
        QCOMPARE(log.states, (QList<State>{State::Starting, State::Idle}));
        QVERIFY(!roleActive(r) && !m_monitor->isRunning());
        QCOMPARE(log.infos.size(), 0);
        QCOMPARE(rig.drive->parameter(77).value, quint16(2));
        for (int station : m_log->stations())
            QCOMPARE(station, 1);
    }

    // Stop: the page hears of it while the run still counts as running; the
    // role's requests are given back, the other role's stay.
    void stoppedWhileRunning_data() { addRoleRows(); }
    void stoppedWhileRunning()
    {
        QFETCH(int, role);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        rig.runAt(50);
        auto run = newRun(r);
        RunLog log;
        log.watch(*run);
        QVERIFY(startRunning(*run));
        for (int k : {0, 1, 2})
            setFlag(r, k, true);
        setFlag(otherRole(r), 5, true);
        QTRY_VERIFY(samples(r) > 3);
        run->stop();
        QCOMPARE(log.stoppings, 1);
        QCOMPARE(log.stoppingIn, State::Running);
        QCOMPARE(run->state(), State::Idle);
        QCOMPARE(log.states, (QList<State>{State::Starting, State::Running, State::Idle}));
        QCOMPARE(flags(r), QList<int>{});
        QCOMPARE(flags(otherRole(r)), QList<int>{5});
        QVERIFY(!roleActive(r));
        QVERIFY(m_monitor->wait(10000));
        const int after = samples(r);
        QTest::qWait(50);
        QCOMPARE(samples(r), after);
        // Stopping an idle run quiets the page again; the state stays.
        run->stop();
        QCOMPARE(log.stoppings, 2);
        QCOMPARE(log.stoppingIn, State::Idle);
        QCOMPARE(log.states.size(), 3);
    }

    // A run deleted while it runs or starts gives up what it asked for and
    // tells nobody.
    void deletedWhileBusy_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("running");
        for (Role role : {Role::Dials, Role::Trend}) {
            QTest::addRow("%s, running", roleName(role)) << int(role) << true;
            QTest::addRow("%s, starting", roleName(role)) << int(role) << false;
        }
    }
    void deletedWhileBusy()
    {
        QFETCH(int, role);
        QFETCH(bool, running);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        auto run = newRun(r);
        if (running) {
            QVERIFY(startRunning(*run));
            setFlag(r, 0, true);
            QTRY_VERIFY(samples(r) > 3);
        } else {
            QVERIFY(run->start());
        }
        int told = 0;
        connect(run.get(), &MonitorRun::stateChanged, this, [&told] { ++told; });
        connect(run.get(), &MonitorRun::stopping, this, [&told] { ++told; });
        m_page->run = nullptr;
        run.reset();
        QCOMPARE(told, 0);
        QVERIFY(!roleActive(r));
        QCOMPARE(flags(r), QList<int>{});
        QTRY_COMPARE(m_worker->unfinishedJobs(), 0);
        QTest::qWait(100);
        QVERIFY(!roleActive(r));
        QVERIFY(m_monitor->wait(10000));
    }

    // The line is lost: the monitor thread ends and the run, once it looks,
    // goes off line, also when the line answered again before it looked.
    void offLineWhenTheLineIsLost_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("lineBack");
        for (Role role : {Role::Dials, Role::Trend}) {
            QTest::addRow("%s, line still lost", roleName(role)) << int(role) << false;
            QTest::addRow("%s, line back before the look", roleName(role)) << int(role) << true;
        }
    }
    void offLineWhenTheLineIsLost()
    {
        QFETCH(int, role);
        QFETCH(bool, lineBack);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        auto run = newRun(r);
        RunLog log;
        log.watch(*run);
        QVERIFY(!run->endIfOffLine());  // idle
        QVERIFY(startRunning(*run));
        setFlag(r, 0, true);
        QTRY_VERIFY(samples(r) > 3);
        QVERIFY(!run->monitorEnded());
        QVERIFY(!run->endIfOffLine());
        QCOMPARE(run->state(), State::Running);
        rig.breakLine();
        QVERIFY(m_monitor->wait(20000));
        QVERIFY(linkState().linkLost);
        if (lineBack) {
            rig.line->setFaults(1, SimFaults());
            QVERIFY(currentDriver()->readRegister(7, 0.1) >= 0);
            QVERIFY(!linkState().linkLost);
        }
        QCOMPARE(run->state(), State::Running);  // not looked yet
        QVERIFY(run->monitorEnded());
        QVERIFY(run->endIfOffLine());
        QCOMPARE(log.stoppings, 1);
        QCOMPARE(log.stoppingIn, State::Running);
        QCOMPARE(run->state(), State::Idle);
        QVERIFY(!roleActive(r));
        QCOMPARE(flags(r), QList<int>{});
        QVERIFY(!run->endIfOffLine());
        QCOMPARE(log.stoppings, 1);
        if (lineBack) {
            // And it can be started again.
            QVERIFY(startRunning(*run));
            run->stop();
        }
    }

    // A run made on station 1 reads and samples station 1 whenever another
    // station is chosen: before Run, or between two exchanges of the
    // identity read.
    void staysOnItsDrive_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("duringRead");
        for (Role role : {Role::Dials, Role::Trend}) {
            QTest::addRow("%s, station 2 chosen before Run", roleName(role)) << int(role) << false;
            QTest::addRow("%s, station 2 chosen during the identity read", roleName(role))
                << int(role) << true;
        }
    }
    void staysOnItsDrive()
    {
        QFETCH(int, role);
        QFETCH(bool, duringRead);
        const Role r = Role(role);
        SimDriveRig rig(kModel);
        rig.line->addDrive(makeSimulatedDrive(2, QStringLiteral("ZM-043-11K")));
        auto run = newRun(r);
        QCOMPARE(run->target().station, 1);
        watchFrames();
        if (duringRead)
            m_log->onSent = [](int sent) {
                if (sent == 1)
                    linkState().setStation(2);
            };
        else
            linkState().setStation(2);
        RunLog log;
        log.watch(*run);
        QVERIFY(startRunning(*run));
        QCOMPARE(currentDriveTarget().station, 2);
        QCOMPARE(run->target().station, 1);
        QCOMPARE(threadTarget(r), run->target());
        QCOMPARE(log.infos.size(), 1);
        QCOMPARE(log.infos.at(0).power, QString("7.5KW"));  // not station 2's 11KW
        const int readFrames = m_log->sent();
        QVERIFY(readFrames > 3);
        setFlag(r, 0, true);
        const int before = samples(r);
        QTRY_VERIFY(samples(r) > before + 3 && m_log->sent() > readFrames + 3);
        run->stop();
        QVERIFY(m_monitor->wait(10000));
        for (int station : m_log->stations())
            QCOMPARE(station, 1);
    }

    // The identity record as the tool bars show it, per series; a record
    // that does not say the type of a dual rating leaves type and power to
    // what was shown, an empty one shows nothing.
    void driveInfoTexts_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("power");
        QTest::newRow("ZM-K as ZM") << 'G' << QStringList{"ZM-043-7.5K/11K-K", "V0.33", "17A", "440V", "0"}
                                    << true << "ZM" << "7.5KW";
        QTest::newRow("ZM-K second rating")
            << 'G' << QStringList{"ZM-043-7.5K/11K-K", "V0.33", "17A", "440V", "1"} << true << "ZM-K"
            << "11KW";
        QTest::newRow("ZM-K one rating") << 'G' << QStringList{"ZM-043-7.5K-K", "V0.33", "17A", "440V", "1"}
                                         << true << "ZM-K" << "7.5KW";
        QTest::newRow("ZM-K, rating unknown")
            << 'G' << QStringList{"ZM-043-7.5K-K", "V0.33", "17A", "440V", ""} << false << QString()
            << QString();
        QTest::newRow("ZM-KX") << 'L' << QStringList{"ZM-043-5.5K-KX", "V0.14", "13A", "440V", ""}
                               << true << "ZM-KX" << "5.5KW";
        QTest::newRow("ZM") << 'F' << QStringList{"ZM-043-7.5KW", "V1.00", "17A", "440V", ""} << true
                            << "ZM" << "7.5KW";
        QTest::newRow("ZN, four texts") << 'H' << QStringList{"ZN-020-5.5K", "0.1", "19A", ""} << true
                                        << "ZN" << "5.5K";
        QTest::newRow("short model") << 'A' << QStringList{"ZQ1W", "---", "9A", "---", ""} << true
                                     << "ZQ1W" << "";
    }
    void driveInfoTexts()
    {
        QFETCH(char, series);
        QFETCH(QStringList, record);
        QFETCH(bool, known);
        QFETCH(QString, type);
        QFETCH(QString, power);
        DriveTarget target;
        target.station = 1;
        target.series = series;
        MonitorRun run(Role::Dials, nullptr, *m_worker, nullptr, target);
        QVERIFY(!run.canStart());
        QVERIFY(!run.start());
        RunLog log;
        log.watch(run);
        run.showDriveInfo(record);
        QCOMPARE(log.infos.size(), 1);
        const DriveInfo &info = log.infos.at(0);
        QCOMPARE(info.typeKnown, known);
        QCOMPARE(info.type, type);
        QCOMPARE(info.power, power);
        QCOMPARE(info.version, record.value(1));
        QCOMPARE(info.current, record.value(2));
        QCOMPARE(info.voltage, record.value(3));
        QVERIFY(run.driveInfo());
        QCOMPARE(run.driveInfo()->type, type);
        QCOMPARE(IdentityRead::driveInfo(record, series)->power, power);

        // A failed read's empty record: nothing to show, nothing kept.
        QVERIFY(!IdentityRead::driveInfo(QStringList(), series));
        run.showDriveInfo(QStringList());
        QCOMPARE(log.infos.size(), 1);
        QVERIFY(!run.driveInfo());
    }

    // Handed over on another thread, the identity is told on the run's.
    void driveInfoToldOnTheRunsThread()
    {
        DriveTarget target;
        target.series = 'F';
        MonitorRun run(Role::Trend, nullptr, *m_worker, nullptr, target);
        RunLog log;
        log.watch(run);
        std::thread other([&run] {
            run.showDriveInfo({"ZM-043-7.5KW", "V1.00", "17A", "440V", ""});
        });
        other.join();
        QCOMPARE(log.infos.size(), 0);
        QTRY_COMPARE(log.infos.size(), 1);
        QCOMPARE(log.infoThread, run.thread());
        QCOMPARE(log.infos.at(0).type, QString("ZM"));
        QCOMPARE(run.driveInfo()->current, QString("17A"));
    }
};

QTEST_GUILESS_MAIN(TestMonitorRun)
#include "tst_monitorrun.moc"
