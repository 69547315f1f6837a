#include "common/peerrequired.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "common/clirun.h"
#include "common/ptynativepeer.h"
#include "common/testsupport.h"

// vantreo-cli end to end over pseudo-terminals: Modbus RTU and ASCII against
// a pymodbus slave joined by socat, the native protocol against a drive of
// the test's own.
class TestCliPeers : public QObject
{
    Q_OBJECT

    using Run = CliRun;

    Run runTool(const QStringList &args)
    {
        return runCliProcess(QStringList{"--data", m_dir.path()} + args);
    }

    // Collects the peer's output until `line` shows up or time runs out.
    bool waitForLine(QProcess &peer, const QString &line, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            m_peerOut += QString::fromUtf8(peer.readAllStandardOutput());
            if (m_peerOut.split('\n').contains(line)) return true;
            if (peer.state() == QProcess::NotRunning) return false;
            peer.waitForReadyRead(50);
        }
        return false;
    }

    static bool waitForFiles(const QStringList &files, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            bool all = true;
            for (const QString &f : files) all = all && QFileInfo::exists(f);
            if (all) return true;
            if (timer.elapsed() > timeoutMs) return false;
            QThread::msleep(20);
        }
    }

    static bool pymodbusInstalled()
    {
        if (!QFileInfo::exists(kPython)) return false;
        QProcess probe;
        probe.start(kPython, {"-c", "import pymodbus.server.async_io, serial_asyncio"});
        return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        m_dir.copyShipped("InvType/typeInfo.txt");
    }

    void modbusAgainstPymodbus_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("Modbus RTU") << "rtu";
        QTest::newRow("Modbus ASCII") << "ascii";
    }
    void modbusAgainstPymodbus()
    {
        QFETCH(QString, protocol);
        const QString socatPath = QStandardPaths::findExecutable("socat");
        if (socatPath.isEmpty())
            PEER_MISSING("socat is not installed");
        if (!pymodbusInstalled())
            PEER_MISSING("the Modbus peer needs /usr/bin/python3 with pymodbus (python3-pymodbus)");

        QTemporaryDir tmp;
        const QString toolSide = tmp.filePath("ttyTool"), peerSide = tmp.filePath("ttyPeer");
        QProcess socat;
        socat.start(socatPath, {"-d", "-d", "pty,raw,echo=0,link=" + toolSide,
                                "pty,raw,echo=0,link=" + peerSide});
        ProcessStopper stopSocat(socat);
        QVERIFY2(waitForFiles({toolSide, peerSide}, 10000), "socat made no pseudo-terminals");

        QProcess peer;
        m_peerOut.clear();
        peer.start(kPython, {QStringLiteral(VANTREO_PEERS_DIR "/modbus_peer.py"), "--port",
                             peerSide, "--framer", protocol, "--station", "3", "--register",
                             "300=1234", "--register", "4=0", "--register", "0x1000=2",
                             "--register", "0x1004=0", "--register", "0x1100=6000"});
        ProcessStopper stopPeer(peer);
        QVERIFY2(waitForLine(peer, "READY", 20000),
                 qPrintable("the peer did not start: " + peer.readAllStandardError()));

        const QStringList link{"--port", toolSide, "--protocol", protocol, "--station", "3"};
        Run r = runTool(link + QStringList{"read", "300", "0.01"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("12.34\n"));
        QCOMPARE(r.status, 0);

        r = runTool(link + QStringList{"write", "4", "4321"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QVERIFY(waitForLine(peer, "SET 4 4321", 5000));
        r = runTool(link + QStringList{"read", "4"});
        QCOMPARE(r.out, QString("4321\n"));

        r = runTool(link + QStringList{"read", "5"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data address!\n"));
        r = runTool(link + QStringList{"write", "6", "1"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data address!\n"));

        r = runTool(link + QStringList{"function", "MOD"});
        QCOMPARE(r.out, QString("2\n"));
        r = runTool(link + QStringList{"function", "FRE", "50"});
        QCOMPARE(r.status, 0);
        QVERIFY(waitForLine(peer, "SET 4100 5000", 5000));
        r = runTool(link + QStringList{"function", "M0R"});
        QCOMPARE(r.out, QString("60\n"));

        // Another station: the peer stays silent, the tool gives up.
        r = runTool({"--port", toolSide, "--protocol", protocol, "--station", "9", "read", "300"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
    }

    void nativeAgainstPtyDrive_data()
    {
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<QString>("lineEndOption");
        QTest::newRow("no line end") << 0 << "none";
        QTest::newRow("CR") << 1 << "cr";
        QTest::newRow("CR LF") << 2 << "crlf";
    }
    void nativeAgainstPtyDrive()
    {
        QFETCH(int, lineEnd);
        QFETCH(QString, lineEndOption);
        PtyNativePeer peer(5, lineEnd);
        QVERIFY(!peer.slavePath().isEmpty());
        NativeDrive &drive = peer.drive();
        drive.setRegister(217, 500, 2);
        drive.setRegister(905, 7);
        drive.setRegister(0x1000, 2);
        drive.setRegister(0x1001, 0x8102);
        drive.setRegister(0x1004, 0);
        drive.setRegister(0x1005, 0);
        drive.setRegister(0x1100, 6000, 2);

        const QStringList link{"--port",     peer.slavePath(), "--protocol", "native",
                               "--line-end", lineEndOption,    "--station",  "5"};
        Run r = runTool(link + QStringList{"read", "217"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("5\n"));
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.group(), 2);

        r = runTool(link + QStringList{"write", "905", "0"});
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.registerValue(905), 0);
        QCOMPARE(drive.group(), 9);

        r = runTool(link + QStringList{"function", "MOD"});
        QCOMPARE(r.out, QString("2\n"));
        r = runTool(link + QStringList{"function", "STA"});
        QCOMPARE(r.out, QString::number(0x8102) + "\n");
        r = runTool(link + QStringList{"function", "FRE", "60"});
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.registerValue(0x1004), 6000);
        r = runTool(link + QStringList{"function", "FWD"});
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.registerValue(0x1005), 2);
        r = runTool(link + QStringList{"function", "M0R"});
        QCOMPARE(r.out, QString("60\n"));

        r = runTool(link + QStringList{"read", "218"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Material range error!\n"));

        // Another station: no answer.
        r = runTool({"--port", peer.slavePath(), "--protocol", "native", "--line-end",
                     lineEndOption, "--station", "6", "read", "217"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
    }

    // Three simulated drives at 19200 baud on a pseudo-terminal: the scan
    // finds each at its station and baud rate, once, and nothing else.
    void scanFindsTheDrivesOnAPseudoTerminal()
    {
        QTemporaryDir tmp;
        const QString line = tmp.filePath("line");
        QProcess sim;
        sim.start(QStringLiteral(VANTREO_BIN_DIR "/vantreo-cli"),
                  {"--data", m_dir.path(), "simulate", "--pty", "--link", line, "--protocol",
                   "rtu", "--baud", "19200", "--drive", "2:ZM-043-7.5K:1.2", "--drive",
                   "7:ZN-020-5.5K", "--drive", "11:ZM-043-2.2K:1.05"});
        ProcessStopper stopSim(sim);
        QVERIFY(sim.waitForReadyRead(5000));
        const Run r = runTool({"--port", line, "--protocol", "rtu", "scan", "--stations", "1-12",
                               "--protocols", "rtu,ascii", "--bauds", "9600,19200"});
        QCOMPARE(r.status, 0);
        QStringList stations;
        for (const QString &row : r.lines) {
            const QStringList f = row.split('\t');
            QCOMPARE(f.size(), 6);
            QCOMPARE(f.mid(1, 3), (QStringList{"rtu", "19200", "8N1"}));
            stations << f.at(0);
        }
        QCOMPARE(stations, (QStringList{"2", "7", "11"}));
        QCOMPARE(r.lines.first().section('\t', 5), QString("1.2"));
        QCOMPARE(r.lines.last().section('\t', 5), QString("1.05"));
        QVERIFY(r.err.contains("scan: rtu 9600 8N1 stations 1-12: 0 found; 12 asked"));
        QVERIFY(r.err.contains("scan: rtu 19200 8N1 stations 1-12: 3 found; 12 asked"));
        QVERIFY(r.err.contains("scan: ascii 19200 7N1 stations 1-12: 0 found; 9 asked"));
    }

private:
    static constexpr const char *kPython = "/usr/bin/python3";
    DataDir m_dir;
    QString m_peerOut;
};

QTEST_GUILESS_MAIN(TestCliPeers)
#include "tst_cli_peers.moc"
