#include "monitorrun.h"

#include "identityjob.h"
#include "monitordata.h"
#include "monitorthread.h"
#include "quantitylists.h"

#include "link/linkjob.h"
#include "link/linkstate.h"

#include <QThread>

MonitorRun::MonitorRun(Role role, MonitorThread *monitor, LinkWorker &worker,
                       ParameterAccess *parameters, const DriveTarget &target, QObject *parent)
    : QObject(parent), m_role(role), m_monitor(monitor), m_worker(worker),
      m_parameters(parameters), m_target(target)
{
}

MonitorRun::~MonitorRun()
{
    cancelStart();
    if (m_state != State::Running)
        return;
    if (m_monitor)
        stopRole();
    clearRequests();
}

bool MonitorRun::monitorEnded() const { return m_monitor && !m_monitor->isRunning(); }

void MonitorRun::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

bool MonitorRun::start()
{
    if (m_state != State::Idle || !m_monitor)
        return false;
    if (m_parameters)
        m_monitor->setParameterAccess(m_parameters);
    setState(State::Starting);
    m_startJob = m_role == Role::Dials ? m_monitor->requestStartForDials(m_worker, m_target)
                                       : m_monitor->requestStartForTrend(m_worker, m_target);
    if (!m_startJob) {
        setState(State::Idle);
        return false;
    }
    LinkJob *job = m_startJob.get();
    connect(job, &LinkJob::finished, this, [this, job] { startAnswered(job); });
    return true;
}

void MonitorRun::startAnswered(LinkJob *job)
{
    if (!m_startJob || m_startJob.get() != job)
        return;  // cancelled by a stop
    const auto *identity = qobject_cast<const IdentityJob *>(job);
    const bool ok = identity && !job->isCancelled() && !identity->record().isEmpty();
    m_startJob.reset();
    // A refusal has been reported by the read.
    setState(ok ? State::Running : State::Idle);
}

void MonitorRun::cancelStart()
{
    if (m_startJob)
        m_startJob->cancel();
    m_startJob.reset();
}

void MonitorRun::stopRole()
{
    if (m_role == Role::Dials)
        m_monitor->stopDials();
    else
        m_monitor->stopTrend();
}

void MonitorRun::clearRequests()
{
    MonitorData &data = monitorData();
    const int count = QuantityLists::flagsClearedOnStop(m_target.series);
    for (int k = 0; k < count; ++k) {
        if (m_role == Role::Dials)
            data.setDialFlag(k, false);
        else
            data.setTrendFlag(k, false);
    }
}

void MonitorRun::stop()
{
    cancelStart();
    if (m_monitor)
        stopRole();
    emit stopping();
    clearRequests();
    setState(State::Idle);
}

// Goes by the thread as well as by the lost-line flag: a later exchange
// (another window's) may clear the flag before the page looks. The thread
// is told the role is done, so that it does not sample for an idle page once
// the other page starts it again.
bool MonitorRun::endIfOffLine()
{
    if (m_state != State::Running || !m_monitor)
        return false;
    if (!linkState().linkLost && m_monitor->isRunning())
        return false;
    stop();
    return true;
}

void MonitorRun::showDriveInfo(const QStringList &record)
{
    if (QThread::currentThread() == thread()) {
        takeDriveInfo(record);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, record] { takeDriveInfo(record); }, Qt::QueuedConnection);
}

void MonitorRun::takeDriveInfo(const QStringList &record)
{
    m_driveInfo = IdentityRead::driveInfo(record, m_target.series);
    if (m_driveInfo)
        emit driveInfoChanged(*m_driveInfo);
}
