#pragma once

#include <QStringList>

#include <optional>

class ParameterAccess;

// An identity record as the tool bars show it.
struct DriveInfo {
    QString version;
    QString current;  // rated output current
    QString voltage;  // input voltage class
    // False when the record does not say which of a dual rating applies (a
    // ZM-K of unknown rating selection): a tool bar keeps what it showed.
    bool typeKnown = false;
    QString type;
    QString power;
};

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

    // A record of run() for a drive of `series`; none for an empty record.
    static std::optional<DriveInfo> driveInfo(const QStringList &record, char series);

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
