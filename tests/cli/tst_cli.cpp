#include "cli/clitool.h"
#include "common/parameterfixture.h"
#include "common/ptypeer.h"
#include "common/testsupport.h"
#include "parameters/parameterstate.h"

#include <QProcess>
#include <QtTest>

// The command-line tool: in-process on the scripted port for its answers and
// errors, and as a process on a real pseudo-terminal against a Modbus peer.
class TestCli : public QObject
{
    Q_OBJECT

    struct Run {
        int status;
        QString out, err;
    };

    Run runInProcess(const QStringList &args)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        CliTool tool(o, e);
        tool.setTransportFactory([this](const QString &) { return m_fake; });
        const int status = tool.run(QStringList{"--data", m_dir.path()} + args);
        return {status, out, err};
    }

    Run runProcess(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(VANTREO_BIN_DIR "/vantreo-cli"),
                QStringList{"--data", m_dir.path()} + args);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return {-1, QString(), QStringLiteral("timed out")};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    void writeParameterCatalogue()
    {
        m_dir.write("InvParameter/F_InvParameter_Eng.xml",
                    catalogueXml({{"0", "Torque boost", "0~30%", "0.1%", "6%", ""},
                                  {"2", "Minimum frequency", "0~120Hz", "0.01Hz", "0Hz", ""},
                                  {"7", "Acceleration time", "0~360s", "0.1s", "5s", ""},
                                  {"188", "Version", "", "0.01", "", ""},
                                  {"300", "Not in the drive", "", "1", "", ""}}));
        m_dir.write("InvParameter/INVParameter_num.txt", "F-400\n");
        m_dir.write("InvParameter/ReadPar.txt", "F:P188\n");
        m_drive.setRegister(0, 30);
        m_drive.setRegister(2, 1234);
        m_drive.setRegister(7, 55);
        m_drive.setRegister(188, 100);
    }

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/FNC.txt");
        m_dir.copyShipped("InvType/typeInfo.txt");
    }
    void init()
    {
        resetSharedState();
        resetParameterState();
        m_fake = std::make_shared<FakeTransport>();
        m_drive = RtuDrive();
        setDataDirectory(m_dir.path());
    }

    void readPrintsTheShownValue_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("out");
        QTest::newRow("plain") << QStringList{"read", "300"} << bytesOf("01 03 02 04 D2")
                               << "1234\n";
        QTest::newRow("scaled") << QStringList{"read", "300", "0.01"} << bytesOf("01 03 02 04 D2")
                                << "12.34\n";
        QTest::newRow("six digits") << QStringList{"read", "300", "0.001"}
                                    << bytesOf("01 03 02 FF FE") << "65.534\n";
        QTest::newRow("FFFF is 9999") << QStringList{"read", "5", "0.01"}
                                      << bytesOf("01 03 02 FF FF") << "9999\n";
        QTest::newRow("FFFF on a ZM-K is 99999")
            << QStringList{"--model", "ZM-043-7.5K-K", "read", "5", "0.01"}
            << bytesOf("01 03 02 FF FF") << "99999\n";
        QTest::newRow("hex address") << QStringList{"read", "0x12C"} << bytesOf("01 03 02 00 07")
                                     << "7\n";
    }
    void readPrintsTheShownValue()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, answer);
        QFETCH(QString, out);
        m_fake->enqueueReply(withCrc(answer));
        const Run r = runInProcess(QStringList{"--protocol", "rtu", "--station", "1"} + args);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, out);
    }

    void failuresPrintTheProgramsMessage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("refused read") << QStringList{"read", "300"} << withCrc(bytesOf("01 83 02"))
                                      << "Illegal data address!\n";
        QTest::newRow("dead line") << QStringList{"read", "300"} << QByteArray()
                                   << "Communication Error!\n";
        QTest::newRow("refused write") << QStringList{"write", "77", "5"}
                                       << withCrc(bytesOf("01 86 03")) << "Illegal data value!\n";
        QTest::newRow("refused function") << QStringList{"function", "FWD"}
                                          << withCrc(bytesOf("01 86 01"))
                                          << "Illegal function code!\n";
        QTest::newRow("failed monitor reading") << QStringList{"function", "M0R"}
                                                << bytesOf("01 03 02 00 01 00 00")
                                                << "Communication Error!\n";
        QTest::newRow("beyond the register range") << QStringList{"read", "1600"} << QByteArray()
                                                   << "Illegal data address!\n";
    }
    void failuresPrintTheProgramsMessage()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, answer);
        QFETCH(QString, message);
        m_fake->open();
        if (!answer.isEmpty())
            m_fake->enqueueReply(answer);
        const Run r = runInProcess(QStringList{"--protocol", "rtu"} + args);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, message);
        QCOMPARE(r.out, QString());
    }

    void writesAndFunctions()
    {
        m_fake->setResponder([](const QByteArray &req) {
            if (req.at(1) == 3)
                return QList<FakeTransport::Reply>{
                    {withCrc(req.left(1) + bytesOf("03 02 00 01")), 0, 0}};
            return QList<FakeTransport::Reply>{{req, 0, 0}};
        });
        Run r = runInProcess({"--protocol", "rtu", "write", "4", "1234"});
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), withCrc(bytesOf("01 06 00 04 04 D2")));
        r = runInProcess({"--protocol", "rtu", "write", "4", "70000"});
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), withCrc(bytesOf("01 06 00 04 11 70")));
        r = runInProcess({"--protocol", "rtu", "function", "FRE", "50"});
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), withCrc(bytesOf("01 06 10 04 13 88")));
        r = runInProcess({"--protocol", "rtu", "function", "FRE", "400.99"});
        QCOMPARE(m_fake->writes().last(), withCrc(bytesOf("01 06 10 04 9C A3")));
        r = runInProcess({"--protocol", "rtu", "--station", "200", "function", "MOD"});
        QCOMPARE(r.out, QString("1\n"));
        QCOMPARE(quint8(m_fake->writes().last().at(0)), quint8(200));
        r = runInProcess({"--protocol", "rtu", "function", "M0R"});
        QCOMPARE(r.out, QString("0.01\n"));
        r = runInProcess({"--protocol", "rtu", "function", "STO"});
        QCOMPARE(r.out, QString("0\n"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"fly"};
        QTest::newRow("unknown option") << QStringList{"--speed", "3", "read", "1"};
        QTest::newRow("option without value") << QStringList{"--port"};
        QTest::newRow("bad protocol") << QStringList{"--protocol", "can", "read", "1"};
        QTest::newRow("bad baud") << QStringList{"--baud", "1234", "read", "1"};
        QTest::newRow("station 256") << QStringList{"--station", "256", "read", "1"};
        QTest::newRow("read without address") << QStringList{"--protocol", "rtu", "read"};
        QTest::newRow("read of a word") << QStringList{"--protocol", "rtu", "read", "abc"};
        QTest::newRow("negative scale") << QStringList{"--protocol", "rtu", "read", "1", "-1"};
        QTest::newRow("write without value") << QStringList{"--protocol", "rtu", "write", "4"};
        QTest::newRow("FRE without Hz") << QStringList{"--protocol", "rtu", "function", "FRE"};
        QTest::newRow("FRE too high") << QStringList{"--protocol", "rtu", "function", "FRE", "700"};
        QTest::newRow("long name") << QStringList{"--protocol", "rtu", "function", "FORWARD"};
        QTest::newRow("ASCII not yet") << QStringList{"--protocol", "ascii", "read", "1"};
        QTest::newRow("native not yet") << QStringList{"--protocol", "native", "read", "1"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        m_fake->open();
        const Run r = runInProcess(args);
        QCOMPARE(r.status, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(m_fake->writes().isEmpty());
    }

    void portThatDoesNotOpen()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        CliTool tool(o, e);
        QCOMPARE(tool.run({"--data", m_dir.path(), "--protocol", "rtu", "--port",
                           "/nonexistent/ttyX", "read", "1"}),
                 1);
        QVERIFY2(err.startsWith("Can't open serial port/nonexistent/ttyX\n The Specified serial "
                                "port does not exist or occupied."),
                 qPrintable(err));
    }

    void settingsComeFromTheStoredFile()
    {
        m_dir.write("iniProtocol.txt", "1-fakeport-2-1-0-2-0\n");
        QString opened;
        QString out, err;
        QTextStream o(&out), e(&err);
        CliTool tool(o, e);
        tool.setTransportFactory([&](const QString &port) {
            opened = port;
            return m_fake;
        });
        m_fake->enqueueReply(withCrc(bytesOf("01 03 02 00 09")));
        QCOMPARE(tool.run({"--data", m_dir.path(), "read", "1"}), 0);
        QCOMPARE(opened, QString("fakeport"));
        QCOMPARE(m_fake->settings().baudRate, 19200);
        QCOMPARE(m_fake->settings().parity, 'E');
        QFile::remove(m_dir.path() + "/iniProtocol.txt");
    }

    void readsAndWritesOnAPseudoTerminal()
    {
        PtyRtuPeer peer(3);
        QVERIFY(!peer.slavePath().isEmpty());
        peer.setRegister(300, 1234);
        peer.setRegister(4, 0);
        const QStringList link{"--port", peer.slavePath(), "--protocol", "rtu", "--baud", "9600",
                               "--station", "3"};
        Run r = runProcess(link + QStringList{"read", "300", "0.01"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("12.34\n"));
        QCOMPARE(r.status, 0);

        r = runProcess(link + QStringList{"write", "4", "4321"});
        QCOMPARE(r.status, 0);
        QCOMPARE(peer.registerValue(4), 4321);
        r = runProcess(link + QStringList{"read", "4"});
        QCOMPARE(r.out, QString("4321\n"));

        r = runProcess(link + QStringList{"read", "5"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data address!\n"));

        // Another station: the peer stays silent, the tool gives up.
        r = runProcess(QStringList{"--port", peer.slavePath(), "--protocol", "rtu", "--station",
                                   "9", "read", "300"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
    }

    void paramsRead()
    {
        writeParameterCatalogue();
        m_fake->setResponder(m_drive.responder());
        const Run r =
            runInProcess({"--protocol", "rtu", "--model", "ZM-043-7.5K", "params", "read"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("P.0\tTorque boost\t3\t0.1%\n"
                                "P.2\tMinimum frequency\t12.34\t0.01Hz\n"
                                "P.7\tAcceleration time\t5.5\t0.1s\n"
                                "P.188\tVersion\t1.000\t0.01\n"
                                "P.300\tNot in the drive\t--\t1\n"));
        // Progress on stderr: the start and the end of the batch.
        QVERIFY2(r.err.startsWith("Reading parameters...: 0/401\n"), qPrintable(r.err));
        QVERIFY2(r.err.endsWith("Reading parameters...: 401/401\n"), qPrintable(r.err));
    }

    void paramsReadWarnsAboutMissingFiles()
    {
        writeParameterCatalogue();
        QFile::remove(m_dir.path() + "/InvParameter/INVParameter_num.txt");
        m_fake->setResponder(m_drive.responder());
        const Run r =
            runInProcess({"--protocol", "rtu", "--model", "ZM-043-7.5K", "params", "read"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains("Warning: Cannot read file "), qPrintable(r.err));
        QVERIFY(r.err.contains("INVParameter_num.txt:\n"));
        QCOMPARE(r.out.count('\n'), 5);
    }

    void paramsGetAndSet_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("register2");
        QTest::newRow("get") << QStringList{"get", "2"} << 0 << "12.34\n" << "" << 1234;
        QTest::newRow("get the version") << QStringList{"get", "188"} << 0 << "1.000\n" << ""
                                         << 1234;
        QTest::newRow("get refused") << QStringList{"get", "300"} << 1 << ""
                                     << "Illegal data address!\n" << 1234;
        QTest::newRow("get unknown") << QStringList{"get", "400"} << 1 << ""
                                     << "vantreo-cli: parameter 400 is not in the catalogue\n"
                                     << 1234;
        QTest::newRow("set") << QStringList{"set", "2", "50"} << 0 << "" << "" << 5000;
        QTest::newRow("set 99999") << QStringList{"set", "2", "99999"} << 0 << "" << "" << 65535;
        QTest::newRow("set beyond the register") << QStringList{"set", "2", "655.36"} << 1 << ""
                                                 << "Illegal data address!\n" << 1234;
        QTest::newRow("set text") << QStringList{"set", "2", "fast"} << 1 << ""
                                  << "Illegal data address!\n" << 1234;
        QTest::newRow("set negative") << QStringList{"set", "2", "-5"} << 1 << ""
                                      << "Illegal data address!\n" << 1234;
    }
    void paramsGetAndSet()
    {
        QFETCH(QStringList, command);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, register2);
        writeParameterCatalogue();
        m_fake->setResponder(m_drive.responder());
        const Run r = runInProcess(QStringList{"--protocol", "rtu", "--model", "ZM-043-7.5K",
                                               "params"} + command);
        QCOMPARE(r.err, err);
        QCOMPARE(r.out, out);
        QCOMPARE(r.status, status);
        QCOMPARE(int(m_drive.registerValue(2)), register2);
    }

    void paramsUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no subcommand") << QStringList{"--model", "ZM-043-7.5K", "params"} << 2;
        QTest::newRow("get without number")
            << QStringList{"--model", "ZM-043-7.5K", "params", "get"} << 2;
        QTest::newRow("get of a word")
            << QStringList{"--model", "ZM-043-7.5K", "params", "get", "x"} << 2;
        QTest::newRow("get 1600") << QStringList{"--model", "ZM-043-7.5K", "params", "get", "1600"}
                                  << 2;
        QTest::newRow("set without value")
            << QStringList{"--model", "ZM-043-7.5K", "params", "set", "2"} << 2;
        QTest::newRow("no model") << QStringList{"params", "read"} << 2;
        QTest::newRow("no catalogue") << QStringList{"--model", "ZN-020-5.5K", "params", "read"}
                                      << 1;
    }
    void paramsUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        writeParameterCatalogue();
        m_fake->setResponder(m_drive.responder());
        m_fake->open();
        const Run r = runInProcess(QStringList{"--protocol", "rtu"} + args);
        QCOMPARE(r.status, status);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(m_drive.writes().isEmpty());
    }

    void paramsOnAPseudoTerminal()
    {
        writeParameterCatalogue();
        PtyRtuPeer peer(1);
        QVERIFY(!peer.slavePath().isEmpty());
        peer.setRegister(188, 100);
        peer.setRegister(2, 0);
        const QStringList link{"--port", peer.slavePath(), "--protocol", "rtu", "--model",
                               "ZM-043-7.5K", "params"};
        Run r = runProcess(link + QStringList{"set", "2", "47.5"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(peer.registerValue(2), 4750);
        r = runProcess(link + QStringList{"get", "2"});
        QCOMPARE(r.out, QString("47.5\n"));
        QCOMPARE(r.status, 0);
    }

private:
    RtuDrive m_drive;
    DataDir m_dir;
    std::shared_ptr<FakeTransport> m_fake;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
