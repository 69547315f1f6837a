#include "sharedstate.h"

#include "drivetarget.h"
#include "series.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QReadWriteLock>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include <atomic>

namespace {
std::atomic<quint8> g_languageCode{0};
std::atomic<char> g_seriesLetter{'0'};

QMutex g_textMutex;
QString g_modelString;
QString g_dataDirectory;

QReadWriteLock g_featureLock;
QList<QStringList> g_featureRows;
}  // namespace

quint8 languageCode() { return g_languageCode.load(); }
void setLanguageCode(quint8 code) { g_languageCode.store(code); }

// Inside a DriveTargetScope the series and model are those of the thread's
// target: a job reads and sets what belongs to its own drive.
char seriesLetter()
{
    if (const DriveTarget *target = DriveTargetScope::bound())
        return target->series;
    return g_seriesLetter.load();
}

void setSeriesLetter(char letter)
{
    if (DriveTarget *target = DriveTargetScope::bound())
        target->series = letter;
    else
        g_seriesLetter.store(letter);
}

QString modelString()
{
    if (const DriveTarget *target = DriveTargetScope::bound())
        return target->model;
    QMutexLocker lock(&g_textMutex);
    return g_modelString;
}

void setModelString(const QString &model)
{
    if (DriveTarget *target = DriveTargetScope::bound()) {
        target->model = model;
        return;
    }
    QMutexLocker lock(&g_textMutex);
    g_modelString = model;
}

namespace {
// The data folder, and whether it is the shared one of an installed copy.
QString findDataDirectory(bool *installedCopy)
{
    *installedCopy = false;
    {
        QMutexLocker lock(&g_textMutex);
        if (!g_dataDirectory.isEmpty())
            return g_dataDirectory;
    }
    if (!QCoreApplication::instance())
        return QDir::currentPath();
    // Beside the executable in the build folder; installed, the executables
    // are in bin/ and the data in share/vantreo/.
    const QDir beside(QCoreApplication::applicationDirPath());
    if (beside.exists(QStringLiteral("InvType")))
        return beside.path();
    const QDir installed(beside.filePath(QStringLiteral(VANTREO_INSTALLED_DATA)));
    if (installed.exists(QStringLiteral("InvType"))) {
        *installedCopy = true;
        return installed.canonicalPath();
    }
    return beside.path();
}
}  // namespace

QString dataDirectory()
{
    bool installedCopy = false;
    return findDataDirectory(&installedCopy);
}

QString settingsPath(const QString &name)
{
    bool installedCopy = false;
    const QString data = findDataDirectory(&installedCopy);
    if (!installedCopy)
        return QDir(data).filePath(name);
    const QString own =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/vantreo");
    // A folder that cannot be made shows later, as the file that cannot be
    // written, with its name.
    QDir().mkpath(own);
    return QDir(own).filePath(name);
}

void setDataDirectory(const QString &dir)
{
    QMutexLocker lock(&g_textMutex);
    g_dataDirectory = dir;
}

QString dataPath(const QString &relative)
{
    return QDir(dataDirectory()).filePath(relative);
}

bool loadLanguageCode()
{
    QFile file(settingsPath(QStringLiteral("LT.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString first = QString::fromUtf8(file.readLine(64)).trimmed();
    if (first == QLatin1String("0") || first == QLatin1String("1") ||
        first == QLatin1String("2")) {
        setLanguageCode(quint8(first.toInt()));
        return true;
    }
    return false;
}

void setSeriesFeatureText(const QString &text)
{
    QList<QStringList> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList pieces =
            line.split(QStringLiteral("//"), Qt::SkipEmptyParts);
        if (!pieces.isEmpty())
            rows.append(pieces);
    }
    QWriteLocker lock(&g_featureLock);
    g_featureRows = rows;
}

bool loadSeriesFeatures()
{
    QFile file(dataPath(QStringLiteral("InvType/typeInfo.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setSeriesFeatureText(QString());
        return false;
    }
    setSeriesFeatureText(QString::fromUtf8(file.readAll()));
    return true;
}

bool isSeriesFeatureFor(char letter, const QString &key)
{
    const int column = seriesFeatureColumn(letter);
    if (column == 0)
        return false;
    QReadLocker lock(&g_featureLock);
    for (const QStringList &row : g_featureRows) {
        if (row.at(0) != key)
            continue;
        if (column >= row.size())
            return false;
        static const QRegularExpression separators(QStringLiteral("-|,"));
        const QStringList parts = row.at(column).trimmed().split(separators, Qt::SkipEmptyParts);
        return !parts.isEmpty() && parts.first() != QLatin1String("0");
    }
    return false;
}

bool isSeriesFeature(const QString &key)
{
    return isSeriesFeatureFor(seriesLetter(), key);
}

void resetSharedState()
{
    setLanguageCode(0);
    setSeriesLetter('0');
    setModelString(QString());
    setSeriesFeatureText(QString());
}
