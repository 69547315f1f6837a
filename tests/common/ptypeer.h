#pragma once

#include "link/checksums.h"

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <atomic>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

// A minimal Modbus RTU slave on the master side of a pseudo-terminal, written
// straight from the Modbus rules, so the program's own frames meet a peer
// that shares none of its code. Registers not in the map are refused with
// exception 02.
class PtyRtuPeer
{
public:
    explicit PtyRtuPeer(int station) : m_station(station)
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
        m_thread = std::thread([this] { serve(); });
    }
    ~PtyRtuPeer()
    {
        m_stop = true;
        m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }

    QString slavePath() const { return m_slave; }
    void setRegister(int address, quint16 value)
    {
        QMutexLocker lock(&m_mutex);
        m_registers[address] = value;
    }
    int registerValue(int address)
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_registers.find(address);
        return it == m_registers.end() ? -1 : it->second;
    }
    int framesServed() const { return m_served.load(); }

private:
    void serve()
    {
        QByteArray pending;
        while (!m_stop) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 20) <= 0 || !(pfd.revents & POLLIN)) {
                if (pfd.revents & (POLLHUP | POLLERR))
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                continue;
            pending.append(buf, int(n));
            while (pending.size() >= 8) {
                const QByteArray frame = pending.left(8);
                pending.remove(0, 8);
                const QByteArray answer = answerTo(frame);
                if (!answer.isEmpty())
                    ::write(m_master, answer.constData(), size_t(answer.size()));
                ++m_served;
            }
        }
    }

    QByteArray answerTo(const QByteArray &frame)
    {
        const quint16 crc = modbusCrc(frame.left(6));
        if (quint8(frame.at(6)) != (crc & 0xFF) || quint8(frame.at(7)) != (crc >> 8))
            return QByteArray();
        if (quint8(frame.at(0)) != m_station)
            return QByteArray();
        const int function = quint8(frame.at(1));
        const int address = quint8(frame.at(2)) << 8 | quint8(frame.at(3));
        const quint16 data = quint16(quint8(frame.at(4)) << 8 | quint8(frame.at(5)));
        QMutexLocker lock(&m_mutex);
        if (function == 6) {
            if (!m_registers.count(address))
                return exception(function, 2);
            m_registers[address] = data;
            return frame;
        }
        if (function != 3)
            return exception(function, 1);
        QByteArray body;
        body.append(char(m_station)).append(char(3)).append(char(2 * data));
        for (int i = 0; i < data; ++i) {
            auto it = m_registers.find(address + i);
            if (it == m_registers.end())
                return exception(function, 2);
            body.append(char(it->second >> 8)).append(char(it->second & 0xFF));
        }
        return withCrc(body);
    }

    QByteArray exception(int function, int code)
    {
        QByteArray body;
        body.append(char(m_station)).append(char(function | 0x80)).append(char(code));
        return withCrc(body);
    }

    static QByteArray withCrc(QByteArray body)
    {
        const quint16 crc = modbusCrc(body);
        return body.append(char(crc & 0xFF)).append(char(crc >> 8));
    }

    int m_station;
    int m_master = -1;
    QString m_slave;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_served{0};
    QMutex m_mutex;
    std::map<int, quint16> m_registers;
    std::thread m_thread;
};
