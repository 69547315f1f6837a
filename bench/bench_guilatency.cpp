// How late a 10 ms timer on the GUI thread gets while a full batch read runs
// on the link worker over the simulated drive with real byte timing. The GUI
// thread never waits on the line; its worst lateness is what a user would
// feel as a stalled window.
#include "base/series.h"
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "parameters/batchjob.h"
#include "parameters/parametercore.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulatedline.h"

#include "simlink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>


int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    const QString model = QStringLiteral("ZM-043-7.5K");
    attachSimulatedDrive(model, 1, 9600);
    ParameterCore core;
    core.loadCatalogue();

    LinkWorker worker;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.elapsed();
    qint64 worst = 0;
    long ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last - 10);
        last = now;
        ++ticks;
    });
    timer.start(10);
    const std::shared_ptr<BatchJob> job = core.startReadAll(worker);
    QObject::connect(job.get(), &LinkJob::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    app.exec();
    timer.stop();
    std::printf("%s at 9600 baud: batch read of %d rows in %.1f s, %ld timer ticks\n",
                qPrintable(model), core.parameterCount(), clock.elapsed() / 1000.0, ticks);
    std::printf("worst GUI timer lateness: %lld ms\n", static_cast<long long>(worst));
    linkState().setSerialPort(nullptr);
    return 0;
}
