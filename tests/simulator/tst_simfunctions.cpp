#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/readwrite.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QtTest>

using namespace SimRegisters;

// Every function of the shipped function table, over each protocol, through
// the program's own drivers against the simulated drive: each does what its
// name says.
class TestSimFunctions : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;

    static quint16 reg(SimulatedDrive &d, int address)
    {
        QVector<quint16> v;
        return d.read(address, 1, &v) == SimulatedDrive::Ok ? v.at(0) : 0xDEAD;
    }

private slots:
    void initTestCase()
    {
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt",
                              "InvParameter/F_InvParameter_Eng.xml"})
            m_dir.copyShipped(f);
        setUserInteraction(&m_ui);
    }
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
    }

    void everyFunction_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("native, CR") << 0 << 1;
        QTest::newRow("native, no line end") << 0 << 0;
        QTest::newRow("Modbus RTU") << 1 << 0;
        QTest::newRow("Modbus ASCII") << 2 << 2;
    }
    void everyFunction()
    {
        QFETCH(int, protocol);
        QFETCH(int, lineEnd);
        resetSharedState();
        loadSeriesFeatures();
        auto line = std::make_shared<SimulatedLine>(protocol, lineEnd);
        auto drive = makeSimulatedDrive(1, "ZM-043-7.5K");
        drive->setManualClock(true);
        line->addDrive(drive);
        auto port = std::make_shared<SimPort>(line, true);
        port->open();
        linkState().reset();
        linkState().protocolCode = quint8(protocol);
        linkState().lineEnd = lineEnd;
        linkState().setSerialPort(port);
        linkState().setStation(1);
        setModelString("ZM-043-7.5K");
        setSeriesLetter('F');
        std::unique_ptr<ReadWrite> driver(createDriver(protocol));
        ErrorRecorder errors;

        QStringList names;
        for (const QByteArray &r : driver->functionTable())
            names << QString::fromLatin1(r.mid(1, 3));
        QVERIFY(names.size() >= 60);

        // Modes.
        QCOMPARE(driver->runFunction("EXT"), 0);
        QCOMPARE(drive->mode(), 1);
        QCOMPARE(driver->runFunction("MOD"), int('1'));
        QCOMPARE(driver->runFunction("JOG"), 0);
        QCOMPARE(driver->runFunction("MOD"), int('2'));
        QCOMPARE(driver->runFunction("CU0"), 0);
        QCOMPARE(driver->runFunction("MOD"), int('0'));
        // Frequency, run, status.
        QCOMPARE(driver->runFunction(QByteArray("FRE\x0B\xB8", 5)), 0);  // 30.00 Hz
        QCOMPARE(reg(*drive, FrequencyCommand), quint16(3000));
        QCOMPARE(driver->runFunction("FWD"), 0);
        drive->advance(8000);
        QCOMPARE(drive->outputFrequency(), 30.0);
        QCOMPARE(driver->runFunction("STA") & 0x0F, 0x0B);
        QCOMPARE(driver->runFunction("M0R"), 0);
        QCOMPARE(driver->lastReading(), 30.0);
        QCOMPARE(driver->runFunction("M3R"), 0);
        QCOMPARE(driver->lastReading(), 30.0);
        QCOMPARE(driver->runFunction("MCR"), 0);
        QCOMPARE(int(driver->lastReading()) & 0x0B, 0x0B);
        // Every selectable quantity: the selector write picks it, the reading
        // returns what the drive holds, scaled as its name says.
        for (const QString &name : names) {
            if (!name.startsWith('M') || !name.endsWith('W'))
                continue;
            const QByteArray w = name.toLatin1();
            const QByteArray r = QByteArray("M") + w.at(1) + "R";
            QCOMPARE(driver->runFunction(w), 0);
            const quint16 id = reg(*drive, Selector);
            QVERIFY2(id != 0, w.constData());
            if (!names.contains(QString::fromLatin1(r)) || r == "MCR")
                continue;
            QCOMPARE(driver->runFunction(r), 0);
            const double raw = reg(*drive, SelectedValue);
            const double shown = driver->lastReading();
            QVERIFY2(qAbs(shown - raw * std::pow(10.0, -drive->decimalDigits(SelectedValue))) <
                             1e-6 ||
                         qAbs(shown - raw * (QByteArray("7ABCK").contains(w.at(1))   ? 1
                                             : QByteArray("EF").contains(w.at(1)) ? 0.1
                                                                                  : 0.01)) <
                             1e-6,
                     r.constData());
        }
        QCOMPARE(driver->runFunction("REV"), 0);
        drive->advance(20000);
        QCOMPARE(drive->outputFrequency(), -30.0);
        QCOMPARE(driver->runFunction("STO"), 0);
        drive->advance(20000);
        QCOMPARE(drive->outputFrequency(), 0.0);
        // Alarm words.
        drive->raiseAlarm(0x31);
        drive->raiseAlarm(0x32);
        drive->raiseAlarm(0x33);
        QCOMPARE(driver->runFunction("M0N"), 0x3233);
        QCOMPARE(driver->runFunction("M1N"), 0x31);
        // Parameter functions.
        drive->resetAlarm();
        QCOMPARE(driver->runFunction("996"), 0);
        QVERIFY(drive->alarmHistory().isEmpty());
        drive->setParameterValue(2, 1234);
        QCOMPARE(driver->runFunction("999"), 0);
        QCOMPARE(drive->parameter(2).value, drive->parameter(2).defaultValue);
        for (const char *f : {"991", "992", "997", "998"})
            QCOMPARE(driver->runFunction(f), 0);
        QVERIFY2(errors.codes().isEmpty(), qPrintable(QString::number(errors.codes().value(0))));
        linkState().setSerialPort(nullptr);
    }

    void catalogueSeedsTheParameters()
    {
        auto drive = makeSimulatedDrive(1, "ZM-043-7.5K");
        QVERIFY(drive->parameterNumbers().size() > 150);
        // P.7 (0.01 s at P.21 = 0) defaults to 5 s; P.3 50 Hz in 0.01 Hz.
        QCOMPARE(drive->parameter(7).defaultValue, quint16(500));
        QCOMPARE(drive->parameter(7).digits, 2);
        QCOMPARE(drive->parameter(3).value, quint16(5000));
        QCOMPARE(drive->write(3, 40001), int(SimulatedDrive::IllegalValue));  // 0~400 Hz
        QCOMPARE(drive->write(3, 40000), 0);
        QCOMPARE(CatalogueSeed::unitDigits("0.01Hz"), 2);
        QCOMPARE(CatalogueSeed::unitDigits("Hz"), 0);
        QCOMPARE(CatalogueSeed::unitDigits("1"), 0);
        QCOMPARE(CatalogueSeed::unitDigits("0.001s"), 3);
        // A catalogue that is missing leaves the drive's built-in parameters.
        auto bare = makeSimulatedDrive(1, "ZR2-043-15K");
        QCOMPARE(bare->parameter(7).digits, 1);
        // A computed ("---") default keeps the drive's own value in the catalogue's unit.
        QCOMPARE(drive->parameter(8).digits, 2);
        QCOMPARE(drive->parameter(8).defaultValue, quint16(500));
    }
};

QTEST_GUILESS_MAIN(TestSimFunctions)
#include "tst_simfunctions.moc"
