#include "common/driverfixture.h"
#include "link/readwritertu.h"

#include <QRandomGenerator>
#include <QtTest>

// Modbus RTU frames and decoding, byte for byte, on the scripted port.
class TestReadWriteRtu : public QObject, private DriverFixture<ReadWriteRTU>
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestCase(); }
    void init() { setUpTest(1, 1); }
    void cleanupTestCase() { tearDownTestCase(); }

    void requestFrames_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("read 300 from station 1") << 1 << "read" << 300 << 0
                                                 << bytesOf("01 03 01 2C 00 01 44 3F");
        QTest::newRow("read 0 from station 1") << 1 << "read" << 0 << 0
                                               << bytesOf("01 03 00 00 00 01 84 0A");
        QTest::newRow("read 1599 from station 247") << 247 << "read" << 1599 << 0
                                                    << withCrc(bytesOf("F7 03 06 3F 00 01"));
        QTest::newRow("write 1234 to 4") << 1 << "write" << 4 << 1234
                                         << withCrc(bytesOf("01 06 00 04 04 D2"));
        QTest::newRow("write keeps the low 16 bits") << 2 << "write" << 77 << 0x12345
                                                     << withCrc(bytesOf("02 06 00 4D 23 45"));
        QTest::newRow("write -1 is FFFF") << 1 << "write" << 10 << -1
                                          << withCrc(bytesOf("01 06 00 0A FF FF"));
        QTest::newRow("packed read of 4") << 1 << "packed" << 0x2000 << 4
                                          << withCrc(bytesOf("01 03 20 00 00 04"));
    }
    void requestFrames()
    {
        QFETCH(int, station);
        QFETCH(QString, operation);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArray, frame);
        linkState().setStation(station);
        m_fake->enqueueSilence();
        if (operation == "read")
            m_driver->readRegister(a, 1);
        else if (operation == "write")
            m_driver->writeRegister(a, b);
        else
            m_driver->readPacked(a, b);
        QCOMPARE(m_fake->writes().value(0).toHex(' '), frame.toHex(' '));
    }

    void readDecoding_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<int>("address");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << 'F' << 300 << 1.0 << withCrc(bytesOf("01 03 02 04 D2")) << 1234.0;
        QTest::newRow("scaled") << 'F' << 300 << 0.01 << withCrc(bytesOf("01 03 02 04 D2"))
                                << 12.34;
        QTest::newRow("FFFF is 9999") << 'F' << 3 << 0.01 << withCrc(bytesOf("01 03 02 FF FF"))
                                      << 9999.0;
        QTest::newRow("FFFF is 99999 with the feature") << 'G' << 3 << 0.01
                                                        << withCrc(bytesOf("01 03 02 FF FF"))
                                                        << 99999.0;
        QTest::newRow("188 on A") << 'A' << 188 << 0.01 << withCrc(bytesOf("01 03 02 00 0A"))
                                  << 0.01;
        QTest::newRow("188 on L") << 'L' << 188 << 1.0 << withCrc(bytesOf("01 03 02 00 0A")) << 1.0;
        QTest::newRow("188 on G at exactly 0.3") << 'G' << 188 << 0.01
                                                 << withCrc(bytesOf("01 03 02 00 1E")) << 0.3;
        QTest::newRow("188 on G at 0.31") << 'G' << 188 << 0.01
                                          << withCrc(bytesOf("01 03 02 00 1F")) << 0.031;
        QTest::newRow("188 on T at 0.41") << 'T' << 188 << 0.01
                                          << withCrc(bytesOf("01 03 02 00 29")) << 0.41;
        QTest::newRow("188 on T at 0.42") << 'T' << 188 << 0.01
                                          << withCrc(bytesOf("01 03 02 00 2A")) << 0.042;
        QTest::newRow("188 on X at 0.59") << 'X' << 188 << 0.01
                                          << withCrc(bytesOf("01 03 02 00 3B")) << 0.59;
        QTest::newRow("188 on X at 0.6") << 'X' << 188 << 0.01
                                         << withCrc(bytesOf("01 03 02 00 3C")) << 0.06;
        QTest::newRow("188 on F unchanged") << 'F' << 188 << 0.01
                                            << withCrc(bytesOf("01 03 02 00 3C")) << 0.6;
        QTest::newRow("187 on A unchanged") << 'A' << 187 << 0.01
                                            << withCrc(bytesOf("01 03 02 00 3C")) << 0.6;
    }
    void readDecoding()
    {
        QFETCH(char, series);
        QFETCH(int, address);
        QFETCH(double, scale);
        QFETCH(QByteArray, answer);
        QFETCH(double, value);
        setSeriesLetter(series);
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->readRegister(address, scale), value);
        QVERIFY(m_errors.codes().isEmpty());
        QVERIFY(!linkState().commError);
        QVERIFY(!linkState().linkLost);
    }

    void addressLimit()
    {
        QCOMPARE(m_driver->readRegister(1600, 1), -1.0);
        QCOMPARE(m_driver->readRegister(-5, 1), -1.0);
        QVERIFY(m_fake->writes().isEmpty());
        QVERIFY(m_errors.codes().isEmpty());
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 07")));
        QCOMPARE(m_driver->readRegister(1599, 1), 7.0);
    }

    void failedReads_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QList<int>>("codes");
        const QByteArray illegalAddress = withCrc(bytesOf("01 83 02"));
        QTest::newRow("illegal address") << illegalAddress << false << false << QList<int>{12};
        QTest::newRow("quiet") << illegalAddress << true << false << QList<int>{};
        QTest::newRow("silent") << illegalAddress << false << true << QList<int>{};
        QTest::newRow("illegal function") << withCrc(bytesOf("01 83 01")) << false << false
                                          << QList<int>{10};
        QTest::newRow("illegal value") << withCrc(bytesOf("01 83 03")) << false << false
                                       << QList<int>{14};
        QTest::newRow("device failure") << withCrc(bytesOf("01 83 04")) << false << false
                                        << QList<int>{14};
        QTest::newRow("bad CRC") << bytesOf("01 03 02 04 D2 00 00") << false << false
                                 << QList<int>{14};
        QTest::newRow("another station") << withCrc(bytesOf("02 03 02 04 D2")) << false << false
                                         << QList<int>{14};
        QTest::newRow("garbage after a good frame")
            << withCrc(bytesOf("01 03 02 04 D2")) + "xx" << false << false << QList<int>{14};
        QTest::newRow("short") << bytesOf("01 03 02") << false << false << QList<int>{14};
        QTest::newRow("wrong byte count") << withCrc(bytesOf("01 03 01 04 D2")).left(7) << false
                                          << false << QList<int>{14};
        QTest::newRow("echo of a write") << withCrc(bytesOf("01 06 01 2C")).left(7) << false
                                         << false << QList<int>{14};
    }
    void failedReads()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, quiet);
        QFETCH(bool, silent);
        QFETCH(QList<int>, codes);
        linkState().quietReads = quiet;
        linkState().silentReads = silent;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        QCOMPARE(m_errors.codes(), codes);
        QCOMPARE(m_fake->writes().size(), 1);  // an answer of any kind is not retried
    }

    void exceptionMessageText()
    {
        QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, this,
                         [this](int code) { m_lastText = errorMessage(code); });
        m_fake->enqueueReply(withCrc(bytesOf("01 83 02")));
        m_driver->readRegister(300, 1);
        QCOMPARE(m_lastText, QString("Illegal data address!"));
        QObject::disconnect(LinkEvents::instance(), nullptr, this, nullptr);
    }

    void writes_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("accept77");
        QTest::addColumn<bool>("accept288");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("codes");
        auto echo = [](int address) {
            return withCrc(ReadWriteRTU::request(1, 6, address, 9));
        };
        const QByteArray refused = withCrc(bytesOf("01 86 02"));
        QTest::newRow("echo") << 5 << false << false << echo(5) << true << QList<int>{};
        QTest::newRow("refused") << 5 << false << false << refused << false << QList<int>{12};
        QTest::newRow("77 refused") << 77 << false << false << refused << false << QList<int>{12};
        QTest::newRow("77 refused, accepted") << 77 << true << false << refused << true
                                              << QList<int>{};
        QTest::newRow("77 flag does not cover 78") << 78 << true << false << refused << false
                                                   << QList<int>{12};
        QTest::newRow("288 refused, accepted") << 288 << false << true << refused << true
                                               << QList<int>{};
        QTest::newRow("290 refused, accepted") << 290 << false << true << refused << true
                                               << QList<int>{};
        QTest::newRow("289 refused") << 289 << false << true << refused << false << QList<int>{12};
        QTest::newRow("288 flag does not cover 77") << 77 << false << true << refused << false
                                                    << QList<int>{12};
        QTest::newRow("illegal value") << 5 << false << false << withCrc(bytesOf("01 86 03"))
                                       << false << QList<int>{14};
        QTest::newRow("echo of another value")
            << 5 << false << false << withCrc(ReadWriteRTU::request(1, 6, 5, 8)) << false
            << QList<int>{14};
        QTest::newRow("echo with bad CRC") << 5 << false << false << echo(5).left(7) + "\x00"
                                           << false << QList<int>{14};
        QTest::newRow("truncated echo") << 5 << false << false << echo(5).left(5) << false
                                        << QList<int>{14};
    }
    void writes()
    {
        QFETCH(int, address);
        QFETCH(bool, accept77);
        QFETCH(bool, accept288);
        QFETCH(QByteArray, answer);
        QFETCH(bool, result);
        QFETCH(QList<int>, codes);
        linkState().acceptReject77 = accept77;
        linkState().acceptReject288 = accept288;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->writeRegister(address, 9), result);
        QCOMPARE(m_errors.codes(), codes);
        QVERIFY2(!linkState().commError, "writes consume commError");
    }

    void packedRead()
    {
        m_fake->enqueueReply(withCrc(bytesOf("01 03 08 AA 12 BB 34 CC 56 DD 78")));
        QCOMPARE(m_driver->readPacked(0x2000, 4), std::optional<quint32>(0x12345678));
        AnswerReadStats stats = m_fake->readStats().value(0);
        QCOMPARE(stats.timedOut, false);

        // 13 bytes are expected: 12 of them are a short answer.
        m_fake->enqueueReply(withCrc(bytesOf("01 03 08 AA 12 BB 34 CC 56 DD 78")).left(12));
        QVERIFY(!m_driver->readPacked(0x2000, 4));
        QVERIFY(m_fake->readStats().value(1).timedOut);

        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 80")));
        QCOMPARE(m_driver->readPacked(0x10, 1), std::optional<quint32>(0x80));
        QVERIFY(!m_driver->readPacked(0x10, 5));
        QVERIFY(!m_driver->readPacked(0x10, 0));
        QCOMPARE(m_fake->writes().size(), 3);
    }

    // The RAM monitor's packed reads report a refusal while the thread's
    // reads are quiet (a batch transfer's mode); only silent reads, which
    // the RAM reader sets while it retries a failing location, hide it.
    void packedReadFailureIsReportedUnlessSilent_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("silent");
        QTest::newRow("plain") << false << false;
        QTest::newRow("quiet reads") << true << false;
        QTest::newRow("silent reads") << false << true;
        QTest::newRow("both") << true << true;
    }
    void packedReadFailureIsReportedUnlessSilent()
    {
        QFETCH(bool, quiet);
        QFETCH(bool, silent);
        SwitchScope q(linkState().quietReads, quiet);
        SwitchScope s(linkState().silentReads, silent);
        m_fake->enqueueReply(withCrc(bytesOf("01 83 02")));
        QVERIFY(!m_driver->readPacked(0x2000, 2));
        QCOMPARE(m_errors.codes(), silent ? QList<int>() : QList<int>{12});
        // A register read under the same switches stays quiet.
        m_fake->enqueueReply(withCrc(bytesOf("01 83 02")));
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        QCOMPARE(m_errors.codes().size(), (silent ? 0 : 1) + (quiet || silent ? 0 : 1));
    }

    void functions_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<char>("series");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("codes");
        const QByteArray fwd = bytesOf("01 06 10 05 00 02");
        QTest::newRow("FWD") << QByteArray("FWD") << 'F' << fwd << withCrc(fwd) << 0 << QList<int>{};
        QTest::newRow("FWD refused") << QByteArray("FWD") << 'F' << fwd
                                     << withCrc(bytesOf("01 86 01")) << -1 << QList<int>{10};
        QTest::newRow("FWD wrong echo") << QByteArray("FWD") << 'F' << fwd
                                        << withCrc(bytesOf("01 06 10 05 00 04")) << -1
                                        << QList<int>{14};
        const QByteArray mod = bytesOf("01 03 10 00 00 01");
        QTest::newRow("MOD 0") << QByteArray("MOD") << 'F' << mod
                               << withCrc(bytesOf("01 03 02 00 00")) << int('0') << QList<int>{};
        QTest::newRow("MOD 2") << QByteArray("MOD") << 'F' << mod
                               << withCrc(bytesOf("01 03 02 00 02")) << int('2') << QList<int>{};
        QTest::newRow("MOD 7 on ZN") << QByteArray("MOD") << 'H' << mod
                                     << withCrc(bytesOf("01 03 02 00 07")) << int('1')
                                     << QList<int>{};
        QTest::newRow("MOD 6 on ZN") << QByteArray("MOD") << 'H' << mod
                                     << withCrc(bytesOf("01 03 02 00 06")) << int('0')
                                     << QList<int>{};
        QTest::newRow("MOD 6 elsewhere") << QByteArray("MOD") << 'F' << mod
                                         << withCrc(bytesOf("01 03 02 00 06")) << -1
                                         << QList<int>{14};
        QTest::newRow("MOD 3") << QByteArray("MOD") << 'H' << mod
                               << withCrc(bytesOf("01 03 02 00 03")) << -1 << QList<int>{14};
        QTest::newRow("STA") << QByteArray("STA") << 'F' << bytesOf("01 03 10 01 00 01")
                             << withCrc(bytesOf("01 03 02 81 02")) << 0x8102 << QList<int>{};
        QTest::newRow("M1N") << QByteArray("M1N") << 'F' << bytesOf("01 03 10 03 00 01")
                             << withCrc(bytesOf("01 03 02 00 10")) << 0x10 << QList<int>{};
        QTest::newRow("STA exception") << QByteArray("STA") << 'F' << bytesOf("01 03 10 01 00 01")
                                       << withCrc(bytesOf("01 83 02")) << -1 << QList<int>{12};
        QTest::newRow("selector write") << QByteArray("M4W") << 'F' << bytesOf("01 06 10 20 00 04")
                                        << withCrc(bytesOf("01 06 10 20 00 04")) << 0
                                        << QList<int>{};
        QTest::newRow("selector write refused") << QByteArray("M4W") << 'F'
                                                << bytesOf("01 06 10 20 00 04")
                                                << withCrc(bytesOf("01 86 02")) << -1
                                                << QList<int>{};
        QTest::newRow("FRE 50 Hz") << QByteArray("FRE\x13\x88", 5) << 'F'
                                   << bytesOf("01 06 10 04 13 88")
                                   << withCrc(bytesOf("01 06 10 04 13 88")) << 0 << QList<int>{};
        QTest::newRow("999") << QByteArray("999") << 'F' << bytesOf("01 06 10 10 00 99")
                             << withCrc(bytesOf("01 06 10 10 00 99")) << 0 << QList<int>{};
    }
    void functions()
    {
        QFETCH(QByteArray, code);
        QFETCH(char, series);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, result);
        QFETCH(QList<int>, codes);
        setSeriesLetter(series);
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->runFunction(code), result);
        QCOMPARE(m_fake->writes().value(0).toHex(' '), withCrc(request).toHex(' '));
        QCOMPARE(m_errors.codes(), codes);
    }

    void frequencyStaysInTheTable()
    {
        m_fake->setResponder([](const QByteArray &req) {
            return QList<FakeTransport::Reply>{{req, 0, 0}};
        });
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x17\x70", 5)), 0);
        // A later "FRE" without a value sends the last one again.
        QCOMPARE(m_driver->runFunction("FRE"), 0);
        QCOMPARE(m_fake->writes().value(1), withCrc(bytesOf("01 06 10 04 17 70")));
    }

    void monitorReadings_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("reading");
        QTest::newRow("M0R x0.01") << QByteArray("M0R") << withCrc(bytesOf("01 03 02 17 70")) << 0
                                   << 60.0;
        QTest::newRow("MCR x1") << QByteArray("MCR") << withCrc(bytesOf("01 03 02 00 64")) << 0
                               << 100.0;
        QTest::newRow("bad CRC keeps the last reading")
            << QByteArray("M0R") << bytesOf("01 03 02 17 70 00 00") << -1 << 5.0;
        QTest::newRow("exception keeps the last reading")
            << QByteArray("M1R") << withCrc(bytesOf("01 83 02")) << -1 << 5.0;
        QTest::newRow("silence keeps the last reading") << QByteArray("M1R") << QByteArray() << -1
                                                        << 5.0;
    }
    void monitorReadings()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, answer);
        QFETCH(int, result);
        QFETCH(double, reading);
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 01 F4")));
        QCOMPARE(m_driver->runFunction("M0R"), 0);
        QCOMPARE(m_driver->lastReading(), 5.0);
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->runFunction(name), result);
        QCOMPARE(m_driver->lastReading(), reading);
        QVERIFY2(m_errors.codes().isEmpty(), "monitor readings fail without a report");
    }

    void readingScaleBySecondLetter()
    {
        DataDir dir;
        QByteArray table;
        const QByteArray letters = "0123456789ABCDEFGHIJKL";
        for (char c : letters)
            table += QByteArray("1-M-") + c + "-R-03-11-00-00-01\n";
        dir.write("InvType/FNC.txt", table);
        ReadWriteRTU driver;
        driver.setProtocol(1);
        for (char c : letters) {
            m_fake->enqueueReply(withCrc(bytesOf("01 03 02 03 E8")));
            QCOMPARE(driver.runFunction(QByteArray("M") + c + "R"), 0);
            const double expected = QByteArray("7ABCK").contains(c)  ? 1000.0
                                    : QByteArray("EF").contains(c) ? 100.0
                                                                   : 10.0;
            QCOMPARE(driver.lastReading(), expected);
        }
    }

    void randomAnswersNeverCrash()
    {
        QRandomGenerator rng(7);
        m_fake->setResponder([&rng](const QByteArray &) {
            QByteArray bytes(int(rng.bounded(0, 40)), '\0');
            for (char &b : bytes)
                b = char(rng.bounded(256));
            return QList<FakeTransport::Reply>{{bytes, rng.bounded(5.0), rng.bounded(2.0)}};
        });
        for (int i = 0; i < 120; ++i) {
            const double v = m_driver->readRegister(i % 1600, 0.1);
            QVERIFY(v == -1 || (v >= 0 && v <= 99999));
            m_driver->writeRegister(i, i);
            m_driver->readPacked(i, 1 + i % 4);
            m_driver->runFunction(i % 2 ? "MOD" : "M0R");
        }
    }

private:
    QString m_lastText;
};

QTEST_GUILESS_MAIN(TestReadWriteRtu)
#include "tst_readwritertu.moc"
