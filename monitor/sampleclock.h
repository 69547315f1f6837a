#pragma once

#include <QtGlobal>

#include <functional>

// Seconds since a start, read from a steady millisecond clock: an elapsed
// timer unless another source is given (tests and benchmarks move one by
// hand). Not locked: its owner reads it under the lock of what it times.
class SampleClock
{
public:
    SampleClock();

    // Takes the source and counts from its present reading.
    void setSource(std::function<qint64()> nowMs);
    void restart();
    double seconds() const;

private:
    std::function<qint64()> m_nowMs;
    qint64 m_originMs = 0;
};

// The span of time a chart shows. A sample beyond its right edge scrolls
// it: same width, the newest time at the edge.
struct TimeWindow {
    double lower = 0;
    double upper = 0;

    double width() const { return upper - lower; }
    // Whether it moved.
    bool follow(double t)
    {
        if (t <= upper)
            return false;
        lower += t - upper;
        upper = t;
        return true;
    }
};
