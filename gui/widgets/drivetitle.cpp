#include "drivetitle.h"

#include "link/linkstate.h"
#include "parameters/parameterstate.h"

#include <QCoreApplication>

DriveTarget windowDriveTarget()
{
    DriveTarget drive = currentDriveTarget();
    if (drive.catalogueVersion.isEmpty())
        drive.catalogueVersion = catalogueVersion();
    return drive;
}

QString driveWindowTitle(const QString &caption, const DriveTarget &drive)
{
    if (drive.model.isEmpty())
        return caption;
    return QCoreApplication::translate("DriveTitle", "%1 — station %2 %3")
        .arg(caption)
        .arg(drive.station)
        .arg(drive.model);
}
