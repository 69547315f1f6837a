// Complete monitor cycles per second for three quantities against the
// simulated drive with real byte timing, next to the limit the wire sets for
// the same exchanges and the floor the protocol rules add (10 ms pause before
// each Modbus RTU attempt, two quiet 1 ms polls).
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>
#include "simlink.h"

#include <cstdio>

namespace {
void measure(int protocol, int baud, int cycles)
{
    const std::shared_ptr<SimPort> port =
        attachSimulatedDrive(QStringLiteral("ZM-043-7.5K"), protocol, baud);
    const std::shared_ptr<SimulatedLine> line = port->line();
    monitorData().reset();
    for (int k = 0; k < 3; ++k)
        monitorData().setDialFlag(k, true);

    MonitorThread thread;
    QElapsedTimer t;
    t.start();
    int complete = 0;
    for (int i = 0; i < cycles; ++i)
        complete += thread.runCycle() ? 1 : 0;
    const double seconds = t.nsecsElapsed() / 1e9;

    // Request and answer lengths of one reading per protocol.
    const int chars = protocol == 1 ? 8 + 7 : protocol == 2 ? 17 + 15 : 9 + 12;
    const double oneWire = (chars + 1) * line->characterMs() + line->turnaroundMs();
    const double wireMs = 3 * oneWire;
    // The poll that sees the last byte comes on the next whole millisecond;
    // two quiet polls follow.
    const double floorMs = 3 * ((protocol == 1 ? 10 : 0) + std::ceil(oneWire) + 2);
    const char *names[] = {"native", "RTU", "ASCII"};
    std::printf("%-6s %6d baud  %5.1f cycles/s (%d/%d complete)  wire limit %6.1f/s  "
                "protocol floor %6.1f/s  ratio to floor %.2f\n",
                names[protocol], baud, complete / seconds, complete, cycles, 1000 / wireMs,
                1000 / floorMs, (complete / seconds) / (1000 / floorMs));
    linkState().setSerialPort(nullptr);
}
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 30;
    // The run-time data the build copies beside the executables.
    setDataDirectory(QStringLiteral(VANTREO_BIN_DIR));
    loadSeriesFeatures();
    setSeriesLetter('F');
    setModelString(QStringLiteral("ZM-043-7.5K"));
    for (int protocol : {1, 2, 0})
        for (int baud : {9600, 115200})
            measure(protocol, baud, cycles);
    return 0;
}
