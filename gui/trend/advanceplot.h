#pragma once

#include "gui/widgets/plotbase.h"
#include "monitor/trendrecording.h"

#include <QPointF>
#include <QVector>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QwtPlotCurve;
class QwtPlotMarker;

// The chart of the trend recorder: draws the eight channels of its
// TrendRecorder against the seconds since start(), handing each curve only
// the points of the visible time window, and lets the pointer zoom, drag
// and read values off. The monitor thread appends one cycle per poll
// (addSample); the GUI thread redraws every 30 ms.
class AdvancePlot : public PlotBase
{
    Q_OBJECT
public:
    static constexpr int kChannels = TrendRecorder::kChannels;
    static constexpr double kValueAxisMax = TrendRecorder::kValueAxisMax;

    explicit AdvancePlot(QWidget *parent = nullptr);

    QwtPlotCurve *curve(int i) const { return m_curves.value(i); }
    QwtPlotMarker *cursorMarker() const { return m_marker; }

    // Monitor thread, once per poll cycle (see TrendRecorder::addSample).
    void addSample(const QVector<bool> &requested, const QVector<int> &quantities)
    {
        m_rec.addSample(requested, quantities);
    }
    // Switches a channel on or off for sampling; off also forgets its points.
    void setChannelOn(int channel, bool on);
    void setPageAndRecordTime(double page, int recordTime);
    void setChannelCheckBoxes(const QVector<QCheckBox *> &boxes) { m_checkBoxes = boxes; }
    void setYOffsets(const QVector<QSpinBox *> &offsets);
    // In move mode a press and drag moves the time axis; otherwise a drag
    // reads the values under the pointer.
    void setMoveMode(bool move) { m_moveMode = move; }
    bool moveMode() const { return m_moveMode; }

    // State, for the window and tests.
    TrendRecording recording() const { return m_rec.recording(); }  // a copy
    int cycleCount() const { return m_rec.cycleCount(); }
    double xLower() const { return m_rec.view().window.lower; }
    double xUpper() const { return m_rec.view().window.upper; }
    double dataEnd() const { return m_rec.view().dataEnd; }
    double pageLength() const { return m_rec.view().pageLength; }
    int recordTime() const { return m_rec.view().recordTime; }
    int range(int channel) const;
    int offset(int channel) const;
    bool isRecording() const { return m_rec.view().recording; }
    // The recording ended by itself at the record time.
    bool recordTimeReached() const { return m_rec.view().recordTimeReached; }
    // Samples recorded since the last successful "Save Data" (or clear).
    bool hasUnsavedSamples() const { return m_rec.hasUnsavedSamples(); }
    // The points curve i draws now (after the last updateCurve()).
    QVector<QPointF> drawnPoints(int channel) const;
    // The time under a canvas x coordinate and back.
    double timeAt(int canvasX) const;
    int canvasXOf(double seconds) const;

    // Clocks: a steady one for the recording time and the wall clock of the
    // timestamps (tests and benchmarks run them by hand).
    void setClock(std::function<qint64()> steadyMs) { m_rec.setClock(std::move(steadyMs)); }
    void setWallClock(std::function<qint64()> epochMs) { m_rec.setWallClock(std::move(epochMs)); }
    // The read-out fields a cursor drag fills.
    void setValueFields(const std::array<std::function<void(const QString &)>, kChannels> &fields)
    {
        m_valueFields = fields;
    }
    // The cursor read-out at `seconds`, as a drag to there shows it.
    void readOut(double seconds);
    // Fills the value fields with each channel's newest sample.
    void showLatestValues();
    // The channel whose values label the value axis.
    void setAxisChannel(int channel);
    int axisChannel() const { return m_axisChannel; }
    // The value-axis label at a height of the axis (0 to kValueAxisMax).
    QString valueAxisLabel(double y) const;

public slots:
    void start();
    void zoomIn();
    void zoomOut();
    void clearAllCurve();
    void clearCurve(int number);
    void stop();
    void updateCurve() override;
    void saveData(QVector<QCheckBox *> checkBoxIndex, QVector<QComboBox *> comboBoxIndex);
    void GetStepLength(QVector<int> stepLength);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool hasNewSamples() const override { return m_rec.hasChanges(); }

private:
    void build();
    void setXAxis(double lower, double upper);
    void dragTo(int canvasX);
    void showValue(int channel, const QString &text);
    void showValues(const QString &text);
    void showReadOut(const TrendRecorder::ReadOut &r);
    void updateValueAxis();

    TrendRecorder m_rec;
    QVector<QwtPlotCurve *> m_curves;
    QwtPlotMarker *m_marker;
    QVector<QCheckBox *> m_checkBoxes;
    std::array<std::function<void(const QString &)>, kChannels> m_valueFields;
    bool m_moveMode = false;
    int m_axisChannel = 0;
    double m_pressX = -1;
    double m_pressY = -1;
    int m_stoppedCount = 1;  // not recording until start()
};
