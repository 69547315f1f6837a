#pragma once

#include <QByteArray>
#include <QMutex>
#include <QPointF>
#include <QVector>

#include <qwt_plot.h>

#include <functional>

class QAbstractButton;
class QLineEdit;
class QTimer;
class QwtPlotCurve;

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

// The scrolling sample chart: curves of values against the seconds since
// start(), plus a time track with one point per sample cycle. The thread
// that reads the drive appends (addSample, addChannelSamples); the GUI
// thread redraws every 30 ms. The window keeps the last page width of time:
// every series holds the points inside it and one point to its left, so
// memory and redraw time stay bounded however long it runs.
class Plot : public QwtPlot
{
    Q_OBJECT
public:
    // One curve, 60 seconds per page, values up to 70 (the monitor page's).
    explicit Plot(QWidget *parent = nullptr);
    Plot(int curveCount, double pageWidth, double valueMax, QWidget *parent = nullptr);
    ~Plot() override;

    int curveCount() const { return m_curves.size(); }
    QwtPlotCurve *curve(int i) const { return m_curves.value(i); }

    // Seconds per page and the value maximum: the windows start at 0 again.
    void setRanges(double seconds, double max);
    // A value of curve 0 (any thread). With `step`, a change of the value's
    // integer part is drawn as a step.
    void addSample(double value, bool step);
    // For each curve whose flag byte is not zero, values[i] read as an
    // unsigned number (any thread).
    void addChannelSamples(const QByteArray &flags, const QVector<quint32> &values);
    // "Save Data": the checked curves' visible points as tab-separated text.
    void saveData(const QVector<QAbstractButton *> &checks, const QVector<QLineEdit *> &names);

    // The time window (seconds) and the value window's upper bound.
    double timeLower() const;
    double timeUpper() const;
    double valueUpper() const;
    double pageWidth() const;
    double valueMaximum() const;
    // A copy of series i; series curveCount() is the time track.
    QVector<QPointF> series(int i) const;
    bool isRefreshing() const;

    // Where the times come from: milliseconds of a steady clock (tests).
    void setClock(std::function<qint64()> nowMs);
    // Asks for the file "Save Data" writes (a file dialog by default).
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    void setFileNameAsker(FileNameAsker asker);

public slots:
    void start();
    void stop();
    void clearCurve(int n);
    void clearAllCurve();
    void updateCurve();

protected:
    void changeEvent(QEvent *event) override;

private:
    void build();
    void retranslate();
    void refreshTick();
    // Under the mutex.
    double nowSeconds() const;
    void scrollTo(double t);
    void setAxesToWindows();

    QVector<QwtPlotCurve *> m_curves;
    QTimer *m_refresh;
    FileNameAsker m_askFileName;

    mutable QMutex m_mutex;  // everything below
    QVector<PointSeries> m_series;  // curves, then the time track
    double m_lower = 0;
    double m_upper = 60;
    double m_valueUpper = 70;
    double m_pageWidth = 60;
    double m_valueMax = 70;
    std::function<qint64()> m_nowMs;
    qint64 m_originMs = 0;
    bool m_changed = false;  // since the last redraw
};
