#include "trendfiles.h"

#include "parameters/atomicfile.h"
#include "parameters/biffwriter.h"
#include "parameters/workbook.h"
#include "parameters/workbookcells.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace TrendFiles {

namespace {
// Formats wall-clock times as local "HH:mm:ss.zzz a". The local offset is
// looked up once per hour of the epoch, not per row: the lookup asks the
// system's time zone files each time.
class Timestamps
{
public:
    QByteArray format(qint64 wallMs)
    {
        const qint64 hour = wallMs / 3600000;
        if (hour != m_hour || !m_known) {
            m_offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(wallMs).offsetFromUtc()) * 1000;
            m_hour = hour;
            m_known = true;
        }
        qint64 ms = (wallMs + m_offsetMs) % 86400000;
        if (ms < 0)
            ms += 86400000;
        const int h = int(ms / 3600000), m = int(ms / 60000 % 60), s = int(ms / 1000 % 60);
        char text[24];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d %s", h, m, s, int(ms % 1000),
                      h < 12 ? "am" : "pm");
        return QByteArray(text);
    }

private:
    qint64 m_hour = 0;
    qint64 m_offsetMs = 0;
    bool m_known = false;
};
}  // namespace

QString timestamp(qint64 wallMs) { return QString::fromLatin1(Timestamps().format(wallMs)); }

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
    Timestamps stamps;
    for (int k = 0; k < rec.size(); ++k) {
        const TrendCycle &c = rec.at(k);
        out += stamps.format(c.wallMs);
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

namespace {
// The sheets of a recording: the date and the headings on top of each, the
// cycles going on from sheet to sheet; a missing value is an empty cell.
class TrendSheets : public BiffSheetSource
{
public:
    TrendSheets(const TrendRecording &rec, const TrendExport &what) : m_rec(rec), m_what(what) {}
    int sheetCount() const override { return workbookSheets(m_rec); }
    void forEachCell(int sheet, const CellVisitor &visit) const override
    {
        // As Workbook::setText and setNumber take them: an empty text is no
        // cell, a number that is not finite is its text.
        const auto text = [&visit](int row, int column, const QString &t) {
            if (!t.isEmpty())
                visit(workbookCellKey(row, column), t);
        };
        text(0, 0, m_what.date);
        text(1, 0, m_what.systemTimeCaption);
        for (int c = 0; c < m_what.captions.size(); ++c)
            text(1, c + 1, m_what.captions.at(c));
        Timestamps stamps;
        const int first = sheet * kCyclesPerSheet;
        const int end = std::min(m_rec.size(), first + kCyclesPerSheet);
        for (int k = first; k < end; ++k) {
            const TrendCycle &cycle = m_rec.at(k);
            const int row = k - first + 2;
            text(row, 0, QString::fromLatin1(stamps.format(cycle.wallMs)));
            for (int c = 0; c < m_what.channels.size(); ++c) {
                const double v = cycle.values[m_what.channels.at(c)];
                if (!TrendRecording::hasValue(v))
                    continue;
                if (std::isfinite(v))
                    visit(workbookCellKey(row, c + 1), v);
                else
                    visit(workbookCellKey(row, c + 1), QString::number(v));
            }
        }
    }

private:
    const TrendRecording &m_rec;
    const TrendExport &m_what;
};
}  // namespace

int workbookSheets(const TrendRecording &rec)
{
    return std::max(1, (rec.size() + kCyclesPerSheet - 1) / kCyclesPerSheet);
}

int workbookCapacity() { return Workbook::kMaxSheets * kCyclesPerSheet; }

bool saveWorkbook(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
                  QString *error)
{
    static_assert(kCyclesPerSheet + 2 == kWorkbookRows, "two heading rows a sheet");
    if (rec.size() > workbookCapacity()) {  // the caller checks first; never a cut file
        if (error)
            *error = QStringLiteral("more cycles than a workbook holds");
        return false;
    }
    // The cells are made sheet by sheet as the writer asks for them: an
    // hour of recording held as cells took many times the file's size.
    return Workbook::save(fileName, TrendSheets(rec, what), error);
}

bool saveText(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
              QString *error)
{
    return writeFileAtomically(fileName, text(rec, what), error);
}

}  // namespace TrendFiles
