#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// Prints rows of fields as the user asked with --format: tab-separated (no
// header, as the tool always printed), CSV with a header line, or JSON with
// one object per row and line, so that a running command can be piped.
class OutputFormat
{
public:
    enum Kind { Tsv, Csv, Json };

    // "tsv", "csv" or "json" (any case); false for anything else.
    static bool parse(const QString &name, Kind *kind);

    OutputFormat(Kind kind, const QStringList &header);

    Kind kind() const { return m_kind; }
    // Columns whose fields are JSON numbers when they read as one (others
    // stay strings: "--" for a value not read, "1.000" keeps its digits).
    void setNumericColumns(const QList<int> &columns) { m_numeric = columns; }

    // The line in front of the rows: the CSV header, nothing otherwise.
    QString header() const;
    // One row, with its line end.
    QString row(const QStringList &fields) const;

    void writeHeader(QTextStream &out) const;
    void writeRow(QTextStream &out, const QStringList &fields) const;

    static QString csvField(const QString &text);
    static QString jsonString(const QString &text);

private:
    Kind m_kind;
    QStringList m_header;
    QList<int> m_numeric;
};
