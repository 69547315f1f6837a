#include "app/startup.h"
#include "common/testsupport.h"

#include <QApplication>
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

private:
    RecordingInteraction m_ui;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
