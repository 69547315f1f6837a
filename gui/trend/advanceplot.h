#pragma once

#include "monitor/trendrecording.h"

#include <QMutex>
#include <QPointF>
#include <QVector>

#include <qwt_plot.h>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTimer;
class QwtPlotCurve;
class QwtPlotMarker;

// The chart of the trend recorder: eight curves of live quantities against
// the seconds since start(). The monitor thread appends one cycle per poll
// (addSample); the GUI thread redraws every 30 ms, handing each curve only
// the points of the visible time window. Every cycle is kept until the next
// start or "Clear All"; stop() cuts what lies beyond the record time.
//
// A channel's value v is drawn at v * 20 / range + offset on the shared
// 0..20 value axis.
class AdvancePlot : public QwtPlot
{
    Q_OBJECT
public:
    static constexpr int kChannels = TrendCycle::kChannels;
    static constexpr double kValueAxisMax = 20;

    explicit AdvancePlot(QWidget *parent = nullptr);
    ~AdvancePlot() override;

    QwtPlotCurve *curve(int i) const { return m_curves.value(i); }
    QwtPlotMarker *cursorMarker() const { return m_marker; }

    // Monitor thread, once per poll cycle: the channels whose request is set
    // (and that are switched on here) take the monitor value of their
    // quantity; a quantity outside 0..23 gives no sample. Nothing while
    // the plot is not recording.
    void addSample(const QVector<bool> &requested, const QVector<int> &quantities);
    // Switches a channel on or off for sampling; off also forgets its points.
    // Taken under the plot's lock, so that no sample of a channel switched
    // off slips in after it was cleared.
    void setChannelOn(int channel, bool on);
    void setPageAndRecordTime(double page, int recordTime);
    void setChannelCheckBoxes(const QVector<QCheckBox *> &boxes);
    void setYOffsets(const QVector<QSpinBox *> &offsets);
    // In move mode a press and drag moves the time axis; otherwise a drag
    // reads the values under the pointer.
    void setMoveMode(bool move) { m_moveMode = move; }
    bool moveMode() const { return m_moveMode; }

    // State, for the window and tests.
    TrendRecording recording() const;  // a copy
    int cycleCount() const;
    double xLower() const;
    double xUpper() const;
    double dataEnd() const;
    double pageLength() const;
    int recordTime() const;
    int range(int channel) const;
    int offset(int channel) const;
    bool isRecording() const;
    // Samples recorded since the last successful "Save Data" (or clear).
    bool hasUnsavedSamples() const;
    bool isRefreshing() const;
    // The points curve i draws now (after the last updateCurve()).
    QVector<QPointF> drawnPoints(int channel) const;
    // The time under a canvas x coordinate and back.
    double timeAt(int canvasX) const;
    int canvasXOf(double seconds) const;

    // Clocks: a steady one for the recording time and the wall clock of the
    // timestamps (tests and benchmarks run them by hand).
    void setClock(std::function<qint64()> steadyMs);
    void setWallClock(std::function<qint64()> epochMs);
    // Asks for the file "Save Data" writes (a file dialog by default).
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &caption,
                                                const QString &dir, const QString &filter)>;
    void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }
    // The read-out fields a cursor drag fills.
    void setValueFields(const std::array<std::function<void(const QString &)>, kChannels> &fields)
    {
        m_valueFields = fields;
    }
    // The cursor read-out at `seconds`, as a drag to there shows it.
    void readOut(double seconds);

public slots:
    void start();
    void zoomIn();
    void zoomOut();
    void clearAllCurve();
    void clearCurve(int number);
    void stop();
    void updateCurve();
    void saveData(QVector<QCheckBox *> checkBoxIndex, QVector<QComboBox *> comboBoxIndex);
    void GetStepLength(QVector<int> stepLength);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build();
    void setXAxis(double lower, double upper);
    void refreshTick();
    void dragTo(int canvasX);
    void showValue(int channel, const QString &text);
    // Under the mutex.
    double nowSeconds() const;
    QVector<QVector<QPointF>> visiblePoints(int from, int to, int buckets) const;

    QVector<QwtPlotCurve *> m_curves;
    QwtPlotMarker *m_marker;
    QTimer *m_refresh;
    QVector<QCheckBox *> m_checkBoxes;
    FileNameAsker m_askFileName;
    std::array<std::function<void(const QString &)>, kChannels> m_valueFields;
    bool m_moveMode = false;
    double m_pressX = -1;
    double m_pressY = -1;
    int m_stoppedCount = 1;  // not recording until start()

    mutable QMutex m_mutex;  // everything below
    TrendRecording m_rec;
    std::array<bool, kChannels> m_on{};
    std::array<int, kChannels> m_ranges{};
    std::array<int, kChannels> m_offsets{};
    double m_lower = 0;
    double m_upper = 30;
    double m_pageLength = 30;
    int m_recordTime = 1200;
    double m_dataEnd = 30;
    bool m_recording = false;
    bool m_changed = false;
    // Counts every sample taken; the count at the last save or clear.
    quint64 m_sampleGeneration = 0;
    quint64 m_savedGeneration = 0;
    std::function<qint64()> m_nowMs;
    std::function<qint64()> m_wallMs;
    qint64 m_originMs = 0;
};
