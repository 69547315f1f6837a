// vantreo-cli monitor: the drive's identity, then the requested live
// quantities once per complete monitor cycle.
#include "clitool.h"
#include "outputformat.h"

#include "link/linkworker.h"
#include "monitor/identityjob.h"

#include "base/series.h"
#include "base/sharedstate.h"
#include "monitor/driveprobe.h"
#include "link/linkstate.h"
#include "monitor/coreparameteraccess.h"
#include "monitor/identityread.h"
#include "monitor/monitordata.h"
#include "monitor/monitorthread.h"
#include "parameters/parametercore.h"

#include <QElapsedTimer>

int CliTool::parseMonitor(const QStringList &command, MonitorOptions &m)
{
    for (int i = 1; i < command.size(); ++i) {
        const QString a = command.at(i);
        if (i + 1 >= command.size())
            return usageError(QStringLiteral("monitor: %1 needs a value").arg(a));
        const QString v = command.at(++i);
        bool ok = false;
        if (a == QLatin1String("--quantities")) {
            m.quantities.clear();
            for (const QString &k : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const int q = k.toInt(&ok);
                if (!ok || q < 0 || q >= MonitorData::kSize)
                    return usageError(QStringLiteral("bad quantity %1 (0 to 23)").arg(k));
                m.quantities.append(q);
            }
            ok = !m.quantities.isEmpty();
        } else if (a == QLatin1String("--cycles")) {
            m.cycles = v.toInt(&ok);
            ok = ok && m.cycles > 0;
        } else if (a == QLatin1String("--seconds")) {
            m.seconds = v.toDouble(&ok);
            ok = ok && m.seconds > 0 && m.seconds < 1e7;
        } else {
            return usageError(QStringLiteral("monitor: unknown option %1").arg(a));
        }
        if (!ok)
            return usageError(QStringLiteral("monitor: bad value for %1: %2").arg(a, v));
    }
    if (m.cycles > 0 && m.seconds > 0)
        return usageError(QStringLiteral("monitor takes --cycles or --seconds, not both"));
    if (m.cycles == 0 && m.seconds == 0)
        m.cycles = 10;
    return 0;
}

int CliTool::cmdMonitor(const QStringList &command)
{
    MonitorOptions m;
    if (const int rc = parseMonitor(command, m))
        return rc;
    if (seriesLetter() == '0') {
        if (const int rc = identifySeries())
            return rc;
    }
    ParameterCore core;
    if (const int rc = prepareCatalogue(core))
        return rc;
    const QStringList identity = readIdentity(core);
    if (identity.isEmpty())
        return driveFailure();
    // A CSV table holds the cycles alone; its identity goes with the messages.
    static const QStringList kIdentityKeys = {
        QStringLiteral("drive"), QStringLiteral("version"), QStringLiteral("current"),
        QStringLiteral("voltage"), QStringLiteral("extra")};
    if (m_format == OutputFormat::Csv)
        m_err << identity.join(QLatin1Char('\t')) << '\n';
    else
        OutputFormat(OutputFormat::Kind(m_format), kIdentityKeys).writeRow(m_out, identity);
    m_err.flush();

    MonitorData &data = monitorData();
    data.reset();
    for (int k : qAsConst(m.quantities))
        data.setDialFlag(k, true);
    return monitorLoop(m);
}

int CliTool::identifySeries()
{
    const DriveProbe::Result found = DriveProbe::run();
    if (found.series == '0') {
        if (found.noAnswer)
            return driveFailure();
        QString why = QStringLiteral("the drive at station %1 did not say which it is")
                          .arg(int(linkState().stationByte));
        if (!found.candidates.isEmpty()) {
            QStringList codes;
            for (char s : found.candidates)
                codes << QStringLiteral("%1 (%2)").arg(QLatin1Char(s)).arg(seriesCode(s));
            why = QStringLiteral("the drive answers alike as series %1")
                      .arg(codes.join(QLatin1String(", ")));
        }
        m_err << "vantreo-cli: " << why << "; give its --model\n";
        m_err.flush();
        return 1;
    }
    setModelString(found.model);
    setSeriesLetter(found.series);
    m_identified = true;
    return 0;
}

QStringList CliTool::readIdentity(ParameterCore &core)
{
    CoreParameterAccess parameters(core);
    LinkWorker worker;
    const auto job = makeLinkJob<IdentityJob>(parameters);
    worker.post(job);
    followJob(job);
    const QStringList identity = job->record();
    if (m_identified && !identity.isEmpty()) {
        m_err << "vantreo-cli: found " << modelString() << ", version " << identity.value(1)
              << ", series " << seriesLetter() << " (" << seriesCode(seriesLetter()) << ")\n";
        m_err.flush();
    }
    return identity;
}

// Cycles in this thread, as the monitor thread runs them; a failed cycle is
// silent unless it lost the link, which ends the command.
int CliTool::monitorLoop(const MonitorOptions &m)
{
    MonitorThread monitor;
    MonitorData &data = monitorData();
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    QStringList header{QStringLiteral("time")};
    for (int k : m.quantities)
        header << QStringLiteral("q%1").arg(k);
    OutputFormat format(OutputFormat::Kind(m_format), header);
    QList<int> numeric;
    for (int i = 0; i < header.size(); ++i)
        numeric << i;
    format.setNumericColumns(numeric);
    format.writeHeader(m_out);
    while (m.cycles > 0 ? done < m.cycles : clock.elapsed() < m.seconds * 1000) {
        if (!monitor.runCycle()) {
            if (linkState().linkLost)
                return driveFailure();
            continue;
        }
        ++done;
        QStringList fields{QString::number(clock.elapsed() / 1000.0, 'f', 3)};
        for (int k : m.quantities)
            fields << QString::number(data.value(k), 'g', 6);
        format.writeRow(m_out, fields);
    }
    return 0;
}
