#include "biffcheck.h"

#include "workbookcells.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kFilePass = 0x002F;
constexpr quint16 kSst = 0x00FC;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kFormat = 0x041E;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kRk = 0x027E;
constexpr quint16 kMulRk = 0x00BD;
constexpr quint16 kLabelSst = 0x00FD;
constexpr quint16 kBoolErr = 0x0205;
constexpr int kMaxRecordBody = 8224;

quint16 u16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Whether the Unicode string whose 16-bit length is at `at` (option byte,
// optional run count and extension size, characters) lies inside `body`.
bool stringFits(const QByteArray &body, int at)
{
    if (at + 3 > body.size())
        return false;
    const quint8 options = quint8(body.at(at + 2));
    const int extras = ((options & 0x08) ? 2 : 0) + ((options & 0x04) ? 4 : 0);
    const qint64 chars = qint64(u16(body, at)) * ((options & 0x01) ? 2 : 1);
    return at + 3 + extras + chars <= body.size();
}

}  // namespace

bool BiffCheck::check(const QByteArray &stream, QString *error)
{
    BiffCheck checker(stream);
    const bool ok = checker.run();
    if (!ok && error)
        *error = checker.m_error;
    return ok;
}

bool BiffCheck::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

bool BiffCheck::run()
{
    int pos = 0;
    for (bool first = true; pos + 4 <= m_stream.size(); first = false) {
        const quint16 id = u16(m_stream, pos);
        const int length = u16(m_stream, pos + 2);
        if (id == 0 && length == 0)
            break;  // zero padding after the last record
        if (length > kMaxRecordBody)
            return fail(QStringLiteral("a record is longer than the format allows"));
        if (pos + 4 + length > m_stream.size())
            return fail(QStringLiteral("the last record is cut off"));
        const QByteArray body = m_stream.mid(pos + 4, length);
        if (first && (id != kBof || length < 4 || u16(body, 0) != 0x0600 || u16(body, 2) != 5))
            return fail(QStringLiteral("not an Excel 97-2003 (BIFF8) workbook"));
        if (m_inSst && id != kContinue && !checkStringTable())
            return false;
        if (!checkRecord(id, body))
            return false;
        pos += 4 + length;
    }
    if (m_inSst && !checkStringTable())
        return false;
    // The globals and at least one sheet, each closed by its EOF record: a
    // stream that stops inside a substream has lost its end.
    if (m_inSubstream || m_substreams < 2)
        return fail(QStringLiteral("the workbook stream is truncated"));
    return true;
}

bool BiffCheck::checkRecord(quint16 id, const QByteArray &body)
{
    switch (id) {
    case kBof:
        m_inSubstream = true;
        ++m_substreams;
        m_hasDimensions = false;
        m_lastRow = m_lastColumn = -1;
        return true;
    case kEof:
        return endSubstream();
    case kFilePass:
        return fail(QStringLiteral("the workbook is password-protected"));
    case kSst:
        if (++m_sstCount > 1 || body.size() < 8)
            return fail(QStringLiteral("damaged string table"));
        m_inSst = true;
        m_sst = {body};
        return true;
    case kContinue:
        if (m_inSst)
            m_sst.append(body);
        return true;
    case kFormat:
        return stringFits(body, 2) || fail(QStringLiteral("damaged number format"));
    case kBoundSheet:
        if (body.size() < 8 ||
            8 + int(quint8(body.at(6))) * ((body.at(7) & 1) ? 2 : 1) > body.size())
            return fail(QStringLiteral("damaged sheet name"));
        return true;
    case kDimensions: {
        if (body.size() < 14)
            return fail(QStringLiteral("damaged sheet extent"));
        const qint64 rows = u32(body, 4), columns = u16(body, 10);
        if (rows > kWorkbookRows || columns > kWorkbookColumns)
            return fail(QStringLiteral("the sheet extent exceeds the format"));
        m_hasDimensions = true;
        m_cells += rows * columns;
        return m_cells <= kMaxCells || fail(QStringLiteral("the sheets are too large"));
    }
    default:
        return checkCell(id, body);
    }
}

// Cell records: long enough for what a reader takes from them; where a sheet
// declares no extent, their positions make it.
bool BiffCheck::checkCell(quint16 id, const QByteArray &body)
{
    int minimum = 0;
    switch (id) {
    case kNumber: minimum = 14; break;
    case kRk: case kLabelSst: minimum = 10; break;
    case kBoolErr: minimum = 8; break;
    case kMulRk: minimum = 12; break;
    case kLabel: minimum = 9; break;
    default: return true;
    }
    if (body.size() < minimum || (id == kLabel && !stringFits(body, 6)))
        return fail(QStringLiteral("damaged cell record"));
    const int lastColumn = u16(body, 2) + (id == kMulRk ? (body.size() - 4) / 6 : 0);
    m_lastRow = std::max<qint64>(m_lastRow, u16(body, 0));
    m_lastColumn = std::max<qint64>(m_lastColumn, lastColumn);
    return true;
}

bool BiffCheck::endSubstream()
{
    m_inSubstream = false;
    if (!m_hasDimensions && m_lastRow >= 0)
        m_cells += (m_lastRow + 1) * (m_lastColumn + 1);
    m_lastRow = m_lastColumn = -1;
    return m_cells <= kMaxCells || fail(QStringLiteral("the sheets are too large"));
}

bool BiffCheck::checkStringTable()
{
    m_inSst = false;
    qint64 bytes = 0;
    for (const QByteArray &part : m_sst)
        bytes += part.size();
    const quint32 unique = u32(m_sst.first(), 4);
    if (unique > bytes / 3)  // every text takes at least three bytes
        return fail(QStringLiteral("damaged string table"));
    int record = 0, pos = 8;
    for (quint32 i = 0; i < unique; ++i) {
        if (!checkSharedString(&record, &pos))
            return fail(QStringLiteral("damaged string table"));
    }
    return true;
}

// One text of the table: its header inside one record, its characters in
// that record and at most the next one (each continuation opens with an
// option byte), rich-text runs and extension data present. A text spread
// over more records is refused: the reading library cannot join it.
bool BiffCheck::checkSharedString(int *record, int *pos)
{
    if (*pos == m_sst.at(*record).size()) {
        if (++*record >= m_sst.size())
            return false;
        *pos = 0;
    }
    const QByteArray *part = &m_sst.at(*record);
    if (*pos + 3 > part->size())
        return false;
    const quint8 options = quint8(part->at(*pos + 2));
    int remaining = u16(*part, *pos);
    const int headerExtras = ((options & 0x08) ? 2 : 0) + ((options & 0x04) ? 4 : 0);
    if (*pos + 3 + headerExtras > part->size())
        return false;
    qint64 extra = ((options & 0x08) ? 4 * qint64(u16(*part, *pos + 3)) : 0) +
                   ((options & 0x04) ? qint64(u32(*part, *pos + 3 + headerExtras - 4)) : 0);
    *pos += 3 + headerExtras;
    int width = (options & 0x01) ? 2 : 1;
    bool split = false;
    for (int spans = 1;; ++spans) {
        const int take = std::min(remaining, (part->size() - *pos) / width);
        *pos += take * width;
        remaining -= take;
        if (remaining == 0)
            break;
        if (*pos != part->size() || spans == 2 || ++*record >= m_sst.size())
            return false;  // a split character, or a third record
        part = &m_sst.at(*record);
        if (part->isEmpty())
            return false;
        width = (part->at(0) & 0x01) ? 2 : 1;
        *pos = 1;
        split = true;
    }
    const qint64 left = part->size() - *pos;
    if (extra <= left) {
        *pos += int(extra);
        return true;
    }
    // The reading library skips extra data into the next record only, and
    // not at all after a split text.
    if (split || ++*record >= m_sst.size() || extra - left > m_sst.at(*record).size())
        return false;
    *pos = int(extra - left);
    return true;
}
