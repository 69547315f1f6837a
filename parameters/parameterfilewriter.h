#pragma once

#include "parameterfileentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ParameterTable;

// Turns table rows into the two parameter file formats. The XML document is
// built in memory (the caller checks it and replaces the file at once); the
// workbook is written through Workbook, which replaces the file atomically.
class ParameterFileWriter
{
public:
    // The rows to save, in file order: every row that has a parameter
    // number, sorted by group code (stable) when `byGroup` is set.
    static QList<int> rowsToSave(const ParameterTable &table, bool byGroup);

    // The number and current value each row puts into the file (the number
    // is column 1 without "P." and blanks).
    static QList<ParameterFileEntry> entriesOf(const ParameterTable &table, const QList<int> &rows);

    // The XML document: declaration, "<!DOCTYPE InvParameter>", the root
    // named `identity` with version="1.0", one Pr<n> per row holding
    // DefaultValue<n> and CurrentValue<n>.
    static QByteArray xml(const ParameterTable &table, const QString &identity,
                          const QList<int> &rows);

    // The workbook: the identity in cell (1, 1), the header texts of the
    // table in row 2, one row per table row from row 3, every value as text.
    // `groupLayout` (series 'A') adds the "Group:" column in front.
    static bool saveWorkbook(const ParameterTable &table, const QString &identity,
                             bool groupLayout, const QString &fileName, QString *error);
};
