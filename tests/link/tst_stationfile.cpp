#include "common/scriptedports.h"
#include "common/testsupport.h"
#include "link/stationfile.h"

#include <QtTest>

// station.txt: the type name saved for each station.
class TestStationFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { QFile::remove(StationFile::fileName()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");  // "station=name;..." of the named stations
        QTest::newRow("one station") << QByteArray("7,NAME\n") << "7=NAME";
        QTest::newRow("a second comma") << QByteArray("7,NAME,MORE\n") << "";
        QTest::newRow("no comma") << QByteArray("7 NAME\n") << "";
        QTest::newRow("station 255") << QByteArray("255,NAME\n") << "";
        QTest::newRow("negative station") << QByteArray("-1,NAME\n") << "";
        QTest::newRow("letters") << QByteArray("seven,NAME\nA,NAME\n") << "";
        QTest::newRow("hexadecimal") << QByteArray("0x07,NAME\n") << "";
        QTest::newRow("empty number") << QByteArray(",NAME\n") << "";
        QTest::newRow("first and last") << QByteArray("0,ZN-020-5.5K\n254,ZM-043-7.5K-K\n")
                                        << "0=ZN-020-5.5K;254=ZM-043-7.5K-K";
        QTest::newRow("bad lines between good ones")
            << QByteArray("3,ZD-043-0.75K\n300,X\n\n4,a,b\n12,ZR2-043-15K\n")
            << "3=ZD-043-0.75K;12=ZR2-043-15K";
        QTest::newRow("written on Windows")
            << QByteArray("7,ZN-020-5.5K\r\n8,ZW-023-1.5K\r\n") << "7=ZN-020-5.5K;8=ZW-023-1.5K";
        QTest::newRow("no line break at the end") << QByteArray("9,ZP-043-22K") << "9=ZP-043-22K";
        QTest::newRow("the later line wins") << QByteArray("7,A\n7,B\n") << "7=B";
        QTest::newRow("empty name") << QByteArray("7,\n") << "";
        QTest::newRow("spaces around the number")
            << QByteArray(" 12 ,ZD-043-0.75K\n") << "12=ZD-043-0.75K";
        QTest::newRow("empty file") << QByteArray() << "";
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        m_dir.write("station.txt", file);
        const QStringList names = StationFile::read();
        QCOMPARE(names.size(), 255);
        QCOMPARE(named(names), expected);
    }

    void missingFileGivesNoNames()
    {
        const QStringList names = StationFile::read();
        QCOMPARE(names.size(), 255);
        QCOMPARE(named(names), QString());
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArray>("file");
        QStringList names;
        for (int i = 0; i < 255; ++i)
            names.append(QString());
        QStringList some = names;
        some[200] = "ZR-043-11K";
        some[7] = "ZN-020-5.5K";
        some[0] = "ZQ1-043-5.5K";
        some[254] = "ZM-043-5.5K-KX";
        QTest::newRow("ascending, named only")
            << some
            << QByteArray(
                   "0,ZQ1-043-5.5K\n7,ZN-020-5.5K\n200,ZR-043-11K\n"
                   "254,ZM-043-5.5K-KX\n");
        QTest::newRow("nothing named") << names << QByteArray();
        QStringList odd = names;
        odd[3] = "A,B";
        odd[4] = "line\nbreak";
        odd[5] = "   ";
        odd[6] = "ZD-043-0.75K";
        QTest::newRow("names the file cannot hold left out")
            << odd << QByteArray("6,ZD-043-0.75K\n");
        QStringList longer = names;
        longer.append("beyond");
        longer[1] = "ZP2-043-2.2K";
        QTest::newRow("only stations 0 to 254") << longer << QByteArray("1,ZP2-043-2.2K\n");
    }
    void write()
    {
        QFETCH(QStringList, names);
        QFETCH(QByteArray, file);
        m_dir.write("station.txt", "100,OLD-NAME\n1,OLD\n");
        QVERIFY(StationFile::write(names));
        QCOMPARE(readAll(StationFile::fileName()), file);
        // What was written reads back as written; the old names are gone.
        const QStringList back = StationFile::read();
        QCOMPARE(StationFile::contents(back), file);
        QCOMPARE(back.at(100), QString());
    }

    void failedWriteKeepsThePreviousFile()
    {
        const QByteArray previous("7,ZN-020-5.5K\n");
        m_dir.write("station.txt", previous);
        QStringList names;
        for (int i = 0; i < 255; ++i)
            names.append(QString());
        names[3] = "ZD-043-0.75K";
        const int result =
            runWithReadOnlyDir(m_dir.path(), [&names] { return StationFile::write(names); });
        if (result < 0)
            QSKIP("a folder without write access cannot be arranged here");
        QCOMPARE(result, 0);
        QCOMPARE(readAll(StationFile::fileName()), previous);
    }

private:
    static QString named(const QStringList &names)
    {
        QStringList parts;
        for (int i = 0; i < names.size(); ++i)
            if (!names.at(i).isEmpty())
                parts.append(QStringLiteral("%1=%2").arg(i).arg(names.at(i)));
        return parts.join(';');
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    DataDir m_dir;
};

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_stationfile.moc"
