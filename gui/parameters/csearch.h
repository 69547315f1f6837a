#pragma once

#include <QDialog>
#include <QModelIndex>
#include <QString>
#include <QVector>

class QAbstractItemModel;
class QButtonGroup;
class QTableView;

namespace Ui {
class SearchDialog;
}

// The "Search" dialog of the parameter list: finds a text in the cells the
// user can see and steps through them from the current cell, up or down.
class CSearch : public QDialog
{
    Q_OBJECT
public:
    CSearch(QTableView *table, QWidget *parent = nullptr);
    ~CSearch() override;

    // The cells holding `text`, column by column, each from the top.
    // wholeCell: the cell is the text; caseSensitive: letters must match.
    static QVector<QModelIndex> findCells(const QAbstractItemModel &model, const QString &text,
                                          bool wholeCell, bool caseSensitive);

    int foundCount() const { return m_found.size(); }
    int currentIndex() const { return m_index; }

public slots:
    // 0 "Upward search", 1 "Downward search".
    void IndexAccept(int id);
    // A changed option: the next search starts afresh.
    void reset();

private:
    void notFound();
    void select(int index);
    QVector<QModelIndex> visibleInTableOrder(QVector<QModelIndex> cells) const;
    // The found cell after (or before) the current one, -1 when none.
    int nextFromCurrent(bool downward) const;

    Ui::SearchDialog *m_ui;
    QTableView *m_table;
    QButtonGroup *m_buttons;
    QString m_lastText;
    QVector<QModelIndex> m_found;
    int m_index = -1;
};
