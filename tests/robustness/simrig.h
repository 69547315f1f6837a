#pragma once

#include "link/driverregistry.h"
#include "common/testsupport.h"
#include "link/driverfactory.h"
#include "link/readwrite.h"
#include "monitor/parameteraccess.h"
#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simregisters.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <QHash>
#include <QVector>

#include <cmath>

#include <memory>

// One simulated ZM-K drive (series F, station 1) on a line of the given
// protocol, reached through SimPort, with the link state and a driver of that
// protocol made current. The drive's clock stands still unless the test
// advances it, so every value it holds can be known in advance.
struct SimRig {
    static constexpr int kStation = 1;
    static constexpr const char *kModel = "ZM-043-7.5K";

    int protocol = 1;
    std::shared_ptr<SimulatedLine> line;
    std::shared_ptr<SimulatedDrive> drive;
    std::shared_ptr<SimPort> port;
    ReadWrite *driver = nullptr;  // owned by the link (retired drivers live until exit)

    // `fast`: the line's timing runs on the port's own clock (no real waits).
    SimRig(int protocolCode, bool fast = true) : protocol(protocolCode)
    {
        const int lineEnd = protocol == 0 ? 1 : 2;
        line = std::make_shared<SimulatedLine>(protocol, lineEnd);
        drive = makeSimulatedDrive(kStation, QString::fromLatin1(kModel));
        drive->setManualClock(true);
        line->addDrive(drive);
        port = std::make_shared<SimPort>(line, fast);
        port->open();
        LinkState &link = linkState();
        link.setSerialPort(nullptr);
        link.reset();
        link.protocolCode = quint8(protocol);
        link.lineEnd = lineEnd;
        link.setStation(kStation);
        link.setSerialPort(port);
        setModelString(QString::fromLatin1(kModel));
        setSeriesLetter('F');
        driver = createDriver(protocol);
        setCurrentDriver(driver);
    }

    // A register as the drive holds it (no fault applies to this path).
    quint16 reg(int address) const
    {
        QVector<quint16> v;
        return drive->read(address, 1, &v) == SimulatedDrive::Ok ? v.at(0) : 0xDEAD;
    }

    // What readRegister(address, scale) must give: raw x scale over Modbus,
    // the drive's own decimal places over the native protocol.
    double valueOf(int address, double scale) const
    {
        const double raw = reg(address);
        return protocol == 0 ? raw * std::pow(10.0, -drive->decimalDigits(address)) : raw * scale;
    }

    // Everything a request could change: every parameter and the function
    // registers.
    QHash<int, quint16> snapshot() const
    {
        QHash<int, quint16> state;
        for (int n : drive->parameterNumbers())
            state.insert(n, drive->parameter(n).value);
        for (int a : {SimRegisters::Mode, SimRegisters::FrequencyCommand, SimRegisters::Control,
                      SimRegisters::Selector, SimRegisters::HistorySelect,
                      SimRegisters::ItemSelect})
            state.insert(a, reg(a));
        return state;
    }

    // Runs the drive forward at `hz` until it has settled there.
    void runAt(double hz)
    {
        drive->write(SimRegisters::FrequencyCommand, quint16(hz * 100));
        drive->write(SimRegisters::Control, 2);
        drive->advance(30000);
    }

    static void installData(DataDir &dir)
    {
        for (const char *f : {"InvType/FNC.txt", "InvType/typeInfo.txt",
                              "InvParameter/F_InvParameter_Eng.xml", "InvParameter/Version.txt",
                              "InvParameter/INVParameter_num.txt", "InvParameter/ReadPar.txt",
                              "hideparameter/ZMHideParameter.xml"})
            dir.copyShipped(QString::fromLatin1(f));
        loadSeriesFeatures();
    }
};

// Parameter reads and writes with fixed scales, standing in for the
// catalogue in the identity read.
class RigParameters : public ParameterAccess
{
public:
    double readParameter(int number) override
    {
        const bool hundredths = number == 302 || number == 360 || number == 56;
        return currentDriver()->readRegister(number, hundredths ? 0.01 : 1);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        bool ok = false;
        const int raw = value.toInt(&ok);
        return ok && currentDriver()->writeRegister(number, raw);
    }
    QString catalogueVersion() const override { return QStringLiteral("1.00"); }
};
