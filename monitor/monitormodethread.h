#pragma once

#include "base/stopsignal.h"

#include <QThread>

#include <atomic>

// Polls the current drive's operation mode ("MOD") and status word ("STA")
// once a second for the navigation panel's lamps. A failed poll ends the
// thread until the next mode switch starts it again. Every wait (the second
// between polls, the pause after a parameter function) ends at once when the
// thread is asked to stop, so that closing the window never waits on it.
class MonitorModeThread : public QThread
{
    Q_OBJECT
public:
    explicit MonitorModeThread(QObject *parent = nullptr);
    ~MonitorModeThread() override;

    // Clears the flags (mode 0, status 0, no result yet) and starts polling;
    // nothing when it already runs.
    void startPolling();
    // Ends the polling after the exchange in progress; returns at once.
    void requestStop();
    bool stopRequested() const { return m_stop.requested(); }

    // One poll: after a parameter function the drive is given time first
    // (7 s for series ZR, 2 s for the others); then MOD and STA.
    void pollMode();

    // What the last polls left, for the GUI thread.
    int mode() const { return m_mode.load(); }  // 0 CU, 1 EXT, 2 JOG
    int statusWord() const { return m_status.load(); }
    bool modeValid() const { return m_valid.load(); }
    void clearModeValid() { m_valid = false; }
    bool pollFailed() const { return m_failed.load(); }

    // The pause before the first poll after a parameter function.
    static int resetPauseMs(char seriesLetter) { return seriesLetter == 'S' ? 7000 : 2000; }
    // The time between polls.
    static constexpr int kPollIntervalMs = 1000;

protected:
    void run() override;

private:
    void fail();

    std::atomic<int> m_mode{0};
    std::atomic<int> m_status{0};
    std::atomic<bool> m_valid{false};
    std::atomic<bool> m_failed{false};
    StopSignal m_stop;
};
