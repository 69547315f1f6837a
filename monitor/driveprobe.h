#pragma once

#include <QList>
#include <QString>

// Finds out which drive answers when nobody said its model. A drive keeps its
// voltage class, capacity and version in the identity registers of its series
// (P.300/301 on series H), so the register ranges are tried in turn; series
// that share a range are told apart by which of their catalogues' parameters
// the drive has. Reads on the calling thread with read errors kept quiet.
class DriveProbe
{
public:
    struct Result {
        char series = '0';   // '0' when the drive could not be identified
        QString model;       // a model string the series and capacity follow from
        QList<char> candidates;  // series that fitted equally well (ambiguous)
        bool noAnswer = false;   // the line stayed silent
    };

    static Result run();

    // The model string of a drive of `series` with `capacity` kW and the
    // identity registers' voltage code (1, 2: 220 V, 3: 440 V).
    static QString modelFor(char series, int voltageCode, double capacity);
};
