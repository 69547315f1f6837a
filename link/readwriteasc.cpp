#include "readwriteasc.h"

#include "checksums.h"
#include "linkstate.h"

namespace
{
constexpr int kReadAnswer = 15;
constexpr int kWriteAnswer = 17;
constexpr int kExceptionAnswer = 11;
constexpr int kMaxPacked = 4;
// ':' + station (2) + function (2) + LRC (2) + CR LF.
constexpr int kShortestFrame = 9;
const QByteArray kLineEnd("\r\n");
}  // namespace

ReadWriteASC::ReadWriteASC(QObject *parent) : ReadWrite(parent) {}

QByteArray ReadWriteASC::request(const QByteArray &station, quint8 function, int address, int data)
{
    return ':' + station + hexByte(function) + hexWord(quint16(address)) + hexWord(quint16(data));
}

// The LRC covers the bytes the text after ':' encodes, station included.
QByteArray ReadWriteASC::completeFrame(const QByteArray &body) const
{
    return body + hexByte(modbusLrc(body.mid(1))) + kLineEnd;
}

bool ReadWriteASC::wellFormed(const QByteArray &answer, int station)
{
    if (answer.size() < kShortestFrame || answer.at(0) != ':' || !answer.endsWith(kLineEnd))
        return false;
    const QByteArray text = answer.mid(1, answer.size() - 5);
    bool hex = false;
    const quint8 lrc = modbusLrc(text, &hex);
    if (!hex || hexPairValue(answer.at(answer.size() - 4), answer.at(answer.size() - 3)) != lrc)
        return false;
    return station >= 0 && hexPairValue(answer.at(1), answer.at(2)) == station;
}

int ReadWriteASC::frameStation(const QByteArray &frame) const
{
    return frame.size() >= 3 && frame.at(0) == ':' ? hexPairValue(frame.at(1), frame.at(2)) : -1;
}

// Besides the function field, the answer must be a sound frame from our
// station: a corrupted answer must never be taken as a value.
bool ReadWriteASC::answerPasses(const QByteArray &answer, int station) const
{
    return wellFormed(answer, station) && (answer.at(3) == '0' || answer.at(3) == '1');
}

// An exception answer to this request's function: a sound frame from our
// station of exactly ':', station, function | 80, code, LRC and CR LF.
bool ReadWriteASC::isRefusal(const QByteArray &frame, const QByteArray &answer) const
{
    const int function = frame.size() >= 5 ? field(frame, 4, 2) : -1;
    return function >= 0 && answer.size() == kExceptionAnswer &&
           wellFormed(answer, frameStation(frame)) &&
           field(answer, 4, 2) == (function | 0x80);
}

int ReadWriteASC::field(const QByteArray &answer, int position, int digits)
{
    return hexWordValue(answer.mid(position - 1, digits));
}

bool ReadWriteASC::isReadAnswer(const Exchange &ex, int count)
{
    return ex.complete() && field(ex.answer, 4, 2) == 0x03 && field(ex.answer, 6, 2) == 2 * count;
}

bool ReadWriteASC::isException(const QByteArray &answer, int station)
{
    return answer.size() == kExceptionAnswer && wellFormed(answer, station) && answer.at(3) == '8';
}

int ReadWriteASC::errorCode(const QByteArray &answer, int station)
{
    if (!isException(answer, station)) return 14;
    switch (answer.at(6)) {
        case '1':
            return 10;
        case '2':
            return 12;
        default:
            return 14;
    }
}

bool ReadWriteASC::probe()
{
    const Exchange ex = exchange(request(exchangeStationText(), 0x03, 188, 1), kReadAnswer,
                                 FrameForm::Text, Attempts::Probe);
    return isReadAnswer(ex, 1) || (isException(ex.answer, ex.station) && field(ex.answer, 4, 2) == 0x83);
}

double ReadWriteASC::readRegister(int address, double scale)
{
    if (address < 0 || address >= kAddressLimit) return -1;
    const Exchange ex = exchange(request(exchangeStationText(), 0x03, address, 1), kReadAnswer,
                                 FrameForm::Text);
    if (!isReadAnswer(ex, 1)) {
        reportReadError(errorCode(ex.answer, ex.station), ex.linkLost);
        return -1;
    }
    return valueFromRaw(quint16(field(ex.answer, 8, 4)), scale, address, true);
}

bool ReadWriteASC::writeRegister(int address, int value)
{
    LinkState &link = linkState();
    if (address < 0 || address > 0xFFFF) {
        reportError(12, false);
        return false;
    }
    const QByteArray body = request(exchangeStationText(), 0x06, address, value & 0xFFFF);
    const Exchange ex = exchange(body, kWriteAnswer, FrameForm::Text);
    if (ex.broadcast)
        return !ex.answerBad;  // sent; no drive answers a broadcast
    if (isException(ex.answer, ex.station) && field(ex.answer, 4, 2) == 0x86 && acceptsRejection(address)) {
        link.commError = false;
        return true;
    }
    // The drive echoes a write it took; anything else is not a success.
    if (ex.complete() && ex.answer == completeFrame(body)) return true;
    reportError(errorCode(ex.answer, ex.station), ex.linkLost);
    link.commError = false;
    return false;
}

std::optional<quint32> ReadWriteASC::readPacked(int address, int count)
{
    if (count < 1 || count > kMaxPacked || address < 0 || address + count > 0x10000) return std::nullopt;
    // The count field carries a single digit: "0001" to "0004".
    const QByteArray body = ':' + exchangeStationText() + "03" + hexWord(quint16(address)) +
                            "000" + char('0' + count);
    const Exchange ex = exchange(body, 4 * count + 11, FrameForm::Text);
    if (!isReadAnswer(ex, count)) {
        // Packed reads (the RAM monitor) report their failures unless the
        // calling thread has made its reads silent: a poller that keeps
        // retrying a failing location says so once, not on every pass. Batch
        // transfers' quiet mode does not apply to them.
        if (!linkState().silentReads)
            reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return std::nullopt;
    }
    quint32 packed = 0;
    for (int i = 0; i < count; ++i) packed = packed << 8 | quint32(field(ex.answer, 10 + 4 * i, 2));
    return packed;
}

int ReadWriteASC::runFunctionLocked(const QByteArray &code)
{
    const QByteArray name = code.left(3);
    if (name == "FRE" && code.size() >= 5)
        patchFunction(name, 10, hexWord(quint16(quint8(code.at(3)) << 8 | quint8(code.at(4)))));
    const QByteArray record = findFunction(name);
    bool hexBody = false;
    modbusLrc(record.mid(4), &hexBody);
    const bool reading = isMonitorReading(name);
    const bool silent = reading || isSelectorWrite(name);
    if (record.size() < 6 || !hexBody) {
        // A record whose body is no hex text would go out with a made-up LRC.
        if (!silent) reportError(14, linkState().linkLost);
        return -1;
    }
    const bool shortAnswer = reading || name == "MOD" || isWordFunction(name);
    const QByteArray body = ':' + exchangeStationText() + record.mid(4);
    const Exchange ex = exchange(body, shortAnswer ? kReadAnswer : kWriteAnswer, FrameForm::Text);
    if (ex.broadcast) return broadcastResult(ex, shortAnswer);

    const bool good =
        shortAnswer ? isReadAnswer(ex, 1) : ex.complete() && ex.answer == completeFrame(body);
    if (reading) {
        if (!good) return -1;
        setLastReading(field(ex.answer, 8, 4) * modbusReadingScale(name.at(1)));
        return 0;
    }
    if (isSelectorWrite(name)) return good ? 0 : -1;
    if (!good) {
        reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return -1;
    }
    if (name == "MOD") {
        const int mode = decodeMode(field(ex.answer, 11, 1));
        if (mode < 0) reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return mode;
    }
    if (isWordFunction(name)) return field(ex.answer, 8, 4);
    return 0;
}
