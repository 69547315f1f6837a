#include "monitor/sampleclock.h"
#include "monitor/scrollingsamples.h"

#include <QtTest>

#include <atomic>
#include <memory>

namespace {
// Samples on a clock the test moves.
struct Rig {
    std::shared_ptr<std::atomic<qint64>> ms = std::make_shared<std::atomic<qint64>>(0);
    ScrollingSamples samples;

    Rig(int curves, double page, double max) : samples(curves, page, max)
    {
        auto clock = ms;
        samples.setClock([clock] { return clock->load(); });
    }
    void at(double seconds) { *ms = qint64(seconds * 1000); }
    QList<double> times(int series) const
    {
        QList<double> t;
        for (const QPointF &p : samples.series(series))
            t.append(p.x());
        return t;
    }
};
}  // namespace

// The sample chart's samples without the chart, and the clock and window
// both charts time their samples by.
class TestScrollingSamples : public QObject
{
    Q_OBJECT

private slots:
    void clockCountsFromItsRestart()
    {
        qint64 ms = 4000;
        SampleClock clock;
        clock.setSource([&ms] { return ms; });
        QCOMPARE(clock.seconds(), 0.0);
        ms = 5500;
        QCOMPARE(clock.seconds(), 1.5);
        clock.restart();
        ms = 5750;
        QCOMPARE(clock.seconds(), 0.25);
        // An elapsed timer by default: it starts near 0 and never goes back.
        SampleClock steady;
        const double first = steady.seconds();
        QVERIFY(first >= 0 && first < 5);
        QVERIFY(steady.seconds() >= first);
    }

    void windowFollows_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("inside") << 7.0 << false << 0.0 << 10.0;
        QTest::newRow("at the edge") << 10.0 << false << 0.0 << 10.0;
        QTest::newRow("beyond") << 12.5 << true << 2.5 << 12.5;
    }
    void windowFollows()
    {
        QFETCH(double, t);
        QFETCH(bool, moved);
        QFETCH(double, lower);
        QFETCH(double, upper);
        TimeWindow w{0, 10};
        QCOMPARE(w.follow(t), moved);
        QCOMPARE(w.lower, lower);
        QCOMPARE(w.upper, upper);
        QCOMPARE(w.width(), 10.0);
    }

    // Past the page every series keeps the points inside the window and
    // one to its left; the time track has one point per cycle.
    void scrollingTrimsOnTime()
    {
        Rig rig(2, 5, 300);
        rig.samples.start();
        for (int s = 0; s <= 12; ++s) {
            rig.at(s);
            const QByteArray flags = s < 8 ? QByteArray("\1\0", 2) : QByteArray("\1\1", 2);
            rig.samples.addChannelSamples(flags, {quint32(s), 0xFFFFFFFFu});
        }
        const ScrollingSamples::Window w = rig.samples.window();
        QCOMPARE(w.time.lower, 7.0);
        QCOMPARE(w.time.upper, 12.0);
        QCOMPARE(w.pageWidth, 5.0);
        QCOMPARE(rig.times(0), (QList<double>{6, 7, 8, 9, 10, 11, 12}));
        QCOMPARE(rig.times(1), (QList<double>{8, 9, 10, 11, 12}));
        QCOMPARE(rig.times(2), (QList<double>{6, 7, 8, 9, 10, 11, 12}));
        QCOMPARE(rig.samples.series(1).first().y(), 4294967295.0);
        QVERIFY(rig.samples.series(3).isEmpty());  // no such series
    }

    // What a drawing takes: the curves and the window, and the change flag.
    void drawingClearsTheChange()
    {
        Rig rig(2, 60, 70);
        QVERIFY(!rig.samples.hasChanges());
        rig.samples.start();
        QVERIFY(rig.samples.hasChanges());
        rig.at(1);
        rig.samples.addSample(3, false);
        ScrollingSamples::Window w;
        const QVector<QVector<QPointF>> curves = rig.samples.drawing(&w);
        QVERIFY(!rig.samples.hasChanges());
        QCOMPARE(curves.size(), 2);
        QCOMPARE(curves.at(0), (QVector<QPointF>{{1, 3}}));
        QVERIFY(curves.at(1).isEmpty());
        QCOMPARE(w.time.upper, 60.0);
        QCOMPARE(w.valueUpper, 70.0);
        rig.samples.setRanges(20, 500);
        QVERIFY(rig.samples.hasChanges());
        QCOMPARE(rig.samples.window().valueMax, 500.0);
        QVERIFY(!rig.samples.clearCurve(2));
        QVERIFY(!rig.samples.clearCurve(-1));
        QVERIFY(rig.samples.clearCurve(0));
        QVERIFY(rig.samples.series(0).isEmpty());
        QCOMPARE(rig.samples.series(2).size(), 1);
        rig.samples.clearAll();
        QVERIFY(rig.samples.series(2).isEmpty());
    }

    // The saved text: the checked curves' names, then a row per time-track
    // point in the shown window (all of them when whole), whole values in
    // full.
    void text_data()
    {
        QTest::addColumn<QVector<bool>>("checked");
        QTest::addColumn<double>("lower");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole, both") << QVector<bool>{true, true} << 0.0 << true
                                     << QByteArray("aH\tbH\t\n0D\t4294967295D\t\n1.5D\t\t\n2D\t\t\n");
        QTest::newRow("from 1 s, first") << QVector<bool>{true, false} << 1.0 << false
                                         << QByteArray("aH\t\n1.5D\t\n2D\t\n");
        QTest::newRow("none checked") << QVector<bool>{false, false} << 0.0 << true
                                      << QByteArray("\n\n\n\n");
        QTest::newRow("fewer checks than curves") << QVector<bool>{true} << 0.0 << true
                                                  << QByteArray("aH\t\n0D\t\n1.5D\t\n2D\t\n");
    }
    void text()
    {
        QFETCH(QVector<bool>, checked);
        QFETCH(double, lower);
        QFETCH(bool, whole);
        QFETCH(QByteArray, text);
        Rig rig(2, 60, 300);
        rig.samples.start();
        rig.samples.addChannelSamples(QByteArray("\1\1", 2), {0, 0xFFFFFFFFu});
        rig.at(1);
        rig.samples.addSample(1.5, false);
        rig.at(2);
        rig.samples.addSample(2, false);
#ifdef Q_OS_WIN
        text.replace("\n", "\r\n");
#endif
        QCOMPARE(rig.samples.text(checked, {"a", "b"}, lower, 60, whole), text);
    }
};

QTEST_GUILESS_MAIN(TestScrollingSamples)
#include "tst_scrollingsamples.moc"
