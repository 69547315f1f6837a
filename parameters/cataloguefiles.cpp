#include "cataloguefiles.h"

#include "base/series.h"
#include "base/sharedstate.h"

#include <QFile>
#include <QPair>
#include <QRegularExpression>
#include <QTextStream>

namespace {
QStringList fileLines(QFile &file)
{
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines.append(in.readLine());
    return lines;
}
}  // namespace

QString CatalogueFiles::path(const QString &name)
{
    const QString inFolder = dataPath(QStringLiteral("InvParameter/") + name);
    if (QFile::exists(inFolder))
        return inFolder;
    const QString beside = dataPath(name);
    return QFile::exists(beside) ? beside : inFolder;
}

QString CatalogueFiles::cataloguePath(char series, int language)
{
    static const char *const kSuffixes[] = {"_InvParameter_Eng.xml", "_InvParameter.xml",
                                            "_InvParameter_Big.xml"};
    const int index = language >= 0 && language <= 2 ? language : 0;
    return dataPath(QStringLiteral("InvParameter/") + QLatin1Char(series) +
                    QLatin1String(kSuffixes[index]));
}

QString CatalogueFiles::hiddenParameterPath(char series)
{
    if (series == 'A')
        return QString();
    const QString code = seriesCode(series);
    if (code.isEmpty())
        return QString();
    return dataPath(QStringLiteral("hideparameter/") + code + QStringLiteral("HideParameter.xml"));
}

bool CatalogueFiles::readVersionLines(QList<QPair<QString, QString>> *lines)
{
    QFile file(path(QStringLiteral("Version.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    for (const QString &line : fileLines(file)) {
        const QStringList parts = line.trimmed().split(QLatin1Char('-'));
        if (parts.size() >= 2)
            lines->append(qMakePair(parts.at(0).trimmed(), parts.at(1).trimmed()));
    }
    return true;
}

bool CatalogueFiles::readRowLimit(char series, int *rows, QString *fileName, QString *error)
{
    QFile file(path(QStringLiteral("INVParameter_num.txt")));
    *fileName = file.fileName();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    for (const QString &line : fileLines(file)) {
        const QStringList parts = line.trimmed().split(QLatin1Char('-'));
        bool ok = false;
        const int highest = parts.value(1).trimmed().toInt(&ok);
        // A line whose number is unreadable names no limit.
        if (parts.size() >= 2 && parts.at(0).trimmed() == QLatin1Char(series) && ok && highest >= 0)
            *rows = highest + 1;
    }
    return true;
}

bool CatalogueFiles::readSkipList(char series, QList<int> *numbers, QString *fileName,
                                  QString *error)
{
    QFile file(path(QStringLiteral("ReadPar.txt")));
    *fileName = file.fileName();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    static const QRegularExpression separators(QStringLiteral("P|-"));
    for (const QString &line : fileLines(file)) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0 || line.left(colon).trimmed() != QLatin1Char(series))
            continue;
        // The first piece still holds the letter and the colon.
        const QStringList parts = line.split(separators, Qt::SkipEmptyParts).mid(1);
        for (const QString &part : parts) {
            bool ok = false;
            const int number = part.trimmed().toInt(&ok);
            if (ok)
                numbers->append(number);
        }
    }
    return true;
}
