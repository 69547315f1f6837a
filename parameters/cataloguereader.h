#pragma once

#include "capacityrules.h"
#include "parametertable.h"

#include <QSet>

class QXmlStreamReader;

// Builds the parameter table from a series' XML catalogue and replaces its
// texts with those of another language. The catalogue is read as a flat
// stream of elements: "Group<n>" (series 'A') or "Name<n>" start a parameter,
// elements whose names contain "Range", "Unit" or "Default" fill it.
class CatalogueReader
{
public:
    // What decides the rows besides the file.
    struct Settings {
        char series = '0';
        double version = 0;
        // Parameters whose default comes from the capacity rules instead of
        // the catalogue, and whether those are the computed (P.0, P.9, P.87)
        // or the short capacity defaults.
        bool computedDefaults = false;
        bool multiValue = false;
        DriveIdentity drive;
    };
    enum class Result { Missing, Unreadable, Loaded };

    explicit CatalogueReader(ParameterTable &table) : m_table(table) {}

    // Fills rows 0, 1, ... from the file; `rows` receives how many rows the
    // catalogue gave (0 unless Loaded). Rows after those are left as they were.
    Result load(const QString &fileName, const Settings &settings, int *rows);
    // Replaces names, ranges and defaults with the texts of `fileName`
    // (units stay). False when the file cannot be read.
    bool reloadTexts(const QString &fileName, char series, double version);

    // The numbers whose defaults the capacity rules give.
    static QSet<int> capacityDefaultNumbers(bool computedDefaults);

private:
    struct Walk;
    struct Reload;

    void walkElement(Walk &walk, const QString &name, QXmlStreamReader &reader);
    void startRecord(Walk &walk, const QString &number);
    void appendRecord(Walk &walk, const QString &number, bool advance);
    void takeDefault(Walk &walk, const QString &name, const QString &text);
    void reloadElement(Reload &reload, const QString &name, QXmlStreamReader &reader);
    void reloadWalk(QXmlStreamReader &reader, char series, double version);

    ParameterTable &m_table;
};
