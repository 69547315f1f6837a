#include "linkworker.h"

#include "linkjob.h"

#include <QCoreApplication>
#include <QThread>

LinkWorker::LinkWorker(QObject *parent) : QObject(parent)
{
    m_thread = QThread::create([this] { loop(); });
    m_thread->setObjectName(QStringLiteral("link worker"));
    m_thread->start();
}

LinkWorker::~LinkWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    cancelAll();
    m_wake.notify_all();
    while (!m_thread->wait(5))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    delete m_thread;
    // Jobs never started go here, on the thread that made them.
    m_queue.clear();
}

void LinkWorker::post(std::shared_ptr<LinkJob> job)
{
    if (!job)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop) {
            job->cancel();
            return;
        }
        job->watch();
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_all();
}

int LinkWorker::unfinishedJobs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_queue.size()) + (m_running ? 1 : 0);
}

void LinkWorker::cancelAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::shared_ptr<LinkJob> &job : m_queue)
        job->cancel();
    if (m_running)
        m_running->cancel();
}

void LinkWorker::loop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        m_running = std::move(m_queue.front());
        m_queue.pop_front();
        std::shared_ptr<LinkJob> job = m_running;
        lock.unlock();
        job->execute();
        job.reset();
        lock.lock();
        m_running.reset();
    }
}
