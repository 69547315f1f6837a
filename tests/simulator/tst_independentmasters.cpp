#include "common/peerrequired.h"
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// Modbus masters that share no code with this program (mbpoll, pymodbus)
// read and write the simulated drive served on a pseudo-terminal.
class TestIndependentMasters : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_sim;
    QString m_link;

    void startSimulation(const QString &protocol)
    {
        m_link = m_dir.filePath("line-" + protocol);
        m_sim.start(VANTREO_BIN_DIR "/vantreo-cli",
                    {"--data", m_dir.path(), "simulate", "--pty", "--link", m_link,
                     "--protocol", protocol, "--baud", "19200", "--drive", "1:ZM-043-7.5K",
                     "--drive", "7:ZN-020-5.5K"});
        QVERIFY(m_sim.waitForReadyRead(5000));
        QVERIFY(QFileInfo(m_link).isSymLink());
    }

    void stopSimulation()
    {
        ::kill(pid_t(m_sim.processId()), SIGINT);
        QVERIFY(m_sim.waitForFinished(5000));
        QCOMPARE(m_sim.exitCode(), 0);
    }

    static QString run(const QString &program, const QStringList &args, int *status)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
        }
        *status = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    }

    QString pymodbus(const QString &mode, const QStringList &args, int *status)
    {
        return run("/usr/bin/python3",
                   QStringList{VANTREO_SOURCE_TESTS "/peers/pymodbus_master.py", m_link, mode} +
                       args,
                   status);
    }

private slots:
    void mbpollRtu()
    {
        if (QStandardPaths::findExecutable("mbpoll").isEmpty())
            PEER_MISSING("mbpoll is not installed");
        startSimulation("rtu");
        const QStringList common{"-m", "rtu", "-b", "19200", "-P", "none", "-t", "4", "-0", "-1"};
        int status = 0;
        QString out = run("mbpoll", common + QStringList{"-a", "1", "-r", "7", "-c", "2", m_link},
                          &status);
        QCOMPARE(status, 0);
        QVERIFY2(out.contains("[7]: \t50") && out.contains("[8]: \t50"), qPrintable(out));
        out = run("mbpoll", common + QStringList{"-a", "1", "-r", "7", m_link, "75"}, &status);
        QCOMPARE(status, 0);
        out = run("mbpoll", common + QStringList{"-a", "1", "-r", "7", m_link}, &status);
        QVERIFY2(out.contains("[7]: \t75"), qPrintable(out));
        // The drive at station 7 is a 5.5 kW ZN: capacity in register 300.
        out = run("mbpoll", common + QStringList{"-a", "7", "-r", "300", m_link}, &status);
        QVERIFY2(out.contains("[300]: \t550"), qPrintable(out));
        // A register the drive does not have is refused with exception 02.
        out = run("mbpoll", common + QStringList{"-a", "1", "-r", "999", m_link}, &status);
        QVERIFY2(out.contains("Illegal data address"), qPrintable(out));
        stopSimulation();
    }

    void pymodbus_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("rtu") << "rtu";
        QTest::newRow("ascii") << "ascii";
    }
    void pymodbus()
    {
        QFETCH(QString, protocol);
        int status = 0;
        run("/usr/bin/python3", {"-c", "import pymodbus"}, &status);
        if (status != 0)
            PEER_MISSING("python3-pymodbus is not installed");
        startSimulation(protocol);
        QCOMPARE(pymodbus(protocol, {"1", "read", "7", "2"}, &status), QString("50 50\n"));
        QCOMPARE(pymodbus(protocol, {"1", "write", "8", "120"}, &status), QString("ok\n"));
        QCOMPARE(pymodbus(protocol, {"1", "read", "8", "1"}, &status), QString("120\n"));
        QCOMPARE(pymodbus(protocol, {"7", "read", "301", "1"}, &status), QString("220\n"));
        // Run forward at 30 Hz through the function registers.
        QCOMPARE(pymodbus(protocol, {"1", "write", "4100", "3000"}, &status), QString("ok\n"));
        QCOMPARE(pymodbus(protocol, {"1", "write", "4101", "2"}, &status), QString("ok\n"));
        const QString status1 = pymodbus(protocol, {"1", "read", "4097", "1"}, &status);
        QVERIFY2((status1.trimmed().toInt() & 0x03) == 0x03, qPrintable(status1));
        pymodbus(protocol, {"1", "read", "999", "1"}, &status);
        QCOMPARE(status, 1);
        stopSimulation();
    }
};

QTEST_GUILESS_MAIN(TestIndependentMasters)
#include "tst_independentmasters.moc"
