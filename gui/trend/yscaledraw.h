#pragma once

#include <qwt_scale_draw.h>

// The value axis of the trend recorder: ticks without labels. The axis runs
// 0 to 20 for every channel alike (each channel is scaled by its own range),
// so its numbers would mean nothing.
class YScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;
};
