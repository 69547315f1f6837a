#include "rangetext.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {
// A number at the start of `text`, the unit after it ignored.
bool leadingNumber(const QString &text, double *value)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(-?\\d+(?:\\.\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return false;
    *value = match.captured(1).toDouble();
    return true;
}

// One piece: "low~high[unit]" or a single value. False when unreadable.
bool pieceHolds(const QString &piece, double value, bool *holds)
{
    const QStringList ends = piece.split(QLatin1Char('~'));
    double low = 0;
    double high = 0;
    if (ends.size() == 1) {
        if (!leadingNumber(ends.at(0), &low))
            return false;
        *holds = qFuzzyCompare(value + 1, low + 1);
        return true;
    }
    if (ends.size() != 2 || !leadingNumber(ends.at(0), &low) || !leadingNumber(ends.at(1), &high))
        return false;
    // A little slack for values shown with fewer decimals than the unit.
    const double slack = 1e-9 * qMax(1.0, qAbs(high));
    *holds = value >= low - slack && value <= high + slack;
    return true;
}
}  // namespace

namespace {
// Times ("0~360s/0~3600s") follow the drive's time resolution; other
// pieces with "/" (currents by capacity) keep every span.
QStringList spansIn(const QString &piece, int setting)
{
    const QStringList spans = piece.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool times = std::all_of(spans.begin(), spans.end(), [](const QString &span) {
        return span.trimmed().endsWith(QLatin1Char('s'));
    });
    if (times && setting >= 0 && spans.size() > 1 && setting < spans.size())
        return {spans.at(setting)};
    return spans;
}
}  // namespace

QString RangeText::applying(const QString &range, int setting)
{
    QStringList pieces;
    for (const QString &piece : range.split(QLatin1Char(','), Qt::SkipEmptyParts))
        pieces << spansIn(piece, setting).join(QLatin1Char('/'));
    return pieces.join(QLatin1Char(','));
}

RangeText::Verdict RangeText::check(const QString &range, const QString &value, int setting)
{
    const QString trimmed = range.trimmed();
    // Ranges that name another parameter's setting ("0.60-99.99\0~40") are
    // left to the drive.
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('\\')))
        return Verdict::Unknown;
    bool isNumber = false;
    const double x = value.trimmed().toDouble(&isNumber);
    if (!isNumber)
        return Verdict::NotANumber;
    bool readable = false;
    for (const QString &piece : trimmed.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        for (const QString &span : spansIn(piece, setting)) {
            bool holds = false;
            if (!pieceHolds(span, x, &holds))
                continue;
            readable = true;
            if (holds)
                return Verdict::Inside;
        }
    }
    return readable ? Verdict::Outside : Verdict::Unknown;
}
