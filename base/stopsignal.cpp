#include "stopsignal.h"

#include <QDeadlineTimer>

void StopSignal::request()
{
    // Under the lock, so that a pause between its check and its wait still
    // sees the wake-up.
    QMutexLocker lock(&m_mutex);
    m_stop = true;
    m_wake.wakeAll();
}

bool StopSignal::pause(int ms)
{
    QDeadlineTimer deadline(ms);
    QMutexLocker lock(&m_mutex);
    while (!m_stop && !deadline.hasExpired())
        m_wake.wait(&m_mutex, deadline);
    return !m_stop;
}
