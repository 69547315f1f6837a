#include "plot.h"

#include "parameters/atomicfile.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>

#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>

Plot::Plot(QWidget *parent) : Plot(1, 60, 70, parent) {}

Plot::Plot(int curveCount, double pageWidth, double valueMax, QWidget *parent)
    : PlotBase(parent), m_samples(curveCount, pageWidth, valueMax)
{
    buildAxes(pageWidth, valueMax, nullptr, false);
    for (int i = 0; i < m_samples.curveCount(); ++i) {
        auto *c = new QwtPlotCurve;
        if (i == 0)
            c->setPen(QPen(Qt::green));
        else if (i == 1 && m_samples.curveCount() == 2)
            c->setPen(QPen(Qt::blue));
        // Close points of a long page collapse to one per pixel; what lies
        // outside the canvas is not drawn.
        c->setPaintAttribute(QwtPlotCurve::FilterPoints, true);
        c->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        c->attach(this);
        m_curves.append(c);
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

void Plot::start()
{
    m_samples.start();
    setAxes(m_samples.window());
    startRefresh();
}

void Plot::stop() { stopRefresh(); }

void Plot::setRanges(double seconds, double max)
{
    m_samples.setRanges(seconds, max);
    setAxes(m_samples.window());
    replot();
}

void Plot::setAxes(const ScrollingSamples::Window &window)
{
    setAxisScale(QwtPlot::xBottom, window.time.lower, window.time.upper);
    setAxisScale(QwtPlot::yLeft, 0, window.valueUpper);
}

void Plot::updateCurve()
{
    ScrollingSamples::Window window;
    const QVector<QVector<QPointF>> points = m_samples.drawing(&window);
    for (int i = 0; i < m_curves.size(); ++i)
        m_curves.at(i)->setSamples(points.at(i));
    setAxes(window);
    replot();
}

void Plot::clearCurve(int n)
{
    if (m_samples.clearCurve(n))
        updateCurve();
}

void Plot::clearAllCurve()
{
    m_samples.clearAll();
    updateCurve();
}

void Plot::saveData(const QVector<QAbstractButton *> &checks, const QVector<QLineEdit *> &names,
                    const SaveFailureWording &failure)
{
    const QString fileName = askFileName(tr("Save Data"), QStringLiteral("*.xls"));
    if (fileName.isEmpty())
        return;
    QVector<bool> checked;
    QStringList captions;
    for (int i = 0; i < checks.size(); ++i) {
        checked.append(checks.at(i) && checks.at(i)->isChecked());
        captions.append(names.value(i) ? names.at(i)->text() : QString());
    }
    // Only what the axis shows, once the plot has shown anything.
    const QwtInterval shown = axisInterval(QwtPlot::xBottom);
    const QByteArray bytes = m_samples.text(checked, captions, shown.minValue(), shown.maxValue(),
                                            shown.maxValue() <= 0.001);
    writeFile(
        fileName, [&](QString *error) { return writeFileAtomically(fileName, bytes, error); },
        failure);
}
