// The monitor window at work: a ZM-KX drive running at 50 Hz on the
// simulated line with real byte timing at 115200 baud, the monitor thread
// polling as fast as the line allows, the page showing three dials, the
// plot and both lamp panels (drawn offscreen). Prints the share of one core
// the GUI thread uses, the poll rate, and the resident memory over the run.
//   bench_monitorpage                 about 50 s: a 10 s plot page, so the
//                                     plot is full before memory is watched
//   bench_monitorpage --minutes 10    the long run with the page's own 60 s
//                                     plot, memory after each minute
//   --protocol 0|1|2                  native (default: the fastest poll),
//                                     Modbus RTU, Modbus ASCII
#include "link/driverregistry.h"
#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/readwrite.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"
#include "resources/images.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"
#include "gui/monitor/cockpit.h"
#include "gui/monitor/dial.h"
#include "gui/monitor/maindialplot.h"
#include "gui/widgets/plot.h"

#include "simlink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
// Fixed scales for the identity read, as the catalogue gives them.
class FixedScales : public ParameterAccess
{
public:
    double readParameter(int number) override
    {
        return currentDriver()->readRegister(number, number % 100 == 2 ? 0.01 : 1);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        const int raw = value.toInt();
        return currentDriver()->writeRegister(number, raw == 9999 ? 0xFFFF : raw);
    }
    QString catalogueVersion() const override { return ::catalogueVersion(); }
};

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The event loop alone, as in the program: the page's timers do the work.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Options {
    int minutes = 0;  // 0: the short run
    int protocol = 0;
};

Options parse(const QStringList &args)
{
    Options o;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--minutes"))
            o.minutes = qMax(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--protocol"))
            o.protocol = qBound(0, args.at(i + 1).toInt(), 2);
    }
    return o;
}
}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initialiseImages();
    const Options options = parse(QCoreApplication::arguments());
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    const QString model = QStringLiteral("ZM-043-5.5K-KX");
    const std::shared_ptr<SimPort> port = attachSimulatedDrive(model, options.protocol, 115200);
    port->setRecording(false);  // the program's line keeps no record of its traffic
    setCatalogueVersion(QStringLiteral("0.14"));
    // The drive runs forward towards 50 Hz (set on the drive itself: this
    // measures the window, not the operation panel).
    const std::shared_ptr<SimulatedDrive> drive = port->line()->drive(1);
    drive->write(SimRegisters::FrequencyCommand, 5000);
    drive->write(SimRegisters::Control, 2);

    FixedScales parameters;
    MonitorThread monitor(&parameters);
    LinkWorker worker;
    monitorData().reset();
    auto *page = MainDialPlot::create(&monitor, worker, &parameters);
    page->resize(1280, 860);
    page->show();
    const bool shortRun = options.minutes == 0;
    if (shortRun)
        page->setPlotValue(10, 70);
    page->startMonitor();
    for (int i = 0; i < 200 && page->state() != MainDialPlot::State::Running; ++i)
        runFor(100);
    if (page->state() != MainDialPlot::State::Running) {
        std::fprintf(stderr, "bench_monitorpage: monitoring did not start\n");
        return 1;
    }
    runFor(shortRun ? 15000 : 5000);  // the motor at speed, the plot page full
    const char *names[] = {"native", "Modbus RTU", "Modbus ASCII"};
    // One time track point per complete cycle.
    const QVector<QPointF> track = page->plot()->series(1);
    const double span = track.size() > 1 ? track.last().x() - track.first().x() : 0;
    std::printf("%s, %s at 115200 baud, %.0f s plot page: %.1f poll cycles/s\n",
                qPrintable(model), names[options.protocol], page->plot()->pageWidth(),
                span > 0 ? (track.size() - 1) / span : 0.0);

    const long startKb = residentKb();
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = threadCpuSeconds();
    std::printf("memory at start: %ld kB\n", startKb);
    const int steps = shortRun ? 4 : options.minutes;
    const int stepMs = shortRun ? 10000 : 60000;
    for (int i = 1; i <= steps; ++i) {
        runFor(stepMs);
        std::printf("memory after %s: %ld kB\n",
                    qPrintable(shortRun ? QStringLiteral("%1 s").arg(i * 10)
                                        : QStringLiteral("%1 min").arg(i)),
                    residentKb());
        std::fflush(stdout);
    }
    const double seconds = clock.elapsed() / 1000.0;
    const double share = 100.0 * (threadCpuSeconds() - cpuStart) / seconds;
    std::printf("GUI CPU share: %.1f %%\n", share);
    std::printf("memory growth: %.0f kB per minute\n", (residentKb() - startKb) * 60.0 / seconds);
    std::printf("left dial %.2f, sample value %s, %d points on the plot\n",
                page->cockpit()->leftDial()->value(),
                qPrintable(page->sampleValueField()->text()), page->plot()->series(0).size());
    page->stopMonitor();
    delete page;
    monitor.wait();
    linkState().setSerialPort(nullptr);
    return 0;
}
