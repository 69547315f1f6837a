#pragma once

#include "link/transport.h"

#include <QString>
#include <QStringList>

#include <memory>

class SimulatedLine;

// The line the program shows when it runs without a drive: one simulated
// drive of each series family at stations 1 to 6 (a ZM at 1, a ZN at 2, a
// series-A drive at 3).
std::shared_ptr<SimulatedLine> demoLine();

// The station list of the demo: the model of each simulated drive at its
// station, 255 entries.
QStringList demoStationNames();

// A port factory that opens "sim" on the demo line and every other name as a
// serial port.
std::shared_ptr<Transport> openPortOrSimulation(const QString &name);

// The port text that selects the simulated line.
inline QString simulatedPortText() { return QStringLiteral("sim"); }
