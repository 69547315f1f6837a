#include "selectparadialog.h"

#include "parameters/parametertable.h"
#include "ui_selectparadialog.h"

#include <QHeaderView>

SelectParaDialog::SelectParaDialog(const ParameterTable &table, const QStringList &selected,
                                   QWidget *parent)
    : QDialog(parent), m_ui(new Ui::SelectParaDialog)
{
    m_ui->setupUi(this);
    QStringList texts;
    for (int row = 0; table.hasNumberCell(row); ++row) {
        m_numbers.append(table.numberText(row));
        texts.append(table.text(row, ParameterTable::NumberColumn) + QStringLiteral(". ") +
                     table.text(row, ParameterTable::NameColumn));
    }
    fill(m_ui->notShownTable, texts);
    fill(m_ui->shownTable, texts);
    for (int row = 0; row < m_numbers.size(); ++row) {
        const bool shown = selected.contains(m_numbers.at(row));
        m_ui->notShownTable->setRowHidden(row, shown);
        m_ui->shownTable->setRowHidden(row, !shown);
    }
    connect(m_ui->addPB, &QPushButton::clicked, this, &SelectParaDialog::addPara);
    connect(m_ui->deletePB, &QPushButton::clicked, this, &SelectParaDialog::deletePara);
    connect(m_ui->okPB, &QPushButton::clicked, this, &SelectParaDialog::ok);
    connect(m_ui->cancelPB, &QPushButton::clicked, this, &SelectParaDialog::cancel);
    // A double click moves a row across, as Add and Delete do.
    connect(m_ui->notShownTable, &QTableWidget::cellDoubleClicked, this, &SelectParaDialog::addPara);
    connect(m_ui->shownTable, &QTableWidget::cellDoubleClicked, this, &SelectParaDialog::deletePara);
}

SelectParaDialog::~SelectParaDialog() { delete m_ui; }

QTableWidget *SelectParaDialog::notShownList() const { return m_ui->notShownTable; }

QTableWidget *SelectParaDialog::shownList() const { return m_ui->shownTable; }

void SelectParaDialog::fill(QTableWidget *list, const QStringList &texts)
{
    list->setColumnCount(1);
    list->setRowCount(texts.size());
    list->verticalHeader()->setDefaultSectionSize(20);
    for (int row = 0; row < texts.size(); ++row)
        list->setItem(row, 0, new QTableWidgetItem(texts.at(row)));
    list->resizeColumnToContents(0);
}

void SelectParaDialog::move(QTableWidget *from, QTableWidget *to)
{
    for (const QModelIndex &index : from->selectionModel()->selectedRows()) {
        if (from->isRowHidden(index.row()))
            continue;
        from->setRowHidden(index.row(), true);
        to->setRowHidden(index.row(), false);
    }
    from->clearSelection();
    to->resizeColumnToContents(0);
}

void SelectParaDialog::addPara() { move(m_ui->notShownTable, m_ui->shownTable); }

void SelectParaDialog::deletePara() { move(m_ui->shownTable, m_ui->notShownTable); }

void SelectParaDialog::ok()
{
    m_selected.clear();
    for (int row = 0; row < m_numbers.size(); ++row)
        if (!m_ui->shownTable->isRowHidden(row))
            m_selected.append(m_numbers.at(row));
    accept();
}

void SelectParaDialog::cancel() { reject(); }
