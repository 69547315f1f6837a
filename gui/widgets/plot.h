#pragma once

#include "plotbase.h"

#include "monitor/scrollingsamples.h"

#include <QByteArray>
#include <QPointF>
#include <QVector>

#include <functional>

class QAbstractButton;
class QLineEdit;
class QwtPlotCurve;

// The scrolling sample chart: draws the curves of its ScrollingSamples, one
// page width of time. The thread that reads the drive appends (addSample,
// addChannelSamples); the GUI thread redraws every 30 ms.
class Plot : public PlotBase
{
    Q_OBJECT
public:
    // One curve, 60 seconds per page, values up to 70 (the monitor page's).
    explicit Plot(QWidget *parent = nullptr);
    Plot(int curveCount, double pageWidth, double valueMax, QWidget *parent = nullptr);

    int curveCount() const { return m_curves.size(); }
    QwtPlotCurve *curve(int i) const { return m_curves.value(i); }

    // Seconds per page and the value maximum: the windows start at 0 again.
    void setRanges(double seconds, double max);
    // A value of curve 0 (any thread). With `step`, a change of the value's
    // integer part is drawn as a step.
    void addSample(double value, bool step) { m_samples.addSample(value, step); }
    // For each curve whose flag byte is not zero, values[i] read as an
    // unsigned number (any thread).
    void addChannelSamples(const QByteArray &flags, const QVector<quint32> &values)
    {
        m_samples.addChannelSamples(flags, values);
    }
    // "Save Data": the checked curves' visible points as tab-separated
    // text; the page that offers it words a failure.
    void saveData(const QVector<QAbstractButton *> &checks, const QVector<QLineEdit *> &names,
                  const SaveFailureWording &failure);

    // The time window (seconds) and the value window's upper bound.
    double timeLower() const { return m_samples.window().time.lower; }
    double timeUpper() const { return m_samples.window().time.upper; }
    double valueUpper() const { return m_samples.window().valueUpper; }
    double pageWidth() const { return m_samples.window().pageWidth; }
    double valueMaximum() const { return m_samples.window().valueMax; }
    // A copy of series i; series curveCount() is the time track.
    QVector<QPointF> series(int i) const { return m_samples.series(i); }

    // Where the times come from: milliseconds of a steady clock (tests).
    void setClock(std::function<qint64()> nowMs) { m_samples.setClock(std::move(nowMs)); }

public slots:
    void start();
    void stop();
    void clearCurve(int n);
    void clearAllCurve();
    void updateCurve() override;

protected:
    void changeEvent(QEvent *event) override;
    bool hasNewSamples() const override { return m_samples.hasChanges(); }

private:
    void retranslate();
    void setAxes(const ScrollingSamples::Window &window);

    ScrollingSamples m_samples;
    QVector<QwtPlotCurve *> m_curves;
};
