#include "link/driverregistry.h"
#include "common/scriptedports.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/portsetup.h"
#include "link/readwrite.h"
#include "link/serialporttransport.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include "common/ptypeer.h"
#endif

using Rule = ComSettings::PrefixRule;
Q_DECLARE_METATYPE(ComSettings::PrefixRule)

// Opening the port at start-up and after the dialog, the driver that goes
// with the protocol, and iniProtocol.txt.
class TestPortSetup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // One "MOD" line per protocol: the table shows which lines a driver took.
        m_dir.write("InvType/FNC.txt",
                    "1-M-O-D-03-10-00-00-01\n0-MOD-0-0000\n2-MOD-03-1000-0001\n");
        setUserInteraction(&m_ui);
    }
    void init()
    {
        resetSharedState();
        linkState().reset();
        linkState().setSerialPort(nullptr);
        QFile::remove(PortSetup::settingsFileName());
        PortSetup::setDevicePrefixEnabled(true);
        m_ui.clear();
    }
    void cleanup()
    {
        linkState().setSerialPort(nullptr);
        PortSetup::setDevicePrefixEnabled(defaultPrefix());
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    void prefixRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QString>("name");
        const QString p = QStringLiteral("\\\\.\\");
        QTest::newRow("Com12 at start-up") << "Com12" << Rule::NameLength << p + "Com12";
        QTest::newRow("Com12 after the dialog") << "Com12" << Rule::PortNumber << p + "Com12";
        QTest::newRow("Com3 at start-up") << "Com3" << Rule::NameLength << "Com3";
        QTest::newRow("Com3 after the dialog") << "Com3" << Rule::PortNumber << "Com3";
        QTest::newRow("Com9 after the dialog") << "Com9" << Rule::PortNumber << "Com9";
        QTest::newRow("Com10 after the dialog") << "Com10" << Rule::PortNumber << p + "Com10";
        QTest::newRow("COM1 at start-up") << "COM1" << Rule::NameLength << "COM1";
        QTest::newRow("no number after the dialog") << "ttyUSB0" << Rule::PortNumber << "ttyUSB0";
        QTest::newRow("already prefixed") << p + "Com12" << Rule::NameLength << p + "Com12";
    }
    void prefixRule()
    {
        QFETCH(QString, text);
        QFETCH(Rule, rule);
        QFETCH(QString, name);
        QCOMPARE(ComSettings::prefixedPortName(text, rule), name);
        QCOMPARE(PortSetup::portNameFor(text, rule), name);
        PortSetup::setDevicePrefixEnabled(false);
        QCOMPARE(PortSetup::portNameFor(text, rule), text);
    }

    void prefixOnlyOnWindowsByDefault()
    {
        PortSetup::setDevicePrefixEnabled(defaultPrefix());
#ifdef Q_OS_WIN
        QCOMPARE(PortSetup::portNameFor("Com12", Rule::PortNumber), QString("\\\\.\\Com12"));
#else
        QCOMPARE(PortSetup::portNameFor("Com12", Rule::PortNumber), QString("Com12"));
#endif
    }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("file");  // "-" for no file
        QTest::addColumn<QStringList>("openable");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<char>("parity");
        const QString p = QStringLiteral("\\\\.\\");
        const QStringList com1{"COM1"};
        QTest::newRow("example") << QByteArray("1-Com3-1-1-0-2-0\n") << QStringList{"Com3"}
                                 << QStringList{"Com3"} << true << 1 << 0 << 9600 << 8 << 1 << 'E';
        QTest::newRow("Com12 by its length")
            << QByteArray("0-Com12-2-0-1-1-2\n") << QStringList{p + "Com12"}
            << QStringList{p + "Com12"} << true << 0 << 2 << 19200 << 7 << 2 << 'O';
        QTest::newRow("port does not open")
            << QByteArray("1-Com5-5-1-1-2-0\n") << com1 << QStringList{"Com5", "COM1"} << false << 0
            << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("fall back port does not open either")
            << QByteArray("2-Com5-5-1-1-2-0\n") << QStringList() << QStringList{"Com5", "COM1"}
            << false << 0 << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("no file") << QByteArray("-") << com1 << com1 << false << 0 << 1 << 9600 << 8
                                 << 1 << 'N';
        QTest::newRow("empty file")
            << QByteArray("") << com1 << com1 << false << 0 << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("missing fields")
            << QByteArray("1-Com5\n") << QStringList{"Com5"} << QStringList{"Com5"} << true << 1
            << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("only a protocol")
            << QByteArray("1\n") << com1 << com1 << false << 0 << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("extra fields")
            << QByteArray("2-Com5-3-0-0-1-2-9-9\n") << QStringList{"Com5"} << QStringList{"Com5"}
            << true << 2 << 2 << 38400 << 7 << 1 << 'O';
        QTest::newRow("letters") << QByteArray("x-Com5-q-q-q-q-q\n") << QStringList{"Com5"}
                                 << QStringList{"Com5"} << true << 2 << 1 << 115200 << 8 << 1
                                 << 'E';
        QTest::newRow("no separators") << QByteArray("hello world\n") << com1 << com1 << false << 0
                                       << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("binary junk") << QByteArray("\x01\xff\x80\x00junk\n", 9) << com1 << com1
                                     << false << 0 << 1 << 9600 << 8 << 1 << 'N';
        QTest::newRow("two lines, the second wins")
            << QByteArray("1-Com3-1-1-0-2-0\n0-Com4-3\n") << QStringList{"Com4"}
            << QStringList{"Com4"} << true << 0 << 0 << 38400 << 8 << 1 << 'E';
        QTest::newRow("blank lines are no protocol")
            << QByteArray("\n\n1-Com3-1-1-0-2-0\n  \n") << QStringList{"Com3"}
            << QStringList{"Com3"} << true << 1 << 0 << 9600 << 8 << 1 << 'E';
        QTest::newRow("written on Windows")
            << QByteArray("1-Com3-4-1-1-0-2\r\n") << QStringList{"Com3"} << QStringList{"Com3"}
            << true << 1 << 2 << 57600 << 8 << 2 << 'N';
    }
    void startUp()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, openable);
        QFETCH(QStringList, requested);
        QFETCH(bool, opened);
        QFETCH(int, protocol);
        QFETCH(int, lineEnd);
        QFETCH(int, baud);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QFETCH(char, parity);
        if (file != "-")
            m_dir.write("iniProtocol.txt", file);
        ScriptedPorts ports;
        ports.openable = openable;
        // A stale protocol code and a driver of another protocol beforehand.
        linkState().protocolCode = 2;
        ReadWrite *before = createDriver(2);
        before->setProtocol(2);
        setCurrentDriver(before);
        QSignalSpy spy(LinkEvents::instance(), &LinkEvents::showErrorInfo);

        QCOMPARE(PortSetup::openPortFromFile(), opened);

        QCOMPARE(ports.requested, requested);
        QCOMPARE(ports.made.size(), requested.size());
        for (int i = 0; i + 1 < ports.made.size(); ++i)
            QVERIFY(!ports.made.at(i)->isOpen());  // a refused port is not kept open
        const std::shared_ptr<Transport> port = linkState().serialPort();
        QCOMPARE(port.get(), static_cast<Transport *>(ports.last().get()));
        QCOMPARE(port->isOpen(), openable.contains(requested.last()));
        QCOMPARE(port->settings().baudRate, baud);
        QCOMPARE(port->settings().dataBits, dataBits);
        QCOMPARE(port->settings().stopBits, stopBits);
        QCOMPARE(port->settings().parity, parity);
        QCOMPARE(int(linkState().protocolCode), protocol);
        QCOMPARE(linkState().lineEnd.load(), lineEnd);
        QVERIFY(currentDriver() != before);
        QCOMPARE(currentDriver()->protocol(), protocol);
        QCOMPARE(currentDriver()->functionTable().size(), 1);
        QCOMPARE(int(currentDriver()->functionTable().first().at(0)), protocol);
        // Start-up never says anything about the port.
        QVERIFY(m_ui.messages().isEmpty());
        QCOMPARE(spy.count(), 0);
    }

    void startUpClosesThePreviousPort()
    {
        ScriptedPorts ports;
        ports.openable = QStringList{"Com3", "COM1"};
        m_dir.write("iniProtocol.txt", "1-Com3-1-1-0-2-0\n");
        QVERIFY(PortSetup::openPortFromFile());
        const std::shared_ptr<NamedFakePort> first = ports.last();
        QVERIFY(PortSetup::openPortFromFile());
        QVERIFY(!first->isOpen());
        QVERIFY(ports.last()->isOpen());
    }

    // The serial port itself: a stored device path opens at start-up and the
    // driver made for the stored protocol talks over it.
    void startUpOnARealPort()
    {
#ifdef Q_OS_UNIX
        PtyRtuPeer peer(1);
        if (peer.slavePath().isEmpty())
            QSKIP("no pseudo-terminal available");
        peer.setRegister(300, 0x1234);
        PortSetup::setDevicePrefixEnabled(false);
        m_dir.write("iniProtocol.txt", ("1-" + peer.slavePath() + "-2-1-0-0-0\n").toUtf8());
        QVERIFY(PortSetup::openPortFromFile());
        QCOMPARE(linkState().serialPort()->portName(), peer.slavePath());
        QCOMPARE(linkState().serialPort()->settings().baudRate, 19200);
        linkState().setStation(1);
        QCOMPARE(currentDriver()->readRegister(300, 1), double(0x1234));
        QVERIFY(m_ui.messages().isEmpty());
#else
        QSKIP("pseudo-terminals are a Unix facility");
#endif
    }

    // A refusal on the serial port itself: looking at the bytes waiting in
    // the port leaves them for the read, and the read ends without waiting
    // out the whole read window.
    void refusalOnARealPort()
    {
#ifdef Q_OS_UNIX
        PtyRtuPeer peer(1);
        if (peer.slavePath().isEmpty())
            QSKIP("no pseudo-terminal available");
        peer.setRegister(300, 0x1234);
        PortSetup::setDevicePrefixEnabled(false);
        m_dir.write("iniProtocol.txt", ("1-" + peer.slavePath() + "-2-1-0-0-0\n").toUtf8());
        QVERIFY(PortSetup::openPortFromFile());
        const auto port = std::dynamic_pointer_cast<SerialPortTransport>(linkState().serialPort());
        QVERIFY(port);
        linkState().setStation(1);
        ErrorRecorder errors;
        QCOMPARE(currentDriver()->readRegister(301, 1), -1.0);
        QCOMPARE(errors.codes(), QList<int>{12});
        QCOMPARE(peer.framesServed(), 1);
        QVERIFY(!port->lastReadStats().timedOut);
        QVERIFY(port->lastReadStats().polls < kQuietPollsIncomplete);
        QCOMPARE(currentDriver()->readRegister(300, 1), double(0x1234));
#else
        QSKIP("pseudo-terminals are a Unix facility");
#endif
    }

    void reopen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("prefix");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        const QString p = QStringLiteral("\\\\.\\");
        QTest::newRow("Com3") << "Com3" << true << "Com3" << true;
        QTest::newRow("Com12 by its number") << "Com12" << true << p + "Com12" << true;
        QTest::newRow("Com12 where there is no prefix") << "Com12" << false << "Com12" << true;
        QTest::newRow("Com7 does not open") << "Com7" << true << "Com7" << false;
        QTest::newRow("Com12 does not open") << "Com12" << true << p + "Com12" << false;
        QTest::newRow("ttyUSB0 does not open") << "ttyUSB0" << false << "ttyUSB0" << false;
    }
    void reopen()
    {
        QFETCH(QString, text);
        QFETCH(bool, prefix);
        QFETCH(QString, name);
        QFETCH(bool, opens);
        PortSetup::setDevicePrefixEnabled(prefix);
        ScriptedPorts ports;
        auto old = std::make_shared<NamedFakePort>("COM1");
        old->open();
        linkState().setSerialPort(old);
        if (opens)
            ports.openable.append(name);
        LineSettings settings;
        settings.baudRate = 38400;
        settings.dataBits = 7;
        settings.parity = 'O';
        settings.stopBits = 2;

        QCOMPARE(PortSetup::reopenPort(text, settings), opens);

        QVERIFY(!old->isOpen());
        QCOMPARE(ports.requested, QStringList{name});
        const std::shared_ptr<Transport> port = linkState().serialPort();
        QCOMPARE(port.get(), static_cast<Transport *>(ports.last().get()));
        QCOMPARE(port->isOpen(), opens);
        QVERIFY(port->settings() == settings);
        if (opens) {
            QVERIFY(m_ui.messages().isEmpty());
            return;
        }
        QCOMPARE(m_ui.messages().size(), 1);
        const RecordingInteraction::Message box = m_ui.messages().first();
        QCOMPARE(box.kind, QString("critical"));
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, "Can't open serial port" + name +
                               "\n The Specified serial port does not exist or occupied.");
    }

    // A port that runs with other line settings than the chosen ones says
    // so, at start-up and after the dialog; one that takes them says nothing.
    void refusedSettingsAreTold_data()
    {
        QTest::addColumn<bool>("atStartUp");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("7E1 at start-up")
            << true << "2-Com3-1-0-0-2-0"
            << "The port Com3 does not take 7 data bits, even parity; it runs with 8 data "
               "bits, no parity.";
        QTest::newRow("8O2 after the dialog")
            << false << "1-Com3-1-1-1-1-0"
            << "The port Com3 does not take odd parity, 2 stop bits; it runs with no parity, 1 "
               "stop bits.";
        QTest::newRow("8N1 taken") << true << "1-Com3-1-1-0-0-0" << QString();
    }
    void refusedSettingsAreTold()
    {
        QFETCH(bool, atStartUp);
        QFETCH(QString, line);
        QFETCH(QString, message);
        ScriptedPorts ports;
        ports.openable = QStringList{"Com3"};
        ports.takesOnly8N1 = true;
        const ComSettings settings = ComSettings::fromLine(line);
        if (atStartUp) {
            m_dir.write("iniProtocol.txt", line.toUtf8() + "\n");
            QVERIFY(PortSetup::openPortFromFile());
        } else {
            QVERIFY(PortSetup::reopenPort(settings.portText, settings.lineSettings()));
        }
        QVERIFY(linkState().serialPort()->isOpen());
        if (message.isEmpty()) {
            QVERIFY(m_ui.messages().isEmpty());
            return;
        }
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().first().title, QString("Warning"));
        QCOMPARE(m_ui.messages().first().text, message);
    }

    void installDriverMakesANewOneEachTime()
    {
        QList<ReadWrite *> seen;
        for (int protocol : {1, 0, 2, 1}) {
            ReadWrite *driver = PortSetup::installDriver(protocol);
            QCOMPARE(currentDriver(), driver);
            QVERIFY(!seen.contains(driver));
            seen.append(driver);
            QCOMPARE(driver->protocol(), protocol);
            QCOMPARE(driver->functionTable().size(), 1);
            QCOMPARE(int(driver->functionTable().first().at(0)), protocol);
            QCOMPARE(int(linkState().protocolCode), protocol);
        }
    }

    void writeSettings_data()
    {
        QTest::addColumn<QByteArray>("previous");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("refusedPort");
        QTest::newRow("example") << QByteArray("-") << "1-Com3-1-1-0-2-0" << true
                                 << QByteArray("1-Com3-1-1-0-2-0\n") << QString();
        QTest::newRow("longer file replaced whole")
            << QByteArray("0-Com12-5-1-1-1-1\n0-Com1-0-0-0-0-0\n") << "2-Com4-0-0-1-2-2" << true
            << QByteArray("2-Com4-0-0-1-2-2\n") << QString();
        const QByteArray kept("1-Com3-1-1-0-2-0\n");
        QTest::newRow("port text with a separator refused")
            << kept << "1-Com3-1-1-0-2-0" << false << kept << "usb-serial";
        // Texts that would not read back as written (a settings file in UTF-32
        // decodes to such characters): NUL, a lone surrogate, a control.
        QTest::newRow("NUL refused") << kept << "1-Com3-1-1-0-2-0" << false << kept
                                     << QString("Com") + QChar(0) + "3";
        QTest::newRow("lone surrogate refused") << kept << "1-Com3-1-1-0-2-0" << false << kept
                                                << QString(QChar(0xD800)) + "Com3";
        QTest::newRow("control refused") << kept << "1-Com3-1-1-0-2-0" << false << kept
                                         << "Com\x07" "3";
    }
    void writeSettings()
    {
        QFETCH(QByteArray, previous);
        QFETCH(QString, line);
        QFETCH(bool, written);
        QFETCH(QByteArray, result);
        QFETCH(QString, refusedPort);
        if (previous != "-")
            m_dir.write("iniProtocol.txt", previous);
        ComSettings settings = ComSettings::fromLine(line);
        if (!refusedPort.isEmpty())
            settings.portText = refusedPort;
        QCOMPARE(PortSetup::writeSettings(settings), written);
        QCOMPARE(readAll(PortSetup::settingsFileName()), result);
        // Nothing but the file itself is left beside it.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"iniProtocol.txt"});
    }

    void failedSaveKeepsThePreviousFile()
    {
        const QByteArray previous("0-Com12-5-1-1-1-1\n");
        m_dir.write("iniProtocol.txt", previous);
        const ComSettings settings = ComSettings::fromLine("1-Com3-1-1-0-2-0");
        const int result = runWithReadOnlyDir(
            m_dir.path(), [&settings] { return PortSetup::writeSettings(settings); });
        if (result < 0)
            QSKIP("a folder without write access cannot be arranged here");
        QCOMPARE(result, 0);
        QCOMPARE(readAll(PortSetup::settingsFileName()), previous);
        QVERIFY(m_ui.messages().isEmpty());
    }

private:
    static bool defaultPrefix()
    {
#ifdef Q_OS_WIN
        return true;
#else
        return false;
#endif
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    DataDir m_dir;
    RecordingInteraction m_ui;
};

QTEST_GUILESS_MAIN(TestPortSetup)
#include "tst_portsetup.moc"
