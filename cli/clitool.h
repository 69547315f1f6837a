#pragma once

#include "link/comsettings.h"
#include "parameters/parametercore.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

class LinkJob;
class ParameterCore;
class Transport;

// vantreo-cli: the program's core driven from the command line. Options set
// up the link (by default from iniProtocol.txt), then one command runs.
// Exit status: 0 success, 1 drive or link failure, 2 usage error.
class CliTool
{
public:
    using TransportFactory = std::function<std::shared_ptr<Transport>(const QString &port)>;

    CliTool(QTextStream &out, QTextStream &err);

    int run(const QStringList &arguments);

    // Tests put a scripted port in place of the serial port.
    void setTransportFactory(TransportFactory factory) { m_factory = std::move(factory); }

    // The full help; one command's help (empty for an unknown command).
    static QString usage();
    static QString commandUsage(const QString &command);
    // The program version the build was made from.
    static QString version();

private:
    struct Options;
    struct SimulationOptions {
        struct Drive {
            int station;
            QString model;
            double version;
        };
        bool pty = false;
        bool fast = false;
        QString link;
        double turnaroundMs = 2;
        QList<Drive> drives;
    };
    static const char *const kDefaultSimModel;

    bool printHelpAsked(const QStringList &args);
    int parseOptions(const QStringList &args, Options &options, QStringList &command);
    int connectLink(const Options &options);
    static LineSettings lineSettingsFor(const Options &options);
    int runCommand(const QStringList &command);
    int cmdRead(const QStringList &command);
    int cmdWrite(const QStringList &command);
    int cmdFunction(const QStringList &command);
    int cmdPorts();
    struct ScanOptions {
        QList<int> stations;
        QList<int> protocols{1, 2, 0};
        QList<int> bauds{9600, 19200, 38400, 115200};
    };
    int cmdScan(const QStringList &command);
    int parseScan(const QStringList &command, ScanOptions &s);
    // One line per drive found, tab-separated.
    void printScanRow(const QStringList &fields);
    QStringList scannedDrive();
    Options *m_options = nullptr;
    QElapsedTimer m_started;
    int cmdSimulate(const QStringList &args, Options options);
    int parseSimulation(const QStringList &args, Options &o, SimulationOptions &sim);
    std::shared_ptr<Transport> simulatedPort(const Options &o);
    struct MonitorOptions {
        QList<int> quantities{0, 1, 2};
        int cycles = 0;
        double seconds = 0;
    };
    int cmdMonitor(const QStringList &command);
    int parseMonitor(const QStringList &command, MonitorOptions &m);
    int monitorLoop(const MonitorOptions &m);
    // Without --model: the series and model of the drive that answers; 0, or
    // 1 with the reason on stderr.
    int identifySeries();
    // The identity read as the monitor runs it; says which drive answered
    // when the tool identified it itself. Empty when the read failed.
    QStringList readIdentity(ParameterCore &core);
    int cmdParams(const QStringList &command);
    int prepareCatalogue(ParameterCore &core);
    int paramsRead(ParameterCore &core);
    int paramsGet(ParameterCore &core, const QStringList &command);
    int paramsSet(ParameterCore &core, const QStringList &command);
    int paramsSave(ParameterCore &core, const QString &fileName);
    int paramsLoad(ParameterCore &core, const QString &fileName, bool write);
    int readWholeDrive(ParameterCore &core);
    // Runs a batch read or write as the program does, on a link worker, with
    // its progress on stderr; returns when it has finished.
    ParameterCore::BatchResult runBatch(ParameterCore &core, bool read);
    // Shows a job's progress through the tool's interaction and waits for its end.
    static void followJob(const std::shared_ptr<LinkJob> &job);
    void printChanges(ParameterCore &core);
    void printParameterRows(ParameterCore &core);
    int usageError(const QString &why);
    int driveFailure();

    QTextStream &m_out;
    QTextStream &m_err;
    TransportFactory m_factory;
    bool m_scanHeaderWritten = false;
    QMutex m_errorsMutex;
    // Taken by every writer of m_err while a job may run beside this thread
    // (the interaction, the frame trace).
    QMutex m_errLock;
    QList<int> m_errors;
    int m_format = 0;
    bool m_identified = false;  // OutputFormat::Kind of --format
};
