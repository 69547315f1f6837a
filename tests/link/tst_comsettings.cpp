#include "link/comsettings.h"

#include <QtTest>

class TestComSettings : public QObject
{
    Q_OBJECT
private slots:
    void exampleRoundTrips()
    {
        const ComSettings s = ComSettings::fromLine("1-Com3-1-1-0-2-0");
        QCOMPARE(s.protocol, 1);
        QCOMPARE(s.portText, QString("Com3"));
        QCOMPARE(s.lineSettings().baudRate, 9600);
        QCOMPARE(s.lineSettings().dataBits, 8);
        QCOMPARE(s.lineSettings().stopBits, 1);
        QCOMPARE(s.lineSettings().parity, 'E');
        QCOMPARE(s.lineEndIndex, 0);
        QCOMPARE(s.toLine(), QString("1-Com3-1-1-0-2-0"));
    }

    // Port texts are the user's own; whatever they hold is stored as it is.
    void portTextsRoundTrip_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("percent digit") << "%0";
        QTest::newRow("percent placeholders") << "a%1b%7";
        QTest::newRow("unicode") << QString::fromUtf8("\xc3\xa9tty");
    }
    void portTextsRoundTrip()
    {
        QFETCH(QString, port);
        ComSettings s;
        s.protocol = 2;
        s.portText = port;
        s.baudIndex = 3;
        s.parityIndex = 1;
        s.lineEndIndex = 2;
        QCOMPARE(s.toLine(), QString("2-%1-3-1-0-1-2").arg(port));
        const ComSettings back = ComSettings::fromLine(s.toLine());
        QCOMPARE(back.portText, port);
        QCOMPARE(back.baudIndex, 3);
        QCOMPARE(back.toLine(), s.toLine());
    }

    void handEditedLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<char>("parity");
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("ASCII by any other protocol text") << "x-Com1-0-0-1-1-2" << 2 << "Com1"
                                                          << 4800 << 7 << 2 << 'O' << 2;
        QTest::newRow("unknown baud is 115200") << "0-Com2-9-1-0-0-1" << 0 << "Com2" << 115200
                                                << 8 << 1 << 'N' << 1;
        QTest::newRow("letters keep the defaults") << "1-ttyUSB0-1-a-b-z-q" << 1 << "ttyUSB0"
                                                   << 9600 << 8 << 1 << 'E' << 1;
        QTest::newRow("missing fields") << "1-Com5" << 1 << "Com5" << 9600 << 8 << 1 << 'N' << 1;
        QTest::newRow("extra fields ignored") << "1-Com5-5-1-1-1-0-7-7" << 1 << "Com5" << 115200
                                              << 8 << 2 << 'O' << 0;
        QTest::newRow("empty line") << "" << 2 << "COM1" << 9600 << 8 << 1 << 'N' << 1;
        QTest::newRow("white space around") << "  0-Com4-2-1-0-0-2\r\n" << 0 << "Com4" << 19200
                                            << 8 << 1 << 'N' << 2;
    }
    void handEditedLines()
    {
        QFETCH(QString, line);
        QFETCH(int, protocol);
        QFETCH(QString, port);
        QFETCH(int, baud);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QFETCH(char, parity);
        QFETCH(int, lineEnd);
        const ComSettings s = ComSettings::fromLine(line);
        QCOMPARE(s.protocol, protocol);
        QCOMPARE(s.portText, port);
        QCOMPARE(s.lineSettings().baudRate, baud);
        QCOMPARE(s.lineSettings().dataBits, dataBits);
        QCOMPARE(s.lineSettings().stopBits, stopBits);
        QCOMPARE(s.lineSettings().parity, parity);
        QCOMPARE(s.lineEndIndex, lineEnd);
    }

    void bauds()
    {
        const int expected[] = {4800, 9600, 19200, 38400, 57600, 115200};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(ComSettings::baudForIndex(i), expected[i]);
            QCOMPARE(ComSettings::indexForBaud(expected[i]), i);
        }
        QCOMPARE(ComSettings::indexForBaud(1200), -1);
    }
};

QTEST_GUILESS_MAIN(TestComSettings)
#include "tst_comsettings.moc"
