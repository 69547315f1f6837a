#include "common/testsupport.h"
#include "monitor/monitordata.h"
#include "gui/monitor/alarmlamps.h"
#include "gui/monitor/cockpit.h"
#include "gui/monitor/dial.h"
#include "gui/monitor/inverterstate.h"
#include "gui/monitor/iostate.h"
#include "gui/widgets/lamp.h"
#include "monitor/quantitylists.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>

namespace {
// The alarm history as the status panel sees it: what it was asked, and
// whether refusals of the alarm registers were accepted while it was asked.
class RecordingAlarms : public AlarmLamps
{
public:
    void showCurrentAlarm() override
    {
        ++shows;
        acceptedWhileShowing = acceptedWhileShowing && linkState().acceptReject288;
    }
    void clearAlarmLamps() override { ++clears; }
    int shows = 0;
    int clears = 0;
    bool acceptedWhileShowing = true;
};

QList<int> litLamps(const IOState &panel)
{
    QList<int> lit;
    for (int n = 1; n <= IOState::kLamps; ++n)
        if (panel.lamp(n)->isLit())
            lit.append(n);
    return lit;
}

QList<int> greyedLamps(const IOState &panel)
{
    QList<int> greyed;
    for (int n = 1; n <= IOState::kLamps; ++n) {
        if (!panel.lamp(n)->isEnabled())
            greyed.append(n);
        // A lamp and its caption are greyed together.
        if (panel.lamp(n)->isEnabled() != panel.caption(n)->isEnabled())
            return {-n};
    }
    return greyed;
}
}  // namespace

// The status and terminal panels, the dials' labels and the quantity lists
// they follow, series by series.
class TestMonitorPanels : public QObject
{
    Q_OBJECT

    DataDir m_dir;

private slots:
    void initTestCase()
    {
        m_dir.copyShipped("InvType/typeInfo.txt");
        QVERIFY(loadSeriesFeatures());
    }
    void cleanup() { linkState().reset(); }

    void dialLabelKeepsTheUnitOfItsPosition_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("refreshed");
        QTest::newRow("ZM-KX output power") << 'L' << 12 << 3.5 << "kW" << "3.5kW";
        QTest::newRow("ZM-KX PID aim") << 'L' << 14 << 50.0 << "%" << "50%";
        QTest::newRow("ZM-KX HDI stays kHz") << 'L' << 17 << 1.25 << "kHz" << "1.25kHz";
        QTest::newRow("ZM-KX PG speed stays Hz") << 'L' << 16 << 49.0 << "Hz" << "49Hz";
        QTest::newRow("ZM-KX status of terminals") << 'L' << 4 << 1022.0 << "" << "1022";
        QTest::newRow("series A PID feedback") << 'A' << 16 << 12.5 << "%" << "12.5%";
        QTest::newRow("series A module temperature") << 'A' << 13 << 41.0 << "" << "41";
        QTest::newRow("series A terminal 3-5") << 'A' << 22 << 4.5 << "V" << "4.5V";
        QTest::newRow("ZM current") << 'F' << 2 << 12.86 << "A" << "12.86A";
        QTest::newRow("ZM frequency") << 'F' << 0 << 50.0 << "Hz(r/min)" << "50Hz(r/min)";
        QTest::newRow("ZM 4-5 input") << 'F' << 5 << 8.0 << "A" << "8A";
        QTest::newRow("ZM thermal record") << 'F' << 8 << 3.25 << "" << "3.25";
    }
    // The right dial first shows the unit of the chosen position, then the
    // value followed by that same unit at every refresh.
    void dialLabelKeepsTheUnitOfItsPosition()
    {
        QFETCH(char, series);
        QFETCH(int, position);
        QFETCH(double, value);
        QFETCH(QString, unit);
        QFETCH(QString, refreshed);
        monitorData().reset();
        Cockpit cockpit(DriveProfile::of(series, 1.0));
        cockpit.rightSelector()->setCurrentIndex(position);
        QCOMPARE(cockpit.rightDial()->label(), unit);
        cockpit.start();
        monitorData().setValue(position, value);
        cockpit.takeSample();
        cockpit.updateData();
        QCOMPARE(cockpit.rightDial()->label(), refreshed);
        QCOMPARE(cockpit.rightDial()->value(), qMin(value, 100.0));  // the needle stops at the end
        cockpit.updateData();
        QCOMPARE(cockpit.rightDial()->label(), refreshed);
        cockpit.stop();
    }

    void statusWordLightsItsLamps_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("lit");  // one letter per bit, 1 lit
        QTest::addColumn<int>("alarmShows");
        QTest::addColumn<int>("alarmClears");
        QTest::newRow("running with an alarm") << 'F' << 0x81 << "10000001" << 3 << 0;
        QTest::newRow("forward at speed") << 'F' << 0x4B << "11010010" << 0 << 3;
        QTest::newRow("reverse, overload") << 'L' << 0x15 << "10101000" << 0 << 3;
        QTest::newRow("ZN key tone") << 'H' << 0x20 << "00000100" << 0 << 3;
        QTest::newRow("high byte ignored") << 'A' << 0xFF00 << "00000000" << 0 << 3;
    }
    void statusWordLightsItsLamps()
    {
        QFETCH(char, series);
        QFETCH(int, word);
        QFETCH(QString, lit);
        QFETCH(int, alarmShows);
        QFETCH(int, alarmClears);
        InverterState panel(DriveProfile::of(series, 1.0));
        RecordingAlarms alarms;
        panel.setAlarmLamps(&alarms);
        panel.setStatusWord(word + 0.75);  // cut to a whole number
        QCOMPARE(panel.statusWord(), word);
        // Every tick asks again while the alarm bit stays set.
        for (int tick = 0; tick < 3; ++tick)
            panel.updateStatus();
        QString shown;
        for (int bit = 0; bit < InverterState::kLamps; ++bit)
            shown += panel.lamp(bit)->isLit() ? '1' : '0';
        QCOMPARE(shown, lit);
        QCOMPARE(alarms.shows, alarmShows);
        QCOMPARE(alarms.clears, alarmClears);
        QVERIFY(alarms.acceptedWhileShowing);
        QVERIFY(!linkState().acceptReject288);

        // Stopped: every lamp dark, the history's lamps cleared.
        panel.stop();
        for (int bit = 0; bit < InverterState::kLamps; ++bit)
            QVERIFY(!panel.lamp(bit)->isLit());
        QCOMPARE(alarms.clears, alarmClears + 1);
    }

    void statusCaptions_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QString>("sixth");
        QTest::newRow("ZN") << 'H' << "key tone";
        QTest::newRow("ZM") << 'F' << "Pr. restor";
        QTest::newRow("series A") << 'A' << "Pr. restor";
    }
    void statusCaptions()
    {
        QFETCH(char, series);
        QFETCH(QString, sixth);
        InverterState panel(DriveProfile::of(series, 1.0));
        QCOMPARE(panel.caption(5)->text(), sixth);
        QCOMPARE(panel.caption(0)->text(), QString("Running") + QString(14, ' '));
        QCOMPARE(panel.caption(7)->text(), QString("Alarm occurrence"));
        QCOMPARE(panel.title(), QString("System State"));
    }

    void terminalWordsLightTheirLamps_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<double>("version");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::addColumn<QList<int>>("lit");
        QTest::addColumn<QList<int>>("greyed");
        const QList<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        QTest::newRow("ZR2 STF alone") << 'T' << 1.0 << 0x3FE << 0xFFFF << QList<int>{1}
                                       << QList<int>{7, 8, 9, 10, 13, 14, 15};
        QTest::newRow("ZR2 RES on bit 8") << 'T' << 1.0 << 0x2FF << 0xFFFF << QList<int>{6}
                                          << QList<int>{7, 8, 9, 10, 13, 14, 15};
        QTest::newRow("ZM-KX SO2-SE alone") << 'L' << 1.0 << 0xFFFF << 0x0B << QList<int>{11}
                                            << QList<int>{8, 9};
        QTest::newRow("ZM-KX in order") << 'L' << 1.0 << 0x1DF << 0x06 << QList<int>{6, 10, 12, 15}
                                        << QList<int>{8, 9};
        QTest::newRow("ZM AU and RUN") << 'F' << 1.0 << 0x3DF << 0x2F << QList<int>{7, 14}
                                       << QList<int>{10, 13};
        QTest::newRow("ZM bits 2 and 3 light nothing") << 'F' << 1.0 << 0x3FF << 0x33 << QList<int>{}
                                                       << QList<int>{10, 13};
        QTest::newRow("ZM ABC on bit 1, FU on 5") << 'F' << 1.0 << 0x3FF << 0x1D
                                                  << QList<int>{11, 15} << QList<int>{10, 13};
        QTest::newRow("ZM-K 0.2") << 'G' << 0.2 << 0x37F << 0x3E << QList<int>{9, 12}
                                  << QList<int>{10, 13};
        QTest::newRow("ZM-K 0.1") << 'G' << 0.1 << 0x3FF << 0x3F << QList<int>{} << all;
        QTest::newRow("ZP2 0.6") << 'X' << 0.6 << 0x1FF << 0x3F << QList<int>{10} << QList<int>{10, 13};
        QTest::newRow("ZP2 0.5") << 'X' << 0.5 << 0x3FF << 0x3F << QList<int>{} << all;
        QTest::newRow("series A") << 'A' << 0.1 << 0x0FC << 0x37 << QList<int>{1, 2, 9, 10, 15}
                                  << QList<int>{};
        QTest::newRow("ZN") << 'H' << 0.1 << 0x3FF << 0x3F << QList<int>{} << all;
    }
    void terminalWordsLightTheirLamps()
    {
        QFETCH(char, series);
        QFETCH(double, version);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        QFETCH(QList<int>, lit);
        QFETCH(QList<int>, greyed);
        IOState panel(DriveProfile::of(series, version));
        QCOMPARE(greyedLamps(panel), greyed);
        QCOMPARE(litLamps(panel), QList<int>{});  // created dark
        panel.setTerminalWords(inputs, outputs);
        panel.updateStatus();
        QCOMPARE(litLamps(panel), lit);
        QVERIFY(!panel.lamp(13)->isLit());  // driven by no bit
        panel.stop();
        QCOMPARE(litLamps(panel), QList<int>{});
        QCOMPARE(panel.inputWord(), 0xFFFF);
        QCOMPARE(panel.outputWord(), 0xFFFF);
    }

    void terminalCaptions_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<double>("version");
        QTest::addColumn<QStringList>("captions");
        const QStringList plain{"STF", "STR", "M0",    "M1",    "M2",     "RES",      "M3",      "M4",
                                "M5",  "HDI", "A-B-C", "SO-SE", "SO2-SE", "A1-B1-C1", "A2-B2-C2"};
        QStringList zm = plain;
        zm[2] = "RL", zm[3] = "RM", zm[4] = "RH", zm[6] = "AU", zm[7] = "RT", zm[8] = "MRS";
        zm[11] = "SU", zm[10] = "ABC", zm[13] = "RUN", zm[14] = "FU";
        QStringList ordered = plain;
        ordered[11] = "SO1-SE", ordered[10] = "SO2-SE";
        QTest::newRow("ZM") << 'F' << 1.0 << zm;
        QTest::newRow("ZM-K 0.4") << 'G' << 0.4 << zm;
        QTest::newRow("ZM-K 0.1") << 'G' << 0.1 << plain;
        QTest::newRow("ZM-KX") << 'L' << 1.0 << ordered;
        QTest::newRow("series A") << 'A' << 0.1 << ordered;
        QTest::newRow("ZR2") << 'T' << 1.0 << plain;
    }
    void terminalCaptions()
    {
        QFETCH(char, series);
        QFETCH(double, version);
        QFETCH(QStringList, captions);
        IOState panel(DriveProfile::of(series, version));
        QStringList shown;
        for (int n = 1; n <= IOState::kLamps; ++n)
            shown << panel.caption(n)->text();
        QCOMPARE(shown, captions);
    }

    void quantityLists_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<double>("version");
        QTest::addColumn<int>("dialCount");
        QTest::addColumn<int>("plotCount");
        QTest::addColumn<bool>("watchesTerminals");
        QTest::newRow("ZN") << 'H' << 0.1 << 4 << 4 << false;
        QTest::newRow("ZM") << 'F' << 1.0 << 10 << 10 << false;
        QTest::newRow("ZM-K 0.10") << 'G' << 0.10 << 4 << 4 << false;
        QTest::newRow("ZM-K 0.2") << 'G' << 0.2 << 10 << 10 << true;
        QTest::newRow("ZM-K 0.40") << 'G' << 0.40 << 10 << 10 << true;
        QTest::newRow("ZP2 0.59") << 'X' << 0.59 << 4 << 4 << false;
        QTest::newRow("ZP2 0.6") << 'X' << 0.6 << 10 << 10 << true;
        QTest::newRow("ZR2") << 'T' << 1.0 << 10 << 10 << true;
        QTest::newRow("ZR") << 'S' << 1.0 << 4 << 4 << false;
        QTest::newRow("ZM-KX") << 'L' << 0.14 << 20 << 20 << true;
        QTest::newRow("series A") << 'A' << 0.1 << 23 << 23 << true;
        QTest::newRow("ZD") << 'B' << 0.4 << 4 << 4 << false;
        QTest::newRow("no drive") << '0' << 0.0 << 4 << 4 << false;
    }
    void quantityLists()
    {
        QFETCH(char, series);
        QFETCH(double, version);
        QFETCH(int, dialCount);
        QFETCH(int, plotCount);
        QFETCH(bool, watchesTerminals);
        const DriveProfile drive = DriveProfile::of(series, version);
        const QStringList dial = QuantityLists::captions(QuantityLists::dialList(drive));
        QCOMPARE(dial.size(), dialCount);
        QCOMPARE(QuantityLists::captions(QuantityLists::plotList(drive)).size(), plotCount);
        QCOMPARE(QuantityLists::watchesTerminals(drive), watchesTerminals);
        QCOMPARE(dial.at(0), QString("Output Frequency"));
        QCOMPARE(dial.at(3), QString("Target Frequency"));
        // The fixed words lie past the end of every list the selectors offer.
        QVERIFY(QuantityLists::statusPosition(series) >= dialCount);
        QVERIFY(QuantityLists::flagsClearedOnStop(series) > QuantityLists::statusPosition(series));
        // Past the end of the series' unit table there is no unit.
        QCOMPARE(QuantityLists::unit(series, 23), QString());
        QCOMPARE(QuantityLists::unit(series, -1), QString());
    }

    // The plot's list follows its own switch: a drive without it takes the
    // dials' rule, one with it the ZM rule.
    void plotListFollowsItsSwitch()
    {
        DriveProfile zm = DriveProfile::of('F', 1.0);
        QVERIFY(zm.plotListGF);
        zm.plotListGF = false;
        QCOMPARE(QuantityLists::plotList(zm), QuantityLists::Basic);
        DriveProfile zr2 = DriveProfile::of('T', 1.0);
        zr2.plotListGF = true;
        QCOMPARE(QuantityLists::plotList(zr2), QuantityLists::Basic);
        QCOMPARE(QuantityLists::dialList(zr2), QuantityLists::Extended);
        QCOMPARE(QuantityLists::sourceCaptions(QuantityLists::SeriesA).at(13),
                 QString("NTC module temperature"));
        QCOMPARE(QuantityLists::sourceCaptions(QuantityLists::ZmKx).at(13),
                 QString("Electronic thermal accumulation rate of motor"));
    }
};

QTEST_MAIN(TestMonitorPanels)
#include "tst_monitorpanels.moc"
