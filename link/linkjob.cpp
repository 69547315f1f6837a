#include "linkjob.h"

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

    void progressStart(const ProgressSetup &setup) override
    {
        m_job.setProgressSetup(setup);
        emit m_job.progressStarted();
    }
    void progressSetRange(int minimum, int maximum) override
    {
        emit m_job.progressRangeChanged(minimum, maximum);
    }
    void progressSetValue(int value) override { emit m_job.progressValueChanged(value); }
    bool progressCancelled() override { return m_job.isCancelled(); }
    void progressEnd() override { emit m_job.progressEnded(); }

private:
    LinkJob &m_job;
    UserInteraction *m_outer;
};

LinkJob::~LinkJob() = default;

UserInteraction::ProgressSetup LinkJob::progressSetup() const
{
    QMutexLocker lock(&m_setupMutex);
    return m_setup;
}

void LinkJob::setProgressSetup(const UserInteraction::ProgressSetup &setup)
{
    QMutexLocker lock(&m_setupMutex);
    m_setup = setup;
}

void LinkJob::execute()
{
    {
        JobInteraction interaction(*this);
        ThreadInteractionScope scope(&interaction);
        run();
    }
    m_finished.store(true, std::memory_order_release);
    emit finished();
}

bool LinkJob::waitForFinished(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!isFinished()) {
        if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs)
            return false;
        // Short slices: the job's questions and deferred deletions need this
        // thread's events, and its end needs no signal to be seen.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    QCoreApplication::sendPostedEvents();
    return true;
}

void deleteLinkJob(LinkJob *job)
{
    if (!job)
        return;
    if (QThread::currentThread() == job->thread() || !QCoreApplication::instance())
        delete job;
    else
        job->deleteLater();
}
