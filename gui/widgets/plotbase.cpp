#include "plotbase.h"

#include "timescaledraw.h"

#include "base/userinteraction.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>

namespace {
constexpr int kRefreshMs = 30;
}  // namespace

PlotBase::PlotBase(QWidget *parent) : QwtPlot(parent), m_refresh(new QTimer(this))
{
    m_askFileName = [](QWidget *p, const QString &caption, const QString &dir,
                       const QString &filter) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter);
    };
    connect(m_refresh, &QTimer::timeout, this, &PlotBase::refreshTick);
}

PlotBase::~PlotBase() { m_refresh->stop(); }

void PlotBase::buildAxes(double seconds, double valueMax, QwtScaleDraw *valueDraw,
                         bool valueMinorGrid)
{
    setAutoReplot(false);
    setAxisScaleDraw(QwtPlot::xBottom, new TimeScaleDraw);
    setAxisLabelAlignment(QwtPlot::xBottom, Qt::AlignLeft | Qt::AlignBottom);
    if (valueDraw)
        setAxisScaleDraw(QwtPlot::yLeft, valueDraw);
    setAxisScale(QwtPlot::xBottom, 0, seconds);
    setAxisScale(QwtPlot::yLeft, 0, valueMax);
    plotLayout()->setAlignCanvasToScales(true);

    auto *grid = new QwtPlotGrid;
    const QPen dotted(Qt::gray, 0, Qt::DotLine);
    grid->setMajorPen(dotted);
    grid->setMinorPen(dotted);
    grid->enableX(true);
    grid->enableXMin(true);
    grid->enableY(true);
    grid->enableYMin(valueMinorGrid);
    grid->attach(this);
}

void PlotBase::startRefresh() { m_refresh->start(kRefreshMs); }

void PlotBase::stopRefresh() { m_refresh->stop(); }

bool PlotBase::isRefreshing() const { return m_refresh->isActive(); }

// Nothing new since the last picture: nothing to draw.
void PlotBase::refreshTick()
{
    if (hasNewSamples())
        updateCurve();
}

QString PlotBase::askFileName(const QString &caption, const QString &filter)
{
    return m_askFileName(this, caption, QDir::currentPath(), filter);
}

bool PlotBase::writeFile(const QString &fileName, const std::function<bool(QString *)> &write,
                         const SaveFailureWording &wording)
{
    QString error;
    if (write(&error))
        return true;
    userInteraction()->warning(wording.title,
                               wording.text.arg(QDir::toNativeSeparators(fileName), error));
    return false;
}
