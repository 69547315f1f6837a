#pragma once

#include "batchtransfer.h"
#include "hiddenparameterlist.h"
#include "parametertable.h"

#include "link/linkjob.h"

// A batch read or write on the link worker. It works on its own copy of the
// table, taken when it is made, with its own unit scales: the GUI's table is
// never touched from the worker, and the job's scale form (multiplier for
// writes) cannot change under a read of another thread. A read's values go
// back into the table when it has finished (ParameterCore does that).
class BatchJob : public LinkJob
{
    Q_OBJECT
public:
    enum class Kind { ReadAll, WriteAll };

    BatchJob(Kind kind, bool settingColumn, TableCells cells,
             QList<HiddenParameterList::Entry> hidden);

    Kind kind() const { return m_kind; }
    // After the job finished: the outcome, and the table as the job left it.
    BatchTransfer::Result result() const;
    const TableCells &cellsAfter() const;
    // The number cells of the table the job started from.
    const QStringList &numberCellsBefore() const { return m_numbersBefore; }

protected:
    void run() override;

private:
    const Kind m_kind;
    const bool m_settingColumn;
    TableCells m_cells;
    const QList<HiddenParameterList::Entry> m_hidden;
    const QStringList m_numbersBefore;
    BatchTransfer::Result m_result;
};
