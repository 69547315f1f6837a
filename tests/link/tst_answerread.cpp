#include "common/testsupport.h"
#include "link/serialline.h"

#include <QtTest>

// The polled answer read on the scripted port: when an answer counts as
// complete, when an incomplete one is given up, and that nothing a line sends
// can overrun the buffer or hold the reader.
class TestAnswerRead : public QObject
{
    Q_OBJECT
private slots:
    void polls_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("delay");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("taken");
        QTest::addColumn<int>("polls");
        QTest::addColumn<bool>("timedOut");
        const QByteArray seven("1234567");
        // Bytes all there at the first poll, then two quiet polls.
        QTest::newRow("complete at once") << seven << 0.0 << 0.0 << 7 << 7 << 3 << false;
        // Last byte at 10 ms, seen by poll 10, then two quiet polls.
        QTest::newRow("complete, trickling") << seven << 4.0 << 1.0 << 7 << 7 << 12 << false;
        // Growth resets the idle count even with pauses of one poll between bytes.
        QTest::newRow("complete, slow bytes") << seven << 0.5 << 2.0 << 7 << 7 << 15 << false;
        QTest::newRow("short answer") << QByteArray("12345") << 0.0 << 0.0 << 7 << 5 << 52 << true;
        QTest::newRow("nothing") << QByteArray() << 0.0 << 0.0 << 7 << 0 << 51 << true;
        QTest::newRow("more than wanted") << QByteArray("123456789") << 0.0 << 0.0 << 7 << 9 << 3
                                          << false;
        QTest::newRow("more than the buffer") << QByteArray(40, 'x') << 0.0 << 0.0 << 7 << 18 << 3
                                              << false;
        QTest::newRow("answer too late") << seven << 60.0 << 0.0 << 7 << 0 << 51 << true;
    }
    void polls()
    {
        QFETCH(QByteArray, answer);
        QFETCH(double, delay);
        QFETCH(double, interval);
        QFETCH(int, wanted);
        QFETCH(int, taken);
        QFETCH(int, polls);
        QFETCH(bool, timedOut);
        FakeTransport fake;
        fake.open();
        fake.enqueueReply(answer, delay, interval);
        char buf[18];
        QCOMPARE(fake.transact("request", wanted, buf, sizeof buf), taken);
        QCOMPARE(QByteArray(buf, taken), answer.left(taken));
        const AnswerReadStats stats = fake.readStats().value(0);
        QCOMPARE(stats.polls, polls);
        QCOMPARE(stats.timedOut, timedOut);
    }

    // Fewer bytes than wanted that the caller's test takes for a whole answer
    // (a refusal) end the read after the quiet polls of a complete answer.
    // The test sees the waiting bytes once per quiet stretch, and looking
    // takes none of them.
    void shortWholeAnswer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("delay");
        QTest::addColumn<double>("interval");
        QTest::addColumn<QByteArray>("late");  // arrives after a pause of its own
        QTest::addColumn<double>("lateDelay");
        QTest::addColumn<QByteArray>("whole");  // what the test takes for whole
        QTest::addColumn<int>("polls");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<QList<QByteArray>>("seen");
        const QByteArray five("12345");
        // All there at the first poll, then two quiet polls.
        QTest::newRow("whole at once")
            << five << 0.0 << 0.0 << QByteArray() << 0.0 << five << 3 << false
            << QList<QByteArray>{five};
        QTest::newRow("short and not whole")
            << five << 0.0 << 0.0 << QByteArray() << 0.0 << QByteArray("1234") << 52 << true
            << QList<QByteArray>{five};
        // Three bytes stand still (not whole), two more come at 10 ms.
        QTest::newRow("whole after a pause")
            << QByteArray("123") << 0.0 << 0.0 << QByteArray("45") << 10.0 << five << 12 << false
            << QList<QByteArray>{"123", five};
        // Bytes that keep coming are never looked at, whole or not.
        QTest::newRow("still coming") << QByteArray("1234567") << 0.5 << 1.0 << QByteArray()
                                      << 0.0 << QByteArray("123") << 9 << false
                                      << QList<QByteArray>{};
    }
    void shortWholeAnswer()
    {
        QFETCH(QByteArray, answer);
        QFETCH(double, delay);
        QFETCH(double, interval);
        QFETCH(QByteArray, late);
        QFETCH(double, lateDelay);
        QFETCH(QByteArray, whole);
        QFETCH(int, polls);
        QFETCH(bool, timedOut);
        QFETCH(QList<QByteArray>, seen);
        FakeTransport fake;
        fake.open();
        fake.enqueueReply(answer, delay, interval);
        fake.injectBytes(late, lateDelay);
        QList<QByteArray> looked;
        const AnswerTest test = [&](const QByteArray &bytes) {
            looked.append(bytes);
            return bytes == whole;
        };
        char buf[18];
        const int n = fake.transact("request", 7, buf, sizeof buf, test);
        QCOMPARE(QByteArray(buf, qMax(n, 0)), answer + late);
        QCOMPARE(looked, seen);
        const AnswerReadStats stats = fake.readStats().value(0);
        QCOMPARE(stats.polls, polls);
        QCOMPARE(stats.timedOut, timedOut);
    }

    void pollsEveryTwoMillisecondsAt4800()
    {
        FakeTransport fake;
        fake.open();
        LineSettings s;
        s.baudRate = 4800;
        fake.applySettings(s);
        char buf[18];
        QCOMPARE(fake.transact("x", 7, buf, sizeof buf), 0);
        QCOMPARE(fake.nowMs(), 102.0);  // 51 polls of 2 ms
    }

    void endlessStreamDoesNotHoldTheReader()
    {
        FakeTransport fake;
        fake.open();
        fake.enqueueReply(QByteArray(5000, 'z'), 0, 0.5);
        char buf[18];
        QCOMPARE(fake.transact("x", 7, buf, sizeof buf), 18);
        QVERIFY(fake.readStats().value(0).polls <= kMaxPolls);
        QVERIFY(fake.readStats().value(0).timedOut);
    }

    void staleBytesAreDroppedBeforeARequest()
    {
        FakeTransport fake;
        fake.open();
        fake.injectBytes("stale");
        fake.enqueueReply("fresh!!");
        char buf[18];
        QCOMPARE(fake.transact("x", 7, buf, sizeof buf), 7);
        QCOMPARE(QByteArray(buf, 7), QByteArray("fresh!!"));
    }

    void closedPortFails()
    {
        FakeTransport fake;
        char buf[18];
        QCOMPARE(fake.transact("x", 7, buf, sizeof buf), -1);
        fake.open();
        fake.setFailWrites(true);
        QCOMPARE(fake.transact("x", 7, buf, sizeof buf), -1);
    }
};

QTEST_GUILESS_MAIN(TestAnswerRead)
#include "tst_answerread.moc"
