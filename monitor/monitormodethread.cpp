#include "monitormodethread.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parameterstate.h"

#include <QDeadlineTimer>

MonitorModeThread::MonitorModeThread(QObject *parent) : QThread(parent) {}

MonitorModeThread::~MonitorModeThread()
{
    requestStop();
    wait();
}

void MonitorModeThread::startPolling()
{
    if (isRunning() && !m_stop)
        return;
    wait();  // a pass that is ending
    m_stop = false;
    m_failed = false;
    m_valid = false;
    m_mode = 0;
    m_status = 0;
    start();
}

void MonitorModeThread::requestStop()
{
    QMutexLocker lock(&m_pauseMutex);
    m_stop = true;
    m_wake.wakeAll();
}

bool MonitorModeThread::pause(int ms)
{
    QDeadlineTimer deadline(ms);
    QMutexLocker lock(&m_pauseMutex);
    while (!m_stop && !deadline.hasExpired())
        m_wake.wait(&m_pauseMutex, deadline);
    return !m_stop;
}

void MonitorModeThread::run()
{
    while (!m_stop && !linkState().linkLost) {
        if (!pause(kPollIntervalMs))
            break;
        pollMode();
    }
}

void MonitorModeThread::fail()
{
    m_failed = true;
    m_stop = true;
}

void MonitorModeThread::pollMode()
{
    if (parameterResetPending()) {
        // The drive restarts its parameters after P.996 to P.999.
        if (!pause(resetPauseMs(seriesLetter())))
            return;
        setParameterResetPending(false);
    }
    if (modelString().isEmpty())
        return;
    ReadWrite *driver = currentDriver();
    const int mode = driver->runFunction("MOD");
    if (mode == -1) {
        fail();
        return;
    }
    if (mode >= '0' && mode <= '2')
        m_mode = mode - '0';
    m_failed = false;
    const int status = driver->runFunction("STA");
    if (status == -1) {
        fail();
        return;
    }
    m_status = status;
    m_valid = true;
    m_failed = false;
}
