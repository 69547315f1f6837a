#include "batchjob.h"

#include "parametertransfer.h"
#include "unitscale.h"

BatchJob::BatchJob(Kind kind, bool settingColumn, TableCells cells,
                   QList<HiddenParameterList::Entry> hidden)
    : m_kind(kind),
      m_settingColumn(settingColumn),
      m_cells(std::move(cells)),
      m_hidden(std::move(hidden)),
      m_numbersBefore(m_cells.numberCells())
{
}

BatchTransfer::Result BatchJob::result() const
{
    return isFinished() ? m_result : BatchTransfer::Result();
}

const TableCells &BatchJob::cellsAfter() const
{
    static const TableCells none;
    return isFinished() ? m_cells : none;
}

void BatchJob::run()
{
    if (isCancelled()) {
        m_result.status = BatchTransfer::Result::Status::Cancelled;
        return;
    }
    // Everything the transfer works on is made here, on the worker.
    ParameterTable table;
    table.setCells(m_cells);
    table.refreshUnitIndex();
    HiddenParameterList hidden;
    hidden.setEntries(m_hidden);
    UnitScale scale(table, hidden);
    ParameterTransfer transfer(table, scale);
    BatchTransfer batch(table, scale, transfer);
    m_result = m_kind == Kind::ReadAll ? batch.readAll() : batch.writeAll(m_settingColumn);
    m_cells = table.copyCells();
}
