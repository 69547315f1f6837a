#include "monitor/monitordata.h"
#include "monitor/trendfiles.h"
#include "monitor/trendrecording.h"
#include "parameters/biffwriter.h"
#include "parameters/workbook.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace {
constexpr int kChannels = TrendRecorder::kChannels;

QVector<bool> requestAll() { return QVector<bool>(kChannels, true); }
QVector<int> quantities(int q) { return QVector<int>(kChannels, q); }
QVector<int> ownQuantities()
{
    QVector<int> v;
    for (int i = 0; i < kChannels; ++i)
        v.append(i);
    return v;
}

// A recorder on a clock the test moves, every channel on.
struct Rig {
    qint64 ms = 0;
    TrendRecorder rec;

    Rig()
    {
        rec.setClock([this] { return ms; });
        rec.setWallClock([this] { return 1700000000000 + ms; });
        for (int i = 0; i < kChannels; ++i)
            rec.setChannelOn(i, true);
        rec.start();
    }
    // `seconds` of cycles every `stepMs`; quantity k reads t + k.
    void record(double seconds, int stepMs, const QVector<int> &q = ownQuantities())
    {
        const qint64 end = ms + qint64(seconds * 1000);
        while (ms + stepMs <= end) {
            ms += stepMs;
            for (int k = 0; k < MonitorData::kSize; ++k)
                monitorData().setValue(k, ms / 1000.0 + k);
            rec.addSample(requestAll(), q);
        }
    }
};

std::array<bool, kChannels> all()
{
    std::array<bool, kChannels> a;
    a.fill(true);
    return a;
}
}  // namespace

// The trend recording as it is made, without a chart: what it takes, keeps,
// cuts, hands the chart to draw, reads out and marks as saved.
class TestTrendRecording : public QObject
{
    Q_OBJECT

private slots:
    void init() { monitorData().reset(); }

    void startsIdle()
    {
        TrendRecorder rec;
        const TrendRecorder::View v = rec.view();
        QVERIFY(!v.recording);
        QCOMPARE(v.window.lower, 0.0);
        QCOMPARE(v.window.upper, 30.0);
        QCOMPARE(v.pageLength, 30.0);
        QCOMPARE(v.recordTime, 1200);
        for (int i = 0; i < kChannels; ++i) {
            QCOMPARE(v.ranges[i], 1);
            QCOMPARE(v.offsets[i], 0);
        }
        rec.setChannelOn(0, true);
        rec.addSample(requestAll(), quantities(0));
        QCOMPARE(rec.cycleCount(), 0);  // not recording
        QVERIFY(!rec.hasUnsavedSamples());
    }

    // A cycle takes the monitor value of each channel's quantity where it
    // is requested, switched on and inside the monitor data.
    void whatACycleTakes_data()
    {
        QTest::addColumn<bool>("requested");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<bool>("sampled");
        QTest::newRow("all given") << true << true << 5 << true;
        QTest::newRow("the last quantity") << true << true << 23 << true;
        QTest::newRow("not requested") << false << true << 5 << false;
        QTest::newRow("switched off") << true << false << 5 << false;
        QTest::newRow("quantity 24") << true << true << 24 << false;
        QTest::newRow("no quantity (-1)") << true << true << -1 << false;
    }
    void whatACycleTakes()
    {
        QFETCH(bool, requested);
        QFETCH(bool, on);
        QFETCH(int, quantity);
        QFETCH(bool, sampled);
        Rig rig;
        rig.rec.setChannelOn(3, on);
        monitorData().setValue(std::clamp(quantity, 0, MonitorData::kSize - 1), 42.5);
        QVector<bool> asked = requestAll();
        asked[3] = requested;
        QVector<int> q = quantities(0);
        q[3] = quantity;
        rig.ms = 250;
        rig.rec.addSample(asked, q);
        const TrendRecording r = rig.rec.recording();
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.at(0).t, 0.25);
        QCOMPARE(r.at(0).wallMs, qint64(1700000000250));
        QCOMPARE(TrendRecording::hasValue(r.at(0).values[3]), sampled);
        if (sampled)
            QCOMPARE(r.at(0).values[3], 42.5);
        QVERIFY(TrendRecording::hasValue(r.at(0).values[0]));
    }

    // Cycles within one millisecond share a row: the newest reading wins,
    // and a channel without a sample in the newer cycle keeps its value.
    void cyclesOfOneMillisecondShareARow_data()
    {
        QTest::addColumn<QList<int>>("stepsMs");
        QTest::addColumn<int>("rows");
        QTest::newRow("three in one ms") << QList<int>{0, 0, 0} << 1;
        QTest::newRow("one ms apart") << QList<int>{0, 1, 1} << 3;
        QTest::newRow("mixed") << QList<int>{0, 0, 1, 0, 5} << 3;
    }
    void cyclesOfOneMillisecondShareARow()
    {
        QFETCH(QList<int>, stepsMs);
        QFETCH(int, rows);
        Rig rig;
        rig.ms = 7;
        for (int k = 0; k < stepsMs.size(); ++k) {
            rig.ms += stepsMs.at(k);
            monitorData().setValue(0, k);
            QVector<bool> requested = requestAll();
            requested[1] = k == 0;  // channel 1 has a sample in the first cycle only
            rig.rec.addSample(requested, quantities(0));
        }
        const TrendRecording rec = rig.rec.recording();
        QCOMPARE(rec.size(), rows);
        QCOMPARE(rec.last().values[0], double(stepsMs.size() - 1));
        QCOMPARE(TrendRecording::hasValue(rec.at(0).values[1]), true);
        QCOMPARE(rec.at(0).values[1], 0.0);
    }

    // Past the page the window scrolls with the newest cycle, and a drag
    // may take it as far as that cycle.
    void windowFollowsTheNewestCycle()
    {
        Rig rig;
        rig.rec.setPageAndRecordTime(10, 1200);
        QCOMPARE(rig.rec.view().window.upper, 10.0);
        rig.rec.start();
        QCOMPARE(rig.rec.view().dataEnd, 10.0);
        rig.record(25, 500);
        const TrendRecorder::View v = rig.rec.view();
        QCOMPARE(v.window.lower, 15.0);
        QCOMPARE(v.window.upper, 25.0);
        QCOMPARE(v.dataEnd, 25.0);
        QVERIFY(v.recording);
        QCOMPARE(rig.rec.cycleCount(), 50);  // every cycle is kept
        rig.rec.setWindow(2, 12);
        QCOMPARE(rig.rec.view().window.lower, 2.0);
        QCOMPARE(rig.rec.view().dataEnd, 25.0);
    }

    // The recording ends by itself at the record time; a stop afterwards
    // takes nothing back and leaves the window where it was.
    void endsAtTheRecordTime_data()
    {
        QTest::addColumn<int>("recordTime");
        QTest::addColumn<double>("recorded");
        QTest::addColumn<double>("page");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<bool>("reached");
        QTest::newRow("10 of 30 on 30 s") << 10 << 30.0 << 30.0 << 0.0 << 30.0 << true;
        QTest::newRow("20 of 60 on 10 s") << 20 << 60.0 << 10.0 << 10.0 << 20.0 << true;
        QTest::newRow("100 of 30") << 100 << 30.0 << 30.0 << 0.0 << 30.0 << false;
        QTest::newRow("10 of 8 on 30 s") << 10 << 8.0 << 30.0 << 0.0 << 30.0 << false;
        QTest::newRow("2000 of 2100 on 30 s") << 2000 << 2100.0 << 30.0 << 1970.0 << 2000.0 << true;
    }
    void endsAtTheRecordTime()
    {
        QFETCH(int, recordTime);
        QFETCH(double, recorded);
        QFETCH(double, page);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(bool, reached);
        Rig rig;
        rig.rec.setPageAndRecordTime(page, recordTime);
        rig.rec.start();
        rig.record(recorded, 50);
        const int kept = int(std::lround(std::min(double(recordTime), recorded) * 20));
        QCOMPARE(rig.rec.view().recording, !reached);
        QCOMPARE(rig.rec.view().recordTimeReached, reached);
        QCOMPARE(rig.rec.cycleCount(), kept);
        const TimeWindow before = rig.rec.view().window;
        rig.rec.stop();
        const TrendRecorder::View v = rig.rec.view();
        QVERIFY(!v.recording);
        QCOMPARE(v.window.lower, before.lower);
        QCOMPARE(v.window.upper, before.upper);
        QCOMPARE(v.window.lower, lower);
        QCOMPARE(v.window.upper, upper);
        QCOMPARE(v.dataEnd, upper);
        const TrendRecording rec = rig.rec.recording();
        QCOMPARE(rec.size(), kept);
        QVERIFY(rec.last().t <= recordTime);
        rig.record(1, 50);
        QCOMPARE(rig.rec.cycleCount(), rec.size());  // nothing after the stop
        rig.rec.start();
        QVERIFY(rig.rec.view().recording && !rig.rec.view().recordTimeReached);
    }

    // Switched off, a channel forgets its values; the cycles stay.
    void channelSwitchedOff()
    {
        Rig rig;
        rig.record(1, 100);
        QVERIFY(!rig.rec.setChannelOn(kChannels, false));
        QVERIFY(!rig.rec.setChannelOn(-1, true));
        QVERIFY(rig.rec.setChannelOn(2, false));
        rig.record(1, 100);
        TrendRecording rec = rig.rec.recording();
        QCOMPARE(rec.size(), 20);
        for (int k = 0; k < rec.size(); ++k) {
            QVERIFY(!TrendRecording::hasValue(rec.at(k).values[2]));
            QVERIFY(TrendRecording::hasValue(rec.at(k).values[3]));
        }
        rig.rec.clearChannel(3);
        rec = rig.rec.recording();
        QVERIFY(!TrendRecording::hasValue(rec.last().values[3]));
        QVERIFY(TrendRecording::hasValue(rec.last().values[4]));
    }

    // Unsaved: cycles taken since the copy that was saved, or since a clear
    // or a start; a cycle that comes while a copy is written stays unsaved.
    void unsavedSamples()
    {
        Rig rig;
        QVERIFY(!rig.rec.hasUnsavedSamples());
        rig.record(1, 100);
        QVERIFY(rig.rec.hasUnsavedSamples());
        quint64 mark = 0;
        const TrendRecording copy = rig.rec.recordingToSave(&mark);
        QCOMPARE(copy.size(), 10);
        rig.rec.markSaved(mark);
        QVERIFY(!rig.rec.hasUnsavedSamples());
        rig.record(0.1, 100);
        QVERIFY(rig.rec.hasUnsavedSamples());
        rig.rec.recordingToSave(&mark);
        rig.record(0.1, 100);  // meanwhile
        rig.rec.markSaved(mark);
        QVERIFY(rig.rec.hasUnsavedSamples());
        rig.rec.clear();
        QVERIFY(!rig.rec.hasUnsavedSamples());
        rig.record(0.1, 100);
        QVERIFY(rig.rec.hasUnsavedSamples());
        rig.rec.start();
        QVERIFY(!rig.rec.hasUnsavedSamples());
        QCOMPARE(rig.rec.cycleCount(), 0);
    }

    // The window's points and one beyond each edge, scaled by range and
    // offset; a range below 1 scales as 1.
    void drawingScalesTheWindow_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("scale");
        QTest::newRow("0") << 0 << 0 << 20.0;
        QTest::newRow("-5") << -5 << 0 << 20.0;
        QTest::newRow("1, offset 3") << 1 << 3 << 20.0;
        QTest::newRow("80, offset 20") << 80 << 20 << 0.25;
    }
    void drawingScalesTheWindow()
    {
        QFETCH(int, range);
        QFETCH(int, offset);
        QFETCH(double, scale);
        Rig rig;
        rig.rec.setRanges(QVector<int>(kChannels, range));
        rig.rec.setOffsets(QVector<int>(kChannels, offset));
        QCOMPARE(rig.rec.view().ranges[0], std::max(range, 1));
        QCOMPARE(rig.rec.view().offsets[7], offset);
        rig.record(10, 500, quantities(0));
        rig.rec.setWindow(2, 4);
        QVERIFY(rig.rec.hasChanges());
        const TrendRecorder::Drawing d = rig.rec.drawing(500);
        QVERIFY(!rig.rec.hasChanges());
        QCOMPARE(d.window.lower, 2.0);
        QCOMPARE(d.window.upper, 4.0);
        QCOMPARE(d.points.size(), kChannels);
        QList<double> times;
        for (const QPointF &p : d.points.at(0)) {
            times.append(p.x());
            QCOMPARE(p.y(), p.x() * scale + offset);
        }
        QCOMPARE(times, (QList<double>{1.5, 2, 2.5, 3, 3.5, 4, 4.5}));
    }

    // More cycles than the columns hold: each column keeps its first,
    // least, greatest and last value, in time order.
    void drawingThinsToTheColumns()
    {
        Rig rig;
        rig.rec.setPageAndRecordTime(1000, 1200);
        rig.rec.start();
        const QVector<int> q = quantities(0);
        for (int k = 1; k <= 1000; ++k) {
            rig.ms = k;
            // A saw tooth of ten cycles: 0, 9, 1, 8, 2, 7, ...
            const int i = k % 10;
            monitorData().setValue(0, i % 2 ? 9 - i / 2 : i / 2);
            rig.rec.addSample(requestAll(), q);
        }
        const int columns = 10;
        const TrendRecorder::Drawing thin = rig.rec.drawing(columns);
        const QVector<QPointF> &points = thin.points.at(0);
        QVERIFY(points.size() <= 4 * columns);
        QVERIFY(points.size() >= 3 * columns);
        for (int k = 1; k < points.size(); ++k)
            QVERIFY(points.at(k).x() > points.at(k - 1).x());
        double least = 1e9, greatest = -1e9;
        for (const QPointF &p : points) {
            least = std::min(least, p.y());
            greatest = std::max(greatest, p.y());
        }
        QCOMPARE(least, 0.0);
        QCOMPARE(greatest, 9 * 20.0);
        // Enough columns: every cycle.
        QCOMPARE(rig.rec.drawing(250).points.at(0).size(), 1000);
    }

    // The read-out: the latest sample not after the time and within reach,
    // 0.1 s or a slow line's cycle; nothing beyond the last cycle.
    void readOut_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("stepMs");
        QTest::newRow("3 s") << 3.0 << 20;
        QTest::newRow("12.31 s") << 12.31 << 20;
        QTest::newRow("12.4 s, 250 ms cycles") << 12.4 << 250;
        QTest::newRow("20.9 s, 1 s cycles") << 20.9 << 1000;
    }
    void readOut()
    {
        QFETCH(double, seconds);
        QFETCH(int, stepMs);
        Rig rig;
        rig.record(29, stepMs);
        std::array<bool, kChannels> asked = all();
        asked[2] = false;
        const TrendRecorder::ReadOut r = rig.rec.readOut(seconds, asked);
        QVERIFY(!r.beyond);
        QVERIFY(r.any);
        const double perSecond = 1000.0 / stepMs;
        const double sample = std::floor(seconds * perSecond + 1e-9) / perSecond;
        QVERIFY(r.found[0] && r.found[1] && !r.found[2]);
        QCOMPARE(r.values[0], sample);
        QCOMPARE(r.values[1], sample + 1);
        QVERIFY(rig.rec.readOut(29.5, all()).beyond);
        // A channel without a sample within reach shows none.
        rig.rec.clearChannel(0);
        QVERIFY(!rig.rec.readOut(seconds, all()).found[0]);
        QVERIFY(TrendRecorder().readOut(0, all()).beyond);
    }

    // The time column: local time of day, 00-23 hours and the am/pm marker,
    // right across a change of the clocks.
    void timestamps_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<qint64>("wallMs");
        const qint64 spring = QDateTime(QDate(2026, 3, 29), QTime(0, 59, 59), Qt::UTC).toMSecsSinceEpoch();
        QTest::newRow("UTC morning") << QByteArray("UTC") << qint64(1700000000123);
        QTest::newRow("UTC midnight") << QByteArray("UTC") << qint64(1699920000000);
        QTest::newRow("Berlin before spring") << QByteArray("Europe/Berlin") << spring;
        QTest::newRow("Berlin after spring") << QByteArray("Europe/Berlin") << spring + 1001;
        QTest::newRow("Berlin afternoon") << QByteArray("Europe/Berlin") << qint64(1700053199999);
        QTest::newRow("before 1970") << QByteArray("UTC") << qint64(-1500);
    }
    void timestamps()
    {
        QFETCH(QByteArray, zone);
        QFETCH(qint64, wallMs);
        const QByteArray before = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        const QString expected = QLocale::c().toString(
            QDateTime::fromMSecsSinceEpoch(wallMs).time(), QStringLiteral("HH:mm:ss.zzz a"));
        const QString got = TrendFiles::timestamp(wallMs);
        qputenv("TZ", before);
        tzset();
        QCOMPARE(got, expected);
    }

    // The workbook made from the recording as it is written is the file the
    // cells written one by one into a workbook make, byte for byte: missing
    // values, numbers that are no numbers, empty captions, a second sheet.
    void workbookAsCellByCell_data()
    {
        QTest::addColumn<int>("cycles");
        QTest::addColumn<QList<int>>("channels");
        QTest::addColumn<QString>("caption");
        QTest::newRow("a few cycles") << 12 << QList<int>{0, 3, 7} << "Output Hz";
        QTest::newRow("empty caption") << 5 << QList<int>{1} << "";
        QTest::newRow("two sheets") << TrendFiles::kCyclesPerSheet + 40 << QList<int>{2, 5} << "A";
    }
    void workbookAsCellByCell()
    {
        QFETCH(int, cycles);
        QFETCH(QList<int>, channels);
        QFETCH(QString, caption);
        TrendRecording rec;
        for (int k = 0; k < cycles; ++k) {
            TrendCycle cycle;
            cycle.wallMs = 1700000000000 + 37 * qint64(k);
            for (int c = 0; c < TrendCycle::kChannels; ++c)
                cycle.values[c] = k % 5 == c % 5 ? std::nan("") : k * 0.25 - c;
            if (k == 3)
                cycle.values[channels.first()] = HUGE_VAL;
            rec.append(cycle);
        }
        TrendExport what;
        what.channels = channels;
        for (int c = 0; c < channels.size(); ++c)
            what.captions.append(c == 0 ? caption : QStringLiteral("Ch %1").arg(c));
        what.systemTimeCaption = QStringLiteral("System Time");
        what.date = QStringLiteral("2023-11-14");

        Workbook book;
        const int sheets = TrendFiles::workbookSheets(rec);
        for (int sheet = 0; sheet < sheets; ++sheet) {
            QVERIFY(book.selectSheet(sheet));
            book.setText(1, 1, what.date);
            book.setText(2, 1, what.systemTimeCaption);
            for (int c = 0; c < what.captions.size(); ++c)
                book.setText(2, c + 2, what.captions.at(c));
            const int first = sheet * TrendFiles::kCyclesPerSheet;
            const int end = std::min(rec.size(), first + TrendFiles::kCyclesPerSheet);
            for (int k = first; k < end; ++k) {
                const int row = k - first + 3;
                book.setText(row, 1, TrendFiles::timestamp(rec.at(k).wallMs));
                for (int c = 0; c < channels.size(); ++c) {
                    const double v = rec.at(k).values[channels.at(c)];
                    if (TrendRecording::hasValue(v))
                        book.setNumber(row, c + 2, v);
                }
            }
        }
        QTemporaryDir dir;
        const QString cellByCell = dir.filePath("cells.xls"), streamed = dir.filePath("stream.xls");
        QVERIFY(book.save(cellByCell));
        QString error;
        QVERIFY2(TrendFiles::saveWorkbook(streamed, rec, what, &error), qPrintable(error));
        QFile a(cellByCell), b(streamed);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray expected = a.readAll(), got = b.readAll();
        QCOMPARE(got.size(), expected.size());
        QVERIFY(got == expected);

        Workbook back;
        QVERIFY(back.open(streamed));
        QCOMPARE(back.text(1, 1), what.date);
        QCOMPARE(back.text(2, 2), caption);
        QCOMPARE(back.text(6, 2), QStringLiteral("inf"));
        QCOMPARE(back.text(3, 2), channels.first() % 5 == 0 ? QString() : QString::number(-channels.first()));
        QCOMPARE(back.text(4, 1), TrendFiles::timestamp(rec.at(1).wallMs));
    }

    // A large workbook goes out in pieces of about a megabyte as its cells
    // are made, not as one block, and the pieces are the stream whole.
    void workbookStreamInPieces()
    {
        struct Rows : BiffSheetSource {
            int sheetCount() const override { return 3; }
            void forEachCell(int sheet, const CellVisitor &visit) const override
            {
                visit(workbookCellKey(0, 0), QStringLiteral("Sheet %1").arg(sheet));
                for (int row = 1; row < 60000; ++row)
                    for (int column = 0; column < 3; ++column)
                        visit(workbookCellKey(row, column), row * 0.5 + column + sheet);
            }
        } rows;
        qint64 announced = -1, total = 0;
        int pieces = 0, largest = 0;
        QByteArray joined;
        const bool ok = BiffWriter::writeStream(
            rows,
            [&announced](qint64 size) {
                announced = size;
                return QByteArray();
            },
            [&](const QByteArray &piece) {
                ++pieces;
                total += piece.size();
                largest = std::max(largest, piece.size());
                joined += piece;
                return true;
            });
        QVERIFY(ok);
        QCOMPARE(total, announced);
        QVERIFY2(total > 8 << 20, qPrintable(QString::number(total)));
        QVERIFY2(largest < (3 << 19), qPrintable(QString::number(largest)));
        QVERIFY(pieces > 8);
        QVERIFY(joined == BiffWriter::workbookStream(rows));

        // A write that fails ends it.
        int calls = 0;
        QVERIFY(!BiffWriter::writeStream(
            rows, [](qint64) { return QByteArray(); },
            [&calls](const QByteArray &) { return ++calls < 4; }));
        QCOMPARE(calls, 4);
    }
};

QTEST_GUILESS_MAIN(TestTrendRecording)
#include "tst_trendrecording.moc"
