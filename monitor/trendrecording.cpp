#include "trendrecording.h"

#include "monitordata.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace {
// A read-out takes a sample at most this long before the pointer's time.
constexpr double kReadOutReach = 0.1;
// Drawn points per pixel column before a window is thinned to the least
// and greatest value of each column.
constexpr int kPointsPerColumn = 4;
}  // namespace

TrendRecording::TrendRecording(const TrendRecording &other) { *this = other; }

TrendRecording &TrendRecording::operator=(const TrendRecording &other)
{
    if (this == &other)
        return *this;
    clear();
    const int blocks = (other.m_size + kBlock - 1) / kBlock;
    for (int b = 0; b < blocks; ++b) {
        m_blocks.emplace_back(new TrendCycle[kBlock]);
        const int n = std::min(kBlock, other.m_size - b * kBlock);
        std::copy(other.m_blocks[b].get(), other.m_blocks[b].get() + n, m_blocks[b].get());
    }
    m_size = other.m_size;
    return *this;
}

void TrendRecording::append(const TrendCycle &cycle)
{
    if (m_size == int(m_blocks.size()) * kBlock)
        m_blocks.emplace_back(new TrendCycle[kBlock]);
    m_blocks[m_size / kBlock][m_size % kBlock] = cycle;
    ++m_size;
}

void TrendRecording::truncate(int n)
{
    if (n >= m_size)
        return;
    m_size = std::max(n, 0);
    m_blocks.resize((m_size + kBlock - 1) / kBlock);
}

void TrendRecording::clear()
{
    m_blocks.clear();
    m_size = 0;
}

void TrendRecording::clearChannel(int channel)
{
    if (channel < 0 || channel >= TrendCycle::kChannels)
        return;
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < m_size; ++k)
        at(k).values[channel] = none;
}

int TrendRecording::lowerBound(double x) const
{
    int lo = 0, hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid).t < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TrendRecording::lastAtOrBefore(double x) const
{
    int lo = 0, hi = m_size;  // first cycle after x
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid).t <= x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo - 1;
}

qint64 TrendRecording::bytes() const
{
    return qint64(m_blocks.size()) * kBlock * qint64(sizeof(TrendCycle)) +
           qint64(m_blocks.capacity() * sizeof(void *));
}

TrendRecorder::TrendRecorder() : m_wallMs([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    m_view.ranges.fill(1);
}

TrendRecorder::View TrendRecorder::view() const
{
    QMutexLocker lock(&m_mutex);
    return m_view;
}

void TrendRecorder::setClock(std::function<qint64()> steadyMs)
{
    QMutexLocker lock(&m_mutex);
    m_clock.setSource(std::move(steadyMs));
}

void TrendRecorder::setWallClock(std::function<qint64()> epochMs)
{
    QMutexLocker lock(&m_mutex);
    m_wallMs = std::move(epochMs);
}

void TrendRecorder::start()
{
    QMutexLocker lock(&m_mutex);
    m_rec.clear();
    m_savedGeneration = m_sampleGeneration;
    m_clock.restart();
    m_view.recording = true;
    m_view.recordTimeReached = false;
    m_view.dataEnd = m_view.pageLength;
    m_view.window = {0, m_view.pageLength};
}

void TrendRecorder::stop()
{
    QMutexLocker lock(&m_mutex);
    m_view.recording = false;
    m_view.dataEnd = m_view.window.upper;
}

void TrendRecorder::addSample(const QVector<bool> &requested, const QVector<int> &quantities)
{
    const MonitorData &data = monitorData();
    QMutexLocker lock(&m_mutex);
    if (!m_view.recording)
        return;  // a cycle that ended after the stop
    TrendCycle cycle;
    cycle.t = m_clock.seconds();
    if (cycle.t > m_view.recordTime) {
        m_view.recording = false;
        m_view.recordTimeReached = true;
        m_changed = true;
        return;
    }
    cycle.wallMs = m_wallMs();
    for (int i = 0; i < kChannels; ++i) {
        const int q = quantities.value(i, -1);
        const bool sampled = requested.value(i) && m_on[i] && q >= 0 && q < MonitorData::kSize;
        cycle.values[i] = sampled ? data.value(q) : std::numeric_limits<double>::quiet_NaN();
    }
    // Cycles faster than the clock's millisecond share one row, the newest
    // reading winning: a fast line cannot fill the memory with rows that
    // carry no time of their own.
    if (!m_rec.isEmpty() && m_rec.last().t == cycle.t) {
        TrendCycle &last = m_rec.at(m_rec.size() - 1);
        last.wallMs = cycle.wallMs;
        for (int i = 0; i < kChannels; ++i)
            if (TrendRecording::hasValue(cycle.values[i]))
                last.values[i] = cycle.values[i];
    } else {
        m_rec.append(cycle);
    }
    m_changed = true;
    ++m_sampleGeneration;
    if (m_view.window.follow(cycle.t))
        m_view.dataEnd = cycle.t;
}

bool TrendRecorder::setChannelOn(int channel, bool on)
{
    if (channel < 0 || channel >= kChannels)
        return false;
    QMutexLocker lock(&m_mutex);
    m_on[channel] = on;
    if (!on)
        m_rec.clearChannel(channel);
    return true;
}

void TrendRecorder::clear()
{
    QMutexLocker lock(&m_mutex);
    m_rec.clear();
    m_savedGeneration = m_sampleGeneration;
}

void TrendRecorder::clearChannel(int channel)
{
    QMutexLocker lock(&m_mutex);
    m_rec.clearChannel(channel);
}

void TrendRecorder::setRanges(const QVector<int> &ranges)
{
    QMutexLocker lock(&m_mutex);
    for (int i = 0; i < kChannels; ++i)
        m_view.ranges[i] = std::max(ranges.value(i, 1), 1);
    m_changed = true;
}

void TrendRecorder::setOffsets(const QVector<int> &offsets)
{
    QMutexLocker lock(&m_mutex);
    for (int i = 0; i < kChannels; ++i)
        m_view.offsets[i] = offsets.value(i);
}

void TrendRecorder::setPageAndRecordTime(double page, int recordTime)
{
    QMutexLocker lock(&m_mutex);
    m_view.pageLength = page;
    m_view.recordTime = recordTime;
    m_view.window = {0, page};
}

void TrendRecorder::setWindow(double lower, double upper)
{
    QMutexLocker lock(&m_mutex);
    m_view.window = {lower, upper};
}

TrendRecording TrendRecorder::recording() const
{
    QMutexLocker lock(&m_mutex);
    return m_rec;
}

int TrendRecorder::cycleCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_rec.size();
}

bool TrendRecorder::hasChanges() const
{
    QMutexLocker lock(&m_mutex);
    return m_changed;
}

bool TrendRecorder::hasUnsavedSamples() const
{
    QMutexLocker lock(&m_mutex);
    return !m_rec.isEmpty() && m_savedGeneration != m_sampleGeneration;
}

TrendRecording TrendRecorder::recordingToSave(quint64 *mark) const
{
    QMutexLocker lock(&m_mutex);
    *mark = m_sampleGeneration;
    return m_rec;
}

void TrendRecorder::markSaved(quint64 mark)
{
    QMutexLocker lock(&m_mutex);
    m_savedGeneration = mark;
}

TrendRecorder::Drawing TrendRecorder::drawing(int columns)
{
    Drawing d;
    d.points.resize(kChannels);
    QMutexLocker lock(&m_mutex);
    d.window = m_view.window;
    // One point beyond each edge, so that the lines reach the edges.
    const int from = std::max(m_rec.lowerBound(d.window.lower) - 1, 0);
    const int to = std::min(m_rec.lastAtOrBefore(d.window.upper) + 2, m_rec.size());
    if (from < to)
        d.points = visiblePoints(from, to, std::max(columns, 1));
    m_changed = false;
    return d;
}

QVector<QVector<QPointF>> TrendRecorder::visiblePoints(int from, int to, int columns) const
{
    QVector<QVector<QPointF>> points(kChannels);
    std::array<double, kChannels> scale, offset;
    for (int i = 0; i < kChannels; ++i) {
        scale[i] = kValueAxisMax / m_view.ranges[i];
        offset[i] = m_view.offsets[i];
    }
    auto add = [&](int i, int k) {
        const TrendCycle &c = m_rec.at(k);
        points[i].append(QPointF(c.t, c.values[i] * scale[i] + offset[i]));
    };
    const int n = to - from;
    if (n <= kPointsPerColumn * columns) {
        for (QVector<QPointF> &p : points)
            p.reserve(n);
        for (int k = from; k < to; ++k)
            for (int i = 0; i < kChannels; ++i)
                if (TrendRecording::hasValue(m_rec.at(k).values[i]))
                    add(i, k);
        return points;
    }
    // One pass over the cycles serves all channels; each column keeps its
    // values in time order.
    for (QVector<QPointF> &p : points)
        p.reserve(4 * columns);
    for (int b = 0; b < columns; ++b) {
        const int lo = from + int(qint64(n) * b / columns);
        const int hi = from + int(qint64(n) * (b + 1) / columns);
        std::array<int, kChannels> first, last, least, greatest;
        first.fill(-1);
        for (int k = lo; k < hi; ++k) {
            const TrendCycle &c = m_rec.at(k);
            for (int i = 0; i < kChannels; ++i) {
                const double v = c.values[i];
                if (!TrendRecording::hasValue(v))
                    continue;
                if (first[i] < 0) {
                    first[i] = least[i] = greatest[i] = k;
                } else if (v < m_rec.at(least[i]).values[i]) {
                    least[i] = k;
                } else if (v > m_rec.at(greatest[i]).values[i]) {
                    greatest[i] = k;
                }
                last[i] = k;
            }
        }
        for (int i = 0; i < kChannels; ++i) {
            if (first[i] < 0)
                continue;
            const int keep[4] = {first[i], std::min(least[i], greatest[i]),
                                 std::max(least[i], greatest[i]), last[i]};
            int previous = -1;
            for (int k : keep)
                if (k != previous) {
                    add(i, k);
                    previous = k;
                }
        }
    }
    return points;
}

TrendRecorder::ReadOut TrendRecorder::readOut(double seconds,
                                              const std::array<bool, kChannels> &asked) const
{
    ReadOut r;
    QMutexLocker lock(&m_mutex);
    r.beyond = m_rec.isEmpty() || seconds > m_rec.last().t;
    if (r.beyond)
        return r;
    // The cycle in effect at that time, and the reach: 0.1 s, or the
    // cycle's length where the line is slower than that.
    const int at = m_rec.lastAtOrBefore(seconds);
    double reach = kReadOutReach;
    if (at >= 0 && at + 1 < m_rec.size())
        reach = std::max(reach, m_rec.at(at + 1).t - m_rec.at(at).t);
    for (int i = 0; i < kChannels; ++i) {
        if (!asked[i])
            continue;
        for (int k = at; k >= 0 && m_rec.at(k).t >= seconds - reach; --k) {
            const double v = m_rec.at(k).values[i];
            if (TrendRecording::hasValue(v)) {
                r.values[i] = v;
                r.found[i] = r.any = true;
                break;
            }
        }
    }
    return r;
}

TrendRecorder::Latest TrendRecorder::latest() const
{
    Latest l;
    QMutexLocker lock(&m_mutex);
    int missing = kChannels;
    const int stop = std::max(m_rec.size() - kLatestReach, 0);
    for (int k = m_rec.size() - 1; k >= stop && missing > 0; --k) {
        const TrendCycle &c = m_rec.at(k);
        for (int i = 0; i < kChannels; ++i) {
            if (!l.found[i] && TrendRecording::hasValue(c.values[i])) {
                l.values[i] = c.values[i];
                l.found[i] = true;
                --missing;
            }
        }
    }
    return l;
}
