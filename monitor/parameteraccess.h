#pragma once

#include <QString>

// Parameter reads and writes with the catalogue's scales, as the parameter
// core offers them to the monitor's identity read.
class ParameterAccess
{
public:
    virtual ~ParameterAccess() = default;
    // The value with its catalogue scale, or -1 on failure.
    virtual double readParameter(int number) = 0;
    // Writes a value text with the scale its unit text implies.
    virtual bool writeParameter(int number, const QString &value, const QString &unit) = 0;
    // The catalogue version of the attached drive ("0.33").
    virtual QString catalogueVersion() const = 0;
};
