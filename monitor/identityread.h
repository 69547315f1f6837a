#pragma once

#include <QStringList>

class ParameterAccess;

// Reads who the drive is (model, version, rated current, voltage class)
// before monitoring starts. Register 77 guards the drive's parameters: it is
// saved, set to 9999 for the read and restored afterwards.
class IdentityRead
{
public:
    explicit IdentityRead(ParameterAccess &parameters) : m_parameters(parameters) {}

    // The identity record, or an empty list when the read failed.
    QStringList run();

    // The extra text of series ZM-K (its rating selection, P.186); kept
    // between reads.
    static QString extraText();

    // The register range read for the attached series: first and last, or
    // false when the series has none.
    static bool registerRange(int *first, int *last);

    // The capacity in the model string (third field without its unit letter).
    static double modelCapacity(const QString &model);

private:
    QStringList runGeneral(int first, int last);
    QStringList runSeriesH();
    bool saveAndOpenGuard(QString *saved);
    QStringList failedWithGuardOpen(const QString &saved);
    QString readParameterText(int number);
    QString versionText(int last);
    static QString voltageText(const QString &firstText, bool *open);
    static QString voltageFromModel(const QString &model);

    ParameterAccess &m_parameters;
};
