#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/readwriteasc.h"
#include "link/readwritekr.h"
#include "link/readwritertu.h"

#include <QSet>
#include <QtTest>

#include <memory>

class TestFunctionTable : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        setUserInteraction(&m_ui);
        m_ui.clear();
    }
    void cleanup() { setUserInteraction(nullptr); }

    void record_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("RTU line") << "1-M-0-R-03-10-00-00-01" << 1
                                  << QByteArray("\x01M0R\x03\x10\x00\x00\x01", 9);
        QTest::newRow("ASCII line") << "2-M0R-03-1000-0001" << 2
                                    << QByteArray("\x02M0R0310000001");
        QTest::newRow("native line") << "0-FWD-FA-0-0002" << 0 << QByteArray(1, '\0') + "FWDFA00002";
        QTest::newRow("other protocol") << "2-M0R-03-1000-0001" << 1 << QByteArray();
        QTest::newRow("empty pieces dropped") << "1--M--0-R-03-10-00-00-01" << 1
                                              << QByteArray("\x01M0R\x03\x10\x00\x00\x01", 9);
        QTest::newRow("CR left by an editor") << "1-S-T-O-06-10-05-00-00\r" << 1
                                              << QByteArray("\x01STO\x06\x10\x05\x00\x00", 9);
        QTest::newRow("too few pieces") << "1-M-0" << 1 << QByteArray();
        QTest::newRow("not hex") << "1-M-0-R-GG" << 1 << QByteArray();
        QTest::newRow("more than a byte") << "1-M-0-R-100" << 1 << QByteArray();
        QTest::newRow("empty line") << "" << 1 << QByteArray();
        QTest::newRow("letters for a protocol") << "x-M-0-R-03" << 1 << QByteArray();
        QTest::newRow("text line too short") << "2-MO" << 2 << QByteArray();
        QTest::newRow("protocol with a leading zero") << "02-M0R-03-1000-0001" << 2 << QByteArray();
        QTest::newRow("protocol with a sign") << "+2-M0R-03-1000-0001" << 2 << QByteArray();
    }
    void record()
    {
        QFETCH(QString, line);
        QFETCH(int, protocol);
        QFETCH(QByteArray, record);
        QCOMPARE(ReadWrite::functionRecord(line, protocol), record);
    }

    void loadsOnlyItsProtocolAndFirstNameWins()
    {
        DataDir dir;
        dir.write("InvType/FNC.txt",
                  "0-FWD-FA-0-0002\n"
                  "1-F-W-D-06-10-05-00-02\n"
                  "2-FWD-06-1005-0002\n"
                  "1-F-W-D-06-10-05-00-09\n"
                  "garbage line\n"
                  "1-S-T-O-06-10-05-00-00\n");
        ReadWriteRTU driver;
        QCOMPARE(driver.functionTable().size(), 1);  // protocol 0 until set
        driver.setProtocol(1);
        QCOMPARE(driver.functionTable().size(), 3);

        auto fake = installFakePort();
        linkState().setStation(1);
        const QByteArray body = bytesOf("01 06 10 05 00 02");
        fake->enqueueReply(withCrc(body));
        QCOMPARE(driver.runFunction("FWD"), 0);
        QCOMPARE(fake->writes().value(0), withCrc(body));
        QVERIFY(m_ui.messages().isEmpty());
    }

    void missingFileWarnsAndEveryFunctionFails()
    {
        DataDir dir;
        ErrorRecorder errors;
        ReadWriteRTU driver;
        driver.setProtocol(1);
        // Building and installing drivers loads the file again and again
        // (several times at start-up); the user hears of it once.
        std::unique_ptr<ReadWrite> another(createDriver(0));
        const auto messages = m_ui.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).title, QString("Warning"));
        QVERIFY2(messages.at(0).text.startsWith("Cannot read file "), qPrintable(messages.at(0).text));
        QVERIFY(messages.at(0).text.contains("InvType/FNC.txt:\n"));
        QVERIFY(messages.at(0).text.endsWith("."));
        QVERIFY(driver.functionTable().isEmpty());
        // Back in place, then gone again: the next load says so once more.
        dir.copyShipped("InvType/FNC.txt");
        another->setProtocol(2);
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY(!another->functionTable().isEmpty());
        QVERIFY(QFile::remove(dir.path() + "/InvType/FNC.txt"));
        another->setProtocol(0);
        another->setProtocol(1);
        QCOMPARE(m_ui.messages().size(), 2);

        auto fake = installFakePort();
        QCOMPARE(driver.runFunction("FWD"), -1);
        QCOMPARE(errors.codes(), QList<int>{14});
        QVERIFY(fake->writes().isEmpty());
        linkState().linkLost = true;
        QCOMPARE(driver.runFunction("STO"), -1);
        QCOMPARE(errors.codes(), (QList<int>{14, 8}));
        // Monitor readings and selector writes fail silently: the monitor
        // loop would otherwise raise a box per cycle.
        errors.clear();
        QCOMPARE(driver.runFunction("M0R"), -1);
        QCOMPARE(driver.runFunction("M4W"), -1);
        QVERIFY(errors.codes().isEmpty());
    }

    void shippedTableHasTheRtuFunctions()
    {
        DataDir dir;
        dir.copyShipped("InvType/FNC.txt");
        ReadWriteRTU driver;
        driver.setProtocol(1);
        QStringList names;
        for (const QByteArray &r : driver.functionTable())
            names << QString::fromLatin1(r.mid(1, 3));
        for (const char *needed : {"MOD", "STA", "M0N", "M1N", "FRE", "FWD", "REV", "STO", "CU0",
                                   "EXT", "JOG", "996", "997", "998", "999", "991", "992", "M0R"})
            QVERIFY2(names.contains(needed), needed);
        QVERIFY(m_ui.messages().isEmpty());
    }

    // Every function has a native and an ASCII line that reaches the same
    // drive register as its RTU line.
    void shippedTableHasEveryProtocol()
    {
        DataDir dir;
        dir.copyShipped("InvType/FNC.txt");
        std::unique_ptr<ReadWrite> rtu(createDriver(1)), ascii(createDriver(2)),
            native(createDriver(0));
        auto byName = [](const QList<QByteArray> &table) {
            QMap<QByteArray, QByteArray> map;
            for (const QByteArray &r : table)
                if (!map.contains(r.mid(1, 3)))
                    map.insert(r.mid(1, 3), r.mid(4));
            return map;
        };
        const auto rtuLines = byName(rtu->functionTable());
        const auto asciiLines = byName(ascii->functionTable());
        const auto nativeLines = byName(native->functionTable());
        QCOMPARE(rtuLines.size(), rtu->functionTable().size());
        QCOMPARE(asciiLines.keys(), rtuLines.keys());
        QCOMPARE(nativeLines.keys(), rtuLines.keys());
        QMap<int, int> readCode, writeCode;
        for (auto it = rtuLines.cbegin(); it != rtuLines.cend(); ++it) {
            const QByteArray name = it.key(), body = it.value();
            QCOMPARE(body.size(), 5);
            QCOMPARE(asciiLines.value(name), body.toHex().toUpper());
            const QByteArray nat = nativeLines.value(name);
            const int register_ = quint8(body.at(1)) << 8 | quint8(body.at(2));
            bool ok = false;
            const int code = nat.left(2).toInt(&ok, 16);
            QVERIFY2(ok && nat.at(2) == '0', name.constData());
            // Never a group register code or the group selection codes.
            QVERIFY2((code >= 0x64 && code < 0x7F) || (code >= 0xE4 && code < 0xFF),
                     name.constData());
            if (body.at(0) == 0x03) {
                QCOMPARE(nat.size(), 3);
                QVERIFY(code < 0x80);
                QCOMPARE(readCode.value(register_, code), code);
                readCode[register_] = code;
            } else {
                QCOMPARE(body.at(0), char(0x06));
                QCOMPARE(nat.mid(3), body.mid(3, 2).toHex().toUpper());
                QVERIFY(code >= 0x80);
                QCOMPARE(writeCode.value(register_, code), code);
                writeCode[register_] = code;
            }
        }
        // One code per register and one register per code; a register that is
        // read and written has write code = read code + 80.
        QCOMPARE(QSet<int>(readCode.begin(), readCode.end()).size(), readCode.size());
        QCOMPARE(QSet<int>(writeCode.begin(), writeCode.end()).size(), writeCode.size());
        for (auto it = writeCode.cbegin(); it != writeCode.cend(); ++it)
            if (readCode.contains(it.key()))
                QCOMPARE(it.value(), readCode.value(it.key()) + 0x80);
        QVERIFY(m_ui.messages().isEmpty());
    }

    void factoryMakesTheDriverOfTheProtocol_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("protocol");
        QTest::newRow("native") << 0 << "ReadWriteKR" << 0;
        QTest::newRow("RTU") << 1 << "ReadWriteRTU" << 1;
        QTest::newRow("ASCII") << 2 << "ReadWriteASC" << 2;
        QTest::newRow("anything else is ASCII") << 7 << "ReadWriteASC" << 2;
    }
    void factoryMakesTheDriverOfTheProtocol()
    {
        QFETCH(int, code);
        QFETCH(QString, className);
        QFETCH(int, protocol);
        DataDir dir;
        dir.write("InvType/FNC.txt", "0-FWD-F5-0-0002\n1-F-W-D-06-10-05-00-02\n"
                                     "2-FWD-06-1005-0002\n2-STO-06-1005-0000\n");
        std::unique_ptr<ReadWrite> driver(createDriver(code));
        QCOMPARE(QString(driver->metaObject()->className()), className);
        QCOMPARE(driver->protocol(), protocol);
        QCOMPARE(driver->functionTable().size(), protocol == 2 ? 2 : 1);
        QCOMPARE(int(driver->functionTable().value(0).at(0)), protocol);
    }

private:
    RecordingInteraction m_ui;
};

QTEST_GUILESS_MAIN(TestFunctionTable)
#include "tst_functiontable.moc"
