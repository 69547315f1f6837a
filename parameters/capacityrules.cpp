#include "capacityrules.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace {
struct KeyText {
    int key;
    const char *text;
};

constexpr KeyText kA9Class23[] = {
    {75, "5"},     {150, "8"},    {220, "11"},   {370, "17.5"}, {550, "25"},
    {750, "33"},   {1100, "49"},  {1500, "65"},  {1850, "75"},  {2200, "90"},
    {3000, "120"}, {3700, "145"}, {4500, "170"}, {5500, "215"}, {7500, "288"}};
constexpr KeyText kA9Other[] = {
    {75, "3.0"},    {150, "4.2"},   {220, "6"},     {370, "9"},     {550, "12"},
    {750, "17"},    {1100, "24"},   {1500, "32"},   {1850, "38"},   {2200, "45"},
    {3000, "60"},   {3700, "73"},   {4500, "91"},   {5500, "110"},  {7500, "150"},
    {9000, "180"},  {11000, "220"}, {13200, "260"}, {16000, "310"}, {18500, "340"},
    {22000, "425"}, {25000, "480"}, {28000, "530"}, {31500, "620"}};
constexpr KeyText kM9Class20[] = {{55, "25"},   {75, "33"},   {110, "49"},  {150, "65"},
                                  {185, "75"},  {220, "90"},  {300, "120"}, {370, "145"},
                                  {450, "170"}, {550, "212"}};
constexpr KeyText kM9Other[] = {
    {15, "4.2"},   {22, "6"},     {37, "9"},     {55, "13"},    {75, "18"},
    {110, "24"},   {150, "32"},   {185, "38"},   {220, "45"},   {300, "60"},
    {370, "73"},   {450, "91"},   {550, "110"},  {750, "150"},  {900, "180"},
    {1100, "220"}, {1320, "260"}, {1600, "310"}, {1850, "340"}, {2200, "425"},
    {2500, "480"}, {2800, "530"}, {3150, "620"}, {3550, "683"}};
constexpr KeyText kE9Class23[] = {{20, "1.6"},  {40, "3.0"},   {75, "5.0"},   {150, "8.0"},
                                  {220, "11.0"}, {370, "17.5"}, {550, "24.0"}, {750, "33.0"}};
constexpr KeyText kE9Other[] = {{40, "1.5"},  {75, "2.6"},  {150, "4.2"},  {220, "6.0"},
                                {370, "9.0"}, {550, "12.0"}, {750, "17.0"}, {1100, "23.0"}};

template <size_t N>
QString lookup(const KeyText (&table)[N], int key)
{
    for (const KeyText &entry : table)
        if (entry.key == key)
            return QString::fromLatin1(entry.text);
    return QString();
}

bool same(double a, double b) { return std::fabs(a - b) < 1e-9; }

// "5.5K" gives 5.5; anything that is no number gives 0.
double capacityText(const QString &field)
{
    bool ok = false;
    const double value = field.left(field.size() - 1).toDouble(&ok);
    return ok ? value : 0;
}

QString dashField(const QString &model, int index)
{
    return model.split(QLatin1Char('-')).value(index);
}

QStringList dashSlashParts(const QString &model)
{
    static const QRegularExpression separators(QStringLiteral("[-/]"));
    return model.split(separators, Qt::SkipEmptyParts);
}

QString pick(double c, double limit, const char *below, const char *above)
{
    return QString::fromLatin1(c < limit ? below : above);
}

MultiValue defaultOnly(const QString &text)
{
    MultiValue v;
    v.hasDefault = true;
    v.defaultValue = text;
    return v;
}

MultiValue rangeOnly(const QString &text)
{
    MultiValue v;
    v.hasRange = true;
    v.range = text;
    return v;
}

MultiValue rangeAndDefault(const char *range, const char *defaultValue)
{
    MultiValue v = rangeOnly(QString::fromUtf8(range));
    v.hasDefault = true;
    v.defaultValue = QString::fromLatin1(defaultValue);
    return v;
}

// Three levels: below a, below b, else.
QString tiered(double c, double a, double b, const char *t1, const char *t2, const char *t3)
{
    return QString::fromLatin1(c < a ? t1 : c < b ? t2 : t3);
}
}  // namespace

double CapacityRules::thirdFieldCapacity(const QString &model)
{
    return capacityText(dashField(model, 2));
}

double CapacityRules::eighthCharacterCapacity(const QString &model)
{
    return capacityText(model.mid(7));
}

double CapacityRules::dashSlashCapacity(const QString &model)
{
    return capacityText(dashSlashParts(model).value(2));
}

int CapacityRules::capacityKey(double capacity, int factor)
{
    return int(std::trunc(capacity * factor + 1e-6));
}

double CapacityRules::computedCapacity() const
{
    const QStringList parts = dashSlashParts(m_drive.model);
    if (m_drive.series == 'G' && parts.size() > 4 && m_drive.p186 == QLatin1String("1"))
        return capacityText(parts.at(3));
    return capacityText(parts.value(2));
}

QString CapacityRules::computedVoltageCode() const
{
    return dashSlashParts(m_drive.model).value(1).mid(1, 2);
}

QString CapacityRules::computedDefault(int number) const
{
    switch (number) {
    case 0: return p0Default();
    case 9: return p9Default();
    case 87: return p87Default();
    default: return QString();
    }
}

QString CapacityRules::p0Default() const
{
    const double c = computedCapacity();
    const char s = m_drive.series;
    if (s == 'G' && m_drive.p186 == QLatin1String("1"))
        return tiered(c, 11, 46, "3%", "2%", "1%");
    if (s == 'G' || s == 'L')
        return c < 5 ? QStringLiteral("4%") : tiered(c, 11, 56, "3%", "2%", "1%");
    if (c < 1.5)
        return QStringLiteral("6.0%");
    if (c < 5.5)
        return QStringLiteral("4.0%");
    return tiered(c, 11, 75, "3.0%", "2.0%", "1.0%");
}

QString CapacityRules::p9Default() const
{
    const double c = computedCapacity();
    const QString code = computedVoltageCode();
    const bool class2x = code == QLatin1String("21") || code == QLatin1String("23");
    switch (m_drive.series) {
    case 'A':
        return code == QLatin1String("23") ? lookup(kA9Class23, capacityKey(c, 100))
                                           : lookup(kA9Other, capacityKey(c, 100));
    case 'B':
        return same(c, 0.4) ? QStringLiteral("2.2") : QStringLiteral("3.5");
    case 'C':
    case 'S':
        if (same(c, 0.4))
            return class2x ? QStringLiteral("2.55") : QStringLiteral("1.11");
        if (same(c, 0.75))
            return class2x ? QStringLiteral("4.25") : QStringLiteral("2.21");
        if (same(c, 1.5))
            return !class2x ? QStringLiteral("4")
                   : code == QLatin1String("21") ? QStringLiteral("7")
                                                 : QStringLiteral("8");
        if (same(c, 2.2))
            return class2x ? QStringLiteral("11") : QStringLiteral("6");
        if (!class2x && same(c, 3.7))
            return QStringLiteral("9");
        return class2x ? QStringLiteral("17.5") : QStringLiteral("12");
    case 'F':
    case 'G':
    case 'L':
        return code == QLatin1String("20") ? lookup(kM9Class20, capacityKey(c, 10))
                                           : lookup(kM9Other, capacityKey(c, 10));
    case 'T':
        return QStringLiteral("0");
    case 'X':
        if (m_drive.version >= 0.6 - 1e-9)
            return QStringLiteral("0");
        Q_FALLTHROUGH();
    case 'E':
        return class2x ? lookup(kE9Class23, capacityKey(c, 100))
                       : lookup(kE9Other, capacityKey(c, 100));
    default:
        return QString();
    }
}

QString CapacityRules::p87Default() const
{
    if (m_drive.series == 'A')
        return QStringLiteral("0");
    const double c = computedCapacity();
    if (same(c, 2.2))
        return m_drive.series == 'E' || m_drive.series == 'X' ? QStringLiteral("1")
                                                                : QStringLiteral("0.8");
    if (c > 2.2)
        return QStringLiteral("1");
    if (same(c, 0.2))
        return QStringLiteral("2.55");
    if (same(c, 0.4))
        return QStringLiteral("2.5");
    if (same(c, 0.75))
        return QStringLiteral("2.0");
    return QStringLiteral("1.1");
}

QString CapacityRules::shortCapacityDefault(int number) const
{
    const double c = eighthCharacterCapacity(m_drive.model);
    switch (number) {
    case 0:
        return c < 1.5 ? QStringLiteral("6%") : tiered(c, 5.5, 11, "4%", "3%", "2%");
    case 7:
    case 8:
        return tiered(c, 11, 18.5, "5", "10", "15");
    case 12:
        return tiered(c, 5.5, 11, "6%", "4%", "2%");
    case 16:
        return tiered(c, 5.5, 18.5, "0.5", "1", "1.5");
    default:
        return QString();
    }
}

// Series 'A' and 'F' name their capacity source; 'G' reduces a dual rating by
// P.186; 'L' models carry the rating in the fourth field when the series code
// is written in front, else in the third like every other series.
double CapacityRules::multiValueCapacity() const
{
    const QString &model = m_drive.model;
    switch (m_drive.series) {
    case 'F':
        return eighthCharacterCapacity(model);
    case 'L': {
        const double fourth = capacityText(dashField(model, 3));
        return fourth > 0 ? fourth : thirdFieldCapacity(model);
    }
    case 'G': {
        const QStringList pair = dashField(model, 2).split(QLatin1Char('/'));
        const bool second = pair.size() > 1 && m_drive.p186 == QLatin1String("1");
        return capacityText(second ? pair.at(1) : pair.at(0));
    }
    default:
        return thirdFieldCapacity(model);
    }
}

MultiValue CapacityRules::multiValue(int number) const
{
    return m_drive.series == 'A' ? multiValueA(number) : multiValueOther(number);
}

MultiValue CapacityRules::multiValueA(int number) const
{
    const double c = multiValueCapacity();
    switch (number) {
    case 1: return defaultOnly(pick(c, 75, "120Hz", "60Hz"));
    case 7: return defaultOnly(pick(c, 5.5, "5.00s", "20.00s"));
    case 8: return defaultOnly(tiered(c, 5.5, 11, "5.00s", "10.00s", "20.00s"));
    case 12:
    case 152: return defaultOnly(c < 11 ? QStringLiteral("4.0%") : pick(c, 75, "2.0%", "1.0%"));
    case 244: return defaultOnly(c < 11 ? QStringLiteral("4.0%") : pick(c, 75, "2.0%", "1%"));
    case 56:
    case 306: {
        const int key = capacityKey(c, 100);
        const QString text = dashField(m_drive.model, 1) == QLatin1String("023")
                                 ? lookup(kA9Class23, key)
                                 : lookup(kA9Other, key);
        return text.isEmpty() ? MultiValue() : defaultOnly(text);
    }
    case 58: return defaultOnly(c < 11 ? QStringLiteral("5.0s") : pick(c, 75, "10.0s", "20.0s"));
    case 72:
        if (c < 18.5) return rangeAndDefault("1~15kHZ", "5");
        if (c < 37) return rangeAndDefault("1~9kHZ", "5");
        if (c < 132) return rangeAndDefault("1~9 kHz", "4");
        if (c < 280) return rangeAndDefault("1~9 kHz", "2");
        return rangeAndDefault("1~6 kHz", "2");
    case 309: case 310: case 313: case 339: case 340: case 343:
        return rangeOnly(c < 55 ? QStringLiteral("0~65535m\u03A9,99999")
                                : QStringLiteral("0~655.35m\u03A9,99999"));
    case 311: case 312: case 341: case 342:
        return rangeOnly(pick(c, 55, "0~6553.5mH,99999", "0~655.35mH,99999"));
    case 318:
        return rangeOnly(tiered(c, 7.5, 110, "0~6.5535kg.m2", "0~65.535kg.m2", "0~655.35kg.m2"));
    case 348:
        return rangeOnly(tiered(c, 7.5, 110, "0~6.5535kg.m2,99999", "0~65.535kg.m2,99999",
                                "0~655.35kg.m2,99999"));
    default:
        return MultiValue();
    }
}

MultiValue CapacityRules::multiValueOther(int number) const
{
    const double c = multiValueCapacity();
    const char s = m_drive.series;
    const bool g1 = s == 'G' && m_drive.p186 == QLatin1String("1");
    const bool tx = s == 'T' || s == 'X';
    switch (number) {
    case 1:
        return defaultOnly(g1 ? pick(c, 55, "120Hz", "60Hz") : pick(c, 75, "120Hz", "60Hz"));
    case 7:
        if (s == 'L')
            return defaultOnly(pick(c, 5.5, "5s", "20s"));
        return tx ? defaultOnly(pick(c, 5.5, "5s", "10s")) : MultiValue();
    case 8:
        if (tx)
            return defaultOnly(pick(c, 5.5, "5s", "10s"));
        return defaultOnly(g1 ? pick(c, 7.5, "10s", "30s") : pick(c, 11, "10s", "30s"));
    case 12:
    case 152:
    case 244:
        return defaultOnly(g1 ? tiered(c, 7.5, 55, "4%", "2%", "1%")
                              : tiered(c, 11, 75, "4%", "2%", "1%"));
    case 58:
        if (g1 || s == 'L')
            return defaultOnly(tiered(c, 7.5, 55, "5s", "10s", "20s"));
        if (s == 'F' || s == 'G')
            return defaultOnly(tiered(c, 11, 75, "5s", "10s", "20s"));
        return MultiValue();
    case 72:
        return carrierFrequency(c);
    default:
        return MultiValue();
    }
}

MultiValue CapacityRules::carrierFrequency(double c) const
{
    if (m_drive.series == 'L') {
        if (c < 5.5) return rangeOnly(QStringLiteral("1~15 kHz"));
        if (c < 11) return rangeOnly(QStringLiteral("1~10 kHz"));
        if (c < 30) return rangeOnly(QStringLiteral("1~9 kHz"));
        return rangeAndDefault("1~9 kHz", c < 110 ? "4 kHz" : "2 kHz");
    }
    const bool g1 = m_drive.series == 'G' && m_drive.p186 == QLatin1String("1");
    const double first = g1 ? 7.5 : 11;
    const double second = g1 ? 22 : 30;
    const double third = g1 ? 90 : 110;
    if (c < first) return rangeOnly(QStringLiteral("0.7~10 kHz"));
    if (c < second) return rangeOnly(QStringLiteral("0.7~9 kHz"));
    return rangeAndDefault("0.7~6 kHz", c < third ? "4 kHz" : "2 kHz");
}
