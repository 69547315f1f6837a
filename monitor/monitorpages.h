#pragma once

#include <QStringList>

// What the monitor thread calls on the pages. Both calls run on the monitor
// thread: a page copies the values and repaints from its own timer.
class DialPageSink
{
public:
    virtual ~DialPageSink() = default;
    // End of a complete cycle: the values of the requested quantities are new.
    virtual void takeSample() = 0;
    // The identity record: drive, version, current, voltage (and extra) texts.
    virtual void showDriveInfo(const QStringList &record) = 0;
};

class TrendPageSink
{
public:
    virtual ~TrendPageSink() = default;
    virtual void sampleChannels() = 0;
    virtual void showDriveInfo(const QStringList &record) = 0;
};
