#include "plotbase.h"

#include "timescaledraw.h"

#include "base/userinteraction.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>

namespace {
constexpr int kRefreshMs = 30;
}  // namespace

PlotBase::PlotBase(QWidget *parent) : QwtPlot(parent), m_refresh(new QTimer(this))
{
    m_askFileName = fileDialogAsker();
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

void PlotBase::setFileNameAsker(FileNameAsker asker) { m_askFileName = filtered(std::move(asker)); }

PlotBase::FilteredFileNameAsker PlotBase::filtered(FileNameAsker asker)
{
    return [asker](QWidget *p, const QString &caption, const QString &dir, const QString &filter,
                   QString *selected) {
        if (selected)
            *selected = filter.section(QStringLiteral(";;"), 0, 0);
        return asker(p, caption, dir, filter);
    };
}

PlotBase::FilteredFileNameAsker PlotBase::fileDialogAsker()
{
    return [](QWidget *p, const QString &caption, const QString &dir, const QString &filter,
              QString *selected) {
        return QFileDialog::getSaveFileName(p, caption, dir, filter, selected);
    };
}

QString PlotBase::filterEnding(const QString &filter)
{
    const int star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return QString();
    QString ending = filter.mid(star + 2);
    const int end = ending.indexOf(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    return end < 0 ? ending : ending.left(end);
}

QString PlotBase::withFilterEnding(const QString &name, const QString &selectedFilter)
{
    const QString ending = filterEnding(selectedFilter);
    if (ending.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    // "name." has an empty ending too: no second dot.
    return name.endsWith(QLatin1Char('.')) ? name + ending : name + QLatin1Char('.') + ending;
}

QString PlotBase::askFileName(const QString &caption, const QString &filter,
                              QString *selectedFilter)
{
    QString chosen;
    const QString name = m_askFileName(this, caption, QDir::currentPath(), filter, &chosen);
    if (selectedFilter)
        *selectedFilter = chosen;
    return name;
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
