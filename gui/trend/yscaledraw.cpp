#include "yscaledraw.h"

#include <qwt_text.h>

#include <cmath>

void YScaleDraw::setChannelScale(int range, int offset)
{
    m_range = range;
    m_offset = offset;
    invalidateCache();
}

QwtText YScaleDraw::label(double value) const
{
    double v = (value - m_offset) * m_range / m_axisMax;
    v = std::round(v * 1000) / 1000;  // no rounding noise, no "-0"
    return QwtText(QString::number(v == 0 ? 0.0 : v, 'g', 7));
}
