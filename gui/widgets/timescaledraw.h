#pragma once

#include <qwt_scale_draw.h>

// The time axis of the sample plot and the trend recorder: each tick is
// labelled with its value in seconds ("12.5s").
class TimeScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double value) const override;
};
