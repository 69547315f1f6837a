#include "gui/app/startup.h"
#include "common/testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>


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

    void quitAfterArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("seconds");
        QTest::newRow("absent") << QStringList{"vantreo", "--demo"} << true << -1;
        QTest::newRow("zero") << QStringList{"vantreo", "--quit-after", "0"} << true << 0;
        QTest::newRow("a day") << QStringList{"vantreo", "--quit-after", "86400"} << true << 86400;
        QTest::newRow("no value") << QStringList{"vantreo", "--quit-after"} << false << -1;
        QTest::newRow("not a number") << QStringList{"vantreo", "--quit-after", "soon"} << false << -1;
        QTest::newRow("negative") << QStringList{"vantreo", "--quit-after", "-1"} << false << -1;
        QTest::newRow("over a day") << QStringList{"vantreo", "--quit-after", "86401"} << false << -1;
    }
    void quitAfterArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFETCH(int, seconds);
        int got = 7;
        QString error;
        QCOMPARE(quitAfterSeconds(arguments, &got, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok)
            QCOMPARE(got, seconds);
    }

    // The built program on its simulated drives leaves by itself with status 0,
    // as an installation check runs it, and refuses a bad value with status 2.
    void demoQuitsByItself_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("status");
        QTest::newRow("after a second") << "1" << 0;
        QTest::newRow("bad value") << "x" << 2;
    }
    void demoQuitsByItself()
    {
        QFETCH(QString, seconds);
        QFETCH(int, status);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        program.start(VANTREO_BIN_DIR "/vantreo", {"--demo", "--quit-after", seconds});
        QVERIFY2(program.waitForFinished(60000), "vantreo --demo did not quit by itself");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == status, program.readAllStandardError().constData());
        if (status == 0)
            QVERIFY(clock.elapsed() >= 900);
    }

private:
    RecordingInteraction m_ui;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
