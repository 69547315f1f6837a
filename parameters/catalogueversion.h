#pragma once

#include <QMap>
#include <QString>

// The catalogue version: which version-dependent catalogue texts apply to the
// attached drive. The drive reports its version in P.188; Version.txt caps it
// per series (a drive newer than the catalogues shipped uses the newest one)
// and stands in when the drive cannot be read.
class CatalogueVersion
{
public:
    // Reads the limits from Version.txt.
    CatalogueVersion();

    // Series letter to the highest catalogue version the program may use.
    const QMap<char, double> &versionLimits() const { return m_limits; }
    void loadLimits();

    // Sets the shared catalogue version, device version, version-read flag
    // and (where the series has a second rating) P.186 value.
    void determineCatalogueVersion();

    // The version-dependent text rule of the catalogues. An element text is
    // split at backslashes: one part is used as it is; with two or more the
    // first is a version interval "low-high" and the second the text, used
    // only when low <= version <= high. False when the element is to be
    // ignored (empty, outside its interval, or an unreadable interval).
    static bool selectText(const QString &elementText, double version, QString *text);

    // The built-in version of a series when neither drive nor file tell it.
    static QString builtInVersion(char series);

private:
    QString versionFromDrive(char series);
    QString fallbackVersion(char series) const;

    QMap<char, double> m_limits;
};
