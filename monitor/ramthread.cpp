#include "ramthread.h"
#include "link/driverregistry.h"

#include "link/linkstate.h"
#include "link/readwrite.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {
// How often the GUI thread looks whether retired readers have ended.
constexpr int kSweepMs = 50;

// Readers whose owners have let go of them while they were still inside an
// exchange. Their end is noticed on the GUI thread's own clock, not through
// a queued finished(): no event crosses from a reader, and a reader is
// deleted only after wait() has seen it end.
class RetiredReaders
{
public:
    ~RetiredReaders() { deleteAll(); }

    void add(RamThread *reader)
    {
        QMutexLocker lock(&m_mutex);
        m_readers.push_back(reader);
        if (!m_atExit) {
            // Before the application object goes.
            qAddPostRoutine(&RamThread::deleteRetired);
            m_atExit = true;
        }
        scheduleSweep();
    }

    int count()
    {
        QMutexLocker lock(&m_mutex);
        return int(m_readers.size());
    }

    // Deletes the readers that have ended; looks again later while any
    // is left.
    void sweep()
    {
        std::vector<RamThread *> ended;
        {
            QMutexLocker lock(&m_mutex);
            m_sweepScheduled = false;
            // The ones still running first, the ended ones from `firstEnded` on.
            const auto firstEnded = std::partition(m_readers.begin(), m_readers.end(),
                                                   [](RamThread *r) { return !r->isFinished(); });
            ended.assign(firstEnded, m_readers.end());
            m_readers.erase(firstEnded, m_readers.end());
            if (!m_readers.empty())
                scheduleSweep();
        }
        for (RamThread *reader : ended)
            delete reader;  // waits for the end of its finish at most
    }

    void deleteAll()
    {
        std::vector<RamThread *> readers;
        {
            QMutexLocker lock(&m_mutex);
            readers.swap(m_readers);
            m_atExit = false;
            m_sweepScheduled = false;
        }
        for (RamThread *reader : readers)
            delete reader;  // waits for its exchange
    }

private:
    // Under the mutex.
    void scheduleSweep()
    {
        QCoreApplication *app = QCoreApplication::instance();
        if (m_sweepScheduled || !app)
            return;
        m_sweepScheduled = true;
        QTimer::singleShot(kSweepMs, app, [this] { sweep(); });
    }

    QMutex m_mutex;
    std::vector<RamThread *> m_readers;
    bool m_atExit = false;
    bool m_sweepScheduled = false;
};

RetiredReaders &retiredReaders()
{
    static RetiredReaders readers;
    return readers;
}
}  // namespace

RamThread::RamThread(std::shared_ptr<RamChannels> channels, QObject *parent)
    : QThread(parent), m_channels(std::move(channels)),
      m_driver([] { return currentDriver(); })
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

void RamThread::setSink(RamSampleSink *sink)
{
    QMutexLocker lock(&m_sinkMutex);
    if (!m_detached)
        m_sink = sink;
}

void RamThread::setDriverSource(std::function<ReadWrite *()> source)
{
    m_driver = std::move(source);
}

bool RamThread::startReading(const DriveTarget &target)
{
    if (m_detached)
        return false;
    if (isRunning())
        return !m_stop.requested() && m_target == target;
    m_target = target;
    m_stop.clear();
    start();
    return true;
}

void RamThread::requestStop() { m_stop.request(); }

void RamThread::stopAndDetach()
{
    requestStop();
    QMutexLocker lock(&m_sinkMutex);
    m_detached = true;
    m_sink = nullptr;
}

void RamThread::stopAndWait()
{
    requestStop();
    wait();
}

void RamThread::retire(RamThread *reader)
{
    if (!reader)
        return;
    reader->stopAndDetach();
    if (!reader->isRunning()) {
        delete reader;  // at most the end of its finish, never an exchange
        return;
    }
    retiredReaders().add(reader);
}

int RamThread::retiredCount() { return retiredReaders().count(); }

void RamThread::deleteRetired() { retiredReaders().deleteAll(); }

DriveTarget RamThread::target() const { return m_target; }

void RamThread::run()
{
    DriveTargetScope drive(m_target);
    // Every run reports its first failure.
    m_failing[0] = m_failing[1] = false;
    linkState().silentReads = false;
    while (!m_stop.requested()) {
        if (!pass(true) && !m_stop.pause(kRetryPauseMs))
            break;
    }
    linkState().silentReads = false;
}

std::optional<quint32> RamThread::readChannel(ReadWrite *driver, int i)
{
    // The native protocol has no packed read (its driver answers without
    // an exchange): nothing to take as a value.
    if (!driver || driver->protocol() == 0)
        return std::nullopt;
    linkState().silentReads = m_failing[i];
    const std::optional<quint32> value = driver->readPacked(m_address[i], m_count[i]);
    m_failing[i] = !value;
    return value;
}

bool RamThread::publish(int i, std::optional<quint32> value)
{
    QMutexLocker lock(&m_sinkMutex);
    if (m_detached)
        return false;
    if (value)
        m_channels->value[i] = *value;
    m_channels->ok[i] = value.has_value();
    return true;
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
        flags[i] = m_channels->read[i] ? 1 : 0;
    for (int i = 0; i < RamChannels::kCount; ++i) {
        if (!flags.at(i))
            continue;
        if (stoppable && m_stop.requested())
            return false;
        const std::optional<quint32> value = readChannel(driver, i);
        // Detached while the exchange ran: the value is nobody's any more.
        if (!publish(i, value) || !value)
            return false;
    }
    if (stoppable && m_stop.requested())
        return false;
    // Nothing read, nothing to chart; the pause keeps an idle loop cheap.
    if (flags.count('\0') == flags.size())
        return false;
    QMutexLocker lock(&m_sinkMutex);
    if (m_detached)
        return false;
    if (m_sink)
        m_sink->sampleRam(flags);
    return true;
}
