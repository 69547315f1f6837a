// The simulated drive's catalogue reader: the input as a catalogue file,
// applied to a fresh drive, which must still answer for every parameter.
#include "fuzzsupport.h"

#include "simulator/catalogueseed.h"
#include "simulator/simulateddrive.h"

#include <QVector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::workPath(QStringLiteral("catalogue.xml"));
    if (!fuzz::writeInput(path, data, size))
        return 0;
    SimulatedDrive drive(1, size > 0 && data[0] & 1 ? QStringLiteral("ZM-043-185K/200K-K")
                                                   : QStringLiteral("ZM-043-7.5K"));
    drive.setManualClock(true);
    CatalogueSeed::apply(drive, path);
    for (int number : drive.parameterNumbers()) {
        fuzz::check(number >= 0 && number < 1600);
        QVector<quint16> values;
        fuzz::check(drive.read(number, 1, &values) == SimulatedDrive::Ok);
    }
    return 0;
}
