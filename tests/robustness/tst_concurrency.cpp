#include "simrig.h"

#include "link/checksums.h"
#include "link/linkstate.h"
#include "monitor/monitordata.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorthread.h"
#include "monitor/quantitytable.h"

#include <QElapsedTimer>
#include <QMap>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace SimRegisters;

// Every caller of the program at once on one driver and one simulated line:
// the GUI thread (reads, writes, functions, monitor readings of its own), the
// monitor thread running cycles, the mode poller (MOD then STA every 10 ms)
// and the RAM poller (packed reads of drive memory). Every thread checks what
// it gets against what the drive holds; the port sees only whole requests,
// one at a time; every thread ends when asked.
//
// VANTREO_STRESS_SECONDS sets how long the test of all callers runs
// (default 6, shared by the three protocols); the pages' test takes a third
// of it as well. scripts/sanitize.sh thread sets it to a minute under
// ThreadSanitizer.
namespace {
int stressMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("VANTREO_STRESS_SECONDS").toDouble(&ok);
    return int((ok && seconds > 0 ? seconds : 6) * 1000 / 3);
}

// Tallies of one kind of caller.
struct Tally {
    std::atomic<long> calls{0};
    std::atomic<long> wrong{0};
    std::atomic<long> failed{0};
    QMutex mutex;
    QString firstWrong;

    void check(bool good, bool failure, const QString &what)
    {
        ++calls;
        if (failure) {
            ++failed;
        } else if (!good) {
            ++wrong;
            QMutexLocker lock(&mutex);
            if (firstWrong.isEmpty())
                firstWrong = what;
        }
    }
};

// Checks each complete cycle against the values the drive holds.
class CheckingPage : public DialPageSink
{
public:
    CheckingPage(const QMap<int, double> &truth, Tally &tally) : m_truth(truth), m_tally(tally) {}
    void takeSample() override
    {
        for (auto it = m_truth.constBegin(); it != m_truth.constEnd(); ++it) {
            const double v = monitorData().value(it.key());
            m_tally.check(qFuzzyCompare(v + 1, it.value() + 1), false,
                          QStringLiteral("quantity %1: %2, drive shows %3")
                              .arg(it.key()).arg(v).arg(it.value()));
        }
    }
    void showDriveInfo(const QStringList &) override {}

private:
    QMap<int, double> m_truth;
    Tally &m_tally;
};

// A frame the slave side can take as one request of the protocol, checked
// here from the protocol's rules without the program's frame code.
bool isWholeRequest(const QByteArray &f, int protocol)
{
    if (protocol == 1) {
        if (f.size() != 8)
            return false;
        return withCrc(f.left(6)) == f;
    }
    if (protocol == 2) {
        if (f.size() != 17 || f.at(0) != ':' || !f.endsWith("\r\n"))
            return false;
        return asciiFrame(f.mid(1, 12)) == f;
    }
    // ENQ, station, code, wait, (four data digits), sum check, CR.
    if ((f.size() != 9 && f.size() != 13) || f.at(0) != 0x05 || !f.endsWith('\r'))
        return false;
    int sum = 0;
    for (int i = 1; i < f.size() - 3; ++i)
        sum += quint8(f.at(i));
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0') ==
           f.mid(f.size() - 3, 2);
}

// What the stress test of the pages sees of the pages of one role from
// outside them (each page is gone before the next one comes).
struct PageCalls {
    std::atomic<long> calls{0};
    std::atomic<int> inside{0};     // calls in progress
    std::atomic<long> intoDying{0};  // calls that met a page's destructor running
    std::atomic<long> infos{0};
    std::atomic<int> lingerUs{0};    // how long each call lasts
};

// A page that keeps what it is given in members of its own, so that a call
// into a freed page reads and writes freed memory.
class HistoryPage : public DialPageSink, public TrendPageSink
{
public:
    explicit HistoryPage(PageCalls &calls) : m_calls(calls) {}
    ~HistoryPage() override
    {
        m_dying = true;
        std::this_thread::yield();  // room for a call that should not come
        m_history.clear();
        m_record.clear();
    }
    void takeSample() override { keep(); }
    void sampleChannels() override { keep(); }
    void showDriveInfo(const QStringList &record) override
    {
        m_record = record;
        ++m_calls.infos;
    }

private:
    void keep()
    {
        ++m_calls.calls;
        ++m_calls.inside;
        if (m_dying)
            ++m_calls.intoDying;
        if (m_history.size() >= 64)
            m_history.remove(0, 32);
        for (int k : {0, 1, 2, 7})
            m_history.append(monitorData().value(k));
        m_sum += m_history.last();
        if (const int us = m_calls.lingerUs)
            std::this_thread::sleep_for(std::chrono::microseconds(us));
        --m_calls.inside;
    }

    PageCalls &m_calls;
    std::atomic<bool> m_dying{false};
    QVector<double> m_history;
    QStringList m_record;
    double m_sum = 0;
};

// Waits (a bounded while) for `pred`; false when it never held.
template <class Pred>
bool waitFor(Pred pred, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > ms)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
}  // namespace

class TestConcurrency : public QObject
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
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
    }

    void allCallersAtOnce_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::newRow("native") << 0;
        QTest::newRow("Modbus RTU") << 1;
        QTest::newRow("Modbus ASCII") << 2;
    }
    void allCallersAtOnce()
    {
        QFETCH(int, protocol);
        SimRig rig(protocol);
        rig.runAt(40);
        rig.drive->write(FrequencyCommand, 4500);  // never reached: the clock stands still
        ReadWrite *driver = rig.driver;
        ErrorRecorder errors;

        // What the drive holds, read fault-free and alone.
        monitorData().reset();
        // Output frequency, voltage, current, an analog output, the DC bus,
        // the terminal words and the status word: none of them depends on
        // what the other callers change.
        const QList<int> wanted = {0, 1, 2, 6, 7, 10, 11, 12};
        for (int k : wanted)
            monitorData().setDialFlag(k, true);
        QMap<int, double> truth;
        {
            MonitorThread probe;
            QVERIFY(probe.runCycle());
            for (int k : wanted)
                truth.insert(k, monitorData().value(k));
        }
        QVERIFY(driver->runFunction("M0R") == 0);
        const double outputHz = driver->lastReading();
        QVERIFY(driver->runFunction("M1R") == 0);
        const double outputVolts = driver->lastReading();
        const int mode = driver->runFunction("MOD");
        const int status = driver->runFunction("STA");
        QCOMPARE(mode, int('0'));
        QVERIFY(status > 0);
        QMap<QPair<int, int>, std::optional<quint32>> ram;
        for (int base : {RamBase1, RamBase2})
            for (int count : {1, 2, 4})
                ram.insert({base + 4 * count, count}, driver->readPacked(base + 4 * count, count));
        const double accel = rig.valueOf(7, 0.1);
        rig.port->takeWrites();

        Tally gui, monitor, modePoll, ramPoll;
        std::atomic<bool> stop{false};

        RigParameters parameters;
        MonitorThread thread(&parameters);
        MonitorPage<CheckingPage> page(truth, monitor);
        thread.setDialPage(&page);
        QVERIFY(thread.startForDials());

        std::atomic<bool> modeDone{false}, ramDone{false};
        std::thread modePoller([&] {
            while (!stop) {
                const int m = driver->runFunction("MOD");
                modePoll.check(m == mode, m == -1, QStringLiteral("MOD %1").arg(m));
                const int s = driver->runFunction("STA");
                modePoll.check(s == status, s == -1, QStringLiteral("STA %1").arg(s, 0, 16));
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            modeDone = true;
        });
        std::thread ramPoller([&] {
            while (!stop) {
                for (auto it = ram.constBegin(); it != ram.constEnd() && !stop; ++it) {
                    const std::optional<quint32> v = driver->readPacked(it.key().first, it.key().second);
                    // The native driver has no packed read: every read fails.
                    ramPoll.check(v == it.value(), !v,
                                  QStringLiteral("packed %1: %2").arg(it.key().first, 0, 16).arg(v.value_or(0), 0, 16));
                }
                if (protocol == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ramDone = true;
        });

        // The GUI thread: parameter reads and writes, the frequency command,
        // and readings of its own.
        QElapsedTimer clock;
        clock.start();
        long frames = 0;
        int badFrames = 0;
        QByteArray firstBad;
        for (int i = 0; clock.elapsed() < stressMs(); ++i) {
            const double a = driver->readRegister(7, 0.1);
            gui.check(qFuzzyCompare(a, accel), a == -1, QStringLiteral("P.7 %1").arg(a));
            const int value = 3000 + i % 500;
            const bool written = driver->writeRegister(5, value);
            gui.check(!written || rig.reg(5) == value, !written,
                      QStringLiteral("P.5 written %1, holds %2").arg(value).arg(rig.reg(5)));
            const double back = driver->readRegister(5, 0.01);
            gui.check(qFuzzyCompare(back, rig.valueOf(5, 0.01)), back == -1,
                      QStringLiteral("P.5 read %1").arg(back));
            const quint16 hz = quint16(4500 + 500 * (i % 2));
            const int fre = driver->runFunction(QByteArray("FRE") + char(hz >> 8) + char(hz & 0xFF));
            gui.check(fre == 0 && rig.reg(FrequencyCommand) == hz, fre == -1,
                      QStringLiteral("FRE %1, holds %2").arg(hz).arg(rig.reg(FrequencyCommand)));
            const int r0 = driver->runFunction("M0R");
            gui.check(r0 == 0 && qFuzzyCompare(driver->lastReading(), outputHz), r0 == -1,
                      QStringLiteral("M0R %1").arg(driver->lastReading()));
            const int r1 = driver->runFunction("M1R");
            gui.check(r1 == 0 && qFuzzyCompare(driver->lastReading(), outputVolts), r1 == -1,
                      QStringLiteral("M1R %1").arg(driver->lastReading()));
            for (const QByteArray &f : rig.port->takeWrites()) {
                ++frames;
                if (!isWholeRequest(f, protocol) && badFrames++ == 0)
                    firstBad = f;
            }
        }

        // Every caller ends when asked (a deadlock would keep one waiting).
        stop = true;
        thread.stopDials();
        QVERIFY2(thread.wait(30000), "monitor thread did not end");
        QElapsedTimer joinClock;
        joinClock.start();
        while ((!modeDone || !ramDone) && joinClock.elapsed() < 30000)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!modeDone || !ramDone)
            qFatal("a polling thread did not end: deadlock");
        modePoller.join();
        ramPoller.join();
        for (const QByteArray &f : rig.port->takeWrites()) {
            ++frames;
            if (!isWholeRequest(f, protocol) && badFrames++ == 0)
                firstBad = f;
        }

        std::printf("%-6s %7ld frames  gui %6ld calls  monitor %6ld values  mode %6ld  ram %6ld"
                    "  wrong %ld  failed %ld  bad frames %d  overlaps %d\n",
                    protocol == 0 ? "native" : protocol == 1 ? "RTU" : "ASCII", frames,
                    gui.calls.load(), monitor.calls.load(), modePoll.calls.load(),
                    ramPoll.calls.load(),
                    gui.wrong + monitor.wrong + modePoll.wrong + ramPoll.wrong,
                    gui.failed + monitor.failed + modePoll.failed + ramPoll.failed, badFrames,
                    rig.port->overlaps());
        std::fflush(stdout);

        QCOMPARE(rig.port->overlaps(), 0);
        QVERIFY2(badFrames == 0, firstBad.toHex(' ').constData());
        for (Tally *t : {&gui, &monitor, &modePoll, &ramPoll})
            QVERIFY2(t->wrong == 0, qPrintable(t->firstWrong));
        QVERIFY(gui.calls > 0 && monitor.calls > 0 && modePoll.calls > 0 && ramPoll.calls > 0);
        // No fault on the line: nothing may fail, nothing may be reported
        // (the native driver has no packed read: those fail by design).
        QCOMPARE(gui.failed + monitor.failed + modePoll.failed, 0L);
        QCOMPARE(ramPoll.failed.load(), protocol == 0 ? ramPoll.calls.load() : 0L);
        QVERIFY2(errors.codes().isEmpty(), qPrintable(QStringLiteral("%1 reports").arg(errors.codes().size())));
        QVERIFY(!linkState().linkLost);
    }

    // The dial page and the trend page are opened and closed over and over
    // while the monitor thread polls: closed in order, deleted without being
    // detached (running or stopped), deleted while a cycle is calling them,
    // or replaced by the next ones. No call may reach a page being
    // destroyed or gone (AddressSanitizer sees the freed ones).
    void pagesComeAndGo()
    {
        SimRig rig(1);
        rig.runAt(40);
        ErrorRecorder errors;
        monitorData().reset();
        for (int k : {0, 1, 2})
            monitorData().setDialFlag(k, true);
        for (int k : {0, 7})
            monitorData().setTrendFlag(k, true);
        RigParameters parameters;
        MonitorThread thread(&parameters);
        PageCalls dialCalls, trendCalls;
        // Frames on the line: the thread's cycles go on.
        auto framesPass = [&](int n) {
            int seen = 0;
            return waitFor([&] {
                seen += rig.port->takeWrites().size();
                return seen >= n;
            });
        };

        enum Close { InOrder, Running, Stopped, DuringACall, Replaced, Kinds };
        const int minRounds = 5 * Kinds;
        QElapsedTimer clock;
        clock.start();
        int rounds = 0;
        for (; rounds < minRounds || clock.elapsed() < stressMs(); ++rounds) {
            const int close = rounds % Kinds;
            auto *dial = new MonitorPage<HistoryPage>(dialCalls);
            auto *trend = new MonitorPage<HistoryPage>(trendCalls);
            thread.setDialPage(dial);
            thread.setTrendPage(trend);
            QVERIFY(thread.startForDials());
            QVERIFY(thread.startForTrend());
            const long dialBefore = dialCalls.calls;
            const long trendBefore = trendCalls.calls;
            QVERIFY2(waitFor([&] {
                         return dialCalls.calls > dialBefore + 2 && trendCalls.calls > trendBefore + 2;
                     }),
                     qPrintable(QStringLiteral("round %1: no samples").arg(rounds)));

            switch (close) {
            case InOrder:
                thread.stopDials();
                thread.stopTrend();
                QVERIFY(thread.wait(10000));
                thread.setDialPage(nullptr);
                thread.setTrendPage(nullptr);
                delete dial;
                delete trend;
                break;
            case Running:
                delete dial;
                delete trend;
                break;
            case Stopped:
                thread.stopDials();
                thread.stopTrend();
                delete trend;
                delete dial;
                QVERIFY(thread.wait(10000));
                break;
            case DuringACall:
                dialCalls.lingerUs = 2000;
                QVERIFY(waitFor([&] { return dialCalls.inside > 0; }));
                delete dial;
                QCOMPARE(dialCalls.inside.load(), 0);
                dialCalls.lingerUs = 0;
                delete trend;
                break;
            case Replaced: {
                auto *nextDial = new MonitorPage<HistoryPage>(dialCalls);
                auto *nextTrend = new MonitorPage<HistoryPage>(trendCalls);
                thread.setDialPage(nextDial);
                thread.setTrendPage(nextTrend);
                delete dial;
                delete trend;
                const long d = dialCalls.calls;
                QVERIFY(waitFor([&] { return dialCalls.calls > d + 2; }));
                delete nextTrend;
                delete nextDial;
                break;
            }
            }
            // With the pages gone, the cycles that go on call nothing.
            const long dialAfter = dialCalls.calls;
            const long trendAfter = trendCalls.calls;
            if (thread.isRunning())
                QVERIFY(framesPass(12));
            QCOMPARE(dialCalls.calls.load(), dialAfter);
            QCOMPARE(trendCalls.calls.load(), trendAfter);
        }
        thread.stopDials();
        thread.stopTrend();
        QVERIFY(thread.wait(10000));

        std::printf("pages  %4d rounds  dial %7ld calls  trend %7ld calls  identity records %ld\n",
                    rounds, dialCalls.calls.load(), trendCalls.calls.load(),
                    dialCalls.infos + trendCalls.infos);
        std::fflush(stdout);
        QCOMPARE(dialCalls.intoDying.load(), 0L);
        QCOMPARE(trendCalls.intoDying.load(), 0L);
        // Each start hands the identity to the page that asked only: the
        // other page may be watching another drive.
        QCOMPARE(dialCalls.infos.load(), long(rounds));
        QCOMPARE(trendCalls.infos.load(), long(rounds));
        QVERIFY2(errors.codes().isEmpty(), qPrintable(QStringLiteral("%1 reports").arg(errors.codes().size())));
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
