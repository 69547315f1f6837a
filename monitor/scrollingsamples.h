#pragma once

#include "sampleclock.h"

#include <QByteArray>
#include <QMutex>
#include <QPointF>
#include <QStringList>
#include <QVector>

#include <functional>

// The points of one curve, oldest first. Points leave at the front as the
// window scrolls; the storage is compacted now and then, not on every point.
class PointSeries
{
public:
    int size() const { return m_points.size() - m_head; }
    bool isEmpty() const { return size() == 0; }
    const QPointF &at(int i) const { return m_points.at(m_head + i); }
    const QPointF &last() const { return m_points.last(); }
    void append(const QPointF &p) { m_points.append(p); }
    void dropFront();
    void clear();
    // A copy of its own: the points are never shared with a vector that
    // another thread goes on appending to.
    QVector<QPointF> toVector() const;

private:
    QVector<QPointF> m_points;
    int m_head = 0;
};

// What the scrolling sample chart shows: curves of values against the
// seconds since start(), plus a time track with one point per sample cycle.
// The thread that reads the drive appends; the GUI thread copies out what
// it draws. The time window keeps the last page width of time: every series
// holds the points inside it and one point to its left, so memory stays
// bounded however long it runs. Every call takes the lock.
class ScrollingSamples
{
public:
    ScrollingSamples(int curveCount, double pageWidth, double valueMax);

    // The windows and the page they start from, copied under one lock.
    struct Window {
        TimeWindow time;
        double valueUpper = 0;
        double pageWidth = 0;
        double valueMax = 0;
    };

    int curveCount() const { return m_curveCount; }
    Window window() const;
    // A copy of series i; series curveCount() is the time track.
    QVector<QPointF> series(int i) const;
    // Samples came or went since the last drawing().
    bool hasChanges() const;
    // Every curve's points, and the window they were taken in.
    QVector<QVector<QPointF>> drawing(Window *window);

    void setClock(std::function<qint64()> nowMs);
    // Forgets every point and counts from now; the windows start at 0.
    void start();
    // Seconds per page and the value maximum: the windows start at 0 again.
    void setRanges(double seconds, double max);
    // A value of curve 0. With `step`, a change of the value's integer part
    // is drawn as a step.
    void addSample(double value, bool step);
    // For each curve whose flag byte is not zero, values[i] read as an
    // unsigned number.
    void addChannelSamples(const QByteArray &flags, const QVector<quint32> &values);
    // Curve n alone (false: no such curve), or every series.
    bool clearCurve(int n);
    void clearAll();

    // "Save Data": a heading of the checked curves' names, then one row per
    // time-track point inside [shownLower, shownUpper] (every point when
    // `whole`), tab-separated, platform line ends.
    QByteArray text(const QVector<bool> &checked, const QStringList &names, double shownLower,
                    double shownUpper, bool whole) const;

private:
    // Under the lock.
    void scrollTo(double t);

    const int m_curveCount;
    mutable QMutex m_mutex;  // everything below
    QVector<PointSeries> m_series;  // curves, then the time track
    Window m_window;
    SampleClock m_clock;
    bool m_changed = false;  // since the last drawing
};
