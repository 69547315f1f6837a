#pragma once

#include "parameterfileentry.h"

#include <QList>
#include <QString>

class ParameterTable;

// Puts the values of a parameter file into the "Setting value" column.
// File entries and table rows are walked together in P-number order (the
// order a sort of column 1 gives), with a row pointer that starts at the
// first row:
// - a row whose number equals the entry's takes the entry's value;
// - an entry the table lacks gets a row of its own under the pointer
//   ("--" texts), holding the value;
// - rows the file does not list are emptied, also those after its last entry,
//   so that the column holds the file and nothing older;
// - entries beyond the table's last row are added as rows at its end: the
//   pointer never leaves the table.
// The parameter-function row "P.99X" always becomes "0", so that a file
// never runs a parameter function. Function registers (P.994 and above, as
// the format says) get a fixed text and never a row of their own.
class ParameterMerge
{
public:
    struct Rules {
        bool newCells;        // put new, editable cells in place (workbooks)
        int specialFrom;      // function registers from this number ...
        int specialTo;        // ... to this one
        QString specialText;  // ... take this text instead of the file's
    };
    static Rules xmlRules();
    static Rules workbookRules();

    ParameterMerge(ParameterTable &table, const Rules &rules) : m_table(table), m_rules(rules) {}

    // `keepGroupOrder`: a table shown in group order (series 'A') returns to
    // it afterwards; otherwise the table stays in P-number order.
    void apply(QList<ParameterFileEntry> entries, bool keepGroupOrder);

    // The order of the matching: "P." and the number as the table shows it.
    static QString orderKey(const QString &number);

private:
    bool inNumberOrder() const;
    int tableEnd() const;
    bool isSpecial(const QString &number) const;
    void fill(int row, const ParameterFileEntry &entry);
    void clear(int row);
    void insert(int row, const ParameterFileEntry &entry);
    void setSetting(int row, const QString &text);

    ParameterTable &m_table;
    Rules m_rules;
};
