#pragma once

#include <atomic>

#include <QString>

class HiddenParameterList;
class ParameterTable;

// The scale of a parameter's register value: a decimal count d for reads
// (value = raw x 10^-d) or the multiplier 10^d for writes. It follows from
// the unit text ("0.01Hz" gives two decimals), except for series 'A'
// parameters whose resolution depends on other registers or on capacity,
// and for the two-resolution units ("0.1A/0.01A") chosen by P.21.
class UnitScale
{
public:
    // What a parameter known neither to the table nor to the hidden list gets:
    // no scale, the rules of an empty unit, or whole numbers (scale 1).
    enum class Unknown { NoScale, EmptyUnit, Whole };

    UnitScale(const ParameterTable &table, const HiddenParameterList &hidden)
        : m_table(table), m_hidden(hidden)
    {
    }

    // The form unitScale answers in: false = decimals (reads), true = multiplier (writes).
    bool scaleAsMultiplier() const { return m_asMultiplier.load(); }
    void setScaleAsMultiplier(bool multiplier) { m_asMultiplier.store(multiplier); }

    // The scale of the two-resolution units in the current form; -1 until P.21 was read.
    int p21Scale() const;
    void resetP21Scale() { m_p21Decimals.store(-1); }
    // Reads P.21: "0" gives two decimals, any other value one. False when the read failed.
    bool readP21Scale();

    // Decimals or multiplier as scaleAsMultiplier asks; -1 when a register
    // read that the rule needs failed.
    int unitScale(int number, const QString &unit);
    int unitScaleIn(int number, const QString &unit, bool multiplier);

    // 10^-d for reads of `number`, its unit looked up in the table and then
    // in the hidden-parameter list; -1 when there is no scale.
    double readScale(int number, Unknown unknown = Unknown::NoScale);

    // The decimal count a unit text gives by the position of its first "1".
    static int decimalsOfUnit(const QString &unit);

private:
    int decimals(int number, const QString &unit);
    int seriesADecimals(int number, bool *handled);
    int twoResolutionDecimals();

    const ParameterTable &m_table;
    const HiddenParameterList &m_hidden;
    std::atomic<bool> m_asMultiplier{false};
    std::atomic<int> m_p21Decimals{-1};
};
