#include "readwritekr.h"

#include <cmath>

#include "checksums.h"
#include "linkstate.h"

namespace
{
// STX, station (2), value (4), decimal digit, ETX, sum check (2).
constexpr int kDataAnswer = 11;
// ACK, station (2).
constexpr int kAck = 3;
constexpr int kGroupSize = 100;
// Writes reach groups 0 to 9; from 900 on every address is group 9.
constexpr int kWriteGroupLimit = 9;
constexpr int kWriteAddressLimit = 1000;
constexpr quint8 kWriteOffset = 0x80;
constexpr quint8 kSelectGroup = 0xFF;
constexpr quint8 kConfirmGroup = 0x7F;
constexpr quint8 kStatusCode = 0x7A;

// Selecting a group and using it are two exchanges; another thread selecting
// its own group in between would make this one read or write a register of
// the wrong group. The group lives in the link state, so the lock is
// process-wide, shared by every native driver object.
QMutex &groupMutex()
{
    static QMutex mutex;
    return mutex;
}
}  // namespace

ReadWriteKR::ReadWriteKR(QObject *parent) : ReadWrite(parent) {}

QByteArray ReadWriteKR::request(const QByteArray &station, quint8 instruction)
{
    return ENQ + station + hexByte(instruction) + '0';
}

QByteArray ReadWriteKR::request(const QByteArray &station, quint8 instruction, quint16 data)
{
    return request(station, instruction) + hexWord(data);
}

QByteArray ReadWriteKR::terminator()
{
    switch (linkState().lineEnd.load()) {
        case 1:
            return QByteArray("\r");
        case 2:
            return QByteArray("\r\n");
        default:
            return QByteArray();
    }
}

int ReadWriteKR::dataAnswerLength()
{
    return kDataAnswer + terminator().size();
}
int ReadWriteKR::ackLength()
{
    return kAck + terminator().size();
}

// The sum check covers every byte after ENQ.
QByteArray ReadWriteKR::completeFrame(const QByteArray &body) const
{
    return body + hexByte(nativeSum(body.mid(1))) + terminator();
}

bool ReadWriteKR::fromStation(const QByteArray &answer, int station)
{
    return answer.size() >= 3 && station >= 0 && hexPairValue(answer.at(1), answer.at(2)) == station;
}

int ReadWriteKR::frameStation(const QByteArray &frame) const
{
    return frame.size() >= 3 && frame.at(0) == ENQ ? hexPairValue(frame.at(1), frame.at(2)) : -1;
}

bool ReadWriteKR::isSoundData(const QByteArray &answer, int station)
{
    if (answer.size() < kDataAnswer || answer.at(0) != STX || answer.at(8) != ETX) return false;
    const char decimals = answer.at(7);
    return fromStation(answer, station) && hexWordValue(answer.mid(3, 4)) >= 0 && decimals >= '0' &&
           decimals <= '9' &&
           hexPairValue(answer.at(9), answer.at(10)) == nativeSum(answer.mid(1, 7));
}

// Besides the start character, a data answer must carry a good sum check and
// every answer our station: a corrupted answer is never taken as a value.
bool ReadWriteKR::answerPasses(const QByteArray &answer, int station) const
{
    if (answer.isEmpty()) return false;
    if (answer.at(0) == ACK) return fromStation(answer, station);
    return isSoundData(answer, station);
}

// NAK, our station, the error character and the line end of the settings.
bool ReadWriteKR::isRefusal(const QByteArray &frame, const QByteArray &answer) const
{
    return isRejection(answer, frameStation(frame));
}

bool ReadWriteKR::isDataAnswer(const Exchange &ex)
{
    return ex.complete() && ex.answer.at(0) == STX && ex.answer.mid(kDataAnswer) == terminator();
}

bool ReadWriteKR::isAck(const Exchange &ex)
{
    return ex.complete() && ex.answer.at(0) == ACK && ex.answer.mid(kAck) == terminator();
}

bool ReadWriteKR::isRejection(const QByteArray &answer, int station)
{
    return answer.size() == kAck + 1 + terminator().size() && answer.at(0) == NAK &&
           fromStation(answer, station) && answer.mid(kAck + 1) == terminator();
}

int ReadWriteKR::errorCode(const QByteArray &answer, int station)
{
    if (answer.size() < kAck + 1 || answer.at(0) != NAK || !fromStation(answer, station)) return -1;
    switch (answer.at(3)) {
        case '1':
            return 9;
        case '2':
            return 11;
        case '3':
            return 13;
        case '4':
            return 15;
        case '5':
            return 16;
        case 'A':
            return 17;
        case 'B':
            return 18;
        case 'C':
            return 19;
        default:
            return -1;
    }
}

double ReadWriteKR::decodeValue(const QByteArray &answer)
{
    const int raw = hexWordValue(answer.mid(3, 4));
    if (raw == 0xFFFF) return valueFromRaw(quint16(raw), 1, 0, false);
    return raw / std::pow(10.0, answer.at(7) - '0');
}

bool ReadWriteKR::selectGroup(int group, bool forRead)
{
    LinkState &link = linkState();
    // The group is a drive's own: one selected on another station says
    // nothing about this one.
    const QByteArray station = exchangeStationText();
    const int stationNumber = hexPairValue(station.at(0), station.at(1));
    const int groupStation = link.nativeGroupStation;
    if (group == link.nativeGroup && (groupStation < 0 || groupStation == stationNumber) &&
        !link.groupReselect)
        return true;
    Exchange ex =
        exchange(request(station, kSelectGroup, quint16(group)), ackLength(), FrameForm::Text);
    if (isAck(ex)) {
        ex = exchange(request(station, kConfirmGroup), dataAnswerLength(), FrameForm::Text);
        if (isDataAnswer(ex) && hexDigitValue(ex.answer.at(6)) == group) {
            link.nativeGroup = group;
            link.nativeGroupStation = stationNumber;
            link.groupReselect = false;
            return true;
        }
    }
    // The drive may have switched already; the next access must select again.
    link.nativeGroup = -1;
    if (forRead)
        reportReadError(errorCode(ex.answer, ex.station), ex.linkLost);
    else
        reportError(errorCode(ex.answer, ex.station), ex.linkLost);
    return false;
}

bool ReadWriteKR::probe()
{
    const Exchange ex = exchange(request(exchangeStationText(), kStatusCode),
                                 dataAnswerLength(), FrameForm::Text, Attempts::Probe);
    return isDataAnswer(ex) || isRejection(ex.answer, ex.station);
}

double ReadWriteKR::readRegister(int address, double)
{
    if (address < 0 || address >= kAddressLimit) return -1;
    LinkLockScope held;
    QMutexLocker lock(&groupMutex());
    if (!selectGroup(address / kGroupSize, true)) return -1;
    LinkState &link = linkState();
    const Exchange ex = exchange(request(exchangeStationText(), quint8(address % kGroupSize)),
                                 dataAnswerLength(), FrameForm::Text);
    if (isDataAnswer(ex)) return decodeValue(ex.answer);
    if (!link.quietReads) {
        if (!link.silentReads) reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        link.nativeGroup = -1;
    }
    return -1;
}

bool ReadWriteKR::writeRegister(int address, int value)
{
    LinkState &link = linkState();
    // Codes beyond group 9 would run into the group selection code FF.
    if (address < 0 || address >= kWriteAddressLimit) {
        reportError(12, false);
        return false;
    }
    const int group = qMin(address / kGroupSize, kWriteGroupLimit);
    LinkLockScope held;
    QMutexLocker lock(&groupMutex());
    if (!selectGroup(group, false)) {
        link.commError = false;
        return false;
    }
    const quint8 instruction = quint8(address - group * kGroupSize + kWriteOffset);
    const Exchange ex = exchange(request(exchangeStationText(), instruction, quint16(value)),
                                 ackLength(), FrameForm::Text);
    if (isRejection(ex.answer, ex.station) && acceptsRejection(address)) {
        link.nativeGroup = -1;
        link.commError = false;
        return true;
    }
    if (isAck(ex)) return true;
    reportError(errorCode(ex.answer, ex.station), ex.linkLost);
    link.commError = false;
    link.nativeGroup = -1;
    return false;
}

int ReadWriteKR::runFunctionLocked(const QByteArray &code)
{
    const QByteArray name = code.left(3);
    if (name == "FRE" && code.size() >= 5)
        patchFunction(name, 7, hexWord(quint16(quint8(code.at(3)) << 8 | quint8(code.at(4)))));
    const QByteArray record = findFunction(name);
    const bool reading = isMonitorReading(name);
    const bool silent = reading || isSelectorWrite(name);
    // Instruction code (2) and wait time at least.
    if (record.size() < 7) {
        if (!silent) reportError(-1, linkState().linkLost);
        return -1;
    }
    const bool dataAnswer = reading || name == "MOD" || isWordFunction(name);
    const Exchange ex = exchange(ENQ + exchangeStationText() + record.mid(4),
                                 dataAnswer ? dataAnswerLength() : ackLength(), FrameForm::Text);
    const bool good = dataAnswer ? isDataAnswer(ex) : isAck(ex);
    if (reading) {
        if (!good) return -1;
        setLastReading(decodeValue(ex.answer));
        return 0;
    }
    if (isSelectorWrite(name)) return good ? 0 : -1;
    if (!good) {
        reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return -1;
    }
    if (name == "MOD") {
        const int mode = decodeMode(hexDigitValue(ex.answer.at(6)));
        if (mode < 0) reportError(errorCode(ex.answer, ex.station), ex.linkLost);
        return mode;
    }
    if (isWordFunction(name)) return hexWordValue(ex.answer.mid(3, 4));
    return 0;
}
