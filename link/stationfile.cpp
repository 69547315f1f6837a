#include "stationfile.h"

#include "base/sharedstate.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

QString StationFile::fileName() { return settingsPath(QStringLiteral("station.txt")); }

bool StationFile::applyLine(const QString &line, QStringList &names)
{
    const QStringList pieces = line.split(QLatin1Char(','));
    if (pieces.size() != 2)
        return false;
    bool ok = false;
    const int station = pieces.at(0).trimmed().toInt(&ok, 10);
    if (!ok || station < 0 || station >= kStationCount || station >= names.size())
        return false;
    names[station] = pieces.at(1).trimmed();
    return true;
}

QStringList StationFile::read(const QString &path)
{
    QStringList names;
    for (int i = 0; i < kStationCount; ++i)
        names.append(QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd())
        applyLine(in.readLine(), names);
    return names;
}

static bool canBeReadBack(const QString &name)
{
    return !name.contains(QLatin1Char(',')) && !name.contains(QLatin1Char('\n')) &&
           !name.contains(QLatin1Char('\r'));
}

QByteArray StationFile::contents(const QStringList &names)
{
    QByteArray text;
    const int count = qMin(names.size(), int(kStationCount));
    for (int station = 0; station < count; ++station) {
        const QString name = names.at(station).trimmed();
        if (name.isEmpty() || !canBeReadBack(name))
            continue;
        text += QByteArray::number(station) + ',' + name.toUtf8() + '\n';
    }
    return text;
}

bool StationFile::write(const QStringList &names, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = contents(names);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
