#include "common/peerrequired.h"
#include "common/testsupport.h"
#include "common/xlrdpeer.h"
#include "monitor/monitordata.h"
#include "parameters/workbook.h"
#include "gui/trend/advanceplot.h"
#include "monitor/trendfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QDialog>
#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>
#include <qwt_plot_marker.h>

#include <cmath>
#include <memory>

namespace {
// Channels 0..7 as check boxes and captions, as the window hands them over.
struct Channels {
    std::vector<std::unique_ptr<QCheckBox>> checks;
    std::vector<std::unique_ptr<QComboBox>> boxes;
    QVector<QCheckBox *> checkList;
    QVector<QComboBox *> boxList;
    explicit Channels(QList<int> checked)
    {
        for (int i = 0; i < AdvancePlot::kChannels; ++i) {
            checks.emplace_back(new QCheckBox);
            checks.back()->setChecked(checked.contains(i));
            boxes.emplace_back(new QComboBox);
            boxes.back()->addItem(QStringLiteral("Q%1").arg(i));
            checkList.append(checks.back().get());
            boxList.append(boxes.back().get());
        }
    }
};

QVector<bool> requestAll() { return QVector<bool>(AdvancePlot::kChannels, true); }
QVector<int> quantities(int q = -100)
{
    QVector<int> v;
    for (int i = 0; i < AdvancePlot::kChannels; ++i)
        v.append(q == -100 ? i : q);
    return v;
}
}  // namespace

// The trend chart on a clock the test moves: what it keeps, cuts, draws,
// reads out under the pointer and saves.
class TestAdvancePlot : public QObject
{
    Q_OBJECT

    RecordingInteraction m_ui;
    QTemporaryDir m_dir;
    qint64 m_ms = 0;
    std::unique_ptr<AdvancePlot> m_plot;

    // Records `seconds` of cycles every `stepMs`; quantity k has the value
    // `value(t)` + k, so each channel can be told apart.
    void record(double seconds, int stepMs, const QVector<int> &q = quantities(),
                std::function<double(double)> value = [](double t) { return t; })
    {
        const qint64 end = m_ms + qint64(seconds * 1000);
        while (m_ms + stepMs <= end) {
            m_ms += stepMs;
            for (int k = 0; k < MonitorData::kSize; ++k)
                monitorData().setValue(k, value(m_ms / 1000.0) + k);
            m_plot->addSample(requestAll(), q);
        }
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void askFor(const QString &name)
    {
        m_plot->setFileNameAsker([name](QWidget *, const QString &, const QString &,
                                        const QString &) { return name; });
    }
    QStringList textLines(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase() { setUserInteraction(&m_ui); }
    void cleanupTestCase() { setUserInteraction(nullptr); }
    void init()
    {
        m_ui.clear();
        monitorData().reset();
        m_ms = 0;
        m_plot = std::make_unique<AdvancePlot>();
        m_plot->resize(900, 400);
        m_plot->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_plot.get()));
        m_plot->setClock([this] { return m_ms; });
        m_plot->setWallClock([this] { return m_ms; });
        m_plot->GetStepLength({20, 20, 20, 20, 20, 20, 20, 20});
        for (int i = 0; i < AdvancePlot::kChannels; ++i)
            m_plot->setChannelOn(i, true);
        m_plot->start();
    }
    void cleanup() { m_plot.reset(); }

    void zoom_data()
    {
        QTest::addColumn<double>("page");
        QTest::addColumn<bool>("in");
        QTest::addColumn<double>("upper");
        QTest::newRow("in at 4.9 s: nothing") << 4.9 << true << 4.9;
        QTest::newRow("in at 5 s") << 5.0 << true << 3.75;
        QTest::newRow("in at 8 s") << 8.0 << true << 6.0;
        QTest::newRow("out at 65536 s: nothing") << 65536.0 << false << 65536.0;
        QTest::newRow("out at 65535 s") << 65535.0 << false << 81918.75;
        QTest::newRow("out at 30 s") << 30.0 << false << 37.5;
    }
    void zoom()
    {
        QFETCH(double, page);
        QFETCH(bool, in);
        QFETCH(double, upper);
        m_plot->setPageAndRecordTime(page, 1200);
        in ? m_plot->zoomIn() : m_plot->zoomOut();
        QCOMPARE(m_plot->xLower(), 0.0);
        QCOMPARE(m_plot->xUpper(), upper);
        QCOMPARE(m_plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), upper);
        QCOMPARE(m_plot->pageLength(), page);  // zoom leaves the page length
    }

    // Quantities outside the monitor data give no points and no curve.
    void quantityOutsideTheList_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("24") << 24 << false;
        QTest::newRow("30") << 30 << false;
        QTest::newRow("no choice (-1)") << -1 << false;
        QTest::newRow("23, the last") << 23 << true;
        QTest::newRow("0") << 0 << true;
    }
    void quantityOutsideTheList()
    {
        QFETCH(int, quantity);
        QFETCH(bool, drawn);
        record(2, 100, quantities(quantity));
        m_plot->updateCurve();
        QCOMPARE(m_plot->cycleCount(), 20);
        const TrendRecording rec = m_plot->recording();
        for (int i = 0; i < AdvancePlot::kChannels; ++i) {
            QCOMPARE(m_plot->drawnPoints(i).isEmpty(), !drawn);
            QCOMPARE(TrendRecording::hasValue(rec.last().values[i]), drawn);
        }
    }

    // The recording ends by itself at the record time: what was drawn stays
    // drawn through the stop, and the saved file holds it all.
    void recordTimeEndsTheRecording_data()
    {
        QTest::addColumn<int>("recordTime");
        QTest::addColumn<double>("recorded");
        QTest::addColumn<double>("page");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("10 of 30 on 30 s") << 10 << 30.0 << 30.0 << 0.0 << 30.0;
        QTest::newRow("20 of 60 on 10 s") << 20 << 60.0 << 10.0 << 10.0 << 20.0;
        QTest::newRow("100 of 30") << 100 << 30.0 << 30.0 << 0.0 << 30.0;
        QTest::newRow("10 of 8 on 30 s") << 10 << 8.0 << 30.0 << 0.0 << 30.0;
    }
    void recordTimeEndsTheRecording()
    {
        QFETCH(int, recordTime);
        QFETCH(double, recorded);
        QFETCH(double, page);
        QFETCH(double, lower);
        QFETCH(double, upper);
        m_plot->setPageAndRecordTime(page, recordTime);
        m_plot->start();
        record(recorded, 50);
        QCOMPARE(m_plot->recordTimeReached(), recorded > recordTime);
        m_plot->updateCurve();
        const QVector<QPointF> drawn = m_plot->drawnPoints(0);
        m_plot->stop();
        QCOMPARE(m_plot->xLower(), lower);
        QCOMPARE(m_plot->xUpper(), upper);
        QCOMPARE(m_plot->dataEnd(), upper);
        QCOMPARE(m_plot->drawnPoints(0), drawn);
        const double kept = std::min(double(recordTime), recorded);
        const TrendRecording rec = m_plot->recording();
        QCOMPARE(rec.size(), int(std::lround(kept * 20)));
        QVERIFY(rec.last().t <= recordTime);
        // The saved file holds the same cycles, and samples stop coming.
        record(1, 50);
        QCOMPARE(m_plot->cycleCount(), rec.size());
        Channels channels({0});
        askFor(path("cut.txt"));
        m_plot->saveData(channels.checkList, channels.boxList);
        const QStringList lines = textLines(path("cut.txt"));
        QCOMPARE(lines.size(), 2 + rec.size());
        QCOMPARE(lines.last().split('\t').value(1).toDouble(), kept);
    }

    // A channel switched off loses its points; switched on again it samples
    // from the next cycle, in the rows of those cycles.
    void channelRowsStayAligned_data()
    {
        QTest::addColumn<int>("offAt");
        QTest::addColumn<int>("onAt");
        QTest::newRow("off 5, on 10") << 5 << 10;
        QTest::newRow("off 1, on 2") << 1 << 2;
        QTest::newRow("off 0, on 19") << 0 << 19;
    }
    void channelRowsStayAligned()
    {
        QFETCH(int, offAt);
        QFETCH(int, onAt);
        const QVector<int> q = quantities(0);
        for (int k = 0; k < 20; ++k) {
            if (k == offAt)
                m_plot->setChannelOn(1, false);
            if (k == onAt)
                m_plot->setChannelOn(1, true);
            monitorData().setValue(0, k);
            m_ms += 100;
            m_plot->addSample(requestAll(), q);
        }
        m_plot->stop();
        Channels channels({0, 1});
        askFor(path("aligned.txt"));
        m_plot->saveData(channels.checkList, channels.boxList);
        const QStringList lines = textLines(path("aligned.txt"));
        QCOMPARE(lines.size(), 22);
        for (int k = 0; k < 20; ++k) {
            const QStringList cells = lines.at(k + 2).split('\t');
            QCOMPARE(cells.size(), 4);  // time, two channels, the last tab
            QCOMPARE(cells.at(1), QString::number(k));
            QCOMPARE(cells.at(2), k >= onAt ? QString::number(k) : QString());
        }
    }

    // A range below 1 draws as 1: no division by zero, no upturned curve.
    void rangeBelowOne_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("scale");
        QTest::newRow("0") << 0 << 0 << 20.0;
        QTest::newRow("-5") << -5 << 0 << 20.0;
        QTest::newRow("1, offset 3") << 1 << 3 << 20.0;
        QTest::newRow("80") << 80 << 0 << 0.25;
        QTest::newRow("80, offset 20") << 80 << 20 << 0.25;
    }
    void rangeBelowOne()
    {
        QFETCH(int, range);
        QFETCH(int, offset);
        QFETCH(double, scale);
        m_plot->GetStepLength(QVector<int>(AdvancePlot::kChannels, range));
        QSpinBox offsets[AdvancePlot::kChannels];
        QVector<QSpinBox *> list;
        for (QSpinBox &s : offsets) {
            s.setValue(offset);
            list.append(&s);
        }
        m_plot->setYOffsets(list);
        m_plot->start();
        record(1, 100, quantities(0));
        m_plot->updateCurve();
        const QVector<QPointF> drawn = m_plot->drawnPoints(0);
        QCOMPARE(drawn.size(), 10);
        for (const QPointF &p : drawn) {
            QVERIFY(std::isfinite(p.y()));
            QCOMPARE(p.y(), p.x() * scale + offset);
        }
    }

    // The read-out shows the samples at the time under the pointer, taken
    // from the canvas's own coordinate map.
    void readOutUnderThePointer_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("stepMs");
        QTest::newRow("3 s") << 3.0 << 20;
        QTest::newRow("12.3 s") << 12.3 << 20;
        QTest::newRow("27.5 s") << 27.5 << 20;
        // Cycles slower than the 0.1 s reach: the cycle in effect is shown.
        QTest::newRow("12.4 s, 250 ms cycles") << 12.4 << 250;
        QTest::newRow("20.9 s, 1 s cycles") << 20.9 << 1000;
    }
    void readOutUnderThePointer()
    {
        QFETCH(double, seconds);
        QFETCH(int, stepMs);
        std::vector<QString> shown(AdvancePlot::kChannels);
        std::array<std::function<void(const QString &)>, AdvancePlot::kChannels> fields;
        for (int i = 0; i < AdvancePlot::kChannels; ++i)
            fields[i] = [&shown, i](const QString &t) { shown[i] = t; };
        m_plot->setValueFields(fields);
        record(29, stepMs);
        m_plot->updateCurve();
        QWidget *canvas = m_plot->canvas();
        const int x = m_plot->canvasXOf(seconds);
        const double under = m_plot->timeAt(x);
        QVERIFY(std::fabs(under - seconds) < 0.05);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 50), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 60), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        // The newest sample not after the pointer's time.
        const double perSecond = 1000.0 / stepMs;
        const double sample = std::floor(under * perSecond + 1e-9) / perSecond;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(shown[i], QString::number(sample + i, 'f', 2));
        QVERIFY(m_plot->cursorMarker()->isVisible());
        QCOMPARE(m_plot->cursorMarker()->xValue(), under);
        // Beyond the last sample every field reads 0.
        m_plot->readOut(29.5);
        QCOMPARE(shown[0], QString("0"));
    }

    // Values below zero read out as they are, not as 0.
    void negativeReadOut()
    {
        std::vector<QString> shown(AdvancePlot::kChannels);
        std::array<std::function<void(const QString &)>, AdvancePlot::kChannels> fields;
        for (int i = 0; i < AdvancePlot::kChannels; ++i)
            fields[i] = [&shown, i](const QString &t) { shown[i] = t; };
        m_plot->setValueFields(fields);
        record(10, 100, quantities(), [](double t) { return -20 - t; });
        m_plot->updateCurve();
        m_plot->readOut(5.0);
        QCOMPARE(shown[0], QString("-25.00"));
        QCOMPARE(shown[2], QString("-23.00"));
        m_plot->showLatestValues();
        QCOMPARE(shown[0], QString("-30.00"));
        QCOMPARE(shown[1], QString("-29.00"));
    }

    // The value axis is labelled in the values of the chosen channel: its
    // range and offset turn each height back into that channel's value.
    void valueAxisLabels_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("label");
        QTest::newRow("channel 1, 80, top") << 0 << 80 << 0 << 20.0 << "80";
        QTest::newRow("channel 1, 80, half") << 0 << 80 << 0 << 10.0 << "40";
        QTest::newRow("channel 4, 400, offset 5") << 3 << 400 << 5 << 15.0 << "200";
        QTest::newRow("channel 8, 50, below offset") << 7 << 50 << 4 << 0.0 << "-10";
        QTest::newRow("channel 3, 3, fraction") << 2 << 3 << 0 << 5.0 << "0.75";
    }
    void valueAxisLabels()
    {
        QFETCH(int, channel);
        QFETCH(int, range);
        QFETCH(int, offset);
        QFETCH(double, height);
        QFETCH(QString, label);
        QVector<int> ranges(AdvancePlot::kChannels, 20);
        ranges[channel] = range;
        m_plot->GetStepLength(ranges);
        QDialog holder;
        QVector<QSpinBox *> offsets;
        for (int i = 0; i < AdvancePlot::kChannels; ++i) {
            offsets.append(new QSpinBox(&holder));
            offsets.last()->setRange(-100, 100);
            offsets.last()->setValue(i == channel ? offset : 0);
        }
        m_plot->setYOffsets(offsets);
        QCOMPARE(m_plot->axisChannel(), 0);  // channel 1 unless chosen
        m_plot->setAxisChannel(channel);
        QCOMPARE(m_plot->valueAxisLabel(height), label);
        // Another channel's labels follow its own range.
        m_plot->setAxisChannel((channel + 1) % AdvancePlot::kChannels);
        QCOMPARE(m_plot->valueAxisLabel(20), QString("20"));
    }

    // Dragged towards the start, the window stops at 0 s: no time before
    // the recording began is shown.
    void dragStopsAtTheStart_data()
    {
        QTest::addColumn<double>("by");
        QTest::newRow("to the start") << 30.0;
        QTest::newRow("past the start") << 45.0;
        QTest::newRow("far past the start") << 200.0;
    }
    void dragStopsAtTheStart()
    {
        QFETCH(double, by);
        record(60, 100);
        m_plot->stop();
        m_plot->setMoveMode(true);
        m_plot->updateCurve();
        QCOMPARE(m_plot->xLower(), 30.0);
        QWidget *canvas = m_plot->canvas();
        const int from = m_plot->canvasXOf(31);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(from, 50), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
        const int to = from + int(std::lround(by * canvas->width() / 30.0));
        QMouseEvent move(QEvent::MouseMove, QPointF(to, 50), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        if (by >= 30) {
            QCOMPARE(m_plot->xLower(), 0.0);
            QCOMPARE(m_plot->xUpper(), 30.0);
        }
        QVERIFY(m_plot->xLower() >= 0);
    }

    // Move mode: the time under the pointer stays under the pointer.
    void dragKeepsTheTimeUnderThePointer()
    {
        record(60, 100);
        m_plot->stop();
        m_plot->setMoveMode(true);
        m_plot->updateCurve();
        QCOMPARE(m_plot->xLower(), 30.0);
        QWidget *canvas = m_plot->canvas();
        const int from = m_plot->canvasXOf(45);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(from, 50), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
        const int to = m_plot->canvasXOf(50);
        QMouseEvent move(QEvent::MouseMove, QPointF(to, 50), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        QVERIFY(std::fabs(m_plot->xLower() - 25) < 0.1);
        // Within a few pixels: the canvas itself shifts a little as the tick
        // labels at its edges change.
        QVERIFY2(std::fabs(m_plot->timeAt(to) - 45) < 0.4, qPrintable(QString::number(m_plot->timeAt(to))));
        // Dragging the other way stops at the data's end.
        QMouseEvent back(QEvent::MouseMove, QPointF(m_plot->canvasXOf(0), 50), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &back);
        QCOMPARE(m_plot->xUpper(), m_plot->dataEnd());
    }

    // Only .xls and .txt are written, compared exactly; a name without an
    // ending takes the chosen filter's. Any other ending writes nothing,
    // leaves a file of that name as it was and is named in the warning.
    void fileEnding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");  // empty: the first, as a plain asker
        QTest::addColumn<QString>("written");  // empty: nothing
        QTest::newRow("xls") << "data.xls" << "" << "data.xls";
        QTest::newRow("txt") << "data.txt" << "" << "data.txt";
        QTest::newRow("txt, XLS chosen") << "data.txt" << "XLS Files(*.xls)" << "data.txt";
        QTest::newRow("XLS") << "data.XLS" << "" << "";
        QTest::newRow("Txt") << "data.Txt" << "" << "";
        QTest::newRow("csv") << "data.csv" << "TXT Files(*.txt)" << "";
        QTest::newRow("none, first filter") << "xls" << "" << "xls.xls";
        QTest::newRow("none, XLS chosen") << "data" << "XLS Files(*.xls)" << "data.xls";
        QTest::newRow("none, TXT chosen") << "data" << "TXT Files(*.txt)" << "data.txt";
        QTest::newRow("dot, TXT chosen") << "data." << "TXT Files(*.txt)" << "data.txt";
    }
    void fileEnding()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        const QString file = path(name);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("earlier");
        old.close();
        record(1, 100);
        m_plot->stop();
        Channels channels({0});
        QString offered;
        m_plot->setFilteredFileNameAsker([&](QWidget *, const QString &, const QString &,
                                             const QString &filters, QString *selected) {
            offered = filters;
            *selected = filter.isEmpty() ? filters.section(";;", 0, 0) : filter;
            return file;
        });
        m_plot->saveData(channels.checkList, channels.boxList);
        QCOMPARE(offered, QString("XLS Files(*.xls);;TXT Files(*.txt)"));
        if (written != name) {
            QFile same(file);
            QVERIFY(same.open(QIODevice::ReadOnly));
            QCOMPARE(same.readAll(), QByteArray("earlier"));
        }
        QCOMPARE(m_ui.messages().size(), written.isEmpty() ? 1 : 0);
        if (written.isEmpty()) {
            const QString text = m_ui.messages().at(0).text;
            QVERIFY2(text.contains("." + QFileInfo(name).suffix() + ";") &&
                         text.contains(".xls") && text.contains(".txt"),
                     qPrintable(text));
            return;
        }
        QFile now(path(written));
        QVERIFY(now.open(QIODevice::ReadOnly));
        const QByteArray bytes = now.readAll();
        if (written.endsWith(".xls"))
            QVERIFY(bytes.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));  // a workbook
        else
            QCOMPARE(QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts).size(),
                     2 + m_plot->cycleCount());
    }

    // A recording longer than a sheet goes on over further sheets, each with
    // the date and the headings.
    void workbookOverSheets_data()
    {
        QTest::addColumn<int>("cycles");
        QTest::addColumn<int>("sheets");
        QTest::newRow("a full sheet") << 65534 << 1;
        QTest::newRow("one cycle more") << 65535 << 2;
    }
    void workbookOverSheets()
    {
        QFETCH(int, cycles);
        QFETCH(int, sheets);
        const QVector<int> q = quantities(0);
        for (int k = 0; k < cycles; ++k) {
            ++m_ms;
            monitorData().setValue(0, k);
            m_plot->addSample(requestAll(), q);
        }
        m_plot->stop();
        Channels channels({0});
        askFor(path("long.xls"));
        m_plot->saveData(channels.checkList, channels.boxList);
        QVERIFY(m_ui.messages().isEmpty());
        Workbook first;
        QVERIFY(first.open(path("long.xls")));
        QCOMPARE(first.usedRowCount(), 65536);
        QCOMPARE(first.text(65536, 2), QString("65533"));
        const QJsonObject last = xlrdRead(path("long.xls"), sheets);
        if (last.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(last.contains("cells"), qPrintable(last.value("error").toString()));
        QCOMPARE(last.value("sheets").toInt(), sheets);
        const QJsonArray cells = last.value("cells").toArray();
        QHash<QPair<int, int>, QJsonValue> at;
        for (const QJsonValue &c : cells)
            at.insert({c[0].toInt(), c[1].toInt()}, c[3]);
        QCOMPARE(at.value({2, 1}).toString(), QString("System Time"));
        QCOMPARE(at.value({2, 2}).toString(), QString("Q0"));
        const int lastRow = (cycles - 1) % 65534 + 3;
        QCOMPARE(last.value("rows").toInt(), lastRow);
        QCOMPARE(at.value({lastRow, 2}).toDouble(), double(cycles - 1));
    }

    // The workbook as an independent reader sees it.
    void workbookReadByXlrd()
    {
        record(1, 250, quantities(0), [](double t) { return t * 2; });
        m_plot->setChannelOn(2, false);
        record(0.5, 250, quantities(0), [](double t) { return t * 2; });
        m_plot->stop();
        Channels channels({0, 2, 5});
        channels.boxes[2]->setItemText(0, QStringLiteral("Output Current"));
        askFor(path("trend.xls"));
        m_plot->saveData(channels.checkList, channels.boxList);
        const QJsonObject peer = xlrdRead(path("trend.xls"));
        if (peer.contains("skip"))
            PEER_MISSING("python3-xlrd is not installed");
        QVERIFY2(peer.contains("cells"), qPrintable(peer.value("error").toString()));
        QHash<QPair<int, int>, QJsonValue> cells;
        for (const QJsonValue &c : peer.value("cells").toArray())
            cells.insert({c[0].toInt(), c[1].toInt()}, c[3]);
        QCOMPARE(peer.value("rows").toInt(), 2 + 6);
        QCOMPARE(cells.value({1, 1}).toString(), QDate::currentDate().toString("yyyy-MM-dd"));
        QCOMPARE(cells.value({2, 1}).toString(), QString("System Time"));
        QCOMPARE(cells.value({2, 2}).toString(), QString("Q0"));
        QCOMPARE(cells.value({2, 3}).toString(), QString("Output Current"));
        QCOMPARE(cells.value({2, 4}).toString(), QString("Q5"));
        const TrendRecording rec = m_plot->recording();
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(cells.value({k + 3, 1}).toString(), TrendFiles::timestamp(rec.at(k).wallMs));
            QCOMPARE(cells.value({k + 3, 2}).toDouble(), rec.at(k).values[0]);
            QVERIFY(!cells.contains({k + 3, 3}));  // channel 2 was switched off
            QCOMPARE(cells.value({k + 3, 4}).toDouble(), rec.at(k).values[5]);
        }
        QCOMPARE(cells.value({8, 2}).toDouble(), 3.0);  // 1.5 s * 2
    }
};

QTEST_MAIN(TestAdvancePlot)
#include "tst_advanceplot.moc"
