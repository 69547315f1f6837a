#include "link/driverregistry.h"
#include "common/scriptedports.h"
#include "common/testsupport.h"
#include "gui/mainwindow/ccomsetup.h"
#include "link/portsetup.h"
#include "link/readwrite.h"
#include "resources/images.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

namespace {
const char *const kNativeInfo[6] = {
    "Please set the P.170 of ZN series to 0, set the P.33 of other series to 1.",
    "This setting value should correspond to parameter P.32 settings.",
    "This setting value should correspond to parameter P.48 settings.",
    "This setting value should correspond to parameter P.49 settings.",
    "This setting value should correspond to parameter P.50 settings.",
    "This setting value should correspond to parameter P.51 settings.",
};
const char *const kModbusProtocol =
    "Please set the P.170 of ZN series to 1, set the P.33 of other series to 0.";
const char *const kModbusBaud =
    "This setting value of ZN series(other series) should correpond to P.172(P.32).";
const char *const kModbusFraming =
    "This setting value of ZN series(other series) should correpond to P.173(P.154).";
const char *const kInfoLabels[6] = {"ProtocolInfoLabel", "BaudInfoLabel",   "DataLengthInfoLabel",
                                    "StopBitInfoLabel",  "ParityInfoLabel", "CRLFInfoLabel"};
const QString kCantOpen = QStringLiteral("Can't open serial port");
const QString kReason = QStringLiteral("\n The Specified serial port does not exist or occupied.");

// Marks every text of the dialog's two translation contexts.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "ComSetDialog") == 0 || qstrcmp(context, "CComSetup") == 0)
            return QStringLiteral("T:") + QString::fromUtf8(source);
        return QString();
    }
    bool isEmpty() const override { return false; }
};
}  // namespace

// The communication setup dialog, offscreen: its form, the protocol rules,
// retranslation, and what confirming or cancelling it does to the link and
// to iniProtocol.txt.
class TestComSetup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initialiseImages();
        m_dir.copyShipped("InvType/FNC.txt");
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
        m_dialog.reset(new CComSetup);
        m_dialog->setPortLister([] { return QStringList{"Com1", "Com3", "Com5", "Com12"}; });
    }
    void cleanup()
    {
        m_dialog.reset();
        linkState().setSerialPort(nullptr);
#ifndef Q_OS_WIN
        PortSetup::setDevicePrefixEnabled(false);
#endif
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    void form()
    {
        QCOMPARE(m_dialog->windowTitle(), QString("Communication setup"));
        QVERIFY(!m_dialog->windowIcon().availableSizes().isEmpty());
        QCOMPARE(m_dialog->findChild<QGroupBox *>("SerialPortGroupBox")->title(),
                 QString("Serial Port setup"));
        QCOMPARE(m_dialog->findChild<QPushButton *>("OkPB")->text(), QString("OK"));
        QCOMPARE(m_dialog->findChild<QPushButton *>("CancelPB")->text(), QString("Cancel"));
        QCOMPARE(m_dialog->findChild<QLabel *>("ComPortInfoLabel")->text(), QString());
    }

    void combos_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("index");
        QTest::newRow("protocol") << "ProtocolcomboBox"
                                  << "ProtocolLabel"
                                  << "Protocol selection:"
                                  << QStringList{"Korvane protocol", "Modbus RTU", "Modbus ASCII"}
                                  << 0;
        QTest::newRow("port") << "ComPortComboBox"
                              << "ComPortLabel"
                              << "Serial Port:" << QStringList{"Com1", "Com3", "Com5", "Com12"}
                              << 0;
        QTest::newRow("baud") << "BaudcomboBox"
                              << "BaudLabel"
                              << "Baud rate:  "
                              << QStringList{"4800", "9600", "19200", "38400", "57600", "115200"}
                              << 1;
        QTest::newRow("data length") << "DataLengthcomboBox"
                                     << "DataLengthLabel"
                                     << "Data Length:" << QStringList{"7", "8"} << 1;
        QTest::newRow("stop bits") << "StopBitcomboBox"
                                   << "StopBitLabel"
                                   << "Stop Bit:   " << QStringList{"1", "2"} << 0;
        QTest::newRow("parity") << "ParitycomboBox"
                                << "ParityLabel"
                                << "Parity Bit: " << QStringList{"None", "Odd", "Even"} << 0;
        QTest::newRow("line end") << "CRLFcomboBox"
                                  << "CRLFLabel"
                                  << "CR/LF:      " << QStringList{"None", "CR", "CR+LF"} << 1;
    }
    void combos()
    {
        QFETCH(QString, combo);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QFETCH(QStringList, items);
        QFETCH(int, index);
        QCOMPARE(itemsOf(combo), items);
        QCOMPARE(box(combo)->currentIndex(), index);
        QCOMPARE(m_dialog->findChild<QLabel *>(label)->text(), caption);
    }

    void protocolRules_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("lineEndLabel");
        QTest::addColumn<int>("dataIndex");
        QTest::addColumn<int>("lineEndIndex");
        QTest::addColumn<QStringList>("info");
        QStringList native;
        for (const char *text : kNativeInfo)
            native.append(text);
        QTest::newRow("native after ASCII keeps the choices")
            << 2 << 0 << true << true << 0 << 2 << native;
        QTest::newRow("Modbus RTU")
            << 2 << 1 << false << false << 1 << 0
            << QStringList{kModbusProtocol, kModbusBaud,    "This value only can be set to 8.",
                           kModbusFraming,  kModbusFraming, " "};
        QTest::newRow("Modbus ASCII")
            << 1 << 2 << false << true << 0 << 2
            << QStringList{kModbusProtocol, kModbusBaud,    "This value only can be set to 7.",
                           kModbusFraming,  kModbusFraming, "This value only can be set to CR+LF."};
    }
    void protocolRules()
    {
        QFETCH(int, from);
        QFETCH(int, protocol);
        QFETCH(bool, enabled);
        QFETCH(bool, lineEndLabel);
        QFETCH(int, dataIndex);
        QFETCH(int, lineEndIndex);
        QFETCH(QStringList, info);
        box("ProtocolcomboBox")->setCurrentIndex(from);
        box("ProtocolcomboBox")->setCurrentIndex(protocol);
        QCOMPARE(box("DataLengthcomboBox")->isEnabled(), enabled);
        QCOMPARE(box("CRLFcomboBox")->isEnabled(), enabled);
        QCOMPARE(m_dialog->findChild<QLabel *>("CRLFLabel")->isEnabled(), lineEndLabel);
        QCOMPARE(box("DataLengthcomboBox")->currentIndex(), dataIndex);
        QCOMPARE(box("CRLFcomboBox")->currentIndex(), lineEndIndex);
        QCOMPARE(infoTexts(), info);
    }

    void initialInfoIsNative()
    {
        QStringList native;
        for (const char *text : kNativeInfo)
            native.append(text);
        QCOMPARE(infoTexts(), native);
        QVERIFY(box("DataLengthcomboBox")->isEnabled());
        QVERIFY(box("CRLFcomboBox")->isEnabled());
    }

    void retranslation()
    {
        box("ProtocolcomboBox")->setCurrentIndex(1);
        box("BaudcomboBox")->setCurrentIndex(3);
        box("ComPortComboBox")->setCurrentIndex(2);
        MarkingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        m_dialog->retranslate();
        QCoreApplication::removeTranslator(&translator);

        QCOMPARE(m_dialog->windowTitle(), QString("T:Communication setup"));
        QCOMPARE(itemsOf("ProtocolcomboBox"),
                 (QStringList{"T:Korvane protocol", "Modbus RTU", "Modbus ASCII"}));
        QCOMPARE(itemsOf("ParitycomboBox"), (QStringList{"T:None", "T:Odd", "T:Even"}));
        QCOMPARE(itemsOf("CRLFcomboBox"), (QStringList{"T:None", "CR", "CR+LF"}));
        QCOMPARE(itemsOf("BaudcomboBox").at(0), QString("4800"));
        QCOMPARE(itemsOf("ComPortComboBox"), (QStringList{"Com1", "Com3", "Com5", "Com12"}));
        QCOMPARE(infoTexts().at(0), QString("T:") + kModbusProtocol);
        QCOMPARE(infoTexts().at(2), QString("T:This value only can be set to 8."));
        QCOMPARE(infoTexts().at(5), QString("T: "));
        // Choices and enable states stay.
        QCOMPARE(box("ProtocolcomboBox")->currentIndex(), 1);
        QCOMPARE(box("BaudcomboBox")->currentIndex(), 3);
        QCOMPARE(box("ComPortComboBox")->currentIndex(), 2);
        QCOMPARE(box("DataLengthcomboBox")->currentIndex(), 1);
        QCOMPARE(box("CRLFcomboBox")->currentIndex(), 0);
        QCOMPARE(box("ParitycomboBox")->currentIndex(), 0);
        QVERIFY(!box("DataLengthcomboBox")->isEnabled());
        QVERIFY(!box("CRLFcomboBox")->isEnabled());
        QVERIFY(!m_dialog->findChild<QLabel *>("CRLFLabel")->isEnabled());

        m_dialog->retranslate();
        QCOMPARE(itemsOf("ProtocolcomboBox").at(0), QString("Korvane protocol"));
        QCOMPARE(infoTexts().at(0), QString(kModbusProtocol));
    }

    void exampleRoundTrips()
    {
        const QByteArray line("1-Com3-1-1-0-2-0\n");
        m_dir.write("iniProtocol.txt", line);
        ScriptedPorts ports;
        ports.openable = QStringList{"Com3"};
        QVERIFY(m_dialog->loadFromFile());
        QCOMPARE(box("ProtocolcomboBox")->currentIndex(), 1);
        QCOMPARE(box("ComPortComboBox")->currentText(), QString("Com3"));
        QCOMPARE(box("BaudcomboBox")->currentIndex(), 1);
        QCOMPARE(box("DataLengthcomboBox")->currentIndex(), 1);
        QCOMPARE(box("StopBitcomboBox")->currentIndex(), 0);
        QCOMPARE(box("ParitycomboBox")->currentIndex(), 2);
        QCOMPARE(box("CRLFcomboBox")->currentIndex(), 0);

        ReadWrite *before = currentDriver();
        runAccepting([] {});
        QCOMPARE(readAll(PortSetup::settingsFileName()), line);
        QCOMPARE(ports.requested, QStringList{"Com3"});
        const LineSettings s = linkState().serialPort()->settings();
        QCOMPARE(s.baudRate, 9600);
        QCOMPARE(s.dataBits, 8);
        QCOMPARE(s.stopBits, 1);
        QCOMPARE(s.parity, 'E');
        QVERIFY(linkState().serialPort()->isOpen());
        QCOMPARE(int(linkState().protocolCode), 1);
        QCOMPARE(linkState().lineEnd.load(), 0);
        QVERIFY(currentDriver() != before);
        QCOMPARE(currentDriver()->protocol(), 1);
        QVERIFY(m_ui.messages().isEmpty());
    }

    void confirmedChoices_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("dataChosen");
        QTest::addColumn<int>("lineEndChosen");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("Modbus RTU fixes 8 bits and no line end")
            << 1 << 0 << 2 << QByteArray("1-Com12-4-1-1-1-0\n") << 8 << 0;
        QTest::newRow("Modbus ASCII fixes 7 bits and CR+LF")
            << 2 << 1 << 0 << QByteArray("2-Com12-4-0-1-1-2\n") << 7 << 2;
        QTest::newRow("native 7 bits, CR+LF")
            << 0 << 0 << 2 << QByteArray("0-Com12-4-0-1-1-2\n") << 7 << 2;
        QTest::newRow("native 8 bits, no line end")
            << 0 << 1 << 0 << QByteArray("0-Com12-4-1-1-1-0\n") << 8 << 0;
    }
    void confirmedChoices()
    {
        QFETCH(int, protocol);
        QFETCH(int, dataChosen);
        QFETCH(int, lineEndChosen);
        QFETCH(QByteArray, stored);
        QFETCH(int, dataBits);
        QFETCH(int, lineEnd);
        m_dir.write("iniProtocol.txt", "0-Com1-1-1-0-0-1\n");
        ScriptedPorts ports;
        ports.openable = QStringList{"\\\\.\\Com12"};
        runAccepting([&] {
            box("ProtocolcomboBox")->setCurrentIndex(0);
            box("DataLengthcomboBox")->setCurrentIndex(dataChosen);
            box("CRLFcomboBox")->setCurrentIndex(lineEndChosen);
            box("ProtocolcomboBox")->setCurrentIndex(protocol);
            box("ComPortComboBox")->setCurrentText("Com12");
            box("BaudcomboBox")->setCurrentIndex(4);
            box("StopBitcomboBox")->setCurrentIndex(1);
            box("ParitycomboBox")->setCurrentIndex(1);
        });
        QCOMPARE(readAll(PortSetup::settingsFileName()), stored);
        QCOMPARE(ports.requested, QStringList{"\\\\.\\Com12"});
        const LineSettings s = linkState().serialPort()->settings();
        QCOMPARE(s.baudRate, 57600);
        QCOMPARE(s.dataBits, dataBits);
        QCOMPARE(s.stopBits, 2);
        QCOMPARE(s.parity, 'O');
        QCOMPARE(int(linkState().protocolCode), protocol);
        QCOMPARE(currentDriver()->protocol(), protocol);
        QCOMPARE(linkState().lineEnd.load(), lineEnd);
        QCOMPARE(box("DataLengthcomboBox")->isEnabled(), protocol == 0);
        QVERIFY(m_ui.messages().isEmpty());
    }

    void eachConfirmationMakesANewDriver()
    {
        ScriptedPorts ports;
        ports.openable = QStringList{"Com1"};
        ReadWrite *first = nullptr;
        runAccepting([] {});
        first = currentDriver();
        runAccepting([] {});
        QVERIFY(currentDriver() != first);
        QCOMPARE(currentDriver()->protocol(), 0);
    }

    void portThatDoesNotOpen_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reported");
        QTest::newRow("Com5") << QByteArray("1-Com5-1-1-0-2-0\n") << "Com5";
        QTest::newRow("Com12 with the prefix")
            << QByteArray("1-Com12-1-1-0-2-0\n") << "\\\\.\\Com12";
    }
    void portThatDoesNotOpen()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reported);
        m_dir.write("iniProtocol.txt", file);
        ScriptedPorts ports;
        ports.openable = QStringList{"COM1"};

        // At start-up: silently COM1 with the native protocol.
        QVERIFY(!PortSetup::openPortFromFile());
        QCOMPARE(ports.requested, (QStringList{reported, "COM1"}));
        QCOMPARE(linkState().serialPort()->portName(), QString("COM1"));
        QVERIFY(linkState().serialPort()->isOpen());
        QCOMPARE(int(linkState().protocolCode), 0);
        QCOMPARE(linkState().lineEnd.load(), 1);
        QVERIFY(m_ui.messages().isEmpty());

        // After the dialog: the critical box, and the choices still apply.
        runAccepting([] {});
        QCOMPARE(m_ui.messages().size(), 1);
        const RecordingInteraction::Message message = m_ui.messages().first();
        QCOMPARE(message.kind, QString("critical"));
        QCOMPARE(message.title, QString("Error"));
        QCOMPARE(message.text, kCantOpen + reported + kReason);
        QVERIFY(!linkState().serialPort()->isOpen());
        QCOMPARE(linkState().serialPort()->portName(), reported);
        QVERIFY(!ports.made.at(1)->isOpen());  // COM1 was let go
        QCOMPARE(int(linkState().protocolCode), 1);
        QCOMPARE(currentDriver()->protocol(), 1);
        QCOMPARE(linkState().lineEnd.load(), 0);
        QCOMPARE(readAll(PortSetup::settingsFileName()), file);
    }

    void cancelChangesNothing()
    {
        const QByteArray line("1-Com3-1-1-0-2-0\n");
        m_dir.write("iniProtocol.txt", line);
        ScriptedPorts ports;
        ports.openable = QStringList{"Com3", "Com12"};
        QVERIFY(PortSetup::openPortFromFile());
        const std::shared_ptr<Transport> port = linkState().serialPort();
        ReadWrite *driver = currentDriver();
        m_dialog->setModalRunner([this](CComSetup &) {
            box("ProtocolcomboBox")->setCurrentIndex(2);
            box("ComPortComboBox")->setCurrentText("Com12");
            box("BaudcomboBox")->setCurrentIndex(5);
            return int(QDialog::Rejected);
        });
        m_dialog->iniComDialog();
        QCOMPARE(ports.requested, QStringList{"Com3"});
        QCOMPARE(linkState().serialPort(), port);
        QVERIFY(port->isOpen());
        QCOMPARE(currentDriver(), driver);
        QCOMPARE(int(linkState().protocolCode), 1);
        QCOMPARE(linkState().lineEnd.load(), 0);
        QCOMPARE(readAll(PortSetup::settingsFileName()), line);
        QCOMPARE(m_dialog->settings().toLine() + '\n', QString::fromLatin1(line));
        QVERIFY(m_ui.messages().isEmpty());
    }

    void handEditedFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters and an unknown port")
            << QByteArray("x-Com9-q-7-z-z-z\n") << "2-Com1-5-0-0-2-2";
        QTest::newRow("missing fields") << QByteArray("1-Com3\n") << "1-Com3-1-1-0-0-0";
        QTest::newRow("extra fields")
            << QByteArray("0-Com12-3-0-1-1-2-9-9-9\n") << "0-Com12-3-0-1-1-2";
        QTest::newRow("empty file") << QByteArray() << "0-Com1-1-1-0-0-1";
        QTest::newRow("blank lines") << QByteArray("\n \n") << "0-Com1-1-1-0-0-1";
        QTest::newRow("two lines")
            << QByteArray("1-Com3-1-1-0-2-0\n0-Com12-2\n") << "0-Com12-2-1-0-2-0";
        QTest::newRow("binary junk")
            << QByteArray("\xff\xfe\x00\x01-\x80\n", 7) << "2-Com1-1-0-0-0-2";
    }
    void handEditedFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        m_dir.write("iniProtocol.txt", file);
        m_dialog->loadFromFile();
        QCOMPARE(m_dialog->settings().toLine(), shown);
        ScriptedPorts ports;
        runAccepting([] {});
        QCOMPARE(readAll(PortSetup::settingsFileName()), shown.toLatin1() + '\n');
    }

    void portItems_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("Windows, ascending by number")
            << QStringList{"COM12", "COM3", "COM1", "COM10"} << true
            << QStringList{"Com1", "Com3", "Com10", "Com12"};
        QTest::newRow("Windows, other names left out")
            << QStringList{"COM4", "CNCA0", "COMx"} << true << QStringList{"Com4"};
        QTest::newRow("Windows, no ports") << QStringList() << true << QStringList{"Com0"};
        QTest::newRow("system names in natural order")
            << QStringList{"ttyUSB1", "ttyS10", "ttyS2", "ttyACM0", "ttyUSB0"} << false
            << QStringList{"ttyACM0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1"};
        QTest::newRow("names the settings line cannot hold")
            << QStringList{"tty-odd", "ttyS0", "my port"} << false << QStringList{"ttyS0"};
        QTest::newRow("no ports") << QStringList() << false << QStringList{"Com0"};
    }
    void portItems()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, windows);
        QFETCH(QStringList, items);
        QCOMPARE(CComSetup::portItems(names, windows), items);
    }

    void portListFollowsTheSystem()
    {
        QStringList ports{"Com1", "Com3"};
        m_dialog->setPortLister([&ports] { return ports; });
        box("ComPortComboBox")->setCurrentText("Com3");
        ports = QStringList{"Com3", "Com4"};
        ScriptedPorts scripted;
        m_dialog->setModalRunner([](CComSetup &) { return int(QDialog::Rejected); });
        m_dialog->iniComDialog();
        QCOMPARE(itemsOf("ComPortComboBox"), ports);
        QCOMPARE(box("ComPortComboBox")->currentText(), QString("Com3"));
    }

private:
    QComboBox *box(const QString &name) const
    {
        auto *combo = m_dialog->findChild<QComboBox *>(name);
        if (!combo)
            qFatal("no combo %s", qPrintable(name));
        return combo;
    }
    QStringList itemsOf(const QString &name) const
    {
        QStringList items;
        for (int i = 0; i < box(name)->count(); ++i)
            items.append(box(name)->itemText(i));
        return items;
    }
    QStringList infoTexts() const
    {
        QStringList texts;
        for (const char *name : kInfoLabels)
            texts.append(m_dialog->findChild<QLabel *>(name)->text());
        return texts;
    }
    void runAccepting(const std::function<void()> &choose)
    {
        m_dialog->setModalRunner([choose](CComSetup &) {
            choose();
            return int(QDialog::Accepted);
        });
        m_dialog->iniComDialog();
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    DataDir m_dir;
    RecordingInteraction m_ui;
    std::unique_ptr<CComSetup> m_dialog;
};

QTEST_MAIN(TestComSetup)
#include "tst_comsetup.moc"
