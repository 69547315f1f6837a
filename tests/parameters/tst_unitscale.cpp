#include "common/parameterfixture.h"

#include "parameters/hiddenparameterlist.h"
#include "parameters/parameterstate.h"
#include "parameters/parametertable.h"
#include "parameters/unitscale.h"

#include <QtTest>

#include <memory>
#include <thread>

// Decimal counts and multipliers of parameter units, the series 'A' rules
// that read other registers, the two-resolution units and the unit lookup.
class TestUnitScale : public QObject
{
    Q_OBJECT

    void addRow(const QString &number, const QString &unit)
    {
        m_table->addParameterRow({"", number, "name", "range", unit, "0", false, false},
                                 m_table->rowCount());
    }

private slots:
    void init()
    {
        resetSharedState();
        resetParameterState();
        m_dir = std::make_unique<DataDir>();
        m_dir->copyShipped("InvType/FNC.txt");
        m_drive = std::make_unique<RtuDrive>();
        m_fake = useRtuDrive(*m_drive);
        m_table = std::make_unique<ParameterTable>();
        m_table->setRowCount(0);
        m_hidden = std::make_unique<HiddenParameterList>();
        m_scale = std::make_unique<UnitScale>(*m_table, *m_hidden);
    }
    void cleanup()
    {
        m_scale.reset();
        linkState().setSerialPort(nullptr);
        m_dir.reset();
    }

    void unitRule_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("decimals");
        QTest::newRow("Hz has no 1") << "Hz" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("1") << "1" << 0;
        QTest::newRow("1s") << "1s" << 0;
        QTest::newRow("10s") << "10s" << 0;
        QTest::newRow("0.1Hz") << "0.1Hz" << 1;
        QTest::newRow("0.01s") << "0.01s" << 2;
        QTest::newRow("0.001") << "0.001" << 3;
        QTest::newRow("1 at position 5") << "0.0001" << 0;
        QTest::newRow("percent") << "%" << 0;
    }
    void unitRule()
    {
        QFETCH(QString, unit);
        QFETCH(int, decimals);
        attachModel("ZM-043-7.5K");
        QCOMPARE(m_scale->unitScaleIn(5, unit, false), decimals);
        QCOMPARE(m_scale->unitScaleIn(5, unit, true), int(std::pow(10, decimals)));
        m_scale->setScaleAsMultiplier(true);
        QCOMPARE(m_scale->unitScale(5, unit), int(std::pow(10, decimals)));
        m_scale->setScaleAsMultiplier(false);
        QCOMPARE(m_scale->unitScale(5, unit), decimals);
        QVERIFY(m_fake->writes().isEmpty());
    }

    void twoResolutionUnits_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("features");
        QTest::addColumn<int>("p21");  // -1: not answered
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("reads");
        QTest::newRow("ZM-K above 160") << "ZM-043-185K/200K-K" << "" << 0 << false << 1 << 0;
        QTest::newRow("ZM-K at 160") << "ZM-043-160K-K" << "" << 0 << false << 2 << 0;
        QTest::newRow("P.21 0") << "ZM-043-7.5K" << featureRow("Parameter_readP21", "F") << 0
                                << false << 2 << 1;
        QTest::newRow("P.21 1") << "ZM-043-7.5K" << featureRow("Parameter_readP21", "F") << 1
                                << false << 1 << 1;
        QTest::newRow("P.21 unreadable") << "ZM-043-7.5K" << featureRow("Parameter_readP21", "F")
                                         << -1 << false << -1 << 3;
        QTest::newRow("P.21 never read") << "ZM-043-7.5K" << "" << 0 << false << -1 << 0;
        QTest::newRow("batch running: no read") << "ZM-043-7.5K"
                                                << featureRow("Parameter_readP21", "F") << 0
                                                << true << -1 << 0;
    }
    void twoResolutionUnits()
    {
        QFETCH(QString, model);
        QFETCH(QString, features);
        QFETCH(int, p21);
        QFETCH(bool, quiet);
        QFETCH(int, decimals);
        QFETCH(int, reads);
        setSeriesFeatureText(features);
        attachModel(model);
        if (p21 >= 0)
            m_drive->setRegister(21, quint16(p21));
        else
            m_drive->silence(21);
        linkState().quietReads = quiet;
        QCOMPARE(m_scale->unitScaleIn(30, "0.1A/0.01A", false), decimals);
        QCOMPARE(m_fake->writes().size(), reads);
        linkState().quietReads = false;
    }

    void p21ScaleKeepsItsForm()
    {
        attachModel("ZM-043-7.5K");
        QCOMPARE(m_scale->p21Scale(), -1);
        m_drive->setRegister(21, 0);
        QVERIFY(m_scale->readP21Scale());
        QCOMPARE(m_scale->p21Scale(), 2);
        m_scale->setScaleAsMultiplier(true);
        QCOMPARE(m_scale->p21Scale(), 100);
        // During a batch the two-resolution unit takes P.21 as read.
        linkState().quietReads = true;
        QCOMPARE(m_scale->unitScaleIn(30, "0.1A/0.01A", false), 2);
        QCOMPARE(m_scale->unitScaleIn(30, "0.1A/0.01A", true), 100);
        linkState().quietReads = false;
        m_drive->setRegister(21, 3);
        QVERIFY(m_scale->readP21Scale());
        QCOMPARE(m_scale->p21Scale(), 10);
        m_scale->resetP21Scale();
        QCOMPARE(m_scale->p21Scale(), -1);
        m_drive->silence(21);
        QVERIFY(!m_scale->readP21Scale());
    }

    void seriesARules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("reg");    // register the rule reads, or -1
        QTest::addColumn<int>("value");  // its value, -1: not answered
        QTest::addColumn<int>("decimals");
        QTest::newRow("P.7 P.21 0") << "ZQ1-043-5.5K" << 7 << 21 << 0 << 2;
        QTest::newRow("P.7 P.21 1") << "ZQ1-043-5.5K" << 7 << 21 << 1 << 1;
        QTest::newRow("P.115 P.21 0") << "ZQ1-043-5.5K" << 115 << 21 << 0 << 2;
        QTest::newRow("P.239 P.21 unreadable") << "ZQ1-043-5.5K" << 239 << 21 << -1 << -1;
        QTest::newRow("P.9 at 160") << "ZQ1-043-160K" << 9 << -1 << 0 << 1;
        QTest::newRow("P.338 at 132") << "ZQ1-043-132K" << 338 << -1 << 0 << 2;
        QTest::newRow("P.291 P.290 2") << "ZQ1-043-5.5K" << 291 << 290 << 2 << 0;
        QTest::newRow("P.291 P.290 3") << "ZQ1-043-5.5K" << 291 << 290 << 3 << 2;
        QTest::newRow("P.291 P.290 7") << "ZQ1-043-5.5K" << 291 << 290 << 7 << 0;
        QTest::newRow("P.291 P.290 11") << "ZQ1-043-5.5K" << 291 << 290 << 11 << 2;
        QTest::newRow("P.291 large P.290 2") << "ZQ1-043-185K" << 291 << 290 << 2 << 1;
        QTest::newRow("P.291 large P.290 7") << "ZQ1-043-185K" << 291 << 290 << 7 << 0;
        QTest::newRow("P.291 unreadable") << "ZQ1-043-5.5K" << 291 << 290 << -1 << -1;
        QTest::newRow("P.37 P.259 1") << "ZQ1-043-5.5K" << 37 << 259 << 1 << 1;
        QTest::newRow("P.37 P.259 0") << "ZQ1-043-5.5K" << 37 << 259 << 0 << 0;
        QTest::newRow("P.271 P.267 10") << "ZQ1-043-5.5K" << 271 << 267 << 10 << 1;
        QTest::newRow("P.272 P.267 11") << "ZQ1-043-5.5K" << 272 << 267 << 11 << 2;
        QTest::newRow("P.309 at 75") << "ZQ1-043-75K" << 309 << -1 << 0 << 2;
        QTest::newRow("P.309 at 55") << "ZQ1-043-55K" << 309 << -1 << 0 << 0;
        QTest::newRow("P.342 at 55") << "ZQ1-043-55K" << 342 << -1 << 0 << 1;
        QTest::newRow("P.318 at 5.5") << "ZQ1-043-5.5K" << 318 << -1 << 0 << 4;
        QTest::newRow("P.348 at 7.5") << "ZQ1-043-7.5K" << 348 << -1 << 0 << 3;
        QTest::newRow("P.318 at 110") << "ZQ1-043-110K" << 318 << -1 << 0 << 2;
        QTest::newRow("P.5 by unit") << "ZQ1-043-5.5K" << 5 << -1 << 0 << 2;
    }
    void seriesARules()
    {
        QFETCH(QString, model);
        QFETCH(int, number);
        QFETCH(int, reg);
        QFETCH(int, value);
        QFETCH(int, decimals);
        attachModel(model);
        if (reg >= 0 && value >= 0)
            m_drive->setRegister(reg, quint16(value));
        else if (reg >= 0)
            m_drive->silence(reg);
        QCOMPARE(m_scale->unitScaleIn(number, "0.01Hz", false), decimals);
        QCOMPARE(m_scale->unitScaleIn(number, "0.01Hz", true),
                 decimals < 0 ? -1 : int(std::pow(10, decimals)));
        if (reg < 0)
            QVERIFY(m_fake->writes().isEmpty());
        else
            QCOMPARE(m_fake->writes().first(),
                     withCrc(QByteArray::fromHex("0103") + QByteArray(1, char(reg >> 8)) +
                             QByteArray(1, char(reg & 0xFF)) + QByteArray::fromHex("0001")));
    }

    void readScaleLookup_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("features");
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("scale");
        QTest::newRow("table row") << "ZM-043-7.5K" << "" << 5 << 0.01;
        QTest::newRow("another table row") << "ZM-043-7.5K" << "" << 6 << 0.1;
        QTest::newRow("hidden entry") << "ZM-043-7.5K" << "" << 288 << 0.001;
        QTest::newRow("unknown: no scale") << "ZM-043-7.5K" << "" << 400 << -1.0;
        QTest::newRow("P.188 with Parameter_NotH") << "ZM-043-7.5K"
                                                   << featureRow("Parameter_NotH", "F") << 188
                                                   << 0.01;
        QTest::newRow("P.188 without") << "ZM-043-7.5K" << "" << 188 << 1.0;
        QTest::newRow("P.199 with Parameter_H") << "ZN-020-5.5K" << featureRow("Parameter_H", "H")
                                                << 199 << 0.01;
        QTest::newRow("ZQ P.7 reads P.21") << "ZQ1-043-5.5K" << "" << 7 << 0.1;
    }
    void readScaleLookup()
    {
        QFETCH(QString, model);
        QFETCH(QString, features);
        QFETCH(int, number);
        QFETCH(double, scale);
        setSeriesFeatureText(features);
        attachModel(model);
        m_drive->setRegister(21, 1);
        addRow("5", "0.01Hz");
        addRow("6", "0.1s");
        addRow("7", "0.01s");
        addRow("188", "1");
        addRow("199", "1");
        m_dir->write("hideparameter/" + seriesCode(seriesLetter()) + "HideParameter.xml",
                     "<H><Pr288><DefaultValue>0</DefaultValue><Unit>0.001</Unit></Pr288></H>");
        m_hidden->load(seriesLetter(), 0.5);
        m_table->setCurrentCell(0, 1);
        QCOMPARE(m_scale->readScale(number), scale);
        if (scale == -1)
            QCOMPARE(m_scale->readScale(number, UnitScale::Unknown::EmptyUnit), 1.0);
    }

    void lookupFromAnotherThread()
    {
        attachModel("ZM-043-7.5K");
        addRow("5", "0.01Hz");
        addRow("6", "0.1s");
        m_table->setCurrentCell(1, 1);
        m_table->refreshUnitIndex();
        double five = 0, six = 0, seven = 0;
        std::thread worker([&] {
            five = m_scale->readScale(5);
            six = m_scale->readScale(6);
            seven = m_scale->readScale(7);
        });
        worker.join();
        QCOMPARE(five, 0.01);
        QCOMPARE(six, 0.1);
        QCOMPARE(seven, -1.0);
        // A change reaches the other threads once the event loop has run.
        m_table->setText(0, ParameterTable::UnitColumn, "0.001Hz");
        QCoreApplication::processEvents();
        std::thread again([&] { five = m_scale->readScale(5); });
        again.join();
        QCOMPARE(five, 0.001);
    }

private:
    std::unique_ptr<DataDir> m_dir;
    std::unique_ptr<RtuDrive> m_drive;
    std::shared_ptr<FakeTransport> m_fake;
    std::unique_ptr<ParameterTable> m_table;
    std::unique_ptr<HiddenParameterList> m_hidden;
    std::unique_ptr<UnitScale> m_scale;
};

QTEST_GUILESS_MAIN(TestUnitScale)
#include "tst_unitscale.moc"
