#include "csearch.h"

#include "ui_searchdialog.h"

#include "base/userinteraction.h"

#include <QButtonGroup>
#include <QTableView>

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
        m_found = findCells(*m_table->model(), text, whole, sensitive);
        m_index = -1;
    }
    if (m_found.isEmpty()) {
        notFound();
        return;
    }
    if (m_index == -1) {
        // A fresh search starts at the found cell nearest above the current row.
        const int current = m_table->currentIndex().row();
        for (int i = 1; i < m_found.size(); ++i) {
            if (m_found.at(i).row() > current && m_found.at(i - 1).row() <= current) {
                select(i - 1);
                return;
            }
        }
        select(m_found.size() - 1);
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
