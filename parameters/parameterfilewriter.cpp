#include "parameterfilewriter.h"

#include "parametertable.h"
#include "workbook.h"

#include <QStandardItemModel>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {
QString fileNumber(const ParameterTable &table, int row)
{
    QString number = table.text(row, ParameterTable::NumberColumn);
    number.remove(QLatin1String("P."));
    number.remove(QLatin1Char(' '));
    return number;
}

QString headerText(const ParameterTable &table, int column)
{
    return table.model()->headerData(column, Qt::Horizontal).toString();
}
}  // namespace

QList<int> ParameterFileWriter::rowsToSave(const ParameterTable &table, bool byGroup)
{
    QList<int> rows;
    for (int row = 0; row < table.rowCount(); ++row)
        if (table.hasNumberCell(row))
            rows.append(row);
    // The order a sort of the table by column 0 gives, without sorting the
    // table the user is looking at.
    if (byGroup)
        std::stable_sort(rows.begin(), rows.end(), [&table](int a, int b) {
            return QString::compare(table.text(a, ParameterTable::GroupColumn),
                                    table.text(b, ParameterTable::GroupColumn)) < 0;
        });
    return rows;
}

QList<ParameterFileEntry> ParameterFileWriter::entriesOf(const ParameterTable &table,
                                                         const QList<int> &rows)
{
    QList<ParameterFileEntry> entries;
    for (int row : rows)
        entries.append({fileNumber(table, row), table.text(row, ParameterTable::CurrentColumn),
                        QString()});
    return entries;
}

QByteArray ParameterFileWriter::xml(const ParameterTable &table, const QString &identity,
                                    const QList<int> &rows)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE InvParameter>"));
    xml.writeStartElement(identity);
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    for (int row : rows) {
        const QString n = fileNumber(table, row);
        xml.writeStartElement(QStringLiteral("Pr") + n);
        xml.writeTextElement(QStringLiteral("DefaultValue") + n,
                             table.text(row, ParameterTable::DefaultColumn));
        xml.writeTextElement(QStringLiteral("CurrentValue") + n,
                             table.text(row, ParameterTable::CurrentColumn));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

bool ParameterFileWriter::saveWorkbook(const ParameterTable &table, const QString &identity,
                                       bool groupLayout, const QString &fileName, QString *error)
{
    using T = ParameterTable;
    Workbook book;
    book.setText(1, 1, identity);
    const QList<int> columns = groupLayout ? QList<int>{T::GroupColumn, T::NumberColumn,
                                                        T::DefaultColumn, T::CurrentColumn}
                                           : QList<int>{T::NumberColumn, T::DefaultColumn,
                                                        T::CurrentColumn};
    for (int i = 0; i < columns.size(); ++i)
        book.setText(2, i + 1, headerText(table, columns.at(i)));
    // Sheet row 3 + i holds table row i; rows without a parameter stay empty.
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.hasNumberCell(row))
            continue;
        for (int i = 0; i < columns.size(); ++i) {
            QString text = table.text(row, columns.at(i));
            if (columns.at(i) == T::GroupColumn)
                text.prepend(QLatin1String("Group:"));
            book.setText(3 + row, i + 1, text);
        }
    }
    return book.save(fileName, error);
}
