#pragma once

#include <QString>

#include <memory>

class SimulatedDrive;

// Gives a simulated drive the parameters of its series' catalogue: every
// parameter the catalogue lists exists on the drive with the catalogue's
// default and range, in the resolution its unit gives. Read independently of
// the program's own catalogue code, so the two can check each other.
class CatalogueSeed
{
public:
    // Seeds from `file` (an English catalogue); false when it cannot be read.
    static bool apply(SimulatedDrive &drive, const QString &file);

    // The catalogue file of the drive's series under the data folder.
    static QString catalogueFile(char series);

    // Decimal places a unit stands for ("0.01Hz" 2, "0.1s" 1, "1" and "Hz" 0).
    static int unitDigits(const QString &unit);
};

// A drive of `model` at `station`, seeded from the shipped catalogue when
// there is one.
std::shared_ptr<SimulatedDrive> makeSimulatedDrive(int station, const QString &model,
                                                   double version = -1);
