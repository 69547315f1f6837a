#include "rangetext.h"

#include <QRegularExpression>
#include <QStringList>

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

RangeText::Verdict RangeText::check(const QString &range, const QString &value)
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
        for (const QString &span : piece.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
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
