#include "demoline.h"

#include "simport.h"
#include "simulateddrive.h"
#include "simulatedline.h"
#include "catalogueseed.h"

#include "link/serialporttransport.h"

#include <QMutex>

std::shared_ptr<SimulatedLine> demoLine()
{
    static QMutex mutex;
    static std::shared_ptr<SimulatedLine> line;
    QMutexLocker lock(&mutex);
    if (!line) {
        line = std::make_shared<SimulatedLine>(1, 0);
        const char *const models[] = {"ZM-043-7.5K", "ZN-020-5.5K", "ZQ1-043-5.5K",
                                      "ZM-043-7.5K-K", "ZM-043-5.5K-KX", "ZP2-043-2.2K"};
        int station = 1;
        for (const char *model : models)
            line->addDrive(makeSimulatedDrive(station++, QString::fromLatin1(model)));
    }
    return line;
}

QStringList demoStationNames()
{
    QStringList names;
    for (int station = 0; station < 255; ++station)
        names.append(QString());
    for (const auto &drive : demoLine()->drives()) {
        if (drive->station() >= 0 && drive->station() < names.size())
            names[drive->station()] = drive->model();
    }
    return names;
}

std::shared_ptr<Transport> openPortOrSimulation(const QString &name)
{
    if (name.compare(simulatedPortText(), Qt::CaseInsensitive) == 0) {
        // The program's session may run for days: keep no record of the traffic.
        auto port = std::make_shared<SimPort>(demoLine());
        port->setRecording(false);
        return port;
    }
    return std::make_shared<SerialPortTransport>(name);
}
