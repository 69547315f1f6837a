#pragma once

#include "base/sharedstate.h"
#include "link/driverregistry.h"
#include "link/readwrite.h"
#include "monitor/parameteraccess.h"
#include "parameters/parameterstate.h"

// Parameter reads and writes with fixed scales, standing in for the
// catalogue in the identity read. The catalogue version is the program's,
// unless a fixed one is given.
class ScaledParameters : public ParameterAccess
{
public:
    explicit ScaledParameters(QString fixedVersion = QString())
        : m_fixedVersion(std::move(fixedVersion))
    {
    }

    double readParameter(int number) override
    {
        const bool hundredths = number == 300 || number == 199 || number % 100 == 2;
        return currentDriver()->readRegister(number, hundredths ? 0.01 : 1);
    }
    bool writeParameter(int number, const QString &value, const QString &) override
    {
        bool ok = false;
        const int raw = value.toInt(&ok);
        return ok && currentDriver()->writeRegister(number, raw == 9999 ? 0xFFFF : raw);
    }
    QString catalogueVersion() const override
    {
        return m_fixedVersion.isEmpty() ? ::catalogueVersion() : m_fixedVersion;
    }

private:
    const QString m_fixedVersion;
};
