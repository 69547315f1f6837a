#pragma once

#include <qwt_scale_draw.h>

// The value axis of the trend recorder. The axis runs 0 to `axisMax` for
// every channel alike (each channel is scaled by its own range and moved by
// its offset), so its numbers are those of one chosen channel: the value
// that channel has where its curve crosses the tick.
class YScaleDraw : public QwtScaleDraw
{
public:
    explicit YScaleDraw(double axisMax = 20) : m_axisMax(axisMax) {}
    void setChannelScale(int range, int offset);
    QwtText label(double value) const override;

private:
    double m_axisMax;
    int m_range = 1;
    int m_offset = 0;
};
