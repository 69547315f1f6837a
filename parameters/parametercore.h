#pragma once

#include "batchtransfer.h"
#include "catalogueversion.h"
#include "parameterfiles.h"
#include "hiddenparameterlist.h"
#include "parametertable.h"
#include "parametertransfer.h"
#include "unitscale.h"

#include <QObject>

#include <memory>
#include <vector>

class BatchJob;
class LinkWorker;
class QStandardItemModel;

// The parameters core: the parameter table with its catalogue, the unit
// scales, the hidden-parameter list and the transfers to and from the drive.
// The parameter form shows and drives it; the command-line tool and the tests
// use it without a window. Lives in the GUI thread; readParameter may also be
// called from the polling threads.
class ParameterCore : public QObject
{
    Q_OBJECT
public:
    using BatchResult = BatchTransfer::Result;

    explicit ParameterCore(QObject *parent = nullptr);
    ~ParameterCore() override;

    ParameterTable &table() { return m_table; }
    QStandardItemModel *model() const { return m_table.model(); }
    int parameterCount() const { return m_table.parameterCount(); }
    const QMap<char, double> &versionLimits() const { return m_version.versionLimits(); }

    // The catalogue of the current series, in the current language.
    void determineCatalogueVersion() { m_version.determineCatalogueVersion(); }
    void loadCatalogue();
    // A catalogue load in two steps, so that a window's GUI thread does not
    // wait on the line: what the drive is asked (its version in P.188 and
    // P.186, which set the shared catalogue version, and on series A the row
    // order in P.990), on any thread bound to the drive; then the table,
    // without an exchange. loadCatalogue() does both.
    struct CatalogueProbe {
        bool numberOrder = false;  // P.990 = 1: rows in P-number order
    };
    static CatalogueProbe probeCatalogue();
    void applyCatalogue(const CatalogueProbe &probe);
    void reloadCatalogueTexts();
    void loadHiddenParameters();
    QList<HiddenParameterList::Entry> hiddenParameterList() const { return m_hidden.entries(); }

    // Scales (see UnitScale).
    bool scaleAsMultiplier() const { return m_scale.scaleAsMultiplier(); }
    void setScaleAsMultiplier(bool multiplier) { m_scale.setScaleAsMultiplier(multiplier); }
    int p21Scale() const { return m_scale.p21Scale(); }
    int unitScale(int number, const QString &unit) { return m_scale.unitScale(number, unit); }
    double readScale(int number) { return m_scale.readScale(number); }
    bool readP21Scale() { return m_scale.readP21Scale(); }

    // Single values (see ParameterTransfer).
    double readParameter(int number) { return m_transfer.readParameter(number); }
    bool writeParameter(int number, const QString &value, const QString &unit)
    {
        return m_transfer.writeParameter(number, value, unit);
    }
    static ParameterTransfer::RegisterValue toRegisterValue(const QString &text, int multiplier)
    {
        return ParameterTransfer::toRegisterValue(text, multiplier);
    }

    // The form's operations: batch read, batch write of the "Setting value"
    // column (or of "Current value" when writeSettingColumn is false), the
    // current row, the parameter functions and the clearing of the columns.
    // These two run in the calling thread, on the table itself.
    BatchResult readAllParameters();
    BatchResult writeAllParameters();
    // The same as jobs on the link worker, for a window: the job works on a
    // copy of the table, and the values a read brings are put into the table
    // when it has finished (before the job's other receivers hear of it),
    // unless the table was reloaded meanwhile.
    std::shared_ptr<BatchJob> startReadAll(LinkWorker &worker);
    std::shared_ptr<BatchJob> startWriteAll(LinkWorker &worker);
    bool writeSettingColumn() const { return m_writeSettingColumn; }
    void setWriteSettingColumn(bool settingColumn) { m_writeSettingColumn = settingColumn; }
    bool readCurrentRow() { return m_transfer.readCurrentRow(); }
    bool writeCurrentRow() { return m_transfer.writeCurrentRow(); }
    // Runs the function a "P.99X" value selects (see ParameterTransfer).
    bool runFunctionValue(const QString &value) { return m_transfer.runFunctionValue(value); }
    // "996" to "999": restore, clear and the like, as the function table says.
    void runParameterFunction(int function);
    void clearCurrentValues() { m_transfer.clearCurrentValues(); }
    void clearSettingValues() { m_transfer.clearSettingValues(); }

    // Parameter files (see ParameterFiles): the table saved as .xbel or
    // .xls, and a file's values loaded into "Setting value".
    bool saveFile(const QString &fileName) { return m_files.save(fileName); }
    bool openFile(const QString &fileName) { return m_files.open(fileName); }

signals:
    // A batch read runs (the "Batch Read" button is disabled meanwhile).
    void batchReadRunning(bool running);

private:
    void arrangeRows(const CatalogueProbe &probe);
    std::shared_ptr<BatchJob> startBatch(LinkWorker &worker, bool read);
    void takeBatchResult(const BatchJob &job);
    void takeReadRows(const TableCells &read);
    void takeReadBack(const BatchJob &job);
    void placeReadValues(const TableCells &read, const QStringList &numbersBefore);

    ParameterTable m_table;
    CatalogueVersion m_version;
    HiddenParameterList m_hidden;
    UnitScale m_scale;
    ParameterTransfer m_transfer;
    BatchTransfer m_batch;
    ParameterFiles m_files;
    bool m_writeSettingColumn = true;
    std::vector<std::shared_ptr<BatchJob>> m_readJobs;
};
