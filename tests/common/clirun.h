#pragma once

#include "cli/clitool.h"
#include "link/transport.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

// One run of vantreo-cli: its exit status, what it printed on standard output
// (whole and as non-empty lines) and on standard error.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
    QStringList lines;
};

inline CliRun cliRun(int status, const QString &out, const QString &err)
{
    return {status, out, err, out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)};
}

// The tool in this process; every port it opens is `port` (none: the tool
// opens real ports).
inline CliRun runCliInProcess(const QStringList &args, std::shared_ptr<Transport> port = nullptr)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    CliTool tool(o, e);
    if (port)
        tool.setTransportFactory([port](const QString &) { return port; });
    const int status = tool.run(args);
    o.flush();
    e.flush();
    return cliRun(status, out, err);
}

// The built tool as a process of its own; a run that outlasts `timeoutMs` is
// killed and reported with status -1.
inline CliRun runCliProcess(const QStringList &args, int timeoutMs = 20000)
{
    QProcess p;
    p.start(QStringLiteral(VANTREO_BIN_DIR "/vantreo-cli"), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return cliRun(-1, QString(), QStringLiteral("timed out"));
    }
    return cliRun(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                  QString::fromUtf8(p.readAllStandardError()));
}

// Ends a helper process when the test leaves its scope, pass or fail, so that
// a failed check does not leave a server running into the next test.
class ProcessStopper
{
public:
    explicit ProcessStopper(QProcess &process) : m_process(process) {}
    ~ProcessStopper()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    ProcessStopper(const ProcessStopper &) = delete;
    ProcessStopper &operator=(const ProcessStopper &) = delete;

private:
    QProcess &m_process;
};
