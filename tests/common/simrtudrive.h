#pragma once

#include "link/driverfactory.h"
#include "link/driverregistry.h"
#include "link/linkstate.h"
#include "simulator/simport.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <memory>

// Modbus RTU at station 1 on a fast simulated line holding `drive`, with an
// RTU driver made current.
inline std::shared_ptr<SimPort> useSimulatedRtuDrive(std::shared_ptr<SimulatedDrive> drive)
{
    auto line = std::make_shared<SimulatedLine>(1, 0);
    line->addDrive(drive);
    auto port = std::make_shared<SimPort>(line, true);
    port->open();
    LinkState &link = linkState();
    link.reset();
    link.protocolCode = 1;
    link.setStation(1);
    link.setSerialPort(port);
    setCurrentDriver(createDriver(1));
    return port;
}
