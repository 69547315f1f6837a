#include "cli/clitool.h"
#include "common/clirun.h"
#include "common/nativedrive.h"
#include "common/parameterfixture.h"
#include "common/ptypeer.h"
#include "common/testsupport.h"
#include "cli/outputformat.h"
#include "parameters/parameterstate.h"

#include <QJsonDocument>
#include <QProcess>
#include <QtTest>

// The command-line tool: in-process on the scripted port for its answers and
// errors, and as a process on a real pseudo-terminal against a Modbus peer.
class TestCli : public QObject
{
    Q_OBJECT

    using Run = CliRun;

    Run runInProcess(const QStringList &args)
    {
        return runCliInProcess(QStringList{"--data", m_dir.path()} + args, m_fake);
    }

    Run runProcess(const QStringList &args)
    {
        return runCliProcess(QStringList{"--data", m_dir.path()} + args);
    }

    void writeParameterCatalogue()
    {
        m_dir.write("InvParameter/F_InvParameter_Eng.xml",
                    catalogueXml({{"0", "Torque boost", "0~30%", "0.1%", "6%", ""},
                                  {"2", "Minimum frequency", "0~120Hz", "0.01Hz", "0Hz", ""},
                                  {"7", "Acceleration time", "0~360s", "0.1s", "5s", ""},
                                  {"188", "Version", "", "0.01", "", ""},
                                  {"300", "Not in the drive", "", "1", "", ""}}));
        // The scripted drive holds only these registers: no feature that reads others.
        m_dir.write("InvType/typeInfo.txt",
                    "readWrite_99999//0//0//0//0//0//0//1//1//1//1//1\n"
                    "readWrite_H//1//0//0//0//0//0//0//0//0//0//0\n");
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
    }
    void init()
    {
        m_dir.copyShipped("InvType/typeInfo.txt");
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

    void modbusAscii()
    {
        m_fake->enqueueReply(asciiFrame("01030204D2"));
        Run r = runInProcess({"--protocol", "ascii", "--station", "1", "read", "300", "0.01"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("12.34\n"));
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), QByteArray(":0103012C0001CE\r\n"));
        QCOMPARE(m_fake->settings().dataBits, 7);

        m_fake->setResponder([](const QByteArray &req) {
            if (req.mid(3, 2) == "03")
                return QList<FakeTransport::Reply>{{asciiFrame(req.mid(1, 2) + "03020001"), 0, 0}};
            return QList<FakeTransport::Reply>{{req, 0, 0}};
        });
        r = runInProcess({"--protocol", "ascii", "--data-bits", "8", "write", "4", "1234"});
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), QByteArray(":0106000404D21F\r\n"));
        QCOMPARE(m_fake->settings().dataBits, 8);
        r = runInProcess({"--protocol", "ascii", "function", "FRE", "50"});
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().last(), asciiFrame("010610041388"));
        r = runInProcess({"--protocol", "ascii", "--station", "200", "function", "MOD"});
        QCOMPARE(r.out, QString("1\n"));
        QCOMPARE(m_fake->writes().last(), asciiFrame("C80310000001"));
        r = runInProcess({"--protocol", "ascii", "function", "M0R"});
        QCOMPARE(r.out, QString("0.01\n"));

        m_fake->setResponder(nullptr);
        m_fake->enqueueReply(asciiFrame("018302"));
        r = runInProcess({"--protocol", "ascii", "read", "300"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data address!\n"));
        m_fake->enqueueReply(asciiFrame("018603"));
        r = runInProcess({"--protocol", "ascii", "write", "77", "1"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data value!\n"));
    }

    void nativeProtocol()
    {
        NativeDrive drive(1, 1);
        drive.setRegister(217, 500, 2);
        drive.setRegister(905, 7);
        drive.setRegister(0x1000, 1);
        drive.setRegister(0x1004, 0);
        drive.setRegister(0x1100, 6000, 2);
        drive.setReadOnly(301);
        drive.setRegister(301, 3);
        m_fake->setResponder([&drive](const QByteArray &req) {
            return QList<FakeTransport::Reply>{{drive.feed(req), 0, 0}};
        });
        const QStringList native{"--protocol", "native", "--line-end", "cr", "--station", "1"};
        Run r = runInProcess(native + QStringList{"read", "217"});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString("5\n"));
        QCOMPARE(r.status, 0);
        QCOMPARE(m_fake->writes().size(), 3);
        QCOMPARE(m_fake->writes().first(), QByteArray("\x05" "01FF00002DF\r"));
        QCOMPARE(drive.group(), 2);

        r = runInProcess(native + QStringList{"write", "905", "0"});
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.registerValue(905), 0);
        QCOMPARE(drive.group(), 9);
        r = runInProcess(native + QStringList{"function", "MOD"});
        QCOMPARE(r.out, QString("1\n"));
        r = runInProcess(native + QStringList{"function", "FRE", "50"});
        QCOMPARE(r.status, 0);
        QCOMPARE(drive.registerValue(0x1004), 5000);
        r = runInProcess(native + QStringList{"function", "M0R"});
        QCOMPARE(r.out, QString("60\n"));

        r = runInProcess(native + QStringList{"read", "218"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Material range error!\n"));
        r = runInProcess(native + QStringList{"write", "301", "1"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Abnormal patterns!\n"));
        QCOMPARE(drive.registerValue(301), 3);
        r = runInProcess(native + QStringList{"write", "1000", "1"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Illegal data address!\n"));

        // The drive ends its answers with CR only: answers of the wrong
        // length are not taken.
        r = runInProcess({"--protocol", "native", "--line-end", "crlf", "read", "217"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("Communication Error!\n"));
    }

    // The data length follows the setup dialog's rules; line end and the
    // native data length come from the stored settings.
    void settingsPerProtocol_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("RTU always 8") << "1-fakeport-1-0-0-0-2" << QStringList{} << 8 << 2;
        QTest::newRow("ASCII always 7") << "2-fakeport-1-1-0-0-2" << QStringList{} << 7 << 2;
        QTest::newRow("native 7 from the file") << "0-fakeport-1-0-0-0-2" << QStringList{} << 7
                                                << 2;
        QTest::newRow("native 8 from the file") << "0-fakeport-1-1-0-0-0" << QStringList{} << 8
                                                << 0;
        QTest::newRow("options win") << "0-fakeport-1-1-0-0-0"
                                     << QStringList{"--data-bits", "7", "--line-end", "cr"} << 7
                                     << 1;
        QTest::newRow("RTU with an explicit length") << "1-fakeport-1-1-0-0-0"
                                                     << QStringList{"--data-bits", "7"} << 7 << 0;
    }
    void settingsPerProtocol()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, args);
        QFETCH(int, dataBits);
        QFETCH(int, lineEnd);
        m_dir.write("iniProtocol.txt", stored.toLatin1() + "\n");
        m_fake->enqueueSilence();
        runInProcess(args + QStringList{"function", "STO"});
        QFile::remove(m_dir.path() + "/iniProtocol.txt");
        QCOMPARE(m_fake->settings().dataBits, dataBits);
        QCOMPARE(linkState().lineEnd.load(), lineEnd);
        QCOMPARE(int(linkState().protocolCode.load()), stored.left(1).toInt());
        const QByteArray sent = m_fake->writes().value(0);
        if (stored.startsWith('0'))
            QCOMPARE(sent, QByteArray("\x05" "01F500000CC") +
                               (lineEnd == 0 ? "" : lineEnd == 1 ? "\r" : "\r\n"));
        else if (stored.startsWith('2'))
            QCOMPARE(sent, asciiFrame("010610050000"));
        else
            QCOMPARE(sent, withCrc(bytesOf("01 06 10 05 00 00")));
    }

    // --trace: every attempt and every answer, byte for byte, on stderr;
    // the first attempt goes unanswered and is retried.
    void traceShowsEveryFrame_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("frames");
        QTest::newRow("RTU") << QStringList{"--protocol", "rtu", "read", "300"}
                             << withCrc(bytesOf("01 03 02 04 D2"))
                             << QStringList{"> 1: 01 03 01 2C 00 01 44 3F", "< 1: (no answer)",
                                            "> 1: 01 03 01 2C 00 01 44 3F",
                                            "< 1: 01 03 02 04 D2 3A D9"};
        QTest::newRow("ASCII") << QStringList{"--protocol", "ascii", "read", "300"}
                               << asciiFrame("01030204D2")
                               << QStringList{"> 1: :0103012C0001CE\\r\\n", "< 1: (no answer)",
                                              "> 1: :0103012C0001CE\\r\\n",
                                              "< 1: :01030204D224\\r\\n"};
        QTest::newRow("native") << QStringList{"--protocol", "native", "--line-end", "cr",
                                               "function", "STA"}
                                << QByteArray("\x02" "0104D20\x03" "6B\r")
                                << QStringList{"> 1: \\x05017A009\\r", "< 1: (no answer)",
                                               "> 1: \\x05017A009\\r",
                                               "< 1: \\x020104D20\\x036B\\r"};
    }
    void traceShowsEveryFrame()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, frames);
        m_fake->enqueueSilence();
        m_fake->enqueueReply(answer);
        const Run r = runInProcess(QStringList{"--trace", "--station", "1"} + args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("1234\n"));
        QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        qint64 previous = 0;
        for (QString &line : lines) {
            const QRegularExpressionMatch m =
                QRegularExpression("^(\\d+) ms (.*)$").match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QVERIFY2(m.captured(1).toLongLong() >= previous, "times run forwards");
            previous = m.captured(1).toLongLong();
            line = m.captured(2);
        }
        QCOMPARE(lines, frames);
    }

    // A batch read runs on the link worker while this thread prints its
    // progress: every line on stderr stays whole, trace and progress alike.
    void traceOfABatchReadStaysWhole()
    {
        const Run r = runCliInProcess({"--data", VANTREO_BIN_DIR, "--port", "sim", "--protocol",
                                       "rtu", "--model", "ZM-043-7.5K", "--trace", "params", "read"});
        QVERIFY2(r.status == 0, qPrintable(r.err.right(400)));
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        const QRegularExpression frame("^\\d+ ms [<>] 1: [0-9A-F]{2}( [0-9A-F]{2})*$");
        const QRegularExpression progress("^Reading parameters\\.\\.\\.: \\d+/\\d+$");
        int frames = 0, steps = 0;
        for (const QString &line : lines) {
            frames += frame.match(line).hasMatch();
            steps += progress.match(line).hasMatch();
            QVERIFY2(frame.match(line).hasMatch() || progress.match(line).hasMatch(),
                     qPrintable(line));
        }
        QVERIFY(frames >= 2 * r.out.count('\n'));
        QVERIFY(steps > 0);
    }

    // The in-process drive listens at one station, protocol and baud rate:
    // the scan reports it there once and nothing at the silent stations.
    void scanFindsTheSimulatedDrive_data()
    {
        QTest::addColumn<QStringList>("drive");
        QTest::addColumn<QString>("found");
        QTest::newRow("RTU") << QStringList{"--protocol", "rtu", "--baud", "19200", "--station", "5"}
                             << "5\trtu\t19200\t8N1\tZM-043-7.5K\t";
        QTest::newRow("native") << QStringList{"--protocol", "native", "--baud", "9600",
                                               "--station", "3", "--parity", "even"}
                                << "3\tnative\t9600\t8E1\tZM-043-7.5K\t";
        QTest::newRow("ASCII") << QStringList{"--protocol", "ascii", "--baud", "19200",
                                              "--station", "4"}
                               << "4\tascii\t19200\t7N1\tZM-043-7.5K\t";
    }
    void scanFindsTheSimulatedDrive()
    {
        QFETCH(QStringList, drive);
        QFETCH(QString, found);
        const Run r = runCliInProcess(QStringList{"--data", m_dir.path(), "--port", "sim", "--trace"} +
                                      drive + QStringList{"scan", "--stations", "2-5", "--bauds",
                                                          "9600,19200"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.lines.size(), 1);
        QVERIFY2(r.lines.first().startsWith(found), qPrintable(r.lines.first()));
        QVERIFY2(QRegularExpression("\t\\d+(\\.\\d+)?$").match(r.lines.first()).hasMatch(),
                 "the drive's version");
        // Each silent station is asked once per protocol and baud rate, a
        // found one no more once it answered.
        const int silentQuestions =
            r.err.count(QRegularExpression("> 2: .*\n\\d+ ms < 2: \\(no answer\\)"));
        QCOMPARE(silentQuestions, 3 * 2);
        QVERIFY(r.err.contains(QRegularExpression("scan: 1 drive\\(s\\) found")));
    }

    void scanWhereNoDriveAnswers()
    {
        const Run r = runCliInProcess({"--data", m_dir.path(), "--port", "sim", "--protocol", "rtu",
                                       "--station", "9", "scan", "--stations", "1-3",
                                       "--protocols", "rtu", "--bauds", "19200"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        QVERIFY(r.err.contains("scan: rtu 19200 8N1 stations 1-3: 0 found; 3 asked in "));
        QVERIFY(r.err.contains("scan: 0 drive(s) found"));
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
        QTest::newRow("ASCII read without address") << QStringList{"--protocol", "ascii", "read"};
        QTest::newRow("native FRE without Hz")
            << QStringList{"--protocol", "native", "function", "FRE"};
        QTest::newRow("bad line end") << QStringList{"--protocol", "native", "--line-end", "lf",
                                                     "read", "1"};
        QTest::newRow("scan stations backwards") << QStringList{"scan", "--stations", "9-3"};
        QTest::newRow("scan station 256") << QStringList{"scan", "--stations", "1,256"};
        QTest::newRow("scan unknown protocol") << QStringList{"scan", "--protocols", "rtu,can"};
        QTest::newRow("scan odd baud") << QStringList{"scan", "--bauds", "9600,1234"};
        QTest::newRow("scan option without value") << QStringList{"scan", "--bauds"};
        QTest::newRow("empty port") << QStringList{"--port", "", "read", "1"};
        QTest::newRow("data bits 9") << QStringList{"--data-bits", "9", "read", "1"};
        QTest::newRow("parity mark") << QStringList{"--parity", "mark", "read", "1"};
        QTest::newRow("stop bits 3") << QStringList{"--stop-bits", "3", "read", "1"};
        QTest::newRow("station -1") << QStringList{"--station", "-1", "read", "1"};
        QTest::newRow("model of no series") << QStringList{"--model", "XY", "read", "1"};
        QTest::newRow("format xml") << QStringList{"--format", "xml", "read", "1"};
        QTest::newRow("format after the command")
            << QStringList{"--model", "ZM-043-7.5K", "params", "read", "--format", "yaml"};
        QTest::newRow("format without value")
            << QStringList{"--model", "ZM-043-7.5K", "params", "read", "--format"};
        QTest::newRow("data folder missing") << QStringList{"--data", "/nonexistent/x", "read", "1"};
        QTest::newRow("single-dash option") << QStringList{"-x", "read", "1"};
        QTest::newRow("simulate without --pty") << QStringList{"simulate"};
        QTest::newRow("simulate turnaround") << QStringList{"simulate", "--pty", "--turnaround",
                                                            "soon"};
        QTest::newRow("simulate drive without model") << QStringList{"simulate", "--pty",
                                                                     "--drive", "1"};
        QTest::newRow("simulate station 248") << QStringList{"simulate", "--pty", "--drive",
                                                             "248:ZM-043-7.5K"};
        QTest::newRow("simulate bad baud") << QStringList{"simulate", "--pty", "--baud", "12"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        m_fake->open();
        const Run r = runInProcess(args);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        // What is wrong in one line, then where the help is; not the help itself.
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).startsWith("vantreo-cli: "), qPrintable(r.err));
        QCOMPARE(lines.at(1), QString("Try 'vantreo-cli --help'."));
        QVERIFY(m_fake->writes().isEmpty());
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mustShow");
        QTest::addColumn<QString>("mustNotShow");
        QTest::newRow("--help") << QStringList{"--help"} << "simulate --pty" << "";
        QTest::newRow("-h after options") << QStringList{"--port", "x", "-h"} << "params read"
                                          << "";
        QTest::newRow("help beats a command") << QStringList{"--help", "fly"} << "monitor [" << "";
        QTest::newRow("--version") << QStringList{"--version"}
                                   << "vantreo-cli " VANTREO_VERSION "\n" << "Usage";
        QTest::newRow("params --help") << QStringList{"params", "--help"} << "params load FILE"
                                       << "monitor [";
        QTest::newRow("monitor -h after options")
            << QStringList{"--protocol", "rtu", "monitor", "--cycles", "2", "-h"}
            << "--quantities LIST" << "params get";
        QTest::newRow("read --help") << QStringList{"read", "--help"} << "read ADDRESS"
                                     << "write ADDRESS";
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mustShow);
        QFETCH(QString, mustNotShow);
        m_fake->open();
        const Run r = runInProcess(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY2(r.out.contains(mustShow), qPrintable(r.out));
        if (!mustNotShow.isEmpty())
            QVERIFY2(!r.out.contains(mustNotShow), qPrintable(r.out));
        QVERIFY(m_fake->writes().isEmpty());
    }

    void outputFormats_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("out");
        QTest::newRow("params get csv") << QStringList{"--format", "csv", "params", "get", "2"}
                                        << "number,value,unit\nP.2,12.34,0.01Hz\n";
        QTest::newRow("params get json after the command")
            << QStringList{"params", "get", "188", "--format", "json"}
            << "{\"number\":\"P.188\",\"value\":\"1.000\",\"unit\":\"0.01\"}\n";
        QTest::newRow("params read csv")
            << QStringList{"--format", "CSV", "params", "read"}
            << "number,name,value,unit\nP.0,Torque boost,3,0.1%\n"
               "P.2,\"Minimum frequency, low\",12.34,0.01Hz\nP.7,\"Acceleration \"\"time\"\"\",5.5,0.1s\n"
               "P.188,Version,1.000,0.01\nP.300,Not in the drive,--,1\n";
        QTest::newRow("params read json")
            << QStringList{"--format", "json", "params", "read"}
            << "{\"number\":\"P.0\",\"name\":\"Torque boost\",\"value\":\"3\",\"unit\":\"0.1%\"}\n"
               "{\"number\":\"P.2\",\"name\":\"Minimum frequency, low\",\"value\":\"12.34\","
               "\"unit\":\"0.01Hz\"}\n"
               "{\"number\":\"P.7\",\"name\":\"Acceleration \\\"time\\\"\",\"value\":\"5.5\","
               "\"unit\":\"0.1s\"}\n"
               "{\"number\":\"P.188\",\"name\":\"Version\",\"value\":\"1.000\",\"unit\":\"0.01\"}\n"
               "{\"number\":\"P.300\",\"name\":\"Not in the drive\",\"value\":\"--\","
               "\"unit\":\"1\"}\n";
        QTest::newRow("params read tsv")
            << QStringList{"--format", "tsv", "params", "read"}
            << "P.0\tTorque boost\t3\t0.1%\nP.2\tMinimum frequency, low\t12.34\t0.01Hz\n"
               "P.7\tAcceleration \"time\"\t5.5\t0.1s\nP.188\tVersion\t1.000\t0.01\n"
               "P.300\tNot in the drive\t--\t1\n";
    }
    void outputFormats()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, out);
        writeParameterCatalogue();
        // Names that need quoting in CSV and escaping in JSON.
        m_dir.write("InvParameter/F_InvParameter_Eng.xml",
                    catalogueXml({{"0", "Torque boost", "0~30%", "0.1%", "6%", ""},
                                  {"2", "Minimum frequency, low", "0~120Hz", "0.01Hz", "0Hz", ""},
                                  {"7", "Acceleration \"time\"", "0~360s", "0.1s", "5s", ""},
                                  {"188", "Version", "", "0.01", "", ""},
                                  {"300", "Not in the drive", "", "1", "", ""}}));
        m_fake->setResponder(m_drive.responder());
        const Run r = runInProcess(QStringList{"--protocol", "rtu", "--model", "ZM-043-7.5K"} +
                                   command);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, out);
        // Every JSON line stands alone, so that it can be read while more come.
        if (command.contains("json")) {
            for (const QString &line : r.lines) {
                QJsonParseError error;
                QVERIFY(QJsonDocument::fromJson(line.toUtf8(), &error).isObject());
            }
        }
    }

    void outputFormatFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QString>("json");
        QTest::newRow("plain") << "abc" << false << "abc" << "\"abc\"";
        QTest::newRow("comma") << "a,b" << false << "\"a,b\"" << "\"a,b\"";
        QTest::newRow("quote") << "say \"hi\"" << false << "\"say \"\"hi\"\"\""
                               << "\"say \\\"hi\\\"\"";
        QTest::newRow("line break") << "a\nb" << false << "\"a\nb\"" << "\"a\\nb\"";
        QTest::newRow("edge space") << " a" << false << "\" a\"" << "\" a\"";
        QTest::newRow("backslash and tab") << "a\\\tb" << false << "a\\\tb"
                                           << "\"a\\\\\\tb\"";
        QTest::newRow("control") << QString(QChar(1)) << false << QString(QChar(1))
                                 << "\"\\u0001\"";
        QTest::newRow("number") << "-12.5e3" << true << "-12.5e3" << "-12.5e3";
        QTest::newRow("number as text") << "12.5" << false << "12.5" << "\"12.5\"";
        QTest::newRow("not a JSON number") << "inf" << true << "inf" << "\"inf\"";
        QTest::newRow("hex") << "0x1f" << true << "0x1f" << "\"0x1f\"";
        QTest::newRow("leading zero") << "007" << true << "007" << "\"007\"";
    }
    void outputFormatFields()
    {
        QFETCH(QString, field);
        QFETCH(bool, numeric);
        QFETCH(QString, csv);
        QFETCH(QString, json);
        OutputFormat c(OutputFormat::Csv, {"k", "x"});
        QCOMPARE(c.header(), QString("k,x\n"));
        QCOMPARE(c.row({"1", field}), "1," + csv + "\n");
        OutputFormat j(OutputFormat::Json, {"k", "x"});
        if (numeric)
            j.setNumericColumns({1});
        QCOMPARE(j.header(), QString());
        QCOMPARE(j.row({"1", field}), "{\"k\":\"1\",\"x\":" + json + "}\n");
        QJsonParseError error;
        QVERIFY(QJsonDocument::fromJson(j.row({"1", field}).toUtf8(), &error).isObject());
    }

    void portThatDoesNotOpen()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        CliTool tool(o, e);
        QCOMPARE(tool.run({"--data", m_dir.path(), "--protocol", "rtu", "--port",
                           "/nonexistent/ttyX", "read", "1"}),
                 1);
        QVERIFY2(err.startsWith("Can't open serial port /nonexistent/ttyX\n The Specified serial "
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
        QVERIFY2(r.status == 0, qPrintable(r.err));
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
        QTest::newRow("no model, drive not identified") << QStringList{"params", "read"} << 1;
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
