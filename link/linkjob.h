#pragma once

#include "base/drivetarget.h"
#include "base/userinteraction.h"

#include <QMutex>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

// A piece of link work that may take more than one exchange (a batch
// transfer, the identity read, the alarm history), run on the link worker so
// that the GUI thread never waits on the line for more than one exchange.
// Its messages and questions go to the process's user interaction. Cancel
// takes effect at the job's next check between exchanges.
//
// Progress and the end reach the thread that made the job as signals emitted
// there: the worker only records them (under a lock), and a timer of the
// job's own thread picks them up, in order, every few milliseconds. So no
// event crosses threads and a slow window never holds the worker up.
//
// A job works on the drive that was current where and when it was made (see
// DriveTarget): all its exchanges go to that station, whatever station is
// chosen while it runs.
//
// Make jobs with makeLinkJob: the last reference may be dropped on the
// worker, and the object must go on its own thread.
class LinkJob : public QObject
{
    Q_OBJECT
public:
    ~LinkJob() override;

    // The drive the job works on; set another before it is posted, if any.
    const DriveTarget &target() const { return m_target; }
    void setTarget(const DriveTarget &target) { m_target = target; }

    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }
    // True once run() has returned; what the job left for its maker may then
    // be read from any thread.
    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }

    // The progress dialog the job asked for with progressStarted.
    UserInteraction::ProgressSetup progressSetup() const;

    // Runs the job on the calling thread (the worker calls this).
    void execute();
    // On the job's thread: spins its event loop until the job has finished
    // and finished() has been emitted, or `timeoutMs` has passed (-1: no
    // limit); true when it finished. For the command-line tool and tests,
    // never for a window.
    bool waitForFinished(int timeoutMs = -1);
    // Whether the job is in the middle of telling its news (deleteLinkJob).
    bool isTelling() const { return m_telling; }

    // How often the job's thread looks for news.
    static constexpr int kWatchIntervalMs = 10;

signals:
    void progressStarted();
    void progressRangeChanged(int minimum, int maximum);
    void progressValueChanged(int value);
    void progressEnded();
    // Emitted on the job's thread once run() has returned, after the
    // progress before it and, on LinkEvents' thread, after the link errors
    // the job reported.
    void finished();

protected:
    LinkJob();
    // The work, on the worker thread. Check isCancelled() between exchanges.
    virtual void run() = 0;

private:
    friend class JobInteraction;
    friend class LinkWorker;

    // What the worker has recorded and the job's thread not yet told.
    struct News {
        int starts = 0;
        int ends = 0;
        int minimum = 0;
        int maximum = 0;
        int value = 0;
        bool finished = false;
    };
    void recordStart(const UserInteraction::ProgressSetup &setup);
    void recordRange(int minimum, int maximum);
    void recordValue(int value);
    void recordEnd();
    // Starts the job's timer (on the job's thread).
    void watch();
    // On the job's thread: emits what happened since the last look.
    void tell();

    DriveTarget m_target;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    mutable QMutex m_mutex;
    UserInteraction::ProgressSetup m_setup;
    News m_news;
    News m_told;
    QTimer *m_watch;
    bool m_telling = false;
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
