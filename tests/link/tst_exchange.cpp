#include "common/testsupport.h"
#include "link/readwriteasc.h"
#include "link/readwritekr.h"
#include "link/readwritertu.h"
#include "link/serialline.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {
enum Protocol { Native = 0, Rtu = 1, Ascii = 2 };

QByteArray lineEndText(int lineEnd)
{
    return lineEnd == 1 ? QByteArray("\r") : lineEnd == 2 ? QByteArray("\r\n") : QByteArray();
}

// NAK, station, error character, line end.
QByteArray nak(char error, int lineEnd, const QByteArray &station = "01")
{
    return '\x15' + station + error + lineEndText(lineEnd);
}

// A native data answer of station 01 holding 5, its sum check worked out here.
QByteArray nativeFive(int lineEnd)
{
    const QByteArray text("0100050");
    int sum = 0;
    for (char c : text)
        sum += quint8(c);
    return '\x02' + text + '\x03' +
           QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0') +
           lineEndText(lineEnd);
}

// Register 302 holding 5, in the protocol's answer.
QByteArray answerOfFive(int protocol, int lineEnd)
{
    switch (protocol) {
    case Rtu:
        return withCrc(bytesOf("01 03 02 00 05"));
    case Ascii:
        return asciiFrame("0103020005");
    default:
        return nativeFive(lineEnd);
    }
}

std::unique_ptr<ReadWrite> driverFor(int protocol)
{
    std::unique_ptr<ReadWrite> driver;
    if (protocol == Rtu)
        driver.reset(new ReadWriteRTU);
    else if (protocol == Ascii)
        driver.reset(new ReadWriteASC);
    else
        driver.reset(new ReadWriteKR);
    driver->setProtocol(protocol);
    return driver;
}
}  // namespace

// The exchange: three attempts, the flags it leaves, and one port shared by
// several threads.
class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        setUserInteraction(&m_ui);
    }
    void init()
    {
        resetSharedState();
        m_fake = installFakePort();
        linkState().setStation(1);
        m_driver.reset(new ReadWriteRTU);
        m_driver->setProtocol(1);
        m_errors.clear();
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    void completeAnswerAfterTwoQuietPolls()
    {
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 05")), 3.0, 0.5);
        QCOMPARE(m_driver->readRegister(300, 1), 5.0);
        const AnswerReadStats s = m_fake->readStats().value(0);
        QCOMPARE(s.timedOut, false);
        // The last byte arrives at 6 ms: poll 6 sees it, polls 7 and 8 are quiet.
        QCOMPARE(s.polls, 8);
        QCOMPARE(m_fake->writes().size(), 1);
        QVERIFY(!linkState().linkLost);
    }

    void shortAnswerIsGivenUpAndNotRetried()
    {
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 05")).left(5));
        linkState().quietReads = true;
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        const AnswerReadStats s = m_fake->readStats().value(0);
        QCOMPARE(s.polls, 1 + 51);
        QVERIFY(s.timedOut);
        QCOMPARE(m_fake->writes().size(), 1);
        QVERIFY(!linkState().linkLost);
        QVERIFY2(linkState().quietReads, "an answer of some bytes keeps reads quiet");
        QVERIFY(m_errors.codes().isEmpty());
    }

    void answerOnTheThirdAttemptSetsLinkLost()
    {
        m_fake->enqueueSilence();
        m_fake->enqueueSilence();
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 2A")));
        QCOMPARE(m_driver->readRegister(300, 1), 42.0);
        QCOMPARE(m_fake->writes().size(), 3);
        QVERIFY(linkState().linkLost);
        // The next exchange that needs fewer attempts clears it again.
        m_fake->enqueueSilence();
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 2B")));
        QCOMPARE(m_driver->readRegister(300, 1), 43.0);
        QVERIFY(!linkState().linkLost);
    }

    // A drive that answers later than the read window: the first attempt's
    // answer arrives during the second attempt (same request, so it is
    // taken), the last attempt's answer while the next exchange waits. It
    // must never be taken for the answer of the next exchange (another
    // register): that exchange waits the line out first.
    void lateAnswerIsNotTakenByTheNextExchange_data()
    {
        QTest::addColumn<double>("lateMs");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("next");
        // Attempts write at 10, 71 and 132 ms (a 10 ms pause before each).
        QTest::newRow("during the next attempt") << 65.0 << 300.0 << 301.0;
        QTest::newRow("during the third attempt") << 130.0 << 300.0 << 301.0;
        QTest::newRow("after the third attempt") << 175.0 << -1.0 << -1.0;
    }
    void lateAnswerIsNotTakenByTheNextExchange()
    {
        QFETCH(double, lateMs);
        QFETCH(double, first);
        QFETCH(double, next);
        m_fake->setResponder([lateMs](const QByteArray &request) {
            QByteArray body = bytesOf("01 03 02");
            body.append(request.mid(2, 2));  // every register holds its address
            return QList<FakeTransport::Reply>{{withCrc(body), lateMs, 1}};
        });
        linkState().quietReads = true;
        QCOMPARE(m_driver->readRegister(300, 1), first);
        QCOMPARE(m_driver->readRegister(301, 1), next);
        QVERIFY(m_fake->settlePolls() >= 51);
        QCOMPARE(m_driver->readRegister(302, 1), next == -1 ? -1.0 : 302.0);
    }

    // Settling costs nothing while every attempt gets its answer in time.
    void noSettlingAfterTimelyAnswers()
    {
        for (int i = 0; i < 3; ++i) {
            m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 05")), 2, 1);
            QCOMPARE(m_driver->readRegister(300, 1), 5.0);
        }
        QCOMPARE(m_fake->settlePolls(), 0);
    }

    // A refusal (Modbus exception, native NAK) is shorter than the answer
    // asked for. A whole one is taken after the quiet polls of a complete
    // answer and leaves the line settled; anything else short waits the
    // whole read window, and the next exchange waits the line out first.
    // What the answer means for the caller stays the same either way.
    void refusalEndsTheRead_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("code");  // 0: the operation succeeds
        const auto row = [](const char *name, int protocol, int lineEnd, bool write,
                            const QByteArray &answer, bool whole, int code) {
            QTest::newRow(name) << protocol << lineEnd << write << answer << whole << code;
        };
        const QByteArray rtu = withCrc(bytesOf("01 83 02"));
        const QByteArray badCrc = rtu.left(4) + char(rtu.at(4) ^ 0x01);
        const QByteArray ascii = asciiFrame("018302");
        QByteArray badLrc = ascii;
        badLrc[8] = badLrc.at(8) == '0' ? '1' : '0';
        row("RTU read refused", Rtu, 0, false, rtu, true, 12);
        row("RTU write refused", Rtu, 0, true, withCrc(bytesOf("01 86 01")), true, 10);
        row("RTU refusal with a bad CRC", Rtu, 0, false, badCrc, false, 14);
        row("RTU refusal from station 2", Rtu, 0, false, withCrc(bytesOf("02 83 02")), false, 14);
        row("RTU refusal of another function", Rtu, 0, false, withCrc(bytesOf("01 86 02")), false,
            12);
        row("RTU refusal cut short", Rtu, 0, false, rtu.left(4), false, 14);
        row("RTU read answer", Rtu, 0, false, answerOfFive(Rtu, 0), true, 0);
        row("ASCII read refused", Ascii, 0, false, ascii, true, 12);
        row("ASCII write refused", Ascii, 0, true, asciiFrame("018601"), true, 10);
        row("ASCII refusal with a bad LRC", Ascii, 0, false, badLrc, false, 14);
        row("ASCII refusal from station 2", Ascii, 0, false, asciiFrame("028302"), false, 14);
        row("ASCII refusal cut short", Ascii, 0, false, ascii.left(10), false, 14);
        row("ASCII read answer", Ascii, 0, false, answerOfFive(Ascii, 0), true, 0);
        row("native NAK, no line end", Native, 0, false, nak('C', 0), true, 19);
        row("native NAK, CR", Native, 1, false, nak('B', 1), true, 18);
        row("native NAK, CR LF", Native, 2, false, nak('3', 2), true, 13);
        row("native NAK from station 2", Native, 1, false, nak('B', 1, "02"), false, -1);
        row("native NAK without its line end", Native, 1, false, nak('B', 0), false, 18);
        row("native data answer", Native, 1, false, answerOfFive(Native, 1), true, 0);
    }
    void refusalEndsTheRead()
    {
        QFETCH(int, protocol);
        QFETCH(int, lineEnd);
        QFETCH(bool, write);
        QFETCH(QByteArray, answer);
        QFETCH(bool, whole);
        QFETCH(int, code);
        linkState().protocolCode = quint8(protocol);
        linkState().lineEnd = lineEnd;
        linkState().nativeGroup = 3;
        const std::unique_ptr<ReadWrite> driver = driverFor(protocol);
        const double delay = 2, interval = 1;
        m_fake->enqueueReply(answer, delay, interval);
        const bool done =
            write ? driver->writeRegister(301, 7) : driver->readRegister(301, 1) == 5;
        QCOMPARE(done, code == 0);
        QCOMPARE(m_errors.codes(), code == 0 ? QList<int>{} : QList<int>{code});
        QCOMPARE(m_fake->writes().size(), 1);
        const AnswerReadStats s = m_fake->readStats().value(0);
        const int lastByte = int(std::ceil(delay + (answer.size() - 1) * interval));
        QCOMPARE(s.polls, lastByte + (whole ? kQuietPollsComplete : kQuietPollsIncomplete));
        QCOMPARE(s.timedOut, !whole);

        linkState().nativeGroup = 3;
        m_fake->enqueueReply(answerOfFive(protocol, lineEnd), delay, interval);
        QCOMPARE(driver->readRegister(302, 1), 5.0);
        QCOMPARE(m_fake->settlePolls(), whole ? 0 : kQuietPollsIncomplete);
    }

    // All three attempts were needed, so the link counts as lost whatever
    // the answer of the third one said.
    void refusalOnTheThirdAttemptIsALostLink_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("RTU exception") << int(Rtu) << withCrc(bytesOf("01 83 02"));
        QTest::newRow("ASCII exception") << int(Ascii) << asciiFrame("018302");
        QTest::newRow("native NAK") << int(Native) << nak('B', 1);
    }
    void refusalOnTheThirdAttemptIsALostLink()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, answer);
        linkState().protocolCode = quint8(protocol);
        linkState().nativeGroup = 3;
        const std::unique_ptr<ReadWrite> driver = driverFor(protocol);
        m_fake->enqueueSilence();
        m_fake->enqueueSilence();
        m_fake->enqueueReply(answer, 2, 1);
        QCOMPARE(driver->readRegister(301, 1), -1.0);
        QCOMPARE(m_fake->writes().size(), 3);
        QVERIFY(!m_fake->readStats().value(2).timedOut);
        QVERIFY(linkState().linkLost);
        QCOMPARE(m_errors.codes(), QList<int>{8});
    }

    void noAnswerFailsWithCommunicationError_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("read") << "read";
        QTest::newRow("write") << "write";
        QTest::newRow("function") << "function";
        QTest::newRow("packed") << "packed";
    }
    void noAnswerFailsWithCommunicationError()
    {
        QFETCH(QString, operation);
        linkState().quietReads = true;
        bool failed = false;
        if (operation == "read")
            failed = m_driver->readRegister(300, 1) == -1;
        else if (operation == "write")
            failed = !m_driver->writeRegister(300, 1);
        else if (operation == "function")
            failed = m_driver->runFunction("STO") == -1;
        else
            failed = !m_driver->readPacked(300, 2);
        QVERIFY(failed);
        QVERIFY2(m_fake->nowMs() >= 3 * (10 + 51), "a 10 ms pause before each of three attempts");
        QCOMPARE(m_fake->writes().size(), 3);
        for (const AnswerReadStats &s : m_fake->readStats())
            QCOMPARE(s.polls, 51);
        QVERIFY(linkState().linkLost);
        QVERIFY2(!linkState().quietReads, "a dead line clears quietReads");
        // Quiet reads were cleared by the dead line, so the read reports too.
        QCOMPARE(m_errors.codes(), QList<int>{8});
        QCOMPARE(errorMessage(8), QString("Communication Error!"));
    }

    // A probe asks once: a silent station costs one read window and is no
    // fault of the link (no error, linkLost, commError and quietReads as
    // they were); a drive's answer or refusal, and only its own, counts.
    void probeAsksOnceAndLeavesTheLinkAlone_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("present");
        const QByteArray rtuRead = withCrc(bytesOf("01 03 00 BC 00 01"));
        const QByteArray asciiRead = ":010300BC00013F\r\n";
        const QByteArray nativeStatus = QByteArray("\x05" "017A0") + "09\r";
        QTest::newRow("RTU silent") << int(Rtu) << rtuRead << QByteArray() << false;
        QTest::newRow("RTU answer") << int(Rtu) << rtuRead << withCrc(bytesOf("01 03 02 00 64"))
                                    << true;
        QTest::newRow("RTU refusal") << int(Rtu) << rtuRead << withCrc(bytesOf("01 83 02"))
                                     << true;
        QTest::newRow("RTU other station") << int(Rtu) << rtuRead
                                           << withCrc(bytesOf("02 03 02 00 64")) << false;
        QTest::newRow("RTU bad CRC") << int(Rtu) << rtuRead << bytesOf("01 03 02 00 64 00 00")
                                     << false;
        QTest::newRow("ASCII silent") << int(Ascii) << asciiRead << QByteArray() << false;
        QTest::newRow("ASCII answer") << int(Ascii) << asciiRead << asciiFrame("0103020064")
                                      << true;
        QTest::newRow("ASCII refusal") << int(Ascii) << asciiRead << asciiFrame("018302") << true;
        QTest::newRow("ASCII other station") << int(Ascii) << asciiRead
                                             << asciiFrame("0203020064") << false;
        QTest::newRow("native silent") << int(Native) << nativeStatus << QByteArray() << false;
        QTest::newRow("native answer") << int(Native) << nativeStatus << nativeFive(1) << true;
        QTest::newRow("native refusal") << int(Native) << nativeStatus << nak('3', 1) << true;
        QTest::newRow("native other station") << int(Native) << nativeStatus
                                              << nak('3', 1, "02") << false;
    }
    void probeAsksOnceAndLeavesTheLinkAlone()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(bool, present);
        linkState().protocolCode = quint8(protocol);
        linkState().lineEnd = 1;
        const std::unique_ptr<ReadWrite> driver = driverFor(protocol);
        // Flags as an earlier failure left them: a probe changes none of them.
        linkState().linkLost = true;
        linkState().commError = false;
        linkState().quietReads = true;
        if (answer.isEmpty())
            m_fake->enqueueSilence();
        else
            m_fake->enqueueReply(answer, 2, 0.5);
        QCOMPARE(driver->probe(), present);
        QCOMPARE(m_fake->writes(), QList<QByteArray>{request});
        QVERIFY(linkState().linkLost);
        QVERIFY(!linkState().commError);
        QVERIFY(linkState().quietReads);
        QVERIFY(m_errors.codes().isEmpty());
        const double pause = protocol == Rtu ? 10 : 0;
        if (answer.isEmpty())
            QCOMPARE(m_fake->readStats().value(0).polls, 51);
        // A partial answer holds the read for a window after its last byte.
        QVERIFY2(m_fake->nowMs() <= pause + 2 + 0.5 * answer.size() + 51 + 1,
                 "one attempt, one read window at most");

        // The next probe does not wait the line out first; a normal
        // exchange after it does.
        const double before = m_fake->nowMs();
        m_fake->enqueueSilence();
        QVERIFY(!driver->probe());
        QVERIFY(m_fake->nowMs() - before <= pause + 51 + 1);
    }

    void closedPortIsADeadLine()
    {
        m_fake->close();
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        QCOMPARE(m_errors.codes(), QList<int>{8});
        linkState().setSerialPort(nullptr);
        QVERIFY(!m_driver->writeRegister(1, 1));
        QCOMPARE(m_errors.codes(), (QList<int>{8, 8}));
    }

    void lateAnswerCountsForTheRetry()
    {
        // The drive answers after the first attempt was given up and after
        // the pause before the second; the answer arrives while the identical
        // second request waits and is taken.
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 01")), 62.0);
        m_fake->enqueueSilence();
        QCOMPARE(m_driver->readRegister(300, 1), 1.0);
        QCOMPARE(m_fake->writes().size(), 2);
        QVERIFY(!linkState().linkLost);
    }

    void threadsNeverInterleaveFrames()
    {
        m_fake->setRealTime(true);
        // Answers carry the requested address, so each caller can check that
        // it got the answer to its own request.
        m_fake->setResponder([](const QByteArray &req) {
            QByteArray body = req.left(2) + QByteArray(1, 2) + req.mid(2, 2);
            return QList<FakeTransport::Reply>{{withCrc(body), 0.2, 0.1}};
        });
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 15; ++i) {
                    const int address = t * 100 + i;
                    if (m_driver->readRegister(address, 1) != address)
                        ++wrong;
                }
            });
        }
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(wrong.load(), 0);
        QCOMPARE(m_fake->overlaps(), 0);
        const auto writes = m_fake->writes();
        QCOMPARE(writes.size(), 60);
        for (const QByteArray &w : writes)
            QCOMPARE(w.size(), 8);
    }

    // A reading taken by one thread is not replaced by another thread's
    // reading that ran before the first thread looked at it.
    void lastReadingIsPerThread()
    {
        m_fake->setResponder([](const QByteArray &req) {
            QByteArray body = req.left(2) + QByteArray(1, 2) + req.mid(2, 2);
            return QList<FakeTransport::Reply>{{withCrc(body), 0.2, 0.1}};
        });
        std::atomic<int> step{0};
        double seenByFirst = 0;
        std::thread first([&] {
            QCOMPARE(m_driver->runFunction("M0R"), 0);  // register 0x1100, x 0.01
            step = 1;
            while (step != 2)
                std::this_thread::yield();
            seenByFirst = m_driver->lastReading();
        });
        while (step != 1)
            std::this_thread::yield();
        QCOMPARE(m_driver->runFunction("M1R"), 0);  // register 0x1101
        step = 2;
        first.join();
        QCOMPARE(seenByFirst, 43.52);
        QCOMPARE(m_driver->lastReading(), 43.53);
        // A thread that took no reading sees the initial value.
        double fresh = -1;
        std::thread([&] { fresh = m_driver->lastReading(); }).join();
        QCOMPARE(fresh, 0.0);
    }

    void overlapDetectorWorks()
    {
        // The same load straight on the port, without the port lock, must be
        // seen to overlap: otherwise the test above proves nothing.
        m_fake->setRealTime(true);
        m_fake->setResponder([](const QByteArray &req) {
            return QList<FakeTransport::Reply>{{req, 0.5, 0.1}};
        });
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                char buf[18];
                for (int i = 0; i < 10; ++i)
                    m_fake->transact("12345678", 8, buf, sizeof buf);
            });
        }
        for (std::thread &t : threads)
            t.join();
        QVERIFY(m_fake->overlaps() > 0);
    }

    void functionsAndRegistersFromManyThreads()
    {
        m_fake->setRealTime(true);
        m_fake->setResponder([](const QByteArray &req) {
            if (req.at(1) == 0x06)
                return QList<FakeTransport::Reply>{{req, 0.2, 0.1}};
            QByteArray body = req.left(2) + QByteArray(1, 2) + req.mid(2, 2);
            return QList<FakeTransport::Reply>{{withCrc(body), 0.2, 0.1}};
        });
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i)
                if (m_driver->runFunction("M0R") != 0 || m_driver->lastReading() < 0)
                    ++failures;
        });
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i)
                if (m_driver->runFunction("STA") != 0x1001)
                    ++failures;
        });
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i)
                if (!m_driver->writeRegister(i, i))
                    ++failures;
        });
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(failures.load(), 0);
        QCOMPARE(m_fake->overlaps(), 0);
        QVERIFY(m_errors.codes().isEmpty());
    }

private:
    DataDir m_dir;
    RecordingInteraction m_ui;
    ErrorRecorder m_errors;
    std::shared_ptr<FakeTransport> m_fake;
    std::unique_ptr<ReadWriteRTU> m_driver;
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
