#pragma once

#include <QString>

// What the capacity-dependent defaults and ranges depend on.
struct DriveIdentity {
    char series = '0';
    QString model;       // e.g. ZM-043-7.5K, ZM-043-185K/200K-K
    QString p186;        // "1" selects the second rating of a dual-rated model
    double version = 0;  // the catalogue version as a number
};

// A replacement that the multi-value tables give for a default or a range.
struct MultiValue {
    bool hasDefault = false;
    QString defaultValue;
    bool hasRange = false;
    QString range;
};

// The defaults and ranges that depend on the drive's capacity and voltage
// class rather than on the catalogue: the computed defaults of P.0, P.9 and
// P.87, the short capacity defaults of the series without "Parameter_NotH",
// and the multi-value tables.
class CapacityRules
{
public:
    explicit CapacityRules(const DriveIdentity &drive) : m_drive(drive) {}

    // P.0, P.9 and P.87 of series 'A' and of the "Parameter_NotH" series; an
    // empty text when the capacity is not listed.
    QString computedDefault(int number) const;
    // P.0, P.7, P.8, P.12 and P.16 of the other series.
    QString shortCapacityDefault(int number) const;
    // The multi-value rule for `number`, if any.
    MultiValue multiValue(int number) const;

    // Capacity readings of the model string (0 when the field is no number).
    // The third "-" field without its last character ("5.5K" gives 5.5).
    static double thirdFieldCapacity(const QString &model);
    // The model from its eighth character on, last character removed.
    static double eighthCharacterCapacity(const QString &model);
    // The third part of the model split at "-" and "/", last character removed.
    static double dashSlashCapacity(const QString &model);
    // A capacity times `factor`, as a table key; the small tolerance keeps
    // 2.2 x 100 at 220 where the binary product falls just short.
    static int capacityKey(double capacity, int factor);

private:
    double computedCapacity() const;
    QString computedVoltageCode() const;
    double multiValueCapacity() const;
    QString p0Default() const;
    QString p9Default() const;
    QString p87Default() const;
    MultiValue multiValueA(int number) const;
    MultiValue multiValueOther(int number) const;
    MultiValue carrierFrequency(double c) const;

    DriveIdentity m_drive;
};
