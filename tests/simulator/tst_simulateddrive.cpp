#include "common/testsupport.h"
#include "link/readwritertu.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "simulator/slaveprotocol.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace SimRegisters;

// The simulated drive: its motor, registers, alarms and write guard, and its
// slave side of the three protocols, byte for byte.
class TestSimulatedDrive : public QObject
{
    Q_OBJECT

    static quint16 reg(SimulatedDrive &d, int address)
    {
        QVector<quint16> v;
        return d.read(address, 1, &v) == SimulatedDrive::Ok ? v.at(0) : 0xDEAD;
    }

private slots:
    void rampsWithTheAccelerationTimes()
    {
        SimulatedDrive d(1, "ZM-043-7.5K");
        d.setManualClock(true);
        QCOMPARE(d.write(FrequencyCommand, 5000), 0);
        QCOMPARE(d.write(Control, 2), 0);
        d.advance(2500);  // P.7 = 5.0 s to the 50 Hz reference
        QVERIFY(qAbs(d.outputFrequency() - 25) < 0.1);
        QCOMPARE(reg(d, MonitorBase + 3), quint16(5000));
        QVERIFY(reg(d, Status) & 0x03);
        QVERIFY(!(reg(d, Status) & 0x08));
        d.advance(3000);
        QCOMPARE(d.outputFrequency(), 50.0);
        QCOMPARE(reg(d, MonitorBase + 0), quint16(5000));
        QCOMPARE(reg(d, Status) & 0x0F, 0x0B);  // running, forward, at frequency
        QVERIFY(reg(d, MonitorBase + 1) > 30000);  // 440 V class at base frequency
        QVERIFY(reg(d, MonitorBase + 2) > 0);

        QCOMPARE(d.write(Control, 4), 0);  // reverse: through zero to -50 Hz
        d.advance(5000);
        QVERIFY(qAbs(d.outputFrequency()) < 0.1);
        d.advance(5100);
        QCOMPARE(d.outputFrequency(), -50.0);
        QCOMPARE(reg(d, Status) & 0x06, 0x04);

        QCOMPARE(d.write(Control, 0), 0);
        d.advance(10000);
        QCOMPARE(d.outputFrequency(), 0.0);
        QCOMPARE(reg(d, Status) & 0x07, 0);
        QVERIFY(d.runMinutes() > 0.2);
    }

    void modesAndRunCommands()
    {
        SimulatedDrive d(1, "ZN-020-5.5K");
        d.setManualClock(true);
        QCOMPARE(d.write(Mode, 1), 0);
        QCOMPARE(reg(d, Mode), quint16(1));
        QCOMPARE(d.write(Control, 2), int(SimulatedDrive::IllegalValue));  // EXT: terminals run it
        QCOMPARE(d.write(Mode, 2), 0);
        QCOMPARE(d.write(Control, 2), 0);
        d.advance(2000);
        QCOMPARE(d.outputFrequency(), 5.0);  // jog frequency P.15
        QCOMPARE(d.write(Mode, 0), int(SimulatedDrive::IllegalValue));  // not while running
        QCOMPARE(d.write(Mode, 7), int(SimulatedDrive::IllegalValue));
        QCOMPARE(d.write(FrequencyCommand, 40001), int(SimulatedDrive::IllegalValue));
        QCOMPARE(d.write(Control, 3), int(SimulatedDrive::IllegalValue));
    }

    void alarmsGoIntoTheHistory()
    {
        SimulatedDrive d(1, "ZM-043-7.5K");
        d.setManualClock(true);
        d.write(FrequencyCommand, 4000);
        d.write(Control, 2);
        d.advance(8000);
        d.raiseAlarm(0x21);
        QCOMPARE(d.outputFrequency(), 0.0);
        QCOMPARE(reg(d, Status) & 0x80, 0x80);
        QCOMPARE(reg(d, AlarmWord), quint16(0x21));
        QCOMPARE(d.write(Control, 2), int(SimulatedDrive::IllegalValue));  // tripped
        QCOMPARE(d.write(ItemSelect, 1), 0);
        QCOMPARE(reg(d, ItemValue), quint16(4000));  // frequency at the trip, 0.01 Hz
        d.write(ItemSelect, 5);
        QVERIFY(reg(d, ItemValue) > 600);  // P-N voltage of the 440 V class
        d.write(ItemSelect, 7);
        QCOMPARE(reg(d, ItemValue) & 0x80, 0x80);
        QCOMPARE(d.write(ItemSelect, 8), int(SimulatedDrive::IllegalValue));
        d.raiseAlarm(0x40);
        QCOMPARE(reg(d, AlarmWord), quint16(0x2140));
        d.write(HistorySelect, 2);
        QCOMPARE(reg(d, HistoryAlarm), quint16(0x21));
        QCOMPARE(d.write(Control, 0x80), 0);
        QCOMPARE(reg(d, Status) & 0x80, 0);
        QCOMPARE(d.write(ParameterFunction, 0x96), 0);  // P.996 clears the history
        QCOMPARE(reg(d, AlarmWord), quint16(0));

        SimulatedDrive a(1, "ZQ1-043-5.5K");
        a.raiseAlarm(5);
        a.raiseAlarm(6);
        QCOMPARE(reg(a, 757), reg(a, 771));  // continuing time item of both
        QCOMPARE(reg(a, 758) & 0x80, 0x80);
        QCOMPARE(reg(a, 290), quint16(1));
    }

    void writeGuardAndRanges()
    {
        SimulatedDrive d(1, "ZM-043-7.5K");
        d.setManualClock(true);
        QCOMPARE(d.write(7, 100), 0);
        QCOMPARE(d.write(7, 40000), int(SimulatedDrive::IllegalValue));
        QCOMPARE(d.write(77, 1), 0);
        QCOMPARE(d.write(7, 80), int(SimulatedDrive::IllegalValue));
        QCOMPARE(reg(d, 7), quint16(100));
        QCOMPARE(d.write(77, 5), int(SimulatedDrive::IllegalValue));
        QCOMPARE(d.write(77, 9999), 0);
        QCOMPARE(d.write(7, 80), 0);
        QCOMPARE(d.write(77, 1), 0);
        QCOMPARE(d.write(77, 0xFFFF), 0);
        QCOMPARE(d.write(7, 80), 0);
        QCOMPARE(d.write(77, 0), 0);
        d.write(FrequencyCommand, 1000);
        d.write(Control, 2);
        d.advance(100);
        QCOMPARE(d.write(7, 90), int(SimulatedDrive::IllegalValue));  // not while running
        QCOMPARE(d.write(4, 4500), 0);  // speeds may change while running
        QCOMPARE(d.write(188, 1), int(SimulatedDrive::IllegalValue));  // version is read-only
        QCOMPARE(d.write(999, 1), int(SimulatedDrive::IllegalAddress));
        QCOMPARE(reg(d, 999), quint16(0xDEAD));
    }

    void parameterFunctions()
    {
        SimulatedDrive d(1, "ZM-043-7.5K");
        d.write(7, 123);
        d.write(32, 3);
        QCOMPARE(d.write(ParameterFunction, 0x98), 0);
        QCOMPARE(reg(d, 7), quint16(50));
        QCOMPARE(reg(d, 32), quint16(3));  // communication settings kept
        QCOMPARE(d.write(ParameterFunction, 0x99), 0);
        QCOMPARE(reg(d, 32), quint16(1));
        QCOMPARE(d.write(ParameterFunction, 0x55), int(SimulatedDrive::IllegalValue));
    }

    void identityRegisters_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::newRow("ZM voltage class") << "ZM-043-7.5K" << 301 << 3;
        QTest::newRow("ZM capacity") << "ZM-043-7.5K" << 302 << 750;
        QTest::newRow("ZM-K version, fine steps") << "ZM-043-7.5K-K" << 188 << 330;
        QTest::newRow("ZD 220 V class") << "ZD-023-0.75K" << 201 << 2;
        QTest::newRow("ZD version in its last register") << "ZD-023-0.75K" << 231 << 40;
        QTest::newRow("ZP version") << "ZP-043-22K" << 260 << 100;
        QTest::newRow("ZM-KX") << "ZM-043-5.5K-KX" << 701 << 3;
        QTest::newRow("ZQ") << "ZQ1-043-5.5K" << 1401 << 3;
        QTest::newRow("ZN capacity") << "ZN-020-5.5K" << 300 << 550;
        QTest::newRow("ZN voltage") << "ZN-020-5.5K" << 301 << 220;
        QTest::newRow("ZN version") << "ZN-020-5.5K" << 199 << 1000;
        QTest::newRow("ZM-K big drive current in 0.1 A") << "ZM-043-185K-K" << 56 << 3173;
    }
    void identityRegisters()
    {
        QFETCH(QString, model);
        QFETCH(int, address);
        QFETCH(int, value);
        SimulatedDrive d(1, model);
        QCOMPARE(int(reg(d, address)), value);
    }

    void rtuSlaveFrames_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("read P.7") << withCrc(bytesOf("05 03 00 07 00 01"))
                                  << withCrc(bytesOf("05 03 02 00 32"));
        QTest::newRow("read two") << withCrc(bytesOf("05 03 00 07 00 02"))
                                  << withCrc(bytesOf("05 03 04 00 32 00 32"));
        QTest::newRow("write P.7") << withCrc(bytesOf("05 06 00 07 00 64"))
                                   << withCrc(bytesOf("05 06 00 07 00 64"));
        QTest::newRow("no such register") << withCrc(bytesOf("05 03 03 E7 00 01"))
                                          << withCrc(bytesOf("05 83 02"));
        QTest::newRow("out of range") << withCrc(bytesOf("05 06 00 07 FF 00"))
                                      << withCrc(bytesOf("05 86 03"));
        QTest::newRow("unknown function") << withCrc(bytesOf("05 04 00 07 00 01"))
                                          << withCrc(bytesOf("05 84 01"));
        QTest::newRow("another station") << withCrc(bytesOf("06 03 00 07 00 01")) << QByteArray();
        QTest::newRow("bad CRC") << bytesOf("05 03 00 07 00 01 00 00") << QByteArray();
        QTest::newRow("too many registers") << withCrc(bytesOf("05 03 00 07 00 7E"))
                                            << withCrc(bytesOf("05 83 03"));
    }
    void rtuSlaveFrames()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        SimulatedDrive d(5, "ZM-043-7.5K");
        SlaveProtocol rtu(SlaveProtocol::Rtu, 0);
        QCOMPARE(rtu.answer(request, d).toHex(' '), answer.toHex(' '));
    }

    void asciiSlaveFrames_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("read P.7") << QByteArray(":010300070001F4\r\n")
                                  << QByteArray(":0103020032C8\r\n");
        QTest::newRow("write 1234 to P.4") << QByteArray(":0106000404D21F\r\n")
                                           << QByteArray(":0106000404D21F\r\n");
        QTest::newRow("no such register") << QByteArray(":010303E70001") + "11\r\n"
                                          << QByteArray(":0183027A\r\n");
        QTest::newRow("bad LRC") << QByteArray(":010300070001F5\r\n") << QByteArray();
        QTest::newRow("not hex") << QByteArray(":01030007000XF4\r\n") << QByteArray();
    }
    void asciiSlaveFrames()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        SimulatedDrive d(1, "ZM-043-7.5K");
        SlaveProtocol ascii(SlaveProtocol::Ascii, 2);
        QCOMPARE(ascii.answer(request, d), answer);
    }

    void nativeSlaveFrames()
    {
        SimulatedDrive d(1, "ZM-043-7.5K");
        SlaveProtocol native(SlaveProtocol::Native, 1);
        auto request = [](const QByteArray &body) {
            return '\x05' + body + hexByte(nativeSum(body)) + '\r';
        };
        auto data = [](const QByteArray &checked) {
            return '\x02' + checked + '\x03' + hexByte(nativeSum(checked)) + '\r';
        };
        // Group 0 is selected at power-up: P.7 is 5.0 s with one decimal.
        QCOMPARE(native.answer(request("01070"), d), data("0100321"));
        // Select group 3, confirm it, read P.301 (voltage class).
        QCOMPARE(native.answer(request("01FF00003"), d), QByteArray("\x06" "01\r"));
        QCOMPARE(native.answer(request("017F0"), d), data("0100030"));
        QCOMPARE(native.answer(request("01010"), d), data("0100030"));
        // Group 9 writes reach 900 and up: P.905 does not exist.
        native.answer(request("01FF00009"), d);
        QCOMPARE(native.answer(request("018500000"), d), QByteArray("\x15" "01B\r"));
        // Function registers: run forward, read the status word.
        QCOMPARE(native.answer(request("01F700FA0"), d).left(1), QByteArray("\x06"));
        QCOMPARE(native.answer(request("01F500002"), d), QByteArray("\x06" "01\r"));
        // A bad sum check is refused with '2'; another station stays silent.
        QByteArray bad = request("01070");
        bad[6] = 'X';
        QCOMPARE(native.answer(bad, d), QByteArray("\x15" "012\r"));
        QCOMPARE(native.answer(request("02070"), d), QByteArray());
        QCOMPARE(native.answer(request("01700"), d).left(1), QByteArray("\x02"));
        QCOMPARE(native.answer(request("01FE0"), d), QByteArray("\x15" "014\r"));
        QCOMPARE(native.answer(request("016F0"), d), QByteArray("\x15" "01B\r"));
    }

    void framingResynchronises_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("rtu") << int(SlaveProtocol::Rtu) << withCrc(bytesOf("01 03 00 07 00 01"));
        QTest::newRow("ascii") << int(SlaveProtocol::Ascii) << QByteArray(":010300070001F4\r\n");
        QTest::newRow("native") << int(SlaveProtocol::Native)
                                << QByteArray("\x05" "01070") + hexByte(nativeSum("01070")) +
                                       "\r\n";
    }
    void framingResynchronises()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, frame);
        SlaveProtocol p(kind, 2);
        QRandomGenerator rng(kind + 1);
        for (int round = 0; round < 200; ++round) {
            QByteArray junk(int(rng.bounded(0, 30)), '\0');
            for (char &c : junk)
                c = char(rng.bounded(256));
            p.feed(junk);
            p.resetInput();
            // A frame after silence is always found, fed in any chunking.
            QList<QByteArray> frames;
            for (int i = 0; i < frame.size(); i += 3)
                frames += p.feed(frame.mid(i, 3));
            QVERIFY2(frames.contains(frame), qPrintable(QString::number(round)));
        }
    }

    void garbageNeverCrashesTheDrive()
    {
        SimulatedDrive d(1, "ZQ1-043-5.5K");
        QRandomGenerator rng(11);
        for (int kind : {0, 1, 2}) {
            SlaveProtocol p(kind, 2);
            for (int i = 0; i < 3000; ++i) {
                QByteArray junk(int(rng.bounded(0, 40)), '\0');
                for (char &c : junk)
                    c = char(rng.bounded(256));
                if (i % 3 == 0 && !junk.isEmpty())
                    junk[0] = kind == 0 ? '\x05' : kind == 2 ? ':' : '\x01';
                for (const QByteArray &f : p.feed(junk))
                    p.answer(f, d);
                p.answer(junk, d);
            }
        }
        QVERIFY(d.parameter(7).value <= 36000);
    }

private:
    DataDir m_dir;
};

QTEST_GUILESS_MAIN(TestSimulatedDrive)
#include "tst_simulateddrive.moc"
