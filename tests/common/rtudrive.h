#pragma once

#include "link/checksums.h"
#include "link/faketransport.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>

// A Modbus RTU drive for the scripted port: it holds a register map, answers
// reads (function 03, one register or several) and writes (function 06) at its
// station, refuses addresses it does not hold with exception 2, and records
// every write. Writes to 0x1000..0x10FF are its command registers (the
// parameter functions of the function table): they are logged and echoed.
class RtuDrive
{
public:
    explicit RtuDrive(quint8 station = 1) : m_station(station) {}

    void setRegister(int address, quint16 value) { m_registers.insert(address, value); }
    bool hasRegister(int address) const { return m_registers.contains(address); }
    quint16 registerValue(int address) const { return m_registers.value(address); }
    void removeRegister(int address) { m_registers.remove(address); }

    // Writes to `address` are refused with this exception code.
    void refuseWrites(int address, quint8 exception = 3) { m_refused.insert(address, exception); }
    // Writes to `address` are echoed with a wrong value (and not stored).
    void corruptEcho(int address) { m_corrupt.insert(address); }
    // Requests for `address` get no answer at all.
    void silence(int address) { m_silent.insert(address); }
    // The whole drive goes quiet (a pulled cable).
    void setDead(bool dead) { m_dead = dead; }

    QList<QPair<int, quint16>> writes() const { return m_writes; }
    QList<quint16> commands() const { return m_commands; }
    int requests() const { return m_requests; }
    void clearLog()
    {
        m_writes.clear();
        m_commands.clear();
        m_requests = 0;
    }

    FakeTransport::Responder responder()
    {
        return [this](const QByteArray &request) { return answer(request); };
    }

    QList<FakeTransport::Reply> answer(const QByteArray &request)
    {
        ++m_requests;
        if (m_dead || request.size() != 8 || quint8(request.at(0)) != m_station ||
            !crcMatches(request))
            return {};
        const int address = word(request, 2);
        const quint16 data = word(request, 4);
        if (m_silent.contains(address))
            return {};
        switch (request.at(1)) {
        case 0x03: return read(address, data);
        case 0x06: return write(request, address, data);
        default: return exception(request.at(1), 1);
        }
    }

private:
    static quint16 word(const QByteArray &bytes, int at)
    {
        return quint16(quint8(bytes.at(at)) << 8 | quint8(bytes.at(at + 1)));
    }
    static bool crcMatches(const QByteArray &frame)
    {
        const quint16 crc = modbusCrc(frame.left(frame.size() - 2));
        return quint8(frame.at(frame.size() - 2)) == (crc & 0xFF) &&
               quint8(frame.at(frame.size() - 1)) == (crc >> 8);
    }
    QList<FakeTransport::Reply> reply(const QByteArray &body) const
    {
        const quint16 crc = modbusCrc(body);
        QByteArray frame = body;
        frame.append(char(crc & 0xFF));
        frame.append(char(crc >> 8));
        return {FakeTransport::Reply{frame, 2, 0.5}};
    }
    QList<FakeTransport::Reply> exception(char function, quint8 code) const
    {
        QByteArray body;
        body.append(char(m_station));
        body.append(char(quint8(function) | 0x80));
        body.append(char(code));
        return reply(body);
    }
    QList<FakeTransport::Reply> read(int address, int count)
    {
        QByteArray body;
        body.append(char(m_station));
        body.append(char(0x03));
        body.append(char(2 * count));
        for (int i = 0; i < count; ++i) {
            if (!m_registers.contains(address + i))
                return exception(0x03, 2);
            const quint16 v = m_registers.value(address + i);
            body.append(char(v >> 8));
            body.append(char(v & 0xFF));
        }
        return reply(body);
    }
    QList<FakeTransport::Reply> write(const QByteArray &request, int address, quint16 data)
    {
        if (address >= 0x1000 && address <= 0x10FF) {
            m_commands.append(data);
            return reply(request.left(6));
        }
        if (m_refused.contains(address))
            return exception(0x06, m_refused.value(address));
        if (!m_registers.contains(address))
            return exception(0x06, 2);
        if (m_corrupt.contains(address)) {
            QByteArray echo = request.left(6);
            echo[5] = char(echo.at(5) ^ 0x01);
            return reply(echo);
        }
        m_registers.insert(address, data);
        m_writes.append(qMakePair(address, data));
        return reply(request.left(6));
    }

    quint8 m_station;
    QHash<int, quint16> m_registers;
    QHash<int, quint8> m_refused;
    QSet<int> m_corrupt;
    QSet<int> m_silent;
    bool m_dead = false;
    QList<QPair<int, quint16>> m_writes;
    QList<quint16> m_commands;
    int m_requests = 0;
};
