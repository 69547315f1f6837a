#include "link/driverregistry.h"
#include "ramrig.h"

#include "monitor/ramthread.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {
// Counts the passes handed over and keeps the last one's flags and values.
class CountingSink : public RamSampleSink
{
public:
    explicit CountingSink(RamChannels &channels) : m_channels(channels) {}
    void sampleRam(const QByteArray &flags) override
    {
        QMutexLocker lock(&m_mutex);
        ++m_samples;
        m_flags = flags;
        m_values = {m_channels.value[0].load(), m_channels.value[1].load()};
    }
    int samples() const
    {
        QMutexLocker lock(&m_mutex);
        return m_samples;
    }
    QByteArray flags() const
    {
        QMutexLocker lock(&m_mutex);
        return m_flags;
    }
    QList<quint32> values() const
    {
        QMutexLocker lock(&m_mutex);
        return m_values;
    }

private:
    RamChannels &m_channels;
    mutable QMutex m_mutex;
    int m_samples = 0;
    QByteArray m_flags;
    QList<quint32> m_values;
};

using Reads = QList<QPair<int, int>>;
}  // namespace

// The reader on its own: what a pass asks the drive, what it hands over,
// how it fails, and how it stops.
class TestRamThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        setUserInteraction(&m_ui);
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    // One pass reads the flagged channels in order with their byte counts;
    // values are unsigned whatever their first byte.
    void pass_data()
    {
        QTest::addColumn<bool>("read1");
        QTest::addColumn<bool>("read2");
        QTest::addColumn<int>("address1");
        QTest::addColumn<int>("count1");
        QTest::addColumn<int>("address2");
        QTest::addColumn<int>("count2");
        QTest::addColumn<Reads>("reads");
        QTest::addColumn<QList<quint32>>("values");
        const int d = SimRegisters::RamBase2, n = SimRegisters::RamBase1;
        // Window offset k holds (37 k) & 0xFF; offset 0 the drive's counter
        // (set to 130 here), offsets 1 to 3 the output frequency (0).
        QTest::newRow("32 bit at D000, first byte 0x82")
            << true << false << d << 4 << n << 1 << Reads{{d, 4}}
            << QList<quint32>{0x82000000u, 0};
        QTest::newRow("32 bit, first byte 0x94")
            << true << true << d + 4 << 4 << n + 8 << 2 << Reads{{d + 4, 4}, {n + 8, 2}}
            << QList<quint32>{0x94B9DE03u, 0x284D};
        QTest::newRow("channel 2 only")
            << false << true << d << 4 << n + 5 << 1 << Reads{{n + 5, 1}}
            << QList<quint32>{0, 0xB9};
        QTest::newRow("address 0") << true << false << 0 << 1 << n << 1 << Reads{{0, 1}}
                                   << QList<quint32>{0xAB, 0};
    }
    void pass()
    {
        QFETCH(bool, read1);
        QFETCH(bool, read2);
        QFETCH(int, address1);
        QFETCH(int, count1);
        QFETCH(int, address2);
        QFETCH(int, count2);
        QFETCH(Reads, reads);
        QFETCH(QList<quint32>, values);
        RamRig rig;
        rig.setCounter(130);
        rig.drive->setParameterValue(0, 0x12AB);  // only the low byte is read
        auto channels = std::make_shared<RamChannels>();
        channels->read[0] = read1;
        channels->read[1] = read2;
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        thread.setChannel(0, address1, count1);
        thread.setChannel(1, address2, count2);
        ErrorRecorder errors;
        QVERIFY(thread.runPass());
        QCOMPARE(rig.log->reads(), reads);
        QCOMPARE(sink.samples(), 1);
        QByteArray flags(2, '\0');
        flags[0] = read1 ? 1 : 0;
        flags[1] = read2 ? 1 : 0;
        QCOMPARE(sink.flags(), flags);
        QCOMPARE(sink.values(), values);
        QVERIFY(errors.codes().isEmpty());
    }

    // A location holding all ones is a value like any other, in either
    // channel and on either Modbus line: the pass is complete, both
    // channels are read and charted.
    void allOnesIsAValue_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("channel");  // the one holding all ones
        for (int protocol : {1, 2})
            for (int count : {2, 4})
                for (int channel : {0, 1})
                    QTest::addRow("%s, %d bit, channel %d", protocol == 1 ? "RTU" : "ASCII",
                                  8 * count, channel + 1)
                        << protocol << count << channel;
    }
    void allOnesIsAValue()
    {
        QFETCH(int, protocol);
        QFETCH(int, count);
        QFETCH(int, channel);
        RamRig rig(true, protocol);
        const int ones = SimRegisters::RamBase1 + 0x40, other = SimRegisters::RamBase1 + 5;
        for (int k = 0; k < count; ++k)
            rig.drive->setRamByte(ones + k, 0xFF);
        auto channels = std::make_shared<RamChannels>();
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        thread.setChannel(channel, ones, count);
        thread.setChannel(1 - channel, other, 1);
        ErrorRecorder errors;
        QVERIFY(thread.runPass());
        QVERIFY(thread.runPass());
        const Reads pass = channel == 0 ? Reads{{ones, count}, {other, 1}}
                                        : Reads{{other, 1}, {ones, count}};
        QCOMPARE(rig.log->reads(), pass + pass);
        QCOMPARE(sink.samples(), 2);
        QCOMPARE(sink.flags(), QByteArray("\1\1", 2));
        const quint32 allOnes = count == 4 ? 0xFFFFFFFFu : 0xFFFFu;
        QList<quint32> values = {allOnes, (5 * 37) & 0xFF};
        if (channel == 1)
            std::swap(values[0], values[1]);
        QCOMPARE(sink.values(), values);
        QVERIFY(channels->ok[0] && channels->ok[1]);
        QVERIFY(errors.codes().isEmpty());
    }

    // A failed read ends the pass: its channel is marked failed, nothing is
    // charted, and a later channel is not read. The first failure of a run
    // of failures is reported, the rest are not until a read succeeds.
    void failedPass_data()
    {
        QTest::addColumn<int>("refused");  // channel whose location is refused, -1 none
        QTest::addColumn<bool>("dead");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("requests");  // per failed pass
        QTest::newRow("channel 1 refused") << 0 << false << 12 << 1;
        QTest::newRow("channel 2 refused") << 1 << false << 12 << 2;
        QTest::newRow("no answer") << -1 << true << 8 << 3;
    }
    void failedPass()
    {
        QFETCH(int, refused);
        QFETCH(bool, dead);
        QFETCH(int, code);
        QFETCH(int, requests);
        RamRig rig;
        auto channels = std::make_shared<RamChannels>();
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        const int base = SimRegisters::RamBase1;
        thread.setChannel(0, base + 1, 1);
        thread.setChannel(1, base + 0x10, 2);
        if (refused >= 0)
            rig.drive->setRefusedRegister(refused == 0 ? base + 1 : base + 0x11,
                                          SimulatedDrive::IllegalAddress);
        if (dead)
            rig.breakLine();
        ErrorRecorder errors;
        for (int pass = 0; pass < 3; ++pass) {
            QVERIFY(!thread.runPass());
            QVERIFY(!channels->ok[refused == 1 ? 1 : 0]);
        }
        QCOMPARE(sink.samples(), 0);
        QCOMPARE(rig.log->reads().size(), 3 * requests);
        if (refused == 1)
            QCOMPARE(channels->value[0].load(), 0u);  // offset 1: frequency byte
        QCOMPARE(errors.codes(), QList<int>{code});

        // Mended: the pass is complete again, and the next failure is told.
        rig.drive->setRefusedRegister(base + 1, SimulatedDrive::Ok);
        rig.drive->setRefusedRegister(base + 0x11, SimulatedDrive::Ok);
        rig.mendLine();
        QVERIFY(thread.runPass());
        QCOMPARE(sink.samples(), 1);
        QVERIFY(channels->ok[0] && channels->ok[1]);
        QCOMPARE(channels->value[1].load(), quint32((0x10 * 37) & 0xFF) << 8 | ((0x11 * 37) & 0xFF));
        rig.breakLine();
        QVERIFY(!thread.runPass());
        QCOMPARE(errors.codes(), (QList<int>{code, 8}));
    }

    // The native protocol has no packed read: nothing goes on the line and
    // nothing is charted; it is a failed read, not a value.
    void nativeDriverHasNoPackedRead()
    {
        RamRig rig;
        linkState().protocolCode = 0;
        setCurrentDriver(createDriver(0));
        auto channels = std::make_shared<RamChannels>();
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        thread.setChannel(0, SimRegisters::RamBase1 + 4, 4);
        QVERIFY(!thread.runPass());
        QVERIFY(!channels->ok[0]);
        QCOMPARE(sink.samples(), 0);
        QVERIFY(rig.log->reads().isEmpty());
    }

    // Failing passes are paced: with no answer (or no exchange at all) the
    // loop neither spins nor reports more than once, and keeps trying
    // until stopped.
    void failingLoopIsPaced_data()
    {
        QTest::addColumn<bool>("native");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("dead line") << false << QList<int>{8};
        QTest::newRow("native driver") << true << QList<int>{};
    }
    void failingLoopIsPaced()
    {
        QFETCH(bool, native);
        QFETCH(QList<int>, codes);
        RamRig rig;
        rig.breakLine();
        if (native) {
            linkState().protocolCode = 0;
            setCurrentDriver(createDriver(0));
        }
        auto channels = std::make_shared<RamChannels>();
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        std::atomic<int> passes{0};
        thread.setDriverSource([&passes] {
            ++passes;
            return currentDriver();
        });
        thread.setChannel(0, SimRegisters::RamBase1, 1);
        ErrorRecorder errors;
        QVERIFY(thread.startReading(currentDriveTarget()));
        QTest::qWait(600);
        QVERIFY(thread.isRunning());
        thread.stopAndWait();
        QVERIFY(!thread.isRunning());
        QVERIFY2(passes >= 2 && passes <= 600 / RamThread::kRetryPauseMs + 1,
                 qPrintable(QString::number(passes)));
        QCOMPARE(sink.samples(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(errors.codes(), codes);
        QVERIFY(!linkState().silentReads);  // the test's thread is untouched
    }

    // A stop while a read waits for an answer that never comes returns once
    // that exchange has ended; nothing is sampled after it.
    void stopWhileReadInFlight()
    {
        RamRig rig(false);
        rig.breakLine();
        auto channels = std::make_shared<RamChannels>();
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        thread.setChannel(0, SimRegisters::RamBase1, 1);
        QVERIFY(thread.startReading(currentDriveTarget()));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.log->reads().isEmpty(), 2000);
        QElapsedTimer clock;
        clock.start();
        thread.stopAndWait();
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(thread.isFinished());
        const int sent = rig.log->reads().size();
        QTest::qWait(100);
        QCOMPARE(rig.log->reads().size(), sent);
        QCOMPARE(sink.samples(), 0);
    }

    // A running reader samples live values; a restart after a stop runs again.
    void runsAndRestarts()
    {
        RamRig rig;
        auto channels = std::make_shared<RamChannels>();
        channels->read[1] = false;
        CountingSink sink(*channels);
        RamThread thread(channels);
        thread.setSink(&sink);
        thread.setChannel(0, SimRegisters::RamBase2 + 4, 4);
        for (int run = 1; run <= 2; ++run) {
            const int before = sink.samples();
            QVERIFY(thread.startReading(currentDriveTarget()));
            QTRY_VERIFY(sink.samples() >= before + 3);
            thread.stopAndWait();
            QCOMPARE(channels->value[0].load(), 0x94B9DE03u);
            QCOMPARE(sink.flags(), QByteArray("\1\0", 2));
        }
    }

    // Detached and retired while its exchange waits for a late answer:
    // both return at once; the answer comes, but neither the sink nor the
    // channels' values get it; the reader sends nothing more, ends after
    // the exchange and is deleted from the event loop.
    void retiredDuringLateAnswer()
    {
        RamRig rig;
        LateLine late(rig);
        rig.setCounter(130);
        auto channels = std::make_shared<RamChannels>();
        channels->read[1] = false;
        CountingSink sink(*channels);
        QPointer<RamThread> thread = new RamThread(channels);
        thread->setSink(&sink);
        thread->setChannel(0, SimRegisters::RamBase1, 1);
        QVERIFY(thread->startReading(currentDriveTarget()));
        QTRY_VERIFY(sink.samples() >= 2);
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        const int samples = sink.samples();
        const int sent = rig.log->reads().size();
        rig.setCounter(70);

        QElapsedTimer clock;
        clock.start();
        RamThread::retire(thread);
        QVERIFY2(clock.elapsed() < LateLine::kLateMs / 2, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!late.answered());
        QVERIFY(thread && thread->isRunning() && thread->isDetached() && thread->stopRequested());
        QCOMPARE(RamThread::retiredCount(), 1);
        // Neither a new sink nor a new run for a reader let go of.
        thread->setSink(&sink);
        QVERIFY(!thread->startReading(currentDriveTarget()));

        QTRY_VERIFY_WITH_TIMEOUT(late.answered(), 2 * LateLine::kLateMs);
        QTRY_VERIFY_WITH_TIMEOUT(!thread, 2000);
        QCOMPARE(RamThread::retiredCount(), 0);
        QCOMPARE(sink.samples(), samples);
        QCOMPARE(channels->value[0].load(), 130u);
        QCOMPARE(rig.log->reads().size(), sent);
    }

    // The application's end: a retired reader still inside its exchange is
    // waited for and deleted, never left running.
    void deleteRetiredWaitsForTheExchange()
    {
        RamRig rig;
        LateLine late(rig);
        auto channels = std::make_shared<RamChannels>();
        QPointer<RamThread> thread = new RamThread(channels);
        thread->setChannel(0, SimRegisters::RamBase1, 1);
        QVERIFY(thread->startReading(currentDriveTarget()));
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        RamThread::retire(thread);
        QVERIFY(thread);
        RamThread::deleteRetired();
        QVERIFY(late.answered());
        QVERIFY(!thread);
        QCOMPARE(RamThread::retiredCount(), 0);
    }

    // A reader that is not running is deleted by retire() itself.
    void retiredIdleReaderDeletedAtOnce()
    {
        auto channels = std::make_shared<RamChannels>();
        QPointer<RamThread> idle = new RamThread(channels);
        RamThread::retire(idle);
        QVERIFY(!idle);
        QCOMPARE(RamThread::retiredCount(), 0);
    }

    // Starting never waits for a run that is ending: the reader says no
    // at once and a fresh one reads while the old exchange is still out.
    // Each run reads the target it was given.
    void startNeverWaits()
    {
        RamRig rig;
        LateLine late(rig);
        auto channels = std::make_shared<RamChannels>();
        channels->read[1] = false;
        CountingSink sink(*channels);
        RamThread first(channels);
        first.setSink(&sink);
        first.setChannel(0, SimRegisters::RamBase1, 1);
        const DriveTarget target = currentDriveTarget();
        QVERIFY(first.startReading(target));
        QVERIFY(first.startReading(target));  // already reading it
        DriveTarget other = target;
        other.station = 7;
        QVERIFY(!first.startReading(other));  // reading another drive
        QCOMPARE(first.target().station, 1);
        QTRY_VERIFY(sink.samples() >= 1);
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        first.requestStop();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!first.startReading(target));
        QVERIFY2(clock.elapsed() < LateLine::kLateMs / 2, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(first.isRunning() && first.stopRequested());

        first.stopAndDetach();
        RamThread second(channels);
        second.setSink(&sink);
        second.setChannel(0, SimRegisters::RamBase1, 1);
        QVERIFY(second.startReading(target));
        QVERIFY(!late.answered());
        const int samples = sink.samples();
        QTRY_VERIFY_WITH_TIMEOUT(sink.samples() >= samples + 3, 2 * LateLine::kLateMs);
        QVERIFY(late.answered());
        first.wait();
        // Ended, but let go of: it does not start again.
        QVERIFY(!first.startReading(target));
        second.stopAndWait();
    }

private:
    DataDir m_dir;
    RecordingInteraction m_ui;
};

QTEST_MAIN(TestRamThread)
#include "tst_ramthread.moc"
