#include "userinteraction.h"

#include <QTextStream>

#include <atomic>
#include <cstdio>

namespace {
StderrInteraction g_stderrInteraction;
std::atomic<UserInteraction *> g_interaction{nullptr};
thread_local UserInteraction *t_interaction = nullptr;
}  // namespace

void StderrInteraction::print(const QString &title, const QString &text)
{
    if (m_stream) {
        *m_stream << title << ": " << text << '\n';
        m_stream->flush();
        return;
    }
    QTextStream err(stderr);
    err << title << ": " << text << '\n';
}

void StderrInteraction::warning(const QString &title, const QString &text)
{
    print(title, text);
}

void StderrInteraction::critical(const QString &title, const QString &text)
{
    print(title, text);
}

void StderrInteraction::information(const QString &title, const QString &text)
{
    print(title, text);
}

UserInteraction::Answer StderrInteraction::question(const QString &title, const QString &text,
                                                    bool, bool)
{
    print(title, text);
    return Answer::Yes;
}

int StderrInteraction::choose(Icon, const QString &title, const QString &text,
                              const QStringList &buttons, int defaultButton)
{
    print(title, text);
    return defaultButton >= 0 && defaultButton < buttons.size() ? defaultButton : -1;
}

void StderrInteraction::progressStart(const ProgressSetup &setup)
{
    m_progressTitle = setup.title;
    m_minimum = setup.minimum;
    m_maximum = setup.maximum;
    m_lastTenth = -1;
    printProgress(setup.minimum);
}

void StderrInteraction::progressSetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void StderrInteraction::progressSetValue(int value) { printProgress(value); }

void StderrInteraction::progressEnd() { m_progressTitle.clear(); }

// One line per tenth of the range, so that a long batch shows it is alive
// without flooding a log.
void StderrInteraction::printProgress(int value)
{
    if (!m_showProgress)
        return;
    const int span = m_maximum - m_minimum;
    const int tenth = span > 0 ? qBound(0, (value - m_minimum) * 10 / span, 10) : 10;
    if (tenth == m_lastTenth)
        return;
    m_lastTenth = tenth;
    print(m_progressTitle, QStringLiteral("%1/%2").arg(value).arg(m_maximum));
}

UserInteraction *processInteraction()
{
    UserInteraction *ui = g_interaction.load();
    return ui ? ui : &g_stderrInteraction;
}

UserInteraction *userInteraction() { return t_interaction ? t_interaction : processInteraction(); }

void setUserInteraction(UserInteraction *ui) { g_interaction.store(ui); }

ThreadInteractionScope::ThreadInteractionScope(UserInteraction *ui) : m_previous(t_interaction)
{
    t_interaction = ui;
}

ThreadInteractionScope::~ThreadInteractionScope() { t_interaction = m_previous; }

ProgressScope::ProgressScope(const UserInteraction::ProgressSetup &setup)
    : m_ui(userInteraction()), m_value(setup.minimum)
{
    m_ui->progressStart(setup);
}

ProgressScope::~ProgressScope() { m_ui->progressEnd(); }

void ProgressScope::setValue(int value)
{
    m_value = value;
    m_ui->progressSetValue(value);
}

void ProgressScope::setRange(int minimum, int maximum) { m_ui->progressSetRange(minimum, maximum); }

bool ProgressScope::cancelled() const { return m_ui->progressCancelled(); }

void LockedInteraction::warning(const QString &title, const QString &text)
{
    QMutexLocker lock(&m_lock);
    m_inner.warning(title, text);
}

void LockedInteraction::critical(const QString &title, const QString &text)
{
    QMutexLocker lock(&m_lock);
    m_inner.critical(title, text);
}

void LockedInteraction::information(const QString &title, const QString &text)
{
    QMutexLocker lock(&m_lock);
    m_inner.information(title, text);
}

UserInteraction::Answer LockedInteraction::question(const QString &title, const QString &text,
                                                    bool withNo, bool withCancel)
{
    QMutexLocker lock(&m_lock);
    return m_inner.question(title, text, withNo, withCancel);
}

int LockedInteraction::choose(Icon icon, const QString &title, const QString &text,
                              const QStringList &buttons, int defaultButton)
{
    QMutexLocker lock(&m_lock);
    return m_inner.choose(icon, title, text, buttons, defaultButton);
}

void LockedInteraction::progressStart(const ProgressSetup &setup)
{
    QMutexLocker lock(&m_lock);
    m_inner.progressStart(setup);
}

void LockedInteraction::progressSetRange(int minimum, int maximum)
{
    QMutexLocker lock(&m_lock);
    m_inner.progressSetRange(minimum, maximum);
}

void LockedInteraction::progressSetValue(int value)
{
    QMutexLocker lock(&m_lock);
    m_inner.progressSetValue(value);
}

bool LockedInteraction::progressCancelled()
{
    QMutexLocker lock(&m_lock);
    return m_inner.progressCancelled();
}

void LockedInteraction::progressEnd()
{
    QMutexLocker lock(&m_lock);
    m_inner.progressEnd();
}
