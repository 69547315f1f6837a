#include "dial.h"

#include "monitor/quantitylists.h"

#include <QPainter>

Dial::Dial(Style style, char series, QWidget *parent)
    : QwtDial(parent), m_style(style), m_series(series),
      m_labelOffset(style == Gauge ? 20 : 240)
{
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
}

void Dial::setLabel(int position)
{
    m_unit = QuantityLists::unit(m_series, position);
    m_labelOffset = m_style == Gauge ? 20 : 240;
    showLabel(m_unit);
}

// The same value again draws nothing.
void Dial::changeDialValue(double value)
{
    if (m_shown && value == m_needle)
        return;
    m_shown = true;
    m_needle = value;
    setValue(value);
}

// The dial clamps its value into a narrower scale and keeps the clamped
// value when the scale widens again: the needle is set anew from the value
// last shown.
void Dial::setMaximum(double maximum)
{
    setScale(0, maximum);
    setScaleMaxMinor(10);
    setScaleStepSize(maximum / 10);
    if (m_shown)
        setValue(m_needle);
}

// The unit is the one of the position on show, not a guess from the label
// text: a label such as "12.5kW" would otherwise lose its unit, and "kHz"
// would turn into "Hz(r/min)".
void Dial::setValueText(const QString &text) { showLabel(text + m_unit); }

void Dial::showLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    // The dial keeps its face, scale contents included, as a picture.
    invalidateCache();
    update();
}

// The label sits at the bottom of a box centred on the needle's pivot. The
// radius here is the inside of the scale, labels included: on the arc dial
// that leaves less height than its offset takes away, so the box is never
// made lower than what puts the label just under the pivot.
void Dial::drawScaleContents(QPainter *painter, const QPointF &center, double radius) const
{
    const double lowest = 2.0 * (painter->fontMetrics().height() + 4);
    QRectF rect(0, 0, 2 * radius - 1, qMax(2 * radius - m_labelOffset - 1, lowest));
    rect.moveCenter(center);
    painter->setPen(palette().color(QPalette::Text));
    painter->drawText(rect, Qt::AlignBottom | Qt::AlignHCenter, m_label);
}
