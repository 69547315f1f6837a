#include "ramthread.h"

#include "link/linkstate.h"
#include "link/readwrite.h"

#include <QDeadlineTimer>

RamThread::RamThread(RamChannels &channels, QObject *parent)
    : QThread(parent), m_channels(channels), m_driver([] { return currentDriver(); })
{
}

RamThread::~RamThread() { stopAndWait(); }

void RamThread::setChannel(int i, int address, int count)
{
    if (i < 0 || i >= RamChannels::kCount)
        return;
    m_address[i] = address;
    m_count[i] = count;
}

int RamThread::address(int i) const
{
    return i >= 0 && i < RamChannels::kCount ? m_address[i].load() : 0;
}

int RamThread::count(int i) const
{
    return i >= 0 && i < RamChannels::kCount ? m_count[i].load() : 0;
}

void RamThread::setDriverSource(std::function<ReadWrite *()> source)
{
    m_driver = std::move(source);
}

void RamThread::startReading()
{
    if (isRunning() && !m_stop)
        return;
    wait();  // a run that is ending
    m_target = currentDriveTarget();
    m_stop = false;
    start();
}

void RamThread::requestStop()
{
    QMutexLocker lock(&m_pauseMutex);
    m_stop = true;
    m_wake.wakeAll();
}

void RamThread::stopAndWait()
{
    requestStop();
    wait();
}

bool RamThread::pause(int ms)
{
    QDeadlineTimer deadline(ms);
    QMutexLocker lock(&m_pauseMutex);
    while (!m_stop && !deadline.hasExpired())
        m_wake.wait(&m_pauseMutex, deadline);
    return !m_stop;
}

DriveTarget RamThread::target() const { return m_target; }

void RamThread::run()
{
    DriveTargetScope drive(m_target);
    // Every run reports its first failure.
    m_failing[0] = m_failing[1] = false;
    linkState().silentReads = false;
    while (!m_stop) {
        if (!pass(true) && !pause(kRetryPauseMs))
            break;
    }
    linkState().silentReads = false;
}

quint32 RamThread::readChannel(ReadWrite *driver, int i)
{
    // The native protocol has no packed read (its driver answers -1 without
    // an exchange): nothing to take as a value.
    if (!driver || driver->protocol() == 0)
        return RamChannels::kFailed;
    linkState().silentReads = m_failing[i];
    const quint32 value = quint32(driver->readPacked(m_address[i], m_count[i]));
    m_failing[i] = value == RamChannels::kFailed;
    return value;
}

bool RamThread::runPass() { return pass(false); }

bool RamThread::pass(bool stoppable)
{
    ReadWrite *driver = m_driver ? m_driver() : nullptr;
    // The channels this pass reads; the sample charts these and no other,
    // so a channel switched on in between is not charted with a value it
    // never read.
    QByteArray flags(RamChannels::kCount, '\0');
    for (int i = 0; i < RamChannels::kCount; ++i)
        flags[i] = m_channels.read[i] ? 1 : 0;
    for (int i = 0; i < RamChannels::kCount; ++i) {
        if (!flags.at(i))
            continue;
        if (stoppable && m_stop)
            return false;
        const quint32 value = readChannel(driver, i);
        m_channels.value[i] = value;
        if (value == RamChannels::kFailed)
            return false;
    }
    if (stoppable && m_stop)
        return false;
    // Nothing read, nothing to chart; the pause keeps an idle loop cheap.
    if (flags.count('\0') == flags.size())
        return false;
    if (m_sink)
        m_sink->sampleRam(flags);
    return true;
}
