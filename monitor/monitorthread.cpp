#include "monitorthread.h"
#include "link/driverregistry.h"

#include "identityjob.h"
#include "identityread.h"
#include "monitordata.h"
#include "monitorpages.h"
#include "quantitytable.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/linkworker.h"
#include "link/readwrite.h"

#include <algorithm>
#include <mutex>

namespace {
// Every call into a page, every attach and every detach, of all monitor
// threads, runs under this one lock: a detach waits for the call in
// progress, and with a single lock no two threads can wait on each other
// through it. Recursive, so that a page may detach from inside its call.
// The line is never used under it.
std::recursive_mutex &pageLock()
{
    static std::recursive_mutex lock;
    return lock;
}
using PageLocker = std::lock_guard<std::recursive_mutex>;
}  // namespace

void PageLink::detachFromMonitor()
{
    PageLocker lock(pageLock());
    if (m_monitor)
        m_monitor->unlink(this);
}

MonitorThread::MonitorThread(ParameterAccess *parameters, QObject *parent)
    : QThread(parent), m_parameters(parameters)
{
}

MonitorThread::~MonitorThread()
{
    m_dialActive = false;
    m_trendActive = false;
    wait();
    for (const std::shared_ptr<IdentityJob> &job : m_identityJobs)
        job->cancel();
    // Pages that outlive the thread must not detach from it later.
    PageLocker lock(pageLock());
    if (m_dialPage)
        unlink(m_dialPage);
    if (m_trendPage)
        unlink(m_trendPage);
}

void MonitorThread::unlink(PageLink *page)
{
    if (m_dialPage && static_cast<PageLink *>(m_dialPage) == page)
        m_dialPage = nullptr;
    if (m_trendPage && static_cast<PageLink *>(m_trendPage) == page)
        m_trendPage = nullptr;
    page->m_monitor = nullptr;
}

// `slot` is the role's page: m_dialPage or m_trendPage.
template <class Sink>
void MonitorThread::attach(Sink *&slot, Sink *page)
{
    PageLocker lock(pageLock());
    if (page == slot)
        return;
    if (slot)
        unlink(slot);
    if (!page)
        return;
    if (page->m_monitor)  // another thread's page in this role until now
        page->m_monitor->unlink(page);
    page->m_monitor = this;
    slot = page;
}

void MonitorThread::attachDial(DialPageSink *page) { attach(m_dialPage, page); }
void MonitorThread::attachTrend(TrendPageSink *page) { attach(m_trendPage, page); }

bool MonitorThread::start(bool dials)
{
    if (!m_parameters)
        return false;
    const DriveTarget target = currentDriveTarget();
    QStringList record;
    {
        DriveTargetScope drive(target);
        IdentityRead identity(*m_parameters);
        record = identity.run();
    }
    if (record.isEmpty())
        return false;
    beginMonitoring(dials, record, target);
    return true;
}

DriveTarget MonitorThread::dialTarget() const
{
    QMutexLocker lock(&m_targetMutex);
    return m_dialTarget;
}

DriveTarget MonitorThread::trendTarget() const
{
    QMutexLocker lock(&m_targetMutex);
    return m_trendTarget;
}

void MonitorThread::beginMonitoring(bool dials, const QStringList &record,
                                    const DriveTarget &target)
{
    {
        QMutexLocker lock(&m_targetMutex);
        (dials ? m_dialTarget : m_trendTarget) = target;
    }
    {
        // Only the page that asked: the other may be watching another drive.
        PageLocker lock(pageLock());
        if (dials && m_dialPage)
            m_dialPage->showDriveInfo(record);
        if (!dials && m_trendPage)
            m_trendPage->showDriveInfo(record);
    }
    (dials ? m_dialActive : m_trendActive) = true;
    // A loop that has decided to end may not have returned yet: it is
    // waited for and started again rather than left to end with the flag set.
    if (!m_looping.exchange(true)) {
        wait();
        QThread::start();
    }
}

std::shared_ptr<LinkJob> MonitorThread::requestStartForDials(LinkWorker &worker)
{
    return requestStart(worker, true, currentDriveTarget());
}

std::shared_ptr<LinkJob> MonitorThread::requestStartForTrend(LinkWorker &worker)
{
    return requestStart(worker, false, currentDriveTarget());
}

std::shared_ptr<LinkJob> MonitorThread::requestStartForDials(LinkWorker &worker,
                                                             const DriveTarget &drive)
{
    return requestStart(worker, true, drive);
}

std::shared_ptr<LinkJob> MonitorThread::requestStartForTrend(LinkWorker &worker,
                                                             const DriveTarget &drive)
{
    return requestStart(worker, false, drive);
}

std::shared_ptr<LinkJob> MonitorThread::requestStart(LinkWorker &worker, bool dials,
                                                     const DriveTarget &drive)
{
    if (!m_parameters) {
        emit startFinished(dials, false);
        return nullptr;
    }
    auto job = makeLinkJob<IdentityJob>(*m_parameters);
    job->setTarget(drive);
    m_identityJobs.push_back(job);
    IdentityJob *raw = job.get();
    connect(raw, &LinkJob::finished, this, [this, raw, dials] { finishRequest(raw, dials); });
    worker.post(job);
    return job;
}

void MonitorThread::finishRequest(IdentityJob *job, bool dials)
{
    const QStringList record = job->isCancelled() ? QStringList() : job->record();
    m_identityJobs.erase(std::remove_if(m_identityJobs.begin(), m_identityJobs.end(),
                                        [job](const auto &j) { return j.get() == job; }),
                         m_identityJobs.end());
    if (!record.isEmpty())
        beginMonitoring(dials, record, job->target());
    emit startFinished(dials, !record.isEmpty());
}

bool MonitorThread::startForDials() { return start(true); }
bool MonitorThread::startForTrend() { return start(false); }

void MonitorThread::stopDials() { m_dialActive = false; }

void MonitorThread::stopTrend()
{
    m_trendActive = false;
    m_trendA = 0;
    m_trendB = 0;
}

void MonitorThread::run()
{
    for (;;) {
        if (!(m_dialActive || m_trendActive) || linkState().linkLost) {
            m_looping = false;
            // A start that came in between found the loop still on and left
            // it to go on; one that comes after this waits for the return.
            if ((m_dialActive || m_trendActive) && !linkState().linkLost &&
                !m_looping.exchange(true))
                continue;
            return;
        }
        runCycle();
        // With nothing to read a cycle costs no line time; it must not cost
        // a whole core either.
        if (!anyQuantityRequested())
            QThread::msleep(10);
    }
}

bool MonitorThread::anyQuantityRequested() const
{
    const bool dials = m_dialActive, trend = m_trendActive;
    return (dials && anyQuantityRequested(dialTarget(), DialRole)) ||
           (trend && anyQuantityRequested(trendTarget(), TrendRole));
}

bool MonitorThread::anyQuantityRequested(const DriveTarget &drive, int roles) const
{
    const MonitorData &data = monitorData();
    const int count = quantityTable(drive.series).size();
    for (int k = 0; k < count; ++k)
        if (((roles & DialRole) && data.dialFlag(k)) ||
            ((roles & TrendRole) && k < count - 1 && data.trendFlag(k)))
            return true;
    return false;
}

// Quantity k is read when a page of `roles` asked for it; the last quantity
// of a table (the status word) only for the dial page.
bool MonitorThread::readQuantity(const QList<QuantityFunctions> &table, int k, int roles)
{
    MonitorData &data = monitorData();
    const bool lastOfTable = k == table.size() - 1;
    const bool wanted = ((roles & DialRole) && data.dialFlag(k)) ||
                        ((roles & TrendRole) && !lastOfTable && data.trendFlag(k));
    if (!wanted)
        return true;
    const QuantityFunctions &f = table.at(k);
    ReadWrite *driver = currentDriver();
    if (!f.selector.isEmpty() && driver->runFunction(f.selector) != 0)
        return false;
    if (driver->runFunction(f.reading) != 0)
        return false;
    double value = driver->lastReading();
    // Big ZM-K drives report their current in 0.1 A over Modbus.
    if (k == 2 && seriesLetter() == 'G' && linkState().protocolCode != 0 &&
        IdentityRead::modelCapacity(modelString()) > 160)
        value *= 10;
    data.setValue(k, value);
    return true;
}

bool MonitorThread::readPass(int roles)
{
    // seriesLetter() answers for the drive bound by the caller.
    const QList<QuantityFunctions> &table = quantityTable(seriesLetter());
    for (int k = 0; k < table.size(); ++k)
        if (!readQuantity(table, k, roles))
            return false;
    // Each pointer is read after the call before it: a page may have
    // detached (or deleted) itself or the other page from inside its call.
    PageLocker lock(pageLock());
    if ((roles & DialRole) && m_dialPage && m_dialActive)
        m_dialPage->takeSample();
    if ((roles & TrendRole) && m_trendPage && m_trendActive)
        m_trendPage->sampleChannels();
    return true;
}

// Every exchange of a pass goes to the drive its page was started for, and
// the quantities are that drive's, whatever station is chosen meanwhile.
// Two pages on one drive share one pass; on two drives each page's pass
// reads its own drive and hands over its samples before the other's pass
// reuses the values.
bool MonitorThread::runCycle()
{
    const bool dials = m_dialActive, trend = m_trendActive;
    if (!dials && !trend)
        return readPass(BothRoles);  // nothing started: the current drive
    const DriveTarget dialDrive = dialTarget(), trendDrive = trendTarget();
    if (dials && trend && dialDrive != trendDrive) {
        bool complete;
        {
            DriveTargetScope drive(dialDrive);
            complete = readPass(DialRole);
        }
        if (linkState().linkLost)
            return false;
        DriveTargetScope drive(trendDrive);
        return readPass(TrendRole) && complete;
    }
    DriveTargetScope drive(dials ? dialDrive : trendDrive);
    return readPass(BothRoles);
}
