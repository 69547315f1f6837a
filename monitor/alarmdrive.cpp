#include "alarmdrive.h"

#include "base/drivetarget.h"
#include "base/sharedstate.h"
#include "parameters/parameterstate.h"

AlarmDrive AlarmDrive::current()
{
    AlarmDrive d;
    d.series = seriesLetter();
    // A window bound to its drive keeps the catalogue version it was opened with.
    const DriveTarget *bound = DriveTargetScope::bound();
    d.version = bound && !bound->catalogueVersion.isEmpty() ? bound->catalogueVersion.toDouble()
                                                            : catalogueVersionNumber();
    d.model = modelString();
    d.readP187 = isSeriesFeature(QStringLiteral("alarmcode_readP187"));
    d.recordsData = isSeriesFeature(QStringLiteral("alarmcode_errorInfomation"));
    d.historyByRegister = isSeriesFeature(QStringLiteral("hideparameter_errorInfomation"));
    return d;
}

bool AlarmDrive::continuingLineWithTerminals() const
{
    switch (series) {
    case 'L':  // ZM-KX
    case 'F':  // ZM
        return true;
    case 'G':  // ZM-K
        return version >= 0.2;
    case 'X':  // ZP2
        return version > 0.6;
    case 'T':  // ZR2
        return version >= 0.4;
    default:
        return false;
    }
}

bool AlarmDrive::offersRamMonitor() const
{
    switch (series) {
    case 'G':
        return version >= 0.2;
    case 'X':
        return version >= 0.6;
    case 'T':
        return version >= 0.3;
    case 'L':
    case 'A':
        return true;
    default:
        return false;
    }
}
