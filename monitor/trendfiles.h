#pragma once

#include "trendrecording.h"

#include <QList>
#include <QString>
#include <QStringList>

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
