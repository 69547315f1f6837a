#include "common/clirun.h"
#include "common/testsupport.h"
#include "link/readwritertu.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

// The program's own driver against simulated drives on the in-process line:
// functions, shared lines, the timing of the wire and injected faults; and
// the simulated line served on a pseudo-terminal by the command-line tool.
class TestSimLine : public QObject
{
    Q_OBJECT

    std::shared_ptr<SimulatedLine> m_line;
    std::shared_ptr<SimPort> m_port;
    std::unique_ptr<ReadWriteRTU> m_driver;
    DataDir m_dir;
    RecordingInteraction m_ui;
    ErrorRecorder m_errors;

    void useLine(const QList<QPair<int, QString>> &drives)
    {
        m_line = std::make_shared<SimulatedLine>(1, 0);
        for (const auto &d : drives) {
            auto drive = std::make_shared<SimulatedDrive>(d.first, d.second);
            drive->setManualClock(true);
            m_line->addDrive(drive);
        }
        m_port = std::make_shared<SimPort>(m_line, true);
        m_port->applySettings(LineSettings{});
        m_port->open();
        linkState().reset();
        linkState().setSerialPort(m_port);
        linkState().setStation(drives.first().first);
    }

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        setUserInteraction(&m_ui);
    }
    void init()
    {
        resetSharedState();
        useLine({{1, "ZM-043-7.5K"}});
        m_driver.reset(new ReadWriteRTU);
        m_driver->setProtocol(1);
        m_errors.clear();
    }
    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
    }

    void functionsDoWhatTheirNamesSay()
    {
        auto drive = m_line->drive(1);
        QCOMPARE(m_driver->runFunction("MOD"), int('0'));
        QCOMPARE(m_driver->runFunction("EXT"), 0);
        QCOMPARE(m_driver->runFunction("MOD"), int('1'));
        QCOMPARE(m_driver->runFunction("JOG"), 0);
        QCOMPARE(m_driver->runFunction("MOD"), int('2'));
        QCOMPARE(m_driver->runFunction("CU0"), 0);
        QCOMPARE(m_driver->runFunction(QByteArray("FRE\x13\x88", 5)), 0);  // 50.00 Hz
        QCOMPARE(m_driver->runFunction("FWD"), 0);
        drive->advance(6000);
        QCOMPARE(m_driver->runFunction("STA") & 0x0B, 0x0B);
        QCOMPARE(m_driver->runFunction("M0R"), 0);
        QCOMPARE(m_driver->lastReading(), 50.0);
        QCOMPARE(m_driver->runFunction("M3R"), 0);
        QCOMPARE(m_driver->lastReading(), 50.0);
        QCOMPARE(m_driver->runFunction("M4W"), 0);
        QCOMPARE(m_driver->runFunction("M4R"), 0);
        QVERIFY(m_driver->lastReading() > 0);  // analog input follows the command
        QCOMPARE(m_driver->runFunction("MCR"), 0);
        QCOMPARE(int(m_driver->lastReading()) & 0x0B, 0x0B);
        QCOMPARE(m_driver->runFunction("REV"), 0);
        drive->advance(12000);
        QCOMPARE(m_driver->runFunction("STA") & 0x04, 0x04);
        QCOMPARE(m_driver->runFunction("STO"), 0);
        drive->advance(12000);
        QCOMPARE(m_driver->runFunction("STA") & 0x07, 0);
        // Running in EXT mode is the terminals' business: refused.
        QCOMPARE(m_driver->runFunction("EXT"), 0);
        QCOMPARE(m_driver->runFunction("FWD"), -1);
        QCOMPARE(m_errors.codes(), QList<int>{14});
        QCOMPARE(m_driver->runFunction("999"), 0);
        QVERIFY(m_errors.codes().size() == 1);
    }

    void registersReadAndWritten()
    {
        QCOMPARE(m_driver->readRegister(7, 0.1), 5.0);
        QVERIFY(m_driver->writeRegister(7, 123));
        QCOMPARE(m_driver->readRegister(7, 0.1), 12.3);
        QCOMPARE(m_driver->readRegister(188, 0.01), 1.0);
        QCOMPARE(m_driver->readRegister(999, 1), -1.0);
        QCOMPARE(m_errors.codes(), QList<int>{12});
        QVERIFY(!m_driver->writeRegister(7, 50000));
        QCOMPARE(m_errors.codes(), (QList<int>{12, 14}));
        QCOMPARE(m_driver->readPacked(SimRegisters::RamBase1 + 4, 4), std::optional<quint32>(0x94B9DE03));
    }

    void severalDrivesShareTheLine()
    {
        useLine({{1, "ZN-020-5.5K"}, {2, "ZM-043-7.5K-K"}, {200, "ZQ1-043-5.5K"}});
        linkState().setStation(2);
        QCOMPARE(m_driver->readRegister(188, 0.01), 3.3);  // raw 330: the reader corrects by series
        linkState().setStation(200);
        QCOMPARE(m_driver->readRegister(1401, 1), 3.0);
        linkState().setStation(1);
        QCOMPARE(m_driver->readRegister(300, 0.01), 5.5);
        linkState().setStation(9);
        QCOMPARE(m_driver->readRegister(300, 0.01), -1.0);
        QCOMPARE(m_errors.codes(), QList<int>{8});
    }

    void answersTakeTheWireTime_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("polls");
        // 8 request and 7 answer bytes of 10 bits, 2 ms turnaround; the poll
        // after the last byte sees it, two quiet polls follow.
        QTest::newRow("9600") << 9600 << 18 + 2;   // 15 x 1.042 + 2 = 17.6 ms
        QTest::newRow("19200") << 19200 << 10 + 2; // 15 x 0.521 + 2 = 9.8 ms
        QTest::newRow("115200") << 115200 << 4 + 2; // 15 x 0.087 + 2 = 3.3 ms
    }
    void answersTakeTheWireTime()
    {
        QFETCH(int, baud);
        QFETCH(int, polls);
        LineSettings s;
        s.baudRate = baud;
        m_port->applySettings(s);
        m_port->clearWrites();
        QCOMPARE(m_driver->readRegister(7, 0.1), 5.0);
        QCOMPARE(m_port->readStats().value(0).polls, polls);
    }

    void injectedFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<double>("result");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("no answer") << "none" << -1.0 << 3 << QList<int>{8};
        QTest::newRow("late answer") << "late" << 5.0 << 2 << QList<int>{};
        QTest::newRow("short answer") << "short" << -1.0 << 1 << QList<int>{14};
        QTest::newRow("corrupt checksum") << "corrupt" << -1.0 << 1 << QList<int>{14};
        QTest::newRow("refused register") << "refuse" << -1.0 << 1 << QList<int>{12};
        QTest::newRow("one frame in two dropped") << "drop" << 5.0 << 2 << QList<int>{};
    }
    void injectedFaults()
    {
        QFETCH(QString, fault);
        QFETCH(double, result);
        QFETCH(int, writes);
        QFETCH(QList<int>, codes);
        SimFaults f;
        f.noAnswer = fault == "none";
        f.lateMs = fault == "late" ? 60 : 0;
        f.shortBy = fault == "short" ? 2 : 0;
        f.corruptChecksum = fault == "corrupt";
        f.dropOneIn = fault == "drop" ? 1 : 0;
        m_line->setFaults(1, f);
        if (fault == "refuse")
            m_line->drive(1)->setRefusedRegister(7, SimulatedDrive::IllegalAddress);
        if (fault == "drop") {
            f.dropOneIn = 2;
            m_line->setFaults(1, f);
            QCOMPARE(m_driver->readRegister(7, 0.1), 5.0);  // frame 1 answered
            m_port->clearWrites();
        }
        QCOMPARE(m_driver->readRegister(7, 0.1), result);
        QCOMPARE(m_port->writes().size(), writes);
        QCOMPARE(m_errors.codes(), codes);
    }

    void servedOnAPseudoTerminal_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("rtu") << "rtu";
        QTest::newRow("ascii") << "ascii";
        QTest::newRow("native") << "native";
    }
    void servedOnAPseudoTerminal()
    {
        QFETCH(QString, protocol);
        QProcess sim;
        const ProcessStopper stop(sim);
        const QString link = m_dir.path() + "/simline-" + protocol;
        sim.start(VANTREO_BIN_DIR "/vantreo-cli",
                  {"--data", m_dir.path(), "simulate", "--pty", "--link", link, "--protocol",
                   protocol, "--line-end", "crlf", "--baud", "19200", "--drive", "3:ZN-020-5.5K", "--drive",
                   "4:ZM-043-7.5K"});
        QVERIFY(sim.waitForReadyRead(5000));
        const QString path = QString::fromUtf8(sim.readLine()).trimmed();
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));
        QVERIFY(QFileInfo(link).isSymLink());

        auto cli = [&](const QStringList &args) {
            QProcess p;
            p.start(VANTREO_BIN_DIR "/vantreo-cli",
                    QStringList{"--data", m_dir.path(), "--port", link, "--protocol", protocol,
                                "--line-end", "crlf", "--baud", "19200"} + args);
            p.waitForFinished(20000);
            return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        };
        QCOMPARE(cli({"--station", "3", "read", "300", "0.01"}), QString("5.5\n"));
        QCOMPARE(cli({"--station", "4", "write", "7", "75"}), QString());
        QCOMPARE(cli({"--station", "4", "read", "7", "0.1"}), QString("7.5\n"));
        QCOMPARE(cli({"--station", "4", "function", "FWD"}), QString("0\n"));
        QCOMPARE(cli({"--station", "5", "read", "7"}), QString("Communication Error!\n"));

        ::kill(pid_t(sim.processId()), SIGTERM);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY2(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink(), "link removed");
    }
};

QTEST_GUILESS_MAIN(TestSimLine)
#include "tst_simline.moc"
