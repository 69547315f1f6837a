#include "parameters/capacityrules.h"

#include <QtTest>

// The capacity-dependent defaults and ranges, row by row from the rule tables.
class TestCapacityRules : public QObject
{
    Q_OBJECT

    static CapacityRules rules(const QString &series, const QString &model, const QString &p186,
                               double version = 0)
    {
        return CapacityRules(DriveIdentity{series.at(0).toLatin1(), model, p186, version});
    }

private slots:
    void computedDefaults_data()
    {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("p186");
        QTest::addColumn<double>("version");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        // P.0
        QTest::newRow("A P.0 0.75") << "A" << "ZQ1-043-0.75K" << "" << 0.1 << 0 << "6.0%";
        QTest::newRow("A P.0 1.5") << "A" << "ZQ1-043-1.5K" << "" << 0.1 << 0 << "4.0%";
        QTest::newRow("F P.0 5.5") << "F" << "ZM-043-5.5K" << "" << 1.0 << 0 << "3.0%";
        QTest::newRow("F P.0 11") << "F" << "ZM-043-11K" << "" << 1.0 << 0 << "2.0%";
        QTest::newRow("F P.0 75") << "F" << "ZM-043-75K" << "" << 1.0 << 0 << "1.0%";
        QTest::newRow("G P.0 4") << "G" << "ZM-043-4K-K" << "0" << 0.3 << 0 << "4%";
        QTest::newRow("G P.0 5") << "G" << "ZM-043-5K-K" << "0" << 0.3 << 0 << "3%";
        QTest::newRow("G P.0 55") << "G" << "ZM-043-55K-K" << "0" << 0.3 << 0 << "2%";
        QTest::newRow("G P.0 56") << "G" << "ZM-043-56K-K" << "0" << 0.3 << 0 << "1%";
        QTest::newRow("G dual first rating") << "G" << "ZM-043-7.5K/11K-K" << "0" << 0.3 << 0
                                             << "3%";
        QTest::newRow("G1 dual second rating") << "G" << "ZM-043-7.5K/11K-K" << "1" << 0.3 << 0
                                               << "2%";
        QTest::newRow("G1 below 11") << "G" << "ZM-043-5.5K/7.5K-K" << "1" << 0.3 << 0 << "3%";
        QTest::newRow("G1 from 46") << "G" << "ZM-043-37K/46K-K" << "1" << 0.3 << 0 << "1%";
        QTest::newRow("L P.0 5.5") << "L" << "ZM-043-5.5K-KX" << "" << 0.14 << 0 << "3%";
        // P.9
        QTest::newRow("A P.9 class 23") << "A" << "ZQ1-023-5.5K" << "" << 0.1 << 9 << "25";
        QTest::newRow("A P.9 class 43") << "A" << "ZQ1-043-5.5K" << "" << 0.1 << 9 << "12";
        QTest::newRow("A P.9 132") << "A" << "ZQ1-043-132K" << "" << 0.1 << 9 << "260";
        QTest::newRow("A P.9 315") << "A" << "ZQ1-043-315K" << "" << 0.1 << 9 << "620";
        QTest::newRow("A P.9 2.2") << "A" << "ZQ1-023-2.2K" << "" << 0.1 << 9 << "11";
        QTest::newRow("A P.9 unlisted") << "A" << "ZQ1-043-1K" << "" << 0.1 << 9 << "";
        QTest::newRow("B P.9 0.4") << "B" << "ZD-043-0.4K" << "" << 0.4 << 9 << "2.2";
        QTest::newRow("B P.9 other") << "B" << "ZD-043-0.75K" << "" << 0.4 << 9 << "3.5";
        QTest::newRow("C P.9 21 1.5") << "C" << "ZW-021-1.5K" << "" << 0.4 << 9 << "7";
        QTest::newRow("C P.9 23 1.5") << "C" << "ZW-023-1.5K" << "" << 0.4 << 9 << "8";
        QTest::newRow("C P.9 23 0.4") << "C" << "ZW-023-0.4K" << "" << 0.4 << 9 << "2.55";
        QTest::newRow("C P.9 23 other") << "C" << "ZW-023-3.7K" << "" << 0.4 << 9 << "17.5";
        QTest::newRow("S P.9 43 1.5") << "S" << "ZR-043-1.5K" << "" << 1.1 << 9 << "4";
        QTest::newRow("S P.9 43 3.7") << "S" << "ZR-043-3.7K" << "" << 1.1 << 9 << "9";
        QTest::newRow("S P.9 43 other") << "S" << "ZR-043-11K" << "" << 1.1 << 9 << "12";
        QTest::newRow("F P.9 20 5.5") << "F" << "ZM-020-5.5K" << "" << 1.0 << 9 << "25";
        QTest::newRow("F P.9 20 unlisted") << "F" << "ZM-020-2.2K" << "" << 1.0 << 9 << "";
        QTest::newRow("F P.9 43 2.2") << "F" << "ZM-043-2.2K" << "" << 1.0 << 9 << "6";
        QTest::newRow("L P.9 43 355") << "L" << "ZM-043-355K-KX" << "" << 0.1 << 9 << "683";
        QTest::newRow("E P.9 23 0.2") << "E" << "ZP-023-0.2K" << "" << 1.0 << 9 << "1.6";
        QTest::newRow("E P.9 43 11") << "E" << "ZP-043-11K" << "" << 1.0 << 9 << "23.0";
        QTest::newRow("T P.9") << "T" << "ZR2-043-15K" << "" << 0.43 << 9 << "0";
        QTest::newRow("X P.9 from 0.6") << "X" << "ZP2-043-2.2K" << "" << 0.6 << 9 << "0";
        QTest::newRow("X P.9 below 0.6") << "X" << "ZP2-043-2.2K" << "" << 0.5 << 9 << "6.0";
        QTest::newRow("H P.9 none") << "H" << "ZN-020-5.5K" << "" << 0.1 << 9 << "";
        // P.87
        QTest::newRow("A P.87") << "A" << "ZQ1-043-5.5K" << "" << 0.1 << 87 << "0";
        QTest::newRow("F P.87 3.7") << "F" << "ZM-043-3.7K" << "" << 1.0 << 87 << "1";
        QTest::newRow("F P.87 2.2") << "F" << "ZM-043-2.2K" << "" << 1.0 << 87 << "0.8";
        QTest::newRow("E P.87 2.2") << "E" << "ZP-043-2.2K" << "" << 1.0 << 87 << "1";
        QTest::newRow("X P.87 2.2") << "X" << "ZP2-043-2.2K" << "" << 0.6 << 87 << "1";
        QTest::newRow("F P.87 0.2") << "F" << "ZM-043-0.2K" << "" << 1.0 << 87 << "2.55";
        QTest::newRow("F P.87 0.4") << "F" << "ZM-043-0.4K" << "" << 1.0 << 87 << "2.5";
        QTest::newRow("F P.87 0.75") << "F" << "ZM-043-0.75K" << "" << 1.0 << 87 << "2.0";
        QTest::newRow("F P.87 1.5") << "F" << "ZM-043-1.5K" << "" << 1.0 << 87 << "1.1";
        QTest::newRow("no capacity") << "F" << "ZM" << "" << 1.0 << 87 << "1.1";
        QTest::newRow("other number") << "F" << "ZM-043-1.5K" << "" << 1.0 << 7 << "";
    }
    void computedDefaults()
    {
        QFETCH(QString, series);
        QFETCH(QString, model);
        QFETCH(QString, p186);
        QFETCH(double, version);
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(rules(series, model, p186, version).computedDefault(number), expected);
    }

    void shortCapacityDefaults_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("P.0 0.75") << "ZN-020-0.75K" << 0 << "6%";
        QTest::newRow("P.0 1.5") << "ZN-020-1.5K" << 0 << "4%";
        QTest::newRow("P.0 5.5") << "ZN-020-5.5K" << 0 << "3%";
        QTest::newRow("P.0 11") << "ZN-040-11K" << 0 << "2%";
        QTest::newRow("P.7 5.5") << "ZN-020-5.5K" << 7 << "5";
        QTest::newRow("P.7 11") << "ZN-040-11K" << 7 << "10";
        QTest::newRow("P.8 18.5") << "ZN-040-18.5K" << 8 << "15";
        QTest::newRow("P.12 3.7") << "ZN-020-3.7K" << 12 << "6%";
        QTest::newRow("P.12 5.5") << "ZN-020-5.5K" << 12 << "4%";
        QTest::newRow("P.12 11") << "ZN-040-11K" << 12 << "2%";
        QTest::newRow("P.16 3.7") << "ZN-020-3.7K" << 16 << "0.5";
        QTest::newRow("P.16 15") << "ZN-040-15K" << 16 << "1";
        QTest::newRow("P.16 18.5") << "ZN-040-18.5K" << 16 << "1.5";
        QTest::newRow("P.3 has none") << "ZN-040-18.5K" << 3 << "";
    }
    void shortCapacityDefaults()
    {
        QFETCH(QString, model);
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(rules("H", model, "").shortCapacityDefault(number), expected);
    }

    void multiValues_data()
    {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("p186");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("defaultValue");  // "-": left alone
        QTest::addColumn<QString>("range");         // "-": left alone
        const QString none = QStringLiteral("-");
        QTest::newRow("A P.7 5.5 is not below") << "A" << "ZQ1-043-5.5K" << "" << 7 << "20.00s"
                                                << none;
        QTest::newRow("A P.7 3.7") << "A" << "ZQ1-043-3.7K" << "" << 7 << "5.00s" << none;
        QTest::newRow("A P.8 5.5") << "A" << "ZQ1-043-5.5K" << "" << 8 << "10.00s" << none;
        QTest::newRow("A P.8 11") << "A" << "ZQ1-043-11K" << "" << 8 << "20.00s" << none;
        QTest::newRow("A P.1 75") << "A" << "ZQ1-043-75K" << "" << 1 << "60Hz" << none;
        QTest::newRow("A P.1 55") << "A" << "ZQ1-043-55K" << "" << 1 << "120Hz" << none;
        QTest::newRow("A P.12 11") << "A" << "ZQ1-043-11K" << "" << 12 << "2.0%" << none;
        QTest::newRow("A P.152 75") << "A" << "ZQ1-043-75K" << "" << 152 << "1.0%" << none;
        QTest::newRow("A P.244 75") << "A" << "ZQ1-043-75K" << "" << 244 << "1%" << none;
        QTest::newRow("A P.244 7.5") << "A" << "ZQ1-043-7.5K" << "" << 244 << "4.0%" << none;
        QTest::newRow("A P.56 class 023") << "A" << "ZQ1-023-5.5K" << "" << 56 << "25" << none;
        QTest::newRow("A P.306 class 043") << "A" << "ZQ1-043-5.5K" << "" << 306 << "12" << none;
        QTest::newRow("A P.56 unlisted") << "A" << "ZQ1-043-1K" << "" << 56 << none << none;
        QTest::newRow("A P.58 30") << "A" << "ZQ1-043-30K" << "" << 58 << "10.0s" << none;
        QTest::newRow("A P.72 3.7") << "A" << "ZQ1-043-3.7K" << "" << 72 << "5" << "1~15kHZ";
        QTest::newRow("A P.72 18.5") << "A" << "ZQ1-043-18.5K" << "" << 72 << "5" << "1~9kHZ";
        QTest::newRow("A P.72 37") << "A" << "ZQ1-043-37K" << "" << 72 << "4" << "1~9 kHz";
        QTest::newRow("A P.72 132") << "A" << "ZQ1-043-132K" << "" << 72 << "2" << "1~9 kHz";
        QTest::newRow("A P.72 280") << "A" << "ZQ1-043-280K" << "" << 72 << "2" << "1~6 kHz";
        QTest::newRow("A P.309 55") << "A" << "ZQ1-043-55K" << "" << 309 << none
                                    << QString::fromUtf8("0~655.35m\u03A9,99999");
        QTest::newRow("A P.343 37") << "A" << "ZQ1-043-37K" << "" << 343 << none
                                    << QString::fromUtf8("0~65535m\u03A9,99999");
        QTest::newRow("A P.311 7.5") << "A" << "ZQ1-043-7.5K" << "" << 311 << none
                                     << "0~6553.5mH,99999";
        QTest::newRow("A P.318 5.5") << "A" << "ZQ1-043-5.5K" << "" << 318 << none
                                     << "0~6.5535kg.m2";
        QTest::newRow("A P.318 7.5") << "A" << "ZQ1-043-7.5K" << "" << 318 << none
                                     << "0~65.535kg.m2";
        QTest::newRow("A P.348 110") << "A" << "ZQ1-043-110K" << "" << 348 << none
                                     << "0~655.35kg.m2,99999";
        QTest::newRow("A P.2 none") << "A" << "ZQ1-043-110K" << "" << 2 << none << none;
        QTest::newRow("L P.72 3.7") << "L" << "ZM-043-3.7K-KX" << "" << 72 << none << "1~15 kHz";
        QTest::newRow("L P.72 7.5") << "L" << "ZM-043-7.5K-KX" << "" << 72 << none << "1~10 kHz";
        QTest::newRow("L P.72 55") << "L" << "ZM-043-55K-KX" << "" << 72 << "4 kHz" << "1~9 kHz";
        QTest::newRow("L P.72 110") << "L" << "ZM-043-110K-KX" << "" << 72 << "2 kHz"
                                    << "1~9 kHz";
        QTest::newRow("L P.7 5.5") << "L" << "ZM-043-5.5K-KX" << "" << 7 << "20s" << none;
        QTest::newRow("L P.58 7.5") << "L" << "ZM-043-7.5K-KX" << "" << 58 << "10s" << none;
        QTest::newRow("F P.72 7.5") << "F" << "ZM-043-7.5K" << "" << 72 << none << "0.7~10 kHz";
        QTest::newRow("F P.72 11") << "F" << "ZM-043-11K" << "" << 72 << none << "0.7~9 kHz";
        QTest::newRow("F P.72 30") << "F" << "ZM-043-30K" << "" << 72 << "4 kHz" << "0.7~6 kHz";
        QTest::newRow("F P.72 110") << "F" << "ZM-043-110K" << "" << 72 << "2 kHz"
                                    << "0.7~6 kHz";
        QTest::newRow("F P.1 75") << "F" << "ZM-043-75K" << "" << 1 << "60Hz" << none;
        QTest::newRow("F P.7 none") << "F" << "ZM-043-75K" << "" << 7 << none << none;
        QTest::newRow("F P.8 11") << "F" << "ZM-043-11K" << "" << 8 << "30s" << none;
        QTest::newRow("F P.8 7.5") << "F" << "ZM-043-7.5K" << "" << 8 << "10s" << none;
        QTest::newRow("F P.12 75") << "F" << "ZM-043-75K" << "" << 12 << "1%" << none;
        QTest::newRow("F P.58 11") << "F" << "ZM-043-11K" << "" << 58 << "10s" << none;
        QTest::newRow("G P.72 first rating") << "G" << "ZM-043-7.5K/11K-K" << "0" << 72 << none
                                             << "0.7~10 kHz";
        QTest::newRow("G1 P.72 second rating") << "G" << "ZM-043-7.5K/11K-K" << "1" << 72 << none
                                               << "0.7~9 kHz";
        QTest::newRow("G1 P.72 90") << "G" << "ZM-043-75K/90K-K" << "1" << 72 << "2 kHz"
                                    << "0.7~6 kHz";
        QTest::newRow("G1 P.1 55") << "G" << "ZM-043-45K/55K-K" << "1" << 1 << "60Hz" << none;
        QTest::newRow("G1 P.8 7.5") << "G" << "ZM-043-5.5K/7.5K-K" << "1" << 8 << "30s" << none;
        QTest::newRow("G1 P.12 7.5") << "G" << "ZM-043-5.5K/7.5K-K" << "1" << 12 << "2%" << none;
        QTest::newRow("G1 P.58 55") << "G" << "ZM-043-45K/55K-K" << "1" << 58 << "20s" << none;
        QTest::newRow("T P.7 15") << "T" << "ZR2-043-15K" << "" << 7 << "10s" << none;
        QTest::newRow("X P.8 2.2") << "X" << "ZP2-043-2.2K" << "" << 8 << "5s" << none;
    }
    void multiValues()
    {
        QFETCH(QString, series);
        QFETCH(QString, model);
        QFETCH(QString, p186);
        QFETCH(int, number);
        QFETCH(QString, defaultValue);
        QFETCH(QString, range);
        const MultiValue v = rules(series, model, p186).multiValue(number);
        QCOMPARE(v.hasDefault ? v.defaultValue : QStringLiteral("-"), defaultValue);
        QCOMPARE(v.hasRange ? v.range : QStringLiteral("-"), range);
    }

    void capacityFields_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("third");
        QTest::addColumn<double>("eighth");
        QTest::addColumn<double>("dashSlash");
        QTest::newRow("plain") << "ZN-020-5.5K" << 5.5 << 5.5 << 5.5;
        QTest::newRow("dual rated") << "ZM-043-185K/200K-K" << 0.0 << 0.0 << 185.0;
        QTest::newRow("no capacity") << "ZN" << 0.0 << 0.0 << 0.0;
        QTest::newRow("empty") << "" << 0.0 << 0.0 << 0.0;
        QTest::newRow("junk") << "ZN-020-abcK" << 0.0 << 0.0 << 0.0;
    }
    void capacityFields()
    {
        QFETCH(QString, model);
        QFETCH(double, third);
        QFETCH(double, eighth);
        QFETCH(double, dashSlash);
        QCOMPARE(CapacityRules::thirdFieldCapacity(model), third);
        QCOMPARE(CapacityRules::eighthCharacterCapacity(model), eighth);
        QCOMPARE(CapacityRules::dashSlashCapacity(model), dashSlash);
    }

    void keysAreTruncatedProducts()
    {
        QCOMPARE(CapacityRules::capacityKey(2.2, 100), 220);
        QCOMPARE(CapacityRules::capacityKey(1.1, 100), 110);
        QCOMPARE(CapacityRules::capacityKey(13.2, 100), 1320);
        QCOMPARE(CapacityRules::capacityKey(0.75, 10), 7);
        QCOMPARE(CapacityRules::capacityKey(18.5, 10), 185);
    }
};

QTEST_GUILESS_MAIN(TestCapacityRules)
#include "tst_capacityrules.moc"
