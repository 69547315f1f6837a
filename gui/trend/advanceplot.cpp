#include "advanceplot.h"

#include "trendcurve.h"
#include "yscaledraw.h"

#include "base/userinteraction.h"
#include "monitor/trendfiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTimer>

#include <qwt_plot_canvas.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>

#include <algorithm>

namespace {
constexpr int kLateRefreshMs = 500;

const Qt::GlobalColor kColours[AdvancePlot::kChannels] = {
    Qt::green, Qt::blue, Qt::darkRed, Qt::magenta, Qt::yellow, Qt::black, Qt::gray, Qt::darkCyan};
}  // namespace

AdvancePlot::AdvancePlot(QWidget *parent) : PlotBase(parent), m_marker(new QwtPlotMarker)
{
    build();
}

void AdvancePlot::build()
{
    buildAxes(m_rec.view().pageLength, kValueAxisMax, new YScaleDraw(kValueAxisMax), true);
    updateValueAxis();
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

void AdvancePlot::setXAxis(double lower, double upper)
{
    m_rec.setWindow(lower, upper);
    setAxisScale(QwtPlot::xBottom, lower, upper);
}

int AdvancePlot::range(int channel) const
{
    return channel >= 0 && channel < kChannels ? m_rec.view().ranges[channel] : 0;
}

int AdvancePlot::offset(int channel) const
{
    return channel >= 0 && channel < kChannels ? m_rec.view().offsets[channel] : 0;
}

// ---- recording -------------------------------------------------------------

void AdvancePlot::start()
{
    clearAllCurve();
    m_rec.start();
    startRefresh();
    setAxisScale(QwtPlot::xBottom, 0, m_rec.view().pageLength);
    setAxisScale(QwtPlot::yLeft, 0, kValueAxisMax);
    showValues(QStringLiteral("0"));
    m_stoppedCount = 0;
}

void AdvancePlot::setChannelOn(int channel, bool on)
{
    if (m_rec.setChannelOn(channel, on) && !on)
        updateCurve();
}

void AdvancePlot::stop()
{
    if (m_stoppedCount != 0)
        return;
    stopRefresh();
    QTimer::singleShot(kLateRefreshMs, this, &AdvancePlot::updateCurve);
    m_rec.stop();
    const TimeWindow window = m_rec.view().window;
    setAxisScale(QwtPlot::xBottom, window.lower, window.upper);
    updateCurve();
    ++m_stoppedCount;
}

void AdvancePlot::clearAllCurve()
{
    m_rec.clear();
    showValues(QStringLiteral("0"));
    updateCurve();
}

void AdvancePlot::clearCurve(int number)
{
    m_rec.clearChannel(number);
    updateCurve();
}

void AdvancePlot::GetStepLength(QVector<int> stepLength)
{
    m_rec.setRanges(stepLength);
    updateValueAxis();
    updateCurve();
}

void AdvancePlot::setAxisChannel(int channel)
{
    if (channel < 0 || channel >= kChannels)
        return;
    m_axisChannel = channel;
    updateValueAxis();
    replot();
}

void AdvancePlot::updateValueAxis()
{
    auto *draw = static_cast<YScaleDraw *>(axisScaleDraw(QwtPlot::yLeft));
    draw->setChannelScale(range(m_axisChannel), offset(m_axisChannel));
    // The labels' width may change with the numbers.
    axisWidget(QwtPlot::yLeft)->update();
    updateAxes();
}

QString AdvancePlot::valueAxisLabel(double y) const
{
    return axisScaleDraw(QwtPlot::yLeft)->label(y).text();
}

void AdvancePlot::setYOffsets(const QVector<QSpinBox *> &offsets)
{
    QVector<int> values;
    for (int i = 0; i < kChannels; ++i)
        values.append(offsets.value(i) ? offsets.at(i)->value() : 0);
    m_rec.setOffsets(values);
    updateValueAxis();
    updateCurve();
}

void AdvancePlot::setPageAndRecordTime(double page, int recordTime)
{
    m_rec.setPageAndRecordTime(page, recordTime);
    setAxisScale(QwtPlot::xBottom, 0, page);
    updateCurve();
}

// ---- drawing ---------------------------------------------------------------

void AdvancePlot::updateCurve()
{
    const int columns = std::max(canvas()->width(), 100);
    const TrendRecorder::Drawing drawing = m_rec.drawing(columns);
    for (int i = 0; i < kChannels; ++i) {
        // A dense window has a point or more per pixel column; smoothing
        // its edges adds nothing to the picture and costs most of the time.
        const bool thinned = drawing.points[i].size() >= columns;
        m_curves[i]->setRenderHint(QwtPlotItem::RenderAntialiased, !thinned);
        static_cast<TrendCurve *>(m_curves[i])->thinned = thinned;
        m_curves[i]->setSamples(drawing.points[i]);
    }
    setAxisScale(QwtPlot::xBottom, drawing.window.lower, drawing.window.upper);
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
    const double width = m_rec.view().window.width();
    if (width < 5)
        return;
    setXAxis(0, width * 0.75);
    updateCurve();
}

void AdvancePlot::zoomOut()
{
    const TimeWindow window = m_rec.view().window;
    if (window.upper > 65535)
        return;
    setXAxis(0, window.width() * 1.25);
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
    const TrendRecorder::View view = m_rec.view();
    const double lo = view.window.lower, hi = view.window.upper, end = view.dataEnd;
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

void AdvancePlot::showValues(const QString &text)
{
    for (int i = 0; i < kChannels; ++i)
        showValue(i, text);
}

void AdvancePlot::readOut(double d)
{
    std::array<bool, kChannels> asked;
    for (int i = 0; i < kChannels; ++i)
        asked[i] = !(m_checkBoxes.value(i) && !m_checkBoxes.at(i)->isChecked());
    showReadOut(m_rec.readOut(d, asked));
    QwtText label(QString::number(d, 'f', 2));
    label.setColor(Qt::white);
    label.setBackgroundBrush(QColor(0, 0, 0, 150));
    m_marker->setLabel(label);
    m_marker->setXValue(d);
    m_marker->setVisible(true);
    replot();
}

void AdvancePlot::showReadOut(const TrendRecorder::ReadOut &r)
{
    if (r.beyond) {
        showValues(QStringLiteral("0"));
    } else if (r.any) {
        // Negative values are shown as they are: a drive braking or turning
        // backwards reads below zero.
        for (int i = 0; i < kChannels; ++i)
            showValue(i, r.found[i] ? QString::number(r.values[i], 'f', 2) : QStringLiteral("0"));
    }
}

void AdvancePlot::showLatestValues()
{
    std::array<bool, kChannels> asked;
    for (int i = 0; i < kChannels; ++i)
        asked[i] = !(m_checkBoxes.value(i) && !m_checkBoxes.at(i)->isChecked());
    const TrendRecorder::Latest latest = m_rec.latest();
    for (int i = 0; i < kChannels; ++i)
        if (asked[i] && latest.found[i])
            showValue(i, QString::number(latest.values[i], 'f', 2));
}

// ---- saving ----------------------------------------------------------------

void AdvancePlot::saveData(QVector<QCheckBox *> checkBoxIndex, QVector<QComboBox *> comboBoxIndex)
{
    QString filter;
    const QString asked = askFileName(
        tr("Save Data"), QStringLiteral("XLS Files(*.xls);;TXT Files(*.txt)"), &filter);
    if (asked.isEmpty())
        return;
    // A name without an ending takes the chosen filter's; otherwise the
    // ending decides the format, exactly as written. Any other ending writes
    // nothing and leaves a file of that name alone.
    const QString fileName = withFilterEnding(asked, filter);
    const QString suffix = QFileInfo(fileName).suffix();
    const bool workbook = suffix == QLatin1String("xls");
    if (!workbook && suffix != QLatin1String("txt")) {
        userInteraction()->warning(
            tr("Warning"),
            tr("The name %1 ends in .%2; the data is saved in a file ending in .xls or .txt.")
                .arg(QDir::toNativeSeparators(fileName), suffix));
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
    quint64 mark;
    const TrendRecording rec = m_rec.recordingToSave(&mark);
    if (workbook && rec.size() > TrendFiles::workbookCapacity()) {
        userInteraction()->warning(
            tr("Warning"),
            tr("The recording has %1 samples; an .xls workbook holds %2. Save it as .txt, or "
               "record for a shorter time.")
                .arg(rec.size())
                .arg(TrendFiles::workbookCapacity()));
        return;
    }
    const SaveFailureWording failure{tr("Warning"), tr("Cannot write file %1:\n%2.")};
    const bool saved = writeFile(
        fileName,
        [&](QString *error) {
            return workbook ? TrendFiles::saveWorkbook(fileName, rec, what, error)
                            : TrendFiles::saveText(fileName, rec, what, error);
        },
        failure);
    if (saved)
        m_rec.markSaved(mark);
}
