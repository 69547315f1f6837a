#pragma once

#include "sampleclock.h"

#include <QMutex>
#include <QPointF>
#include <QVector>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// One sample cycle of a trend recording: its time since the recording
// started, the wall-clock time it was taken and one value per channel (NaN
// where the channel had no sample in that cycle).
struct TrendCycle {
    static constexpr int kChannels = 8;
    double t = 0;         // seconds since start
    qint64 wallMs = 0;    // milliseconds since the epoch, UTC
    std::array<double, kChannels> values{};
};

// Every cycle of a recording, oldest first, in blocks that never move once
// written: appending costs the same however long the recording is, and no
// whole buffer is copied as it grows. Channels stay aligned with the cycles
// by construction, so a channel switched off and on again keeps its rows.
class TrendRecording
{
public:
    static constexpr int kBlock = 4096;  // cycles per block

    TrendRecording() = default;
    TrendRecording(const TrendRecording &other);
    TrendRecording &operator=(const TrendRecording &other);
    TrendRecording(TrendRecording &&) = default;
    TrendRecording &operator=(TrendRecording &&) = default;

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const TrendCycle &at(int k) const { return m_blocks[k / kBlock][k % kBlock]; }
    TrendCycle &at(int k) { return m_blocks[k / kBlock][k % kBlock]; }
    const TrendCycle &last() const { return at(m_size - 1); }
    void append(const TrendCycle &cycle);
    // Keeps the first n cycles.
    void truncate(int n);
    void clear();
    // Forgets every value of one channel (the cycles stay).
    void clearChannel(int channel);
    // The first cycle whose time is >= x (size() when none), and the last
    // whose time is <= x (-1 when none). Times never decrease.
    int lowerBound(double x) const;
    int lastAtOrBefore(double x) const;
    // Bytes held, blocks counted whole.
    qint64 bytes() const;

    static bool hasValue(double v) { return v == v; }

private:
    std::vector<std::unique_ptr<TrendCycle[]>> m_blocks;
    int m_size = 0;
};

// A trend recording as it is made: the cycles, which channels sample, how
// each is scaled for the chart, the time window it shows, the record time
// and the clocks. The monitor thread appends one cycle per poll
// (addSample); the GUI thread reads and changes the rest. Every cycle is
// kept until the next start or clear; a recording ends by itself at the
// record time, so a stop never takes back what was drawn. Every call takes
// the lock.
//
// A channel's value v is drawn at v * kValueAxisMax / range + offset.
class TrendRecorder
{
public:
    static constexpr int kChannels = TrendCycle::kChannels;
    static constexpr double kValueAxisMax = 20;

    TrendRecorder();

    // The settings and the window, copied under one lock.
    struct View {
        TimeWindow window{0, 30};
        double pageLength = 30;
        int recordTime = 1200;
        double dataEnd = 30;  // how far a drag may take the window
        bool recording = false;
        bool recordTimeReached = false;  // the recording ended by itself
        std::array<int, kChannels> ranges{};
        std::array<int, kChannels> offsets{};
    };
    View view() const;

    // A steady clock for the recording time, the wall clock of the
    // timestamps.
    void setClock(std::function<qint64()> steadyMs);
    void setWallClock(std::function<qint64()> epochMs);

    // A new recording: forgets the last one, counts from now, takes cycles
    // and shows the first page.
    void start();
    // Takes no more cycles; every cycle taken stays.
    void stop();
    // Once per poll cycle: the channels whose request is set (and that are
    // switched on) take the monitor value of their quantity; a quantity
    // outside the monitor data gives no sample. Nothing while not recording.
    // The first cycle beyond the record time ends the recording instead.
    void addSample(const QVector<bool> &requested, const QVector<int> &quantities);
    // Off also forgets the channel's values: no sample of a channel
    // switched off slips in after it was cleared. False: no such channel.
    bool setChannelOn(int channel, bool on);
    void clear();
    void clearChannel(int channel);
    // Ranges below 1 count as 1 (no division by zero, no upturned curve).
    void setRanges(const QVector<int> &ranges);
    void setOffsets(const QVector<int> &offsets);
    // The window shows the first page of the new length.
    void setPageAndRecordTime(double page, int recordTime);
    void setWindow(double lower, double upper);

    TrendRecording recording() const;  // a copy
    int cycleCount() const;
    // Cycles came or settings changed since the last drawing().
    bool hasChanges() const;
    // Cycles recorded since the last markSaved() (or clear).
    bool hasUnsavedSamples() const;
    // A copy to save and the mark to hand markSaved() once it is written:
    // cycles that come meanwhile stay unsaved.
    TrendRecording recordingToSave(quint64 *mark) const;
    void markSaved(quint64 mark);

    // What the chart draws: each channel's points inside the window and one
    // beyond each edge, scaled onto the value axis. More points than
    // `columns` allow are thinned to each column's first, least, greatest
    // and last value, which draws the same picture.
    struct Drawing {
        TimeWindow window;
        QVector<QVector<QPointF>> points;
    };
    Drawing drawing(int columns);

    // What a read-out at `seconds` shows for the channels asked for: the
    // latest sample not after it and within reach of it.
    struct ReadOut {
        bool beyond = true;  // no cycle at or after that time
        bool any = false;
        std::array<bool, kChannels> found{};
        std::array<double, kChannels> values{};
    };
    ReadOut readOut(double seconds, const std::array<bool, kChannels> &asked) const;

    // Each channel's newest sample among the last kLatestReach cycles: what
    // the value fields show while recording.
    static constexpr int kLatestReach = 256;
    struct Latest {
        std::array<bool, kChannels> found{};
        std::array<double, kChannels> values{};
    };
    Latest latest() const;

private:
    // Under the lock.
    QVector<QVector<QPointF>> visiblePoints(int from, int to, int columns) const;

    mutable QMutex m_mutex;  // everything below
    TrendRecording m_rec;
    View m_view;
    std::array<bool, kChannels> m_on{};
    bool m_changed = false;
    // Counts every sample taken; the count at the last save or clear.
    quint64 m_sampleGeneration = 0;
    quint64 m_savedGeneration = 0;
    SampleClock m_clock;
    std::function<qint64()> m_wallMs;
};
