#include "link/driverregistry.h"
#include "base/drivetarget.h"
#include "base/series.h"
#include "base/sharedstate.h"
#include "common/stationlog.h"
#include "common/testsupport.h"
#include "link/checksums.h"
#include "link/driverfactory.h"
#include "link/faketransport.h"
#include "link/frameobserver.h"
#include "link/linkjob.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QMutex>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
const char *const kModel = "ZM-043-7.5K";
constexpr int kParameter = 7;

}  // namespace

class TestDriveTarget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
        loadSeriesFeatures();
        linkState().setSerialPort(nullptr);
        linkState().reset();
        setUserInteraction(&m_ui);
        m_ui.clear();
    }
    void cleanup()
    {
        if (m_log)
            linkState().removeFrameObserver(m_log);
        m_log.reset();
        linkState().setSerialPort(nullptr);
        linkState().reset();
        setUserInteraction(nullptr);
        setDataDirectory(QString());
    }

    void scopeBindsSeriesModelAndStation()
    {
        linkState().setStation(4);
        setSeriesLetter('F');
        setModelString("ZM-043-7.5K");
        QCOMPARE(exchangeStation(), 4);
        {
            DriveTarget other;
            other.station = 9;
            other.series = 'B';
            other.model = "ZN-020-5.5K";
            DriveTargetScope scope(other);
            QCOMPARE(exchangeStation(), 9);
            QCOMPARE(exchangeStationText(), QByteArray("09"));
            QCOMPARE(seriesLetter(), 'B');
            QCOMPARE(modelString(), QString("ZN-020-5.5K"));
            QCOMPARE(currentDriveTarget().station, 9);
            {
                DriveTarget inner = other;
                inner.station = 200;
                DriveTargetScope nested(inner);
                QCOMPARE(exchangeStationText(), QByteArray("C8"));
            }
            QCOMPARE(exchangeStation(), 9);
        }
        // The process-wide choice is untouched by what a scope did.
        QCOMPARE(exchangeStation(), 4);
        QCOMPARE(seriesLetter(), 'F');
        QCOMPARE(modelString(), QString("ZM-043-7.5K"));
    }

    // A job made while station 1 is current keeps talking to station 1 when
    // station 2 is chosen after its first exchange, in every protocol, and
    // reads drive 1's values only.
    void jobKeepsItsStation_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::newRow("native") << 0;
        QTest::newRow("Modbus RTU") << 1;
        QTest::newRow("Modbus ASCII") << 2;
    }
    void jobKeepsItsStation()
    {
        QFETCH(int, protocol);
        auto line = std::make_shared<SimulatedLine>(protocol, 2);
        auto one = makeSimulatedDrive(1, kModel);
        auto two = makeSimulatedDrive(2, kModel);
        one->setParameterValue(kParameter, 111);
        two->setParameterValue(kParameter, 222);
        line->addDrive(one);
        line->addDrive(two);
        auto port = std::make_shared<SimPort>(line, true);
        QVERIFY(port->open());
        LinkState &link = linkState();
        link.protocolCode = quint8(protocol);
        link.lineEnd = 2;
        link.setSerialPort(port);
        setModelString(kModel);
        setSeriesLetter(seriesLetterForModel(kModel, '0'));
        setCurrentDriver(createDriver(protocol));

        link.setStation(2);
        const double second = currentDriver()->readRegister(kParameter, 1);
        link.setStation(1);
        const double first = currentDriver()->readRegister(kParameter, 1);
        QVERIFY(first > 0 && second > 0 && first != second);

        m_log = std::make_shared<StationLog>();
        // The click on station 2 lands after the job's first frame.
        m_log->onSent = [](int sent) {
            if (sent == 1)
                linkState().setStation(2);
        };
        link.addFrameObserver(m_log);
        QList<double> values;
        auto job = makeLinkJob<FunctionJob>([&values](LinkJob &) {
            for (int i = 0; i < 6; ++i)
                values.append(currentDriver()->readRegister(kParameter, 1));
        });
        QCOMPARE(job->target().station, 1);
        LinkWorker worker;
        worker.post(job);
        QVERIFY(job->waitForFinished(20000));
        link.removeFrameObserver(m_log);

        QCOMPARE(int(link.stationByte), 2);
        const QList<int> stations = m_log->stations();
        QVERIFY(stations.size() >= 6);
        for (int station : stations)
            QCOMPARE(station, 1);
        QCOMPARE(values.size(), 6);
        for (double value : values)
            QCOMPARE(value, first);
        for (const auto &m : m_ui.messages())
            qWarning("message: %s", qPrintable(m.text));
        QCOMPARE(m_ui.messages().size(), 0);
    }

    // The answer is checked against the station of its own request: a sound
    // answer from the station current by then, not the one asked, is no value.
    void answerCheckedAgainstTheRequest_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("answering");
        QTest::addColumn<bool>("taken");
        QTest::newRow("RTU, the station asked") << 1 << 1 << true;
        QTest::newRow("RTU, the current station") << 1 << 2 << false;
        QTest::newRow("ASCII, the station asked") << 2 << 1 << true;
        QTest::newRow("ASCII, the current station") << 2 << 2 << false;
    }
    void answerCheckedAgainstTheRequest()
    {
        QFETCH(int, protocol);
        QFETCH(int, answering);
        QFETCH(bool, taken);
        auto port = std::make_shared<FakeTransport>();
        QVERIFY(port->open());
        // Three attempts, each answered by `answering` with the value 0x006F.
        for (int i = 0; i < 3; ++i)
            port->enqueueReply(readAnswer(protocol, answering, 0x006F), 5, 0);
        LinkState &link = linkState();
        link.protocolCode = quint8(protocol);
        link.lineEnd = 2;
        link.setSerialPort(port);
        setCurrentDriver(createDriver(protocol));
        link.setStation(2);
        link.quietReads = true;  // the refusal is the test's to see

        DriveTarget target;
        target.station = 1;
        DriveTargetScope scope(target);
        const double value = currentDriver()->readRegister(kParameter, 1);
        QCOMPARE(value, taken ? 111.0 : -1.0);
        const QList<QByteArray> writes = port->writes();
        QVERIFY(!writes.isEmpty());
        // The request itself went to station 1.
        if (protocol == 1)
            QCOMPARE(int(quint8(writes.first().at(0))), 1);
        else
            QCOMPARE(writes.first().mid(1, 2), QByteArray("01"));
    }

private:
    static QByteArray readAnswer(int protocol, int station, quint16 value)
    {
        if (protocol == 1) {
            QByteArray frame;
            frame.append(char(station));
            frame.append(char(0x03));
            frame.append(char(0x02));
            frame.append(char(value >> 8));
            frame.append(char(value & 0xFF));
            const quint16 crc = modbusCrc(frame);
            frame.append(char(crc & 0xFF));
            frame.append(char(crc >> 8));
            return frame;
        }
        const QByteArray text = hexByte(quint8(station)) + "0302" + hexWord(value);
        return ':' + text + hexByte(modbusLrc(text)) + "\r\n";
    }

    RecordingInteraction m_ui;
    std::shared_ptr<StationLog> m_log;
};

QTEST_GUILESS_MAIN(TestDriveTarget)
#include "tst_drivetarget.moc"
