#pragma once

#include "base/userinteraction.h"

#include <QMutex>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

// A piece of link work that may take more than one exchange (a batch
// transfer, the identity read, the alarm history), run on the link worker so
// that the GUI thread never waits on the line for more than one exchange.
// Its progress and its end reach the thread that made it as queued signals;
// its messages and questions go to the process's user interaction. Cancel
// takes effect at the job's next check between exchanges.
//
// Make jobs with makeLinkJob: the last reference may be dropped on the
// worker, and the object must go on its own thread.
class LinkJob : public QObject
{
    Q_OBJECT
public:
    ~LinkJob() override;

    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }
    // True once run() has returned; what the job left for its maker may then
    // be read from any thread.
    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }

    // The progress dialog the job asked for with progressStarted.
    UserInteraction::ProgressSetup progressSetup() const;

    // Runs the job on the calling thread (the worker calls this).
    void execute();
    // Spins the calling thread's event loop until the job has finished or
    // `timeoutMs` has passed (-1: no limit); true when it finished. For the
    // command-line tool and tests, never for a window.
    bool waitForFinished(int timeoutMs = -1);

signals:
    void progressStarted();
    void progressRangeChanged(int minimum, int maximum);
    void progressValueChanged(int value);
    void progressEnded();
    // Emitted on the worker when run() has returned.
    void finished();

protected:
    LinkJob() = default;
    // The work, on the worker thread. Check isCancelled() between exchanges.
    virtual void run() = 0;

private:
    friend class JobInteraction;
    void setProgressSetup(const UserInteraction::ProgressSetup &setup);

    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    mutable QMutex m_setupMutex;
    UserInteraction::ProgressSetup m_setup;
};

// Deletes a job on its own thread (at once there, else through its event loop).
void deleteLinkJob(LinkJob *job);

template <typename Job, typename... Args>
std::shared_ptr<Job> makeLinkJob(Args &&...args)
{
    return std::shared_ptr<Job>(new Job(std::forward<Args>(args)...), &deleteLinkJob);
}

// A job made of a function (single reads and writes from a window, tests).
class FunctionJob : public LinkJob
{
    Q_OBJECT
public:
    explicit FunctionJob(std::function<void(LinkJob &)> work) : m_work(std::move(work)) {}

protected:
    void run() override { m_work(*this); }

private:
    std::function<void(LinkJob &)> m_work;
};
