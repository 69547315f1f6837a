#pragma once

#include "base/series.h"
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/driverregistry.h"
#include "link/linkstate.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simulatedline.h"

#include <memory>

// One simulated drive of `model` at station 1 on a line of `protocol` with
// real byte timing at `baud`: the link's port, with a driver of that
// protocol current and the model's series attached.
inline std::shared_ptr<SimPort> attachSimulatedDrive(const QString &model, int protocol, int baud)
{
    setModelString(model);
    setSeriesLetter(seriesLetterForModel(model, '0'));
    const int lineEnd = protocol == 0 ? 1 : protocol == 1 ? 0 : 2;
    auto line = std::make_shared<SimulatedLine>(protocol, lineEnd);
    line->addDrive(makeSimulatedDrive(1, model));
    LineSettings settings;
    settings.baudRate = baud;
    auto port = std::make_shared<SimPort>(line);
    port->applySettings(settings);
    port->open();
    linkState().reset();
    linkState().protocolCode = quint8(protocol);
    linkState().lineEnd = lineEnd;
    linkState().setStation(1);
    linkState().setSerialPort(port);
    setCurrentDriver(createDriver(protocol));
    return port;
}
