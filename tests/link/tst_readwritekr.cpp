#include <QRandomGenerator>
#include <QtTest>
#include <atomic>
#include <thread>

#include "common/nativedrive.h"
#include "common/driverfixture.h"
#include "link/readwritekr.h"

namespace
{
const char ENQ = 0x05, STX = 0x02, ETX = 0x03, ACK = 0x06, NAK = 0x15;

// The sum check worked out here, not with the program's helper.
QByteArray sumOf(const QByteArray &bytes)
{
    int sum = 0;
    for (char c : bytes) sum += quint8(c);
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

QByteArray lineEndText(int lineEnd)
{
    return lineEnd == 1 ? QByteArray("\r") : lineEnd == 2 ? QByteArray("\r\n") : QByteArray();
}

// ENQ, station 01, code, wait '0', data, sum check, line end.
QByteArray req(const QByteArray &code, const QByteArray &data = QByteArray(), int lineEnd = 1,
               const QByteArray &station = "01")
{
    const QByteArray text = station + code + '0' + data;
    return ENQ + text + sumOf(text) + lineEndText(lineEnd);
}

// A data answer: STX, station, value, decimal digit, ETX, sum of station to digit.
QByteArray data(const QByteArray &value, char decimals = '0', int lineEnd = 1,
                const QByteArray &station = "01")
{
    const QByteArray text = station + value + decimals;
    return STX + text + ETX + sumOf(text) + lineEndText(lineEnd);
}

QByteArray ack(int lineEnd = 1, const QByteArray &station = "01")
{
    return ACK + station + lineEndText(lineEnd);
}

QByteArray nak(char error, int lineEnd = 1, const QByteArray &station = "01")
{
    return NAK + station + error + lineEndText(lineEnd);
}
}  // namespace

// The native protocol: frames, group selection and decoding on the scripted port.
class TestReadWriteKr : public QObject, private DriverFixture<ReadWriteKR>
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestCase(); }
    void init() { setUpTest(0, 1); }
    void cleanupTestCase() { tearDownTestCase(); }

    void knownFrames()
    {
        // Group selection of group 2 from station 01: sum 1DF, low byte DF.
        QCOMPARE(req("FF", "0002"), QByteArray("\x05"
                                               "01FF00002DF\r"));
        QCOMPARE(req("11"), QByteArray("\x05"
                                       "01110F3\r"));
    }

    void readSelectsTheGroupFirst()
    {
        m_fake->enqueueReply(ack());
        m_fake->enqueueReply(data("0002"));
        m_fake->enqueueReply(data("01F4", '2'));
        QCOMPARE(m_driver->readRegister(217, 0.01), 5.0);
        QCOMPARE(m_fake->writes(), (QList<QByteArray>{req("FF", "0002"), req("7F"), req("11")}));
        QCOMPARE(linkState().nativeGroup.load(), 2);

        // The same group again: no selection.
        m_fake->enqueueReply(data("0064", '1'));
        QCOMPARE(m_driver->readRegister(299, 1), 10.0);
        QCOMPARE(m_fake->writes().size(), 4);
        QCOMPARE(m_fake->writes().last(), req("63"));

        // Forced selection, then cleared.
        linkState().groupReselect = true;
        m_fake->enqueueReply(ack());
        m_fake->enqueueReply(data("0002"));
        m_fake->enqueueReply(data("0001"));
        QCOMPARE(m_driver->readRegister(200, 1), 1.0);
        QCOMPARE(m_fake->writes().mid(4),
                 (QList<QByteArray>{req("FF", "0002"), req("7F"), req("00")}));
        QVERIFY(!linkState().groupReselect);

        // Group 15 is written as the digit F.
        m_fake->enqueueReply(ack());
        m_fake->enqueueReply(data("000F"));
        m_fake->enqueueReply(data("0007"));
        QCOMPARE(m_driver->readRegister(1599, 1), 7.0);
        QCOMPARE(m_fake->writes().mid(7),
                 (QList<QByteArray>{req("FF", "000F"), req("7F"), req("63")}));
        QCOMPARE(linkState().nativeGroup.load(), 15);
        QVERIFY(m_errors.codes().isEmpty());
    }

    void addressLimit()
    {
        QCOMPARE(m_driver->readRegister(1600, 1), -1.0);
        QCOMPARE(m_driver->readRegister(-1, 1), -1.0);
        QVERIFY(!m_driver->writeRegister(1000, 1));
        QVERIFY(m_fake->writes().isEmpty());
        QCOMPARE(m_errors.codes(), QList<int>{12});
        QVERIFY(!m_driver->readPacked(0, 1));
    }

    void writeFrames_data()
    {
        QTest::addColumn<int>("startGroup");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::newRow("905 is group 9, code 85")
            << -1 << 905 << 0 << QList<QByteArray>{req("FF", "0009"), req("7F"), req("85", "0000")};
        QTest::newRow("999 is group 9, code E3")
            << 9 << 999 << 0x1234 << QList<QByteArray>{req("E3", "1234")};
        QTest::newRow("900 is code 80") << 9 << 900 << 1 << QList<QByteArray>{req("80", "0001")};
        QTest::newRow("899 is group 8")
            << -1 << 899 << 2 << QList<QByteArray>{req("FF", "0008"), req("7F"), req("E3", "0002")};
        QTest::newRow("low 16 bits") << 0 << 4 << 0x1ABCD << QList<QByteArray>{req("84", "ABCD")};
        QTest::newRow("-1 is FFFF") << 0 << 4 << -1 << QList<QByteArray>{req("84", "FFFF")};
        QTest::newRow("another group selects")
            << 1 << 77 << 5 << QList<QByteArray>{req("FF", "0000"), req("7F"), req("CD", "0005")};
    }
    void writeFrames()
    {
        QFETCH(int, startGroup);
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(QList<QByteArray>, frames);
        linkState().nativeGroup = startGroup;
        const int group = qMin(address / 100, 9);
        m_fake->setResponder([group](const QByteArray &request) {
            if (request.mid(3, 2) == "7F")
                return QList<FakeTransport::Reply>{
                    {data("000" + QByteArray::number(group, 16).toUpper()), 0, 0}};
            return QList<FakeTransport::Reply>{{ack(), 0, 0}};
        });
        QVERIFY(m_driver->writeRegister(address, value));
        QCOMPARE(m_fake->writes(), frames);
        QCOMPARE(linkState().nativeGroup.load(), group);
        QVERIFY(m_errors.codes().isEmpty());
    }

    void lineEndSetsLengths_data()
    {
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<int>("dataLength");
        QTest::addColumn<int>("ackLength");
        QTest::newRow("none") << 0 << 11 << 3;
        QTest::newRow("CR") << 1 << 12 << 4;
        QTest::newRow("CR LF") << 2 << 13 << 5;
    }
    void lineEndSetsLengths()
    {
        QFETCH(int, lineEnd);
        QFETCH(int, dataLength);
        QFETCH(int, ackLength);
        linkState().lineEnd = lineEnd;
        linkState().nativeGroup = 3;
        QCOMPARE(ReadWriteKR::dataAnswerLength(), dataLength);
        QCOMPARE(ReadWriteKR::ackLength(), ackLength);

        m_fake->enqueueReply(data("0010", '0', lineEnd));
        QCOMPARE(m_driver->readRegister(301, 1), 16.0);
        QCOMPARE(m_fake->writes().last(), req("01", QByteArray(), lineEnd));
        QVERIFY(!m_fake->readStats().last().timedOut);
        m_fake->enqueueReply(ack(lineEnd));
        QVERIFY(m_driver->writeRegister(301, 16));
        QCOMPARE(m_fake->writes().last(), req("81", "0010", lineEnd));
        QVERIFY(!m_fake->readStats().last().timedOut);

        // One character short: the read waits it out and fails.
        m_fake->enqueueReply(data("0010", '0', lineEnd).left(dataLength - 1));
        QCOMPARE(m_driver->readRegister(301, 1), -1.0);
        QVERIFY(m_fake->readStats().last().timedOut);
        linkState().nativeGroup = 3;
        m_fake->enqueueReply(ack(lineEnd).left(ackLength - 1));
        QVERIFY(!m_driver->writeRegister(301, 16));
        QVERIFY(m_fake->readStats().last().timedOut);
        // An answer with another line end is not taken.
        linkState().nativeGroup = 3;
        m_fake->enqueueReply(data("0010", '0', (lineEnd + 1) % 3));
        QCOMPARE(m_driver->readRegister(301, 1), -1.0);
    }

    void decoding_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("value");
        QTest::newRow("1F4 with 2 decimals") << 'F' << data("01F4", '2') << 5.0;
        QTest::newRow("1F4 with none") << 'F' << data("01F4", '0') << 500.0;
        QTest::newRow("04D2 with 1") << 'F' << data("04D2", '1') << 123.4;
        QTest::newRow("04D2 with 3") << 'F' << data("04D2", '3') << 1.234;
        QTest::newRow("zero") << 'F' << data("0000", '2') << 0.0;
        QTest::newRow("FFFF is 9999") << 'F' << data("FFFF", '2') << 9999.0;
        QTest::newRow("FFFF is 99999 with the feature") << 'G' << data("FFFF", '2') << 99999.0;
        QTest::newRow("FFFE is a value") << 'F' << data("FFFE", '0') << 65534.0;
    }
    void decoding()
    {
        QFETCH(char, series);
        QFETCH(QByteArray, answer);
        QFETCH(double, value);
        setSeriesLetter(series);
        linkState().nativeGroup = 1;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->readRegister(150, 0.01), value);
        QVERIFY(m_errors.codes().isEmpty());
    }

    void nakErrorCharacters_data()
    {
        QTest::addColumn<char>("error");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("1") << '1' << 9 << "Parity Error!";
        QTest::newRow("2") << '2' << 11 << "Sum Check error!";
        QTest::newRow("3") << '3' << 13 << "Communication protocol error!";
        QTest::newRow("4") << '4' << 15 << "Frame error!";
        QTest::newRow("5") << '5' << 16 << "Overflow error!";
        QTest::newRow("A") << 'A' << 17 << "Abnormal patterns!";
        QTest::newRow("B") << 'B' << 18 << "Command code error!";
        QTest::newRow("C") << 'C' << 19 << "Material range error!";
        QTest::newRow("6") << '6' << -1 << "Communication Error!";
        QTest::newRow("c") << 'c' << -1 << "Communication Error!";
    }
    void nakErrorCharacters()
    {
        QFETCH(char, error);
        QFETCH(int, code);
        QFETCH(QString, message);
        QStringList texts;
        QObject::connect(LinkEvents::instance(), &LinkEvents::showErrorInfo, this,
                         [&texts](int c) { texts << errorMessage(c); });
        linkState().nativeGroup = 2;
        m_fake->enqueueReply(nak(error));
        QCOMPARE(m_driver->readRegister(217, 1), -1.0);
        linkState().nativeGroup = 2;
        m_fake->enqueueReply(nak(error));
        QVERIFY(!m_driver->writeRegister(217, 1));
        m_fake->enqueueReply(nak(error));
        QCOMPARE(m_driver->runFunction("FWD"), -1);
        QObject::disconnect(LinkEvents::instance(), nullptr, this, nullptr);
        QCOMPARE(m_errors.codes(), (QList<int>{code, code, code}));
        QCOMPARE(texts, (QStringList{message, message, message}));
    }

    void failedReads_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("groupAfter");
        const QByteArray good = data("01F4", '2');
        QTest::newRow("NAK") << nak('3') << false << false << QList<int>{13} << -1;
        QTest::newRow("NAK, quiet keeps the group")
            << nak('3') << true << false << QList<int>{} << 2;
        QTest::newRow("NAK, silent") << nak('3') << false << true << QList<int>{} << -1;
        QTest::newRow("wrong checksum")
            << QByteArray(good).replace(9, 2, "00") << false << false << QList<int>{-1} << -1;
        QTest::newRow("wrong station")
            << data("01F4", '2', 1, "02") << false << false << QList<int>{-1} << -1;
        QTest::newRow("NAK from another station")
            << nak('2', 1, "02") << false << false << QList<int>{-1} << -1;
        QTest::newRow("stray bytes before STX")
            << ("\x7F" + good).left(12) << false << false << QList<int>{-1} << -1;
        QTest::newRow("stray bytes before NAK")
            << "xx" + nak('2') << false << false << QList<int>{-1} << -1;
        QTest::newRow("NAK without an error character")
            << NAK + QByteArray("01\r") << false << false << QList<int>{-1} << -1;
        QTest::newRow("truncated") << good.left(7) << false << false << QList<int>{-1} << -1;
        QTest::newRow("ETX missing")
            << QByteArray(good).replace(8, 1, "x") << false << false << QList<int>{-1} << -1;
        QTest::newRow("value not hex")
            << data("01G4", '2') << false << false << QList<int>{-1} << -1;
        QTest::newRow("decimal digit not a digit")
            << data("01F4", 'A') << false << false << QList<int>{-1} << -1;
        QTest::newRow("ACK instead of data") << ack() << false << false << QList<int>{-1} << -1;
        QTest::newRow("garbage after the answer")
            << good + "zz" << false << false << QList<int>{-1} << -1;
    }
    void failedReads()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, quiet);
        QFETCH(bool, silent);
        QFETCH(QList<int>, codes);
        QFETCH(int, groupAfter);
        linkState().nativeGroup = 2;
        linkState().quietReads = quiet;
        linkState().silentReads = silent;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->readRegister(217, 1), -1.0);
        QCOMPARE(m_errors.codes(), codes);
        QCOMPARE(m_fake->writes().size(), 1);
        QCOMPARE(linkState().nativeGroup.load(), groupAfter);
    }

    void deadLine()
    {
        linkState().nativeGroup = 2;
        linkState().quietReads = true;
        for (int i = 0; i < 3; ++i) m_fake->enqueueSilence();
        QCOMPARE(m_driver->readRegister(217, 1), -1.0);
        QCOMPARE(m_fake->writes().size(), 3);
        QVERIFY(linkState().linkLost);
        QVERIFY2(!linkState().quietReads, "no byte at all ends quiet reads");
        QCOMPARE(m_errors.codes(), QList<int>{8});
        QCOMPARE(linkState().nativeGroup.load(), -1);
    }

    void groupSelectionFailures_data()
    {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<int>("code");
        QTest::newRow("selection refused") << QList<QByteArray>{nak('B')} << 18;
        QTest::newRow("selection acknowledged by another station")
            << QList<QByteArray>{ack(1, "02")} << -1;
        QTest::newRow("selection answered with data") << QList<QByteArray>{data("0002")} << -1;
        QTest::newRow("confirmation shows another group")
            << QList<QByteArray>{ack(), data("0003")} << -1;
        QTest::newRow("confirmation with a bad sum")
            << QList<QByteArray>{ack(), QByteArray(data("0002")).replace(9, 2, "FF")} << -1;
        QTest::newRow("confirmation refused") << QList<QByteArray>{ack(), nak('5')} << 16;
    }
    void groupSelectionFailures()
    {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(int, code);
        for (const QByteArray &a : answers) m_fake->enqueueReply(a);
        linkState().nativeGroup = 5;
        QCOMPARE(m_driver->readRegister(217, 1), -1.0);
        QCOMPARE(m_fake->writes().size(), answers.size());
        QCOMPARE(m_errors.codes(), QList<int>{code});
        QCOMPARE(linkState().nativeGroup.load(), -1);

        m_fake->clearWrites();
        for (const QByteArray &a : answers) m_fake->enqueueReply(a);
        linkState().nativeGroup = 5;
        QVERIFY(!m_driver->writeRegister(217, 1));
        QCOMPARE(m_fake->writes().size(), answers.size());
        QCOMPARE(m_errors.codes(), (QList<int>{code, code}));
        QCOMPARE(linkState().nativeGroup.load(), -1);
        QVERIFY(!linkState().commError);
    }

    void silentReadsHideSelectionFailures()
    {
        linkState().silentReads = true;
        m_fake->enqueueReply(nak('B'));
        QCOMPARE(m_driver->readRegister(217, 1), -1.0);
        QVERIFY(m_errors.codes().isEmpty());
        QCOMPARE(linkState().nativeGroup.load(), -1);
    }

    void writes_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("accept77");
        QTest::addColumn<bool>("accept288");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("groupAfter");
        QTest::newRow("ACK") << 5 << false << false << ack() << true << QList<int>{} << 0;
        QTest::newRow("NAK") << 5 << false << false << nak('C') << false << QList<int>{19} << -1;
        QTest::newRow("77 refused")
            << 77 << false << false << nak('C') << false << QList<int>{19} << -1;
        QTest::newRow("77 refused, accepted")
            << 77 << true << false << nak('C') << true << QList<int>{} << -1;
        QTest::newRow("78 not covered")
            << 78 << true << false << nak('C') << false << QList<int>{19} << -1;
        QTest::newRow("288 refused, accepted")
            << 288 << false << true << nak('1') << true << QList<int>{} << -1;
        QTest::newRow("290 refused, accepted")
            << 290 << false << true << nak('1') << true << QList<int>{} << -1;
        QTest::newRow("289 refused")
            << 289 << false << true << nak('1') << false << QList<int>{9} << -1;
        QTest::newRow("77 refused by another station")
            << 77 << true << false << nak('C', 1, "02") << false << QList<int>{-1} << -1;
        QTest::newRow("ACK from another station")
            << 5 << false << false << ack(1, "02") << false << QList<int>{-1} << -1;
        QTest::newRow("data answer instead of ACK")
            << 5 << false << false << data("0001") << false << QList<int>{-1} << -1;
        QTest::newRow("stray byte before ACK")
            << 5 << false << false << "x" + ack().left(3) << false << QList<int>{-1} << -1;
        QTest::newRow("truncated ACK")
            << 5 << false << false << ack().left(2) << false << QList<int>{-1} << -1;
    }
    void writes()
    {
        QFETCH(int, address);
        QFETCH(bool, accept77);
        QFETCH(bool, accept288);
        QFETCH(QByteArray, answer);
        QFETCH(bool, result);
        QFETCH(QList<int>, codes);
        QFETCH(int, groupAfter);
        linkState().acceptReject77 = accept77;
        linkState().acceptReject288 = accept288;
        linkState().nativeGroup = address / 100;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->writeRegister(address, 9), result);
        QCOMPARE(m_fake->writes().size(), 1);
        QCOMPARE(m_errors.codes(), codes);
        QCOMPARE(linkState().nativeGroup.load(), groupAfter);
        QVERIFY2(!linkState().commError, "writes consume commError");
    }

    void functions_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<char>("series");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("FWD") << QByteArray("FWD") << 'F' << req("F5", "0002") << ack() << 0
                             << QList<int>{};
        QTest::newRow("REV") << QByteArray("REV") << 'F' << req("F5", "0004") << ack() << 0
                             << QList<int>{};
        QTest::newRow("EXT") << QByteArray("EXT") << 'F' << req("FB", "0001") << ack() << 0
                             << QList<int>{};
        QTest::newRow("996") << QByteArray("996") << 'F' << req("FC", "0096") << ack() << 0
                             << QList<int>{};
        QTest::newRow("FWD refused")
            << QByteArray("FWD") << 'F' << req("F5", "0002") << nak('B') << -1 << QList<int>{18};
        QTest::newRow("FWD answered by another station")
            << QByteArray("FWD") << 'F' << req("F5", "0002") << ack(1, "02") << -1
            << QList<int>{-1};
        QTest::newRow("MOD 1") << QByteArray("MOD") << 'F' << req("7B") << data("0001") << int('1')
                               << QList<int>{};
        QTest::newRow("MOD 2") << QByteArray("MOD") << 'F' << req("7B") << data("0002") << int('2')
                               << QList<int>{};
        QTest::newRow("MOD 6 on ZN")
            << QByteArray("MOD") << 'H' << req("7B") << data("0006") << int('0') << QList<int>{};
        QTest::newRow("MOD 6 elsewhere")
            << QByteArray("MOD") << 'F' << req("7B") << data("0006") << -1 << QList<int>{-1};
        QTest::newRow("MOD with a bad sum")
            << QByteArray("MOD") << 'F' << req("7B") << QByteArray(data("0001")).replace(9, 2, "00")
            << -1 << QList<int>{-1};
        QTest::newRow("STA") << QByteArray("STA") << 'F' << req("7A") << data("8102", '0') << 0x8102
                             << QList<int>{};
        QTest::newRow("M0N") << QByteArray("M0N") << 'F' << req("79") << data("FFFF") << 0xFFFF
                             << QList<int>{};
        QTest::newRow("M1N") << QByteArray("M1N") << 'F' << req("78") << data("0010") << 0x10
                             << QList<int>{};
        QTest::newRow("selector write")
            << QByteArray("M4W") << 'F' << req("F1", "0004") << ack() << 0 << QList<int>{};
        QTest::newRow("selector write refused")
            << QByteArray("M5W") << 'F' << req("F1", "0005") << nak('1') << -1 << QList<int>{};
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
        linkState().nativeGroup = 4;
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->runFunction(code), result);
        QCOMPARE(m_fake->writes(), QList<QByteArray>{request});
        QCOMPARE(m_errors.codes(), codes);
        QCOMPARE(linkState().nativeGroup.load(), 4);  // functions select no group
    }

    void missingNames()
    {
        QCOMPARE(m_driver->runFunction("XYZ"), -1);
        QCOMPARE(m_errors.codes(), QList<int>{-1});
        linkState().linkLost = true;
        QCOMPARE(m_driver->runFunction("XYZ"), -1);
        QCOMPARE(m_errors.codes(), (QList<int>{-1, 8}));
        QCOMPARE(m_driver->runFunction("MZR"), -1);
        QCOMPARE(m_driver->runFunction("MZW"), -1);
        QCOMPARE(m_errors.codes().size(), 2);
        QVERIFY(m_fake->writes().isEmpty());
    }

    void frequencyStaysInTheTable()
    {
        m_fake->setResponder([](const QByteArray &) {
            return QList<FakeTransport::Reply>{{ack(), 0, 0}};
        });
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x17\x70", 5)), 0);
        QCOMPARE(m_fake->writes().value(0), req("F7", "1770"));
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x9C\xA3", 5)), 0);
        QCOMPARE(m_fake->writes().value(1), req("F7", "9CA3"));
        QCOMPARE(m_driver->runFunction("FRE"), 0);
        QCOMPARE(m_fake->writes().value(2), req("F7", "9CA3"));
        QVERIFY(m_driver->functionTable().contains(QByteArray(1, '\0') + "FREF709CA3"));
    }

    void monitorReadings_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("reading");
        QTest::newRow("M1R with the drive's decimals")
            << QByteArray("M1R") << req("65") << data("1770", '2') << 0 << 60.0;
        QTest::newRow("MCR") << QByteArray("MCR") << req("70") << data("0064", '0') << 0 << 100.0;
        QTest::newRow("M4R") << QByteArray("M4R") << req("72") << data("0123", '1') << 0 << 29.1;
        QTest::newRow("bad sum keeps the last reading")
            << QByteArray("M1R") << req("65") << QByteArray(data("1770", '2')).replace(9, 2, "00")
            << -1 << 5.0;
        QTest::newRow("NAK keeps the last reading")
            << QByteArray("M1R") << req("65") << nak('2') << -1 << 5.0;
        QTest::newRow("silence keeps the last reading")
            << QByteArray("M1R") << req("65") << QByteArray() << -1 << 5.0;
    }
    void monitorReadings()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, result);
        QFETCH(double, reading);
        m_fake->enqueueReply(data("01F4", '2'));
        QCOMPARE(m_driver->runFunction("M0R"), 0);
        QCOMPARE(m_fake->writes().value(0), req("64"));
        QCOMPARE(m_driver->lastReading(), 5.0);
        m_fake->enqueueReply(answer);
        QCOMPARE(m_driver->runFunction(name), result);
        QCOMPARE(m_fake->writes().value(1), request);
        QCOMPARE(m_driver->lastReading(), reading);
        QVERIFY2(m_errors.codes().isEmpty(), "monitor readings fail without a report");
    }

    // Two threads reading registers of different groups: each must get its
    // own register, never one of the group the other thread selected.
    void concurrentGroupsStayApart()
    {
        NativeDrive drive(1, 1);
        drive.setRegister(217, 500, 2);
        drive.setRegister(317, 42, 0);
        drive.setRegister(905, 0);
        m_fake->setResponder([&drive](const QByteArray &req) {
            return QList<FakeTransport::Reply>{{drive.feed(req), 0.5, 0.01}};
        });
        // Real waits let the threads take turns on the port.
        m_fake->setRealTime(true);
        std::atomic<int> wrong{0};
        auto reader = [&](int address, double expected) {
            for (int i = 0; i < 25; ++i)
                if (m_driver->readRegister(address, 1) != expected) ++wrong;
        };
        std::thread a(reader, 217, 5.0), b(reader, 317, 42.0);
        std::thread c([&] {
            for (int i = 0; i < 25; ++i)
                if (!m_driver->writeRegister(905, i)) ++wrong;
        });
        a.join();
        b.join();
        c.join();
        QCOMPARE(wrong.load(), 0);
        QVERIFY(m_errors.codes().isEmpty());
        QCOMPARE(drive.registerValue(905), 24);
    }

    void randomAnswersNeverCrash()
    {
        QRandomGenerator rng(5);
        const QByteArray alphabet = QByteArray("\x02\x03\x06\x15\r\n0123456789ABCDEFxz", 20);
        m_fake->setResponder([&](const QByteArray &) {
            QByteArray bytes(int(rng.bounded(0, 30)), '\0');
            const bool text = rng.bounded(2) == 0;
            for (char &b : bytes)
                b = text ? alphabet.at(int(rng.bounded(alphabet.size()))) : char(rng.bounded(256));
            if (rng.bounded(4) == 0 && !bytes.isEmpty())
                bytes[0] = QByteArray("\x02\x06\x15").at(int(rng.bounded(3)));
            return QList<FakeTransport::Reply>{{bytes, rng.bounded(5.0), rng.bounded(2.0)}};
        });
        for (int i = 0; i < 150; ++i) {
            linkState().lineEnd = i % 3;
            const double v = m_driver->readRegister(i * 11 % 1600, 1);
            QVERIFY(v == -1 || (v >= 0 && v <= 99999));
            m_driver->writeRegister(i * 7 % 1000, i);
            const int mode = m_driver->runFunction(i % 2 ? "MOD" : "M0R");
            QVERIFY(mode == -1 || mode == 0 || (mode >= '0' && mode <= '2'));
            QVERIFY(linkState().nativeGroup >= -1 && linkState().nativeGroup <= 15);
        }
    }

};

QTEST_GUILESS_MAIN(TestReadWriteKr)
#include "tst_readwritekr.moc"
