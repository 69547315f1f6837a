#include "parametercore.h"
#include "link/driverregistry.h"

#include "batchjob.h"

#include "cataloguefiles.h"
#include "cataloguereader.h"
#include "parameterstate.h"

#include "base/messagetable.h"
#include "base/sharedstate.h"
#include "base/userinteraction.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/readwrite.h"

#include <algorithm>

ParameterCore::ParameterCore(QObject *parent)
    : QObject(parent),
      m_scale(m_table, m_hidden),
      m_transfer(m_table, m_scale),
      m_batch(m_table, m_scale, m_transfer),
      m_files(m_table)
{
}

// A read still running belongs to nobody now: it stops at its next check.
ParameterCore::~ParameterCore()
{
    for (const std::shared_ptr<BatchJob> &job : m_readJobs)
        job->cancel();
}

namespace {
CatalogueReader::Settings catalogueSettings()
{
    CatalogueReader::Settings s;
    s.series = seriesLetter();
    s.version = catalogueVersionNumber();
    const bool notH = isSeriesFeature(QStringLiteral("Parameter_NotH"));
    s.computedDefaults = s.series == 'A' || notH;
    s.multiValue = s.computedDefaults && isSeriesFeature(QStringLiteral("Parameter_multiValue"));
    s.drive = DriveIdentity{s.series, modelString(), p186Value(), s.version};
    return s;
}
}  // namespace

void ParameterCore::loadCatalogue() { applyCatalogue(probeCatalogue()); }

ParameterCore::CatalogueProbe ParameterCore::probeCatalogue()
{
    CatalogueVersion version;
    version.determineCatalogueVersion();
    CatalogueProbe probe;
    if (seriesLetter() == 'A') {
        ReadWrite *driver = currentDriver();
        probe.numberOrder = driver && ParameterTransfer::formatValue(driver->readRegister(
                                         990, 1)) == QLatin1String("1");
    }
    return probe;
}

void ParameterCore::applyCatalogue(const CatalogueProbe &probe)
{
    ParameterTable::BulkChange bulk(m_table);
    m_table.setRowCount(ParameterTable::kInitialRows);
    const CatalogueReader::Settings settings = catalogueSettings();
    CatalogueReader reader(m_table);
    int rows = 0;
    const CatalogueReader::Result result =
        reader.load(CatalogueFiles::cataloguePath(settings.series, 0), settings, &rows);
    if (result == CatalogueReader::Result::Missing)
        return;
    // New rows hold no values yet, so none of them stands for a cut-short read.
    m_files.setReadCutShort(false);
    // Surplus rows go before the language reload, which may sort the table.
    m_table.removeRowsFrom(qMax(rows, 1));
    m_table.setParameterCount(m_table.rowCount());
    const int language = languageCode();
    if (language == 1 || language == 2)
        reloadCatalogueTexts();
    arrangeRows(probe);
    m_table.refreshUnitIndex();
    emit m_table.presentationChanged();
}

// Series 'A' shows its group codes and starts in group order unless P.990
// asks for P-number order; the others show P numbers only.
void ParameterCore::arrangeRows(const CatalogueProbe &probe)
{
    if (seriesLetter() != 'A') {
        m_table.setGroupColumnVisible(false);
        m_table.setCurrentCell(0, ParameterTable::NumberColumn);
        return;
    }
    m_table.sortByColumn(ParameterTable::GroupColumn);
    if (probe.numberOrder)
        m_table.sortByColumn(ParameterTable::NumberColumn);
    m_table.setGroupColumnVisible(true);
    m_table.setCurrentCell(0, ParameterTable::GroupColumn);
}

void ParameterCore::reloadCatalogueTexts()
{
    ParameterTable::BulkChange bulk(m_table);
    const char series = seriesLetter();
    CatalogueReader reader(m_table);
    reader.reloadTexts(CatalogueFiles::cataloguePath(series, languageCode()), series,
                       catalogueVersionNumber());
    m_table.setHeaderTexts();
}

void ParameterCore::loadHiddenParameters()
{
    m_hidden.load(seriesLetter(), catalogueVersionNumber());
}

ParameterCore::BatchResult ParameterCore::readAllParameters()
{
    emit batchReadRunning(true);
    const BatchResult result = m_batch.readAll();
    // A read that never started left the values as they were.
    if (result.status != BatchResult::Status::NotStarted)
        m_files.setReadCutShort(result.cutShort());
    emit batchReadRunning(false);
    return result;
}

ParameterCore::BatchResult ParameterCore::writeAllParameters()
{
    return m_batch.writeAll(m_writeSettingColumn);
}

void ParameterCore::runParameterFunction(int function)
{
    if (function >= 996 && function <= 999)
        m_transfer.runParameterFunction(QByteArray::number(function));
}

std::shared_ptr<BatchJob> ParameterCore::startReadAll(LinkWorker &worker)
{
    return startBatch(worker, true);
}

std::shared_ptr<BatchJob> ParameterCore::startWriteAll(LinkWorker &worker)
{
    return startBatch(worker, false);
}

std::shared_ptr<BatchJob> ParameterCore::startBatch(LinkWorker &worker, bool read)
{
    auto job = makeLinkJob<BatchJob>(read ? BatchJob::Kind::ReadAll : BatchJob::Kind::WriteAll,
                                     m_writeSettingColumn, m_table.copyCells(),
                                     m_hidden.entries());
    if (read) {
        emit batchReadRunning(true);
        // Kept until its values are in; queued to this thread, and connected
        // before anyone else can connect.
        m_readJobs.push_back(job);
        BatchJob *raw = job.get();
        connect(raw, &LinkJob::finished, this, [this, raw] {
            takeBatchResult(*raw);
            m_readJobs.erase(std::remove_if(m_readJobs.begin(), m_readJobs.end(),
                                            [raw](const auto &j) { return j.get() == raw; }),
                             m_readJobs.end());
            emit batchReadRunning(false);
        });
    }
    if (!read) {
        BatchJob *raw = job.get();
        connect(raw, &LinkJob::finished, this, [this, raw] { takeReadBack(*raw); });
    }
    worker.post(job);
    return job;
}

// The values a batch write read back, to the rows of their parameters.
void ParameterCore::takeReadBack(const BatchJob &job)
{
    const BatchResult result = job.result();
    if (result.readBack.isEmpty() || job.target().model != modelString())
        return;
    ParameterTable written;
    written.setCells(job.cellsAfter());
    for (int number : result.readBack) {
        const QString key = QString::number(number);
        const int from = written.rowOfNumber(key);
        const int to = m_table.rowOfNumber(key);
        if (from >= 0 && to >= 0)
            m_table.setText(to, ParameterTable::CurrentColumn,
                            written.text(from, ParameterTable::CurrentColumn));
    }
}

// Only the values read come back, each to its parameter's row: the table may
// have been sorted meanwhile, and a setting typed meanwhile is the user's.
void ParameterCore::takeBatchResult(const BatchJob &job)
{
    const BatchResult result = job.result();
    if (result.status == BatchResult::Status::NotStarted)
        return;
    if (job.target().model != modelString()) {
        // Another drive's catalogue is shown now: its rows are not these.
        if (result.status == BatchResult::Status::Completed)
            userInteraction()->warning(
                messageText(20), tr("The parameters read from station %1 %2 were not put into "
                                    "the table: it shows another drive now.")
                                     .arg(job.target().station)
                                     .arg(job.target().model));
        return;
    }
    if (m_table.numberCells() == job.numberCellsBefore())
        takeReadRows(job.cellsAfter());
    else
        placeReadValues(job.cellsAfter(), job.numberCellsBefore());
    m_files.setReadCutShort(result.cutShort());
}

// The rows as the read left them (rows the drive added included), with the
// settings the table holds now.
void ParameterCore::takeReadRows(const TableCells &read)
{
    const TableCells live = m_table.copyCells();
    QHash<QString, int> liveRow;
    for (int row = 0; row < int(live.rows.size()); ++row)
        if (m_table.hasNumberCell(row))
            liveRow.insert(m_table.numberText(row), row);
    TableCells merged = read;
    ParameterTable scratch;
    scratch.setCells(read);
    for (int row = 0; row < int(merged.rows.size()); ++row) {
        const int from = scratch.hasNumberCell(row) ? liveRow.value(scratch.numberText(row), -1) : -1;
        auto &cells = merged.rows[row];
        if (from >= 0 && int(cells.size()) > ParameterTable::SettingColumn &&
            int(live.rows[from].size()) > ParameterTable::SettingColumn)
            cells[ParameterTable::SettingColumn] = live.rows[from][ParameterTable::SettingColumn];
    }
    const int currentRow = m_table.currentRow();
    const int currentColumn = m_table.currentColumn();
    m_table.setCells(merged);
    m_table.setCurrentCell(currentRow, currentColumn);
    m_table.refreshUnitIndex();
}

// Rows sorted or removed meanwhile: each value goes to its parameter's row.
// A row the drive added during the read (a number the catalogue lacks) is
// added at the end; a value whose row was removed meanwhile is told, not
// dropped unseen.
void ParameterCore::placeReadValues(const TableCells &read, const QStringList &numbersBefore)
{
    ParameterTable scratch;
    scratch.setCells(read);
    QHash<QString, int> liveRow;
    for (int row = 0; row < m_table.rowCount(); ++row)
        if (m_table.hasNumberCell(row))
            liveRow.insert(m_table.numberText(row), row);
    QStringList unplaced;
    for (int row = 0; row < scratch.rowCount(); ++row) {
        if (!scratch.hasNumberCell(row))
            continue;
        const QString number = scratch.numberText(row);
        const QString value = scratch.text(row, ParameterTable::CurrentColumn);
        int at = liveRow.value(number, -1);
        if (at < 0 && numbersBefore.contains(scratch.text(row, ParameterTable::NumberColumn))) {
            if (!value.isEmpty())
                unplaced << QStringLiteral("P.") + number;
            continue;
        }
        if (at < 0) {
            at = m_table.rowCount();
            auto text = [&scratch, row](int column) { return scratch.text(row, column); };
            m_table.insertParameterRow({text(ParameterTable::GroupColumn), number,
                                        text(ParameterTable::NameColumn),
                                        text(ParameterTable::RangeColumn),
                                        text(ParameterTable::UnitColumn),
                                        text(ParameterTable::DefaultColumn), false, false},
                                       at);
            liveRow.insert(number, at);
        }
        m_table.setText(at, ParameterTable::CurrentColumn, value);
    }
    m_table.setParameterCount(m_table.rowCount());
    m_table.refreshUnitIndex();
    if (!unplaced.isEmpty())
        userInteraction()->warning(
            messageText(20),
            tr("The table changed while it was read: no row is left for the values of %1.")
                .arg(unplaced.join(QStringLiteral(", "))));
}
