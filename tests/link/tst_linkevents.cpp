#include "common/driverfixture.h"
#include "link/linkjob.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/readwritertu.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

// What LinkEvents emitted, seen twice: by a slot run where the signal is
// emitted (with that thread and the link locks it held), and by a slot of an
// object on this thread through a queued connection, as the main window
// connects.
class EventRecorder : public QObject
{
public:
    struct Delivery {
        int value;
        QThread *thread;
        int locksHeld;
    };

    EventRecorder()
    {
        LinkEvents *events = LinkEvents::instance();
        // Without a context object the slot runs on the emitting thread.
        m_direct << QObject::connect(events, &LinkEvents::showErrorInfo, [this](int code) {
            QMutexLocker lock(&m_mutex);
            m_errors.append({code, QThread::currentThread(), LinkLockScope::heldByThisThread()});
        });
        m_direct << QObject::connect(events, &LinkEvents::lineHealthChanged, [this](int health) {
            QMutexLocker lock(&m_mutex);
            m_health.append({health, QThread::currentThread(), LinkLockScope::heldByThisThread()});
        });
        connect(events, &LinkEvents::showErrorInfo, this,
                [this](int code) { m_queued.append(code); }, Qt::QueuedConnection);
    }
    ~EventRecorder() override
    {
        for (const QMetaObject::Connection &c : qAsConst(m_direct))
            QObject::disconnect(c);
    }

    QList<Delivery> errors() const
    {
        QMutexLocker lock(&m_mutex);
        return m_errors;
    }
    QList<int> codes() const
    {
        QList<int> codes;
        for (const Delivery &d : errors())
            codes.append(d.value);
        return codes;
    }
    QList<Delivery> health() const
    {
        QMutexLocker lock(&m_mutex);
        return m_health;
    }
    QList<int> healthValues() const
    {
        QList<int> values;
        for (const Delivery &d : health())
            values.append(d.value);
        return values;
    }
    // Through the queued connection; this thread only.
    QList<int> queuedCodes() const { return m_queued; }

private:
    QList<QMetaObject::Connection> m_direct;
    mutable QMutex m_mutex;
    QList<Delivery> m_errors;
    QList<Delivery> m_health;
    QList<int> m_queued;
};

// Each code of the list once, and those of one thread in the order it
// reported them: thread t reported (t + 1) * 10000 + i for i = 0, 1, ...
QString checkPerThreadOrder(const QList<int> &codes, int threads, int each)
{
    std::map<int, int> next;
    for (int code : codes) {
        const int t = code / 10000 - 1;
        const int i = code % 10000;
        if (t < 0 || t >= threads)
            return QStringLiteral("code %1 was never reported").arg(code);
        if (i != next[t])
            return QStringLiteral("thread %1: %2 came where %3 was due").arg(t).arg(i).arg(next[t]);
        ++next[t];
    }
    for (int t = 0; t < threads; ++t) {
        if (next[t] != each)
            return QStringLiteral("thread %1: %2 of %3 came").arg(t).arg(next[t]).arg(each);
    }
    return QString();
}

}  // namespace

// Link errors and the line's health reach their receivers on the thread
// LinkEvents lives in, whichever thread reported them: in order, each once,
// and only once the reporting thread has given back its link locks.
class TestLinkEvents : public QObject, private DriverFixture<ReadWriteRTU>
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpTestCase();
        QCOMPARE(LinkEvents::instance()->thread(), QThread::currentThread());
    }
    void init()
    {
        setUpTest(1, 1);
        // Nothing left over from an earlier test.
        LinkEvents::deliverPending();
        QCoreApplication::processEvents();
    }
    void cleanup() { linkState().setSerialPort(nullptr); }
    void cleanupTestCase() { tearDownTestCase(); }

    // Several threads at once, some of their reports made inside link
    // locks: every report arrives here, through the event loop, once, each
    // thread's in its order, with no link lock held.
    void reportsOfSeveralThreadsArriveHereInOrder()
    {
        constexpr int kThreads = 4;
        constexpr int kEach = 300;
        EventRecorder recorder;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t] {
                const int base = (t + 1) * 10000;
                for (int i = 0; i < kEach; ++i) {
                    if (i % 7 == 0 && i + 2 < kEach) {
                        LinkLockScope outer;
                        LinkEvents::report(base + i);
                        {
                            LinkLockScope inner;
                            LinkEvents::report(base + i + 1);
                        }
                        LinkEvents::report(base + i + 2);
                        i += 2;
                    } else {
                        LinkEvents::report(base + i);
                    }
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();

        QTRY_COMPARE_WITH_TIMEOUT(recorder.queuedCodes().size(), kThreads * kEach, 20000);
        const QList<EventRecorder::Delivery> direct = recorder.errors();
        QCOMPARE(direct.size(), kThreads * kEach);
        for (const EventRecorder::Delivery &d : direct) {
            QCOMPARE(d.thread, QThread::currentThread());
            QCOMPARE(d.locksHeld, 0);
        }
        QString fault = checkPerThreadOrder(recorder.codes(), kThreads, kEach);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        fault = checkPerThreadOrder(recorder.queuedCodes(), kThreads, kEach);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // Late wake-ups find nothing more to tell.
        QTest::qWait(50);
        QCOMPARE(recorder.errors().size(), kThreads * kEach);
        QCOMPARE(recorder.queuedCodes().size(), kThreads * kEach);
    }

    // A report made inside a link lock of another thread waits for that
    // lock's end, however long this thread's event loop runs meanwhile.
    void aReportInsideALinkLockWaitsForItsEnd()
    {
        EventRecorder recorder;
        QSemaphore reported;
        QSemaphore done;
        std::thread worker([&] {
            LinkLockScope held;
            LinkEvents::report(41);
            reported.release();
            done.acquire();
        });
        reported.acquire();
        QTest::qWait(100);
        QVERIFY(recorder.errors().isEmpty());
        done.release();
        worker.join();
        QTRY_COMPARE(recorder.codes(), QList<int>{41});
        QCOMPARE(recorder.errors().at(0).thread, QThread::currentThread());
        QTRY_COMPARE(recorder.queuedCodes(), QList<int>{41});
    }

    // On LinkEvents' own thread a report is emitted at once (after what other
    // threads reported before it), or at the end of the thread's last link
    // lock.
    void onItsOwnThreadAReportComesAtOnce()
    {
        EventRecorder recorder;
        std::thread worker([] {
            LinkEvents::report(1);
            LinkEvents::report(2);
        });
        worker.join();
        LinkEvents::report(3);
        QCOMPARE(recorder.codes(), (QList<int>{1, 2, 3}));
        {
            LinkLockScope held;
            LinkEvents::report(4);
            QCOMPARE(recorder.codes().size(), 3);
        }
        QCOMPARE(recorder.codes(), (QList<int>{1, 2, 3, 4}));
        // The worker's wake-up comes later and finds nothing.
        QTest::qWait(50);
        QCOMPARE(recorder.codes(), (QList<int>{1, 2, 3, 4}));
        QCOMPARE(recorder.queuedCodes(), (QList<int>{1, 2, 3, 4}));
    }

    // A receiver that reports again has its report come after those that
    // were waiting already.
    void aReceiversReportComesAfterTheWaitingOnes()
    {
        EventRecorder recorder;
        // Runs where the signal is emitted.
        const QMetaObject::Connection again =
            connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, [](int code) {
                if (code == 1)
                    LinkEvents::report(100);
            });
        std::thread worker([] {
            LinkEvents::report(1);
            LinkEvents::report(2);
        });
        worker.join();
        QTRY_COMPARE(recorder.codes().size(), 3);
        disconnect(again);
        QCOMPARE(recorder.codes(), (QList<int>{1, 2, 100}));
        QTRY_COMPARE(recorder.queuedCodes(), (QList<int>{1, 2, 100}));
    }

    // The line's health is told here, and only when it differs from what
    // was told last.
    void lineHealthIsToldHereOnAChange()
    {
        LinkEvents::resetLineHealth();
        EventRecorder recorder;
        auto onWorker = [](bool answered, int times) {
            std::thread worker([=] {
                for (int i = 0; i < times; ++i)
                    LinkEvents::noteExchange(answered);
            });
            worker.join();
        };
        onWorker(true, 3);
        QCOMPARE(LinkEvents::lineHealth(), int(LinkEvents::LineAnswered));
        QTRY_COMPARE(recorder.healthValues(), QList<int>{LinkEvents::LineAnswered});
        QCOMPARE(recorder.health().at(0).thread, QThread::currentThread());

        onWorker(true, 5);
        QTest::qWait(50);
        QCOMPARE(recorder.healthValues(), QList<int>{LinkEvents::LineAnswered});

        onWorker(false, 2);
        QTRY_COMPARE(recorder.healthValues(),
                     (QList<int>{LinkEvents::LineAnswered, LinkEvents::LineFailed}));
        QCOMPARE(recorder.health().at(1).thread, QThread::currentThread());
        QCOMPARE(LinkEvents::lineHealth(), int(LinkEvents::LineFailed));

        // On this thread: at once, and again only on a change.
        LinkEvents::noteExchange(false);
        QCOMPARE(recorder.health().size(), 2);
        LinkEvents::noteExchange(true);
        LinkEvents::resetLineHealth();
        QCOMPARE(recorder.healthValues(),
                 (QList<int>{LinkEvents::LineAnswered, LinkEvents::LineFailed,
                             LinkEvents::LineAnswered, LinkEvents::LineUntried}));
        QTest::qWait(50);
        QCOMPARE(recorder.health().size(), 4);
    }

    // A failed read of a job on the link worker: its reports are those the
    // same read makes on this thread, and reach this thread before the job's
    // end is told; the failed line shows here too.
    void aJobsReportsArriveHereBeforeItsEnd()
    {
        const QByteArray refused = withCrc(bytesOf("01 83 02"));
        EventRecorder recorder;
        m_fake->enqueueReply(refused);
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        const QList<int> reference = recorder.codes();
        QVERIFY(!reference.isEmpty());

        EventRecorder jobRecorder;
        LinkWorker worker;
        m_fake->enqueueReply(refused);
        std::atomic<bool> failed{false};
        auto job = makeLinkJob<FunctionJob>(
            [&](LinkJob &) { failed = m_driver->readRegister(300, 1) == -1.0; });
        QList<int> atEnd;
        connect(job.get(), &LinkJob::finished, this, [&] { atEnd = jobRecorder.codes(); });
        worker.post(job);
        // The job ends while this thread's event loop does not run: its
        // wake-up is still waiting when the end is told.
        QElapsedTimer clock;
        clock.start();
        while (!job->isFinished() && clock.elapsed() < 20000)
            QThread::msleep(1);
        QVERIFY(job->waitForFinished(20000));
        QVERIFY(failed);
        QCOMPARE(atEnd, reference);
        for (const EventRecorder::Delivery &d : jobRecorder.errors()) {
            QCOMPARE(d.thread, QThread::currentThread());
            QCOMPARE(d.locksHeld, 0);
        }

        // A dead line: the lamp's news come here as well (from untried: a
        // refused read may already count as a failed exchange).
        LinkEvents::resetLineHealth();
        QCOMPARE(jobRecorder.healthValues().value(0, -1), int(LinkEvents::LineUntried));
        failed = false;
        auto dead = makeLinkJob<FunctionJob>(
            [&](LinkJob &) { failed = m_driver->readRegister(300, 1) == -1.0; });
        worker.post(dead);
        QVERIFY(dead->waitForFinished(20000));
        QVERIFY(failed);
        QCOMPARE(LinkEvents::lineHealth(), int(LinkEvents::LineFailed));
        QTRY_COMPARE(jobRecorder.healthValues(),
                     (QList<int>{LinkEvents::LineUntried, LinkEvents::LineFailed}));
        for (const EventRecorder::Delivery &d : jobRecorder.health())
            QCOMPARE(d.thread, QThread::currentThread());
    }
};

QTEST_GUILESS_MAIN(TestLinkEvents)
#include "tst_linkevents.moc"
