#include "base/series.h"

#include <QtTest>

class TestSeries : public QObject
{
    Q_OBJECT
private slots:
    void letterFromModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<char>("current");
        QTest::addColumn<char>("letter");
        QTest::newRow("ZN") << "ZN-020-5.5K" << '0' << 'H';
        QTest::newRow("ZD") << "ZD-043-0.75K" << '0' << 'B';
        QTest::newRow("ZW") << "ZW-023-1.5K" << '0' << 'C';
        QTest::newRow("ZR") << "ZR-043-11K" << '0' << 'S';
        QTest::newRow("ZP") << "ZP-043-22K" << '0' << 'E';
        QTest::newRow("ZM") << "ZM-043-7.5K" << '0' << 'F';
        QTest::newRow("ZP2") << "ZP2-043-2.2K" << '0' << 'X';
        QTest::newRow("ZR2") << "ZR2-043-15K" << '0' << 'T';
        QTest::newRow("ZQ") << "ZQ1-043-5.5K" << '0' << 'A';
        QTest::newRow("ZM-K suffix") << "ZM-043-7.5K-K" << '0' << 'G';
        QTest::newRow("ZM-K dual rating") << "ZM-043-185K/200K-K" << '0' << 'G';
        QTest::newRow("ZM-KX suffix") << "ZM-043-5.5K-KX" << '0' << 'L';
        QTest::newRow("three-character code ending in K") << "ZM-K-043-7.5K" << '0' << 'G';
        QTest::newRow("white space simplified") << "  ZN-020-5.5K " << '0' << 'H';
        QTest::newRow("unknown code keeps the letter") << "ZZ-043-1K" << 'B' << 'B';
        QTest::newRow("no zero keeps the letter") << "ZN-1-5.5K" << 'S' << 'S';
        QTest::newRow("empty keeps the letter") << "" << 'F' << 'F';
        QTest::newRow("zero right after the prefix") << "Z0" << 'F' << 'F';
        QTest::newRow("longer code unknown") << "ZABCD-043-1K" << 'E' << 'E';
    }
    void letterFromModel()
    {
        QFETCH(QString, model);
        QFETCH(char, current);
        QFETCH(char, letter);
        QCOMPARE(seriesLetterForModel(model, current), letter);
    }

    void seriesCodeOfModel()
    {
        QCOMPARE(modelSeriesCode("ZN-020-5.5K"), QString("N"));
        QCOMPARE(modelSeriesCode("ZP2-043-2.2K"), QString("P2"));
        QCOMPARE(modelSeriesCode(""), QString());
    }

    void tableColumns()
    {
        int count = 0;
        const SeriesInfo *table = seriesTable(&count);
        QCOMPARE(count, 11);
        QString letters;
        for (int i = 0; i < count; ++i) {
            QCOMPARE(table[i].featureColumn, i + 1);
            letters += QChar(table[i].letter);
        }
        QCOMPARE(letters, QString("HBCSEFGXTLA"));
        QCOMPARE(seriesCode('G'), QString("ZM-K"));
        QCOMPARE(seriesFeatureColumn('0'), 0);
    }
};

QTEST_GUILESS_MAIN(TestSeries)
#include "tst_series.moc"
