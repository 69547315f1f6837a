#pragma once

#include "base/sharedstate.h"
#include "base/userinteraction.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the shipped data folder, no message boxes,
// and a way to cut one input into several pieces.
namespace fuzz {

class SilentInteraction : public UserInteraction
{
public:
    void warning(const QString &, const QString &) override {}
    void critical(const QString &, const QString &) override {}
    void information(const QString &, const QString &) override {}
    Answer question(const QString &, const QString &, bool, bool) override { return Answer::Yes; }
    int choose(Icon, const QString &, const QString &, const QStringList &,
               int defaultButton) override
    {
        return defaultButton;
    }
    void progressStart(const ProgressSetup &) override {}
    void progressSetRange(int, int) override {}
    void progressSetValue(int) override {}
    bool progressCancelled() override { return false; }
    void progressEnd() override {}
};

// The shipped data folder (FNC.txt, typeInfo.txt, catalogues) and no messages.
inline void init()
{
    static SilentInteraction silent;
    setUserInteraction(&silent);
    setDataDirectory(QStringLiteral(VANTREO_SOURCE_DATA));
    loadSeriesFeatures();
}

// Pieces of the form [length byte][that many bytes]..., the last one cut
// short where the input ends.
inline QList<QByteArray> pieces(const uint8_t *data, size_t size, int limit = 16)
{
    QList<QByteArray> out;
    size_t at = 0;
    while (at < size && out.size() < limit) {
        const size_t length = data[at++];
        const size_t take = length < size - at ? length : size - at;
        out.append(QByteArray(reinterpret_cast<const char *>(data + at), int(take)));
        at += take;
    }
    return out;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// A folder of the fuzzer's own, removed when it ends.
inline QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Writes the input to `path` (in workDir() when relative); false when it
// cannot be written, and the input is then passed over.
inline bool writeInput(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(QDir(workDir().path()).filePath(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
}

inline QString workPath(const QString &name) { return workDir().filePath(name); }

// A fault the fuzzer found: stop here so that it keeps the input.
inline void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace fuzz
