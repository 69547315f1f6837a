#pragma once

#include <QMutex>
#include <QWaitCondition>

#include <atomic>

// The stop request of a polling thread. Another thread gives it; the polling
// thread's pauses end at once when it comes, so that closing a window or
// stopping a page never waits out a poll interval.
class StopSignal
{
public:
    explicit StopSignal(bool stopped = true) : m_stop(stopped) {}

    // Asks for the stop and wakes a pause in progress.
    void request();
    // Takes the request back before a new run.
    void clear() { m_stop = false; }
    bool requested() const { return m_stop.load(); }
    // Waits `ms` unless the stop comes first; false then.
    bool pause(int ms);

private:
    std::atomic<bool> m_stop;
    QMutex m_mutex;
    QWaitCondition m_wake;
};
