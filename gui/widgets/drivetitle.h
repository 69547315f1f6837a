#pragma once

#include "base/drivetarget.h"

#include <QString>

// The drive a window is opened for: the current one (or the one bound to
// the calling thread), with the catalogue version in use for it.
DriveTarget windowDriveTarget();

// A window's title naming its drive: "Monitor — station 1 ZM-043-7.5K".
QString driveWindowTitle(const QString &caption, const DriveTarget &drive);
