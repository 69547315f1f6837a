#pragma once

#include "unitscale.h"

#include <QByteArray>
#include <QString>

class ParameterTable;

// Moves single parameter values between the table and the drive, with the
// catalogue scale, and runs the parameter functions. Every drive access goes
// through the current driver.
class ParameterTransfer
{
public:
    struct RegisterValue {
        bool ok = false;
        int value = 0;
    };

    ParameterTransfer(ParameterTable &table, UnitScale &scale) : m_table(table), m_scale(scale) {}

    // The register value of a display text: 9999 and 99999 give 0xFFFF,
    // anything else is multiplied and truncated towards zero. Not ok for a
    // text that is no number, negative, or outside 0..65535 after scaling.
    static RegisterValue toRegisterValue(const QString &text, int multiplier);

    // The scaled value of a parameter, or -1 (numbers of 1600 and above, a
    // scale rule whose register read failed, or a failed read, which the
    // driver reports). A number neither the table nor the hidden list knows
    // is read with scale 1.
    double readParameter(int number);
    // Writes a display value with the multiplier of `unit`. On a scale
    // failure shows "Communication Error!", on a value outside the register
    // range raises message 12; false in both cases and when the write fails.
    bool writeParameter(int number, const QString &value, const QString &unit);

    // The value text a read shows ("-1" on failure), for the batch read with
    // its own rule for unknown numbers.
    QString readValueText(int number, UnitScale::Unknown unknown);
    static QString formatValue(double value);
    // P.188 (the drive's version) is shown with three decimals: 1.1 gives 1.100.
    static QString padVersion(const QString &text);

    // Runs the function a "P.99X" value selects ("1" to "6"); "0" runs none;
    // any other value raises message 19 and gives false.
    bool runFunctionValue(const QString &value);
    // Runs "996" to "999", "991" or "992" and marks the parameters as reset.
    void runParameterFunction(const QByteArray &name);

    // The current row: read into "Current value" / write its "Setting value".
    bool readCurrentRow();
    bool writeCurrentRow();
    // Empties "Current value" / "Setting value" down to the first row
    // without a number cell (or, for the setting value, with an empty one).
    void clearCurrentValues();
    void clearSettingValues();

private:
    ParameterTable &m_table;
    UnitScale &m_scale;
};
