#pragma once

#include "link/driverregistry.h"
#include "base/sharedstate.h"
#include "link/driverfactory.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QtTest>

#include <memory>

// One simulated drive of `model` at station 1 on a Modbus RTU line whose
// timing runs on the port's own clock, made the current drive. With a manual
// clock the drive's clock stands still unless the test moves it.
struct SimDriveRig {
    std::shared_ptr<SimulatedLine> line;
    std::shared_ptr<SimulatedDrive> drive;
    std::shared_ptr<SimPort> port;

    explicit SimDriveRig(const QString &model, bool manualClock = true)
    {
        line = std::make_shared<SimulatedLine>(1, 2);
        drive = makeSimulatedDrive(1, model);
        drive->setManualClock(manualClock);
        line->addDrive(drive);
        port = std::make_shared<SimPort>(line, true);
        port->open();
        LinkState &link = linkState();
        link.setSerialPort(nullptr);
        link.reset();
        link.protocolCode = 1;
        link.lineEnd = 2;
        link.setStation(1);
        link.setSerialPort(port);
        setModelString(model);
        setSeriesLetter(seriesLetterForModel(model, '0'));
        setCurrentDriver(createDriver(1));
    }
    ~SimDriveRig() { linkState().setSerialPort(nullptr); }
    SimDriveRig(const SimDriveRig &) = delete;
    SimDriveRig &operator=(const SimDriveRig &) = delete;

    // Runs the drive forward at `hz` through the link, as the operation
    // panel does, and lets it settle there (on a manual clock).
    void runAt(double hz)
    {
        QVERIFY(currentDriver()->writeRegister(SimRegisters::FrequencyCommand, int(hz * 100)));
        QCOMPARE(currentDriver()->runFunction("FWD"), 0);
        drive->advance(30000);
    }
    // The drive stops answering.
    void breakLine()
    {
        SimFaults dead;
        dead.noAnswer = true;
        line->setFaults(1, dead);
    }
};
