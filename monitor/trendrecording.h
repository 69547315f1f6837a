#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

// One sample cycle of a trend recording: its time since the recording
// started, the wall-clock time it was taken and one value per channel (NaN
// where the channel had no sample in that cycle).
struct TrendCycle {
    static constexpr int kChannels = 8;
    double t = 0;         // seconds since start
    qint64 wallMs = 0;    // milliseconds since the epoch, UTC
    std::array<double, kChannels> values{};
};

// Every cycle of a recording, oldest first, in blocks that never move once
// written: appending costs the same however long the recording is, and no
// whole buffer is copied as it grows. Channels stay aligned with the cycles
// by construction, so a channel switched off and on again keeps its rows.
class TrendRecording
{
public:
    static constexpr int kBlock = 4096;  // cycles per block

    TrendRecording() = default;
    TrendRecording(const TrendRecording &other);
    TrendRecording &operator=(const TrendRecording &other);
    TrendRecording(TrendRecording &&) = default;
    TrendRecording &operator=(TrendRecording &&) = default;

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const TrendCycle &at(int k) const { return m_blocks[k / kBlock][k % kBlock]; }
    TrendCycle &at(int k) { return m_blocks[k / kBlock][k % kBlock]; }
    const TrendCycle &last() const { return at(m_size - 1); }
    void append(const TrendCycle &cycle);
    // Keeps the first n cycles.
    void truncate(int n);
    void clear();
    // Forgets every value of one channel (the cycles stay).
    void clearChannel(int channel);
    // The first cycle whose time is >= x (size() when none), and the last
    // whose time is <= x (-1 when none). Times never decrease.
    int lowerBound(double x) const;
    int lastAtOrBefore(double x) const;
    // Bytes held, blocks counted whole.
    qint64 bytes() const;

    static bool hasValue(double v) { return v == v; }

private:
    std::vector<std::unique_ptr<TrendCycle[]>> m_blocks;
    int m_size = 0;
};

// What a saved trend file holds: the recording and, per saved column, the
// channel and its caption.
struct TrendExport {
    QList<int> channels;    // the checked channels, in channel order
    QStringList captions;   // their quantity captions
    QString systemTimeCaption;
    QString date;           // "yyyy-MM-dd", the day of saving
};

namespace TrendFiles {
// The time column's text for one cycle: "HH:mm:ss.zzz a" in local time.
QString timestamp(qint64 wallMs);
// The tab-separated text file, platform line ends.
QByteArray text(const TrendRecording &rec, const TrendExport &what);
// Cycles on one sheet of a workbook: its rows less the two heading rows.
constexpr int kCyclesPerSheet = 65536 - 2;
// The sheets a recording fills: each starts with the date and the headings,
// and the cycles go on from sheet to sheet.
int workbookSheets(const TrendRecording &rec);
// The most cycles a workbook holds.
int workbookCapacity();
// Writes the .xls workbook through the atomic workbook save; false with
// `error` set when it cannot (the previous file is then untouched).
bool saveWorkbook(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
                  QString *error);
// Writes the text file atomically.
bool saveText(const QString &fileName, const TrendRecording &rec, const TrendExport &what,
              QString *error);
}  // namespace TrendFiles
