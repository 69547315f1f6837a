// vantreo-cli simulate: simulated drives served on a pseudo-terminal, and
// the in-process simulated line behind port "sim".
#include "clitool.h"
#include "clioptions.h"

#include "simulator/catalogueseed.h"
#include "simulator/simport.h"
#include "simulator/simptyserver.h"
#include "simulator/simulateddrive.h"
#include "simulator/simulatedline.h"

#include <atomic>
#include <csignal>

const char *const CliTool::kDefaultSimModel = "ZM-043-7.5K";

std::shared_ptr<Transport> CliTool::simulatedPort(const Options &o)
{
    auto line = std::make_shared<SimulatedLine>(o.settings.protocol,
                                                o.lineEnd >= 0 ? o.lineEnd : o.settings.lineEndIndex);
    const QString model = o.model.isEmpty() ? QString::fromLatin1(kDefaultSimModel) : o.model;
    line->addDrive(makeSimulatedDrive(o.station, model));
    // The drive listens with the settings the options give; a scan that
    // tries others finds it at these only.
    line->setDriveSettings(lineSettingsFor(o));
    return std::make_shared<SimPort>(line);
}

namespace {
std::atomic<bool> g_stopServing{false};
extern "C" void stopServing(int) { g_stopServing = true; }
}  // namespace

// Parses the drive list and line options of "simulate"; 0 or a usage error.
int CliTool::parseSimulation(const QStringList &args, Options &o, SimulationOptions &sim)
{
    QStringList generic;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--pty")) {
            sim.pty = true;
        } else if (a == QLatin1String("--fast")) {
            sim.fast = true;
        } else if (i + 1 >= args.size() || !a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("simulate: unexpected %1").arg(a));
        } else if (a == QLatin1String("--link")) {
            sim.link = args.at(++i);
        } else if (a == QLatin1String("--turnaround")) {
            bool ok = false;
            sim.turnaroundMs = args.at(++i).toDouble(&ok);
            if (!ok || sim.turnaroundMs < 0 || sim.turnaroundMs > 10000)
                return usageError(QStringLiteral("bad turnaround %1").arg(args.at(i)));
        } else if (a == QLatin1String("--drive")) {
            const QStringList f = args.at(++i).split(QLatin1Char(':'));
            int station = 0;
            if (f.size() < 2 || f.size() > 3 || !takeInt(f.at(0), 1, 247, &station) ||
                f.at(1).isEmpty())
                return usageError(QStringLiteral("--drive takes STATION:MODEL[:VERSION]"));
            const double version = f.size() == 3 ? f.at(2).toDouble() : -1;
            sim.drives.append({station, f.at(1), version});
        } else {
            generic << a << args.at(++i);
        }
    }
    QStringList rest;
    if (const int rc = parseOptions(generic + QStringList{QStringLiteral("simulate")}, o, rest))
        return rc;
    if (!sim.pty)
        return usageError(QStringLiteral("simulate needs --pty"));
    if (sim.drives.isEmpty())
        sim.drives.append({1, QString::fromLatin1(kDefaultSimModel), -1});
    return 0;
}

int CliTool::cmdSimulate(const QStringList &args, Options options)
{
    SimulationOptions sim;
    if (const int rc = parseSimulation(args, options, sim))
        return rc;
    const int lineEnd = options.lineEnd >= 0 ? options.lineEnd : options.settings.lineEndIndex;
    auto line = std::make_shared<SimulatedLine>(options.settings.protocol, lineEnd);
    line->setLineSettings(options.settings.lineSettings());
    line->setDriveSettings(options.settings.lineSettings(), true);
    line->setTurnaroundMs(sim.turnaroundMs);
    for (const SimulationOptions::Drive &d : qAsConst(sim.drives))
        line->addDrive(makeSimulatedDrive(d.station, d.model, d.version));

    SimPtyServer server(line, sim.fast);
    QString error;
    if (!server.open(sim.link, &error)) {
        m_err << "vantreo-cli: " << error << '\n';
        m_err.flush();
        return 1;
    }
    m_out << server.slavePath() << '\n';
    m_out.flush();
    g_stopServing = false;
    std::signal(SIGINT, stopServing);
    std::signal(SIGTERM, stopServing);
    server.serve(g_stopServing);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return 0;
}
