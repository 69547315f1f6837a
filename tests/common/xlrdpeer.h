#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

// Reads a workbook with xlrd, a reader that shares no code with ours
// (peers/xlrd_dump.py). {"skip": true} when xlrd is absent, {"error": ...}
// when it cannot read the file, otherwise the cells as the peer prints them.
// `sheet` counts from 1.
inline QJsonObject xlrdRead(const QString &file, int sheet = 1)
{
    QProcess peer;
    peer.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(VANTREO_SOURCE_TESTS "/peers/xlrd_dump.py"), file,
                QString::number(sheet)});
    if (!peer.waitForFinished(60000))
        peer.kill();
    if (peer.exitCode() == 2)
        return QJsonObject{{"skip", true}};
    const QByteArray out = peer.readAllStandardOutput();
    if (peer.exitCode() != 0)
        return QJsonObject{{"error", QString::fromUtf8(peer.readAllStandardError())}};
    return QJsonDocument::fromJson(out).object();
}
