#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// station.txt beside the executable: the type name saved for each station of
// the line, one "number,name" line per named station (number 0 to 254 in
// decimal), in ascending order.
class StationFile
{
public:
    static constexpr int kStationCount = 255;

    static QString fileName();

    // The 255 names, index = station number; empty where none is saved or
    // the file cannot be read. Lines that are not exactly two pieces split at
    // ',' and station numbers outside 0 to 254 are skipped.
    static QStringList read(const QString &path = fileName());
    // Takes one line into `names`; false when the line is skipped.
    static bool applyLine(const QString &line, QStringList &names);

    // The file contents for `names`: named stations only, ascending. A name
    // the file could not give back (a ',' or a line break in it) is left out.
    static QByteArray contents(const QStringList &names);
    // Replaces the file; the old one stays as it was when the new one cannot
    // be written completely.
    static bool write(const QStringList &names, const QString &path = fileName());
};
