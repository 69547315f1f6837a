#include "csearch.h"

#include "ui_searchdialog.h"

#include "base/userinteraction.h"

#include <QButtonGroup>
#include <QTableView>

#include <algorithm>

CSearch::CSearch(QTableView *table, QWidget *parent)
    : QDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint), m_ui(new Ui::SearchDialog),
      m_table(table), m_buttons(new QButtonGroup(this))
{
    m_ui->setupUi(this);
    m_buttons->addButton(m_ui->UpSearchPB, 0);
    m_buttons->addButton(m_ui->DownSearchPB, 1);
    connect(m_buttons, &QButtonGroup::idClicked, this, &CSearch::IndexAccept);
    connect(m_ui->MatchCaseCheckBox, &QCheckBox::stateChanged, this, &CSearch::reset);
    connect(m_ui->MatchExaCheckBox, &QCheckBox::stateChanged, this, &CSearch::reset);
}

CSearch::~CSearch() { delete m_ui; }

QVector<QModelIndex> CSearch::findCells(const QAbstractItemModel &model, const QString &text,
                                        bool wholeCell, bool caseSensitive)
{
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QVector<QModelIndex> found;
    for (int column = 0; column < model.columnCount(); ++column) {
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, column);
            const QString cell = index.data().toString();
            const bool match = wholeCell ? cell.compare(text, sensitivity) == 0
                                         : cell.contains(text, sensitivity);
            if (match)
                found.append(index);
        }
    }
    return found;
}

void CSearch::reset() { m_lastText.clear(); }

// Only rows the user can see (a selection of shown parameters hides the
// others), down the table as it is shown: row by row, left to right.
QVector<QModelIndex> CSearch::visibleInTableOrder(QVector<QModelIndex> cells) const
{
    cells.erase(std::remove_if(cells.begin(), cells.end(),
                               [this](const QModelIndex &i) {
                                   return m_table->isRowHidden(i.row()) ||
                                          m_table->isColumnHidden(i.column());
                               }),
                cells.end());
    std::sort(cells.begin(), cells.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return std::make_pair(a.row(), a.column()) < std::make_pair(b.row(), b.column());
    });
    return cells;
}

int CSearch::nextFromCurrent(bool downward) const
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return downward ? 0 : m_found.size() - 1;
    const auto here = std::make_pair(current.row(), current.column());
    if (downward) {
        for (int i = 0; i < m_found.size(); ++i)
            if (std::make_pair(m_found.at(i).row(), m_found.at(i).column()) > here)
                return i;
        return -1;
    }
    for (int i = m_found.size() - 1; i >= 0; --i)
        if (std::make_pair(m_found.at(i).row(), m_found.at(i).column()) < here)
            return i;
    return -1;
}

void CSearch::notFound()
{
    userInteraction()->information(tr("Search"), tr("Did not find the accordant characters"));
}

void CSearch::select(int index)
{
    m_index = index;
    m_table->setCurrentIndex(m_found.at(index));
    m_table->scrollTo(m_found.at(index));
}

void CSearch::IndexAccept(int id)
{
    m_table->setFocus();
    const QString text = m_ui->SearchlineEdit->text();
    if (text.isEmpty()) {
        notFound();
        return;
    }
    if (text != m_lastText) {
        m_lastText = text;
        // "Match Case" asks for the whole cell; both options whole and
        // case-sensitive, "Case sensitive" alone a case-sensitive part.
        const bool whole = m_ui->MatchCaseCheckBox->isChecked();
        const bool sensitive = whole || m_ui->MatchExaCheckBox->isChecked();
        m_found = visibleInTableOrder(findCells(*m_table->model(), text, whole, sensitive));
        m_index = -1;
    }
    if (m_found.isEmpty()) {
        notFound();
        return;
    }
    // A fresh search, or one whose cell the user has left, goes from the
    // current cell to the next match in its direction.
    if (m_index == -1 || m_table->currentIndex() != m_found.at(m_index)) {
        const int next = nextFromCurrent(id == 1);
        if (next < 0)
            notFound();
        else
            select(next);
        return;
    }
    if (id == 1) {
        if (m_index + 1 < m_found.size())
            select(m_index + 1);
        else
            notFound();
    } else {
        if (m_index >= 1)
            select(m_index - 1);
        else
            notFound();
    }
}
