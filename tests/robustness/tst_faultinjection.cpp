#include "simrig.h"

#include "link/linkstate.h"
#include "monitor/identityread.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "parameters/parametercore.h"

#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include <cstdio>
#include <functional>

using namespace SimRegisters;

// Every driver operation, over each protocol, against a simulated drive that
// makes one kind of fault at a time. Whatever the fault, an operation either
// succeeds with the value the drive holds, or fails visibly (an error report,
// or its sentinel: -1, 0xFFFF, false, an empty record); a write leaves the
// drive holding the value asked or the one before and touches nothing else;
// nothing hangs; and once the fault is gone the link works again at once
// (no late answer of the faulty exchange is taken for a later one).
//
// The test prints a table of faults and outcomes at the end. New operations
// (parameter transfers, files) are one entry in operations(); new faults one
// entry in faults().
namespace {
enum class Outcome { Ok, Degraded, Reported, Sentinel, WrongSuccess, Count };
const char *const kOutcomeNames[] = {"ok", "degraded", "reported", "sentinel", "WRONG"};

// A fault made by the line or the drive. `refused` is the register the
// operation depends on, for the refusal fault.
struct Fault {
    const char *name;
    std::function<void(SimRig &, int refused)> apply;
};

// What an operation may change on the drive: register -> allowed values
// besides the value before.
using Allowed = QHash<int, QList<quint16>>;

struct Context {
    SimRig &rig;
    ErrorRecorder &errors;
    std::function<void()> inject;  // called once the fault-free truth is known
    Allowed allowed;               // filled in by the operation
    QString detail;                // why an outcome is wrong
};

struct Operation {
    const char *name;
    bool modbusOnly;
    int refused;  // register whose refusal makes the operation fail
    std::function<Outcome(Context &)> run;
};

Outcome failure(Context &c)
{
    return c.errors.codes().isEmpty() ? Outcome::Sentinel : Outcome::Reported;
}

Outcome wrong(Context &c, const QString &why)
{
    c.detail = why;
    return Outcome::WrongSuccess;
}

constexpr int kReadRegister = 7;     // acceleration time, 0.1 s
constexpr int kFollowUpRegister = 101;  // another group of the native protocol
constexpr quint16 kFollowUpValue = 4321;

Outcome readRegisterOp(Context &c)
{
    const double truth = c.rig.valueOf(kReadRegister, 0.1);
    c.inject();
    const double v = c.rig.driver->readRegister(kReadRegister, 0.1);
    if (qFuzzyCompare(v, truth))
        return Outcome::Ok;
    if (v == -1)
        return failure(c);
    return wrong(c, QStringLiteral("read %1, drive holds %2").arg(v).arg(truth));
}

Outcome writeRegisterOp(Context &c)
{
    const quint16 asked = 80;
    c.allowed.insert(kReadRegister, {asked});
    c.inject();
    const bool ok = c.rig.driver->writeRegister(kReadRegister, asked);
    if (!ok)
        return failure(c);
    if (c.rig.reg(kReadRegister) != asked)
        return wrong(c, QStringLiteral("write reported done, drive holds %1")
                            .arg(c.rig.reg(kReadRegister)));
    return Outcome::Ok;
}

// A function whose result is a value the drive holds.
Outcome valueFunctionOp(Context &c, const QByteArray &name, const std::function<int()> &truthOf)
{
    const int truth = truthOf();
    c.inject();
    const int v = c.rig.driver->runFunction(name);
    if (v == truth)
        return Outcome::Ok;
    if (v == -1)
        return failure(c);
    return wrong(c, QStringLiteral("%1 gave %2, drive holds %3")
                        .arg(QString::fromLatin1(name)).arg(v).arg(truth));
}

// A function that changes one register of the drive.
Outcome commandFunctionOp(Context &c, const QByteArray &code, int address, quint16 expected)
{
    c.allowed.insert(address, {expected});
    c.inject();
    const int v = c.rig.driver->runFunction(code);
    if (v == -1)
        return failure(c);
    if (v != 0 || c.rig.reg(address) != expected)
        return wrong(c, QStringLiteral("%1 gave %2, register %3 holds %4")
                            .arg(QString::fromLatin1(code.left(3))).arg(v).arg(address)
                            .arg(c.rig.reg(address)));
    return Outcome::Ok;
}

// Monitor readings (with their selector write where they need one).
Outcome readingOp(Context &c, const QByteArray &selector, const QByteArray &reading)
{
    c.rig.runAt(40);
    ReadWrite *d = c.rig.driver;
    if ((!selector.isEmpty() && d->runFunction(selector) != 0) || d->runFunction(reading) != 0)
        return wrong(c, QStringLiteral("no fault-free reading"));
    const double truth = d->lastReading();
    c.inject();
    if (!selector.isEmpty() && d->runFunction(selector) != 0)
        return failure(c);
    if (d->runFunction(reading) != 0)
        return failure(c);
    if (!qFuzzyCompare(d->lastReading(), truth))
        return wrong(c, QStringLiteral("reading %1, drive shows %2").arg(d->lastReading()).arg(truth));
    return Outcome::Ok;
}

Outcome packedOp(Context &c, int address, int count)
{
    quint32 truth = 0;
    for (int i = 0; i < count; ++i)
        truth = truth << 8 | (c.rig.reg(address + i) & 0xFF);
    c.inject();
    const std::optional<quint32> v = c.rig.driver->readPacked(address, count);
    if (!v)
        return failure(c);
    if (*v == truth)
        return Outcome::Ok;
    return wrong(c, QStringLiteral("packed %1, drive holds %2").arg(*v, 0, 16).arg(truth, 0, 16));
}

Outcome monitorCycleOp(Context &c)
{
    c.rig.runAt(35);
    MonitorData &data = monitorData();
    data.reset();
    const QList<int> wanted = {0, 1, 2, 3, 4, 7, 12};
    for (int k : wanted)
        data.setDialFlag(k, true);
    MonitorThread thread;
    if (!thread.runCycle())
        return wrong(c, QStringLiteral("no fault-free cycle"));
    QMap<int, double> truth;
    for (int k : wanted)
        truth.insert(k, data.value(k));
    const double marker = -7;
    for (int k : wanted)
        data.setValue(k, marker);
    c.allowed.insert(Selector, {0x04, 0x05, 0x06, 0x07});
    c.inject();
    const bool complete = thread.runCycle();
    for (int k : wanted) {
        const double v = data.value(k);
        if (qFuzzyCompare(v, truth.value(k)) || (!complete && v == marker))
            continue;
        return wrong(c, QStringLiteral("quantity %1: %2, drive shows %3").arg(k).arg(v).arg(truth.value(k)));
    }
    return complete ? Outcome::Ok : failure(c);
}

// The identity read opens the write guard (register 77) and closes it again.
Outcome identityOp(Context &c)
{
    RigParameters parameters;
    const QStringList truth = IdentityRead(parameters).run();
    if (truth.isEmpty() || linkState().acceptReject77)
        return wrong(c, QStringLiteral("no fault-free identity"));
    c.allowed.insert(77, {9999});
    c.inject();
    const QStringList record = IdentityRead(parameters).run();
    if (linkState().acceptReject77 || linkState().silentReads)
        return wrong(c, QStringLiteral("identity read left the link flags set"));
    if (record == truth)
        return Outcome::Ok;
    if (record.isEmpty())
        return failure(c);
    // A field the drive did not give is marked unknown, never made up.
    for (int i = 0; i < truth.size(); ++i) {
        const QString field = record.value(i);
        if (field != truth.at(i) && field != QLatin1String("---") && !field.isEmpty())
            return wrong(c, QStringLiteral("identity %1, drive is %2")
                                .arg(record.join('|'), truth.join('|')));
    }
    return Outcome::Degraded;
}

// The parameters core on the rig's drive, with the first rows of the
// series' catalogue so that a batch stays short.
constexpr int kBatchRows = 12;
constexpr int kChangedParameters[] = {7, 8};

void loadShortCatalogue(ParameterCore &core)
{
    core.loadCatalogue();
    core.table().removeRowsFrom(kBatchRows);
    core.table().setParameterCount(core.table().rowCount());
}

// Parameter number -> text of one column, for the rows that have a number.
QMap<int, QString> columnByNumber(ParameterTable &table, int column)
{
    QMap<int, QString> texts;
    for (int row = 0; table.hasNumberCell(row); ++row) {
        bool numeric = false;
        const int number = table.numberText(row).toInt(&numeric);
        if (numeric)
            texts.insert(number, table.text(row, column));
    }
    return texts;
}

bool batchComplete(const ParameterCore::BatchResult &r)
{
    return r.status == ParameterCore::BatchResult::Status::Completed && r.failed.isEmpty();
}

// A batch read gives every row the drive's value, or marks it ("--", or
// not reached) and says so in its result; a row with another value, or a
// row lost while the read claims to be complete, is a wrong success.
Outcome batchReadOp(Context &c)
{
    ParameterCore core;
    loadShortCatalogue(core);
    if (!batchComplete(core.readAllParameters()))
        return wrong(c, QStringLiteral("no fault-free batch read"));
    const QMap<int, QString> truth = columnByNumber(core.table(), ParameterTable::CurrentColumn);
    core.clearCurrentValues();
    c.inject();
    const ParameterCore::BatchResult result = core.readAllParameters();
    const QMap<int, QString> got = columnByNumber(core.table(), ParameterTable::CurrentColumn);
    bool whole = true;
    for (auto it = truth.constBegin(); it != truth.constEnd(); ++it) {
        const QString value = got.value(it.key());
        if (value == it.value())
            continue;
        whole = false;
        if (!value.isEmpty() && value != QLatin1String("--"))
            return wrong(c, QStringLiteral("P.%1 read as %2, drive holds %3")
                                .arg(it.key()).arg(value, it.value()));
    }
    if (whole && batchComplete(result))
        return Outcome::Ok;
    if (batchComplete(result))
        return wrong(c, QStringLiteral("batch read complete with rows missing"));
    return failure(c);
}

// Fills "Setting value" with what was read, except for the changed
// parameters, which get a new value.
void prepareSettings(ParameterTable &table)
{
    for (int row = 0; table.hasNumberCell(row); ++row) {
        QString value = table.text(row, ParameterTable::CurrentColumn);
        for (int number : kChangedParameters)
            if (table.numberText(row) == QString::number(number))
                value = QString::number(value.toDouble() + 1);
        table.setText(row, ParameterTable::SettingColumn, value);
    }
}

// Batch write of a prepared "Setting value" column: on success every changed
// parameter holds the value asked; whatever happens, the drive holds for each
// parameter the value asked or the one before (checked by the caller).
Outcome batchWriteOp(Context &c, const std::function<bool(ParameterCore &)> &prepare)
{
    ParameterCore core;
    loadShortCatalogue(core);
    if (!batchComplete(core.readAllParameters()) || !prepare(core))
        return wrong(c, QStringLiteral("no fault-free batch read"));
    // A fault-free run tells the register values asked; then the drive goes
    // back to where it was.
    QHash<int, quint16> old;
    for (int n : kChangedParameters)
        old.insert(n, c.rig.reg(n));
    if (!batchComplete(core.writeAllParameters()))
        return wrong(c, QStringLiteral("no fault-free batch write"));
    QHash<int, quint16> asked;
    for (int n : kChangedParameters) {
        asked.insert(n, c.rig.reg(n));
        if (asked.value(n) == old.value(n))
            return wrong(c, QStringLiteral("P.%1 did not change in the fault-free write").arg(n));
        c.rig.drive->setParameterValue(n, old.value(n));
        c.allowed.insert(n, {asked.value(n)});
    }
    c.inject();
    const ParameterCore::BatchResult result = core.writeAllParameters();
    if (!batchComplete(result))
        return failure(c);
    for (int n : kChangedParameters)
        if (c.rig.reg(n) != asked.value(n))
            return wrong(c, QStringLiteral("batch write complete, P.%1 holds %2 instead of %3")
                                .arg(n).arg(c.rig.reg(n)).arg(asked.value(n)));
    return Outcome::Ok;
}

// The setting values come from a parameter file saved with the changed values.
bool prepareFromFile(ParameterCore &core, const QString &suffix)
{
    static QTemporaryDir dir;
    ParameterTable &table = core.table();
    const QMap<int, QString> read = columnByNumber(table, ParameterTable::CurrentColumn);
    prepareSettings(table);
    for (int row = 0; table.hasNumberCell(row); ++row)
        table.setText(row, ParameterTable::CurrentColumn,
                      table.text(row, ParameterTable::SettingColumn));
    const QString file = dir.filePath(QStringLiteral("settings.") + suffix);
    if (!core.saveFile(file))
        return false;
    core.clearSettingValues();
    for (int row = 0; table.hasNumberCell(row); ++row) {
        bool numeric = false;
        const int number = table.numberText(row).toInt(&numeric);
        if (numeric)
            table.setText(row, ParameterTable::CurrentColumn, read.value(number));
    }
    return core.openFile(file);
}

// Single transfers through the parameters core (catalogue scale): the value
// of a fault-free read, or -1.
Outcome readParameterOp(Context &c)
{
    ParameterCore core;
    loadShortCatalogue(core);
    const double truth = core.readParameter(kReadRegister);
    if (truth < 0)
        return wrong(c, QStringLiteral("no fault-free read"));
    c.inject();
    const double v = core.readParameter(kReadRegister);
    if (qFuzzyCompare(v, truth))
        return Outcome::Ok;
    if (v == -1)
        return failure(c);
    return wrong(c, QStringLiteral("P.%1 read %2, drive holds %3").arg(kReadRegister).arg(v).arg(truth));
}

Outcome writeParameterOp(Context &c)
{
    ParameterCore core;
    loadShortCatalogue(core);
    const QString unit = core.table().text(
        core.table().rowOfNumber(QString::number(kReadRegister)), ParameterTable::UnitColumn);
    const quint16 old = c.rig.reg(kReadRegister);
    const QString value = QString::number(core.readParameter(kReadRegister) + 1);
    if (!core.writeParameter(kReadRegister, value, unit) || c.rig.reg(kReadRegister) == old)
        return wrong(c, QStringLiteral("no fault-free write"));
    const quint16 asked = c.rig.reg(kReadRegister);
    c.rig.drive->setParameterValue(kReadRegister, old);
    c.allowed.insert(kReadRegister, {asked});
    c.inject();
    if (!core.writeParameter(kReadRegister, value, unit))
        return failure(c);
    if (c.rig.reg(kReadRegister) != asked)
        return wrong(c, QStringLiteral("write reported done, drive holds %1")
                            .arg(c.rig.reg(kReadRegister)));
    return Outcome::Ok;
}

QList<Operation> operations()
{
    return {
        {"readRegister", false, kReadRegister, readRegisterOp},
        {"writeRegister", false, kReadRegister, writeRegisterOp},
        {"MOD", false, Mode,
         [](Context &c) {
             c.rig.drive->write(Mode, 1);
             return valueFunctionOp(c, "MOD", [&c] { return '0' + c.rig.reg(Mode); });
         }},
        {"STA", false, Status,
         [](Context &c) {
             c.rig.runAt(20);
             return valueFunctionOp(c, "STA", [&c] { return int(c.rig.reg(Status)); });
         }},
        {"FWD", false, Control,
         [](Context &c) {
             c.rig.drive->write(FrequencyCommand, 1000);
             return commandFunctionOp(c, "FWD", Control, 2);
         }},
        {"FRE", false, FrequencyCommand,
         [](Context &c) {
             return commandFunctionOp(c, QByteArray("FRE\x0B\xB8", 5), FrequencyCommand, 3000);
         }},
        {"M0R", false, MonitorBase,
         [](Context &c) { return readingOp(c, QByteArray(), "M0R"); }},
        {"M7W+M7R", false, SelectedValue,
         [](Context &c) {
             c.allowed.insert(Selector, {0x07});
             return readingOp(c, "M7W", "M7R");
         }},
        {"readPacked 4", true, RamBase1 + 0x10,
         [](Context &c) { return packedOp(c, RamBase1 + 0x10, 4); }},
        {"readPacked 2", true, RamBase2 + 0x21,
         [](Context &c) { return packedOp(c, RamBase2 + 0x20, 2); }},
        {"monitor cycle", false, MonitorBase + 2, monitorCycleOp},
        {"identity read", false, 56, identityOp},
        {"readParameter", false, kReadRegister, readParameterOp},
        {"writeParameter", false, kReadRegister, writeParameterOp},
        {"batch read", false, kReadRegister, batchReadOp},
        {"batch write", false, kReadRegister,
         [](Context &c) {
             return batchWriteOp(c, [](ParameterCore &core) {
                 prepareSettings(core.table());
                 return true;
             });
         }},
        {".xbel opened, batch write", false, kReadRegister,
         [](Context &c) {
             return batchWriteOp(c, [](ParameterCore &core) { return prepareFromFile(core, "xbel"); });
         }},
        {".xls opened, batch write", false, kReadRegister,
         [](Context &c) {
             return batchWriteOp(c, [](ParameterCore &core) { return prepareFromFile(core, "xls"); });
         }},
    };
}

QList<Fault> faults()
{
    auto lineFault = [](SimFaults f) {
        return [f](SimRig &rig, int) { rig.line->setFaults(SimRig::kStation, f); };
    };
    SimFaults none, silent, late, veryLate, cut, corrupt, dropping;
    silent.noAnswer = true;
    late.lateMs = 60;  // after the read window of 51 quiet polls has closed
    veryLate.lateMs = 150;  // after the window of the third attempt
    cut.shortBy = 1;
    corrupt.corruptChecksum = true;
    dropping.dropOneIn = 3;
    return {
        {"none", lineFault(none)},
        {"no answer", lineFault(silent)},
        {"late answer", lineFault(late)},
        {"very late answer", lineFault(veryLate)},
        {"short answer", lineFault(cut)},
        {"corrupt checksum", lineFault(corrupt)},
        {"refused register",
         [](SimRig &rig, int refused) {
             rig.drive->setRefusedRegister(refused, SimulatedDrive::IllegalAddress);
         }},
        {"1 frame in 3 dropped", lineFault(dropping)},
    };
}

const char *protocolName(int p) { return p == 0 ? "native" : p == 1 ? "RTU" : "ASCII"; }

// Outcome counts by fault, for the table printed at the end.
QMap<QString, QVector<int>> g_summary;
int g_injected = 0;
}  // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

    DataDir m_dir;
    RecordingInteraction m_ui;

private slots:
    void initTestCase()
    {
        SimRig::installData(m_dir);
        setUserInteraction(&m_ui);
    }

    void cleanupTestCase()
    {
        linkState().setSerialPort(nullptr);
        setUserInteraction(nullptr);
        std::printf("\nFaults injected: %d (protocol x operation x fault)\n", g_injected);
        std::printf("%-22s", "fault");
        for (const char *o : kOutcomeNames)
            std::printf(" %9s", o);
        std::printf("\n");
        QVector<int> total(int(Outcome::Count), 0);
        for (const Fault &f : faults()) {
            const QVector<int> row = g_summary.value(QString::fromLatin1(f.name),
                                                     QVector<int>(int(Outcome::Count), 0));
            std::printf("%-22s", f.name);
            for (int i = 0; i < row.size(); ++i) {
                std::printf(" %9d", row.at(i));
                total[i] += row.at(i);
            }
            std::printf("\n");
        }
        std::printf("%-22s", "all");
        for (int n : total)
            std::printf(" %9d", n);
        std::printf("\n(wrong-success must be 0; degraded = a field marked unknown)\n");
        std::fflush(stdout);
    }

    void faultsInjected_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("fault");
        const QList<Operation> ops = operations();
        const QList<Fault> fs = faults();
        for (int protocol : {0, 1, 2})
            for (int o = 0; o < ops.size(); ++o) {
                if (ops.at(o).modbusOnly && protocol == 0)
                    continue;
                for (int f = 0; f < fs.size(); ++f)
                    QTest::newRow(qPrintable(QStringLiteral("%1, %2, %3")
                                                 .arg(protocolName(protocol), ops.at(o).name,
                                                      fs.at(f).name)))
                        << protocol << o << f;
            }
    }

    void faultsInjected()
    {
        QFETCH(int, protocol);
        QFETCH(int, operation);
        QFETCH(int, fault);
        const Operation op = operations().at(operation);
        const Fault f = faults().at(fault);
        SimRig rig(protocol);
        rig.drive->setParameterValue(kFollowUpRegister, kFollowUpValue);
        monitorData().reset();
        ErrorRecorder errors;
        QHash<int, quint16> before;
        Context c{rig, errors, {}, {}, {}};
        c.inject = [&] {
            before = rig.snapshot();
            errors.clear();
            f.apply(rig, op.refused);
        };

        QElapsedTimer guard;
        guard.start();
        const Outcome outcome = op.run(c);
        // A generous bound: far above three attempts of 51 polls per
        // exchange, far below anything a person would take for a hang.
        QVERIFY2(guard.elapsed() < 20000, "operation hung");
        ++g_injected;
        QVector<int> &row = g_summary[QString::fromLatin1(f.name)];
        row.resize(int(Outcome::Count));
        ++row[int(outcome)];
        QVERIFY2(outcome != Outcome::WrongSuccess, qPrintable(c.detail));
        QVERIFY(!before.isEmpty());

        // The fault is gone (a refused register reads again).
        rig.line->setFaults(SimRig::kStation, SimFaults());
        rig.drive->setRefusedRegister(op.refused, SimulatedDrive::Ok);

        // Nothing but what the operation asked for changed on the drive.
        const QHash<int, quint16> after = rig.snapshot();
        for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
            const quint16 old = before.value(it.key());
            QVERIFY2(it.value() == old || c.allowed.value(it.key()).contains(it.value()),
                     qPrintable(QStringLiteral("register %1 went from %2 to %3")
                                    .arg(it.key()).arg(old).arg(it.value())));
        }
        if (QByteArray(f.name) == "none")
            QCOMPARE(int(outcome), int(Outcome::Ok));
        if (QByteArray(f.name) == "no answer")
            QVERIFY(outcome == Outcome::Reported || outcome == Outcome::Sentinel);

        // The next exchange gets its own answer, not a late one of the fault.
        const double next = rig.driver->readRegister(kFollowUpRegister, 1);
        QCOMPARE(next, rig.valueOf(kFollowUpRegister, 1));
    }
};

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
