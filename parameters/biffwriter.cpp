#include "biffwriter.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// Record ids.
constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kCodePage = 0x0042;
constexpr quint16 kWindow1 = 0x003D;
constexpr quint16 kDateMode = 0x0022;
constexpr quint16 kFont = 0x0031;
constexpr quint16 kXf = 0x00E0;
constexpr quint16 kStyle = 0x0293;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kSst = 0x00FC;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kExtSst = 0x00FF;
constexpr quint16 kWsBool = 0x0081;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kLabelSst = 0x00FD;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kWindow2 = 0x023E;

constexpr int kMaxRecordBody = 8224;
constexpr int kCellXf = 15;  // the first XF after the 15 style XFs

void add8(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
}

void add16(QByteArray &b, int v)
{
    add8(b, v);
    add8(b, v >> 8);
}

void add32(QByteArray &b, quint32 v)
{
    add16(b, int(v & 0xFFFF));
    add16(b, int(v >> 16));
}

void addDouble(QByteArray &b, double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    add32(b, quint32(bits & 0xFFFFFFFFu));
    add32(b, quint32(bits >> 32));
}

QByteArray bof(int substreamType)
{
    QByteArray b;
    add16(b, 0x0600);  // BIFF8
    add16(b, substreamType);
    add16(b, 0x0DBB);  // build
    add16(b, 0x07CC);  // year
    add32(b, 0x00000009);  // last edited and ever edited on Windows
    add32(b, 0x00000006);  // lowest BIFF version that reads it: 8
    return b;
}

QByteArray font()
{
    QByteArray b;
    add16(b, 200);     // 10 points in twips
    add16(b, 0);       // plain
    add16(b, 0x7FFF);  // automatic colour
    add16(b, 400);     // normal weight
    add16(b, 0);       // no super- or subscript
    add8(b, 0);        // no underline
    add8(b, 0);        // family
    add8(b, 0);        // character set
    add8(b, 0);
    add8(b, 5);  // name: five one-byte characters
    add8(b, 0);
    b.append("Arial");
    return b;
}

// A style XF (parent none) or the cell XF (parent style 0), general format,
// bottom aligned, no borders, automatic pattern colours. `ignored` marks the
// attribute groups a style leaves alone (all but the font for the built-in
// row and column styles).
QByteArray xf(bool style, int fontIndex, int ignored)
{
    QByteArray b;
    add16(b, fontIndex);
    add16(b, 0);  // number format "General"
    add16(b, style ? 0xFFF5 : 0x0001);  // locked; style flag and parent
    add8(b, 0x20);  // bottom aligned
    add8(b, 0);     // no rotation
    add8(b, 0);     // no indent
    add8(b, ignored);
    add32(b, 0);  // borders
    add32(b, 0);
    add16(b, 0x20C0);  // pattern colours 64 and 65
    return b;
}

}  // namespace

QByteArray BiffWriter::workbookStream(const WorkbookCells &cells)
{
    return workbookStream(QVector<const WorkbookCells *>{&cells});
}

namespace {
class CellMapSource : public BiffSheetSource
{
public:
    explicit CellMapSource(const QVector<const WorkbookCells *> &sheets) : m_sheets(sheets) {}
    int sheetCount() const override { return m_sheets.size(); }
    void forEachCell(int sheet, const CellVisitor &visit) const override
    {
        const WorkbookCells &cells = *m_sheets.at(sheet);
        for (auto it = cells.begin(); it != cells.end(); ++it)
            visit(it.key(), it.value());
    }

private:
    const QVector<const WorkbookCells *> &m_sheets;
};
}  // namespace

QByteArray BiffWriter::workbookStream(const QVector<const WorkbookCells *> &sheets)
{
    return workbookStream(CellMapSource(sheets));
}

QString BiffWriter::StringPool::at(int i) const
{
    const int start = m_starts.at(i);
    return QString(reinterpret_cast<const QChar *>(m_text.constData()) + start,
                   m_starts.at(i + 1) - start);
}

int BiffWriter::StringPool::find(const QString &text, uint hash) const
{
    if (m_slots.isEmpty())
        return -1;
    const int mask = m_slots.size() - 1;
    for (int slot = int(hash) & mask;; slot = (slot + 1) & mask) {
        const int entry = m_slots.at(slot);
        if (entry == 0)
            return -(slot + 2);  // free slot `slot`
        const int start = m_starts.at(entry - 1);
        const int length = m_starts.at(entry) - start;
        if (length == text.size() &&
            std::memcmp(m_text.constData() + 2 * qint64(start), text.constData(),
                        2 * size_t(length)) == 0)
            return entry - 1;
    }
}

int BiffWriter::StringPool::indexOf(const QString &text) const
{
    const int found = find(text, qHash(text));
    return found >= 0 ? found : 0;
}

void BiffWriter::StringPool::grow()
{
    QVector<int> table(std::max(1024, 2 * m_slots.size()), 0);
    const int mask = table.size() - 1;
    for (int i = 0; i < size(); ++i) {
        int slot = int(qHash(at(i))) & mask;
        while (table.at(slot) != 0)
            slot = (slot + 1) & mask;
        table[slot] = i + 1;
    }
    m_slots = std::move(table);
}

int BiffWriter::StringPool::intern(const QString &text)
{
    if (2 * (size() + 1) > m_slots.size())
        grow();
    const int found = find(text, qHash(text));
    if (found >= 0)
        return found;
    const int index = size();
    m_text.append(reinterpret_cast<const char *>(text.constData()), 2 * text.size());
    m_starts.append(m_starts.last() + text.size());
    m_slots[-found - 2] = index + 1;
    return index;
}

QByteArray BiffWriter::workbookStream(const BiffSheetSource &source)
{
    BiffWriter writer(source);
    writer.writeGlobals();
    for (int i = 0; i < source.sheetCount(); ++i) {
        const quint32 sheetOffset = quint32(writer.m_out.size());
        writer.writeSheet(i);
        qToLittleEndian(sheetOffset, writer.m_out.data() + writer.m_boundSheetAt.at(i));
    }
    return writer.m_out;
}

// One look at every cell before writing: the shared strings and each
// sheet's extent go ahead of the cells in the file.
BiffWriter::BiffWriter(const BiffSheetSource &source) : m_source(source)
{
    for (int sheet = 0; sheet < source.sheetCount(); ++sheet) {
        Extent extent;
        extent.firstColumn = kWorkbookColumns;
        extent.endColumn = 0;
        source.forEachCell(sheet, [&](int key, const QVariant &value) {
            const int row = key / kWorkbookColumns, column = key % kWorkbookColumns;
            if (extent.empty)
                extent.firstRow = row;
            extent.empty = false;
            extent.endRow = row + 1;
            extent.firstColumn = std::min(extent.firstColumn, column);
            extent.endColumn = std::max(extent.endColumn, column + 1);
            if (value.type() != QVariant::String) {
                ++extent.numbers;
                return;
            }
            ++extent.texts;
            ++m_stringUses;
            m_strings.intern(value.toString());
        });
        m_extents.append(extent);
    }
}

// As writeSheet() writes it: BOF, WSBOOL, DIMENSIONS, the cells, WINDOW2
// and EOF, each record with its four header bytes.
qint64 BiffWriter::sheetSize(int sheet) const
{
    const Extent &extent = m_extents.at(sheet);
    return (4 + 16) + (4 + 2) + (4 + 14) + extent.texts * (4 + 10) + extent.numbers * (4 + 14) +
           (4 + 18) + 4;
}

bool BiffWriter::writeStream(const BiffSheetSource &source,
                             const std::function<QByteArray(qint64 streamSize)> &head,
                             const std::function<bool(const QByteArray &)> &write)
{
    constexpr int kPiece = 1 << 20;
    BiffWriter writer(source);
    writer.writeGlobals();
    // The sheets' offsets go into the globals before the first byte is out.
    qint64 end = writer.m_out.size();
    for (int i = 0; i < source.sheetCount(); ++i) {
        qToLittleEndian(quint32(end), writer.m_out.data() + writer.m_boundSheetAt.at(i));
        end += writer.sheetSize(i);
    }
    if (!write(head(end)) || !write(writer.m_out))
        return false;
    qint64 written = writer.m_out.size();
    writer.m_out = QByteArray();
    writer.m_flush = [&](bool always) {
        if (!always && writer.m_out.size() < kPiece)
            return true;
        written += writer.m_out.size();
        const bool ok = write(writer.m_out);
        writer.m_out.clear();
        return ok;
    };
    for (int i = 0; i < source.sheetCount(); ++i) {
        writer.writeSheet(i);
        if (writer.m_failed || !writer.m_flush(true))
            return false;
    }
    // A miscounted size would leave a damaged file: never committed.
    return written == end;
}

void BiffWriter::beginRecord(quint16 id)
{
    m_recordStart = m_out.size();
    add16(m_out, id);
    add16(m_out, 0);
}

void BiffWriter::endRecord()
{
    const int length = m_out.size() - m_recordStart - 4;
    qToLittleEndian(quint16(length), m_out.data() + m_recordStart + 2);
}

void BiffWriter::record(quint16 id, const QByteArray &body)
{
    beginRecord(id);
    m_out += body;
    endRecord();
}

int BiffWriter::roomInRecord() const
{
    return kMaxRecordBody - (m_out.size() - m_recordStart - 4);
}

void BiffWriter::writeGlobals()
{
    record(kBof, bof(0x0005));
    QByteArray b;
    add16(b, 1200);  // texts are Unicode
    record(kCodePage, b);
    b.clear();
    for (int v : {0, 0, 0x3A5C, 0x2238, 0x0038, 0, 0, 1, 600})
        add16(b, v);  // position, size, scroll bars and tabs shown, first tab
    record(kWindow1, b);
    record(kDateMode, QByteArray(2, '\0'));  // dates count from 1900
    for (int i = 0; i < 5; ++i)
        record(kFont, font());
    record(kXf, xf(true, 0, 0));  // the "Normal" style
    for (int i = 1; i < 15; ++i)
        record(kXf, xf(true, i < 3 ? 1 : (i < 5 ? 2 : 0), 0xF4));
    record(kXf, xf(false, 0, 0));
    record(kStyle, QByteArray::fromHex("0080" "00" "FF"));  // built-in "Normal" on XF 0
    for (int i = 0; i < m_source.sheetCount(); ++i) {
        const QByteArray name = "Sheet" + QByteArray::number(i + 1);
        b = QByteArray(6, '\0');  // sheet offset patched later, visible worksheet
        add8(b, name.size());
        add8(b, 0);
        b.append(name);
        m_boundSheetAt.append(m_out.size() + 4);  // the offset opens the record body
        record(kBoundSheet, b);
    }
    writeStringTable();
    record(kEof, QByteArray());
}

// The shared string table. A text that does not fit in what is left of the
// current record starts a CONTINUE record of its own, so that texts up to
// two records long span no more than two (all that libfreexl can join);
// longer texts are split at character boundaries (never inside a surrogate
// pair), each continuation starting with the text's option byte.
void BiffWriter::writeStringTable()
{
    beginRecord(kSst);
    add32(m_out, quint32(m_stringUses));
    add32(m_out, quint32(m_strings.size()));
    m_recordHasText = false;
    const int perBucket = std::max(8, (m_strings.size() + 127) / 128);
    for (int i = 0; i < m_strings.size(); ++i)
        writeString(m_strings.at(i), i % perBucket == 0);
    endRecord();
    QByteArray b;
    add16(b, perBucket);
    b += m_bucketOffsets;
    record(kExtSst, b);
}

void BiffWriter::writeString(const QString &text, bool startsBucket)
{
    const bool wide = std::any_of(text.begin(), text.end(),
                                  [](QChar c) { return c.unicode() > 0xFF; });
    const int width = wide ? 2 : 1;
    const int whole = 3 + text.size() * width;
    const auto continueRecord = [this] {
        endRecord();
        beginRecord(kContinue);
    };
    if ((m_recordHasText && whole > roomInRecord()) || roomInRecord() < 3 + width)
        continueRecord();
    if (startsBucket) {
        add32(m_bucketOffsets, quint32(m_out.size()));
        add16(m_bucketOffsets, m_out.size() - m_recordStart);
        add16(m_bucketOffsets, 0);
    }
    add16(m_out, text.size());
    add8(m_out, wide ? 1 : 0);
    for (int done = 0; done < text.size();) {
        int take = std::min(roomInRecord() / width, text.size() - done);
        if (wide && take > 0 && done + take < text.size() &&
            text.at(done + take - 1).isHighSurrogate())
            --take;
        for (int i = done; i < done + take; ++i) {
            if (wide)
                add16(m_out, text.at(i).unicode());
            else
                add8(m_out, text.at(i).unicode());
        }
        done += take;
        if (done < text.size()) {
            continueRecord();
            add8(m_out, wide ? 1 : 0);
        }
    }
    m_recordHasText = true;
}

void BiffWriter::writeSheet(int sheet)
{
    record(kBof, bof(0x0010));
    QByteArray b;
    add16(b, 0x04C1);  // outline symbols and automatic page breaks shown
    record(kWsBool, b);
    b.clear();
    const Extent &extent = m_extents.at(sheet);
    const bool empty = extent.empty;
    add32(b, empty ? 0 : quint32(extent.firstRow));
    add32(b, empty ? 0 : quint32(extent.endRow));
    add16(b, empty ? 0 : extent.firstColumn);
    add16(b, empty ? 0 : extent.endColumn);
    add16(b, 0);
    record(kDimensions, b);
    m_source.forEachCell(sheet, [this, &b](int key, const QVariant &value) {
        b.clear();
        add16(b, key / kWorkbookColumns);
        add16(b, key % kWorkbookColumns);
        add16(b, kCellXf);
        if (value.type() == QVariant::String) {
            add32(b, quint32(m_strings.indexOf(value.toString())));
            record(kLabelSst, b);
        } else {
            addDouble(b, value.toDouble());
            record(kNumber, b);
        }
        if (m_flush && !m_failed && !m_flush(false))
            m_failed = true;
    });
    b.clear();
    for (int v : {0x06B6, 0, 0, 0x40, 0, 0, 0, 0, 0})
        add16(b, v);  // grid, headers, zeros shown; selected; header colour
    record(kWindow2, b);
    record(kEof, QByteArray());
}
