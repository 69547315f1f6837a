#pragma once

#include "simulator/simulateddrive.h"

#include <QSet>

// Gives most parameters of a simulated drive a value other than its default,
// spread over each range, so that a file or transfer of defaults cannot pass
// for one of the drive's values. Left alone: the parameters whose value sets
// the scale or handling of others (P.21, P.259, P.267, P.290, P.186, P.990),
// the write guard P.77, the version P.188 and everything above P.993.
inline void perturbParameters(SimulatedDrive &drive)
{
    static const QSet<int> kKeep{21, 77, 186, 188, 259, 267, 290, 990};
    for (int number : drive.parameterNumbers()) {
        if (number > 993 || kKeep.contains(number) || drive.isIdentityRegister(number))
            continue;
        const SimulatedDrive::Parameter p = drive.parameter(number);
        const int top = qMin<int>(p.maximum, 0xFFFE);
        if (top <= p.minimum)
            continue;
        const int span = top - p.minimum + 1;
        drive.setParameterValue(number, quint16(p.minimum + (number * 7919 + 13) % span));
    }
}
