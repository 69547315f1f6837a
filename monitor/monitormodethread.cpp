#include "monitormodethread.h"
#include "link/driverregistry.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"
#include "parameters/parameterstate.h"

MonitorModeThread::MonitorModeThread(QObject *parent) : QThread(parent) {}

MonitorModeThread::~MonitorModeThread()
{
    requestStop();
    wait();
}

void MonitorModeThread::startPolling()
{
    if (isRunning() && !m_stop.requested())
        return;
    wait();  // a pass that is ending
    m_stop.clear();
    m_failed = false;
    m_valid = false;
    m_mode = 0;
    m_status = 0;
    start();
}

void MonitorModeThread::requestStop() { m_stop.request(); }

void MonitorModeThread::run()
{
    while (!m_stop.requested() && !linkState().linkLost) {
        if (!m_stop.pause(kPollIntervalMs))
            break;
        pollMode();
    }
}

void MonitorModeThread::fail()
{
    m_failed = true;
    m_stop.request();
}

void MonitorModeThread::pollMode()
{
    if (parameterResetPending()) {
        // The drive restarts its parameters after P.996 to P.999.
        if (!m_stop.pause(resetPauseMs(seriesLetter())))
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
