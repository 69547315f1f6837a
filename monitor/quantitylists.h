#pragma once

#include <QString>
#include <QStringList>

// What the monitor page needs to know about the attached drive: its series
// letter, its parameter version (the catalogue version as a number) and the
// two feature switches of the page. Read once when a page is built.
struct DriveProfile {
    char series = '0';
    double version = 0;
    bool plotListGF = false;   // "mainDialPlot_plotComboBox_GF"
    bool terminalPanel = false;  // "mainDialPlot_ioState"
    bool trendListGF = false;  // "mainAdvPlot_PrComboBox_GF"

    // The attached drive as the shared state describes it now.
    static DriveProfile current();
    // A profile of `series` at `version` with the features of the loaded
    // typeInfo.txt.
    static DriveProfile of(char series, double version);

    // ZM-K from 0.2, ZP2 from 0.6.
    bool zmkFrom02() const { return series == 'G' && version >= 0.2 - 1e-9; }
    bool zp2From06() const { return series == 'X' && version >= 0.6 - 1e-9; }
};

// The quantity lists the selectors offer. A quantity's position in its list
// is also the index of its value in the monitor data.
namespace QuantityLists {
enum List { Basic, Extended, ZmKx, SeriesA };

List dialList(const DriveProfile &drive);
List plotList(const DriveProfile &drive);
// The list of the trend recorder's channels.
List trendList(const DriveProfile &drive);
// The captions of a list in the current language.
QStringList captions(List list);
// The source texts of a list (untranslated).
QStringList sourceCaptions(List list);
// The translation context of the captions.
constexpr const char *kContext = "MainDialPlot";

// The unit a dial shows for a position ("" for none).
QString unit(char series, int position);

// Fixed positions in the monitor data.
int statusPosition(char series);
int terminalInputPosition(char series);
int terminalOutputPosition(char series);
// How many dial request flags a stop clears.
int flagsClearedOnStop(char series);
// Whether the page watches the terminals while it runs.
bool watchesTerminals(const DriveProfile &drive);
}  // namespace QuantityLists
