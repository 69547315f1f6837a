// The trend recorder after one hour of recording: 8 channels at 50 poll
// cycles a second (180,000 cycles) fed on a simulated clock, then the cost
// of one chart refresh, the memory the recording holds, the cost of a cycle
// early and late in the hour, and the time to save the hour.
//   bench_trend            (offscreen: QT_QPA_PLATFORM=offscreen)

#include "monitor/monitordata.h"
#include "gui/trend/advanceplot.h"
#include "monitor/trendfiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <qwt_plot_canvas.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
long statusKb(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

long residentKb() { return statusKb("VmRSS:"); }

// Starts the peak resident size afresh at the present size; false where
// the system cannot (the peak then still holds the recording's).
bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Refreshes the chart `n` times; the median and the worst in milliseconds.
std::pair<double, double> refreshMs(AdvancePlot &plot, int n)
{
    std::vector<double> times;
    QPixmap picture(plot.canvas()->size());
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        plot.updateCurve();
        // The canvas drawn whole, as the screen gets it (offscreen, the
        // replot itself only schedules the paint).
        plot.canvas()->render(&picture);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return {medianMs(times), *std::max_element(times.begin(), times.end())};
}
}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    constexpr int kCyclesPerSecond = 50;
    constexpr int kCycles = 3600 * kCyclesPerSecond;
    constexpr int kBatch = 1000;

    AdvancePlot plot;
    plot.resize(1050, 450);
    plot.show();
    // The refreshes below paint for real only on an exposed window.
    for (int i = 0; i < 200 && !(plot.windowHandle() && plot.windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    qint64 nowMs = 0;
    plot.setClock([&nowMs] { return nowMs; });
    plot.setWallClock([&nowMs] { return 1700000000000 + nowMs; });
    plot.GetStepLength(QVector<int>(AdvancePlot::kChannels, 100));
    for (int i = 0; i < AdvancePlot::kChannels; ++i)
        plot.setChannelOn(i, true);
    const long startKb = residentKb();
    plot.start();
    const QVector<bool> requested(AdvancePlot::kChannels, true);
    const QVector<int> quantities{0, 1, 2, 3, 4, 5, 6, 7};
    MonitorData &data = monitorData();

    // The cost of addSample alone, per batch of cycles.
    std::vector<double> batchUs;
    qint64 batchNs = 0;
    QElapsedTimer clock;
    clock.start();
    for (int k = 1; k <= kCycles; ++k) {
        nowMs = qint64(k) * 1000 / kCyclesPerSecond;
        for (int q = 0; q < AdvancePlot::kChannels; ++q)
            data.setValue(q, 50 + 40 * std::sin(k * 0.001 * (q + 1)));
        const qint64 before = clock.nsecsElapsed();
        plot.addSample(requested, quantities);
        batchNs += clock.nsecsElapsed() - before;
        if (k % kBatch == 0) {
            batchUs.push_back(batchNs / 1e3 / kBatch);
            batchNs = 0;
        }
        // The 30 ms refresh of the window, on the simulated clock.
        if (k % 100 == 0)
            plot.updateCurve();
    }
    const long recordedKb = residentKb();

    const auto [pageMedian, pageWorst] = refreshMs(plot, 50);
    std::printf("trend refresh after 1 h x 8 channels: %.1f ms\n", pageMedian);
    std::printf("  (worst of 50: %.1f ms; %.0f s page, %d cycles kept)\n", pageWorst,
                plot.xUpper() - plot.xLower(), plot.cycleCount());
    std::printf("trend memory after 1 h x 8 channels: %.1f MB\n", (recordedKb - startKb) / 1024.0);
    std::printf("  (recording itself: %.1f MB)\n", plot.recording().bytes() / 1048576.0);
    std::printf("  cycle cost: %.2f us in the first %d cycles, %.2f us in the last %d (median of "
                "all batches %.2f us)\n",
                batchUs.front(), kBatch, batchUs.back(), kBatch, medianMs(batchUs));

    plot.setPageAndRecordTime(3600, 3600);  // keeps the whole hour at the stop
    plot.stop();
    const auto [hourMedian, hourWorst] = refreshMs(plot, 10);
    std::printf("  refresh with the whole hour on the axis: %.1f ms (worst %.1f ms)\n", hourMedian,
                hourWorst);

    QTemporaryDir dir;
    const TrendRecording rec = plot.recording();
    TrendExport what;
    for (int i = 0; i < AdvancePlot::kChannels; ++i) {
        what.channels.append(i);
        what.captions.append(QStringLiteral("Quantity %1").arg(i));
    }
    what.systemTimeCaption = QStringLiteral("System Time");
    what.date = QStringLiteral("2026-01-01");
    QString error;
    QElapsedTimer t;
    t.start();
    const bool textOk = TrendFiles::saveText(dir.filePath("hour.txt"), rec, what, &error);
    std::printf("trend save 1 h as .txt: %lld ms (%s, %.1f MB)\n", t.elapsed(),
                textOk ? "written" : qPrintable(error),
                QFileInfo(dir.filePath("hour.txt")).size() / 1048576.0);
    // One sheet holds 65,536 rows: the hour goes on over further sheets.
    t.restart();
    const bool peakReset = resetPeakResident();
    const long beforeBookKb = residentKb();
    const bool bookOk = TrendFiles::saveWorkbook(dir.filePath("hour.xls"), rec, what, &error);
    const long bookPeakKb = statusKb("VmHWM:");
    std::printf("trend save 1 h as .xls: %lld ms (%s, %d sheets, %.1f MB)\n", t.elapsed(),
                bookOk ? "written" : qPrintable(error), TrendFiles::workbookSheets(rec),
                QFileInfo(dir.filePath("hour.xls")).size() / 1048576.0);
    if (peakReset)
        std::printf("trend save 1 h as .xls memory: %.1f MB\n", (bookPeakKb - beforeBookKb) / 1024.0);
    else
        std::printf("trend save 1 h as .xls memory: not measured (no peak reset here)\n");
    std::printf("  memory after saving: %.1f MB more than before recording\n",
                (residentKb() - startKb) / 1024.0);
    return 0;
}
