#include "parametercore.h"

#include "cataloguefiles.h"
#include "cataloguereader.h"
#include "parameterstate.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

ParameterCore::ParameterCore(QObject *parent)
    : QObject(parent),
      m_scale(m_table, m_hidden),
      m_transfer(m_table, m_scale),
      m_batch(m_table, m_scale, m_transfer),
      m_files(m_table)
{
}

ParameterCore::~ParameterCore() = default;

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

void ParameterCore::loadCatalogue()
{
    determineCatalogueVersion();
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
    arrangeRows();
    m_table.refreshUnitIndex();
    emit m_table.presentationChanged();
}

// Series 'A' shows its group codes and starts in group order unless P.990
// asks for P-number order; the others show P numbers only.
void ParameterCore::arrangeRows()
{
    if (seriesLetter() != 'A') {
        m_table.setGroupColumnVisible(false);
        m_table.setCurrentCell(0, ParameterTable::NumberColumn);
        return;
    }
    m_table.sortByColumn(ParameterTable::GroupColumn);
    ReadWrite *driver = currentDriver();
    if (driver && ParameterTransfer::formatValue(driver->readRegister(990, 1)) ==
                      QLatin1String("1"))
        m_table.sortByColumn(ParameterTable::NumberColumn);
    m_table.setGroupColumnVisible(true);
    m_table.setCurrentCell(0, ParameterTable::GroupColumn);
}

void ParameterCore::reloadCatalogueTexts()
{
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
