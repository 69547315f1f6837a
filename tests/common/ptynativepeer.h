#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

#include "common/nativedrive.h"

// A native-protocol drive on the master side of a pseudo-terminal: the
// program opens the slave side as its serial port.
class PtyNativePeer
{
public:
    PtyNativePeer(int station, int lineEnd) : m_drive(station, lineEnd)
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
        m_thread = std::thread([this] { serve(); });
    }
    ~PtyNativePeer()
    {
        m_stop = true;
        m_thread.join();
        if (m_master >= 0) ::close(m_master);
    }

    QString slavePath() const { return m_slave; }
    NativeDrive &drive() { return m_drive; }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 20) <= 0 || !(pfd.revents & POLLIN)) {
                if (pfd.revents & (POLLHUP | POLLERR))
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) continue;
            const QByteArray answer = m_drive.feed(QByteArray(buf, int(n)));
            if (!answer.isEmpty() &&
                ::write(m_master, answer.constData(), size_t(answer.size())) < 0)
                continue;
        }
    }

    NativeDrive m_drive;
    int m_master = -1;
    QString m_slave;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
