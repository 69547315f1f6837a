#include "advanceplot.h"

#include "yscaledraw.h"

#include "monitor/monitordata.h"
#include "base/userinteraction.h"
#include "gui/widgets/timescaledraw.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QTimer>

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int kRefreshMs = 30;
constexpr int kLateRefreshMs = 500;
// A read-out takes a sample at most this long before the pointer's time.
constexpr double kReadOutReach = 0.1;
// Drawn points per canvas pixel before a window is thinned to the least and
// greatest value of each pixel column.
constexpr int kPointsPerPixel = 4;
// A curve of the trend chart. A dense window (a point or more per pixel
// column) zigzags up and down from column to column; stroking that with a
// wide pen costs Qt's rasteriser up to a hundred times a thin one, so a
// dense curve is drawn as side-by-side copies one pixel wide, which cover
// the same pixels.
class TrendCurve : public QwtPlotCurve
{
public:
    bool thinned = false;

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override
    {
        const int width = qRound(pen().widthF());
        if (!thinned || width <= 1) {
            QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
            return;
        }
        QPen thin = painter->pen();
        thin.setWidth(1);
        painter->setPen(thin);
        const int lowest = -(width - 1) / 2;
        QVector<QPoint> shifts;
        for (int d = lowest; d < lowest + width; ++d) {
            shifts.append(QPoint(d, 0));
            if (d != 0)
                shifts.append(QPoint(0, d));
        }
        for (const QPoint &shift : qAsConst(shifts)) {
            painter->save();
            painter->translate(shift);
            QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
            painter->restore();
        }
    }
};

const Qt::GlobalColor kColours[AdvancePlot::kChannels] = {
    Qt::green, Qt::blue, Qt::darkRed, Qt::magenta, Qt::yellow, Qt::black, Qt::gray, Qt::darkCyan};
}  // namespace

AdvancePlot::AdvancePlot(QWidget *parent)
    : QwtPlot(parent), m_marker(new QwtPlotMarker), m_refresh(new QTimer(this))
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    m_nowMs = [clock] { return clock->elapsed(); };
    m_wallMs = [] { return QDateTime::currentMSecsSinceEpoch(); };
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };
    m_ranges.fill(1);
    build();
    connect(m_refresh, &QTimer::timeout, this, &AdvancePlot::refreshTick);
}

AdvancePlot::~AdvancePlot() { m_refresh->stop(); }

void AdvancePlot::build()
{
    setAutoReplot(false);
    setAxisScaleDraw(QwtPlot::xBottom, new TimeScaleDraw);
    setAxisLabelAlignment(QwtPlot::xBottom, Qt::AlignLeft | Qt::AlignBottom);
    setAxisScaleDraw(QwtPlot::yLeft, new YScaleDraw);
    setAxisScale(QwtPlot::xBottom, 0, m_pageLength);
    setAxisScale(QwtPlot::yLeft, 0, kValueAxisMax);
    plotLayout()->setAlignCanvasToScales(true);

    auto *grid = new QwtPlotGrid;
    const QPen dotted(Qt::gray, 0, Qt::DotLine);
    grid->setMajorPen(dotted);
    grid->setMinorPen(dotted);
    grid->enableX(true);
    grid->enableXMin(true);
    grid->enableY(true);
    grid->enableYMin(true);
    grid->attach(this);

    for (int i = 0; i < kChannels; ++i) {
        auto *c = new TrendCurve;
        c->setStyle(QwtPlotCurve::Lines);
        c->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        c->setPen(QPen(QColor(kColours[i]), 2));
        c->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        c->attach(this);
        m_curves.append(c);
    }

    m_marker->setLineStyle(QwtPlotMarker::VLine);
    // Dark dashes: a white line would vanish on the light canvas. The label
    // is white on a dark box.
    m_marker->setLinePen(QPen(QColor(40, 40, 40), 1, Qt::DashLine));
    m_marker->setLabelAlignment(Qt::AlignRight | Qt::AlignBottom);
    m_marker->setVisible(false);
    m_marker->attach(this);

    canvas()->installEventFilter(this);
}

void AdvancePlot::changeEvent(QEvent *event) { QwtPlot::changeEvent(event); }

void AdvancePlot::setClock(std::function<qint64()> steadyMs)
{
    QMutexLocker lock(&m_mutex);
    m_nowMs = std::move(steadyMs);
    m_originMs = m_nowMs();
}

void AdvancePlot::setWallClock(std::function<qint64()> epochMs)
{
    QMutexLocker lock(&m_mutex);
    m_wallMs = std::move(epochMs);
}

double AdvancePlot::nowSeconds() const { return double(m_nowMs() - m_originMs) / 1000.0; }

void AdvancePlot::setXAxis(double lower, double upper)
{
    {
        QMutexLocker lock(&m_mutex);
        m_lower = lower;
        m_upper = upper;
    }
    setAxisScale(QwtPlot::xBottom, lower, upper);
}

// ---- recording -------------------------------------------------------------

void AdvancePlot::start()
{
    clearAllCurve();
    double page;
    {
        QMutexLocker lock(&m_mutex);
        m_originMs = m_nowMs();
        m_recording = true;
        page = m_pageLength;
        m_dataEnd = page;
    }
    m_refresh->start(kRefreshMs);
    setXAxis(0, page);
    setAxisScale(QwtPlot::yLeft, 0, kValueAxisMax);
    for (int i = 0; i < kChannels; ++i)
        showValue(i, QStringLiteral("0"));
    m_stoppedCount = 0;
}

void AdvancePlot::addSample(const QVector<bool> &requested, const QVector<int> &quantities)
{
    const MonitorData &data = monitorData();
    QMutexLocker lock(&m_mutex);
    if (!m_recording)
        return;  // a cycle that ended after the stop
    TrendCycle cycle;
    cycle.t = nowSeconds();
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
    if (cycle.t > m_upper) {
        // Scroll: same width, the newest sample at the right edge.
        m_lower += cycle.t - m_upper;
        m_upper = cycle.t;
        m_dataEnd = cycle.t;
    }
}

void AdvancePlot::setChannelOn(int channel, bool on)
{
    if (channel < 0 || channel >= kChannels)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_on[channel] = on;
        if (!on)
            m_rec.clearChannel(channel);
    }
    if (!on)
        updateCurve();
}

void AdvancePlot::stop()
{
    if (m_stoppedCount != 0)
        return;
    m_refresh->stop();
    QTimer::singleShot(kLateRefreshMs, this, &AdvancePlot::updateCurve);
    double lower, upper;
    {
        QMutexLocker lock(&m_mutex);
        m_recording = false;
        m_dataEnd = m_upper;
        const double width = m_upper - m_lower;
        if (m_recordTime < m_dataEnd) {
            // What lies beyond the record time goes, in every channel and
            // the time column alike.
            m_rec.truncate(m_rec.lastAtOrBefore(m_recordTime) + 1);
            if (m_recordTime <= width) {
                m_lower = 0;
                m_upper = width;
            } else {
                m_lower = m_recordTime - width;
                m_upper = m_recordTime;
            }
            m_dataEnd = m_recordTime;
        }
        lower = m_lower;
        upper = m_upper;
    }
    setXAxis(lower, upper);
    updateCurve();
    ++m_stoppedCount;
}

void AdvancePlot::clearAllCurve()
{
    {
        QMutexLocker lock(&m_mutex);
        m_rec.clear();
        m_savedGeneration = m_sampleGeneration;
    }
    for (int i = 0; i < kChannels; ++i)
        showValue(i, QStringLiteral("0"));
    updateCurve();
}

void AdvancePlot::clearCurve(int number)
{
    {
        QMutexLocker lock(&m_mutex);
        m_rec.clearChannel(number);
    }
    updateCurve();
}

void AdvancePlot::GetStepLength(QVector<int> stepLength)
{
    QMutexLocker lock(&m_mutex);
    // A range below 1 would divide by zero (or turn the curve over).
    for (int i = 0; i < kChannels; ++i)
        m_ranges[i] = std::max(stepLength.value(i, 1), 1);
    m_changed = true;
}

void AdvancePlot::setYOffsets(const QVector<QSpinBox *> &offsets)
{
    {
        QMutexLocker lock(&m_mutex);
        for (int i = 0; i < kChannels; ++i)
            m_offsets[i] = offsets.value(i) ? offsets.at(i)->value() : 0;
    }
    updateCurve();
}

void AdvancePlot::setChannelCheckBoxes(const QVector<QCheckBox *> &boxes) { m_checkBoxes = boxes; }

void AdvancePlot::setPageAndRecordTime(double page, int recordTime)
{
    {
        QMutexLocker lock(&m_mutex);
        m_pageLength = page;
        m_recordTime = recordTime;
    }
    setXAxis(0, page);
    updateCurve();
}

// ---- drawing ---------------------------------------------------------------

void AdvancePlot::refreshTick()
{
    bool changed;
    {
        QMutexLocker lock(&m_mutex);
        changed = m_changed;
    }
    if (changed)
        updateCurve();
}

QVector<QVector<QPointF>> AdvancePlot::visiblePoints(int from, int to, int buckets) const
{
    QVector<QVector<QPointF>> points(kChannels);
    std::array<double, kChannels> scale, offset;
    for (int i = 0; i < kChannels; ++i) {
        scale[i] = kValueAxisMax / m_ranges[i];
        offset[i] = m_offsets[i];
    }
    auto add = [&](int i, int k) {
        const TrendCycle &c = m_rec.at(k);
        points[i].append(QPointF(c.t, c.values[i] * scale[i] + offset[i]));
    };
    const int n = to - from;
    if (n <= kPointsPerPixel * buckets) {
        for (QVector<QPointF> &p : points)
            p.reserve(n);
        for (int k = from; k < to; ++k)
            for (int i = 0; i < kChannels; ++i)
                if (TrendRecording::hasValue(m_rec.at(k).values[i]))
                    add(i, k);
        return points;
    }
    // More points than pixels: each pixel column keeps its first, least,
    // greatest and last value of each channel, in time order, which draws
    // the same picture. One pass over the cycles serves all channels.
    for (QVector<QPointF> &p : points)
        p.reserve(4 * buckets);
    for (int b = 0; b < buckets; ++b) {
        const int lo = from + int(qint64(n) * b / buckets);
        const int hi = from + int(qint64(n) * (b + 1) / buckets);
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

void AdvancePlot::updateCurve()
{
    QVector<QVector<QPointF>> points(kChannels);
    double lower, upper;
    const int buckets = std::max(canvas()->width(), 100);
    {
        QMutexLocker lock(&m_mutex);
        lower = m_lower;
        upper = m_upper;
        // One point beyond each edge, so that the lines reach the edges.
        const int from = std::max(m_rec.lowerBound(lower) - 1, 0);
        const int to = std::min(m_rec.lastAtOrBefore(upper) + 2, m_rec.size());
        if (from < to)
            points = visiblePoints(from, to, buckets);
        m_changed = false;
    }
    for (int i = 0; i < kChannels; ++i) {
        // A dense window has a point or more per pixel column; smoothing
        // its edges adds nothing to the picture and costs most of the time.
        const bool thinned = points[i].size() >= buckets;
        m_curves[i]->setRenderHint(QwtPlotItem::RenderAntialiased, !thinned);
        static_cast<TrendCurve *>(m_curves[i])->thinned = thinned;
        m_curves[i]->setSamples(points[i]);
    }
    setAxisScale(QwtPlot::xBottom, lower, upper);
    if (!QApplication::mouseButtons())
        m_marker->setVisible(false);  // a read-out lasts while the button is held
    replot();
}

QVector<QPointF> AdvancePlot::drawnPoints(int channel) const
{
    QVector<QPointF> points;
    if (QwtPlotCurve *c = curve(channel))
        for (size_t k = 0; k < c->dataSize(); ++k)
            points.append(c->sample(int(k)));
    return points;
}

// ---- zoom and pointer ------------------------------------------------------

void AdvancePlot::zoomIn()
{
    const double width = xUpper() - xLower();
    if (width < 5)
        return;
    setXAxis(0, width * 0.75);
    updateCurve();
}

void AdvancePlot::zoomOut()
{
    const double width = xUpper() - xLower();
    if (xUpper() > 65535)
        return;
    setXAxis(0, width * 1.25);
    updateCurve();
}

double AdvancePlot::timeAt(int canvasX) const { return invTransform(QwtPlot::xBottom, canvasX); }

int AdvancePlot::canvasXOf(double seconds) const
{
    return qRound(transform(QwtPlot::xBottom, seconds));
}

bool AdvancePlot::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != canvas())
        return QwtPlot::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (!m_moveMode)
            return false;  // cursor mode: passed on
        const QPoint p = static_cast<QMouseEvent *>(event)->pos();
        m_pressX = invTransform(QwtPlot::xBottom, p.x());
        m_pressY = invTransform(QwtPlot::yLeft, p.y());
        event->accept();
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint p = static_cast<QMouseEvent *>(event)->pos();
        if (m_moveMode)
            dragTo(p.x());
        else
            readOut(invTransform(QwtPlot::xBottom, p.x()));
        return m_moveMode;
    }
    default:
        return QwtPlot::eventFilter(watched, event);
    }
}

void AdvancePlot::dragTo(int canvasX)
{
    const double dx = invTransform(QwtPlot::xBottom, canvasX) - m_pressX;
    double lo, hi, end;
    {
        QMutexLocker lock(&m_mutex);
        lo = m_lower;
        hi = m_upper;
        end = m_dataEnd;
    }
    const double width = hi - lo;
    if (dx > 0) {
        if (lo - dx < 0)
            setXAxis(0, width);
        else
            setXAxis(lo - dx, hi - dx);
    } else if (dx < 0) {
        if (hi - dx > end) {
            if (lo > 0)
                setXAxis(end - width, end);
            else
                return;
        } else {
            setXAxis(lo - dx, hi - dx);
        }
    } else {
        return;
    }
    updateCurve();
}

void AdvancePlot::showValue(int channel, const QString &text)
{
    if (m_valueFields[channel])
        m_valueFields[channel](text);
}

void AdvancePlot::readOut(double d)
{
    std::array<double, kChannels> found{};
    std::array<bool, kChannels> matched{};
    bool beyond = false;
    bool any = false;
    {
        QMutexLocker lock(&m_mutex);
        beyond = m_rec.isEmpty() || d > m_rec.last().t;
        if (!beyond) {
            for (int i = 0; i < kChannels; ++i) {
                if (m_checkBoxes.value(i) && !m_checkBoxes.at(i)->isChecked())
                    continue;
                // The latest sample of the channel not after d and within
                // reach of it: 0.1 s, or the cycle in effect at d where the
                // line is slower than that.
                const int at = m_rec.lastAtOrBefore(d);
                double reach = kReadOutReach;
                if (at >= 0 && at + 1 < m_rec.size())
                    reach = std::max(reach, m_rec.at(at + 1).t - m_rec.at(at).t);
                for (int k = at; k >= 0 && m_rec.at(k).t >= d - reach; --k) {
                    const double v = m_rec.at(k).values[i];
                    if (TrendRecording::hasValue(v)) {
                        found[i] = v;
                        matched[i] = any = true;
                        break;
                    }
                }
            }
        }
    }
    if (beyond) {
        for (int i = 0; i < kChannels; ++i)
            showValue(i, QStringLiteral("0"));
    } else if (any) {
        for (int i = 0; i < kChannels; ++i)
            showValue(i, matched[i] && found[i] >= 0 ? QString::number(found[i], 'f', 2)
                                                     : QStringLiteral("0"));
    }
    QwtText label(QString::number(d, 'f', 2));
    label.setColor(Qt::white);
    label.setBackgroundBrush(QColor(0, 0, 0, 150));
    m_marker->setLabel(label);
    m_marker->setXValue(d);
    m_marker->setVisible(true);
    replot();
}

// ---- state -----------------------------------------------------------------

TrendRecording AdvancePlot::recording() const
{
    QMutexLocker lock(&m_mutex);
    return m_rec;
}

int AdvancePlot::cycleCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_rec.size();
}

double AdvancePlot::xLower() const
{
    QMutexLocker lock(&m_mutex);
    return m_lower;
}

double AdvancePlot::xUpper() const
{
    QMutexLocker lock(&m_mutex);
    return m_upper;
}

double AdvancePlot::dataEnd() const
{
    QMutexLocker lock(&m_mutex);
    return m_dataEnd;
}

double AdvancePlot::pageLength() const
{
    QMutexLocker lock(&m_mutex);
    return m_pageLength;
}

int AdvancePlot::recordTime() const
{
    QMutexLocker lock(&m_mutex);
    return m_recordTime;
}

int AdvancePlot::range(int channel) const
{
    QMutexLocker lock(&m_mutex);
    return channel >= 0 && channel < kChannels ? m_ranges[channel] : 0;
}

int AdvancePlot::offset(int channel) const
{
    QMutexLocker lock(&m_mutex);
    return channel >= 0 && channel < kChannels ? m_offsets[channel] : 0;
}

bool AdvancePlot::isRecording() const
{
    QMutexLocker lock(&m_mutex);
    return m_recording;
}

bool AdvancePlot::isRefreshing() const { return m_refresh->isActive(); }

// ---- saving ----------------------------------------------------------------

void AdvancePlot::saveData(QVector<QCheckBox *> checkBoxIndex, QVector<QComboBox *> comboBoxIndex)
{
    const QString fileName =
        m_askFileName(this, tr("Save Data"), QDir::currentPath(),
                      QStringLiteral("XLS Files(*.xls);;TXT Files(*.txt)"));
    if (fileName.isEmpty())
        return;
    // The ending decides the format, exactly as written. A name with any
    // other ending writes nothing and leaves a file of that name alone.
    const QString suffix = QFileInfo(fileName).suffix();
    const bool workbook = suffix == QLatin1String("xls");
    if (!workbook && suffix != QLatin1String("txt")) {
        userInteraction()->warning(tr("Warning"),
                                   tr("Save the data in a file ending in .xls or .txt."));
        return;
    }
    TrendExport what;
    for (int i = 0; i < kChannels; ++i) {
        if (checkBoxIndex.value(i) && checkBoxIndex.at(i)->isChecked()) {
            what.channels.append(i);
            what.captions.append(comboBoxIndex.value(i) ? comboBoxIndex.at(i)->currentText()
                                                        : QString());
        }
    }
    what.systemTimeCaption = tr("System Time");
    what.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    // A copy: the file is written without holding the lock the monitor
    // thread takes every cycle.
    quint64 generation;
    TrendRecording rec;
    {
        QMutexLocker lock(&m_mutex);
        rec = m_rec;
        generation = m_sampleGeneration;
    }
    if (workbook && rec.size() > TrendFiles::workbookCapacity()) {
        userInteraction()->warning(
            tr("Warning"),
            tr("The recording has %1 samples; an .xls workbook holds %2. Save it as .txt, or "
               "record for a shorter time.")
                .arg(rec.size())
                .arg(TrendFiles::workbookCapacity()));
        return;
    }
    QString error;
    const bool ok = workbook ? TrendFiles::saveWorkbook(fileName, rec, what, &error)
                             : TrendFiles::saveText(fileName, rec, what, &error);
    if (!ok) {
        userInteraction()->warning(tr("Warning"), tr("Cannot write file %1:\n%2.")
                                                      .arg(QDir::toNativeSeparators(fileName),
                                                           error));
        return;
    }
    QMutexLocker lock(&m_mutex);
    m_savedGeneration = generation;  // samples that came meanwhile stay unsaved
}

bool AdvancePlot::hasUnsavedSamples() const
{
    QMutexLocker lock(&m_mutex);
    return !m_rec.isEmpty() && m_savedGeneration != m_sampleGeneration;
}
