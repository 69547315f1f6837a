#include "compoundfile.h"

#include <QVector>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kSectorSize = 512;
constexpr int kIdsPerSector = kSectorSize / 4;
constexpr int kHeaderFatSlots = 109;
constexpr int kMiniStreamCutoff = 4096;
const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

void put16(QByteArray &bytes, int at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

quint16 get16(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 get32(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// One 128-byte directory entry; an empty name makes an unused entry.
QByteArray directoryEntry(const QString &name, quint8 type, quint32 child, quint32 start,
                          quint32 size)
{
    QByteArray entry(128, '\0');
    for (int i = 0; i < name.size(); ++i)
        put16(entry, 2 * i, name.at(i).unicode());
    put16(entry, 64, name.isEmpty() ? 0 : quint16(2 * (name.size() + 1)));
    entry[66] = char(type);
    entry[67] = char(name.isEmpty() ? 0 : 1);  // black: a one-node tree
    put32(entry, 68, kNoStream);
    put32(entry, 72, kNoStream);
    put32(entry, 76, child);
    put32(entry, 116, start);
    put32(entry, 120, size);
    return entry;
}

// How many FAT and DIFAT sectors a file with `dataSectors` other sectors needs.
void tableSizes(int dataSectors, int *fat, int *difat)
{
    *fat = 1;
    *difat = 0;
    for (;;) {
        const int total = *difat + *fat + dataSectors;
        const int fatNeeded = (total + kIdsPerSector - 1) / kIdsPerSector;
        const int over = std::max(0, fatNeeded - kHeaderFatSlots);
        const int difatNeeded = (over + kIdsPerSector - 2) / (kIdsPerSector - 1);
        if (fatNeeded <= *fat && difatNeeded <= *difat)
            return;
        *fat = std::max(*fat, fatNeeded);
        *difat = std::max(*difat, difatNeeded);
    }
}

QByteArray header(int fatSectors, int difatSectors, quint32 directorySector)
{
    QByteArray bytes(kSectorSize, '\0');
    bytes.replace(0, 8, kSignature, 8);
    put16(bytes, 24, 0x003E);  // minor version
    put16(bytes, 26, 0x0003);  // major version 3: 512-byte sectors
    put16(bytes, 28, 0xFFFE);  // little-endian
    put16(bytes, 30, 9);       // sector size 2^9
    put16(bytes, 32, 6);       // mini sector size 2^6
    put32(bytes, 44, quint32(fatSectors));
    put32(bytes, 48, directorySector);
    put32(bytes, 56, kMiniStreamCutoff);
    put32(bytes, 60, kEndOfChain);  // no mini FAT
    put32(bytes, 68, difatSectors > 0 ? 0 : kEndOfChain);
    put32(bytes, 72, quint32(difatSectors));
    for (int i = 0; i < kHeaderFatSlots; ++i)
        put32(bytes, 76 + 4 * i, i < fatSectors ? quint32(difatSectors + i) : kFreeSector);
    return bytes;
}

}  // namespace

QByteArray CompoundFile::wrapWorkbook(const QByteArray &stream)
{
    return workbookHead(stream.size()) + stream + workbookTail(stream.size());
}

// Layout: DIFAT sectors, FAT sectors, one directory sector, the stream.
QByteArray CompoundFile::workbookHead(int streamSize)
{
    const int size = std::max(streamSize, kMiniStreamCutoff);
    const int streamSectors = (size + kSectorSize - 1) / kSectorSize;
    int fatCount = 0, difatCount = 0;
    tableSizes(1 + streamSectors, &fatCount, &difatCount);
    const quint32 directory = quint32(difatCount + fatCount);
    const quint32 firstData = directory + 1;

    QByteArray file = header(fatCount, difatCount, directory);
    for (int d = 0; d < difatCount; ++d) {
        QByteArray sector(kSectorSize, '\xFF');
        for (int i = 0; i < kIdsPerSector - 1; ++i) {
            const int fatIndex = kHeaderFatSlots + d * (kIdsPerSector - 1) + i;
            if (fatIndex < fatCount)
                put32(sector, 4 * i, quint32(difatCount + fatIndex));
        }
        put32(sector, kSectorSize - 4, d + 1 < difatCount ? quint32(d + 1) : kEndOfChain);
        file += sector;
    }
    QByteArray fat(fatCount * kSectorSize, '\xFF');
    for (int i = 0; i < difatCount; ++i)
        put32(fat, 4 * i, kDifatSector);
    for (int i = 0; i < fatCount; ++i)
        put32(fat, 4 * (difatCount + i), kFatSector);
    put32(fat, 4 * int(directory), kEndOfChain);
    for (int i = 0; i < streamSectors; ++i) {
        const quint32 next = i + 1 < streamSectors ? firstData + i + 1 : kEndOfChain;
        put32(fat, 4 * int(firstData + i), next);
    }
    file += fat;
    file += directoryEntry("Root Entry", 5, 1, kEndOfChain, 0);
    file += directoryEntry("Workbook", 2, kNoStream, firstData, quint32(size));
    file += directoryEntry(QString(), 0, kNoStream, 0, 0);
    file += directoryEntry(QString(), 0, kNoStream, 0, 0);
    return file;
}

// A short stream padded to the cutoff, then the last sector filled.
QByteArray CompoundFile::workbookTail(int streamSize)
{
    const int size = std::max(streamSize, kMiniStreamCutoff);
    const int streamSectors = (size + kSectorSize - 1) / kSectorSize;
    return QByteArray(streamSectors * kSectorSize - streamSize, '\0');
}

namespace {

// Reads a compound document held in memory. Every sector number is checked
// against the file and every chain walk is bounded by the number of sectors,
// so that no damaged table can make it read outside the file or loop.
class CompoundReader
{
public:
    explicit CompoundReader(const QByteArray &file) : m_file(file) {}

    bool read(QByteArray *stream, QString *error);

private:
    bool readHeader();
    bool readFat();
    static bool chain(const QVector<quint32> &table, quint32 start, quint32 limit,
                      QVector<quint32> *sectors);
    // A whole chain when `size` is negative, else its first `size` bytes.
    bool streamOf(quint32 start, qint64 size, QByteArray *out) const;
    bool miniStreamOf(quint32 start, qint64 size, QByteArray *out) const;
    QByteArray sector(quint32 index) const
    {
        return m_file.mid(qint64(index + 1) << m_shift, m_sectorSize);
    }
    bool fail(const QString &reason)
    {
        m_error = reason;
        return false;
    }

    const QByteArray &m_file;
    int m_shift = 9;
    int m_sectorSize = 512;
    quint32 m_sectorCount = 0;
    QVector<quint32> m_fat;
    QVector<quint32> m_miniFat;
    QByteArray m_directory;
    QString m_error;
};

bool CompoundReader::readHeader()
{
    if (m_file.size() < kSectorSize || !m_file.startsWith(QByteArray(kSignature, 8)))
        return fail(QStringLiteral("not an OLE2 compound document"));
    m_shift = get16(m_file, 30);
    if (get16(m_file, 28) != 0xFFFE || (m_shift != 9 && m_shift != 12) || get16(m_file, 32) != 6)
        return fail(QStringLiteral("unsupported compound document header"));
    m_sectorSize = 1 << m_shift;
    if (m_file.size() < m_sectorSize)
        return fail(QStringLiteral("the file is truncated"));
    // Only whole sectors count: a cut-off last sector is missing data.
    m_sectorCount = quint32(m_file.size() / m_sectorSize - 1);
    return true;
}

bool CompoundReader::readFat()
{
    QVector<quint32> fatSectors;
    for (int i = 0; i < kHeaderFatSlots; ++i)
        fatSectors.append(get32(m_file, 76 + 4 * i));
    quint32 difat = get32(m_file, 68);
    const int idsPerSector = m_sectorSize / 4;
    for (quint32 steps = 0; difat != kEndOfChain && difat != kFreeSector; ++steps) {
        if (difat >= m_sectorCount || steps >= m_sectorCount)
            return fail(QStringLiteral("broken DIFAT chain"));
        const QByteArray ids = sector(difat);
        for (int i = 0; i < idsPerSector - 1; ++i)
            fatSectors.append(get32(ids, 4 * i));
        difat = get32(ids, m_sectorSize - 4);
    }
    const quint32 declared = get32(m_file, 44);
    if (declared == 0 || declared > m_sectorCount)
        return fail(QStringLiteral("broken FAT"));
    for (quint32 i = 0; i < declared; ++i) {
        if (int(i) >= fatSectors.size() || fatSectors.at(int(i)) >= m_sectorCount)
            return fail(QStringLiteral("FAT sector outside the file"));
        const QByteArray ids = sector(fatSectors.at(int(i)));
        for (int k = 0; k < idsPerSector; ++k)
            m_fat.append(get32(ids, 4 * k));
    }
    return true;
}

// A valid chain visits each of at most `limit` sectors once, so a longer
// walk means a loop.
bool CompoundReader::chain(const QVector<quint32> &table, quint32 start, quint32 limit,
                           QVector<quint32> *sectors)
{
    for (quint32 at = start; at != kEndOfChain;) {
        if (at >= quint32(table.size()) || quint32(sectors->size()) >= limit)
            return false;
        sectors->append(at);
        at = table.at(int(at));
    }
    return true;
}

bool CompoundReader::streamOf(quint32 start, qint64 size, QByteArray *out) const
{
    QVector<quint32> sectors;
    if (!chain(m_fat, start, m_sectorCount, &sectors))
        return false;
    for (quint32 s : sectors) {
        if (s >= m_sectorCount)
            return false;
        out->append(sector(s));
    }
    if (size < 0)
        return true;
    if (out->size() < size)
        return false;
    out->truncate(int(size));
    return true;
}

bool CompoundReader::miniStreamOf(quint32 start, qint64 size, QByteArray *out) const
{
    QByteArray container;
    const qint64 containerSize = qint64(get32(m_directory, 120));
    if (!streamOf(get32(m_directory, 116), containerSize, &container))
        return false;
    QVector<quint32> sectors;
    if (!chain(m_miniFat, start, quint32(container.size() / 64), &sectors))
        return false;
    for (quint32 s : sectors) {
        if ((qint64(s) + 1) * 64 > container.size())
            return false;
        out->append(container.mid(int(s) * 64, 64));
    }
    if (out->size() < size)
        return false;
    out->truncate(int(size));
    return true;
}

bool CompoundReader::read(QByteArray *stream, QString *error)
{
    const bool ok = readHeader() && readFat();
    if (ok && !streamOf(get32(m_file, 48), -1, &m_directory))
        m_error = QStringLiteral("broken directory chain");
    if (!m_error.isEmpty()) {
        *error = m_error;
        return false;
    }
    const QByteArray name = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0\0\0", 18);
    for (int at = 0; at + 128 <= m_directory.size(); at += 128) {
        if (m_directory.at(at + 66) != 2 || get16(m_directory, at + 64) != 18 ||
            m_directory.mid(at, 18) != name)
            continue;
        // Version 3 files keep only the low 32 bits of the size.
        const qint64 size = get32(m_directory, at + 120);
        if (size > m_file.size())
            break;
        const quint32 start = get32(m_directory, at + 116);
        bool found = false;
        if (size >= qint64(get32(m_file, 56))) {
            found = streamOf(start, size, stream);
        } else {
            QByteArray miniFat;
            found = streamOf(get32(m_file, 60), -1, &miniFat);
            for (int i = 0; found && i + 4 <= miniFat.size(); i += 4)
                m_miniFat.append(get32(miniFat, i));
            found = found && miniStreamOf(start, size, stream);
        }
        if (!found)
            *error = QStringLiteral("the Workbook stream is damaged or truncated");
        return found;
    }
    *error = QStringLiteral("no Workbook stream in the document");
    return false;
}

}  // namespace

bool CompoundFile::extractWorkbook(const QByteArray &file, QByteArray *stream, QString *error)
{
    stream->clear();
    QString reason;
    const bool ok = CompoundReader(file).read(stream, &reason);
    if (!ok) {
        stream->clear();
        if (error)
            *error = reason;
    }
    return ok;
}
