#include "trendcurve.h"

#include <QPainter>
#include <QVector>

void TrendCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                           const QRectF &canvasRect, int from, int to) const
{
    const int width = qRound(pen().widthF());
    if (!thinned || width <= 1) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    QPen thin = painter->pen();
    thin.setWidth(1);
    painter->setPen(thin);
    const int lowest = -(width - 1) / 2;
    QVector<QPoint> shifts;
    for (int d = lowest; d < lowest + width; ++d) {
        shifts.append(QPoint(d, 0));
        if (d != 0)
            shifts.append(QPoint(0, d));
    }
    for (const QPoint &shift : qAsConst(shifts)) {
        painter->save();
        painter->translate(shift);
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        painter->restore();
    }
}
