#include "series.h"

namespace {
const SeriesInfo kSeries[] = {
    {'H', "ZN", 1},    {'B', "ZD", 2},  {'C', "ZW", 3},   {'S', "ZR", 4},
    {'E', "ZP", 5},    {'F', "ZM", 6},  {'G', "ZM-K", 7}, {'X', "ZP2", 8},
    {'T', "ZR2", 9},   {'L', "ZM-KX", 10}, {'A', "ZQ", 11},
};
const int kSeriesCount = int(sizeof kSeries / sizeof kSeries[0]);
}  // namespace

const SeriesInfo *seriesTable(int *count)
{
    if (count)
        *count = kSeriesCount;
    return kSeries;
}

int seriesFeatureColumn(char letter)
{
    for (const SeriesInfo &s : kSeries)
        if (s.letter == letter)
            return s.featureColumn;
    return 0;
}

QString seriesCode(char letter)
{
    for (const SeriesInfo &s : kSeries)
        if (s.letter == letter)
            return QString::fromLatin1(s.code);
    return QString();
}

QString modelSeriesCode(const QString &model)
{
    const int zero = model.indexOf(QLatin1Char('0'), 1);
    if (zero < 3)
        return QString();
    return model.mid(1, zero - 2);
}

static char letterForCode(const QString &code, char current)
{
    if (code.size() == 1) {
        switch (code.at(0).toLatin1()) {
        case 'N': return 'H';
        case 'D': return 'B';
        case 'W': return 'C';
        case 'R': return 'S';
        case 'P': return 'E';
        case 'M': return 'F';
        default: return current;
        }
    }
    if (code.size() == 2) {
        switch (code.at(0).toLatin1()) {
        case 'P': return 'X';
        case 'R': return 'T';
        case 'Q': return 'A';
        default: return current;
        }
    }
    if (code.size() == 3 && code.at(2) == QLatin1Char('K'))
        return 'G';
    return current;
}

char seriesLetterForModel(const QString &model, char current)
{
    const QString m = model.simplified();
    if (m.endsWith(QLatin1String("-KX")))
        return 'L';
    if (m.endsWith(QLatin1String("-K")))
        return 'G';
    const QString code = modelSeriesCode(m);
    if (code.isEmpty())
        return current;
    return letterForCode(code, current);
}
