#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Replaces `fileName` with `bytes` through a temporary file in the same
// folder that is renamed over the target only when every byte is on disk: on
// any failure the previous file stays byte for byte and `error` says why.
// Unbuffered, because a buffered QSaveFile reports success for a write the
// system cut short (a full disk, a file size limit) and commits the stump.
bool writeFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error);

// The same for a file handed over in pieces: `produce` calls the writer it
// is given with each piece in order (false from the writer: stop, the write
// failed) and returns false when it could not make the whole file, with
// its reason in `error` unless a write failed. No piece is kept after it
// is written.
using FileChunkWriter = std::function<bool(const QByteArray &chunk)>;
bool writeFileAtomically(const QString &fileName,
                         const std::function<bool(const FileChunkWriter &write)> &produce,
                         QString *error);
