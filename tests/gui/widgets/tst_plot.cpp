#include "gui/widgets/optiondialog.h"
#include "gui/widgets/plot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <qwt_plot_curve.h>

namespace {
// A plot on a clock the test moves.
struct ClockedPlot {
    qint64 nowMs = 0;
    Plot plot;

    ClockedPlot(int curves, double pageWidth, double valueMax) : plot(curves, pageWidth, valueMax)
    {
        plot.setClock([this] { return nowMs; });
    }
    void at(double seconds) { nowMs = qint64(seconds * 1000); }
    QList<double> times(int series) const
    {
        QList<double> t;
        for (const QPointF &p : plot.series(series))
            t.append(p.x());
        return t;
    }
};

// The words a page gives a failed save.
const Plot::SaveFailureWording kWording{QStringLiteral("Warning"),
                                        QStringLiteral("Cannot write file %1:\n%2.")};

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll())
                                                         : QStringLiteral("<missing>");
}
}  // namespace

// The scrolling sample chart: what it keeps, how it scrolls, what it saves,
// and its option dialog.
class TestPlot : public QObject
{
    Q_OBJECT

private slots:
    void addSample_data()
    {
        QTest::addColumn<bool>("step");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<QPointF>>("points");
        QTest::newRow("no step") << false << QList<double>{1.5, 3.2, 3.9}
                                 << QList<QPointF>{{0, 1.5}, {1, 3.2}, {2, 3.9}};
        QTest::newRow("step on a new whole number")
            << true << QList<double>{1.5, 3.2, 3.9}
            << QList<QPointF>{{0, 1.5}, {1, 1}, {1, 3.2}, {2, 3.9}};
        QTest::newRow("step down") << true << QList<double>{7.9, 2.1}
                                   << QList<QPointF>{{0, 7.9}, {1, 7}, {1, 2.1}};
        QTest::newRow("step, same whole number") << true << QList<double>{4.2, 4.8, 4.0}
                                                 << QList<QPointF>{{0, 4.2}, {1, 4.8}, {2, 4.0}};
        QTest::newRow("step from the first sample") << true << QList<double>{9.5}
                                                    << QList<QPointF>{{0, 9.5}};
    }
    void addSample()
    {
        QFETCH(bool, step);
        QFETCH(QList<double>, values);
        QFETCH(QList<QPointF>, points);
        ClockedPlot p(1, 60, 70);
        p.plot.start();
        for (int i = 0; i < values.size(); ++i) {
            p.at(i);
            p.plot.addSample(values.at(i), step);
        }
        QCOMPARE(p.plot.series(0).toList(), points);
        // One time track point per sample, at value -1.
        QCOMPARE(p.times(1), (QList<double>{0, 1, 2}.mid(0, values.size())));
        for (const QPointF &t : p.plot.series(1))
            QCOMPARE(t.y(), -1.0);
    }

    // Past the page the window moves with the newest sample; every series
    // keeps the points inside it and one to its left.
    void scrollingKeepsOnePageAndOnePoint()
    {
        ClockedPlot p(1, 10, 70);
        p.plot.start();
        for (int s = 0; s <= 25; ++s) {
            p.at(s);
            p.plot.addSample(s, false);
        }
        QCOMPARE(p.plot.timeLower(), 15.0);
        QCOMPARE(p.plot.timeUpper(), 25.0);
        QCOMPARE(p.times(0).first(), 14.0);
        QCOMPARE(p.times(1).first(), 14.0);
        QCOMPARE(p.times(0).size(), 12);
        p.plot.updateCurve();
        QCOMPARE(p.plot.axisInterval(QwtPlot::xBottom).minValue(), 15.0);
        QCOMPARE(p.plot.axisInterval(QwtPlot::xBottom).maxValue(), 25.0);
        QCOMPARE(p.plot.curve(0)->dataSize(), size_t(12));
    }

    // A curve cleared during a run restarts shorter than the time track; it
    // is trimmed on time like the rest, so it never outgrows the page.
    void clearedCurveStaysWithinThePage()
    {
        ClockedPlot p(1, 10, 70);
        p.plot.start();
        for (int tenth = 0; tenth <= 1000; ++tenth) {
            if (tenth == 120)
                p.plot.clearCurve(0);
            p.at(tenth / 10.0);
            p.plot.addSample(tenth, false);
        }
        const QList<double> curve = p.times(0);
        QCOMPARE(p.plot.timeLower(), 90.0);
        QVERIFY2(curve.first() >= 89.8 && curve.first() < 90.0, qPrintable(QString::number(curve.first())));
        QCOMPARE(curve.size(), p.times(1).size());
        QVERIFY(curve.size() <= 102);
    }

    // Curves sampled only some of the time (a RAM channel switched on late)
    // are trimmed on time too; unflagged channels get no points.
    void channelSamples()
    {
        ClockedPlot p(2, 5, 300);
        p.plot.start();
        for (int s = 0; s <= 12; ++s) {
            p.at(s);
            const QByteArray flags = s < 8 ? QByteArray("\1\0", 2) : QByteArray("\1\1", 2);
            p.plot.addChannelSamples(flags, {quint32(s * 10), 0xFFFFFFF0u});
        }
        QCOMPARE(p.plot.timeLower(), 7.0);
        QCOMPARE(p.times(0), (QList<double>{6, 7, 8, 9, 10, 11, 12}));
        QCOMPARE(p.times(1), (QList<double>{8, 9, 10, 11, 12}));
        QCOMPARE(p.plot.series(1).first().y(), 4294967280.0);  // unsigned
        QCOMPARE(p.plot.series(0).last().y(), 120.0);
        QCOMPARE(p.times(2).size(), 7);
        QCOMPARE(p.plot.curve(0)->pen().color(), QColor(Qt::green));
        QCOMPARE(p.plot.curve(1)->pen().color(), QColor(Qt::blue));
    }

    void startAndRanges()
    {
        ClockedPlot p(1, 60, 70);
        p.at(3);
        p.plot.addSample(1, false);
        p.plot.setRanges(20, 500);
        QCOMPARE(p.plot.timeUpper(), 20.0);
        QCOMPARE(p.plot.valueUpper(), 500.0);
        QCOMPARE(p.plot.axisInterval(QwtPlot::yLeft).maxValue(), 500.0);
        p.at(100);
        p.plot.start();  // clears and counts from here
        QVERIFY(p.plot.isRefreshing());
        QVERIFY(p.plot.series(0).isEmpty() && p.plot.series(1).isEmpty());
        p.at(104);
        p.plot.addSample(2, false);
        QCOMPARE(p.times(0), QList<double>{4});
        QCOMPARE(p.plot.axisInterval(QwtPlot::xBottom).maxValue(), 20.0);
        p.plot.stop();
        QVERIFY(!p.plot.isRefreshing());
        p.plot.clearAllCurve();
        QVERIFY(p.plot.series(1).isEmpty());
    }

    void saveData_data()
    {
        QTest::addColumn<QList<bool>>("checked");
        QTest::addColumn<bool>("scrolled");
        QTest::addColumn<QString>("text");
        QTest::newRow("no channel checked") << QList<bool>{false, false} << false
                                            << "\n\n\n\n\n";
        QTest::newRow("first channel") << QList<bool>{true, false} << false
                                       << "1000H\t\n0D\t\n10D\t\n20D\t\n30D\t\n";
        QTest::newRow("both, second shorter") << QList<bool>{true, true} << false
                                              << "1000H\t2000H\t\n0D\t7D\t\n10D\t7D\t\n20D\t\t\n30D\t\t\n";
        // Only what the axis shows: the time-track point kept left of the
        // window makes no row, and each row holds the values of one moment.
        QTest::newRow("scrolled") << QList<bool>{true, false} << true
                                  << "1000H\t\n20D\t\n30D\t\n";
        QTest::newRow("scrolled, both") << QList<bool>{true, true} << true
                                        << "1000H\t2000H\t\n20D\t\t\n30D\t\t\n";
    }
    void saveData()
    {
        QFETCH(QList<bool>, checked);
        QFETCH(bool, scrolled);
        QFETCH(QString, text);
        ClockedPlot p(2, scrolled ? 1.5 : 60, 300);
        p.plot.start();
        for (int s = 0; s < 4; ++s) {
            p.at(s);
            p.plot.addChannelSamples(s < 2 ? QByteArray("\1\1", 2) : QByteArray("\1\0", 2),
                                     {quint32(10 * s), 7});
        }
        p.plot.updateCurve();
        QCheckBox first, second;
        first.setChecked(checked.at(0));
        second.setChecked(checked.at(1));
        QLineEdit name1("1000"), name2("2000");
        QTemporaryDir dir;
        const QString file = dir.filePath("data.xls");
        QString caption, filter;
        p.plot.setFileNameAsker([&](QWidget *, const QString &c, const QString &, const QString &f) {
            caption = c;
            filter = f;
            return file;
        });
        p.plot.saveData({&first, &second}, {&name1, &name2}, kWording);
        QCOMPARE(caption, QString("Save Data"));
        QCOMPARE(filter, QString("*.xls"));
        QCOMPARE(fileText(file), text);
        // Written again, the file holds the new text only.
        p.plot.saveData({&first, &second}, {&name1, &name2}, kWording);
        QCOMPARE(fileText(file), text);
    }

    // Each row holds the values of one moment, also when several samples
    // share a millisecond or a channel joins late; whole values are written
    // in full, however large.
    void saveDataRowsAreMoments_data()
    {
        QTest::addColumn<QList<double>>("seconds");
        QTest::addColumn<QList<QByteArray>>("flags");
        QTest::addColumn<QString>("text");
        const QByteArray both("\1\1", 2), first("\1\0", 2), second("\0\1", 2);
        QTest::newRow("same moment") << QList<double>{1, 1, 1}
                                     << QList<QByteArray>{both, both, both}
                                     << "aH\tbH\t\n0D\t4294967295D\t\n1D\t4294967294D\t\n"
                                        "2D\t4294967293D\t\n";
        QTest::newRow("second joins late") << QList<double>{1, 2, 3}
                                           << QList<QByteArray>{first, first, both}
                                           << "aH\tbH\t\n0D\t\t\n1D\t\t\n2D\t4294967293D\t\n";
        QTest::newRow("first leaves") << QList<double>{1, 2, 2}
                                      << QList<QByteArray>{both, second, second}
                                      << "aH\tbH\t\n0D\t4294967295D\t\n\t4294967294D\t\n"
                                         "\t4294967293D\t\n";
    }
    void saveDataRowsAreMoments()
    {
        QFETCH(QList<double>, seconds);
        QFETCH(QList<QByteArray>, flags);
        QFETCH(QString, text);
        ClockedPlot p(2, 60, 300);
        p.plot.start();
        for (int k = 0; k < seconds.size(); ++k) {
            p.at(seconds.at(k));
            p.plot.addChannelSamples(flags.at(k), {quint32(k), quint32(0xFFFFFFFFu - k)});
        }
        p.plot.updateCurve();
        QCheckBox first, second;
        first.setChecked(true);
        second.setChecked(true);
        QLineEdit name1("a"), name2("b");
        QTemporaryDir dir;
        const QString file = dir.filePath("data.xls");
        p.plot.setFileNameAsker([&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        });
        p.plot.saveData({&first, &second}, {&name1, &name2}, kWording);
        QCOMPARE(fileText(file), text);
    }

    void optionDialogDispatchesOnItsName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("plotCalls");
        QTest::addColumn<int>("ramCalls");
        QTest::newRow("Plot") << "Plot" << 1 << 0;
        QTest::newRow("RamAdvancePlot") << "RamAdvancePlot" << 0 << 1;
        QTest::newRow("nobody") << "Other" << 0 << 0;
    }
    void optionDialogDispatchesOnItsName()
    {
        QFETCH(QString, name);
        QFETCH(int, plotCalls);
        QFETCH(int, ramCalls);
        OptionDialog dialog;
        dialog.setObjectName(name);
        dialog.setValues(25.9, 1e6);  // cut, and held within the spin box's range
        QCOMPARE(dialog.seconds(), 25);
        QCOMPARE(dialog.maximum(), 100000);
        QSignalSpy plot(&dialog, &OptionDialog::plotValueChosen);
        QSignalSpy ram(&dialog, &OptionDialog::ramValueChosen);
        dialog.show();
        dialog.findChild<QSpinBox *>("secondsSpinBox")->setValue(30);
        dialog.findChild<QPushButton *>("okPushButton")->click();
        QCOMPARE(plot.size(), plotCalls);
        QCOMPARE(ram.size(), ramCalls);
        const QList<QVariant> args = plotCalls ? plot.value(0) : ram.value(0);
        if (!args.isEmpty())
            QCOMPARE(args, (QList<QVariant>{30.0, 100000.0}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.size(), QSize(260, 200));
    }
};

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"
