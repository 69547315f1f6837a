#pragma once

#include <QList>
#include <QMutex>
#include <QString>

class QIODevice;

// Parameters that the catalogue does not show but whose unit some register
// reads need (alarm history registers and the like), one file per series
// under hideparameter/. Safe to query from any thread.
class HiddenParameterList
{
public:
    struct Entry {
        QString name;  // "P." and the number, e.g. P.288
        QString defaultValue;
        QString unit;
    };

    // Empties the list and reads the series' file with the version rule of
    // the catalogues; a missing or unreadable file leaves the list empty.
    void load(char series, double version);
    void clear();
    QList<Entry> entries() const;
    void setEntries(const QList<Entry> &entries);
    // The unit of the first entry named "P." + number.
    bool unitOf(int number, QString *unit) const;

    // Reads entries from an open document (used by load).
    static QList<Entry> parse(QIODevice *device, double version);

private:
    mutable QMutex m_mutex;
    QList<Entry> m_entries;
};
