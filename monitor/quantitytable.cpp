#include "quantitytable.h"

namespace {
QList<QuantityFunctions> build(const char *const *selected, int count)
{
    QList<QuantityFunctions> table;
    for (const char *direct : {"M0R", "M1R", "M2R", "M3R"})
        table.append({QByteArray(), QByteArray(direct)});
    for (int i = 0; i < count; ++i) {
        const QByteArray letter(1, selected[i][0]);
        table.append({"M" + letter + "W", "M" + letter + "R"});
    }
    table.append({QByteArray(), QByteArray("MCR")});
    return table;
}

const char *const kSeriesA[] = {"A", "B", "4", "5", "6", "7", "8", "9", "P", "Q",
                                "D", "E", "F", "G", "H", "I", "J", "K", "L"};
const char *const kSeriesL[] = {"A", "B", "4", "5", "6", "7", "8", "9", "P",
                                "D", "E", "F", "G", "H", "I", "J"};
const char *const kOthers[] = {"4", "5", "6", "7", "8", "9", "A", "B"};
}  // namespace

const QList<QuantityFunctions> &quantityTable(char series)
{
    static const QList<QuantityFunctions> a = build(kSeriesA, 19);
    static const QList<QuantityFunctions> l = build(kSeriesL, 16);
    static const QList<QuantityFunctions> others = build(kOthers, 8);
    return series == 'A' ? a : series == 'L' ? l : others;
}
