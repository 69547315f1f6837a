#include "timescaledraw.h"

#include <qwt_text.h>

QwtText TimeScaleDraw::label(double value) const
{
    return QwtText(QString::number(value, 'g', 6) + QLatin1Char('s'));
}
