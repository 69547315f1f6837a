#pragma once

#include "link/transport.h"

#include <QString>

#include <memory>

class SimulatedLine;

// The line the program shows when it runs without a drive: one simulated
// drive of each series family at stations 1 to 6.
std::shared_ptr<SimulatedLine> demoLine();

// A port factory that opens "sim" on the demo line and every other name as a
// serial port.
std::shared_ptr<Transport> openPortOrSimulation(const QString &name);

// The port text that selects the simulated line.
inline QString simulatedPortText() { return QStringLiteral("sim"); }
