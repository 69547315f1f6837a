// The parameter list form with the largest catalogue (series A): how long
// filling the table, re-sorting it and scrolling a page take, painted.
//   QT_QPA_PLATFORM=offscreen bench/bench_paramform [ROUNDS]

#include "base/sharedstate.h"
#include "link/linkworker.h"
#include "gui/parameters/cparameter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {
struct Figures {
    double median = 0;
    double worst = 0;
};

// Runs `step` `rounds` times, each followed by a full repaint of `widget`.
Figures measure(int rounds, QWidget &widget, const std::function<void(int)> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        QCoreApplication::processEvents();
        widget.repaint();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}
}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(3, atoi(argv[1])) : 20;
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    setSeriesLetter('A');
    setModelString(QStringLiteral("ZQ1-043-5.5K"));
    LinkWorker worker;
    CParameter form(worker);
    form.resize(1280, 800);
    form.show();
    QTextStream out(stdout);

    const Figures fill = measure(rounds, form, [&](int) { form.loadCatalogue(); });
    {
        ParameterCore alone;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rounds; ++i)
            alone.loadCatalogue();
        out << QStringLiteral("core load without a view: %1 ms\n").arg(t.nsecsElapsed() / 1e6 / rounds, 0, 'f', 1);
    }
    const Figures coreOnly = measure(rounds, form, [&](int) { form.core().loadCatalogue(); });
    out << QStringLiteral("the core's load, the view following: median %1 ms\n").arg(coreOnly.median, 0, 'f', 1);
    out << "catalogue A, " << form.core().parameterCount() << " rows\n";
    out << QStringLiteral("fill table: median %1 ms, worst %2 ms\n").arg(fill.median, 0, 'f', 1).arg(fill.worst, 0, 'f', 1);
    const Figures sort =
        measure(rounds, form, [&](int i) { form.mySort(i % 2 == 0 ? 0 : 1); });
    out << QStringLiteral("re-sort: median %1 ms, worst %2 ms\n").arg(sort.median, 0, 'f', 1).arg(sort.worst, 0, 'f', 1);
    QScrollBar *bar = form.table()->verticalScrollBar();
    const Figures scroll = measure(rounds * 5, form, [&](int i) {
        bar->setValue((i * bar->pageStep()) % qMax(1, bar->maximum()));
    });
    out << QStringLiteral("scroll one page: median %1 ms, worst %2 ms\n").arg(scroll.median, 0, 'f', 1).arg(scroll.worst, 0, 'f', 1);
    return 0;
}
