#include "parametermerge.h"

#include "parametertable.h"

#include <algorithm>
#include <climits>

namespace {
const QString kFunctionNumber = QStringLiteral("99X");
const QString kDash = QStringLiteral("--");
}  // namespace

ParameterMerge::Rules ParameterMerge::xmlRules() { return {false, 994, 999, QStringLiteral(" ")}; }

ParameterMerge::Rules ParameterMerge::workbookRules() { return {true, 994, INT_MAX, QString()}; }

QString ParameterMerge::orderKey(const QString &number)
{
    return ParameterTable::numberCellText(number);
}

void ParameterMerge::apply(QList<ParameterFileEntry> entries, bool keepGroupOrder)
{
    const bool wasInNumberOrder = inNumberOrder();
    if (!wasInNumberOrder)
        m_table.sortByColumn(ParameterTable::NumberColumn);
    // Both sides in the same order, compared as the table sorts its texts.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ParameterFileEntry &a, const ParameterFileEntry &b) {
                         return QString::compare(orderKey(a.number), orderKey(b.number)) < 0;
                     });
    int end = tableEnd();
    int row = 0;
    QList<ParameterFileEntry> beyond;
    for (const ParameterFileEntry &entry : qAsConst(entries)) {
        const QString key = orderKey(entry.number);
        // Rows before the entry's place are not in the file.
        while (row < end &&
               QString::compare(m_table.text(row, ParameterTable::NumberColumn), key) < 0)
            clear(row++);
        if (row >= end) {
            beyond.append(entry);
        } else if (m_table.text(row, ParameterTable::NumberColumn) == key) {
            fill(row++, entry);
        } else if (!isSpecial(entry.number)) {
            insert(row, entry);
            ++end;
            fill(row++, entry);
        }
    }
    while (row < end)
        clear(row++);
    for (const ParameterFileEntry &entry : qAsConst(beyond)) {
        if (isSpecial(entry.number))
            continue;
        insert(end, entry);
        fill(end++, entry);
    }
    if (!wasInNumberOrder && keepGroupOrder)
        m_table.sortByColumn(ParameterTable::GroupColumn);
}

bool ParameterMerge::inNumberOrder() const
{
    const int end = tableEnd();
    for (int row = 1; row < end; ++row)
        if (QString::compare(m_table.text(row - 1, ParameterTable::NumberColumn),
                             m_table.text(row, ParameterTable::NumberColumn)) > 0)
            return false;
    return true;
}

// The parameter rows: those up to the first row without a parameter number
// (a sort puts rows without one last).
int ParameterMerge::tableEnd() const
{
    int row = 0;
    while (row < m_table.rowCount() && !m_table.numberText(row).isEmpty())
        ++row;
    return row;
}

// The function row and the function registers: they never take a file's
// value and never get a row of their own.
bool ParameterMerge::isSpecial(const QString &number) const
{
    if (number == kFunctionNumber)
        return true;
    const int n = number.toInt();
    return n >= m_rules.specialFrom && n <= m_rules.specialTo;
}

void ParameterMerge::fill(int row, const ParameterFileEntry &entry)
{
    const QString number = m_table.numberText(row);
    if (number == kFunctionNumber)
        setSetting(row, QStringLiteral("0"));
    else if (isSpecial(number))
        setSetting(row, m_rules.specialText);
    else
        setSetting(row, entry.value);
}

void ParameterMerge::clear(int row)
{
    const bool function = m_table.numberText(row) == kFunctionNumber;
    setSetting(row, function ? QStringLiteral("0") : QString());
}

void ParameterMerge::insert(int row, const ParameterFileEntry &entry)
{
    // A group code from the file keeps the row in its place in group order.
    const QString group = entry.group.isEmpty() ? kDash : entry.group;
    m_table.insertParameterRow({group, entry.number, kDash, kDash, kDash, kDash, false, false},
                               row);
}

void ParameterMerge::setSetting(int row, const QString &text)
{
    if (m_rules.newCells)
        m_table.replaceCell(row, ParameterTable::SettingColumn, text);
    else
        m_table.setText(row, ParameterTable::SettingColumn, text);
}
