#include "link/driverregistry.h"
#include "common/scaledparameters.h"
#include "common/peerrequired.h"
#include "base/series.h"
#include "common/simdriverig.h"
#include "common/testsupport.h"
#include "common/xlrdpeer.h"
#include "link/driverfactory.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"
#include "parameters/workbook.h"
#include "resources/images.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "gui/trend/advanceplot.h"
#include "monitor/trendfiles.h"
#include "gui/trend/advoptiondialog.h"
#include "gui/trend/mainadvplot.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <qwt_plot_curve.h>

#include <atomic>
#include <memory>

namespace {
using DriveRig = SimDriveRig;

QList<int> trendFlags()
{
    QList<int> on;
    for (int k = 0; k < MonitorData::kSize; ++k)
        if (monitorData().trendFlag(k))
            on.append(k);
    return on;
}
}  // namespace

// The trend window: its channels per series, how it starts, records the
// simulated drive, stops, goes off line and saves.
class TestMainAdvPlot : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    QTemporaryDir m_files;
    RecordingInteraction m_ui;
    ScaledParameters m_parameters;
    std::unique_ptr<LinkWorker> m_worker;
    std::unique_ptr<MonitorThread> m_monitor;

    std::unique_ptr<MainAdvPlot> newWindow(MonitorThread *monitor)
    {
        std::unique_ptr<MainAdvPlot> w(MainAdvPlot::create(monitor, *m_worker, &m_parameters));
        w->resize(1100, 720);
        w->show();
        return w;
    }
    bool startRunning(MainAdvPlot &w)
    {
        w.startMonitor();
        return QTest::qWaitFor([&] { return w.state() == MainAdvPlot::State::Running; }, 10000);
    }
    bool idleControls(MainAdvPlot &w, bool idle)
    {
        bool same = w.action("actRun")->isEnabled() == idle &&
                    w.action("actOption")->isEnabled() == idle &&
                    w.action("actSaveData")->isEnabled() == idle &&
                    w.action("actSaveChart")->isEnabled() == idle;
        for (int i = 0; i < MainAdvPlot::kChannels; ++i)
            same = same && w.quantityBox(i)->isEnabled() == idle &&
                   w.rangeBox(i)->isEnabled() == idle && w.channelCheckBox(i)->isEnabled();
        return same && w.action("actStop")->isEnabled();
    }

private slots:
    void initTestCase()
    {
        initialiseImages();
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt", "InvParameter/Version.txt",
                              "InvParameter/F_InvParameter_Eng.xml"})
            m_dir.copyShipped(QString::fromLatin1(f));
        QVERIFY(loadSeriesFeatures());
        setUserInteraction(&m_ui);
    }
    void init()
    {
        m_ui.clear();
        monitorData().reset();
        m_worker = std::make_unique<LinkWorker>();
        m_monitor = std::make_unique<MonitorThread>();
        setCatalogueVersion(QStringLiteral("1.00"));
    }
    void cleanup()
    {
        m_monitor.reset();
        m_worker.reset();
        linkState().setSerialPort(nullptr);
        setCatalogueVersion(QString());
    }
    void cleanupTestCase() { setUserInteraction(nullptr); }

    // The quantity lists per series and version, and the channels' defaults
    // within them (a position beyond a short list leaves no choice).
    void channelsFollowTheDrive_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("items");
        QTest::newRow("ZN") << "ZN-020-5.5K" << "0.10" << 4;
        QTest::newRow("ZM") << "ZM-043-7.5K" << "1.00" << 10;
        QTest::newRow("ZM-K 0.10") << "ZM-043-7.5K-K" << "0.10" << 4;
        QTest::newRow("ZM-K 0.20") << "ZM-043-7.5K-K" << "0.20" << 10;
        QTest::newRow("ZP2 0.50") << "ZP2-043-2.2K" << "0.50" << 4;
        QTest::newRow("ZP2 0.60") << "ZP2-043-2.2K" << "0.60" << 10;
        QTest::newRow("ZM-KX") << "ZM-043-5.5K-KX" << "0.14" << 20;
        QTest::newRow("ZQ") << "ZQ1-043-5.5K" << "0.10" << 23;
    }
    void channelsFollowTheDrive()
    {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(int, items);
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        setCatalogueVersion(version);
        auto w = newWindow(nullptr);
        const int defaults[] = {0, 1, 2, 3, 4, 5, 6, 8};
        for (int i = 0; i < MainAdvPlot::kChannels; ++i) {
            QCOMPARE(w->quantityBox(i)->count(), items);
            QCOMPARE(w->quantityBox(i)->currentIndex(), defaults[i] < items ? defaults[i] : -1);
            QCOMPARE(w->channelCheckBox(i)->isChecked(), i < 3);
            QCOMPARE(w->plot()->curve(i)->pen().width(), 2);
            QCOMPARE(w->rangeBox(i)->minimum(), 1);
        }
        QCOMPARE(w->quantityBox(0)->itemText(0), QString("Output Frequency"));
        QVERIFY(!w->action("actRun")->isEnabled());  // nothing to start without a thread
    }

    // The decoded identity in the tool bar, for the window's drive, also
    // after the language changed; the decoding of every series is the run's
    // (tst_monitorrun).
    void driveInfo_data()
    {
        QTest::addColumn<char>("series");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("kw");
        QTest::newRow("ZM-K as ZM") << 'G' << QStringList{"ZM-043-7.5K/11K-K", "V0.33", "17A", "440V", "0"}
                                    << "ZM" << "7.5KW";
        QTest::newRow("ZM-K unknown") << 'G' << QStringList{"ZM-043-7.5K-K", "V0.33", "17A", "440V", ""}
                                      << "..." << "...";
        QTest::newRow("ZM-KX") << 'L' << QStringList{"ZM-043-5.5K-KX", "V0.14", "13A", "440V", ""}
                               << "ZM-KX" << "5.5KW";
    }
    void driveInfo()
    {
        QFETCH(char, series);
        QFETCH(QStringList, record);
        QFETCH(QString, drive);
        QFETCH(QString, kw);
        setSeriesLetter(series);
        auto w = newWindow(nullptr);
        w->showDriveInfo(record);
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(w->infoValue(MainAdvPlot::DriveField)->text(), drive);
            QCOMPARE(w->infoValue(MainAdvPlot::KwField)->text(), kw);
            QCOMPARE(w->infoValue(MainAdvPlot::VersionField)->text(), record.value(1));
            QCOMPARE(w->infoValue(MainAdvPlot::CurrentField)->text(), record.value(2));
            QCOMPARE(w->infoValue(MainAdvPlot::VoltageField)->text(), record.value(3));
            // The identity stays through a change of language.
            QEvent change(QEvent::LanguageChange);
            QCoreApplication::sendEvent(w.get(), &change);
        }
    }

    // The drive starts towards 50 Hz as recording starts; ten seconds of its
    // clock, moved in steps of 100 ms together with the chart's, are
    // recorded and saved. The frequency follows the 10 Hz/s ramp.
    void recordsTheRamp()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        std::atomic<qint64> ms{0};
        w->plot()->setClock([&ms] { return ms.load(); });
        QVERIFY(idleControls(*w, true));
        QVERIFY(startRunning(*w));
        QVERIFY(idleControls(*w, false));
        QCOMPARE(trendFlags(), (QList<int>{0, 1, 2}));
        QCOMPARE(w->infoValue(MainAdvPlot::DriveField)->text(), QString("ZM"));
        QVERIFY(currentDriver()->writeRegister(SimRegisters::FrequencyCommand, 5000));
        QCOMPARE(currentDriver()->runFunction("FWD"), 0);
        QTRY_VERIFY(w->plot()->cycleCount() == 1);  // the rows of 0 s
        for (int step = 0; step < 100; ++step) {
            // Counted before the clock moves: a cycle may come between the
            // two, and later ones of the same moment share its row.
            const int before = w->plot()->cycleCount();
            rig.drive->advance(100);
            ms += 100;
            QTRY_VERIFY_WITH_TIMEOUT(w->plot()->cycleCount() > before, 5000);
        }
        w->stopMonitor();
        QVERIFY(idleControls(*w, true));
        QCOMPARE(trendFlags(), QList<int>{});
        const TrendRecording rec = w->plot()->recording();
        QCOMPARE(rec.size(), 101);  // cycles within one millisecond share a row
        double previous = -1;
        for (int k = 0; k < rec.size(); ++k) {
            const TrendCycle &c = rec.at(k);
            const double hz = c.values[0];
            QVERIFY2(hz >= previous, qPrintable(QString("%1 after %2").arg(hz).arg(previous)));
            QVERIFY2(std::fabs(hz - std::min(c.t * 10, 50.0)) <= 2.1,
                     qPrintable(QString("%1 Hz at %2 s").arg(hz).arg(c.t)));
            previous = hz;
            QVERIFY(!TrendRecording::hasValue(c.values[3]));  // unchecked
        }
        QCOMPARE(rec.last().values[0], 50.0);
        QVERIFY(rec.last().values[1] > 0 && rec.last().values[2] > 0);  // voltage, current
        w->plot()->updateCurve();
        QVERIFY(w->plot()->drawnPoints(0).size() > 100);

        // Saved as text and as a workbook: the same samples, row by row.
        for (const QString &name : {QString("ramp.txt"), QString("ramp.xls")}) {
            const QString file = m_files.filePath(name);
            w->setFileNameAsker([file](QWidget *, const QString &, const QString &,
                                       const QString &) { return file; });
            w->saveData();
            QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
        }
        QFile text(m_files.filePath("ramp.txt"));
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(text.readAll()).split('\n', Qt::SkipEmptyParts);
        Workbook book;
        QVERIFY(book.open(m_files.filePath("ramp.xls")));
        QCOMPARE(lines.size(), rec.size() + 2);
        QCOMPARE(book.usedRowCount(), rec.size() + 2);
        QCOMPARE(lines.at(1), QString("System Time\tOutput Frequency\tOutput Voltage\tOutput Current\t"));
        QCOMPARE(book.text(2, 3), QString("Output Voltage"));
        for (int k = 0; k < rec.size(); ++k) {
            const QStringList cells = lines.at(k + 2).split('\t');
            QCOMPARE(cells.value(0), TrendFiles::timestamp(rec.at(k).wallMs));
            QCOMPARE(book.text(k + 3, 1), cells.value(0));
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(cells.value(i + 1), QString::number(rec.at(k).values[i], 'g', 6));
                QCOMPARE(book.text(k + 3, i + 2).toDouble(), rec.at(k).values[i]);
            }
        }
        const QJsonObject peer = xlrdRead(m_files.filePath("ramp.xls"));
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QCOMPARE(peer.value("rows").toInt(), rec.size() + 2);
    }

    // Recording ends by itself at the record time set in Option: the window
    // goes idle and keeps every sample it drew; Option opens again on the
    // values last set.
    void endsAtTheRecordTime()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        std::atomic<qint64> ms{0};
        w->plot()->setClock([&ms] { return ms.load(); });
        int shownRecordTime = -1, shownOffset = -1;
        w->setDialogRunner([&](QDialog &d) {
            auto &dialog = static_cast<AdvOptionDialog &>(d);
            shownRecordTime = dialog.recordTime();
            shownOffset = dialog.offsetSpinBoxes().at(2)->value();
            dialog.recordTimeSpinBox()->setValue(2);
            dialog.offsetSpinBoxes().at(2)->setValue(4);
            dialog.setValue();
            return 1;
        });
        w->optionAdvancePlot();
        QCOMPARE(shownRecordTime, 1200);
        QCOMPARE(shownOffset, 0);
        QVERIFY(startRunning(*w));
        QTRY_VERIFY(w->plot()->cycleCount() == 1);
        for (int step = 0; step < 20; ++step) {
            const int before = w->plot()->cycleCount();
            ms += 100;
            QTRY_VERIFY_WITH_TIMEOUT(w->plot()->cycleCount() > before, 5000);
        }
        QCOMPARE(w->state(), MainAdvPlot::State::Running);
        ms += 100;
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), MainAdvPlot::State::Idle, 5000);
        QVERIFY(idleControls(*w, true));
        QCOMPARE(trendFlags(), QList<int>{});
        const TrendRecording rec = w->plot()->recording();
        QCOMPARE(rec.size(), 21);
        QCOMPARE(rec.last().t, 2.0);
        QVERIFY(w->hasUnsavedRecording());

        w->optionAdvancePlot();
        QCOMPARE(shownRecordTime, 2);
        QCOMPARE(shownOffset, 4);
    }

    // A range typed after Stop rescales that channel's recorded curve at
    // once; the other channels stay as drawn.
    void rangeRescalesTheRecording_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("typed");
        QTest::newRow("channel 1 to 50") << 0 << "50";
        QTest::newRow("channel 3 to 7") << 2 << "7";
    }
    void rangeRescalesTheRecording()
    {
        QFETCH(int, channel);
        QFETCH(QString, typed);
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        std::atomic<qint64> ms{0};
        w->plot()->setClock([&ms] { return ms.load(); });
        QVERIFY(currentDriver()->writeRegister(SimRegisters::FrequencyCommand, 5000));
        QCOMPARE(currentDriver()->runFunction("FWD"), 0);
        QVERIFY(startRunning(*w));
        for (int step = 0; step < 20; ++step) {
            const int before = w->plot()->cycleCount();
            rig.drive->advance(100);
            ms += 100;
            QTRY_VERIFY_WITH_TIMEOUT(w->plot()->cycleCount() > before, 5000);
        }
        w->stopMonitor();
        const TrendRecording rec = w->plot()->recording();
        const int other = channel == 0 ? 1 : 0;
        const QVector<QPointF> otherBefore = w->plot()->drawnPoints(other);

        QSpinBox *box = w->rangeBox(channel);
        QVERIFY(box->isEnabled());
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->value(), typed.toInt());
        QCOMPARE(w->plot()->range(channel), typed.toInt());

        const QVector<QPointF> points = w->plot()->drawnPoints(channel);
        QCOMPARE(points.size(), rec.size());
        const double scale = AdvancePlot::kValueAxisMax / typed.toInt();
        for (int k = 0; k < rec.size(); ++k) {
            QCOMPARE(points.at(k).x(), rec.at(k).t);
            QCOMPARE(points.at(k).y(), rec.at(k).values[channel] * scale);
        }
        QVERIFY(rec.last().values[channel] > 0);
        QCOMPARE(w->plot()->drawnPoints(other), otherBefore);
    }

    // Each channel's value field shows its newest sample while recording,
    // with no button held; the value axis is labelled for the channel chosen
    // in the selector.
    void liveValuesAndValueAxis()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        std::atomic<qint64> ms{0};
        w->plot()->setClock([&ms] { return ms.load(); });
        QVERIFY(currentDriver()->writeRegister(SimRegisters::FrequencyCommand, 5000));
        QCOMPARE(currentDriver()->runFunction("FWD"), 0);
        QVERIFY(startRunning(*w));
        for (int step = 0; step < 20; ++step) {
            const int before = w->plot()->cycleCount();
            rig.drive->advance(100);
            ms += 100;
            QTRY_VERIFY_WITH_TIMEOUT(w->plot()->cycleCount() > before, 5000);
        }
        // Every poll writes the same values into the newest row now.
        const auto newest = [&](int channel) {
            return QString::number(w->plot()->recording().last().values[channel], 'f', 2);
        };
        for (int i = 0; i < 3; ++i)
            QTRY_COMPARE_WITH_TIMEOUT(w->valueField(i)->text(), newest(i), 3000);
        QVERIFY(w->valueField(0)->text().toDouble() > 0);
        QCOMPARE(w->valueField(3)->text(), QString("0"));  // unchecked
        w->stopMonitor();

        QComboBox *axis = w->axisChannelBox();
        QCOMPARE(axis->currentIndex(), 0);
        QCOMPARE(axis->count(), int(MainAdvPlot::kChannels));
        QCOMPARE(w->plot()->valueAxisLabel(20), QString::number(w->rangeBox(0)->value()));
        w->rangeBox(2)->setValue(40);
        axis->setFocus();
        QTest::keyClick(axis, Qt::Key_Down);
        QTest::keyClick(axis, Qt::Key_Down);
        QCOMPARE(axis->currentIndex(), 2);
        QCOMPARE(w->plot()->axisChannel(), 2);
        QCOMPARE(w->plot()->valueAxisLabel(20), QString("40"));
        QCOMPARE(w->plot()->valueAxisLabel(10), QString("20"));
    }

    // A channel's check box switches that channel's curve, no other.
    void checkBoxSwitchesItsChannel_data()
    {
        QTest::addColumn<int>("channel");
        for (int i = 0; i < MainAdvPlot::kChannels; ++i)
            QTest::newRow(qPrintable(QString("channel %1").arg(i + 1))) << i;
    }
    void checkBoxSwitchesItsChannel()
    {
        QFETCH(int, channel);
        auto w = newWindow(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVector<bool> before;
        for (int i = 0; i < MainAdvPlot::kChannels; ++i)
            before.append(w->plot()->curve(i)->isVisible());
        QCheckBox *box = w->channelCheckBox(channel);
        QCOMPARE(before[channel], box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
        QCOMPARE(box->isChecked(), !before[channel]);
        for (int i = 0; i < MainAdvPlot::kChannels; ++i)
            QCOMPARE(w->plot()->curve(i)->isVisible(), i == channel ? !before[i] : before[i]);
    }

    // The line breaks: the window goes idle with every control offered again.
    void offLineWhenTheLineBreaks()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        QVERIFY(startRunning(*w));
        SimFaults dead;
        dead.noAnswer = true;
        rig.line->setFaults(1, dead);
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), MainAdvPlot::State::Idle, 20000);
        QVERIFY(idleControls(*w, true));
        QCOMPARE(trendFlags(), QList<int>{});
        QVERIFY(!m_monitor->trendActive());
        QVERIFY(!w->plot()->isRefreshing());
    }

    // Closed or deleted while the monitor thread samples for it: the thread
    // stops sampling for it and the request flags are given back.
    void closedOrDeletedWhileRecording_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("closed") << true;
        QTest::newRow("deleted") << false;
    }
    void closedOrDeletedWhileRecording()
    {
        QFETCH(bool, close);
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        QVERIFY(startRunning(*w));
        QTRY_VERIFY(w->plot()->cycleCount() > 3);
        if (close) {
            w->close();
            QCOMPARE(w->state(), MainAdvPlot::State::Idle);
            QVERIFY(!w->plot()->isRecording());
        }
        w.reset();
        QCOMPARE(trendFlags(), QList<int>{});
        QVERIFY(!m_monitor->trendActive());
        QVERIFY(m_monitor->wait(10000));
    }

    // Closing a window that holds a recording not yet saved asks first; "No"
    // keeps the window and its samples. A saved recording goes unasked.
    void closingAsksForAnUnsavedRecording_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("exitAction");
        QTest::addColumn<bool>("yes");
        QTest::newRow("unsaved, No") << false << false << false;
        QTest::newRow("unsaved, Exit, No") << false << true << false;
        QTest::newRow("unsaved, Yes") << false << false << true;
        QTest::newRow("saved") << true << true << false;
    }
    void closingAsksForAnUnsavedRecording()
    {
        QFETCH(bool, saved);
        QFETCH(bool, exitAction);
        QFETCH(bool, yes);
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        auto w = newWindow(m_monitor.get());
        QVERIFY(startRunning(*w));
        QTRY_VERIFY(w->plot()->cycleCount() > 3);
        w->stopMonitor();
        const int cycles = w->plot()->cycleCount();
        if (saved) {
            const QString file = m_files.filePath("closing.txt");
            w->setFileNameAsker([file](QWidget *, const QString &, const QString &,
                                       const QString &) { return file; });
            w->saveData();
        }
        m_ui.clear();
        m_ui.nextAnswer = yes ? UserInteraction::Answer::Yes : UserInteraction::Answer::No;
        if (exitAction)
            w->action("actExit")->trigger();
        else
            w->close();
        m_ui.nextAnswer = UserInteraction::Answer::Yes;
        QCOMPARE(m_ui.messages().size(), saved ? 0 : 1);
        if (!saved)
            QCOMPARE(m_ui.messages().at(0).kind, QString("question"));
        const bool kept = !saved && !yes;
        QCOMPARE(w->isVisible(), kept);
        QCOMPARE(w->plot()->cycleCount(), cycles);
        QCOMPARE(w->hasUnsavedRecording(), !saved);
    }

    // The identity cannot be read: the window stays idle (what the run
    // starts meanwhile: tst_monitorrun).
    void refusedStart()
    {
        DriveRig rig(QStringLiteral("ZM-043-7.5K"));
        SimFaults dead;
        dead.noAnswer = true;
        rig.line->setFaults(1, dead);
        auto w = newWindow(m_monitor.get());
        w->startMonitor();
        QCOMPARE(w->state(), MainAdvPlot::State::Starting);
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), MainAdvPlot::State::Idle, 20000);
        QVERIFY(idleControls(*w, true));
    }

    // Each colour button is drawn solid in its curve's colour, from the
    // start and after a colour is chosen with it.
    void colourButtonsShowTheCurveColours_data()
    {
        QTest::addColumn<int>("channel");
        for (int i = 0; i < MainAdvPlot::kChannels; ++i)
            QTest::newRow(qPrintable(QString("channel %1").arg(i + 1))) << i;
    }
    void colourButtonsShowTheCurveColours()
    {
        QFETCH(int, channel);
        auto w = newWindow(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QPushButton *button = w->colourButton(channel);
        const auto centre = [button] {
            return button->grab().toImage().pixelColor(button->width() / 2,
                                                       button->height() / 2);
        };
        QCOMPARE(centre(), w->plot()->curve(channel)->pen().color());
        const QColor chosen(17 + channel, 130, 250 - channel);
        w->setColourAsker([chosen](QWidget *, const QColor &) { return chosen; });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w->plot()->curve(channel)->pen().color(), chosen);
        QCOMPARE(centre(), chosen);
    }

    // Save Chart: a name without an ending takes the chosen filter's; any
    // other ending writes nothing and the warning names both endings.
    void chartEnding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");  // empty: nothing
        QTest::newRow("png") << "chart.png" << "chart.png";
        QTest::newRow("none") << "chart" << "chart.png";
        QTest::newRow("jpg") << "chart.jpg" << "";
        QTest::newRow("PNG") << "chart.PNG" << "";
    }
    void chartEnding()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        auto w = newWindow(nullptr);
        const QString file = m_files.filePath(name);
        QFile::remove(file);
        QFile::remove(m_files.filePath(written));
        w->setFilteredFileNameAsker([file](QWidget *, const QString &, const QString &,
                                           const QString &filter, QString *selected) {
            *selected = filter;
            return file;
        });
        w->action("actSaveChart")->trigger();
        QCOMPARE(m_ui.messages().size(), written.isEmpty() ? 1 : 0);
        if (written.isEmpty()) {
            QVERIFY(!QFile::exists(file));
            const QString text = m_ui.messages().at(0).text;
            QVERIFY2(text.contains("." + QFileInfo(name).suffix() + ";") && text.contains(".png"),
                     qPrintable(text));
            return;
        }
        QImage picture(m_files.filePath(written));
        QCOMPARE(picture.size(), w->size() * w->devicePixelRatioF());
    }

    // Option, colour, pen width, cursor mode and the chart picture.
    void settings()
    {
        auto w = newWindow(nullptr);
        w->setDialogRunner([](QDialog &d) {
            auto &dialog = static_cast<AdvOptionDialog &>(d);
            if (dialog.objectName() != "AdvancePlot" || dialog.secondsPerPage() != 30 ||
                dialog.recordTime() != 1200)
                return 0;
            dialog.pageSpinBox()->setValue(60);
            dialog.recordTimeSpinBox()->setValue(100);
            dialog.offsetSpinBoxes().at(3)->setValue(5);
            dialog.setValue();
            return 1;
        });
        w->optionAdvancePlot();
        QCOMPARE(w->plot()->xUpper(), 60.0);
        QCOMPARE(w->plot()->recordTime(), 100);
        QCOMPARE(w->plot()->offset(3), 5);
        int reopened = -1;
        w->setDialogRunner([&reopened](QDialog &d) {
            reopened = static_cast<AdvOptionDialog &>(d).recordTime();
            return 0;
        });
        w->optionAdvancePlot();
        QCOMPARE(reopened, 100);
        QCOMPARE(w->plot()->recordTime(), 100);

        w->setColourAsker([](QWidget *, const QColor &initial) {
            return initial == QColor(Qt::blue) ? QColor(1, 2, 3) : QColor();
        });
        w->colourButton(1)->click();
        QCOMPARE(w->colourButton(1)->grab().toImage().pixelColor(10, 10), QColor(1, 2, 3));
        QCOMPARE(w->plot()->curve(1)->pen().color(), QColor(1, 2, 3));
        w->penWidthBox(4)->setCurrentIndex(6);
        QCOMPARE(w->plot()->curve(4)->pen().width(), 7);
        QCOMPARE(w->plot()->curve(1)->pen().width(), 2);

        QVERIFY(!w->moveMode() && !w->plot()->moveMode());
        w->action("actMove")->trigger();
        QVERIFY(w->moveMode() && w->plot()->moveMode());

        const QString file = m_files.filePath("chart.png");
        w->setFileNameAsker([file](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        });
        w->saveChart();
        QImage picture(file);
        QCOMPARE(picture.size(), w->size() * w->devicePixelRatioF());
    }
};

QTEST_MAIN(TestMainAdvPlot)
#include "tst_mainadvplot.moc"
