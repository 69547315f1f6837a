#pragma once

#include "parameteraccess.h"

#include "parameters/parametercore.h"
#include "parameters/parameterstate.h"

// The parameter core as the identity read sees it.
class CoreParameterAccess : public ParameterAccess
{
public:
    explicit CoreParameterAccess(ParameterCore &core) : m_core(core) {}

    double readParameter(int number) override { return m_core.readParameter(number); }
    bool writeParameter(int number, const QString &value, const QString &unit) override
    {
        return m_core.writeParameter(number, value, unit);
    }
    QString catalogueVersion() const override { return ::catalogueVersion(); }

private:
    ParameterCore &m_core;
};
