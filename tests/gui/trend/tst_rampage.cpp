#include "monitor/ramrig.h"

#include "base/series.h"
#include "base/sharedstate.h"
#include "gui/trend/ram.h"
#include "gui/widgets/plot.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {
constexpr int kLateMs = LateLine::kLateMs;

// Every frame on the wire: the station it was addressed to (its first
// byte) and whether an answer came back.
class WireLog : public FrameObserver
{
public:
    void frameSent(const QByteArray &frame, int, FrameForm) override
    {
        QMutexLocker lock(&m_mutex);
        if (!frame.isEmpty())
            m_stations.append(quint8(frame.at(0)));
    }
    void frameReceived(const QByteArray &answer, int, FrameForm) override
    {
        if (!answer.isEmpty())
            ++m_answers;
    }
    QList<int> stations() const
    {
        QMutexLocker lock(&m_mutex);
        return m_stations;
    }
    int sent() const { return stations().size(); }
    int answers() const { return m_answers.load(); }

private:
    mutable QMutex m_mutex;
    QList<int> m_stations;
    std::atomic<int> m_answers{0};
};

void unlock(Ram &page)
{
    page.setDialogRunner([](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))
            ->setText(QStringLiteral("tarmelo"));
        QMetaObject::invokeMethod(&dialog, "accept");
        return dialog.result();
    });
    page.passwordAction()->trigger();
}

// An unlocked page reading channel 1 only, at the drive's counter (9000, 8 bit).
void readCounterOnly(Ram &page)
{
    unlock(page);
    page.addressField(0)->setText(QStringLiteral("9000"));
    page.channelCheck(1)->click();
    QVERIFY(!page.channelCheck(1)->isChecked());
}
}  // namespace

// The RAM page never waits for the line: Stop, closing and deleting it
// return while an exchange is still out, nothing of that exchange reaches
// the page, and the next Run does not wait for it either. The page reads
// the drive it was made for, whatever station is chosen later.
class TestRamPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        m_dir.copyShipped("InvType/typeInfo.txt");
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void cleanupTestCase()
    {
        setUserInteraction(nullptr);
        setSeriesLetter('0');
        setModelString(QString());
    }
    void init()
    {
        m_log = std::make_shared<WireLog>();
        linkState().addFrameObserver(m_log);
    }
    void cleanup()
    {
        linkState().removeFrameObserver(m_log);
        m_log.reset();
        // No reader of this test is left to the next one.
        QTRY_COMPARE_WITH_TIMEOUT(RamThread::retiredCount(), 0, 3 * kLateMs);
    }

    // Stop (the tool bar's action) or closing the page while the reader
    // waits for a late answer: it returns long before the answer, the
    // answer comes all the same, and neither the chart nor the value
    // fields get it; the reader sends nothing more and is deleted.
    void stopDuringLateAnswer_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("Stop") << false;
        QTest::newRow("page closed") << true;
    }
    void stopDuringLateAnswer()
    {
        QFETCH(bool, close);
        RamRig rig;
        LateLine late(rig);
        rig.setCounter(130);
        Ram page;
        readCounterOnly(page);
        page.runAction()->trigger();
        QVERIFY(page.isRunning());
        QTRY_VERIFY(page.plot()->series(2).size() >= 3);
        QTRY_COMPARE(page.valueField(0)->text(), QString("130"));

        QPointer<RamThread> reader = page.reader();
        QVERIFY(reader);
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        const int samples = page.plot()->series(2).size();
        const int answers = m_log->answers();
        rig.setCounter(70);  // the held answer will say 200

        QElapsedTimer clock;
        clock.start();
        if (close)
            page.close();
        else
            page.stopAction()->trigger();
        const qint64 took = clock.elapsed();
        QVERIFY2(took < kLateMs / 2, qPrintable(QString::number(took)));
        QVERIFY(!late.answered());  // the exchange was not waited for
        QVERIFY(!page.isRunning());
        QVERIFY(!page.reader());
        QVERIFY(reader);  // retired, still in its exchange
        QCOMPARE(page.runAction()->isEnabled(), !close);

        QTRY_VERIFY_WITH_TIMEOUT(late.answered(), 2 * kLateMs);
        QTRY_VERIFY_WITH_TIMEOUT(!reader, 2000);  // ended and deleted
        QCOMPARE(m_log->answers(), answers + 1);
        const int sent = m_log->sent();
        QTest::qWait(100);
        QCOMPARE(m_log->sent(), sent);
        QCOMPARE(page.plot()->series(2).size(), samples);
        QCOMPARE(page.plot()->series(0).size(), samples);
        QCOMPARE(page.valueField(0)->text(), QString("130"));
        // Switching channel 2 on shows the values held now: still the last
        // one read before the stop.
        page.channelCheck(1)->click();
        QCOMPARE(page.valueField(0)->text(), QString("130"));
        QCOMPARE(page.valueField(1)->text(), QString("0"));
    }

    // Deleted (as when the monitor window removes the "RAM" tab) while its
    // reader waits for a late answer: the delete does not wait, the
    // exchange completes, the reader touches nothing of the freed page
    // (the sanitizer builds would see it) and is deleted after.
    void deletedDuringLateAnswer()
    {
        RamRig rig;
        LateLine late(rig);
        auto *page = new Ram;
        readCounterOnly(*page);
        page->show();
        page->runAction()->trigger();
        QTRY_VERIFY(page->plot()->series(2).size() >= 3);
        QPointer<RamThread> reader = page->reader();
        QVERIFY(reader);
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        const int answers = m_log->answers();

        QElapsedTimer clock;
        clock.start();
        delete page;
        const qint64 took = clock.elapsed();
        QVERIFY2(took < kLateMs / 2, qPrintable(QString::number(took)));
        QVERIFY(!late.answered());
        QVERIFY(reader && reader->isRunning());
        QCOMPARE(RamThread::retiredCount(), 1);

        QTRY_VERIFY_WITH_TIMEOUT(late.answered(), 2 * kLateMs);
        QTRY_VERIFY_WITH_TIMEOUT(!reader, 2000);
        QCOMPARE(RamThread::retiredCount(), 0);
        QCOMPARE(m_log->answers(), answers + 1);
        const int sent = m_log->sent();
        QTest::qWait(100);
        QCOMPARE(m_log->sent(), sent);
    }

    // Run, Stop and Run again at once while the first run's exchange is
    // late: neither click waits, the second run has a reader of its own,
    // and it reads (its first exchange right after the late one).
    void runAgainAtOnce()
    {
        RamRig rig;
        LateLine late(rig);
        rig.setCounter(130);
        Ram page;
        readCounterOnly(page);
        page.runAction()->trigger();
        QTRY_VERIFY(page.plot()->series(2).size() >= 3);
        QPointer<RamThread> first = page.reader();
        late.arm();
        QTRY_VERIFY_WITH_TIMEOUT(late.holding(), 2000);
        const int sent = m_log->sent();

        QElapsedTimer clock;
        clock.start();
        page.stopAction()->trigger();
        QVERIFY(page.runAction()->isEnabled());
        page.runAction()->trigger();
        const qint64 took = clock.elapsed();
        QVERIFY2(took < kLateMs / 2, qPrintable(QString::number(took)));
        QVERIFY(!late.answered());
        QVERIFY(page.isRunning());
        QPointer<RamThread> second = page.reader();
        QVERIFY(second && second != first);
        QVERIFY(first && first->isRunning() && first->isDetached());
        QVERIFY(second->isRunning() && !second->stopRequested());
        QCOMPARE(page.plot()->series(2).size(), 0);  // a new chart

        rig.setCounter(70);
        QTRY_VERIFY_WITH_TIMEOUT(page.plot()->series(2).size() >= 3, 2 * kLateMs);
        QVERIFY(late.answered());
        QTRY_COMPARE(page.valueField(0)->text(), QString("200"));
        QVERIFY(m_log->sent() >= sent + 3);
        QTRY_VERIFY(!first);
        QVERIFY(second && second->isRunning());
        page.stopAction()->trigger();
        QTRY_VERIFY(!second);
    }

    // The page reads the drive current when it was made (or the one bound
    // where it was made): a station chosen during a run or between runs
    // changes nothing, and the starting address follows the page's drive.
    void readsItsOwnDrive_data()
    {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("address");
        QTest::newRow("current station 1") << false << 1 << "9000";
        QTest::newRow("made for station 2 while 1 is current") << true << 2 << "D000";
    }
    void readsItsOwnDrive()
    {
        QFETCH(bool, bound);
        QFETCH(int, station);
        QFETCH(QString, address);
        RamRig rig;
        const QString other = QStringLiteral("ZQ1-043-11K");
        rig.line->addDrive(makeSimulatedDrive(2, other));
        const QString model = QStringLiteral("ZN-020-5.5K");
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        QCOMPARE(int(linkState().stationByte), 1);

        std::unique_ptr<Ram> page;
        if (bound) {
            DriveTarget two;
            two.station = 2;
            two.model = other;
            two.series = seriesLetterForModel(other, '0');
            DriveTargetScope scope(two);
            page = std::make_unique<Ram>();
        } else {
            page = std::make_unique<Ram>();
        }
        QCOMPARE(page->driveTarget().station, station);
        QCOMPARE(page->addressField(0)->text(), address);
        unlock(*page);
        page->addressField(0)->setText(QStringLiteral("9004"));

        page->runAction()->trigger();
        QCOMPARE(page->reader()->target().station, station);
        QTRY_VERIFY(page->plot()->series(2).size() >= 3);
        // Another station is chosen during the run.
        linkState().setStation(3 - station);
        const int before = m_log->sent();
        const int samples = page->plot()->series(2).size();
        QTRY_VERIFY(page->plot()->series(2).size() >= samples + 3);
        QVERIFY(m_log->sent() > before);
        page->stopAction()->trigger();

        // The next run, with the other station current.
        page->runAction()->trigger();
        QCOMPARE(page->reader()->target().station, station);
        QTRY_VERIFY(page->plot()->series(2).size() >= 3);
        page->stopAction()->trigger();

        const QList<int> stations = m_log->stations();
        QVERIFY(stations.size() >= 12);
        for (int s : stations)
            QCOMPARE(s, station);
        page.reset();
        linkState().setStation(1);
        setSeriesLetter('0');
    }

private:
    DataDir m_dir;
    RecordingInteraction m_ui;
    std::shared_ptr<WireLog> m_log;
};

QTEST_MAIN(TestRamPage)
#include "tst_rampage.moc"
