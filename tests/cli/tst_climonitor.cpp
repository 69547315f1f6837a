#include "common/clirun.h"
#include "common/testsupport.h"
#include "parameters/parameterstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QtTest>

#include <atomic>

// vantreo-cli monitor against a simulated drive: the identity line, one line
// per cycle, and a clean end when the link goes.
class TestCliMonitor : public QObject
{
    Q_OBJECT

    DataDir m_dir;

    using Run = CliRun;

    Run run(const QStringList &args, std::shared_ptr<Transport> port)
    {
        return runCliInProcess(QStringList{"--data", m_dir.path(), "--port", "x"} + args, port);
    }

private slots:
    void initTestCase()
    {
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt", "InvParameter/Version.txt",
                              "InvParameter/INVParameter_num.txt", "InvParameter/ReadPar.txt",
                              "InvParameter/F_InvParameter_Eng.xml",
                              "InvParameter/H_InvParameter_Eng.xml",
                              "hideparameter/ZMHideParameter.xml",
                              "hideparameter/ZNHideParameter.xml"})
            m_dir.copyShipped(f);
    }
    void init()
    {
        resetSharedState();
        resetParameterState();
    }

    void identityThenOneLinePerCycle_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<int>("kind");
        QTest::newRow("rtu") << "rtu" << 1;
        QTest::newRow("ascii") << "ascii" << 2;
        QTest::newRow("native") << "native" << 0;
    }
    void identityThenOneLinePerCycle()
    {
        QFETCH(QString, protocol);
        QFETCH(int, kind);
        auto line = std::make_shared<SimulatedLine>(kind, 1);
        auto drive = makeSimulatedDrive(1, "ZM-043-7.5K");
        drive->write(SimRegisters::FrequencyCommand, 2500);
        drive->write(SimRegisters::Control, 2);
        line->addDrive(drive);
        const Run r = run({"--protocol", protocol, "--line-end", "cr", "--model", "ZM-043-7.5K",
                           "monitor", "--quantities", "3,12", "--cycles", "4"},
                          std::make_shared<SimPort>(line, true));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.lines.size(), 5);
        QCOMPARE(r.lines.at(0), QString("ZM-043-7.5KW\tV1.00\t12.86A\t440V\t"));
        for (int i = 1; i < 5; ++i) {
            const QStringList f = r.lines.at(i).split('\t');
            QCOMPARE(f.size(), 3);
            QCOMPARE(f.at(1), QString("25"));  // target frequency
            QCOMPARE(f.at(2).toInt() & 0x03, 0x03);  // running forward
        }
    }

    void lostLinkEndsWithTheMessage()
    {
        auto line = std::make_shared<SimulatedLine>(1, 0);
        line->addDrive(makeSimulatedDrive(1, "ZM-043-7.5K"));
        // The line goes dead after the identity read and a few cycles.
        auto port = std::make_shared<FakeTransport>();
        std::atomic<int> requests{0};
        port->setResponder([line, &requests](const QByteArray &request) {
            return ++requests > 40 ? QList<FakeTransport::Reply>() : line->respond(request);
        });
        const Run r = run({"--protocol", "rtu", "--model", "ZM-043-7.5K", "monitor",
                           "--seconds", "60"},
                          port);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
        QVERIFY(r.lines.size() >= 2);
    }

    void identityFailureIsReported()
    {
        auto port = std::make_shared<FakeTransport>();
        const Run r = run({"--protocol", "rtu", "--model", "ZM-043-7.5K", "monitor"}, port);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
        QVERIFY(r.lines.isEmpty());
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no model") << QStringList{"monitor"};
        QTest::newRow("quantity 24") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--quantities", "1,24"};
        QTest::newRow("both limits") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--cycles", "2", "--seconds", "1"};
        QTest::newRow("no count") << QStringList{"--model", "ZM-043-7.5K", "monitor", "--cycles"};
        QTest::newRow("zero cycles") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--cycles", "0"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        auto port = std::make_shared<FakeTransport>();
        const Run r = run(QStringList{"--protocol", "rtu"} + args, port);
        QCOMPARE(r.status, 2);
        QVERIFY(port->writes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliMonitor)
#include "tst_climonitor.moc"
