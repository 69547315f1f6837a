// The time of a full batch read of a catalogue against the simulated drive
// with real byte timing, for one model of every series, next to the limit
// the wire sets for the same exchanges and the floor the protocol rules add.
// The read windows given up (answers that never came whole) and the polls
// spent waiting the line out afterwards show where time above the floor went.
#include "base/series.h"
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulatedline.h"

#include "simlink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

namespace {
void measure(const QString &model, int baud)
{
    const std::shared_ptr<SimPort> port = attachSimulatedDrive(model, 1, baud);
    const std::shared_ptr<SimulatedLine> line = port->line();

    ParameterCore core;
    core.loadCatalogue();
    port->clearWrites();
    const int settleBefore = port->settlePolls();
    QElapsedTimer t;
    t.start();
    const auto result = core.readAllParameters();
    const double seconds = t.nsecsElapsed() / 1e9;
    const int exchanges = port->writes().size();
    int givenUp = 0;
    for (const AnswerReadStats &s : port->readStats())
        givenUp += s.timedOut ? 1 : 0;
    // A register read is 8 bytes out and 7 back.
    const double oneWire = (8 + 7 + 1) * line->characterMs() + line->turnaroundMs();
    const double wireSeconds = exchanges * oneWire / 1000;
    const double floorSeconds = exchanges * (10 + std::ceil(oneWire) + 2) / 1000;
    std::printf(
        "%c %-15s %6d baud  %4d rows  %4d exchanges  %3d given up  %5d settle polls  "
        "%6.2f s  wire limit %6.2f s  protocol floor %6.2f s  ratio to floor %.2f%s\n",
        seriesLetter(), qPrintable(model), baud, core.parameterCount(), exchanges, givenUp,
        port->settlePolls() - settleBefore, seconds, wireSeconds, floorSeconds,
        seconds / floorSeconds,
        result.status == ParameterCore::BatchResult::Status::Completed ? "" : "  (incomplete)");
    linkState().setSerialPort(nullptr);
}
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    // One model of each series, in the order of the series table.
    const char *const models[] = {"ZN-020-5.5K", "ZD-043-0.75K",   "ZW-023-1.5K",   "ZR-043-11K",
                                  "ZP-043-22K",  "ZM-043-7.5K",    "ZM-043-7.5K-K", "ZP2-043-2.2K",
                                  "ZR2-043-15K", "ZM-043-5.5K-KX", "ZQ1-043-5.5K"};
    for (const char *model : models)
        for (int baud : {9600, 115200})
            measure(QString::fromLatin1(model), baud);
    return 0;
}
