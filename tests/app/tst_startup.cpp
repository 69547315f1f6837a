#include "app/startup.h"
#include "simulator/simport.h"
#include "common/testsupport.h"
#include "link/readwrite.h"

#include <QApplication>
#include <QMainWindow>
#include <QtTest>

#include <thread>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetSharedState();
        linkState().reset();
        setUserInteraction(&m_ui);
        m_ui.clear();
    }
    void cleanup() { setUserInteraction(nullptr); }

    void sharedStateFromTheFiles()
    {
        DataDir dir;
        dir.write("LT.txt", "2\n");
        dir.write("InvType/typeInfo.txt", "readWrite_H//1//0//0//0//0//0//0//0//0//0//0\n");
        linkState().stationByte = 7;
        linkState().commError = true;
        setSeriesLetter('H');
        initialiseSharedState();
        QCOMPARE(int(languageCode()), 2);
        QCOMPARE(seriesLetter(), '0');
        QCOMPARE(int(linkState().stationByte), 0);
        QVERIFY(!linkState().commError);
        QCOMPARE(linkState().stationText(), QByteArray(2, '\0'));
        setSeriesLetter('H');
        QVERIFY(isSeriesFeature("readWrite_H"));
    }

    void missingFilesGiveEnglishAndNoFeatures()
    {
        DataDir dir;
        setLanguageCode(1);
        initialiseSharedState();
        QCOMPARE(int(languageCode()), 0);
        setSeriesLetter('H');
        QVERIFY(!isSeriesFeature("readWrite_H"));
        QVERIFY(m_ui.messages().isEmpty());
    }

    void windowShowsLinkErrors_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1") << -1 << "Communication Error!";
        QTest::newRow("8") << 8 << "Communication Error!";
        QTest::newRow("12") << 12 << "Illegal data address!";
        QTest::newRow("19") << 19 << "Material range error!";
        QTest::newRow("no text") << 42 << "Communication Error!";
    }
    void windowShowsLinkErrors()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        std::unique_ptr<QMainWindow> window(createMainWindow());
        QCOMPARE(window->windowTitle(), QString("Vantreo"));
        emit LinkEvents::instance()->showErrorInfo(code);
        // Queued also on the GUI thread: the box opens from the event loop,
        // never inside the failing call.
        QVERIFY(m_ui.messages().isEmpty());
        QTRY_COMPARE(m_ui.messages().size(), 1);
        const auto messages = m_ui.messages();
        QCOMPARE(messages.at(0).kind, QString("warning"));
        QCOMPARE(messages.at(0).title, QString("Warning"));
        QCOMPARE(messages.at(0).text, text);
    }

    void errorsFromOtherThreadsReachTheGuiThread()
    {
        std::unique_ptr<QMainWindow> window(createMainWindow());
        std::thread poller([] { emit LinkEvents::instance()->showErrorInfo(12); });
        poller.join();
        QTRY_COMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().at(0).thread, QThread::currentThread());
        window.reset();
        emit LinkEvents::instance()->showErrorInfo(12);
        QCoreApplication::processEvents();
        QCOMPARE(m_ui.messages().size(), 1);  // no window, nobody shows it
    }

    void demoRunsOnTheSimulatedLine()
    {
        DataDir dir;
        dir.copyShipped("InvType/FNC.txt");
        dir.write("iniProtocol.txt", "0-nosuchport-1-1-0-0-1\n");
        openLink(true);
        QCOMPARE(linkState().serialPort()->portName(), QString("sim"));
        QCOMPARE(int(linkState().protocolCode), 1);
        QCOMPARE(currentDriver()->protocol(), 1);
        linkState().setStation(2);  // the ZN drive of the demo line
        QCOMPARE(currentDriver()->readRegister(300, 0.01), 5.5);
        QVERIFY(m_ui.messages().isEmpty());
        // A session of days must not pile up a record of its traffic.
        const auto sim = std::dynamic_pointer_cast<SimPort>(linkState().serialPort());
        QVERIFY(sim && sim->writes().isEmpty() && sim->readStats().isEmpty());
        QFile file(dir.path() + "/iniProtocol.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("0-nosuchport-1-1-0-0-1\n"));  // left alone
    }

    void storedSimulatedPortOpensWithoutDemo()
    {
        DataDir dir;
        dir.copyShipped("InvType/FNC.txt");
        dir.write("iniProtocol.txt", "1-sim-1-1-0-0-0\n");
        openLink(false);
        QCOMPARE(linkState().serialPort()->portName(), QString("sim"));
        linkState().setStation(1);
        QCOMPARE(currentDriver()->readRegister(7, 0.1), 5.0);
        linkState().setSerialPort(nullptr);
    }

private:
    RecordingInteraction m_ui;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
