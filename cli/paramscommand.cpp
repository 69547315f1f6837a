// vantreo-cli params: the parameter table read, single values got and set,
// and parameter files saved and loaded.
#include "clitool.h"

#include "link/linkjob.h"
#include "link/linkworker.h"
#include "parameters/batchjob.h"
#include "clioptions.h"
#include "outputformat.h"

#include "base/sharedstate.h"
#include "link/readwrite.h"
#include "parameters/cataloguefiles.h"
#include "parameters/parametercore.h"
#include "parameters/parameterfiles.h"

#include <QFile>

int CliTool::cmdParams(const QStringList &command)
{
    const QString sub = command.value(1);
    const bool withFile = sub == QLatin1String("save") || sub == QLatin1String("load");
    const bool known = (sub == QLatin1String("read") && command.size() == 2) ||
                       (sub == QLatin1String("get") && command.size() == 3) ||
                       (sub == QLatin1String("set") && command.size() == 4) ||
                       (sub == QLatin1String("save") && command.size() == 3) ||
                       (sub == QLatin1String("load") &&
                        (command.size() == 3 ||
                         (command.size() == 4 && command.at(3) == QLatin1String("--write"))));
    if (!known)
        return usageError(QStringLiteral(
            "params takes read, get N, set N VALUE, save FILE or load FILE [--write]"));
    if (withFile && ParameterFiles::formatOf(command.at(2)) == ParameterFiles::Format::None)
        return usageError(QStringLiteral("a parameter file name ends in .xbel or .xls"));
    const bool identify = seriesLetter() == '0';
    if (identify) {
        if (const int rc = identifySeries())
            return rc;
    }
    ParameterCore core;
    if (const int rc = prepareCatalogue(core))
        return rc;
    if (identify) {
        // Say which drive the values come from, as the monitor does.
        if (readIdentity(core).isEmpty())
            return driveFailure();
    }
    if (sub == QLatin1String("read"))
        return paramsRead(core);
    if (sub == QLatin1String("get"))
        return paramsGet(core, command);
    if (sub == QLatin1String("save"))
        return paramsSave(core, command.at(2));
    if (sub == QLatin1String("load"))
        return paramsLoad(core, command.at(2), command.size() == 4);
    return paramsSet(core, command);
}

int CliTool::prepareCatalogue(ParameterCore &core)
{
    const QString file = CatalogueFiles::cataloguePath(seriesLetter(), 0);
    if (!QFile::exists(file)) {
        m_err << "vantreo-cli: no parameter catalogue " << file << '\n';
        m_err.flush();
        return 1;
    }
    core.loadCatalogue();
    core.loadHiddenParameters();
    return 0;
}

void CliTool::printParameterRows(ParameterCore &core)
{
    OutputFormat format(OutputFormat::Kind(m_format),
                        {QStringLiteral("number"), QStringLiteral("name"),
                         QStringLiteral("value"), QStringLiteral("unit")});
    format.writeHeader(m_out);
    ParameterTable &table = core.table();
    for (int row = 0; table.hasNumberCell(row); ++row) {
        format.writeRow(m_out, {table.text(row, ParameterTable::NumberColumn).trimmed(),
                                table.text(row, ParameterTable::NameColumn),
                                table.text(row, ParameterTable::CurrentColumn),
                                table.text(row, ParameterTable::UnitColumn)});
    }
}

int CliTool::paramsRead(ParameterCore &core)
{
    const ParameterCore::BatchResult result = runBatch(core, true);
    if (result.status == ParameterCore::BatchResult::Status::NotStarted)
        return driveFailure();
    printParameterRows(core);
    if (result.status == ParameterCore::BatchResult::Status::LinkLost)
        return driveFailure();
    return 0;
}

static bool knownUnit(ParameterCore &core, int number, QString *unit)
{
    const int row = core.table().rowOfNumber(QString::number(number));
    if (row >= 0) {
        *unit = core.table().text(row, ParameterTable::UnitColumn);
        return true;
    }
    const QString name = QStringLiteral("P.") + QString::number(number);
    for (const HiddenParameterList::Entry &entry : core.hiddenParameterList()) {
        if (entry.name == name) {
            *unit = entry.unit;
            return true;
        }
    }
    return false;
}

int CliTool::paramsGet(ParameterCore &core, const QStringList &command)
{
    int number = 0;
    if (!takeInt(command.at(2), 0, ReadWrite::kAddressLimit - 1, &number))
        return usageError(QStringLiteral("params get takes a parameter number below 1600"));
    QString unit;
    if (!knownUnit(core, number, &unit)) {
        m_err << "vantreo-cli: parameter " << number << " is not in the catalogue\n";
        m_err.flush();
        return 1;
    }
    // As a click on the row: the table's current row holds the parameter.
    core.table().setCurrentCell(core.table().rowOfNumber(QString::number(number)),
                                ParameterTable::NumberColumn);
    const double value = core.readParameter(number);
    if (value == -1)
        return driveFailure();
    QString text = ParameterTransfer::formatValue(value);
    if (number == 188)
        text = ParameterTransfer::padVersion(text);
    if (m_format == OutputFormat::Tsv) {
        m_out << text << '\n';
        m_out.flush();
        return 0;
    }
    OutputFormat format(OutputFormat::Kind(m_format),
                        {QStringLiteral("number"), QStringLiteral("value"),
                         QStringLiteral("unit")});
    format.writeHeader(m_out);
    format.writeRow(m_out, {QStringLiteral("P.") + QString::number(number), text, unit});
    return 0;
}

int CliTool::paramsSet(ParameterCore &core, const QStringList &command)
{
    int number = 0;
    if (!takeInt(command.at(2), 0, ReadWrite::kAddressLimit - 1, &number))
        return usageError(QStringLiteral("params set takes a parameter number below 1600"));
    QString unit;
    if (!knownUnit(core, number, &unit)) {
        m_err << "vantreo-cli: parameter " << number << " is not in the catalogue\n";
        m_err.flush();
        return 1;
    }
    if (!core.writeParameter(number, command.at(3), unit))
        return driveFailure();
    return 0;
}

// A batch read that must finish: a file saved from a read cut short would
// lack values, and changes shown against it would be wrong.
int CliTool::readWholeDrive(ParameterCore &core)
{
    const ParameterCore::BatchResult result = runBatch(core, true);
    if (result.status != ParameterCore::BatchResult::Status::Completed)
        return driveFailure();
    for (int number : result.failed)
        m_err << "vantreo-cli: P." << number << " could not be read (shown as --)\n";
    m_err.flush();
    return 0;
}

int CliTool::paramsSave(ParameterCore &core, const QString &fileName)
{
    if (const int rc = readWholeDrive(core))
        return rc;
    return core.saveFile(fileName) ? 0 : 1;
}

int CliTool::paramsLoad(ParameterCore &core, const QString &fileName, bool write)
{
    if (const int rc = readWholeDrive(core))
        return rc;
    if (!core.openFile(fileName))
        return 1;
    printChanges(core);
    if (!write)
        return 0;
    const ParameterCore::BatchResult result = runBatch(core, false);
    if (result.status == ParameterCore::BatchResult::Status::LinkLost)
        return driveFailure();
    return result.status == ParameterCore::BatchResult::Status::Completed &&
                   result.failed.isEmpty()
               ? 0
               : 1;
}

static bool sameValue(const QString &a, const QString &b)
{
    bool aNumber = false, bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    return aNumber && bNumber ? x == y : a.trimmed() == b.trimmed();
}

// The parameters a batch write of the setting values would change: those it
// writes (not passed over by ReadPar.txt or the series, not empty) whose
// value differs from the one just read.
void CliTool::printChanges(ParameterCore &core)
{
    QList<int> skipped;
    QString listFile, error;
    CatalogueFiles::readSkipList(seriesLetter(), &skipped, &listFile, &error);
    ParameterTable &table = core.table();
    for (int row = 0; table.hasNumberCell(row); ++row) {
        bool numeric = false;
        const int number = table.numberText(row).toInt(&numeric);
        const QString setting = table.text(row, ParameterTable::SettingColumn);
        const QString current = table.text(row, ParameterTable::CurrentColumn);
        if (!numeric || skipped.contains(number) || BatchTransfer::skippedBySeries(number) ||
            setting.trimmed().isEmpty() || sameValue(current, setting))
            continue;
        m_out << "P." << number << '\t' << current << '\t' << setting << '\n';
    }
    m_out.flush();
}

void CliTool::followJob(const std::shared_ptr<LinkJob> &job)
{
    QObject here;
    LinkJob *raw = job.get();
    UserInteraction *ui = processInteraction();
    QObject::connect(raw, &LinkJob::progressStarted, &here,
                     [ui, raw] { ui->progressStart(raw->progressSetup()); });
    QObject::connect(raw, &LinkJob::progressRangeChanged, &here,
                     [ui](int minimum, int maximum) { ui->progressSetRange(minimum, maximum); });
    QObject::connect(raw, &LinkJob::progressValueChanged, &here,
                     [ui](int value) { ui->progressSetValue(value); });
    QObject::connect(raw, &LinkJob::progressEnded, &here, [ui] { ui->progressEnd(); });
    job->waitForFinished();
}

ParameterCore::BatchResult CliTool::runBatch(ParameterCore &core, bool read)
{
    LinkWorker worker;
    const std::shared_ptr<BatchJob> job =
        read ? core.startReadAll(worker) : core.startWriteAll(worker);
    followJob(job);
    return job->result();
}
