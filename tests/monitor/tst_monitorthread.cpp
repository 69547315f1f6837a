#include "link/driverregistry.h"
#include "base/series.h"
#include "common/testsupport.h"
#include "link/readwritertu.h"
#include "monitor/identityread.h"
#include "monitor/monitordata.h"
#include "monitor/monitorpages.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "monitor/quantitytable.h"
#include "parameters/parametertransfer.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {
const char *const kFeatures =
    "monitorthread_readInverterInfo_F//0//0//0//0//0//1//0//0//0//0//0\n"
    "monitorthread_readInverterInfo_XGT//0//0//0//0//0//0//1//1//1//0//0\n"
    "monitorthread_readInverterInfo_BCS//0//1//1//1//0//0//0//0//0//0//0\n"
    "monitorthread_readInverterInfo_E//0//0//0//0//1//0//0//0//0//0//0\n"
    "monitorthread_readInverterInfo_L//0//0//0//0//0//0//0//0//0//1//0\n"
    "monitorthread_readInverterInfo_H//1//0//0//0//0//0//0//0//0//0//0\n"
    "monitorthread_readInverterInfo_A//0//0//0//0//0//0//0//0//0//0//1\n";

// Parameter reads and writes with fixed scales, standing in for the catalogue.
// Writes convert their text as the parameter core does (9999 is 0xFFFF).
class ScaledParameters : public ParameterAccess
{
public:
    double readParameter(int number) override
    {
        if (readings.contains(number))
            return readings.value(number);
        const double scale = number == 302 || number == 402 || number == 202 ||
                                     number == 702 || number == 1402 || number == 300 ||
                                     number == 199
                                 ? 0.01
                                 : 1;
        return currentDriver()->readRegister(number, scale);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        writes.append(qMakePair(number, value));
        const ParameterTransfer::RegisterValue raw = ParameterTransfer::toRegisterValue(value, 1);
        return raw.ok && currentDriver()->writeRegister(number, raw.value);
    }
    QString catalogueVersion() const override { return version; }

    QList<QPair<int, QString>> writes;
    QString version = QStringLiteral("0.33");
    // What the drive is made to show for a parameter instead of its register.
    QHash<int, double> readings;
};

// The RTU driver, keeping the register writes it was asked for.
class WriteLoggingRTU : public ReadWriteRTU
{
public:
    bool writeRegister(int address, int value) override
    {
        {
            QMutexLocker lock(&m_mutex);
            m_writes.append(qMakePair(address, value));
        }
        return ReadWriteRTU::writeRegister(address, value);
    }
    QList<int> valuesWrittenTo(int address) const
    {
        QMutexLocker lock(&m_mutex);
        QList<int> values;
        for (const auto &w : m_writes)
            if (w.first == address)
                values.append(w.second);
        return values;
    }

private:
    mutable QMutex m_mutex;
    QList<QPair<int, int>> m_writes;
};

class RecordingPage : public DialPageSink, public TrendPageSink
{
public:
    void takeSample() override { ++samples; }
    void sampleChannels() override { ++channels; }
    void showDriveInfo(const QStringList &r) override { record = r; }
    std::atomic<int> samples{0};
    std::atomic<int> channels{0};
    QStringList record;
};

// What the hand-over tests see of a page from outside it (the page may be
// gone when they look).
struct CallWatch {
    std::atomic<int> calls{0};
    std::atomic<int> inside{0};     // calls in progress
    std::atomic<int> intoDying{0};  // calls that met the page's destructor running
    int lingerMs = 0;               // how long each call lasts
    // Runs at the end of each call, on the calling thread; may delete the page.
    std::function<void(DialPageSink *)> atEnd;
};

// A dial page whose calls take a while, keeping the samples in a member.
class LingeringPage : public DialPageSink
{
public:
    explicit LingeringPage(CallWatch &watch) : m_watch(watch) {}
    ~LingeringPage() override
    {
        m_dying = true;
        // A call that got in now would find the page half destroyed.
        std::this_thread::sleep_for(std::chrono::milliseconds(m_watch.lingerMs));
    }
    void takeSample() override
    {
        ++m_watch.calls;
        ++m_watch.inside;
        if (m_dying)
            ++m_watch.intoDying;
        m_samples.append(monitorData().value(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(m_watch.lingerMs));
        --m_watch.inside;
        if (m_watch.atEnd)
            m_watch.atEnd(this);
    }
    void showDriveInfo(const QStringList &) override {}

private:
    CallWatch &m_watch;
    std::atomic<bool> m_dying{false};
    QVector<double> m_samples;
};

enum HandOver { Detach, Replace, Delete, DetachSelf };

// Hands the dial page over on the calling thread: to none, to `next`, or by
// deleting it.
void handOver(MonitorThread &thread, DialPageSink *page, MonitorPage<RecordingPage> *next, int how)
{
    if (how == Detach)
        thread.setDialPage(nullptr);
    else if (how == Replace)
        thread.setDialPage(next);
    else
        delete page;
}
}  // namespace

// The monitor thread against a simulated drive: which quantities a cycle
// reads, what a failure does, the identity read, and the thread's lifetime.
class TestMonitorThread : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;
    std::shared_ptr<SimulatedLine> m_line;
    std::shared_ptr<SimPort> m_port;
    ScaledParameters m_parameters;
    WriteLoggingRTU *m_driver = nullptr;

    std::shared_ptr<SimulatedDrive> attach(const QString &model, int protocol = 1)
    {
        m_line = std::make_shared<SimulatedLine>(protocol, 0);
        auto drive = std::make_shared<SimulatedDrive>(1, model);
        drive->setManualClock(true);
        m_line->addDrive(drive);
        m_port = std::make_shared<SimPort>(m_line, true);
        m_port->open();
        linkState().reset();
        linkState().protocolCode = quint8(protocol);
        linkState().setSerialPort(m_port);
        linkState().setStation(1);
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        m_driver = new WriteLoggingRTU;
        m_driver->setProtocol(1);
        setCurrentDriver(m_driver);
        monitorData().reset();
        m_parameters.readings.clear();
        return drive;
    }

    int exchanges() const { return m_port->writes().size(); }

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        setUserInteraction(&m_ui);
        setSeriesFeatureText(kFeatures);
    }
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
    }

    void tablesBySeries()
    {
        QCOMPARE(quantityTable('A').size(), 24);
        QCOMPARE(quantityTable('L').size(), 21);
        QCOMPARE(quantityTable('F').size(), 13);
        QCOMPARE(quantityTable('A').at(4).selector, QByteArray("MAW"));
        QCOMPARE(quantityTable('A').at(13).reading, QByteArray("MQR"));
        QCOMPARE(quantityTable('L').at(13).reading, QByteArray("MDR"));
        QCOMPARE(quantityTable('F').at(10).selector, QByteArray("MAW"));
        QCOMPARE(quantityTable('F').at(12).reading, QByteArray("MCR"));
        QVERIFY(quantityTable('F').at(12).selector.isEmpty());
        QCOMPARE(quantityTable('A').at(23).reading, QByteArray("MCR"));
    }

    // With no quantity asked for, a cycle leaves the line alone and still
    // hands the active pages their sample, and only them.
    void cycleWithoutFlagsStillCallsThePages_data()
    {
        QTest::addColumn<bool>("dials");
        QTest::addColumn<bool>("trend");
        QTest::newRow("no page active") << false << false;
        QTest::newRow("dial page active") << true << false;
        QTest::newRow("trend page active") << false << true;
        QTest::newRow("both active") << true << true;
    }
    void cycleWithoutFlagsStillCallsThePages()
    {
        QFETCH(bool, dials);
        QFETCH(bool, trend);
        attach("ZM-043-7.5K");
        MonitorThread thread(&m_parameters);
        MonitorPage<RecordingPage> page;
        thread.setDialPage(&page);
        thread.setTrendPage(&page);
        if (dials)
            QVERIFY(thread.startForDials());
        if (trend)
            QVERIFY(thread.startForTrend());
        m_port->clearWrites();  // the identity read's exchanges
        if (dials || trend) {
            QTRY_VERIFY((!dials || page.samples > 3) && (!trend || page.channels > 3));
        } else {
            for (int i = 0; i < 3; ++i)
                QVERIFY(thread.runCycle());
        }
        thread.stopDials();
        thread.stopTrend();
        QVERIFY(thread.wait(5000));
        QCOMPARE(exchanges(), 0);
        QCOMPARE(page.samples > 0, dials);
        QCOMPARE(page.channels > 0, trend);
    }

    void statusWordOnlyForTheDials()
    {
        auto drive = attach("ZM-043-7.5K");
        MonitorThread thread(&m_parameters);
        monitorData().setTrendFlag(12, true);
        QVERIFY(thread.runCycle());
        QCOMPARE(exchanges(), 0);
        monitorData().setDialFlag(12, true);
        drive->raiseAlarm(7);
        QVERIFY(thread.runCycle());
        QCOMPARE(exchanges(), 1);
        QCOMPARE(int(monitorData().value(12)) & 0x80, 0x80);
    }

    void selectedQuantitiesAndValues()
    {
        auto drive = attach("ZM-043-7.5K");
        drive->write(SimRegisters::FrequencyCommand, 4000);
        drive->write(SimRegisters::Control, 2);
        drive->advance(10000);
        MonitorThread thread(&m_parameters);
        for (int k : {0, 2, 7, 10})
            monitorData().setTrendFlag(k, true);
        QVERIFY(thread.runCycle());
        QCOMPARE(monitorData().value(0), 40.0);
        QVERIFY(monitorData().value(2) > 0);
        QVERIFY(monitorData().value(7) > 600);  // DC bus of the 440 V class
        QCOMPARE(int(monitorData().value(10)) & 0x01, 0);  // STF active (low)
        QCOMPARE(exchanges(), 1 + 1 + 2 + 2);
    }

    void failureEndsTheCycle()
    {
        auto drive = attach("ZM-043-7.5K");
        MonitorThread thread(&m_parameters);
        MonitorPage<RecordingPage> page;
        thread.setDialPage(&page);
        for (int k = 0; k < 12; ++k) {
            monitorData().setDialFlag(k, true);
            monitorData().setValue(k, -7);
        }
        drive->setRefusedRegister(SimRegisters::MonitorBase + 2, SimulatedDrive::IllegalAddress);
        QVERIFY(thread.startForDials());
        thread.stopDials();
        thread.wait();
        const int samples = page.samples;
        QVERIFY(!thread.runCycle());
        QCOMPARE(monitorData().value(0), 0.0);
        QCOMPARE(monitorData().value(1), 0.0);
        for (int k = 2; k < 12; ++k)
            QCOMPARE(monitorData().value(k), -7.0);
        QCOMPARE(page.samples.load(), samples);
        QVERIFY(m_ui.messages().isEmpty());
    }

    void bigZmKCurrentOverModbus_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<double>("factor");
        QTest::newRow("185K over RTU") << "ZM-043-185K-K" << 1 << 10.0;
        QTest::newRow("160K over RTU") << "ZM-043-160K-K" << 1 << 1.0;
        QTest::newRow("185K over the native protocol") << "ZM-043-185K-K" << 0 << 1.0;
    }
    void bigZmKCurrentOverModbus()
    {
        QFETCH(QString, model);
        QFETCH(int, protocol);
        QFETCH(double, factor);
        auto drive = attach(model);
        linkState().protocolCode = quint8(protocol);
        drive->write(SimRegisters::FrequencyCommand, 5000);
        drive->write(SimRegisters::Control, 2);
        drive->advance(30000);
        MonitorThread thread(&m_parameters);
        monitorData().setDialFlag(2, true);
        QVERIFY(thread.runCycle());
        QVector<quint16> raw;
        drive->read(SimRegisters::MonitorBase + 2, 1, &raw);
        QCOMPARE(monitorData().value(2), raw.at(0) * 0.01 * factor);
    }

    void flagsAndThread()
    {
        attach("ZM-043-7.5K");
        MonitorThread thread(&m_parameters);
        MonitorPage<RecordingPage> page;
        thread.setDialPage(&page);
        thread.setTrendPage(&page);
        monitorData().setDialFlag(0, true);
        QVERIFY(thread.startForDials());
        QVERIFY(thread.startForTrend());
        QVERIFY(thread.dialActive() && thread.trendActive());
        QVERIFY(thread.isRunning());
        QTRY_VERIFY(page.samples > 2 && page.channels > 2);
        thread.stopDials();
        QVERIFY(!thread.dialActive());
        // The trend page alone keeps the thread going; the dial page gets at
        // most the sample of the cycle that was handing it out.
        const int samples = page.samples;
        const int channels = page.channels;
        QTRY_VERIFY(page.channels > channels + 2);
        QVERIFY(thread.isRunning());
        QVERIFY(page.samples <= samples + 1);
        thread.stopTrend();
        QVERIFY(thread.wait(5000));
        QVERIFY(!thread.isRunning());
        QCOMPARE(thread.trendValue(0), 0.0);
    }

    void lostLinkEndsTheThread()
    {
        attach("ZM-043-7.5K");
        MonitorThread thread(&m_parameters);
        QSignalSpy finished(&thread, &QThread::finished);
        monitorData().setDialFlag(0, true);
        QVERIFY(thread.startForDials());
        SimFaults dead;
        dead.noAnswer = true;
        m_line->setFaults(1, dead);
        QVERIFY(finished.wait(10000));
        QVERIFY(linkState().linkLost);
        QVERIFY(thread.dialActive());  // the pages put themselves off line
        QVERIFY(m_ui.messages().isEmpty());
    }

    void identityRecords_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("record");
        QTest::newRow("ZM (F range)") << "ZM-043-7.5K"
                                      << QStringList{"ZM-043-7.5KW", "V0.33", "12.86A", "440V", ""};
        QTest::newRow("ZM-K (XGT range)") << "ZM-043-7.5K-K"
                                          << QStringList{"ZM-043-7.5K-K", "V0.33", "12.86A",
                                                         "440V", "0"};
        QTest::newRow("ZM-K 185 kW") << "ZM-043-185K-K"
                                     << QStringList{"ZM-043-185K-K", "V0.33", "317.3A", "440V",
                                                    "0"};
        QTest::newRow("ZD (BCS range), version from the drive")
            << "ZD-023-0.75K" << QStringList{"ZD-023-0.75KW", "0.4", "2.57A", "220V", "0"};
        QTest::newRow("ZP (E range)") << "ZP-043-22K"
                                      << QStringList{"ZP-043-22KW", "1", "37.74A", "440V", "0"};
        QTest::newRow("ZM-KX (L range)") << "ZM-043-5.5K-KX"
                                         << QStringList{"ZM-043-5.5K-KX", "V0.33", "9.43A",
                                                        "440V", "0"};
        QTest::newRow("ZQ (A range)") << "ZQ1-043-5.5K"
                                      << QStringList{"ZQ1-043-5.5KW", "V0.33", "9.43A", "440V",
                                                     "0"};
        QTest::newRow("ZN") << "ZN-020-5.5K" << QStringList{"ZN-020-5.5K", "0.1", "19A", ""};
    }
    void identityRecords()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, record);
        auto drive = attach(model);
        drive->write(77, 2);
        m_parameters.writes.clear();
        IdentityRead identity(m_parameters);
        QCOMPARE(identity.run(), record);
        QCOMPARE(drive->parameter(77).value, quint16(2));  // restored
        QVERIFY(!linkState().acceptReject77);
        QVERIFY(!linkState().silentReads);
    }

    void versionTexts_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << "0.33" << "V0.33";
        QTest::newRow("one decimal") << "0.4" << "V0.40";
        QTest::newRow("whole number") << "1" << "V1.00";
        QTest::newRow("four characters") << "1.10" << "V1.10";
    }
    void versionTexts()
    {
        QFETCH(QString, version);
        QFETCH(QString, text);
        attach("ZM-043-7.5K");
        m_parameters.version = version;
        QCOMPARE(IdentityRead(m_parameters).run().value(1), text);
        m_parameters.version = "0.33";
    }

    void refusedGuardWriteStillStarts()
    {
        auto drive = attach("ZM-043-7.5K");
        drive->setRefusedWrite(77, SimulatedDrive::IllegalValue);
        MonitorThread thread(&m_parameters);
        MonitorPage<RecordingPage> page;
        thread.setDialPage(&page);
        QVERIFY(thread.startForDials());
        QCOMPARE(page.record.value(0), QString("ZM-043-7.5KW"));
        thread.stopDials();
        thread.wait();
        QVERIFY(!linkState().acceptReject77);
        // Without the flag the same refusal is a failure again.
        QVERIFY(!currentDriver()->writeRegister(77, 1));
    }

    void failedIdentityChangesNothing_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("general") << "ZM-043-7.5K";
        QTest::newRow("series H") << "ZN-020-5.5K";
    }
    void failedIdentityChangesNothing()
    {
        QFETCH(QString, model);
        auto drive = attach(model);
        drive->setParameterValue(77, 2);
        drive->setRefusedRegister(56, SimulatedDrive::IllegalAddress);
        MonitorThread thread(&m_parameters);
        QVERIFY(!thread.startForDials());
        QVERIFY(!thread.dialActive());
        QVERIFY(!thread.isRunning());
        QVERIFY2(!linkState().acceptReject77, "a failed read leaves no rejected write accepted");
        // The write guard was opened for the read; it is closed again.
        QCOMPARE(drive->parameter(77).value, quint16(2));
        setSeriesLetter('0');
        QVERIFY(!thread.startForDials());  // no series, no register range
    }

    // Register 77 goes back to the value the drive held, 0xFFFF (read as
    // 9999) included.
    void guardRestoredAsHeld_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("held");
        QTest::newRow("general, 2") << "ZM-043-7.5K" << 2;
        QTest::newRow("general, FFFF") << "ZM-043-7.5K" << 0xFFFF;
        QTest::newRow("series H, 0") << "ZN-020-5.5K" << 0;
        QTest::newRow("series H, 2") << "ZN-020-5.5K" << 2;
        QTest::newRow("series H, FFFF") << "ZN-020-5.5K" << 0xFFFF;
    }
    void guardRestoredAsHeld()
    {
        QFETCH(QString, model);
        QFETCH(int, held);
        auto drive = attach(model);
        drive->setParameterValue(77, quint16(held));
        QVERIFY(!IdentityRead(m_parameters).run().isEmpty());
        const QList<int> writes = m_driver->valuesWrittenTo(77);
        QVERIFY(writes.size() >= 2);  // opened, restored
        QCOMPARE(writes.last(), held);
        QCOMPARE(drive->parameter(77).value, quint16(held));
    }

    // The first identity parameter reads 0 or nothing, or the model string
    // has fewer than three pieces: the version is unknown and the voltage
    // class comes from the model string.
    void voltageClassFromTheModel_data()
    {
        QTest::addColumn<QString>("driveModel");
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("p301");  // NaN: what the drive holds
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("voltage");
        const double held = qQNaN();
        // The second character of the voltage code decides: 2 and 3 name a
        // class, anything else (4 in ZM-043) none.
        QTest::newRow("P.301 reads 0, code 023")
            << "ZM-023-7.5K" << "ZM-023-7.5K" << 0.0 << "---" << "220V";
        QTest::newRow("P.301 reads 0, code 033")
            << "ZM-033-7.5K" << "ZM-033-7.5K" << 0.0 << "---" << "440V";
        QTest::newRow("P.301 reads 0, code 043")
            << "ZM-043-7.5K" << "ZM-043-7.5K" << 0.0 << "---" << "---";
        QTest::newRow("P.301 unreadable") << "ZM-023-7.5K" << "ZM-023-7.5K" << -1.0 << "---"
                                          << "220V";
        QTest::newRow("model of two pieces") << "ZM-043-7.5K" << "ZM-043" << held << "---"
                                             << "---";
        QTest::newRow("P.301 reads 2: from the drive")
            << "ZM-043-7.5K" << "ZM-043-7.5K" << 2.0 << "V0.33" << "220V";
    }
    void voltageClassFromTheModel()
    {
        QFETCH(QString, driveModel);
        QFETCH(QString, model);
        QFETCH(double, p301);
        QFETCH(QString, version);
        QFETCH(QString, voltage);
        attach(driveModel);
        setModelString(model);
        if (!qIsNaN(p301))
            m_parameters.readings.insert(301, p301);
        const QStringList record = IdentityRead(m_parameters).run();
        QCOMPARE(record.value(0), model + "W");
        QCOMPARE(record.value(1), version);
        QCOMPARE(record.value(3), voltage);
    }

    // Series H names the drive from P.300 and P.301 only for 220 V and
    // 440 V; otherwise the model string stands and the version is unknown.
    void seriesHVoltages_data()
    {
        QTest::addColumn<double>("p301");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("version");
        QTest::newRow("220 V") << 220.0 << "ZN-020-7.5K" << "0.1";
        QTest::newRow("440 V") << 440.0 << "ZN-040-7.5K" << "0.1";
        QTest::newRow("380 V") << 380.0 << "ZN-020-7.5K-S" << "---";
        QTest::newRow("0") << 0.0 << "ZN-020-7.5K-S" << "---";
        QTest::newRow("unreadable") << -1.0 << "ZN-020-7.5K-S" << "---";
    }
    void seriesHVoltages()
    {
        QFETCH(double, p301);
        QFETCH(QString, drive);
        QFETCH(QString, version);
        attach("ZN-020-7.5K");
        setModelString("ZN-020-7.5K-S");  // tells the model string from a built name
        m_parameters.readings.insert(301, p301);
        const QStringList record = IdentityRead(m_parameters).run();
        QCOMPARE(record.value(0), drive);
        QCOMPARE(record.value(1), version);
    }

    // A hand-over on another thread returns once the call into the old page
    // has ended, never waits for the line, and no call reaches the old page
    // afterwards.
    void handOverWaitsForTheCallNotTheLine_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<bool>("lineHeld");
        for (bool held : {false, true}) {
            const char *when = held ? "line held" : "call in progress";
            QTest::addRow("detached, %s", when) << int(Detach) << held;
            QTest::addRow("another page attached, %s", when) << int(Replace) << held;
            QTest::addRow("deleted while attached, %s", when) << int(Delete) << held;
        }
    }
    void handOverWaitsForTheCallNotTheLine()
    {
        QFETCH(int, how);
        QFETCH(bool, lineHeld);
        attach("ZM-043-7.5K");
        for (int k = 0; k < 3; ++k)
            monitorData().setDialFlag(k, true);
        MonitorThread thread(&m_parameters);
        CallWatch watch;
        watch.lingerMs = lineHeld ? 0 : 20;
        auto *page = new MonitorPage<LingeringPage>(watch);
        MonitorPage<RecordingPage> next;
        thread.setDialPage(page);
        thread.setTrendPage(&next);
        QVERIFY(thread.startForDials());
        QVERIFY(thread.startForTrend());
        if (lineHeld) {
            QTRY_VERIFY(watch.calls > 2);
            linkState().portLock.acquire();  // the monitor thread waits in its next exchange
        } else {
            QTRY_VERIFY(watch.inside > 0);
        }
        std::atomic<bool> done{false};
        int insideAfter = -1;
        std::thread other([&] {
            handOver(thread, page, &next, how);
            insideAfter = watch.inside;
            done = true;
        });
        for (int i = 0; i < 500 && !done; ++i)
            QThread::msleep(10);
        const bool handedOver = done;
        if (lineHeld)
            linkState().portLock.release();
        other.join();
        QVERIFY2(handedOver, "the hand-over waited for the line");
        QCOMPARE(insideAfter, 0);
        const int calls = watch.calls;
        const int channels = next.channels;
        QTRY_VERIFY(next.channels > channels + 3);  // the cycles go on
        QCOMPARE(watch.calls.load(), calls);
        QCOMPARE(watch.intoDying.load(), 0);
        QCOMPARE(next.samples > 0, how == Replace);
        thread.stopDials();
        thread.stopTrend();
        QVERIFY(thread.wait(5000));
        if (how != Delete)
            delete page;
    }

    // A page may hand itself over from inside its call on the monitor thread.
    void handOverFromInsideACall_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("the page detaches itself") << int(DetachSelf);
        QTest::newRow("detached through the thread") << int(Detach);
        QTest::newRow("another page attached") << int(Replace);
        QTest::newRow("the page deletes itself") << int(Delete);
    }
    void handOverFromInsideACall()
    {
        QFETCH(int, how);
        attach("ZM-043-7.5K");
        monitorData().setDialFlag(0, true);
        MonitorThread thread(&m_parameters);
        MonitorPage<RecordingPage> next;
        CallWatch watch;
        auto *page = new MonitorPage<LingeringPage>(watch);
        std::atomic<bool> deleted{false};
        watch.atEnd = [&](DialPageSink *self) {
            if (how == DetachSelf) {
                self->detachFromMonitor();
            } else if (how == Detach) {
                thread.setDialPage(nullptr);
            } else if (how == Replace) {
                thread.setDialPage(&next);
            } else {
                delete self;
                deleted = true;
            }
        };
        thread.setDialPage(page);
        thread.setTrendPage(&next);
        QVERIFY(thread.startForDials());
        QVERIFY(thread.startForTrend());
        QTRY_VERIFY(watch.calls > 0);
        const int channels = next.channels;
        QTRY_VERIFY(next.channels > channels + 3);  // no deadlock: the cycles go on
        QCOMPARE(watch.calls.load(), 1);
        QCOMPARE(next.samples > 0, how == Replace);
        thread.stopDials();
        thread.stopTrend();
        QVERIFY(thread.wait(5000));
        if (!deleted)
            delete page;
    }

    // Attached to another thread, a page is no longer called by the first;
    // a thread that ends before its pages leaves them nothing to detach from.
    void pagesAndTwoThreads()
    {
        attach("ZM-043-7.5K");
        monitorData().setDialFlag(0, true);
        MonitorThread second(&m_parameters);
        MonitorPage<RecordingPage> page;
        MonitorPage<RecordingPage> other;
        auto *first = new MonitorThread(&m_parameters);
        first->setDialPage(&page);
        first->setTrendPage(&other);
        QVERIFY(first->startForDials());
        QVERIFY(first->startForTrend());
        QTRY_VERIFY(page.samples > 2);
        second.setDialPage(&page);
        const int samples = page.samples;
        const int channels = other.channels;
        QTRY_VERIFY(other.channels > channels + 3);
        QCOMPARE(page.samples.load(), samples);
        delete first;
        other.TrendPageSink::detachFromMonitor();  // no thread to reach any more
        QVERIFY(second.startForDials());
        QTRY_VERIFY(page.samples > samples + 2);
        second.stopDials();
        QVERIFY(second.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestMonitorThread)
#include "tst_monitorthread.moc"
