#pragma once

#include <QString>

// Process-wide values that the parameter catalogue and transfers set and that
// other pages read (monitor, alarm history, navigation panel). Safe to use
// from any thread.

// The catalogue version in use (at most four characters, e.g. "0.40") and the
// version the drive reported (or the fallback that stood in for it).
QString catalogueVersion();
void setCatalogueVersion(const QString &version);
QString deviceVersion();
void setDeviceVersion(const QString &version);
// The catalogue version read as a number (0 when it is not one).
double catalogueVersionNumber();

// True when the last version lookup got the version from the drive rather
// than from Version.txt or a built-in default.
bool versionReadFromDrive();
void setVersionReadFromDrive(bool fromDrive);

// P.186 as read at catalogue load on series that have a second rating; "1"
// selects the second capacity of a dual-rated model.
QString p186Value();
void setP186Value(const QString &value);

// Set after every parameter function (P.996 to P.999, "991", "992"); the
// operation panel waits before its next mode poll and clears it.
bool parameterResetPending();
void setParameterResetPending(bool pending);

// Back to the start-up values (used by tests).
void resetParameterState();
