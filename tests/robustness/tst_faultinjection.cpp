#include "simrig.h"

#include "link/linkstate.h"
#include "monitor/identityread.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"

#include <QElapsedTimer>
#include <QMap>
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
    int truth = 0;
    for (int i = 0; i < count; ++i)
        truth = truth << 8 | (c.rig.reg(address + i) & 0xFF);
    c.inject();
    const int v = c.rig.driver->readPacked(address, count);
    if (v == truth)
        return Outcome::Ok;
    if (v == 0xFFFF)
        return failure(c);
    return wrong(c, QStringLiteral("packed %1, drive holds %2").arg(v, 0, 16).arg(truth, 0, 16));
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
