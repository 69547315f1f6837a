#include "parametertransfer.h"
#include "link/driverregistry.h"

#include "parameterstate.h"
#include "parametertable.h"

#include "base/messagetable.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

#include <cmath>

namespace {
constexpr int kNoValue = 0xFFFF;
constexpr int kMessageIllegalAddress = 12;
constexpr int kMessageRangeError = 19;
constexpr int kMessageCommunication = 8;
constexpr int kMessageWarning = 20;

void raiseError(int code) { LinkEvents::report(code); }
}  // namespace

ParameterTransfer::RegisterValue ParameterTransfer::toRegisterValue(const QString &text,
                                                                    int multiplier)
{
    RegisterValue result;
    bool ok = false;
    const double x = text.trimmed().toDouble(&ok);
    // Refused rather than clamped or wrapped: a typing slip must never reach
    // the drive as some other number.
    if (!ok || !std::isfinite(x) || x < 0 || multiplier <= 0)
        return result;
    if (x == 9999 || x == 99999) {
        result = {true, kNoValue};
        return result;
    }
    // Truncated towards zero, but a decimal text times a power of ten is
    // meant exactly: 1.15 at 0.01Hz is 115, not the 114.99999999999999 that
    // binary floating point makes of it (a value read from the drive, saved
    // and written back must not lose a step).
    const double product = x * multiplier;
    const double nearest = std::round(product);
    const double r = std::fabs(product - nearest) < 1e-6 ? nearest : std::trunc(product);
    if (r < 0 || r > 65535)
        return result;
    result = {true, int(r)};
    return result;
}

double ParameterTransfer::readParameter(int number)
{
    if (number < 0 || number >= ReadWrite::kAddressLimit)
        return -1;
    m_scale.setScaleAsMultiplier(false);
    // A register the catalogue does not know is still read, in whole numbers,
    // so that a failure reaches the user the way any read failure does.
    const double scale = m_scale.readScale(number, UnitScale::Unknown::Whole);
    ReadWrite *driver = currentDriver();
    if (scale == -1 || !driver)
        return -1;
    return driver->readRegister(number, scale);
}

bool ParameterTransfer::writeParameter(int number, const QString &value, const QString &unit)
{
    m_scale.setScaleAsMultiplier(true);
    const int multiplier = m_scale.unitScaleIn(number, unit, true);
    if (multiplier < 0) {
        userInteraction()->warning(messageText(kMessageWarning),
                                   messageText(kMessageCommunication));
        return false;
    }
    const RegisterValue r = toRegisterValue(value, multiplier);
    if (!r.ok) {
        raiseError(kMessageIllegalAddress);
        return false;
    }
    ReadWrite *driver = currentDriver();
    return driver && driver->writeRegister(number, r.value);
}

QString ParameterTransfer::readValueText(int number, UnitScale::Unknown unknown)
{
    const double scale = m_scale.readScale(number, unknown);
    ReadWrite *driver = currentDriver();
    // Without a scale there is nothing to read: a raw value times -1 would be garbage.
    if (scale == -1 || !driver)
        return QStringLiteral("-1");
    return formatValue(driver->readRegister(number, scale));
}

QString ParameterTransfer::formatValue(double value) { return QString::number(value, 'g', 6); }

QString ParameterTransfer::padVersion(const QString &text)
{
    QString padded = text;
    if (!padded.contains(QLatin1Char('.')))
        padded.append(QLatin1Char('.'));
    return padded.leftJustified(5, QLatin1Char('0'));
}

bool ParameterTransfer::runFunctionValue(const QString &value)
{
    static const char *const kFunctions[] = {"996", "997", "998", "999", "991", "992"};
    const QString v = value.trimmed();
    if (v == QLatin1String("0"))
        return true;
    bool ok = false;
    const int choice = v.toInt(&ok);
    if (!ok || choice < 1 || choice > 6 || v != QString::number(choice)) {
        raiseError(kMessageRangeError);
        return false;
    }
    runParameterFunction(QByteArray(kFunctions[choice - 1]));
    return true;
}

void ParameterTransfer::runParameterFunction(const QByteArray &name)
{
    if (ReadWrite *driver = currentDriver())
        driver->runFunction(name);
    setParameterResetPending(true);
}

bool ParameterTransfer::readCurrentRow()
{
    m_scale.setScaleAsMultiplier(false);
    const int row = m_table.currentRow();
    if (!m_table.hasNumberCell(row))
        return false;
    if (ParameterTable::isFunctionRowText(m_table.text(row, ParameterTable::NumberColumn))) {
        m_table.setText(row, ParameterTable::CurrentColumn, QStringLiteral("0"));
        return true;
    }
    bool numeric = false;
    const int number = m_table.numberText(row).toInt(&numeric);
    if (!numeric)
        return false;
    QString text = formatValue(readParameter(number));
    if (text == QLatin1String("-1"))
        return false;
    if (number == 188)
        text = padVersion(text);
    m_table.setText(row, ParameterTable::CurrentColumn, text);
    return true;
}

bool ParameterTransfer::writeCurrentRow()
{
    const int row = m_table.currentRow();
    if (!m_table.hasNumberCell(row))
        return false;
    const QString value = m_table.text(row, ParameterTable::SettingColumn);
    if (ParameterTable::isFunctionRowText(m_table.text(row, ParameterTable::NumberColumn)))
        return runFunctionValue(value);
    bool numeric = false;
    const int number = m_table.numberText(row).toInt(&numeric);
    if (value.trimmed().isEmpty() || !numeric)
        return false;
    return writeParameter(number, value, m_table.text(row, ParameterTable::UnitColumn));
}

void ParameterTransfer::clearCurrentValues()
{
    for (int row = 0; m_table.hasNumberCell(row); ++row)
        m_table.setText(row, ParameterTable::CurrentColumn, QString());
}

void ParameterTransfer::clearSettingValues()
{
    for (int row = 0; m_table.hasNumberCell(row); ++row) {
        if (m_table.text(row, ParameterTable::NumberColumn).isEmpty())
            break;
        m_table.setText(row, ParameterTable::SettingColumn, QString());
    }
}
