#include "trendrecording.h"

#include "parameters/atomicfile.h"
#include "parameters/workbook.h"
#include "parameters/workbookcells.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

TrendRecording::TrendRecording(const TrendRecording &other) { *this = other; }

TrendRecording &TrendRecording::operator=(const TrendRecording &other)
{
    if (this == &other)
        return *this;
    clear();
    const int blocks = (other.m_size + kBlock - 1) / kBlock;
    for (int b = 0; b < blocks; ++b) {
        m_blocks.emplace_back(new TrendCycle[kBlock]);
        const int n = std::min(kBlock, other.m_size - b * kBlock);
        std::copy(other.m_blocks[b].get(), other.m_blocks[b].get() + n, m_blocks[b].get());
    }
    m_size = other.m_size;
    return *this;
}

void TrendRecording::append(const TrendCycle &cycle)
{
    if (m_size == int(m_blocks.size()) * kBlock)
        m_blocks.emplace_back(new TrendCycle[kBlock]);
    m_blocks[m_size / kBlock][m_size % kBlock] = cycle;
    ++m_size;
}

void TrendRecording::truncate(int n)
{
    if (n >= m_size)
        return;
    m_size = std::max(n, 0);
    m_blocks.resize((m_size + kBlock - 1) / kBlock);
}

void TrendRecording::clear()
{
    m_blocks.clear();
    m_size = 0;
}

void TrendRecording::clearChannel(int channel)
{
    if (channel < 0 || channel >= TrendCycle::kChannels)
        return;
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < m_size; ++k)
        at(k).values[channel] = none;
}

int TrendRecording::lowerBound(double x) const
{
    int lo = 0, hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid).t < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TrendRecording::lastAtOrBefore(double x) const
{
    int lo = 0, hi = m_size;  // first cycle after x
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid).t <= x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo - 1;
}

qint64 TrendRecording::bytes() const
{
    return qint64(m_blocks.size()) * kBlock * qint64(sizeof(TrendCycle)) +
           qint64(m_blocks.capacity() * sizeof(void *));
}

namespace TrendFiles {

QString timestamp(qint64 wallMs)
{
    const QTime time = QDateTime::fromMSecsSinceEpoch(wallMs).time();
    return QLocale::c().toString(time, QStringLiteral("HH:mm:ss.zzz a"));
}

QByteArray text(const TrendRecording &rec, const TrendExport &what)
{
#ifdef Q_OS_WIN
    const char *const eol = "\r\n";
#else
    const char *const eol = "\n";
#endif
    QByteArray out;
    out.reserve(rec.size() * (16 + 10 * what.channels.size()) + 256);
    out += what.date.toUtf8();
    out += eol;
    out += what.systemTimeCaption.toUtf8();
    out += '\t';
    for (const QString &caption : what.captions) {
        out += caption.toUtf8();
        out += '\t';
    }
    out += eol;
    for (int k = 0; k < rec.size(); ++k) {
        const TrendCycle &c = rec.at(k);
        out += timestamp(c.wallMs).toLatin1();
        out += '\t';
        for (int channel : what.channels) {
            const double v = c.values[channel];
            if (TrendRecording::hasValue(v))
                out += QByteArray::number(v, 'g', 6);
            out += '\t';
        }
        out += eol;
    }
    return out;
}

int workbookRows(const TrendRecording &rec) { return rec.size() + 2; }

bool saveWorkbook(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
                  QString *error)
{
    Workbook book;
    book.setText(1, 1, what.date);
    book.setText(2, 1, what.systemTimeCaption);
    for (int c = 0; c < what.captions.size(); ++c)
        book.setText(2, c + 2, what.captions.at(c));
    const int rows = std::min(rec.size(), kWorkbookRows - 2);
    for (int k = 0; k < rows; ++k) {
        const TrendCycle &cycle = rec.at(k);
        book.setText(k + 3, 1, timestamp(cycle.wallMs));
        for (int c = 0; c < what.channels.size(); ++c) {
            const double v = cycle.values[what.channels.at(c)];
            if (TrendRecording::hasValue(v))
                book.setNumber(k + 3, c + 2, v);
        }
    }
    if (rows < rec.size()) {  // the caller checks first; never a cut file
        if (error)
            *error = QStringLiteral("too many rows for one sheet");
        return false;
    }
    return book.save(fileName, error);
}

bool saveText(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
              QString *error)
{
    return writeFileAtomically(fileName, text(rec, what), error);
}

}  // namespace TrendFiles
