#pragma once

#include <QByteArray>
#include <QMutex>
#include <map>
#include <set>

// A drive that speaks the native character protocol, written for the tests
// from the protocol's rules and sharing no code with the driver: group
// selection (FF/7F), the 100 registers of the selected group (read code =
// number, write code = number + 80 hex, group 9 for 900 and up), the control
// registers behind the function codes of InvType/FNC.txt, sum checks and NAK
// answers. Thread-safe: a peer thread feeds it while the test looks on.
//
// NAK characters it sends: '2' bad sum check, '3' no group selected, '4' bad
// line end, 'A' write to a read-only register, 'B' unknown instruction code,
// 'C' register that does not exist.
class NativeDrive
{
public:
    NativeDrive(int station, int lineEnd) : m_station(station), m_lineEnd(lineEnd) {}

    void setRegister(int address, quint16 value, int decimals = 0)
    {
        QMutexLocker lock(&m_mutex);
        m_registers[address] = {value, decimals};
    }
    int registerValue(int address) const
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_registers.find(address);
        return it == m_registers.end() ? -1 : it->second.value;
    }
    void setReadOnly(int address)
    {
        QMutexLocker lock(&m_mutex);
        m_readOnly.insert(address);
    }
    int group() const
    {
        QMutexLocker lock(&m_mutex);
        return m_group;
    }
    void setGroup(int group)
    {
        QMutexLocker lock(&m_mutex);
        m_group = group;
    }
    int requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }

    // Takes bytes as they come off the line; returns the answers to every
    // request they complete.
    QByteArray feed(const QByteArray &bytes)
    {
        QMutexLocker lock(&m_mutex);
        m_pending += bytes;
        QByteArray answers;
        for (;;) {
            const int start = m_pending.indexOf(kEnq);
            if (start < 0) {
                m_pending.clear();
                break;
            }
            m_pending.remove(0, start);
            if (m_pending.size() < 6) break;
            const int code = hexValue(m_pending.mid(3, 2));
            if (code < 0) {
                m_pending.remove(0, 1);
                continue;
            }
            const int length = 6 + (code >= 0x80 ? 4 : 0) + 2 + lineEnd().size();
            if (m_pending.size() < length) break;
            answers += answerTo(m_pending.left(length), code);
            m_pending.remove(0, length);
        }
        return answers;
    }

private:
    static constexpr char kEnq = 0x05, kStx = 0x02, kEtx = 0x03, kAck = 0x06, kNak = 0x15;
    struct Register {
        quint16 value;
        int decimals;
    };

    static int hexValue(const QByteArray &text)
    {
        int value = 0;
        for (char c : text) {
            const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) return -1;
            value = value * 16 + d;
        }
        return text.isEmpty() ? -1 : value;
    }
    static QByteArray hex(int value, int digits)
    {
        return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
    }
    static QByteArray sum(const QByteArray &text)
    {
        int s = 0;
        for (char c : text) s += quint8(c);
        return hex(s & 0xFF, 2);
    }
    QByteArray lineEnd() const
    {
        return m_lineEnd == 1   ? QByteArray("\r")
               : m_lineEnd == 2 ? QByteArray("\r\n")
                                : QByteArray();
    }
    QByteArray station() const { return hex(m_station, 2); }
    QByteArray ack() const { return kAck + station() + lineEnd(); }
    QByteArray nak(char error) const { return kNak + station() + error + lineEnd(); }
    QByteArray data(int value, int decimals) const
    {
        const QByteArray text = station() + hex(value, 4) + char('0' + decimals);
        return kStx + text + kEtx + sum(text) + lineEnd();
    }

    // The control register a function code reaches, or -1.
    static int controlRegister(int readCode)
    {
        static const std::map<int, int> codes = {{0x7B, 0x1000}, {0x7A, 0x1001}, {0x79, 0x1002},
                                                 {0x78, 0x1003}, {0x77, 0x1004}, {0x75, 0x1005},
                                                 {0x7C, 0x1010}, {0x71, 0x1020}, {0x72, 0x1021}};
        if (readCode >= 0x64 && readCode <= 0x70) return 0x1100 + readCode - 0x64;
        auto it = codes.find(readCode);
        return it == codes.end() ? -1 : it->second;
    }

    QByteArray answerTo(const QByteArray &frame, int code)
    {
        ++m_requests;
        if (hexValue(frame.mid(1, 2)) != m_station) return QByteArray();
        const int body = frame.size() - 2 - lineEnd().size();
        if (frame.mid(body, 2) != sum(frame.mid(1, body - 1))) return nak('2');
        if (frame.mid(body + 2) != lineEnd()) return nak('4');
        const int value = code >= 0x80 ? hexValue(frame.mid(6, 4)) : 0;
        if (value < 0) return nak('4');
        if (code == 0xFF) {
            if (value > 15) return nak('C');
            m_group = value;
            return ack();
        }
        if (code == 0x7F) return m_group < 0 ? nak('3') : data(m_group, 0);
        int address = -1;
        if (code < 0x64 || (code >= 0x80 && code <= 0xE3)) {
            if (m_group < 0) return nak('3');
            address = m_group * 100 + (code & 0x7F);
        } else {
            address = controlRegister(code & 0x7F);
        }
        auto it = m_registers.find(address);
        if (address < 0) return nak('B');
        if (it == m_registers.end()) return nak('C');
        if (code < 0x80) return data(it->second.value, it->second.decimals);
        if (m_readOnly.count(address)) return nak('A');
        it->second.value = quint16(value);
        return ack();
    }

    mutable QMutex m_mutex;
    const int m_station;
    const int m_lineEnd;
    int m_group = -1;
    int m_requests = 0;
    QByteArray m_pending;
    std::map<int, Register> m_registers;
    std::set<int> m_readOnly;
};
