#pragma once

#include "parameterfileentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// Reads a parameter file, .xbel (XML) or .xls (workbook), completely into
// entries before anything uses it, so that a file that is not ours, belongs
// to another model, is cut short or malformed in any part is refused as a
// whole. Never touches the parameter table.
class ParameterFileReader
{
public:
    enum class Status {
        Ok,
        Unreadable,  // the file cannot be opened
        Mismatch     // not a parameter file of this model, malformed, or (.xls) no
                     // workbook we can read
    };
    struct Result {
        Status status = Status::Mismatch;
        QString error;  // Unreadable: the system's text; Mismatch: what was wrong
        QList<ParameterFileEntry> entries;
    };
    // Whether the identity text stored in a file names the attached model.
    using IdentityCheck = std::function<bool(const QString &stored)>;

    // Limits that keep a hostile file from costing unbounded memory: a real
    // file holds at most a few thousand short values.
    static constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;
    static constexpr int kMaxEntries = 10000;
    static constexpr int kMaxValueLength = 1024;

    static Result readXml(const QString &fileName, const IdentityCheck &identity);
    static Result parseXml(const QByteArray &bytes, const IdentityCheck &identity);
    // `groupLayout`: the series 'A' layout, with "Group:" codes in column 1.
    static Result readWorkbook(const QString &fileName, bool groupLayout,
                               const IdentityCheck &identity);

    // "0", "12", "1599" and "99X" are parameter numbers; "012", "-1", "1600"
    // and "" are not.
    static bool isParameterNumber(const QString &text);
};
