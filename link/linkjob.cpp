#include "linkjob.h"

#include "linkstate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {
// What a running job's core code sees as its user interaction: progress goes
// to the job's signals, "cancelled" is the job's flag, and messages and
// questions go to the process's interaction (the GUI shows them in its own
// thread while the job waits, holding no link lock). A cancelled job asks
// nothing more: the answer is Cancel.
}  // namespace

class JobInteraction : public UserInteraction
{
public:
    explicit JobInteraction(LinkJob &job) : m_job(job), m_outer(processInteraction()) {}

    void warning(const QString &title, const QString &text) override
    {
        if (!m_job.isCancelled())
            m_outer->warning(title, text);
    }
    void critical(const QString &title, const QString &text) override
    {
        if (!m_job.isCancelled())
            m_outer->critical(title, text);
    }
    void information(const QString &title, const QString &text) override
    {
        if (!m_job.isCancelled())
            m_outer->information(title, text);
    }
    Answer question(const QString &title, const QString &text, bool withNo,
                    bool withCancel) override
    {
        if (m_job.isCancelled())
            return Answer::Cancel;
        return m_outer->question(title, text, withNo, withCancel);
    }
    int choose(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override
    {
        if (m_job.isCancelled())
            return -1;
        return m_outer->choose(icon, title, text, buttons, defaultButton);
    }

    void progressStart(const ProgressSetup &setup) override { m_job.recordStart(setup); }
    void progressSetRange(int minimum, int maximum) override
    {
        m_job.recordRange(minimum, maximum);
    }
    void progressSetValue(int value) override { m_job.recordValue(value); }
    bool progressCancelled() override { return m_job.isCancelled(); }
    void progressEnd() override { m_job.recordEnd(); }

private:
    LinkJob &m_job;
    UserInteraction *m_outer;
};

LinkJob::LinkJob() : m_target(currentDriveTarget()), m_watch(new QTimer(this))
{
    m_watch->setInterval(kWatchIntervalMs);
    connect(m_watch, &QTimer::timeout, this, &LinkJob::tell);
}

LinkJob::~LinkJob() = default;

UserInteraction::ProgressSetup LinkJob::progressSetup() const
{
    QMutexLocker lock(&m_mutex);
    return m_setup;
}

void LinkJob::recordStart(const UserInteraction::ProgressSetup &setup)
{
    QMutexLocker lock(&m_mutex);
    m_setup = setup;
    ++m_news.starts;
    m_news.minimum = setup.minimum;
    m_news.maximum = setup.maximum;
    m_news.value = setup.minimum;
}

void LinkJob::recordRange(int minimum, int maximum)
{
    QMutexLocker lock(&m_mutex);
    m_news.minimum = minimum;
    m_news.maximum = maximum;
}

void LinkJob::recordValue(int value)
{
    QMutexLocker lock(&m_mutex);
    m_news.value = value;
}

void LinkJob::recordEnd()
{
    QMutexLocker lock(&m_mutex);
    ++m_news.ends;
}

void LinkJob::watch()
{
    if (QThread::currentThread() == thread())
        m_watch->start();
    else
        QMetaObject::invokeMethod(m_watch, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

// A progress dialog opened and closed between two looks is still opened and
// closed; values in between are skipped, the last one is told.
void LinkJob::tell()
{
    if (m_told.finished)
        return;
    // A receiver may drop the last reference to the job: deleteLinkJob then
    // defers the deletion until this has returned.
    m_telling = true;
    News news;
    {
        QMutexLocker lock(&m_mutex);
        news = m_news;
    }
    const News told = m_told;
    m_told = news;
    if (news.starts > told.starts)
        emit progressStarted();
    if (news.minimum != told.minimum || news.maximum != told.maximum)
        emit progressRangeChanged(news.minimum, news.maximum);
    if (news.value != told.value || news.starts > told.starts)
        emit progressValueChanged(news.value);
    if (news.ends > told.ends)
        emit progressEnded();
    if (news.finished) {
        m_watch->stop();
        // What the job reported reaches its receivers before its end, when
        // this is the thread link errors are emitted on.
        LinkEvents::deliverPending();
        emit finished();
    }
    m_telling = false;
}

void LinkJob::execute()
{
    {
        JobInteraction interaction(*this);
        ThreadInteractionScope scope(&interaction);
        DriveTargetScope drive(m_target);
        run();
    }
    {
        QMutexLocker lock(&m_mutex);
        m_news.finished = true;
    }
    m_finished.store(true, std::memory_order_release);
}

bool LinkJob::waitForFinished(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        tell();
        if (m_told.finished)
            return true;
        if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs)
            return false;
        // Short slices: the job's questions and deferred deletions need this
        // thread's events.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void deleteLinkJob(LinkJob *job)
{
    if (!job)
        return;
    const bool here = QThread::currentThread() == job->thread();
    if (!QCoreApplication::instance() || (here && !job->isTelling()))
        delete job;
    else
        job->deleteLater();
}
