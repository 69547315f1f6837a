#pragma once

#include <QObject>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class LinkJob;
class QThread;

// The thread that runs long link work, one job at a time in the order posted.
// Owned by the thread that shows the results (the GUI thread, or the
// command-line tool's main thread).
class LinkWorker : public QObject
{
    Q_OBJECT
public:
    explicit LinkWorker(QObject *parent = nullptr);
    // Cancels every job not yet finished and waits for the running one to
    // reach its next check (at most one exchange), handling this thread's
    // events meanwhile so that a question the job asks cannot hang it.
    ~LinkWorker() override;

    void post(std::shared_ptr<LinkJob> job);
    // Jobs posted and not yet finished (the running one included).
    int unfinishedJobs() const;
    // Cancels every job not yet finished.
    void cancelAll();

private:
    void loop();

    QThread *m_thread = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<LinkJob>> m_queue;
    std::shared_ptr<LinkJob> m_running;
    bool m_stop = false;
};
