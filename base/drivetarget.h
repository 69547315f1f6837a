#pragma once

#include <QString>

// The drive one piece of work is for: its station, series, model and the
// version of its parameter catalogue. A job or window takes it when it is
// started and keeps it; a later station click changes what new work starts
// from, never the work in flight.
struct DriveTarget {
    int station = 0;
    char series = '0';
    QString model;
    QString catalogueVersion;

    bool operator==(const DriveTarget &other) const
    {
        return station == other.station && series == other.series && model == other.model &&
               catalogueVersion == other.catalogueVersion;
    }
    bool operator!=(const DriveTarget &other) const { return !(*this == other); }
};

// Binds a drive target to the calling thread for the length of a scope: the
// exchanges the thread makes meanwhile go to its station, and seriesLetter(),
// modelString() and isSeriesFeature() answer for its drive. Scopes nest; the
// innermost one counts. A thread with no scope works on the process-wide
// current drive (the navigation panel's choice).
class DriveTargetScope
{
public:
    explicit DriveTargetScope(const DriveTarget &target);
    ~DriveTargetScope();
    DriveTargetScope(const DriveTargetScope &) = delete;
    DriveTargetScope &operator=(const DriveTargetScope &) = delete;

    // The innermost target bound on the calling thread, or nullptr.
    static DriveTarget *bound();

private:
    DriveTarget m_target;
    DriveTarget *m_outer;
};
