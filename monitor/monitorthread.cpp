#include "monitorthread.h"

#include "identityread.h"
#include "monitordata.h"
#include "monitorpages.h"
#include "quantitytable.h"

#include "base/sharedstate.h"
#include "link/linkstate.h"
#include "link/readwrite.h"

MonitorThread::MonitorThread(ParameterAccess *parameters, QObject *parent)
    : QThread(parent), m_parameters(parameters)
{
    m_timer.setInterval(1000);
}

MonitorThread::~MonitorThread()
{
    m_dialActive = false;
    m_trendActive = false;
    wait();
}

bool MonitorThread::start(std::atomic<bool> &flag)
{
    if (!m_parameters)
        return false;
    IdentityRead identity(*m_parameters);
    const QStringList record = identity.run();
    if (record.isEmpty())
        return false;
    if (DialPageSink *dial = m_dialPage.load())
        dial->showDriveInfo(record);
    if (TrendPageSink *trend = m_trendPage.load())
        trend->showDriveInfo(record);
    flag = true;
    m_timer.start();
    if (!isRunning())
        QThread::start();
    return true;
}

bool MonitorThread::startForDials() { return start(m_dialActive); }
bool MonitorThread::startForTrend() { return start(m_trendActive); }

void MonitorThread::stopDials()
{
    m_dialActive = false;
    if (!m_trendActive)
        m_timer.stop();
}

void MonitorThread::stopTrend()
{
    m_trendActive = false;
    if (!m_dialActive)
        m_timer.stop();
    m_trendA = 0;
    m_trendB = 0;
}

void MonitorThread::run()
{
    while ((m_dialActive || m_trendActive) && !linkState().linkLost)
        runCycle();
}

// Quantity k is read when a page asked for it; the last quantity of a table
// (the status word) only for the dial page.
bool MonitorThread::readQuantity(const QList<QuantityFunctions> &table, int k)
{
    MonitorData &data = monitorData();
    const bool lastOfTable = k == table.size() - 1;
    const bool wanted = data.dialFlag(k) || (!lastOfTable && data.trendFlag(k));
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

bool MonitorThread::runCycle()
{
    const QList<QuantityFunctions> &table = quantityTable(seriesLetter());
    for (int k = 0; k < table.size(); ++k)
        if (!readQuantity(table, k))
            return false;
    DialPageSink *dial = m_dialPage.load();
    if (dial && m_dialActive)
        dial->takeSample();
    TrendPageSink *trend = m_trendPage.load();
    if (trend && m_trendActive)
        trend->sampleChannels();
    return true;
}
