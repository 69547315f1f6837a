#include "readwritertu.h"

#include "checksums.h"
#include "linkstate.h"

namespace {
constexpr int kReadAnswer = 7;
constexpr int kWriteAnswer = 8;
constexpr int kMaxPacked = 4;
}  // namespace

ReadWriteRTU::ReadWriteRTU(QObject *parent) : ReadWrite(parent) {}

QByteArray ReadWriteRTU::request(quint8 station, quint8 function, int address, int data)
{
    QByteArray body;
    body.append(char(station));
    body.append(char(function));
    body.append(char((address >> 8) & 0xFF));
    body.append(char(address & 0xFF));
    body.append(char((data >> 8) & 0xFF));
    body.append(char(data & 0xFF));
    return body;
}

QByteArray ReadWriteRTU::completeFrame(const QByteArray &body) const
{
    const quint16 crc = modbusCrc(body);
    QByteArray frame = body;
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return frame;
}

// Besides the function byte, the answer must come from our station and carry
// a good CRC: a corrupted answer on a noisy line must never be taken as a value.
int ReadWriteRTU::frameStation(const QByteArray &frame) const
{
    return frame.isEmpty() ? -1 : quint8(frame.at(0));
}

bool ReadWriteRTU::answerPasses(const QByteArray &answer, int station) const
{
    if (answer.size() < 4)
        return false;
    const quint8 function = quint8(answer.at(1));
    if (function != 0x03 && function != 0x06 && function != 0x10)
        return false;
    if (quint8(answer.at(0)) != station)
        return false;
    const quint16 crc = modbusCrc(answer.left(answer.size() - 2));
    return word(answer, answer.size() - 2) == quint16((crc & 0xFF) << 8 | crc >> 8);
}

// An exception answer to this request's function: five bytes, our station,
// a good CRC.
bool ReadWriteRTU::isRefusal(const QByteArray &frame, const QByteArray &answer) const
{
    return frame.size() >= 2 && isRejection(answer, quint8(frame.at(1)), frameStation(frame));
}

quint16 ReadWriteRTU::word(const QByteArray &answer, int index)
{
    return quint16(quint8(answer.at(index)) << 8 | quint8(answer.at(index + 1)));
}

bool ReadWriteRTU::isRejection(const QByteArray &answer, quint8 function, int station)
{
    if (answer.size() != 5 || quint8(answer.at(1)) != (function | 0x80))
        return false;
    if (quint8(answer.at(0)) != station)
        return false;
    const quint16 crc = modbusCrc(answer.left(3));
    return quint8(answer.at(3)) == (crc & 0xFF) && quint8(answer.at(4)) == (crc >> 8);
}

int ReadWriteRTU::errorCode(const QByteArray &answer, int station)
{
    if (answer.size() == 5 && (quint8(answer.at(1)) & 0x80) &&
        isRejection(answer, quint8(answer.at(1)) & 0x7F, station)) {
        switch (answer.at(2)) {
        case 1: return 10;
        case 2: return 12;
        default: return 14;
        }
    }
    return 14;
}

double ReadWriteRTU::readRegister(int address, double scale)
{
    if (address < 0 || address >= kAddressLimit)
        return -1;
    const Exchange ex = exchange(
        request(quint8(exchangeStation()), 0x03, address, 1), kReadAnswer, FrameForm::Bytes);
    if (!ex.complete() || ex.answer.at(1) != 0x03 || ex.answer.at(2) != 2) {
        reportReadError(errorCode(ex.answer, ex.station), ex.linkLost);
        return -1;
    }
    return valueFromRaw(word(ex.answer, 3), scale, address, true);
}

bool ReadWriteRTU::probe()
{
    const Exchange ex = exchange(request(quint8(exchangeStation()), 0x03, 188, 1), kReadAnswer,
                                 FrameForm::Bytes, Attempts::Probe);
    return (ex.complete() && ex.answer.at(1) == 0x03) || isRejection(ex.answer, 0x03, ex.station);
}

bool ReadWriteRTU::writeRegister(int address, int value)
{
    LinkState &link = linkState();
    if (address < 0 || address > 0xFFFF) {
        reportError(12, false);
        return false;
    }
    const QByteArray body = request(quint8(exchangeStation()), 0x06, address, value & 0xFFFF);
    const Exchange ex = exchange(body, kWriteAnswer, FrameForm::Bytes);
    if (ex.broadcast)
        return !ex.answerBad;  // sent; no drive answers a broadcast
    if (isRejection(ex.answer, 0x06, ex.station) && acceptsRejection(address)) {
        link.commError = false;
        return true;
    }
    // The drive echoes a write it took; anything else is not a success.
    if (ex.complete() && ex.answer.left(6) == body)
        return true;
    reportError(errorCode(ex.answer, ex.station), ex.linkLost);
    link.commError = false;
    return false;
}

std::optional<quint32> ReadWriteRTU::readPacked(int address, int count)
{
    if (count < 1 || count > kMaxPacked || address < 0 || address + count > 0x10000)
        return std::nullopt;
    const Exchange ex = exchange(request(quint8(exchangeStation()), 0x03, address, count),
                                 2 * count + 5, FrameForm::Bytes);
    if (!ex.complete() || ex.answer.at(1) != 0x03 || ex.answer.at(2) != 2 * count) {
        // Packed reads (the RAM monitor) report their failures unless the
        // calling thread has made its reads silent: a poller that keeps
        // retrying a failing location says so once, not on every pass. Batch
        // transfers' quiet mode does not apply to them.
        if (!linkState().silentReads)
            reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return std::nullopt;
    }
    quint32 packed = 0;
    for (int i = 0; i < count; ++i)
        packed = packed << 8 | quint8(ex.answer.at(4 + 2 * i));
    return packed;
}

int ReadWriteRTU::runFunctionLocked(const QByteArray &code)
{
    const QByteArray name = code.left(3);
    if (name == "FRE" && code.size() >= 5)
        patchFunction(name, 7, code.mid(3, 2));
    const QByteArray record = findFunction(name);
    if (record.size() < 9) {
        if (!isMonitorReading(name) && !isSelectorWrite(name))
            reportError(14, linkState().linkLost);
        return -1;
    }
    const bool reading = isMonitorReading(name);
    const bool shortAnswer = reading || name == "MOD" || isWordFunction(name);
    QByteArray body;
    body.append(char(quint8(exchangeStation())));
    body.append(record.mid(4, 5));
    const Exchange ex =
        exchange(body, shortAnswer ? kReadAnswer : kWriteAnswer, FrameForm::Bytes);
    if (ex.broadcast)
        return broadcastResult(ex, shortAnswer);

    if (reading) {
        if (!ex.complete() || ex.answer.at(1) != 0x03)
            return -1;
        setLastReading(word(ex.answer, 3) * modbusReadingScale(name.at(1)));
        return 0;
    }
    const bool echoed = shortAnswer || ex.answer.left(6) == body;
    if (isSelectorWrite(name))
        return ex.complete() && echoed ? 0 : -1;
    if (!ex.complete() || !echoed) {
        reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return -1;
    }
    if (name == "MOD") {
        const int mode = decodeMode(quint8(ex.answer.at(4)));
        if (mode < 0)
            reportError(14, ex.linkLost);
        return mode;
    }
    if (isWordFunction(name))
        return word(ex.answer, 3);
    return 0;
}
