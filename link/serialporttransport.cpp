#include "serialporttransport.h"

#include "serialportworker.h"

#include <QThread>

SerialPortTransport::SerialPortTransport(const QString &name)
{
    m_worker = new SerialPortWorker(name);
    m_thread = QThread::create([this] { ioLoop(); });
    m_thread->setObjectName(QStringLiteral("serial I/O"));
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

SerialPortTransport::~SerialPortTransport()
{
    // The port must be destroyed on the thread that owns it; the worker,
    // holding nothing else, goes once that thread has ended.
    runOnIoThread([this] { m_worker->releasePort(); });
    {
        std::lock_guard<std::mutex> lock(m_ioMutex);
        m_stop = true;
    }
    m_ioWake.notify_all();
    m_thread->wait();
    delete m_thread;
    delete m_worker;
}

void SerialPortTransport::ioLoop()
{
    std::unique_lock<std::mutex> lock(m_ioMutex);
    for (;;) {
        m_ioWake.wait(lock, [this] { return m_work != nullptr || m_stop; });
        if (!m_work)
            return;
        const std::function<void()> *work = m_work;
        lock.unlock();
        (*work)();
        lock.lock();
        m_work = nullptr;
        m_workDone = true;
        m_ioWake.notify_all();
    }
}

void SerialPortTransport::runOnIoThread(const std::function<void()> &work) const
{
    if (QThread::currentThread() == m_thread) {
        work();
        return;
    }
    std::lock_guard<std::mutex> call(m_callMutex);
    std::unique_lock<std::mutex> lock(m_ioMutex);
    m_work = &work;
    m_workDone = false;
    m_ioWake.notify_all();
    m_ioWake.wait(lock, [this] { return m_workDone; });
}

bool SerialPortTransport::open()
{
    bool ok = false;
    runOnIoThread([&] { ok = m_worker->openPort(); });
    return ok;
}

void SerialPortTransport::close()
{
    runOnIoThread([&] { m_worker->closePort(); });
}

bool SerialPortTransport::isOpen() const
{
    bool open = false;
    runOnIoThread([&] { open = m_worker->isOpen(); });
    return open;
}

QString SerialPortTransport::portName() const
{
    QString name;
    runOnIoThread([&] { name = m_worker->portName(); });
    return name;
}

QString SerialPortTransport::errorString() const
{
    QString text;
    runOnIoThread([&] { text = m_worker->errorString(); });
    return text;
}

bool SerialPortTransport::applySettings(const LineSettings &settings)
{
    bool ok = false;
    runOnIoThread([&] { ok = m_worker->applySettings(settings); });
    return ok;
}

LineSettings SerialPortTransport::settings() const
{
    LineSettings s;
    runOnIoThread([&] { s = m_worker->settings(); });
    return s;
}

int SerialPortTransport::transact(const QByteArray &frame, int wanted, char *buf, int bufSize,
                                  const AnswerTest &shortWhole)
{
    int n = -1;
    runOnIoThread([&] {
        if (!m_worker->isOpen())
            return;
        AnswerReadStats stats;
        n = transactOn(*m_worker, frame, wanted, buf, bufSize, &stats, shortWhole);
        m_lastStats = stats;
        if (stats.timedOut)
            m_worker->setUnsettled(true);
    });
    return n;
}

AnswerReadStats SerialPortTransport::lastReadStats() const
{
    AnswerReadStats stats;
    runOnIoThread([&] { stats = m_lastStats; });
    return stats;
}

void SerialPortTransport::settle()
{
    runOnIoThread([&] {
        if (m_worker->unsettled() && m_worker->isOpen())
            settleLine(*m_worker);
        m_worker->setUnsettled(false);
    });
}

QString SerialPortTransport::systemPortName(const QString &portText)
{
#ifdef Q_OS_WIN
    if (portText.size() > 4)
        return QStringLiteral("\\\\.\\") + portText;
#endif
    return portText;
}
