#include "slaveprotocol.h"

#include "simregisters.h"
#include "simulateddrive.h"

#include "link/checksums.h"
#include "link/linkstate.h"

using namespace SimRegisters;

namespace {
constexpr char ENQ = 0x05, STX = 0x02, ETX = 0x03, ACK = 0x06, NAK = 0x15;
constexpr int kRtuFrame = 8;
constexpr int kMaxAsciiFrame = 520;

QByteArray withCrc(QByteArray body)
{
    const quint16 crc = modbusCrc(body);
    return body.append(char(crc & 0xFF)).append(char(crc >> 8));
}

QByteArray exceptionPdu(quint8 station, quint8 function, int code)
{
    QByteArray pdu;
    return pdu.append(char(station)).append(char(function | 0x80)).append(char(code));
}

// The NAK character a native drive sends for a refused request.
char nakFor(int result)
{
    switch (result) {
    case SimulatedDrive::IllegalFunction:
    case SimulatedDrive::IllegalAddress:
        return 'B';
    default:
        return 'C';
    }
}
}  // namespace

SlaveProtocol::SlaveProtocol(int kind, int lineEnd) : m_kind(kind), m_lineEnd(lineEnd) {}

QByteArray SlaveProtocol::lineEndBytes() const
{
    return m_lineEnd == 1 ? QByteArray("\r") : m_lineEnd == 2 ? QByteArray("\r\n") : QByteArray();
}

QList<QByteArray> SlaveProtocol::feed(const QByteArray &bytes)
{
    m_pending.append(bytes);
    switch (m_kind) {
    case Rtu: return feedRtu();
    case Ascii: return feedAscii();
    default: return feedNative();
    }
}

// Requests of functions 03 and 06 are eight bytes; where the CRC does not
// fit, the stream is out of step and one byte is dropped to find it again.
QList<QByteArray> SlaveProtocol::feedRtu()
{
    QList<QByteArray> frames;
    while (m_pending.size() >= kRtuFrame) {
        const QByteArray candidate = m_pending.left(kRtuFrame);
        if (withCrc(candidate.left(6)) == candidate) {
            frames.append(candidate);
            m_pending.remove(0, kRtuFrame);
        } else {
            m_pending.remove(0, 1);
        }
    }
    return frames;
}

QList<QByteArray> SlaveProtocol::feedAscii()
{
    QList<QByteArray> frames;
    for (;;) {
        const int start = m_pending.indexOf(':');
        if (start < 0) {
            m_pending.clear();
            break;
        }
        m_pending.remove(0, start);
        const int end = m_pending.indexOf("\r\n");
        if (end < 0) {
            if (m_pending.size() > kMaxAsciiFrame)
                m_pending.clear();
            break;
        }
        frames.append(m_pending.left(end + 2));
        m_pending.remove(0, end + 2);
    }
    return frames;
}

// A native request is ENQ, station, code, wait, sum (8 characters) or with
// four data characters for writes (12), then the line end.
QList<QByteArray> SlaveProtocol::feedNative()
{
    QList<QByteArray> frames;
    const int tail = lineEndBytes().size();
    for (;;) {
        const int start = m_pending.indexOf(ENQ);
        if (start < 0) {
            m_pending.clear();
            break;
        }
        m_pending.remove(0, start);
        if (m_pending.size() < 5)
            break;
        const int code = hexPairValue(m_pending.at(3), m_pending.at(4));
        const int length = (code >= 0x80 ? 12 : 8) + tail;
        if (m_pending.size() < length)
            break;
        frames.append(m_pending.left(length));
        m_pending.remove(0, length);
    }
    return frames;
}

QByteArray SlaveProtocol::answer(const QByteArray &frame, SimulatedDrive &drive) const
{
    switch (m_kind) {
    case Rtu: return answerRtu(frame, drive);
    case Ascii: return answerAscii(frame, drive);
    default: return answerNative(frame, drive);
    }
}

// Station, function and data of a Modbus request; the answer the same way.
QByteArray SlaveProtocol::answerModbus(const QByteArray &pdu, SimulatedDrive &drive) const
{
    if (pdu.size() < 2)
        return QByteArray();
    const quint8 station = quint8(pdu.at(0));
    if (station == 0) {
        // A broadcast: every drive takes a write, none answers anything.
        if (quint8(pdu.at(1)) == 0x06 && pdu.size() == 6)
            drive.write(quint8(pdu.at(2)) << 8 | quint8(pdu.at(3)),
                        quint16(quint8(pdu.at(4)) << 8 | quint8(pdu.at(5))));
        return QByteArray();
    }
    if (station != drive.station())
        return QByteArray();
    const quint8 function = quint8(pdu.at(1));
    if ((function != 0x03 && function != 0x06) || pdu.size() != 6)
        return exceptionPdu(station, function, SimulatedDrive::IllegalFunction);
    const int address = quint8(pdu.at(2)) << 8 | quint8(pdu.at(3));
    const int data = quint8(pdu.at(4)) << 8 | quint8(pdu.at(5));
    if (function == 0x06) {
        const int result = drive.write(address, quint16(data));
        return result ? exceptionPdu(station, function, result) : pdu;
    }
    QVector<quint16> values;
    if (const int result = drive.read(address, data, &values))
        return exceptionPdu(station, function, result);
    QByteArray answer;
    answer.append(char(station)).append(char(0x03)).append(char(2 * values.size()));
    for (quint16 v : values)
        answer.append(char(v >> 8)).append(char(v & 0xFF));
    return answer;
}

QByteArray SlaveProtocol::answerRtu(const QByteArray &frame, SimulatedDrive &drive) const
{
    if (frame.size() < 4 || withCrc(frame.left(frame.size() - 2)) != frame)
        return QByteArray();
    const QByteArray pdu = answerModbus(frame.left(frame.size() - 2), drive);
    return pdu.isEmpty() ? pdu : withCrc(pdu);
}

QByteArray SlaveProtocol::answerAscii(const QByteArray &frame, SimulatedDrive &drive) const
{
    if (frame.size() < 9 || frame.at(0) != ':' || !frame.endsWith("\r\n"))
        return QByteArray();
    const QByteArray hex = frame.mid(1, frame.size() - 3);
    bool ok = false;
    if (modbusLrc(hex, &ok) != 0 || !ok)  // the LRC makes the sum of all bytes zero
        return QByteArray();
    const QByteArray bytes = QByteArray::fromHex(hex);
    const QByteArray pdu = answerModbus(bytes.left(bytes.size() - 1), drive);
    if (pdu.isEmpty())
        return pdu;
    const QByteArray text = pdu.toHex().toUpper();
    return ':' + text + hexByte(modbusLrc(text)) + "\r\n";
}

QByteArray SlaveProtocol::answerNative(const QByteArray &raw, SimulatedDrive &drive) const
{
    QByteArray frame = raw;
    while (frame.endsWith('\r') || frame.endsWith('\n'))
        frame.chop(1);
    if (frame.size() < 8 || frame.at(0) != ENQ)
        return QByteArray();
    const QByteArray station = frame.mid(1, 2);
    if (hexPairValue(station.at(0), station.at(1)) != drive.station())
        return QByteArray();
    const QByteArray nak = NAK + station;
    const QByteArray body = frame.mid(1, frame.size() - 3);
    const int sum = hexPairValue(frame.at(frame.size() - 2), frame.at(frame.size() - 1));
    if (sum != nativeSum(body))
        return nak + '2' + lineEndBytes();
    if (body.size() != 5 && body.size() != 9)
        return nak + '4' + lineEndBytes();
    const int code = hexPairValue(body.at(2), body.at(3));
    if (code < 0 || body.at(4) < '0' || body.at(4) > '9')
        return nak + '3' + lineEndBytes();
    if (body.size() == 5) {
        if (code >= 0x80)
            return nak + '4' + lineEndBytes();
        return nativeRead(code, drive, station);
    }
    const int data = hexWordValue(body.mid(5, 4));
    if (code < 0x80)
        return nak + '4' + lineEndBytes();
    if (data < 0)
        return nak + '3' + lineEndBytes();
    return nativeWrite(code, data, drive, station);
}

QByteArray SlaveProtocol::nativeRead(int code, SimulatedDrive &drive,
                                     const QByteArray &station) const
{
    int address = -1;
    quint16 value = 0;
    int digits = 0;
    if (code == kNativeGroupConfirm) {
        value = quint16(drive.nativeGroup());
    } else {
        if (code < 0x64)
            address = drive.nativeGroup() * 100 + code;
        for (const NativeCode &c : kNativeReads)
            if (c.code == code)
                address = c.address;
        if (address < 0)
            return NAK + station + 'B' + lineEndBytes();
        QVector<quint16> values;
        if (const int result = drive.read(address, 1, &values))
            return NAK + station + nakFor(result) + lineEndBytes();
        value = values.at(0);
        digits = value == 0xFFFF ? 0 : drive.decimalDigits(address);
    }
    const QByteArray checked = station + QByteArray::number(value, 16).toUpper().rightJustified(
                                             4, '0') + QByteArray::number(digits);
    return STX + checked + ETX + hexByte(nativeSum(checked)) + lineEndBytes();
}

QByteArray SlaveProtocol::nativeWrite(int code, int data, SimulatedDrive &drive,
                                      const QByteArray &station) const
{
    if (code == kNativeGroupSelect) {
        if (data > 15)
            return NAK + station + 'C' + lineEndBytes();
        drive.setNativeGroup(data);
        return ACK + station + lineEndBytes();
    }
    int address = -1;
    const int number = code - 0x80;
    const int group = drive.nativeGroup();
    if (number < 100 && group < 9)
        address = group * 100 + number;
    else if (group == 9 && number < 0x64)
        address = 900 + number;
    for (const NativeCode &c : kNativeWrites)
        if (c.code == code)
            address = c.address;
    if (address < 0)
        return NAK + station + 'B' + lineEndBytes();
    if (const int result = drive.write(address, quint16(data)))
        return NAK + station + nakFor(result) + lineEndBytes();
    return ACK + station + lineEndBytes();
}

QByteArray SlaveProtocol::corruptChecksum(const QByteArray &answer) const
{
    QByteArray damaged = answer;
    const int tail = m_kind == Rtu ? 0 : m_kind == Ascii ? 2 : lineEndBytes().size();
    const int at = damaged.size() - tail - 1;
    if (at >= 0)
        damaged[at] = char(damaged.at(at) ^ (m_kind == Rtu ? 0x5A : 0x01));
    return damaged;
}
