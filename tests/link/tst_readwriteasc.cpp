#include <QRandomGenerator>
#include <QtTest>

#include "common/driverfixture.h"
#include "link/readwriteasc.h"

namespace
{
QByteArray frame(const QByteArray &text)
{
    return asciiFrame(text);
}
}  // namespace

// Modbus ASCII frames and decoding, character for character, on the scripted port.
class TestReadWriteAsc : public QObject, private DriverFixture<ReadWriteASC>
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestCase(); }
    void init() { setUpTest(2, 1); }
    void cleanupTestCase() { tearDownTestCase(); }

    void requestFrames_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("expected");
        QTest::newRow("read 300 from station 01")
            << 1 << "read" << 300 << 0 << QByteArray(":0103012C0001CE\r\n") << 15;
        QTest::newRow("write 1234 to 4")
            << 1 << "write" << 4 << 1234 << QByteArray(":0106000404D21F\r\n") << 17;
        QTest::newRow("read 1599 from station 10")
            << 10 << "read" << 1599 << 0 << frame("0A03063F0001") << 15;
        QTest::newRow("station 200 in upper case")
            << 200 << "read" << 0 << 0 << frame("C80300000001") << 15;
        QTest::newRow("write keeps the low 16 bits")
            << 2 << "write" << 77 << 0x1ABCD << frame("0206004DABCD") << 17;
        QTest::newRow("write -1 is FFFF")
            << 1 << "write" << 10 << -1 << frame("0106000AFFFF") << 17;
        QTest::newRow("packed read of 1")
            << 1 << "packed" << 0x2000 << 1 << frame("010320000001") << 15;
        QTest::newRow("packed read of 2")
            << 1 << "packed" << 0x2000 << 2 << frame("010320000002") << 19;
        QTest::newRow("packed read of 4")
            << 1 << "packed" << 0x2000 << 4 << frame("010320000004") << 27;
    }
    void requestFrames()
    {
        QFETCH(int, station);
        QFETCH(QString, operation);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArray, sent);
        QFETCH(int, expected);
        linkState().setStation(station);
        // An answer one character short of the expected length shows the
        // length the driver waited for: it gives up after 51 quiet polls.
        m_fake->enqueueReply(QByteArray(expected - 1, 'x'));
        m_fake->enqueueReply(QByteArray(expected, 'x'));
        if (operation == "read")
            m_driver->readRegister(a, 1);
        else if (operation == "write")
            m_driver->writeRegister(a, b);
        else
            m_driver->readPacked(a, b);
        QCOMPARE(m_fake->writes().value(0), sent);
        QVERIFY(m_fake->readStats().value(0).timedOut);
        m_fake->clearWrites();
        if (operation == "read")
            m_driver->readRegister(a, 1);
        else if (operation == "write")
            m_driver->writeRegister(a, b);
        else
            m_driver->readPacked(a, b);
        QVERIFY2(!m_fake->readStats().value(1).timedOut, "the full length ends the read");
    }

    void readDecoding_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<int>("address");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << 'F' << 300 << 1.0 << frame("01030204D2") << 1234.0;
        QTest::newRow("scaled") << 'F' << 300 << 0.01 << frame("01030204D2") << 12.34;
        QTest::newRow("FFFF is 9999") << 'F' << 3 << 0.01 << frame("010302FFFF") << 9999.0;
        QTest::newRow("FFFF is 99999 with the feature")
            << 'G' << 3 << 0.01 << frame("010302FFFF") << 99999.0;
        QTest::newRow("188 on A") << 'A' << 188 << 0.01 << frame("010302000A") << 0.01;
        QTest::newRow("188 on G at exactly 0.3")
            << 'G' << 188 << 0.01 << frame("010302001E") << 0.3;
        QTest::newRow("188 on G at 0.31") << 'G' << 188 << 0.01 << frame("010302001F") << 0.031;
        QTest::newRow("188 on T at 0.42") << 'T' << 188 << 0.01 << frame("010302002A") << 0.042;
        QTest::newRow("188 on X at 0.6") << 'X' << 188 << 0.01 << frame("010302003C") << 0.06;
        QTest::newRow("188 on F unchanged") << 'F' << 188 << 0.01 << frame("010302003C") << 0.6;
        QTest::newRow("lower-case hex is still hex")
            << 'F' << 300 << 1.0 << frame("010302abcd") << 43981.0;
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
    }

    void addressLimit()
    {
        QCOMPARE(m_driver->readRegister(1600, 1), -1.0);
        QCOMPARE(m_driver->readRegister(-1, 1), -1.0);
        QVERIFY(m_fake->writes().isEmpty());
        QVERIFY(m_errors.codes().isEmpty());
        m_fake->enqueueReply(frame("0103020007"));
        QCOMPARE(m_driver->readRegister(1599, 1), 7.0);
    }

    void failedReads_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QList<int>>("codes");
        const QByteArray illegalAddress = frame("018302");
        QTest::newRow("illegal address") << illegalAddress << false << false << QList<int>{12};
        QTest::newRow("quiet") << illegalAddress << true << false << QList<int>{};
        QTest::newRow("silent") << illegalAddress << false << true << QList<int>{};
        QTest::newRow("illegal function") << frame("018301") << false << false << QList<int>{10};
        QTest::newRow("illegal value") << frame("018303") << false << false << QList<int>{14};
        QTest::newRow("exception with a bad LRC")
            << QByteArray(":01830200\r\n") << false << false << QList<int>{14};
        QTest::newRow("bad LRC") << QByteArray(":01030204D200\r\n") << false << false
                                 << QList<int>{14};
        QTest::newRow("another station") << frame("02030204D2") << false << false << QList<int>{14};
        QTest::newRow("exception from another station")
            << frame("028302") << false << false << QList<int>{14};
        QTest::newRow("not hex") << frame("01030204D2").replace("D2", "G2") << false << false
                                 << QList<int>{14};
        QTest::newRow("no colon") << QByteArray("x") + frame("01030204D2").mid(1) << false << false
                                  << QList<int>{14};
        QTest::newRow("stray character first")
            << (QByteArray("x") + frame("01030204D2")).left(15) << false << false << QList<int>{14};
        QTest::newRow("LF missing")
            << frame("01030204D2").replace("\r\n", "\r ") << false << false << QList<int>{14};
        QTest::newRow("truncated")
            << frame("01030204D2").left(10) << false << false << QList<int>{14};
        QTest::newRow("wrong byte count")
            << frame("01030104D2") << false << false << QList<int>{14};
        QTest::newRow("function 04") << frame("01040204D2") << false << false << QList<int>{14};
        QTest::newRow("garbage after a good frame")
            << frame("01030204D2") + "xx" << false << false << QList<int>{14};
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
        QCOMPARE(m_fake->writes().size(), 1);
    }

    void exceptionMessageText()
    {
        QString text;
        QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, this,
                         [&text](int code) { text = errorMessage(code); });
        m_fake->enqueueReply(frame("018302"));
        QCOMPARE(frame("018302"), QByteArray(":0183027A\r\n"));
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        QCOMPARE(text, QString("Illegal data address!"));
        QObject::disconnect(LinkEvents::instance(), nullptr, this, nullptr);
    }

    void deadLineIsCommunicationError()
    {
        m_fake->enqueueSilence();
        m_fake->enqueueSilence();
        m_fake->enqueueSilence();
        QCOMPARE(m_driver->readRegister(300, 1), -1.0);
        QCOMPARE(m_fake->writes().size(), 3);
        QVERIFY(linkState().linkLost);
        QCOMPARE(m_errors.codes(), QList<int>{8});
        for (int i = 0; i < 3; ++i) m_fake->enqueueSilence();
        QVERIFY(!m_driver->writeRegister(4, 1));
        QCOMPARE(m_errors.codes(), (QList<int>{8, 8}));
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
            return frame("0106" + QByteArray::number(address, 16).toUpper().rightJustified(4, '0') +
                         "0009");
        };
        const QByteArray refused = frame("018602");
        QTest::newRow("echo") << 5 << false << false << echo(5) << true << QList<int>{};
        QTest::newRow("refused") << 5 << false << false << refused << false << QList<int>{12};
        QTest::newRow("77 refused") << 77 << false << false << refused << false << QList<int>{12};
        QTest::newRow("77 refused, accepted")
            << 77 << true << false << refused << true << QList<int>{};
        QTest::newRow("77 flag does not cover 78")
            << 78 << true << false << refused << false << QList<int>{12};
        QTest::newRow("288 refused, accepted")
            << 288 << false << true << refused << true << QList<int>{};
        QTest::newRow("290 refused, accepted")
            << 290 << false << true << refused << true << QList<int>{};
        QTest::newRow("289 refused") << 289 << false << true << refused << false << QList<int>{12};
        QTest::newRow("77 refused by another station")
            << 77 << true << false << frame("028602") << false << QList<int>{14};
        QTest::newRow("77 refusal with a bad LRC")
            << 77 << true << false << QByteArray(":01860200\r\n") << false << QList<int>{14};
        QTest::newRow("illegal function")
            << 5 << false << false << frame("018601") << false << QList<int>{10};
        QTest::newRow("echo of another value")
            << 5 << false << false << frame("010600050008") << false << QList<int>{14};
        QTest::newRow("echo of another address")
            << 5 << false << false << echo(6) << false << QList<int>{14};
        QTest::newRow("echo with bad LRC") << 5 << false << false << echo(5).left(13) + "00\r\n"
                                           << false << QList<int>{14};
        QTest::newRow("truncated echo")
            << 5 << false << false << echo(5).left(12) << false << QList<int>{14};
        QTest::newRow("read answer instead of an echo")
            << 5 << false << false << frame("0103020009") << false << QList<int>{14};
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
        m_fake->enqueueReply(frame("010308AA12BB34CC56DD78"));
        QCOMPARE(m_driver->readPacked(0x2000, 4), std::optional<quint32>(0x12345678));
        m_fake->enqueueReply(frame("010304AA12BB34"));
        QCOMPARE(m_driver->readPacked(0x2000, 2), std::optional<quint32>(0x1234));
        m_fake->enqueueReply(frame("01030200C8"));
        QCOMPARE(m_driver->readPacked(0x10, 1), std::optional<quint32>(0xC8));
        QVERIFY(m_errors.codes().isEmpty());

        // Two registers announced, one delivered.
        m_fake->enqueueReply(frame("010302AA12"));
        QVERIFY(!m_driver->readPacked(0x2000, 2));
        QCOMPARE(m_errors.codes(), QList<int>{14});
        m_fake->enqueueReply(frame("018302"));
        QVERIFY(!m_driver->readPacked(0x2000, 2));
        QCOMPARE(m_errors.codes(), (QList<int>{14, 12}));
        QCOMPARE(m_fake->writes().size(), 5);
        QVERIFY(!m_driver->readPacked(0x10, 5));
        QVERIFY(!m_driver->readPacked(0x10, 0));
        QCOMPARE(m_fake->writes().size(), 5);
    }

    // A poller retrying a failing location silences its packed reads; quiet
    // reads (a batch transfer's mode) do not hide them.
    void packedReadFailureReporting_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("plain") << false << false << QList<int>{12};
        QTest::newRow("quiet") << true << false << QList<int>{12};
        QTest::newRow("silent") << false << true << QList<int>{};
    }
    void packedReadFailureReporting()
    {
        QFETCH(bool, quiet);
        QFETCH(bool, silent);
        QFETCH(QList<int>, codes);
        SwitchScope q(linkState().quietReads, quiet);
        SwitchScope s(linkState().silentReads, silent);
        m_fake->enqueueReply(frame("018302"));
        QVERIFY(!m_driver->readPacked(0x2000, 2));
        QCOMPARE(m_errors.codes(), codes);
    }

    void functions_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<char>("series");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("codes");
        const QByteArray fwd = frame("010610050002");
        QTest::newRow("FWD") << QByteArray("FWD") << 'F' << fwd << fwd << 0 << QList<int>{};
        QTest::newRow("STO") << QByteArray("STO") << 'F' << frame("010610050000")
                             << frame("010610050000") << 0 << QList<int>{};
        QTest::newRow("JOG") << QByteArray("JOG") << 'F' << frame("010610000002")
                             << frame("010610000002") << 0 << QList<int>{};
        QTest::newRow("999") << QByteArray("999") << 'F' << frame("010610100099")
                             << frame("010610100099") << 0 << QList<int>{};
        QTest::newRow("FWD refused")
            << QByteArray("FWD") << 'F' << fwd << frame("018601") << -1 << QList<int>{10};
        QTest::newRow("FWD wrong echo")
            << QByteArray("FWD") << 'F' << fwd << frame("010610050004") << -1 << QList<int>{14};
        const QByteArray mod = frame("010310000001");
        QTest::newRow("MOD 0") << QByteArray("MOD") << 'F' << mod << frame("0103020000") << int('0')
                               << QList<int>{};
        QTest::newRow("MOD 2") << QByteArray("MOD") << 'F' << mod << frame("0103020002") << int('2')
                               << QList<int>{};
        QTest::newRow("MOD looks at the last digit")
            << QByteArray("MOD") << 'F' << mod << frame("0103020011") << int('1') << QList<int>{};
        QTest::newRow("MOD 7 on ZN")
            << QByteArray("MOD") << 'H' << mod << frame("0103020007") << int('1') << QList<int>{};
        QTest::newRow("MOD 6 elsewhere")
            << QByteArray("MOD") << 'F' << mod << frame("0103020006") << -1 << QList<int>{14};
        QTest::newRow("MOD exception")
            << QByteArray("MOD") << 'F' << mod << frame("018302") << -1 << QList<int>{12};
        QTest::newRow("STA") << QByteArray("STA") << 'F' << frame("010310010001")
                             << frame("0103028102") << 0x8102 << QList<int>{};
        QTest::newRow("M0N") << QByteArray("M0N") << 'F' << frame("010310020001")
                             << frame("010302FFFF") << 0xFFFF << QList<int>{};
        QTest::newRow("M1N bad LRC") << QByteArray("M1N") << 'F' << frame("010310030001")
                                     << QByteArray(":010302001000\r\n") << -1 << QList<int>{14};
        QTest::newRow("selector write") << QByteArray("M4W") << 'F' << frame("010610200004")
                                        << frame("010610200004") << 0 << QList<int>{};
        QTest::newRow("selector write refused") << QByteArray("M4W") << 'F' << frame("010610200004")
                                                << frame("018602") << -1 << QList<int>{};
        QTest::newRow("name not in the table")
            << QByteArray("XYZ") << 'F' << QByteArray() << QByteArray() << -1 << QList<int>{14};
        QTest::newRow("monitor name not in the table")
            << QByteArray("MZR") << 'F' << QByteArray() << QByteArray() << -1 << QList<int>{};
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
        QCOMPARE(m_fake->writes().value(0), request);
        QCOMPARE(m_errors.codes(), codes);
    }

    void missingNameWhileLinkLostIsCode8()
    {
        linkState().linkLost = true;
        QCOMPARE(m_driver->runFunction("XYZ"), -1);
        QCOMPARE(m_errors.codes(), QList<int>{8});
    }

    void malformedRecordIsNotSent()
    {
        DataDir dir;
        dir.write("InvType/FNC.txt", "2-FWD-06-10X5-0002\n2-STO-06-1005-000\n");
        ReadWriteASC driver;
        driver.setProtocol(2);
        QCOMPARE(driver.functionTable().size(), 2);
        QCOMPARE(driver.runFunction("FWD"), -1);
        QCOMPARE(driver.runFunction("STO"), -1);
        QVERIFY(m_fake->writes().isEmpty());
        QCOMPARE(m_errors.codes(), (QList<int>{14, 14}));
    }

    void frequencyStaysInTheTable()
    {
        m_fake->setResponder([](const QByteArray &req) {
            return QList<FakeTransport::Reply>{{req, 0, 0}};
        });
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x17\x70", 5)), 0);
        QCOMPARE(m_fake->writes().value(0), frame("010610041770"));
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x00\xAB", 5)), 0);
        QCOMPARE(m_fake->writes().value(1), frame("0106100400AB"));
        // A later "FRE" without a value sends the last one again.
        QCOMPARE(m_driver->runFunction("FRE"), 0);
        QCOMPARE(m_fake->writes().value(2), frame("0106100400AB"));
        bool patched = false;
        for (const QByteArray &record : m_driver->functionTable())
            patched |= record == QByteArray(
                                     "\x02"
                                     "FRE06100400AB");
        QVERIFY(patched);
    }

    void monitorReadings_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("reading");
        QTest::newRow("M0R x0.01") << QByteArray("M0R") << frame("0103021770") << 0 << 60.0;
        QTest::newRow("MCR x1") << QByteArray("MCR") << frame("0103020064") << 0 << 100.0;
        QTest::newRow("bad LRC keeps the last reading")
            << QByteArray("M0R") << QByteArray(":01030217700B\r\n") << -1 << 5.0;
        QTest::newRow("exception keeps the last reading")
            << QByteArray("M1R") << frame("018302") << -1 << 5.0;
        QTest::newRow("silence keeps the last reading")
            << QByteArray("M1R") << QByteArray() << -1 << 5.0;
    }
    void monitorReadings()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, answer);
        QFETCH(int, result);
        QFETCH(double, reading);
        m_fake->enqueueReply(frame("01030201F4"));
        QCOMPARE(m_driver->runFunction("M0R"), 0);
        QCOMPARE(m_fake->writes().value(0), frame("010311000001"));
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
        for (char c : letters) table += QByteArray("2-M") + c + "R-03-1100-0001\n";
        dir.write("InvType/FNC.txt", table);
        ReadWriteASC driver;
        driver.setProtocol(2);
        for (char c : letters) {
            m_fake->enqueueReply(frame("01030203E8"));
            QCOMPARE(driver.runFunction(QByteArray("M") + c + "R"), 0);
            const double expected = QByteArray("7ABCK").contains(c) ? 1000.0
                                    : QByteArray("EF").contains(c)  ? 100.0
                                                                    : 10.0;
            QCOMPARE(driver.lastReading(), expected);
        }
    }

    void randomAnswersNeverCrash()
    {
        QRandomGenerator rng(11);
        const QByteArray alphabet = ":0123456789ABCDEF\r\nxG";
        m_fake->setResponder([&](const QByteArray &) {
            QByteArray bytes(int(rng.bounded(0, 40)), '\0');
            const bool text = rng.bounded(2) == 0;
            for (char &b : bytes)
                b = text ? alphabet.at(int(rng.bounded(alphabet.size()))) : char(rng.bounded(256));
            return QList<FakeTransport::Reply>{{bytes, rng.bounded(5.0), rng.bounded(2.0)}};
        });
        for (int i = 0; i < 150; ++i) {
            const double v = m_driver->readRegister(i % 1600, 0.1);
            QVERIFY(v == -1 || (v >= 0 && v <= 99999));
            m_driver->writeRegister(i, i);
            m_driver->readPacked(i, 1 + i % 4);
            const int mode = m_driver->runFunction(i % 2 ? "MOD" : "M0R");
            QVERIFY(mode == -1 || mode == 0 || (mode >= '0' && mode <= '2'));
        }
    }

};

QTEST_GUILESS_MAIN(TestReadWriteAsc)
#include "tst_readwriteasc.moc"
