#pragma once

#include <qwt_plot_curve.h>

// A curve of the trend chart. A dense window (a point or more per pixel
// column) zigzags up and down from column to column; stroking that with a
// wide pen costs Qt's rasteriser up to a hundred times a thin one, so a
// dense curve is drawn as side-by-side copies one pixel wide, which cover
// the same pixels.
class TrendCurve : public QwtPlotCurve
{
public:
    bool thinned = false;

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
};
