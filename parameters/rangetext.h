#pragma once

#include <QString>

// What a catalogue's "Setting range" text allows: pieces separated by ','
// ("0~400Hz,9999"), each a span "low~high" with an optional unit or a single
// value; "/" separates spans that apply in different settings ("0~360s/0~3600s"),
// of which a value must fit one.
class RangeText
{
public:
    enum class Verdict { Inside, Outside, NotANumber, Unknown };

    // Unknown when the range text cannot be read (a value is then never
    // marked); NotANumber for a value text that is no number. `setting`
    // picks the span of a "/" piece that applies (0 the first; the drive's
    // time resolution, P.21, says which); -1: any of them.
    static Verdict check(const QString &range, const QString &value, int setting = -1);
    // The range as it applies in `setting`: "0~360s/0~3600s" in setting 0 is
    // "0~360s". The whole text for -1 or where no piece has that many spans.
    static QString applying(const QString &range, int setting);
};
