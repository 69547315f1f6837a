#include "common/parameterfixture.h"

#include "parameters/catalogueversion.h"
#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"

#include <QStandardItemModel>
#include <QtTest>

#include <memory>

// Building the parameter table from catalogue files: structure, version
// rules, capacity defaults, series 'A' order, language reloads, the failure
// rules for bad files, the catalogue version and the hidden-parameter lists.
class TestCatalogue : public QObject
{
    Q_OBJECT

    using Col = ParameterTable::Column;

    static QList<FixtureParameter> smallCatalogue()
    {
        return {{"0", "Torque boost", "0~30%", "0.1%", "6%", ""},
                {"1", "Maximum frequency", "0~120Hz", "0.01Hz", "120Hz", ""},
                {"2", "Minimum frequency", "0~120Hz", QString(), "0Hz", ""}};
    }

    void writeCatalogue(char series, const QByteArray &xml,
                        const char *suffix = "_InvParameter_Eng.xml")
    {
        m_dir->write(QStringLiteral("InvParameter/") + QLatin1Char(series) + QLatin1String(suffix),
                     xml);
    }

    QStringList column(ParameterCore &core, int col)
    {
        QStringList texts;
        for (int row = 0; row < core.table().rowCount(); ++row)
            texts.append(core.table().text(row, col));
        return texts;
    }

private slots:
    void init()
    {
        resetSharedState();
        resetParameterState();
        m_dir = std::make_unique<DataDir>();
        m_dir->copyShipped("InvType/FNC.txt");
        m_drive = std::make_unique<RtuDrive>();
        m_drive->setRegister(188, 100);
        m_fake = useRtuDrive(*m_drive);
        setUserInteraction(&m_ui);
        m_ui.clear();
    }
    void cleanup()
    {
        setUserInteraction(nullptr);
        m_fake.reset();
        linkState().setSerialPort(nullptr);
        m_dir.reset();
    }

    void tableStructure()
    {
        attachModel("ZM-043-7.5K");
        writeCatalogue('F', catalogueXml({{"0", "Torque boost", "0~30%", "0.1 %", "6%", ""},
                                          {"12", "DC braking voltage", "0~30%", "0.1%", "4%", ""},
                                          {"123", "Setting", "0~1", "1", "0", ""},
                                          {"993", "Last writable", "0~1", "1", "0", ""},
                                          {"994", "Read only", "0~1", "1", "0", ""},
                                          {"1000", "Far", "0~1", "1", "0", ""}}));
        ParameterCore core;
        QCOMPARE(core.parameterCount(), 700);
        QCOMPARE(core.model()->rowCount(), 700);
        core.loadCatalogue();
        QStandardItemModel *model = core.model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers.append(model->headerData(c, Qt::Horizontal).toString());
        QCOMPARE(headers, (QStringList{"Group mode", "Trad. P mode", "Name", "Setting range",
                                       "Unit", "Default value", "Current value", "Setting value",
                                       "Comment"}));
        QCOMPARE(core.parameterCount(), 6);
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(column(core, Col::NumberColumn),
                 (QStringList{"  P.0", " P.12", "P.123", "P.993", "P.994", "P.1000"}));
        QCOMPARE(core.table().text(0, Col::UnitColumn), QString("0.1%"));  // blanks removed
        QCOMPARE(core.table().text(1, Col::NameColumn), QString("DC braking voltage"));
        QCOMPARE(core.table().text(1, Col::RangeColumn), QString("0~30%"));
        QCOMPARE(core.table().text(1, Col::DefaultColumn), QString("4%"));
        for (int c = 0; c < Col::SettingColumn; ++c)
            QCOMPARE(int(model->item(3, c)->flags()),
                     int(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        QVERIFY(model->item(3, Col::SettingColumn)->flags() & Qt::ItemIsEditable);
        QVERIFY(model->item(3, Col::SettingColumn)->flags() & Qt::ItemIsEnabled);
        QCOMPARE(int(model->item(4, Col::SettingColumn)->flags()), int(Qt::NoItemFlags));
        QCOMPARE(int(model->item(5, Col::SettingColumn)->flags()), int(Qt::NoItemFlags));
        QCOMPARE(core.table().text(0, Col::CurrentColumn), QString());
        QVERIFY(!core.table().groupColumnVisible());
        QCOMPARE(core.table().currentRow(), 0);
        QCOMPARE(core.table().currentColumn(), int(Col::NumberColumn));
    }

    void missingUnitInheritsThePreviousUnit()
    {
        attachModel("ZM-043-7.5K");
        writeCatalogue('F', catalogueXml(smallCatalogue()));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::UnitColumn), (QStringList{"0.1%", "0.01Hz", "0.01Hz"}));
        // P.0's default is the short capacity default of 7.5 kW, not the catalogue's.
        QCOMPARE(column(core, Col::DefaultColumn), (QStringList{"3%", "120Hz", "0Hz"}));
    }

    void versionDependentTexts()
    {
        setSeriesFeatureText(featureRow("Parameter_NotH", "F"));
        attachModel("ZM-043-7.5K");
        m_drive->setRegister(188, 33);  // 0.33
        writeCatalogue('F', QByteArray(
            "<Catalogue>\n"
            " <Name11>Eleven</Name11><Unit11>0.1Hz</Unit11>\n"
            " <Name12>0.40-0.99\\Name A</Name12>\n"
            " <Name12>0.10-0.39\\Name B</Name12>\n"
            " <Range12>0.34-0.99\\new range</Range12>\n"
            " <Range12>0.33-0.33\\ 0~10</Range12>\n"
            " <Default12></Default12>\n"
            " <Default12>5</Default12>\n"
            " <Name13>1.00-1.50\\Future parameter</Name13>\n"
            " <Name14>bad\\interval</Name14>\n"
            " <Name15> Fifteen</Name15>\n"
            "</Catalogue>\n"));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(::catalogueVersion(), QString("0.33"));
        QCOMPARE(column(core, Col::NumberColumn),
                 (QStringList{"  P.0", " P.11", " P.12", " P.15"}));
        QCOMPARE(core.table().text(2, Col::NameColumn), QString("Name B"));
        QCOMPARE(core.table().text(2, Col::RangeColumn), QString("0~10"));
        QCOMPARE(core.table().text(2, Col::DefaultColumn), QString("5"));
        QCOMPARE(core.table().text(3, Col::NameColumn), QString("Fifteen"));
        QCOMPARE(core.table().text(0, Col::NameColumn), QString());  // no P.0 in the file
    }

    void selectTextRule_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<double>("version");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "abc" << 0.5 << true << "abc";
        QTest::newRow("empty") << "" << 0.5 << false << "";
        QTest::newRow("low edge") << "0.10-0.39\\B" << 0.10 << true << "B";
        QTest::newRow("high edge") << "0.10-0.39\\B" << 0.39 << true << "B";
        QTest::newRow("above") << "0.10-0.39\\B" << 0.40 << false << "";
        QTest::newRow("only backslashes") << "\\\\" << 0.5 << false << "";
        QTest::newRow("no interval") << "x\\B" << 0.5 << false << "";
    }
    void selectTextRule()
    {
        QFETCH(QString, element);
        QFETCH(double, version);
        QFETCH(bool, taken);
        QFETCH(QString, text);
        QString got;
        QCOMPARE(CatalogueVersion::selectText(element, version, &got), taken);
        if (taken)
            QCOMPARE(got, text);
    }

    void catalogueVersion_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("register188");  // -1: the drive does not answer
        QTest::addColumn<QByteArray>("versionFile");  // empty: no file
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<bool>("fromDrive");
        QTest::newRow("ZD fixed") << "ZD-043-0.75K" << 55 << QByteArray() << "0.40" << "0.40"
                                  << false;
        QTest::newRow("ZN fixed") << "ZN-020-5.5K" << 55 << QByteArray() << "0.10" << "0.10"
                                  << false;
        QTest::newRow("ZP small") << "ZP-043-2.2K" << 55 << QByteArray() << "1.00" << "1.00"
                                  << false;
        QTest::newRow("ZP large") << "ZP-043-22K" << 55 << QByteArray() << "0.70" << "0.70"
                                  << false;
        QTest::newRow("drive above the limit") << "ZR-043-11K" << 123 << QByteArray() << "1.23"
                                               << "1.1" << true;
        QTest::newRow("drive below the limit") << "ZM-043-7.5K" << 95 << QByteArray() << "0.95"
                                               << "0.95" << true;
        QTest::newRow("file limit") << "ZM-043-7.5K" << 150 << QByteArray("F-1.20\n") << "1.5"
                                    << "1.2" << true;
        QTest::newRow("ZQ register 188 in tenths") << "ZQ1-043-5.5K" << 10 << QByteArray()
                                                   << "0.01" << "0.01" << true;
        QTest::newRow("no answer, no file") << "ZM-043-7.5K-K" << -1 << QByteArray() << "0.330"
                                            << "0.33" << false;
        QTest::newRow("no answer, file") << "ZM-043-7.5K" << -1
                                         << QByteArray("G-0.30\nF-0.80\nF-0.90\n") << "0.80"
                                         << "0.80" << false;
        QTest::newRow("no answer, file without the series")
            << "ZR2-043-15K" << -1 << QByteArray("F-0.80\n") << "0.430" << "0.43" << false;
        QTest::newRow("limit of a series the file lacks")
            << "ZR2-043-15K" << 500 << QByteArray("F-0.80\n") << "0.5" << "0.43" << true;
    }
    void catalogueVersion()
    {
        QFETCH(QString, model);
        QFETCH(int, register188);
        QFETCH(QByteArray, versionFile);
        QFETCH(QString, device);
        QFETCH(QString, catalogue);
        QFETCH(bool, fromDrive);
        if (!versionFile.isEmpty())
            m_dir->write("InvParameter/Version.txt", versionFile);
        if (register188 < 0)
            m_drive->silence(188);
        else
            m_drive->setRegister(188, quint16(register188));
        attachModel(model);
        setVersionReadFromDrive(!fromDrive);
        if (seriesLetter() == 'B' || seriesLetter() == 'E' || seriesLetter() == 'H')
            setVersionReadFromDrive(fromDrive);  // left as it was for these series
        ParameterCore core;
        core.determineCatalogueVersion();
        QCOMPARE(deviceVersion(), device);
        QCOMPARE(::catalogueVersion(), catalogue);
        QCOMPARE(versionReadFromDrive(), fromDrive);
    }

    void p186IsReadWithTheVersion()
    {
        setSeriesFeatureText(featureRow("Parameter_readP186", "G"));
        attachModel("ZM-043-7.5K/11K-K");
        m_drive->setRegister(188, 30);
        m_drive->setRegister(186, 1);
        ParameterCore core;
        core.determineCatalogueVersion();
        QCOMPARE(p186Value(), QString("1"));
        m_drive->removeRegister(186);
        core.determineCatalogueVersion();
        QCOMPARE(p186Value(), QString("0"));
        QVERIFY(versionReadFromDrive());
    }

    void versionLimits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("series");
        QTest::addColumn<double>("limit");
        QTest::newRow("built-in F") << QByteArray() << "F" << 1.0;
        QTest::newRow("built-in T") << QByteArray() << "T" << 0.43;
        QTest::newRow("built-in A") << QByteArray() << "A" << 0.1;
        QTest::newRow("file") << QByteArray("F-1.20\r\nA-0.30\n") << "A" << 0.3;
        QTest::newRow("unknown letter ignored") << QByteArray("Q-5\nF-1.5\n") << "F" << 1.5;
        QTest::newRow("line without dash") << QByteArray("F1.5\n") << "F" << 1.0;
        QTest::newRow("not a number") << QByteArray("F-new\n") << "F" << 1.0;
    }
    void versionLimits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, series);
        QFETCH(double, limit);
        if (!file.isEmpty())
            m_dir->write("InvParameter/Version.txt", file);
        ParameterCore core;
        QCOMPARE(core.versionLimits().value(series.at(0).toLatin1()), limit);
        QVERIFY(!core.versionLimits().contains('Q'));
    }

    void badCatalogues_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("numbers");  // the rows afterwards (first rows)
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("count");
        const QStringList earlier{"  P.0", "  P.1", "  P.2"};
        QTest::newRow("missing") << "missing" << earlier << 700 << 3;
        QTest::newRow("unreadable") << "directory" << QStringList{"  P.0"} << 1 << 1;
        QTest::newRow("truncated mid-element") << "truncated" << QStringList{"  P.0", "  P.5"} << 2
                                               << 2;
        // The first record (P.0) is there even when the file starts later.
        QTest::newRow("junk elements") << "junk" << QStringList{"  P.0", "  P.5", "  P.7"} << 3
                                       << 3;
        QTest::newRow("not XML") << "binary" << QStringList{"  P.0"} << 1 << 1;
        QTest::newRow("empty file") << "empty" << QStringList{"  P.0"} << 1 << 1;
    }
    void badCatalogues()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, numbers);
        QFETCH(int, rows);
        QFETCH(int, count);
        attachModel("ZM-043-7.5K");
        writeCatalogue('F', catalogueXml(smallCatalogue()));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(core.parameterCount(), 3);
        core.table().setText(0, Col::CurrentColumn, "kept");
        QFile::remove(m_dir->path() + "/InvParameter/F_InvParameter_Eng.xml");
        if (kind == "directory")
            QDir().mkpath(m_dir->path() + "/InvParameter/F_InvParameter_Eng.xml");
        else if (kind == "truncated")
            writeCatalogue('F', "<C><Name0>Zero</Name0><Name5>Five</Name5><Unit5>0.1Hz</Unit5>"
                                "<Name6>Si");
        else if (kind == "junk")
            writeCatalogue('F', "<C><Names>x</Names><Nameplate>y</Nameplate><Name5>Five</Name5>"
                                "<Rubbish a='1'>z</Rubbish><FileName>f</FileName>"
                                "<Name7>Seven</Name7><Unit7><b>0.1</b>Hz</Unit7></C>");
        else if (kind == "binary")
            writeCatalogue('F', QByteArray("\x00\xff\xfe garbage <<<", 16));
        else if (kind == "empty")
            writeCatalogue('F', QByteArray());
        core.loadCatalogue();
        QCOMPARE(core.model()->rowCount(), rows);
        QCOMPARE(core.parameterCount(), count);
        for (int i = 0; i < numbers.size(); ++i)
            QCOMPARE(core.table().text(i, Col::NumberColumn), numbers.at(i));
        if (kind == "missing" || kind == "directory")
            QCOMPARE(core.table().text(0, Col::CurrentColumn), QString("kept"));
        if (kind == "missing")
            QVERIFY(!core.table().hasNumberCell(3));
        if (kind == "junk") {
            QCOMPARE(core.table().text(1, Col::NameColumn), QString("Five"));
            QCOMPARE(core.table().text(2, Col::NameColumn), QString("Seven"));
            QCOMPARE(core.table().text(2, Col::UnitColumn), QString("0.1Hz"));
        }
        if (kind == "truncated")
            QCOMPARE(core.table().text(1, Col::UnitColumn), QString("0.1Hz"));
        QVERIFY(m_ui.messages().isEmpty());
    }

    void capacityDefaultsInTheTable_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("features");
        QTest::addColumn<QStringList>("defaults");  // of P.0, 7, 8, 9, 12, 16, 72, 87
        QTest::addColumn<QString>("range72");
        QTest::newRow("short capacity defaults")
            << "ZN-020-5.5K" << QString()
            << QStringList{"3%", "5", "5", "cat9", "4%", "1", "cat72", "cat87"} << "cat range";
        QTest::newRow("computed defaults")
            << "ZM-043-7.5K" << featureRow("Parameter_NotH", "F")
            << QStringList{"3.0%", "cat7", "cat8", "18", "cat12", "cat16", "cat72", "1"}
            << "cat range";
        QTest::newRow("computed defaults and multi-value")
            << "ZM-043-7.5K"
            << featureRow("Parameter_NotH", "F") + featureRow("Parameter_multiValue", "F")
            << QStringList{"3.0%", "cat7", "10s", "18", "4%", "cat16", "cat72", "1"}
            << "0.7~10 kHz";
        QTest::newRow("ZM-KX multi-value at 3.7")
            << "ZM-043-3.7K-KX"
            << featureRow("Parameter_NotH", "L") + featureRow("Parameter_multiValue", "L")
            << QStringList{"4%", "5s", "10s", "9", "4%", "cat16", "cat72", "1"} << "1~15 kHz";
        QTest::newRow("multi-value needs Parameter_NotH")
            << "ZN-020-5.5K" << featureRow("Parameter_multiValue", "H")
            << QStringList{"3%", "5", "5", "cat9", "4%", "1", "cat72", "cat87"} << "cat range";
    }
    void capacityDefaultsInTheTable()
    {
        QFETCH(QString, model);
        QFETCH(QString, features);
        QFETCH(QStringList, defaults);
        QFETCH(QString, range72);
        setSeriesFeatureText(features);
        attachModel(model);
        QList<FixtureParameter> list;
        for (int n : {0, 7, 8, 9, 12, 16, 72, 87})
            list.append({QString::number(n), "P" + QString::number(n), "cat range", "0.1",
                         "cat" + QString::number(n), ""});
        writeCatalogue(seriesLetter(), catalogueXml(list));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::DefaultColumn), defaults);
        QCOMPARE(core.table().text(6, Col::RangeColumn), range72);
    }

    void seriesAGroupOrder_data()
    {
        QTest::addColumn<int>("p990");  // -1: no answer
        QTest::addColumn<QStringList>("order");
        QTest::newRow("group order") << 0
                                     << QStringList{"  P.1", "  P.7", " P.10", "  P.0", "P.99X"};
        QTest::newRow("P.990 asks for P order")
            << 1 << QStringList{"  P.0", "  P.1", "  P.7", " P.10", "P.99X"};
        QTest::newRow("P.990 unreadable")
            << -1 << QStringList{"  P.1", "  P.7", " P.10", "  P.0", "P.99X"};
    }
    void seriesAGroupOrder()
    {
        QFETCH(int, p990);
        QFETCH(QStringList, order);
        setSeriesFeatureText(featureRow("Parameter_multiValue", "A"));
        attachModel("ZQ1-043-5.5K");
        if (p990 >= 0)
            m_drive->setRegister(990, quint16(p990));
        writeCatalogue('A', catalogueXml({{"0", "Torque boost", "0~30%", "0.1%", "9%", "01-00"},
                                          {"1", "Maximum frequency", "0~120Hz", "0.01Hz", "50Hz",
                                           "00-00"},
                                          {"7", "Acceleration time", "0~360s", "0.01s", "1s",
                                           "00-01"},
                                          {"10", "DC braking", "0~120Hz", "0.01Hz", "3Hz",
                                           "00-02"},
                                          {"99X", "Parameter functions", "0~6", "1", "0",
                                           "99-99"}},
                                         true));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::NumberColumn), order);
        QVERIFY(core.table().groupColumnVisible());
        QCOMPARE(core.table().currentRow(), 0);
        QCOMPARE(core.table().currentColumn(), int(Col::GroupColumn));
        const int row0 = core.table().rowOfNumber("0");
        const int row7 = core.table().rowOfNumber("7");
        const int rowX = core.table().rowOfNumber("99X");
        QCOMPARE(core.table().text(row0, Col::DefaultColumn), QString("3.0%"));  // computed
        // Capacity 5.5 is not below 5.5.
        QCOMPARE(core.table().text(row7, Col::DefaultColumn), QString("20.00s"));
        QCOMPARE(core.table().text(rowX, Col::GroupColumn), QString("99-99"));
        QCOMPARE(core.table().text(rowX, Col::NameColumn), QString("Parameter functions"));
        QCOMPARE(core.table().text(rowX, Col::DefaultColumn), QString("0"));
        QCOMPARE(core.parameterCount(), 5);
    }

    // The parameter-function row takes its number from the group element
    // before it; without one, its elements fill the current row like any
    // other and no row is left without a number.
    void seriesAFunctionRow_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QStringList>("ranges");
        QTest::newRow("after its group")
            << QByteArray("<C><Group0>00-00</Group0><Name0>Boost</Name0><Range0>0~30%</Range0>"
                          "<Group99X>00-11</Group99X><Name99X>Functions</Name99X>"
                          "<Range99X>0~6</Range99X><Default99X>0</Default99X></C>")
            << QStringList{"  P.0", "P.99X"} << QStringList{"0~30%", "0~6"};
        QTest::newRow("no group before it")
            << QByteArray("<C><Name0>Boost</Name0><Range0>0~30%</Range0>"
                          "<Default5X>1</Default5X></C>")
            << QStringList{"  P.0"} << QStringList{"0~30%"};
        QTest::newRow("its elements only")
            << QByteArray("<C><Range99X>0~6</Range99X><Unit99X>1</Unit99X></C>")
            << QStringList{"  P.0"} << QStringList{"0~6"};
    }
    void seriesAFunctionRow()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, numbers);
        QFETCH(QStringList, ranges);
        attachModel("ZQ1-043-5.5K");
        writeCatalogue('A', xml);
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::NumberColumn), numbers);
        QCOMPARE(column(core, Col::RangeColumn), ranges);
    }

    void reloadInOtherLanguages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("name");
        QTest::newRow("simplified") << 1 << "_InvParameter.xml"
                                    << QString::fromUtf8("最高频率");
        QTest::newRow("traditional") << 2 << "_InvParameter_Big.xml"
                                     << QString::fromUtf8("最高頻率");
    }
    void reloadInOtherLanguages()
    {
        QFETCH(int, language);
        QFETCH(QString, suffix);
        QFETCH(QString, name);
        setSeriesFeatureText(featureRow("Parameter_NotH", "F") +
                             featureRow("Parameter_multiValue", "F"));
        attachModel("ZM-043-7.5K");
        writeCatalogue('F', catalogueXml({{"0", "Torque boost", "0~30%", "0.1%", "6%", ""},
                                          {"1", "Maximum frequency", "0~120Hz", "0.01Hz",
                                           "120Hz", ""},
                                          {"5", "Speed", "0~120Hz", "0.01Hz", "30Hz", ""},
                                          {"6", "Ramp", "0~360s", "0.1s", "10s", ""},
                                          {"72", "Carrier", "range", "0.1kHz", "5", ""}}));
        const QString other = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><C>"
            "<Name1>%1</Name1><Range1>0~120赫</Range1><Unit1>9Hz</Unit1>"
            "<Default1>120赫</Default1>"
            "<Name3>none</Name3><Default3>orphan</Default3>"
            "<Name5>速度</Name5><Default5>---</Default5>"
            "<Name6>斜坡</Name6><Default6>10秒</Default6>"
            "<Name72>载波</Name72><Range72>其他</Range72><Default72>9</Default72>"
            "<Name0>too late</Name0></C>").arg(name);
        writeCatalogue('F', other.toUtf8(), qPrintable(suffix));
        setLanguageCode(quint8(language));
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::NameColumn),
                 (QStringList{"Torque boost", name, QString::fromUtf8("速度"),
                              QString::fromUtf8("斜坡"), QString::fromUtf8("载波")}));
        QCOMPARE(column(core, Col::RangeColumn),
                 (QStringList{"0~30%", QString::fromUtf8("0~120赫"), "0~120Hz", "0~360s",
                              "0.7~10 kHz"}));
        // Capacity texts (P.0, P.1 defaults, P.72 range) stay; "---" is skipped.
        QCOMPARE(column(core, Col::DefaultColumn),
                 (QStringList{"3.0%", "120Hz", "30Hz", QString::fromUtf8("10秒"), "9"}));
        QCOMPARE(column(core, Col::UnitColumn),
                 (QStringList{"0.1%", "0.01Hz", "0.01Hz", "0.1s", "0.1kHz"}));

        // Back to English: the English texts return, the capacity texts stay.
        core.table().setText(1, Col::CurrentColumn, "50");
        setLanguageCode(0);
        core.reloadCatalogueTexts();
        QCOMPARE(column(core, Col::NameColumn),
                 (QStringList{"Torque boost", "Maximum frequency", "Speed", "Ramp", "Carrier"}));
        QCOMPARE(core.table().text(3, Col::DefaultColumn), QString("10s"));
        QCOMPARE(core.table().text(4, Col::RangeColumn), QString("0.7~10 kHz"));
        QCOMPARE(core.table().text(1, Col::CurrentColumn), QString("50"));
    }

    void missingLanguageFileKeepsEnglish()
    {
        attachModel("ZM-043-7.5K");
        writeCatalogue('F', catalogueXml(smallCatalogue()));
        setLanguageCode(2);
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::NameColumn),
                 (QStringList{"Torque boost", "Maximum frequency", "Minimum frequency"}));
    }

    void seriesAReloadKeepsGroupOrder()
    {
        attachModel("ZQ1-043-5.5K");
        writeCatalogue('A', catalogueXml({{"0", "Boost", "r", "0.1%", "d", "00-00"},
                                          {"1", "Max", "r", "0.01Hz", "d", "01-00"},
                                          {"2", "Min", "r", "0.01Hz", "d", "00-01"}},
                                         true));
        writeCatalogue('A', QString::fromUtf8(
            "<C><Group0>00-00</Group0><Name0>提升</Name0>"
            "<Group1>01-00</Group1><Name1>最高</Name1>"
            "<Group2>00-01</Group2><Name2>最低</Name2></C>").toUtf8(), "_InvParameter.xml");
        setLanguageCode(1);
        ParameterCore core;
        core.loadCatalogue();
        QCOMPARE(column(core, Col::NumberColumn), (QStringList{"  P.0", "  P.2", "  P.1"}));
        QCOMPARE(column(core, Col::NameColumn),
                 (QStringList{QString::fromUtf8("提升"), QString::fromUtf8("最低"),
                              QString::fromUtf8("最高")}));
    }

    void hiddenParameters_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("version188");
        QTest::addColumn<QStringList>("entries");
        const QByteArray doc(
            "<HideParameter><Pr288><DefaultValue>0</DefaultValue><Unit>1</Unit></Pr288>"
            "<Pr300><DefaultValue>0.10-0.50\\5</DefaultValue><Unit>0.1</Unit></Pr300>"
            "<Pr301><DefaultValue></DefaultValue><Unit>1</Unit></Pr301>"
            "<Pr1000><DefaultValue>1</DefaultValue><Unit>0.10-0.99\\0.01</Unit></Pr1000>"
            "</HideParameter>");
        QTest::newRow("version 0.40") << "ZM-043-7.5K" << "ZMHideParameter.xml" << doc << 40
                                      << QStringList{"P.288|0|1", "P.300|5|0.1", "P.1000|1|0.01"};
        QTest::newRow("version 0.60 drops P.300") << "ZM-043-7.5K" << "ZMHideParameter.xml" << doc
                                                  << 60
                                                  << QStringList{"P.288|0|1", "P.1000|1|0.01"};
        QTest::newRow("ZM-K file") << "ZM-043-7.5K-K" << "ZM-KHideParameter.xml" << doc << 20
                                   << QStringList{"P.288|0|1", "P.300|5|0.1", "P.1000|1|0.01"};
        QTest::newRow("series A has none") << "ZQ1-043-5.5K" << "ZQHideParameter.xml" << doc << 10
                                           << QStringList{};
        QTest::newRow("missing file") << "ZM-043-7.5K" << "other.xml" << doc << 40
                                      << QStringList{};
        QTest::newRow("broken file") << "ZM-043-7.5K" << "ZMHideParameter.xml"
                                     << QByteArray("<H><Pr5><DefaultValue>1</DefaultValue><Unit>0.1"
                                                   "</Unit></Pr5><Pr6><Default")
                                     << 40 << QStringList{"P.5|1|0.1"};
    }
    void hiddenParameters()
    {
        QFETCH(QString, model);
        QFETCH(QString, file);
        QFETCH(QByteArray, xml);
        QFETCH(int, version188);
        QFETCH(QStringList, entries);
        attachModel(model);
        m_dir->write("hideparameter/" + file, xml);
        m_drive->setRegister(188, quint16(version188));
        ParameterCore core;
        core.determineCatalogueVersion();
        core.loadHiddenParameters();
        QStringList got;
        for (const HiddenParameterList::Entry &e : core.hiddenParameterList())
            got.append(e.name + "|" + e.defaultValue + "|" + e.unit);
        QCOMPARE(got, entries);
    }

private:
    std::unique_ptr<DataDir> m_dir;
    std::unique_ptr<RtuDrive> m_drive;
    std::shared_ptr<FakeTransport> m_fake;
    RecordingInteraction m_ui;
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
