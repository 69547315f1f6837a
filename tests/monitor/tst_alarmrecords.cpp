#include "link/driverregistry.h"
#include "base/series.h"
#include "common/simdriverig.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "monitor/alarmcodes.h"
#include "monitor/alarmhistoryjob.h"
#include "monitor/alarmrecordreader.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {
using DriveRig = SimDriveRig;

// Register reads and writes with scale 1, as the hidden-parameter list has
// them for the history registers.
class RawParameters : public ParameterAccess
{
public:
    double readParameter(int number) override { return currentDriver()->readRegister(number, 1); }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        bool ok = false;
        const int raw = value.toInt(&ok);
        return ok && currentDriver()->writeRegister(number, raw == 9999 ? 0xFFFF : raw);
    }
    QString catalogueVersion() const override { return ::catalogueVersion(); }
};

// The raw value of item `item` of the newest alarm, as the drive stored it.
quint16 storedItem(SimulatedDrive &drive, char series, int item)
{
    QVector<quint16> v;
    if (series == 'A') {
        drive.read(751 + item, 1, &v);
    } else {
        drive.write(SimRegisters::ItemSelect, quint16(item));
        drive.read(SimRegisters::ItemSelect + 1, 1, &v);
    }
    return v.value(0);
}
}  // namespace

// The alarm tables and the operating-data reads on the simulated drives.
class TestAlarmRecords : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;
    RawParameters m_parameters;

private slots:
    void initTestCase()
    {
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt"})
            m_dir.copyShipped(QString::fromLatin1(f));
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void init()
    {
        m_ui.reset();
        setCatalogueVersion(QStringLiteral("1.00"));
    }
    void cleanupTestCase()
    {
        setUserInteraction(nullptr);
        setCatalogueVersion(QString());
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("series");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        const QString codes = "16-OC1-Overcurrent\n112-AB-brake\r\n48-THT\n";
        QTest::newRow("112 on ZP") << codes << 'E' << 112 << "BI";
        QTest::newRow("112 on ZN") << codes << 'H' << 112 << "AB";
        QTest::newRow("112 on ZD") << codes << 'B' << 112 << "BI";
        QTest::newRow("112 on ZP2") << codes << 'X' << 112 << "BI";
        QTest::newRow("CR LF line") << codes << 'H' << 112 << "AB";
        QTest::newRow("no text after") << codes << 'H' << 48 << "THT";
        QTest::newRow("unknown") << codes << 'H' << 17 << "";
        QTest::newRow("last line wins") << "16-OC1\n16-OCX\n" << 'H' << 16 << "OCX";
        QTest::newRow("0112 is 112, not BI") << "0112-AB\n" << 'E' << 112 << "AB";
        QTest::newRow("empty abbreviation") << "16--x\n" << 'H' << 16 << "";
        QTest::newRow("no number") << "x-OC1\n" << 'H' << 0 << "";
    }
    void lookup()
    {
        QFETCH(QString, text);
        QFETCH(char, series);
        QFETCH(int, number);
        QFETCH(QString, name);
        AlarmCodeTable table;
        table.setText(text);
        QCOMPARE(table.lookup(number, series), name);
    }

    void lampList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("series");
        QTest::addColumn<double>("version");
        QTest::addColumn<QStringList>("lamps");
        const QString file = "H-0-100\n16-ZZ\nE-0.1-0.5\n16-OC1-32-OV1\nE-0.5-9\n64-UV\n";
        QTest::newRow("ZP 0.10, lowest") << file << 'E' << 0.10 << QStringList{"OC1", "OV1"};
        QTest::newRow("ZP 0.40") << file << 'E' << 0.40 << QStringList{"OC1", "OV1"};
        QTest::newRow("ZP 0.50, highest excluded") << file << 'E' << 0.50 << QStringList{"UV"};
        QTest::newRow("ZP 0.05, below") << file << 'E' << 0.05 << QStringList{};
        QTest::newRow("other series") << file << 'X' << 0.40 << QStringList{};
        QTest::newRow("two selectors match")
            << "E-0-1\n16-OC1\nE-0-2\n32-OV1\n" << 'E' << 0.5 << QStringList{"OC1", "OV1"};
        QTest::newRow("selector on the last line") << "E-0-1" << 'E' << 0.5 << QStringList{};
        QTest::newRow("odd entry left over") << "E-0-1\n16-OC1-32\n" << 'E' << 0.5
                                             << QStringList{"OC1"};
        QTest::newRow("broken range") << "E-x-1\n16-OC1\n" << 'E' << 0.5 << QStringList{};
    }
    void lampList()
    {
        QFETCH(QString, text);
        QFETCH(char, series);
        QFETCH(double, version);
        QFETCH(QStringList, lamps);
        QCOMPARE(AlarmLampList::lampNames(AlarmLampList::parse(text, series, version)), lamps);
    }

    void missingFiles()
    {
        QCOMPARE(AlarmLampList::read(m_dir.path() + "/InvType/none.txt", 'E', 0.4), QStringList());
        AlarmCodeTable table;
        QString error;
        QVERIFY(!table.load(m_dir.path() + "/InvType/none.txt", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(table.isEmpty());
    }

    void currentFactor_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("factor");
        QTest::newRow("200 kW") << "ZM-043-200K-K" << 0.1;
        QTest::newRow("7.5 kW") << "ZM-043-7.5K-K" << 0.01;
        QTest::newRow("160 kW is not above") << "ZM-043-160K-K" << 0.01;
        QTest::newRow("dual rating, first counts") << "ZM-043-185K/200K-K" << 0.1;
        QTest::newRow("empty pieces dropped") << "ZM--043--200K" << 0.1;
        QTest::newRow("no third piece") << "ZM" << 0.01;
        QTest::newRow("no number") << "ZM-043-abcK" << 0.01;
    }
    void currentFactor()
    {
        QFETCH(QString, model);
        QFETCH(double, factor);
        QCOMPARE(AlarmRecordReader::currentFactor(model), factor);
    }

    // The current item of the newest alarm follows the model's capacity on
    // ZM-K and ZM-KX and the fixed hundredths elsewhere.
    void currentItem_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("factor");
        QTest::newRow("ZM-K 200") << "ZM-043-200K-K" << 0.1;
        QTest::newRow("ZM-K 7.5") << "ZM-043-7.5K-K" << 0.01;
        QTest::newRow("ZM-KX 200") << "ZM-043-200K-KX" << 0.1;
        QTest::newRow("ZM 200") << "ZM-043-200K" << 0.01;
        QTest::newRow("ZQ 200") << "ZQ1-043-200K" << 0.1;
    }
    void currentItem()
    {
        QFETCH(QString, model);
        QFETCH(double, factor);
        DriveRig rig(model);
        rig.runAt(40);
        rig.drive->raiseAlarm(16);
        const quint16 raw = storedItem(*rig.drive, seriesLetter(), 2);
        QVERIFY(raw > 0);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        QCOMPARE(reader.readItem(2), AlarmRecordReader::formatValue(raw * factor));
    }

    // P.187 says the resolution of the frequency item; other values leave
    // it empty, a failed read fails the record.
    void frequencyResolution_data()
    {
        QTest::addColumn<int>("p187");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<int>("lines");
        QTest::newRow("hundredths") << 0 << false << "40" << 3;
        QTest::newRow("tenths") << 1 << false << "400" << 3;
        QTest::newRow("2: empty, still logged") << 2 << false << "" << 3;
        QTest::newRow("refused read: no record") << 0 << true << "-1" << 0;
    }
    void frequencyResolution()
    {
        QFETCH(int, p187);
        QFETCH(bool, refused);
        QFETCH(QString, frequency);
        QFETCH(int, lines);
        DriveRig rig("ZM-043-7.5K");  // ZM reads P.187
        rig.runAt(40);
        rig.drive->raiseAlarm(16);  // stored in hundredths (P.187 = 0)
        rig.drive->setParameterValue(187, quint16(p187));
        if (refused)
            rig.drive->setRefusedRegister(187, SimulatedDrive::IllegalAddress);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        QCOMPARE(reader.readItem(1), frequency);
        const QStringList record = reader.readAlarmRecord();
        QCOMPARE(record.size(), lines);
        if (lines)
            QVERIFY2(record.at(0).startsWith("           Frequency:: " + frequency + "Hz    Current:: "),
                     qPrintable(record.at(0)));
    }

    // What the alarm log adds after an alarm, by series and terminal watch.
    void loggedRecord_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("terminals");
        QTest::addColumn<bool>("continuing");
        QTest::addColumn<bool>("statusWord");
        QTest::newRow("ZM, terminals") << "ZM-043-7.5K" << "1.00" << true << true << true;
        QTest::newRow("ZM, no terminals") << "ZM-043-7.5K" << "1.00" << false << false << false;
        QTest::newRow("ZM-K 0.10") << "ZM-043-7.5K-K" << "0.10" << true << false << false;
        QTest::newRow("ZM-K 0.20") << "ZM-043-7.5K-K" << "0.20" << true << true << true;
        QTest::newRow("ZP2 0.60") << "ZP2-043-2.2K" << "0.60" << true << false << false;
        QTest::newRow("ZP2 0.70, no status") << "ZP2-043-2.2K" << "0.70" << true << true << false;
        QTest::newRow("ZR2 0.40, no status") << "ZR2-043-2.2K" << "0.40" << true << true << false;
        QTest::newRow("ZQ without terminals") << "ZQ1-043-5.5K" << "0.10" << false << true << true;
    }
    void loggedRecord()
    {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(bool, terminals);
        QFETCH(bool, continuing);
        QFETCH(bool, statusWord);
        DriveRig rig(model);
        setCatalogueVersion(version);
        rig.runAt(20);
        rig.drive->advance(120000);
        rig.drive->raiseAlarm(32);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        const QStringList lines = reader.readLoggedRecord(terminals);
        QCOMPARE(lines.size(), continuing ? 4 : 3);
        QVERIFY(lines.at(1).startsWith("           The accumulation rate of temperature:: "));
        QVERIFY(lines.last().startsWith("           Accumulative motor operation time:: "));
        QVERIFY(lines.last().endsWith(" min "));
        if (continuing) {
            const QString minutes = QString::number(storedItem(*rig.drive, seriesLetter(), 6));
            QVERIFY2(lines.at(2).startsWith("           Continuing Operation Time:: " + minutes + "min"),
                     qPrintable(lines.at(2)));
            QCOMPARE(lines.at(2).contains("    Status Word:: "), statusWord);
        }
    }

    // A refused item select ends the record; the continuing line is empty
    // when its items fail.
    void refusedItemSelect()
    {
        DriveRig rig("ZM-043-7.5K");
        rig.drive->raiseAlarm(16);
        rig.drive->setRefusedWrite(SimRegisters::ItemSelect, SimulatedDrive::IllegalAddress);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        QCOMPARE(reader.readItem(3), QString("-1"));
        QVERIFY(reader.readAlarmRecord().isEmpty());
        QVERIFY(reader.readContinuingLine().isEmpty());
        QVERIFY(reader.readLoggedRecord(true).isEmpty());
    }

    void history_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<int>>("alarms");
        QTest::addColumn<bool>("refuse288");
        QTest::addColumn<QStringList>("expected");  // "*" lines: operating data
        const QString data = "*";
        QStringList a{"Alarm 1 > OV1", data, data, data, "Alarm 2 > OC1", data, data, data};
        for (int n = 3; n <= 12; ++n)
            a << QString("Alarm %1 > (none)").arg(n);
        QTest::newRow("series A: two with data") << "ZQ1-043-5.5K" << QList<int>{16, 32} << false << a;
        QStringList zm{"Alarm 1 > OC1", data, data};
        for (int n = 2; n <= 12; ++n)
            zm << QString("Alarm %1 > (none)").arg(n);
        zm[3] = "Alarm 2 > UV";
        QTest::newRow("ZM: the newest with data") << "ZM-043-7.5K" << QList<int>{64, 16} << false << zm;
        QTest::newRow("refused 288: nothing") << "ZM-043-7.5K" << QList<int>{16} << true << QStringList{};
        QTest::newRow("ZN: four names") << "ZN-020-5.5K" << QList<int>{16, 32, 48, 64, 65} << false
                                        << QStringList{"Alarm 1 > IPF", "Alarm 2 > UV",
                                                       "Alarm 3 > THT", "Alarm 4 > OV1"};
        // A code the table does not know is shown by its number.
        QTest::newRow("ZN: an unknown code") << "ZN-020-5.5K" << QList<int>{16, 250} << false
                                             << QStringList{"Alarm 1 > 250", "Alarm 2 > OC1",
                                                            "Alarm 3 > (none)",
                                                            "Alarm 4 > (none)"};
    }
    void history()
    {
        QFETCH(QString, model);
        QFETCH(QList<int>, alarms);
        QFETCH(bool, refuse288);
        QFETCH(QStringList, expected);
        m_dir.copyShipped("InvType/alarmCode.txt");
        AlarmCodeTable codes;
        QVERIFY(codes.load(m_dir.path() + "/InvType/alarmCode.txt", nullptr));
        DriveRig rig(model);
        for (int a : alarms) {
            rig.runAt(10);
            rig.drive->raiseAlarm(a);
            rig.drive->resetAlarm();
        }
        if (refuse288)
            rig.drive->setRefusedWrite(SimRegisters::HistorySelect, SimulatedDrive::IllegalAddress);
        LinkWorker worker;
        auto job = makeLinkJob<AlarmHistoryJob>(m_parameters, AlarmDrive::current(), codes, false);
        worker.post(job);
        QVERIFY(job->waitForFinished(20000));
        const QStringList lines = job->lines();
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i) {
            if (expected.at(i) == "*")
                QVERIFY2(lines.at(i).startsWith("           "), qPrintable(lines.at(i)));
            else
                QCOMPARE(lines.at(i), expected.at(i));
        }
        if (seriesLetter() == 'A') {
            // Each alarm's continuing line is its own: the second one's
            // time is that of the older alarm.
            QVERIFY(lines.at(3).contains("Continuing Operation Time:: "));
            QVERIFY(lines.at(7).contains("Continuing Operation Time:: "));
            QVector<quint16> older;
            rig.drive->read(771, 1, &older);
            QVERIFY2(lines.at(7).contains(":: " + QString::number(older.value(0)) + "min"),
                     qPrintable(lines.at(7)));
        }
    }

    // A refused read of the history entry ends the list instead of naming
    // an alarm that was never read.
    void refusedHistoryRead()
    {
        m_dir.copyShipped("InvType/alarmCode.txt");
        AlarmCodeTable codes;
        QVERIFY(codes.load(m_dir.path() + "/InvType/alarmCode.txt", nullptr));
        DriveRig rig("ZM-043-7.5K");
        rig.drive->raiseAlarm(16);
        rig.drive->setRefusedRegister(SimRegisters::HistoryAlarm, SimulatedDrive::IllegalAddress);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        QCOMPARE(reader.historyAlarmNumber(1), -1);
    }

    void runTime_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("ZM: 292/293") << "ZM-043-7.5K";
        QTest::newRow("ZR: 164/165") << "ZR-043-7.5K";
    }
    void runTime()
    {
        QFETCH(QString, model);
        DriveRig rig(model);
        rig.runAt(10);
        rig.drive->advance(1441.0 * 60 * 1000 + 5 * 60 * 1000);
        AlarmRecordReader reader(m_parameters, AlarmDrive::current());
        const int minutes = int(rig.drive->runMinutes()) % 1440;
        QCOMPARE(reader.runTimeText(), QString("1 day %1 min ").arg(minutes));
        // The units follow the language of the window.
        for (const auto &language : {std::make_pair("zh_CN", QString("1 天 %1 分钟 ")),
                                     std::make_pair("zh_Big", QString("1 天 %1 分鐘 "))}) {
            QTranslator translator;
            QVERIFY(translator.load(QStringLiteral(VANTREO_BIN_DIR "/language/KorvaneINV_") +
                                    language.first + ".qm"));
            QCoreApplication::installTranslator(&translator);
            const QString text = reader.runTimeText();
            QCoreApplication::removeTranslator(&translator);
            QCOMPARE(text, language.second.arg(minutes));
        }
        rig.line->setFaults(1, [] { SimFaults f; f.noAnswer = true; return f; }());
        QCOMPARE(reader.runTimeText(), QString());
    }
};

QTEST_GUILESS_MAIN(TestAlarmRecords)
#include "tst_alarmrecords.moc"
