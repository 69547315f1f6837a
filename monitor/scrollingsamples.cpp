#include "scrollingsamples.h"

#include <algorithm>
#include <cmath>

namespace {
// Points the front of a series may hold before it is compacted.
constexpr int kSlack = 4096;

// A whole number in full (a 32-bit RAM value has ten digits, which six
// significant digits would round), others to six significant digits.
QString valueText(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 9.0e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 6);
}
}  // namespace

void PointSeries::dropFront()
{
    if (isEmpty())
        return;
    ++m_head;
    if (m_head >= kSlack && m_head * 2 >= m_points.size()) {
        m_points.remove(0, m_head);
        m_head = 0;
    }
}

QVector<QPointF> PointSeries::toVector() const
{
    QVector<QPointF> copy(size());
    std::copy(m_points.cbegin() + m_head, m_points.cend(), copy.begin());
    return copy;
}

void PointSeries::clear()
{
    m_points.clear();
    m_head = 0;
}

ScrollingSamples::ScrollingSamples(int curveCount, double pageWidth, double valueMax)
    : m_curveCount(std::max(curveCount, 0))
{
    m_series.resize(m_curveCount + 1);
    m_window.time = {0, pageWidth};
    m_window.valueUpper = valueMax;
    m_window.pageWidth = pageWidth;
    m_window.valueMax = valueMax;
}

ScrollingSamples::Window ScrollingSamples::window() const
{
    QMutexLocker lock(&m_mutex);
    return m_window;
}

QVector<QPointF> ScrollingSamples::series(int i) const
{
    QMutexLocker lock(&m_mutex);
    return i >= 0 && i < m_series.size() ? m_series.at(i).toVector() : QVector<QPointF>();
}

bool ScrollingSamples::hasChanges() const
{
    QMutexLocker lock(&m_mutex);
    return m_changed;
}

QVector<QVector<QPointF>> ScrollingSamples::drawing(Window *window)
{
    QMutexLocker lock(&m_mutex);
    QVector<QVector<QPointF>> curves;
    for (int i = 0; i < m_curveCount; ++i)
        curves.append(m_series.at(i).toVector());
    m_changed = false;
    *window = m_window;
    return curves;
}

void ScrollingSamples::setClock(std::function<qint64()> nowMs)
{
    QMutexLocker lock(&m_mutex);
    m_clock.setSource(std::move(nowMs));
}

void ScrollingSamples::start()
{
    QMutexLocker lock(&m_mutex);
    m_clock.restart();
    for (PointSeries &s : m_series)
        s.clear();
    m_window.time = {0, m_window.pageWidth};
    m_window.valueUpper = m_window.valueMax;
    m_changed = true;
}

void ScrollingSamples::setRanges(double seconds, double max)
{
    QMutexLocker lock(&m_mutex);
    m_window.time = {0, seconds};
    m_window.valueUpper = max;
    m_window.pageWidth = seconds;
    m_window.valueMax = max;
    m_changed = true;
}

void ScrollingSamples::addSample(double value, bool step)
{
    QMutexLocker lock(&m_mutex);
    const double t = m_clock.seconds();
    if (m_curveCount > 0) {  // no curves: the time track alone
        PointSeries &curve = m_series[0];
        if (step && !curve.isEmpty()) {
            const double last = std::trunc(curve.last().y());
            if (last != std::trunc(value))
                curve.append(QPointF(t, last));
        }
        curve.append(QPointF(t, value));
    }
    m_series.last().append(QPointF(t, -1));
    m_changed = true;
    scrollTo(t);
}

void ScrollingSamples::addChannelSamples(const QByteArray &flags, const QVector<quint32> &values)
{
    QMutexLocker lock(&m_mutex);
    const double t = m_clock.seconds();
    for (int i = 0; i < m_curveCount && i < flags.size(); ++i) {
        if (flags.at(i) != 0)
            m_series[i].append(QPointF(t, double(values.value(i))));
    }
    m_series.last().append(QPointF(t, -1));
    m_changed = true;
    scrollTo(t);
}

// The window moves on to end at the newest point; every series then keeps
// its points inside the window and one to the left of it. The rule is on
// time, so a curve cleared during a run (shorter than the time track) or
// one with extra step points is trimmed like the rest.
void ScrollingSamples::scrollTo(double t)
{
    if (!m_window.time.follow(t))
        return;
    const double lower = m_window.time.lower;
    for (PointSeries &s : m_series) {
        while (s.size() >= 2 && s.at(1).x() < lower)
            s.dropFront();
    }
}

bool ScrollingSamples::clearCurve(int n)
{
    QMutexLocker lock(&m_mutex);
    if (n < 0 || n >= m_curveCount)
        return false;
    m_series[n].clear();
    return true;
}

void ScrollingSamples::clearAll()
{
    QMutexLocker lock(&m_mutex);
    for (PointSeries &s : m_series)
        s.clear();
}

QByteArray ScrollingSamples::text(const QVector<bool> &checked, const QStringList &names,
                                  double shownLower, double shownUpper, bool whole) const
{
    QVector<QVector<QPointF>> data;
    {
        QMutexLocker lock(&m_mutex);
        for (const PointSeries &s : m_series)
            data.append(s.toVector());
    }
    const int curves = std::min(m_curveCount, int(checked.size()));
    QString out;
    for (int i = 0; i < curves; ++i) {
        if (checked.at(i))
            out += names.value(i) + QLatin1String("H\t");
    }
    out += QLatin1Char('\n');

    // A row is one time-track point: each channel's value of that same
    // moment, or an empty field where the channel has none (switched off,
    // cleared, or started late), so that values of different moments never
    // share a row.
    const QVector<QPointF> &ticks = data.last();
    QVector<int> next(curves, 0);
    // Samples of one moment (the same millisecond) form a group: the n
    // time-track points of the group take a curve's points of that moment
    // in order, the last n when there are more (a step point comes before
    // its value), the first ones when there are fewer.
    for (int g = 0; g < ticks.size();) {
        const double t = ticks.at(g).x();
        int end = g;
        while (end < ticks.size() && ticks.at(end).x() == t)
            ++end;
        const int n = end - g;
        QVector<QVector<double>> moment(curves);
        for (int i = 0; i < curves; ++i) {
            if (!checked.at(i))
                continue;
            const QVector<QPointF> &points = data.at(i);
            int &k = next[i];
            while (k < points.size() && points.at(k).x() < t)
                ++k;
            while (k < points.size() && points.at(k).x() == t)
                moment[i].append(points.at(k++).y());
            if (moment[i].size() > n)
                moment[i] = moment[i].mid(moment[i].size() - n);
        }
        const bool visible = whole || (t >= shownLower && t <= shownUpper);
        for (int r = 0; visible && r < n; ++r) {
            for (int i = 0; i < curves; ++i) {
                if (!checked.at(i))
                    continue;
                if (r < moment.at(i).size())
                    out += valueText(moment.at(i).at(r)) + QLatin1Char('D');
                out += QLatin1Char('\t');
            }
            out += QLatin1Char('\n');
        }
        g = end;
    }
#ifdef Q_OS_WIN
    out.replace(QLatin1String("\n"), QLatin1String("\r\n"));
#endif
    return out.toUtf8();
}
