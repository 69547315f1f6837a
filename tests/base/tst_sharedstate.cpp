#include "common/testsupport.h"

#include <QtTest>

class TestSharedState : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetSharedState(); }

    void languageCode_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("code");
        QTest::newRow("english") << true << QByteArray("0\n") << true << 0;
        QTest::newRow("simplified") << true << QByteArray("1\n") << true << 1;
        QTest::newRow("traditional, no line break") << true << QByteArray("2") << true << 2;
        QTest::newRow("CR LF") << true << QByteArray("2\r\n") << true << 2;
        QTest::newRow("three selects English") << true << QByteArray("3\n") << false << 0;
        QTest::newRow("only first line counts") << true << QByteArray("x\n1\n") << false << 0;
        QTest::newRow("empty") << true << QByteArray() << false << 0;
        QTest::newRow("missing") << false << QByteArray() << false << 0;
        QTest::newRow("binary junk") << true << QByteArray("\x00\xff\x01", 3) << false << 0;
    }
    void languageCode()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        QFETCH(bool, loaded);
        QFETCH(int, code);
        DataDir dir;
        if (present)
            dir.write("LT.txt", content);
        QCOMPARE(loadLanguageCode(), loaded);
        QCOMPARE(int(::languageCode()), code);
    }

    void featureColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("on");
        const QString t = "readWrite_99999//0//1-x//0,5//1-0//,0//0|1//1//1//1//1//1\n"
                          "short//1//1\n"
                          "dup//1//1//1//1//1//1//1//1//1//1//1\n"
                          "dup//0//0//0//0//0//0//0//0//0//0//0\n";
        QTest::newRow("first column 0 is off for ZN") << t << 'H' << "readWrite_99999" << false;
        QTest::newRow("1-x is on for ZD") << t << 'B' << "readWrite_99999" << true;
        QTest::newRow("0,5 is off") << t << 'C' << "readWrite_99999" << false;
        QTest::newRow("1-0 is on") << t << 'S' << "readWrite_99999" << true;
        QTest::newRow(",0 is off") << t << 'E' << "readWrite_99999" << false;
        QTest::newRow("0|1 is on") << t << 'F' << "readWrite_99999" << true;
        QTest::newRow("last column is ZQ") << t << 'A' << "readWrite_99999" << true;
        QTest::newRow("no series") << t << '0' << "readWrite_99999" << false;
        QTest::newRow("unknown letter") << t << 'Z' << "readWrite_99999" << false;
        QTest::newRow("unknown key") << t << 'B' << "nothing" << false;
        QTest::newRow("present column of a short row") << t << 'B' << "short" << true;
        QTest::newRow("missing column of a short row") << t << 'C' << "short" << false;
        QTest::newRow("first row of a key wins") << t << 'A' << "dup" << true;
        QTest::newRow("CR LF lines") << QString("k//1//1//1//1//1//1//1//1//1//1//0\r\n") << 'A'
                                     << "k" << false;
        QTest::newRow("empty pieces dropped") << QString("k////0//1") << 'B' << "k" << true;
    }
    void featureColumns()
    {
        QFETCH(QString, table);
        QFETCH(char, letter);
        QFETCH(QString, key);
        QFETCH(bool, on);
        setSeriesFeatureText(table);
        setSeriesLetter(letter);
        QCOMPARE(isSeriesFeature(key), on);
    }

    void featureFile()
    {
        DataDir dir;
        setSeriesLetter('B');
        QVERIFY(!loadSeriesFeatures());
        QVERIFY(!isSeriesFeature("readWrite_99999"));
        dir.write("InvType/typeInfo.txt", "readWrite_99999//0//1//0//0//0//0//0//0//0//0//0\n");
        QVERIFY(loadSeriesFeatures());
        QVERIFY(isSeriesFeature("readWrite_99999"));
        QFile::remove(dir.path() + "/InvType/typeInfo.txt");
        QVERIFY(!loadSeriesFeatures());
        QVERIFY2(!isSeriesFeature("readWrite_99999"), "a failed reload leaves every feature off");
    }

    void shippedTableHasTheLinkKeys()
    {
        DataDir dir;
        dir.copyShipped("InvType/typeInfo.txt");
        QVERIFY(loadSeriesFeatures());
        for (char letter : {'H', 'B', 'C', 'S', 'E', 'F', 'G', 'X', 'T', 'L', 'A'}) {
            setSeriesLetter(letter);
            // The native-only mode values 6 and 7 belong to ZN alone.
            QCOMPARE(isSeriesFeature("readWrite_H"), letter == 'H');
        }
    }
};

QTEST_GUILESS_MAIN(TestSharedState)
#include "tst_sharedstate.moc"
