#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>

#include <QStringList>

class QAbstractItemModel;

#include <atomic>
#include <memory>
#include <vector>

class QStandardItem;
class QStandardItemModel;

// The texts of one catalogue row (columns 0 to 5 of the table).
struct ParameterRow {
    QString group;
    QString number;  // "12", or "99X" for the parameter-function row
    QString name;
    QString range;
    QString unit;
    QString defaultValue;
    // Set when the range or default came from the capacity rules; language
    // reloads then leave that cell alone.
    bool fixedRange = false;
    bool fixedDefault = false;
};

// Every cell of a parameter table, copied: a table of its own for work on
// another thread, and the way its results come back.
struct TableCells {
    std::vector<std::vector<std::shared_ptr<const QStandardItem>>> rows;  // null: no cell
    int parameterCount = 0;
    int currentRow = -1;
    int currentColumn = -1;

    // The texts of column 1 ("P.  12"), which say whose rows these are.
    QStringList numberCells() const;
};

// The parameter table: catalogue, store of the values read from the drive and
// editing surface in one nine-column item model. The form's table view shows
// the model; the catalogue loader, the transfers and the parameter files work
// on it. Owned and changed by one thread (the GUI thread); the unit lookup may
// be used from any thread.
class ParameterTable : public QObject
{
    Q_OBJECT
public:
    enum Column {
        GroupColumn,
        NumberColumn,
        NameColumn,
        RangeColumn,
        UnitColumn,
        DefaultColumn,
        CurrentColumn,
        SettingColumn,
        CommentColumn,
        ColumnCount
    };
    // Marks a range or default cell computed from the drive's capacity.
    static constexpr int FixedTextRole = Qt::UserRole + 1;
    static constexpr int kInitialRows = 700;
    // Rows above this number have a disabled "Setting value" cell.
    static constexpr int kHighestWritable = 993;

    explicit ParameterTable(QObject *parent = nullptr);
    ~ParameterTable() override;

    QStandardItemModel *model() const { return m_model; }
    // Sets the nine header texts in the current language.
    void setHeaderTexts();

    int parameterCount() const { return m_parameterCount; }
    void setParameterCount(int count) { m_parameterCount = count; }
    int rowCount() const;
    void setRowCount(int rows);
    void removeRowsFrom(int firstRow);

    // Fills row `index` (appending when it is the row count) with a
    // catalogue row; the value columns start empty.
    void addParameterRow(const ParameterRow &row, int index);
    // Inserts a new row at `index` and fills it.
    void insertParameterRow(const ParameterRow &row, int index);

    // Whether the row exists and has a cell in column 1.
    bool hasNumberCell(int row) const;
    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    // Puts a new cell holding `text` in place of the old one: selectable,
    // enabled and editable, whatever the old cell allowed.
    void replaceCell(int row, int column, const QString &text);
    bool isFixedText(int row, int column) const;
    // The text after "P." in column 1 ("12", "99X"); empty when there is none.
    QString numberText(int row) const;
    // The first row whose number text is `number`, or -1.
    int rowOfNumber(const QString &number, int fromRow = 0) const;

    // "P." and the number, padded in front with blanks to five characters.
    static QString numberCellText(const QString &number);
    static bool isFunctionRowText(const QString &numberCell);

    // A copy of every cell (owner thread only).
    TableCells copyCells() const;
    // Replaces every row by copies of `cells` (owner thread only).
    void setCells(const TableCells &cells);
    QStringList numberCells() const;

    // Sorts by the text of column 0 or 1, ascending.
    void sortByColumn(int column);

    // How the view is to show the table after a catalogue load.
    bool groupColumnVisible() const { return m_groupColumnVisible; }
    void setGroupColumnVisible(bool visible) { m_groupColumnVisible = visible; }
    // The current cell (kept by the form's view; -1 when none).
    int currentRow() const { return m_currentRow.load(); }
    int currentColumn() const { return m_currentColumn.load(); }
    void setCurrentCell(int row, int column);

    // The unit of parameter `number`: the current row if it holds that
    // number, else the first row that does. False when no row holds it.
    // Safe from any thread: other threads see a copy refreshed after changes.
    bool unitOf(int number, QString *unit) const;
    // Brings the copy for other threads up to date (owner thread only).
    void refreshUnitIndex();
    // The drive's time resolution as the table shows it (P.21's current value:
    // 0 for 0.01 s, 1 for 0.1 s), -1 while it is not known. Which span of a
    // time range ("0~360s/0~3600s") applies. Kept up to date with the table.
    int timeResolution() const;
    static int timeResolutionOf(const QAbstractItemModel &model);
    // Why `value` may not be written to the parameter of `row`, empty when it
    // may: no number, or outside the range that applies at the drive's time
    // resolution. Said before anything is sent.
    QString settingRefusal(int row, const QString &value) const;
    static constexpr const char *kTimeResolutionNumber = "21";
    static constexpr const char *kTimeResolutionProperty = "timeResolution";

    // Marks a change of many rows at once (a catalogue load, a language
    // reload, a batch's values coming in): a view lets go of the model for
    // its length, since following each row on its own costs far more than
    // showing the result. Nests.
    class BulkChange
    {
    public:
        explicit BulkChange(ParameterTable &table);
        ~BulkChange();
        BulkChange(const BulkChange &) = delete;
        BulkChange &operator=(const BulkChange &) = delete;

    private:
        ParameterTable &m_table;
    };

signals:
    // The catalogue was (re)loaded: column 0 visibility and the current cell
    // are to be applied to the view.
    void presentationChanged();
    void bulkChangeStarting();
    void bulkChangeFinished();

private:
    int m_bulkDepth = 0;
    QStandardItem *newCell(const QString &text, int column, int number) const;
    bool unitOfHere(const QString &number, QString *unit) const;
    void scheduleUnitRefresh();

    QStandardItemModel *m_model;
    int m_parameterCount = kInitialRows;
    bool m_groupColumnVisible = false;
    std::atomic<int> m_currentRow{-1};
    std::atomic<int> m_currentColumn{-1};

    mutable QMutex m_unitMutex;
    QHash<QString, QString> m_unitByNumber;
    QString m_currentNumber;
    QString m_currentUnit;
    bool m_refreshPending = false;
};
