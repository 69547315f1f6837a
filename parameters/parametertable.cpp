#include "parametertable.h"

#include "rangetext.h"

#include <QCoreApplication>
#include <QStandardItemModel>
#include <QThread>

namespace {
const char *const kHeaders[ParameterTable::ColumnCount] = {
    QT_TRANSLATE_NOOP("CParameter", "Group mode"),
    QT_TRANSLATE_NOOP("CParameter", "Trad. P mode"),
    QT_TRANSLATE_NOOP("CParameter", "Name"),
    QT_TRANSLATE_NOOP("CParameter", "Setting range"),
    QT_TRANSLATE_NOOP("CParameter", "Unit"),
    QT_TRANSLATE_NOOP("CParameter", "Default value"),
    QT_TRANSLATE_NOOP("CParameter", "Current value"),
    QT_TRANSLATE_NOOP("CParameter", "Setting value"),
    QT_TRANSLATE_NOOP("CParameter", "Comment"),
};
const QString kFunctionRow = QStringLiteral("P.99X");
}  // namespace

ParameterTable::ParameterTable(QObject *parent)
    : QObject(parent), m_model(new QStandardItemModel(kInitialRows, ColumnCount, this))
{
    setHeaderTexts();
    // Any change, also by the parameter files or the view's editor, refreshes
    // the copy that other threads use for the unit lookup.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &ParameterTable::scheduleUnitRefresh);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ParameterTable::scheduleUnitRefresh);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ParameterTable::scheduleUnitRefresh);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ParameterTable::scheduleUnitRefresh);
    connect(m_model, &QAbstractItemModel::layoutChanged, this,
            &ParameterTable::scheduleUnitRefresh);
}

ParameterTable::~ParameterTable() = default;

void ParameterTable::setHeaderTexts()
{
    QStringList headers;
    for (const char *header : kHeaders)
        headers.append(QCoreApplication::translate("CParameter", header));
    m_model->setHorizontalHeaderLabels(headers);
}

int ParameterTable::rowCount() const { return m_model->rowCount(); }

void ParameterTable::setRowCount(int rows) { m_model->setRowCount(rows); }

void ParameterTable::removeRowsFrom(int firstRow)
{
    if (firstRow < m_model->rowCount())
        m_model->removeRows(firstRow, m_model->rowCount() - firstRow);
}

QString ParameterTable::numberCellText(const QString &number)
{
    return (QStringLiteral("P.") + number).rightJustified(5, QLatin1Char(' '));
}

bool ParameterTable::isFunctionRowText(const QString &numberCell)
{
    return numberCell.trimmed() == kFunctionRow;
}

// Only "Setting value" is editable, and not above P.993, where it is
// disabled altogether; "Comment" is the catalogue's, nothing keeps an edit.
QStandardItem *ParameterTable::newCell(const QString &text, int column, int number) const
{
    auto *item = new QStandardItem(text);
    if (column != SettingColumn)
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    else if (column == SettingColumn && number > kHighestWritable)
        item->setFlags(Qt::NoItemFlags);
    return item;
}

void ParameterTable::addParameterRow(const ParameterRow &row, int index)
{
    bool numeric = false;
    const int number = row.number.toInt(&numeric);
    const int n = numeric ? number : -1;
    const QString texts[ColumnCount] = {row.group,   numberCellText(row.number), row.name,
                                        row.range,   row.unit, row.defaultValue,
                                        QString(),   QString(), QString()};
    for (int column = 0; column < ColumnCount; ++column) {
        QStandardItem *item = newCell(texts[column], column, n);
        if ((column == RangeColumn && row.fixedRange) ||
            (column == DefaultColumn && row.fixedDefault))
            item->setData(true, FixedTextRole);
        m_model->setItem(index, column, item);
    }
}

void ParameterTable::insertParameterRow(const ParameterRow &row, int index)
{
    m_model->insertRow(index);
    addParameterRow(row, index);
}

bool ParameterTable::hasNumberCell(int row) const
{
    return row >= 0 && row < m_model->rowCount() && m_model->item(row, NumberColumn) != nullptr;
}

QString ParameterTable::text(int row, int column) const
{
    const QStandardItem *item = m_model->item(row, column);
    return item ? item->text() : QString();
}

void ParameterTable::setText(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (QStandardItem *item = m_model->item(row, column))
        item->setText(text);
    else
        m_model->setItem(row, column, new QStandardItem(text));
}

void ParameterTable::replaceCell(int row, int column, const QString &text)
{
    if (row >= 0 && row < m_model->rowCount())
        m_model->setItem(row, column, new QStandardItem(text));
}

bool ParameterTable::isFixedText(int row, int column) const
{
    const QStandardItem *item = m_model->item(row, column);
    return item && item->data(FixedTextRole).toBool();
}

QString ParameterTable::numberText(int row) const
{
    const QString cell = text(row, NumberColumn).trimmed();
    return cell.startsWith(QLatin1String("P.")) ? cell.mid(2) : QString();
}

int ParameterTable::rowOfNumber(const QString &number, int fromRow) const
{
    const int rows = m_model->rowCount();
    for (int row = qMax(0, fromRow); row < rows; ++row)
        if (hasNumberCell(row) && numberText(row) == number)
            return row;
    return -1;
}

void ParameterTable::sortByColumn(int column)
{
    if (column == GroupColumn || column == NumberColumn)
        m_model->sort(column, Qt::AscendingOrder);
}

void ParameterTable::setCurrentCell(int row, int column)
{
    m_currentRow.store(row);
    m_currentColumn.store(column);
    if (QThread::currentThread() != thread())
        return;
    QMutexLocker lock(&m_unitMutex);
    m_currentNumber = hasNumberCell(row) ? numberText(row) : QString();
    m_currentUnit = text(row, UnitColumn);
}

bool ParameterTable::unitOfHere(const QString &number, QString *unit) const
{
    const int current = m_currentRow.load();
    int row = hasNumberCell(current) && numberText(current) == number ? current
                                                                       : rowOfNumber(number);
    if (row < 0)
        return false;
    *unit = text(row, UnitColumn);
    return true;
}

bool ParameterTable::unitOf(int number, QString *unit) const
{
    const QString key = QString::number(number);
    if (QThread::currentThread() == thread())
        return unitOfHere(key, unit);
    QMutexLocker lock(&m_unitMutex);
    if (!m_currentNumber.isEmpty() && m_currentNumber == key) {
        *unit = m_currentUnit;
        return true;
    }
    const auto found = m_unitByNumber.constFind(key);
    if (found == m_unitByNumber.constEnd())
        return false;
    *unit = found.value();
    return true;
}

void ParameterTable::refreshUnitIndex()
{
    QHash<QString, QString> index;
    int resolution = -1;
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (!hasNumberCell(row))
            continue;
        const QString number = numberText(row);
        if (!number.isEmpty() && !index.contains(number))
            index.insert(number, text(row, UnitColumn));
        if (number == QLatin1String(kTimeResolutionNumber)) {
            const QString value = text(row, CurrentColumn).trimmed();
            if (value == QLatin1String("0") || value == QLatin1String("1"))
                resolution = value.toInt();
        }
    }
    if (resolution != timeResolution()) {
        m_model->setProperty(kTimeResolutionProperty, resolution);
        // The marks of the settings follow the resolution.
        if (rows > 0)
            emit m_model->dataChanged(m_model->index(0, SettingColumn),
                                      m_model->index(rows - 1, SettingColumn));
    }
    const int current = m_currentRow.load();
    QMutexLocker lock(&m_unitMutex);
    m_unitByNumber.swap(index);
    m_currentNumber = hasNumberCell(current) ? numberText(current) : QString();
    m_currentUnit = text(current, UnitColumn);
    m_refreshPending = false;
}

QString ParameterTable::settingRefusal(int row, const QString &value) const
{
    const QString range = text(row, RangeColumn);
    const int setting = timeResolution();
    const QString shown = RangeText::applying(range, setting);
    switch (RangeText::check(range, value, setting)) {
    case RangeText::Verdict::NotANumber:
        return tr("P.%1: \"%2\" is no number. Its range is %3.")
            .arg(numberText(row), value.trimmed(), shown);
    case RangeText::Verdict::Outside:
        return tr("P.%1: %2 is outside its range %3.").arg(numberText(row), value.trimmed(), shown);
    default:
        return QString();
    }
}

int ParameterTable::timeResolution() const { return timeResolutionOf(*m_model); }

int ParameterTable::timeResolutionOf(const QAbstractItemModel &model)
{
    const QVariant value = model.property(kTimeResolutionProperty);
    return value.isValid() ? value.toInt() : -1;
}

void ParameterTable::scheduleUnitRefresh()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, &ParameterTable::refreshUnitIndex, Qt::QueuedConnection);
}

QStringList TableCells::numberCells() const
{
    QStringList cells;
    for (const auto &row : rows) {
        const auto &cell = row.size() > size_t(ParameterTable::NumberColumn)
                               ? row[ParameterTable::NumberColumn]
                               : nullptr;
        cells.append(cell ? cell->text() : QString());
    }
    return cells;
}

QStringList ParameterTable::numberCells() const
{
    QStringList cells;
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row)
        cells.append(text(row, NumberColumn));
    return cells;
}

TableCells ParameterTable::copyCells() const
{
    TableCells cells;
    const int rows = m_model->rowCount();
    cells.rows.resize(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        auto &copy = cells.rows[size_t(row)];
        copy.resize(ColumnCount);
        for (int column = 0; column < ColumnCount; ++column)
            if (const QStandardItem *item = m_model->item(row, column))
                copy[size_t(column)].reset(item->clone());
    }
    cells.parameterCount = m_parameterCount;
    cells.currentRow = m_currentRow.load();
    cells.currentColumn = m_currentColumn.load();
    return cells;
}

ParameterTable::BulkChange::BulkChange(ParameterTable &table) : m_table(table)
{
    if (m_table.m_bulkDepth++ == 0)
        emit m_table.bulkChangeStarting();
}

ParameterTable::BulkChange::~BulkChange()
{
    if (--m_table.m_bulkDepth == 0)
        emit m_table.bulkChangeFinished();
}

void ParameterTable::setCells(const TableCells &cells)
{
    BulkChange bulk(*this);
    const int rows = int(cells.rows.size());
    m_model->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const auto &copy = cells.rows[size_t(row)];
        for (int column = 0; column < ColumnCount; ++column) {
            const auto &cell = size_t(column) < copy.size() ? copy[size_t(column)] : nullptr;
            if (cell)
                m_model->setItem(row, column, cell->clone());
            else
                delete m_model->takeItem(row, column);
        }
    }
    m_parameterCount = cells.parameterCount;
    setCurrentCell(cells.currentRow, cells.currentColumn);
}
