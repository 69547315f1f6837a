#include "plot.h"

#include "timescaledraw.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTextStream>
#include <QTimer>

#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_div.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kRefreshMs = 30;

// A whole number in full (a 32-bit RAM value has ten digits, which the
// stream's default six significant digits would round), others as before.
QString valueText(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 9.0e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 6);
}
// Points the front of a series may hold before it is compacted.
constexpr int kSlack = 4096;
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

Plot::Plot(QWidget *parent) : Plot(1, 60, 70, parent) {}

Plot::Plot(int curveCount, double pageWidth, double valueMax, QWidget *parent)
    : QwtPlot(parent), m_refresh(new QTimer(this))
{
    m_series.resize(qMax(curveCount, 0) + 1);
    m_pageWidth = pageWidth;
    m_upper = pageWidth;
    m_valueMax = valueMax;
    m_valueUpper = valueMax;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    m_nowMs = [clock] { return clock->elapsed(); };
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };
    for (int i = 0; i < curveCount; ++i)
        m_curves.append(new QwtPlotCurve);
    build();
    connect(m_refresh, &QTimer::timeout, this, &Plot::refreshTick);
}

Plot::~Plot() { m_refresh->stop(); }

void Plot::build()
{
    setAutoReplot(false);
    setAxisScaleDraw(QwtPlot::xBottom, new TimeScaleDraw);
    setAxisLabelAlignment(QwtPlot::xBottom, Qt::AlignLeft | Qt::AlignBottom);
    setAxisScale(QwtPlot::xBottom, 0, m_pageWidth);
    setAxisScale(QwtPlot::yLeft, 0, m_valueMax);
    plotLayout()->setAlignCanvasToScales(true);

    auto *grid = new QwtPlotGrid;
    const QPen dotted(Qt::gray, 0, Qt::DotLine);
    grid->setMajorPen(dotted);
    grid->setMinorPen(dotted);
    grid->enableX(true);
    grid->enableXMin(true);
    grid->enableY(true);
    grid->enableYMin(false);
    grid->attach(this);

    for (int i = 0; i < m_curves.size(); ++i) {
        QwtPlotCurve *c = m_curves.at(i);
        if (i == 0)
            c->setPen(QPen(Qt::green));
        else if (i == 1 && m_curves.size() == 2)
            c->setPen(QPen(Qt::blue));
        // Close points of a long page collapse to one per pixel; what lies
        // outside the canvas is not drawn.
        c->setPaintAttribute(QwtPlotCurve::FilterPoints, true);
        c->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        c->attach(this);
    }
    retranslate();
}

void Plot::retranslate() { setAxisTitle(QwtPlot::yLeft, tr("y -- > Value")); }

void Plot::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QwtPlot::changeEvent(event);
}

void Plot::setClock(std::function<qint64()> nowMs)
{
    QMutexLocker lock(&m_mutex);
    m_nowMs = std::move(nowMs);
    m_originMs = m_nowMs();
}

void Plot::setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }

double Plot::nowSeconds() const { return double(m_nowMs() - m_originMs) / 1000.0; }

void Plot::start()
{
    {
        QMutexLocker lock(&m_mutex);
        m_originMs = m_nowMs();
        for (PointSeries &s : m_series)
            s.clear();
        m_lower = 0;
        m_upper = m_pageWidth;
        m_valueUpper = m_valueMax;
        m_changed = true;
    }
    setAxesToWindows();
    m_refresh->start(kRefreshMs);
}

void Plot::stop() { m_refresh->stop(); }

bool Plot::isRefreshing() const { return m_refresh->isActive(); }

void Plot::setRanges(double seconds, double max)
{
    {
        QMutexLocker lock(&m_mutex);
        m_lower = 0;
        m_upper = seconds;
        m_valueUpper = max;
        m_pageWidth = seconds;
        m_valueMax = max;
        m_changed = true;
    }
    setAxesToWindows();
    replot();
}

void Plot::addSample(double value, bool step)
{
    QMutexLocker lock(&m_mutex);
    const double t = nowSeconds();
    if (m_series.size() > 1) {  // a plot of no curves keeps its time track alone
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
    if (t > m_upper)
        scrollTo(t);
}

void Plot::addChannelSamples(const QByteArray &flags, const QVector<quint32> &values)
{
    QMutexLocker lock(&m_mutex);
    const double t = nowSeconds();
    const int curves = m_series.size() - 1;
    for (int i = 0; i < curves && i < flags.size(); ++i) {
        if (flags.at(i) != 0)
            m_series[i].append(QPointF(t, double(values.value(i))));
    }
    m_series.last().append(QPointF(t, -1));
    m_changed = true;
    if (t > m_upper)
        scrollTo(t);
}

// The window moves on to end at the newest point; every series then keeps
// its points inside the window and one to the left of it. The rule is on
// time, so a curve cleared during a run (shorter than the time track) or
// one with extra step points is trimmed like the rest.
void Plot::scrollTo(double t)
{
    m_lower += t - m_upper;
    m_upper = t;
    for (PointSeries &s : m_series) {
        while (s.size() >= 2 && s.at(1).x() < m_lower)
            s.dropFront();
    }
}

void Plot::setAxesToWindows()
{
    double lower, upper, valueUpper;
    {
        QMutexLocker lock(&m_mutex);
        lower = m_lower;
        upper = m_upper;
        valueUpper = m_valueUpper;
    }
    setAxisScale(QwtPlot::xBottom, lower, upper);
    setAxisScale(QwtPlot::yLeft, 0, valueUpper);
}

void Plot::refreshTick()
{
    bool changed;
    {
        QMutexLocker lock(&m_mutex);
        changed = m_changed;
    }
    // Nothing new since the last picture: nothing to draw.
    if (changed)
        updateCurve();
}

void Plot::updateCurve()
{
    {
        QMutexLocker lock(&m_mutex);
        for (int i = 0; i < m_curves.size(); ++i)
            m_curves.at(i)->setSamples(m_series.at(i).toVector());
        m_changed = false;
    }
    setAxesToWindows();
    replot();
}

void Plot::clearCurve(int n)
{
    {
        QMutexLocker lock(&m_mutex);
        if (n < 0 || n >= m_series.size() - 1)
            return;
        m_series[n].clear();
    }
    updateCurve();
}

void Plot::clearAllCurve()
{
    {
        QMutexLocker lock(&m_mutex);
        for (PointSeries &s : m_series)
            s.clear();
    }
    updateCurve();
}

double Plot::timeLower() const
{
    QMutexLocker lock(&m_mutex);
    return m_lower;
}

double Plot::timeUpper() const
{
    QMutexLocker lock(&m_mutex);
    return m_upper;
}

double Plot::valueUpper() const
{
    QMutexLocker lock(&m_mutex);
    return m_valueUpper;
}

double Plot::pageWidth() const
{
    QMutexLocker lock(&m_mutex);
    return m_pageWidth;
}

double Plot::valueMaximum() const
{
    QMutexLocker lock(&m_mutex);
    return m_valueMax;
}

QVector<QPointF> Plot::series(int i) const
{
    QMutexLocker lock(&m_mutex);
    return i >= 0 && i < m_series.size() ? m_series.at(i).toVector() : QVector<QPointF>();
}

void Plot::saveData(const QVector<QAbstractButton *> &checks, const QVector<QLineEdit *> &names)
{
    const QString fileName =
        m_askFileName(this, tr("Save Data"), QDir::currentPath(), QStringLiteral("*.xls"));
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream out(&file);
    const int curves = qMin(curveCount(), checks.size());
    QVector<bool> checked(curves);
    for (int i = 0; i < curves; ++i) {
        checked[i] = checks.at(i) && checks.at(i)->isChecked();
        if (checked[i])
            out << (names.value(i) ? names.at(i)->text() : QString()) << "H\t";
    }
    out << '\n';

    QVector<QVector<QPointF>> data;
    for (int i = 0; i <= curveCount(); ++i)
        data.append(series(i));
    // Only what the axis shows, once the plot has shown anything. A row is
    // one time-track point: each channel's value of that same moment, or
    // an empty field where the channel has none (switched off, cleared, or
    // started late), so that values of different moments never share a row.
    const QwtInterval shown = axisInterval(QwtPlot::xBottom);
    const bool window = shown.maxValue() > 0.001;
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
            if (!checked[i])
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
        const bool visible = !window || (t >= shown.minValue() && t <= shown.maxValue());
        for (int r = 0; visible && r < n; ++r) {
            for (int i = 0; i < curves; ++i) {
                if (!checked[i])
                    continue;
                if (r < moment.at(i).size())
                    out << valueText(moment.at(i).at(r)) << "D";
                out << '\t';
            }
            out << '\n';
        }
        g = end;
    }
}
