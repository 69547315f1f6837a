#include "base/typecatalogue.h"
#include "common/testsupport.h"

#include <QtTest>

// The inverter type catalogue: the head by position, type sections by name.
class TestTypeCatalogue : public QObject
{
    Q_OBJECT

    static QByteArray smallCatalogue()
    {
        return "[inv_Type]\nTYPE=AA,BB\n\n[PW_ID]\nPOWER=0.4K,0.75K\nPOWER_OLD=0.4K\n"
               "[BB]\nPOWER=1.5K,2.2K\n";
    }

private slots:
    void readsTheHeadAndTheSections_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("powers");
        const QByteArray small = smallCatalogue();
        QTest::newRow("a type with its section") << small << QStringList{"AA", "BB"} << "BB"
                                                 << QStringList{"1.5K", "2.2K"};
        QTest::newRow("a type without a section") << small << QStringList{"AA", "BB"} << "AA"
                                                  << QStringList{};
        QTest::newRow("an unknown type") << small << QStringList{"AA", "BB"} << "CC" << QStringList{};
        QTest::newRow("no type") << small << QStringList{"AA", "BB"} << "" << QStringList{};
        QTest::newRow("CR LF and leading blanks")
            << QByteArray(small).replace("\n", "\r\n  ") << QStringList{"AA", "BB"} << "BB"
            << QStringList{"1.5K", "2.2K"};
        QTest::newRow("empty pieces dropped")
            << QByteArray("[inv_Type]\nTYPE=,AA,,BB,\n\n[PW_ID]\nPOWER=\nPOWER_OLD=\n[AA]\nPOWER=,1K,,2K\n")
            << QStringList{"AA", "BB"} << "AA" << QStringList{"1K", "2K"};
        QTest::newRow("a TYPE line without values") << QByteArray("[inv_Type]\nTYPE=\n\n[PW_ID]\n")
                                                    << QStringList{} << "" << QStringList{};
        QTest::newRow("the first section found wins")
            << small + "[BB]\nPOWER=9K\n" << QStringList{"AA", "BB"} << "BB"
            << QStringList{"1.5K", "2.2K"};
        QTest::newRow("a header not followed by POWER")
            << small + "[AA]\n\nPOWER=3K\n" << QStringList{"AA", "BB"} << "AA" << QStringList{};
        QTest::newRow("a header as the last line")
            << small + "[AA]" << QStringList{"AA", "BB"} << "AA" << QStringList{};
        QTest::newRow("a value line is no header")
            << small + "POWER=1K\nPOWER=2K\n" << QStringList{"AA", "BB"} << "POWER=1K"
            << QStringList{};
        QTest::newRow("another file") << QByteArray("TYPE=AA\n[AA]\nPOWER=1K\n") << QStringList{}
                                      << "AA" << QStringList{"1K"};
        QTest::newRow("empty file") << QByteArray() << QStringList{} << "AA" << QStringList{};
        QTest::newRow("binary") << QByteArray("\x00\xff[\x01]\n=,=\n", 11) << QStringList{} << "\x01"
                                << QStringList{};
    }
    void readsTheHeadAndTheSections()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, types);
        QFETCH(QString, type);
        QFETCH(QStringList, powers);
        const TypeCatalogue c = TypeCatalogue::parse(text);
        QCOMPARE(c.types(), types);
        QCOMPARE(c.powersOf(type), powers);
    }

    void headPowers()
    {
        const TypeCatalogue c = TypeCatalogue::parse(smallCatalogue());
        QCOMPARE(c.allPowers(), (QStringList{"0.4K", "0.75K"}));
        QCOMPARE(c.oldPowers(), QStringList{"0.4K"});
    }

    void missingFileIsEmpty()
    {
        DataDir dir;
        const TypeCatalogue c = TypeCatalogue::loadShipped();
        QVERIFY(c.types().isEmpty());
        QVERIFY(c.powersOf("ZN-020").isEmpty());
    }

    // Every type the shipped catalogue offers has ratings.
    void shippedCatalogue()
    {
        DataDir dir;
        dir.copyShipped("InvType/InvType.mgr");
        const TypeCatalogue c = TypeCatalogue::loadShipped();
        QVERIFY(c.types().size() >= 11);
        QVERIFY(c.types().contains("ZM/ZM-K-043"));
        for (const QString &type : c.types())
            QVERIFY2(!c.powersOf(type).isEmpty(), qPrintable(type));
        QVERIFY(c.powersOf("ZM-043").contains("7.5K"));
    }
};

QTEST_GUILESS_MAIN(TestTypeCatalogue)
#include "tst_typecatalogue.moc"
