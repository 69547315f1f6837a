#include "unitscale.h"
#include "link/driverregistry.h"

#include "capacityrules.h"
#include "hiddenparameterlist.h"
#include "parametertable.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

namespace {
const double kReadScales[] = {1, 0.1, 0.01, 0.001, 0.0001};
const int kMultipliers[] = {1, 10, 100, 1000, 10000};

double readRegister(int address)
{
    ReadWrite *driver = currentDriver();
    return driver ? driver->readRegister(address, 1) : -1;
}

bool inList(int number, std::initializer_list<int> numbers)
{
    for (int n : numbers)
        if (n == number)
            return true;
    return false;
}
}  // namespace

int UnitScale::p21Scale() const
{
    const int d = m_p21Decimals.load();
    if (d < 0)
        return -1;
    return m_asMultiplier.load() ? kMultipliers[d] : d;
}

// The decimals are kept, not the form: a read on another thread during a
// batch write must not take the write's multiplier for a decimal count.
bool UnitScale::readP21Scale()
{
    const double value = readRegister(21);
    if (value == -1)
        return false;
    m_p21Decimals.store(value == 0 ? 2 : 1);
    return true;
}

int UnitScale::unitScale(int number, const QString &unit)
{
    return unitScaleIn(number, unit, m_asMultiplier.load());
}

int UnitScale::unitScaleIn(int number, const QString &unit, bool multiplier)
{
    const int d = decimals(number, unit);
    if (d < 0)
        return -1;
    return multiplier ? kMultipliers[d] : d;
}

int UnitScale::decimals(int number, const QString &unit)
{
    if (seriesLetter() == 'A') {
        bool handled = false;
        const int d = seriesADecimals(number, &handled);
        if (handled)
            return d;
    }
    if (unit.size() == 10)
        return twoResolutionDecimals();
    return decimalsOfUnit(unit);
}

int UnitScale::decimalsOfUnit(const QString &unit)
{
    switch (unit.indexOf(QLatin1Char('1'))) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    default: return 0;
    }
}

int UnitScale::twoResolutionDecimals()
{
    if (seriesLetter() == 'G')
        return CapacityRules::dashSlashCapacity(modelString()) > 160 ? 1 : 2;
    if (!linkState().quietReads && isSeriesFeature(QStringLiteral("Parameter_readP21")) &&
        !readP21Scale())
        return -1;
    return m_p21Decimals.load();
}

// Series 'A' parameters whose resolution depends on the drive's setup.
int UnitScale::seriesADecimals(int number, bool *handled)
{
    *handled = true;
    const double capacity = CapacityRules::dashSlashCapacity(modelString());
    if (inList(number, {7, 8, 16, 44, 45, 213, 214, 238, 239}) ||
        (number >= 111 && number <= 118)) {
        const double p21 = readRegister(21);
        return p21 == -1 ? -1 : p21 == 0 ? 2 : 1;
    }
    if (inList(number, {9, 56, 306, 308, 336, 338}))
        return capacity >= 160 ? 1 : 2;
    if (number == 291) {
        const double p290 = readRegister(290);
        if (p290 == -1)
            return -1;
        if (capacity >= 160)
            return p290 == 2 ? 1 : 0;
        return p290 == 2 ? 0 : (p290 < 5 || p290 > 10) ? 2 : 0;
    }
    if (number == 37) {
        const double p259 = readRegister(259);
        return p259 == -1 ? -1 : p259 == 1 ? 1 : 0;
    }
    if (number == 271 || number == 272) {
        const double p267 = readRegister(267);
        return p267 == -1 ? -1 : p267 < 11 ? 1 : 2;
    }
    if ((number >= 309 && number <= 313) || (number >= 339 && number <= 343)) {
        if (capacity > 55)
            return 2;
        return inList(number, {311, 312, 341, 342}) ? 1 : 0;
    }
    if (number == 318 || number == 348)
        return capacity < 7.5 ? 4 : capacity < 110 ? 3 : 2;
    *handled = false;
    return 0;
}

double UnitScale::readScale(int number, Unknown unknown)
{
    if ((number == 188 && isSeriesFeature(QStringLiteral("Parameter_NotH"))) ||
        (number == 199 && isSeriesFeature(QStringLiteral("Parameter_H"))))
        return 0.01;
    QString unit;
    const bool found = m_table.unitOf(number, &unit) || m_hidden.unitOf(number, &unit);
    if (!found && unknown == Unknown::NoScale)
        return -1;
    if (!found && unknown == Unknown::Whole)
        return 1;
    const int d = unitScaleIn(number, unit, false);
    return d < 0 ? -1 : kReadScales[d];
}
