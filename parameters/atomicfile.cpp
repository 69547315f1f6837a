#include "atomicfile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 written = file.write(bytes);
    if (written == bytes.size() && file.size() == bytes.size() && file.commit())
        return true;
    if (error)
        *error = written >= 0 && written < bytes.size()
                     ? QStringLiteral("only %1 of %2 bytes could be written")
                           .arg(written)
                           .arg(bytes.size())
                     : file.errorString();
    file.cancelWriting();
    return false;
}
