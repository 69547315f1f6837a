#pragma once

#include <QByteArray>
#include <QString>

// Replaces `fileName` with `bytes` through a temporary file in the same
// folder that is renamed over the target only when every byte is on disk: on
// any failure the previous file stays byte for byte and `error` says why.
// Unbuffered, because a buffered QSaveFile reports success for a write the
// system cut short (a full disk, a file size limit) and commits the stump.
bool writeFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error);
