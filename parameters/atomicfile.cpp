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

bool writeFileAtomically(const QString &fileName,
                         const std::function<bool(const FileChunkWriter &write)> &produce,
                         QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 total = 0;
    QString writeError;
    const FileChunkWriter write = [&](const QByteArray &chunk) {
        const qint64 n = file.write(chunk);
        if (n == chunk.size()) {
            total += n;
            return true;
        }
        writeError = n >= 0 ? QStringLiteral("only %1 of %2 bytes could be written")
                                  .arg(total + n)
                                  .arg(total + chunk.size())
                            : file.errorString();
        return false;
    };
    if (produce(write) && file.size() == total && file.commit())
        return true;
    if (error) {
        if (!writeError.isEmpty())
            *error = writeError;
        else if (file.error() != QFileDevice::NoError)
            *error = file.errorString();
    }
    file.cancelWriting();
    return false;
}
