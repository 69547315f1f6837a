#include "common/clirun.h"
#include "common/testsupport.h"
#include "parameters/parameterstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QJsonDocument>
#include <QJsonObject>
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
        // Telling series apart takes every catalogue, and the drives are seeded from them.
        for (const char s : QByteArray("HBCSEFGXTLA"))
            m_dir.copyShipped(QString("InvParameter/%1_InvParameter_Eng.xml").arg(s));
        const QDir hidden(VANTREO_SOURCE_DATA "/hideparameter");
        for (const QString &f : hidden.entryList(QDir::Files))
            m_dir.copyShipped("hideparameter/" + f);
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

    // Without --model the drive says who it is; what the tool then does is what
    // it does when told the model.
    void findsTheDriveWithoutItsModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("series");
        QTest::newRow("ZM") << "ZM-043-7.5K" << "rtu" << "F";
        QTest::newRow("ZM ascii") << "ZM-043-11K" << "ascii" << "F";
        QTest::newRow("ZN") << "ZN-020-5.5K" << "rtu" << "H";
        QTest::newRow("ZN native") << "ZN-040-7.5K" << "native" << "H";
        QTest::newRow("ZM-K") << "ZM-043-7.5K-K" << "rtu" << "G";
        QTest::newRow("ZM-K big") << "ZM-043-185K-K" << "rtu" << "G";
        QTest::newRow("ZP2") << "ZP2-043-2.2K" << "rtu" << "X";
        QTest::newRow("ZR2") << "ZR2-043-15K" << "rtu" << "T";
        QTest::newRow("ZM-KX") << "ZM-043-5.5K-KX" << "rtu" << "L";
        QTest::newRow("ZQ") << "ZQ1-043-5.5K" << "rtu" << "A";
        QTest::newRow("ZD 220 V") << "ZD-023-0.75K" << "rtu" << "B";
        QTest::newRow("ZW") << "ZW-023-1.5K" << "rtu" << "C";
        QTest::newRow("ZR") << "ZR-043-11K" << "rtu" << "S";
        QTest::newRow("ZP") << "ZP-043-22K" << "rtu" << "E";
    }
    void findsTheDriveWithoutItsModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, protocol);
        QFETCH(QString, series);
        const int kind = QStringList{"native", "rtu", "ascii"}.indexOf(protocol);
        auto line = std::make_shared<SimulatedLine>(kind, 1);
        line->addDrive(makeSimulatedDrive(1, model));
        auto port = std::make_shared<SimPort>(line, true);
        const QStringList link{"--protocol", protocol, "--line-end", "cr"};

        Run found = run(link + QStringList{"monitor", "--cycles", "1"}, port);
        QVERIFY2(found.status == 0, qPrintable(found.err));
        QVERIFY2(found.err.startsWith("vantreo-cli: found " + model + ", version "),
                 qPrintable(found.err));
        QVERIFY2(found.err.contains(", series " + series + " ("), qPrintable(found.err));
        resetSharedState();
        resetParameterState();
        Run told = run(link + QStringList{"--model", model, "monitor", "--cycles", "1"}, port);
        QCOMPARE(found.lines.value(0), told.lines.value(0));
        QVERIFY(found.err.contains(", version " + told.lines.value(0).section('\t', 1, 1) + ","));

        resetSharedState();
        resetParameterState();
        found = run(link + QStringList{"params", "get", "7"}, port);
        QVERIFY2(found.status == 0, qPrintable(found.err));
        QVERIFY2(found.err.contains("found " + model + ","), qPrintable(found.err));
        resetSharedState();
        resetParameterState();
        told = run(link + QStringList{"--model", model, "params", "get", "7"}, port);
        QCOMPARE(found.out, told.out);
    }

    void driveThatCannotBeIdentified_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<QString>("err");
        QTest::newRow("dead line") << false << "Communication Error!\n";
        QTest::newRow("refuses every register")
            << true << "vantreo-cli: the drive at station 1 did not say which it is; give its "
                       "--model\n";
    }
    void driveThatCannotBeIdentified()
    {
        QFETCH(bool, answers);
        QFETCH(QString, err);
        auto port = std::make_shared<FakeTransport>();
        int requests = 0;
        port->setResponder([answers, &requests](const QByteArray &) {
            ++requests;
            return answers ? QList<FakeTransport::Reply>{{withCrc(bytesOf("01 83 02")), 0}}
                           : QList<FakeTransport::Reply>();
        });
        for (const QStringList &command : {QStringList{"monitor"}, QStringList{"params", "read"}}) {
            resetSharedState();
            requests = 0;
            const Run r = run(QStringList{"--protocol", "rtu"} + command, port);
            QCOMPARE(r.status, 1);
            QCOMPARE(r.err, err);
            QCOMPARE(r.out, QString());
        }
        // A silent line is given up at once, not register after register.
        if (!answers)
            QVERIFY2(requests <= 2 * 3, qPrintable(QString::number(requests)));
    }

    void formats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("tsv") << "tsv";
        QTest::newRow("csv") << "csv";
        QTest::newRow("json") << "json";
    }
    void formats()
    {
        QFETCH(QString, format);
        auto line = std::make_shared<SimulatedLine>(1, 0);
        auto drive = makeSimulatedDrive(1, "ZM-043-7.5K");
        drive->write(SimRegisters::FrequencyCommand, 2500);
        drive->write(SimRegisters::Control, 2);
        line->addDrive(drive);
        const Run r = run({"--protocol", "rtu", "--model", "ZM-043-7.5K", "monitor",
                           "--quantities", "3,0", "--cycles", "3", "--format", format},
                          std::make_shared<SimPort>(line, true));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.lines.size(), 4);
        // The extra text (ZM-K's rating selection) is kept from earlier reads: not compared.
        const QString identity = "ZM-043-7.5KW\tV1.00\t12.86A\t440V\t";
        QList<QStringList> cycles;
        if (format == "json") {
            const QJsonObject first = QJsonDocument::fromJson(r.lines.at(0).toUtf8()).object();
            QCOMPARE(first.value("drive").toString(), QString("ZM-043-7.5KW"));
            QCOMPARE(first.value("current").toString(), QString("12.86A"));
            for (int i = 1; i < 4; ++i) {
                const QJsonObject o = QJsonDocument::fromJson(r.lines.at(i).toUtf8()).object();
                QCOMPARE(o.keys(), QStringList({"q0", "q3", "time"}));
                QVERIFY(o.value("time").isDouble());
                cycles << QStringList{QString::number(o.value("time").toDouble()),
                                      QString::number(o.value("q3").toDouble())};
            }
        } else if (format == "csv") {
            QVERIFY2(r.err.startsWith(identity), qPrintable(r.err));
            QCOMPARE(r.err.count('\n'), 1);
            QCOMPARE(r.lines.at(0), QString("time,q3,q0"));
            for (int i = 1; i < 4; ++i)
                cycles << r.lines.at(i).split(',');
        } else {
            QVERIFY2(r.lines.at(0).startsWith(identity), qPrintable(r.lines.at(0)));
            for (int i = 1; i < 4; ++i)
                cycles << r.lines.at(i).split('\t');
        }
        QCOMPARE(cycles.size(), 3);
        for (const QStringList &c : cycles) {
            QCOMPARE(c.value(1), QString("25"));  // target frequency
            QVERIFY(c.at(0).toDouble() >= 0);
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
        QTest::newRow("no model, zero cycles") << QStringList{"monitor", "--cycles", "0"};
        QTest::newRow("quantity 24") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--quantities", "1,24"};
        QTest::newRow("both limits") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--cycles", "2", "--seconds", "1"};
        QTest::newRow("no count") << QStringList{"--model", "ZM-043-7.5K", "monitor", "--cycles"};
        QTest::newRow("zero cycles") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                    "--cycles", "0"};
        QTest::newRow("negative seconds") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                         "--seconds", "-1"};
        QTest::newRow("unknown monitor option") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                               "--rate", "2"};
        QTest::newRow("bad format") << QStringList{"--model", "ZM-043-7.5K", "monitor",
                                                   "--format", "xml"};
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
