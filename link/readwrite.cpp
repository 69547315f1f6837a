#include "readwrite.h"

#include "linkstate.h"
#include "transport.h"

#include "base/sharedstate.h"
#include "base/userinteraction.h"

#include <QFile>
#include <QHash>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Values that the rules compare with limits such as 0.3 come from raw x 0.01
// products; a small tolerance keeps "exactly 0.3" exact.
constexpr double kTolerance = 1e-9;
constexpr int kAttempts = 3;
constexpr int kBytePauseMs = 10;

std::atomic<quint64> g_driverSerial{0};
// A missing FNC.txt is said once when it goes missing, not at each of the
// loads that building and installing drivers make (several at start-up).
std::atomic<bool> g_functionFileMissing{false};

// The last readings of the calling thread, by driver; gone with the thread.
QHash<quint64, double> &threadReadings()
{
    thread_local QHash<quint64, double> readings;
    return readings;
}
}  // namespace

ReadWrite::ReadWrite(QObject *parent) : QObject(parent), m_serial(++g_driverSerial)
{
    loadFunctionTable();
}

ReadWrite::~ReadWrite() = default;

bool ReadWrite::writeRegister(int, int) { return true; }
double ReadWrite::readRegister(int, double) { return -1; }
int ReadWrite::runFunction(const QByteArray &code)
{
    LinkLockScope held;
    QMutexLocker lock(&m_functionMutex);
    return runFunctionLocked(code);
}

int ReadWrite::runFunctionLocked(const QByteArray &) { return -1; }
double ReadWrite::lastReading() { return threadReadings().value(m_serial, 0); }

void ReadWrite::setLastReading(double value) { threadReadings().insert(m_serial, value); }
std::optional<quint32> ReadWrite::readPacked(int, int) { return std::nullopt; }

void ReadWrite::setProtocol(int protocol)
{
    m_protocol.store(protocol);
    loadFunctionTable();
}

QList<QByteArray> ReadWrite::functionTable() const
{
    QMutexLocker lock(&m_tableMutex);
    return m_table;
}

QByteArray ReadWrite::functionRecord(const QString &rawLine, int protocol)
{
    const QString line = rawLine.trimmed();
    const QStringList pieces = line.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return QByteArray();
    bool ok = false;
    if (pieces.at(0).toInt(&ok) != protocol || !ok)
        return QByteArray();
    QByteArray record;
    if (protocol == 1) {
        if (pieces.size() < 4)
            return QByteArray();
        record.append(char(1));
        for (int i = 1; i <= 3; ++i)
            record.append(pieces.at(i).at(0).toLatin1());
        for (int i = 4; i < pieces.size(); ++i) {
            const uint byte = pieces.at(i).toUInt(&ok, 16);
            if (!ok || byte > 0xFF)
                return QByteArray();
            record.append(char(byte));
        }
        return record;
    }
    // The text record is cut from the joined line, whose first character
    // stands for the protocol: "02" or "+2" would shift the name by one.
    if (pieces.at(0).size() != 1)
        return QByteArray();
    const QByteArray joined = QString(line).remove(QLatin1Char('-')).toLatin1();
    if (joined.size() < 4)
        return QByteArray();
    record.append(char(joined.at(0) - '0'));
    record.append(joined.mid(1));
    return record;
}

void ReadWrite::loadFunctionTable()
{
    QList<QByteArray> table;
    QFile file(dataPath(QStringLiteral("InvType/FNC.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (!g_functionFileMissing.exchange(true))
            userInteraction()->warning(
                tr("Warning"),
                tr("Cannot read file %1:\n%2.").arg(file.fileName(), file.errorString()));
    } else {
        g_functionFileMissing = false;
        QTextStream in(&file);
        const int protocol = m_protocol.load();
        while (!in.atEnd()) {
            const QByteArray record = functionRecord(in.readLine(), protocol);
            if (!record.isEmpty())
                table.append(record);
        }
    }
    QMutexLocker lock(&m_tableMutex);
    m_table = table;
}

QByteArray ReadWrite::findFunction(const QByteArray &name) const
{
    if (name.size() < 3)
        return QByteArray();
    QMutexLocker lock(&m_tableMutex);
    for (const QByteArray &record : m_table)
        if (record.mid(1, 3) == name.left(3))
            return record;
    return QByteArray();
}

void ReadWrite::patchFunction(const QByteArray &name, int offset, const QByteArray &bytes)
{
    QMutexLocker lock(&m_tableMutex);
    for (QByteArray &record : m_table) {
        if (record.mid(1, 3) != name.left(3))
            continue;
        if (record.size() >= offset + bytes.size())
            record.replace(offset, bytes.size(), bytes);
        return;
    }
}

ReadWrite::Exchange ReadWrite::exchange(const QByteArray &body, int expected, FrameForm form,
                                        Attempts mode)
{
    LinkState &link = linkState();
    Exchange ex;
    ex.expected = expected;
    const QByteArray frame = completeFrame(body);
    const bool probing = mode == Attempts::Probe;
    LinkLockScope held;
    link.portLock.acquire();
    const std::shared_ptr<Transport> port = link.serialPort();
    if (port && !probing)
        port->settle();
    const QList<std::shared_ptr<FrameObserver>> observers = link.frameObservers();
    // The station of this request, from the frame itself: the answer is
    // checked against it whatever station is current by then.
    const int station = frameStation(frame);
    ex.station = station;
    ex.broadcast = isBroadcast(station);
    // The Modbus ASCII packed read expects up to 27 characters; the buffer
    // must hold every answer a request asks for.
    std::vector<char> buf(size_t(std::max(kAnswerBufferSize, expected)));
    const AnswerTest refusal = [this, &frame](const QByteArray &bytes) {
        return isRefusal(frame, bytes);
    };
    const int allowed = probing || ex.broadcast ? 1 : kAttempts;
    int n = 0;
    int attempts = 0;
    while (attempts < allowed) {
        ++attempts;
        if (form == FrameForm::Bytes) {
            if (port)
                port->pauseMs(kBytePauseMs);
            else
                QThread::msleep(kBytePauseMs);
        }
        for (const auto &observer : observers)
            observer->frameSent(frame, station, form);
        n = port ? port->transact(frame, ex.broadcast ? 0 : expected, buf.data(), int(buf.size()),
                                  refusal)
                 : -1;
        ex.answer = n > 0 ? QByteArray(buf.data(), n) : QByteArray();
        if (ex.broadcast) {
            ex.answerBad = n < 0;  // only a port that failed tells of a fault
            break;
        }
        for (const auto &observer : observers)
            observer->frameReceived(ex.answer, station, form);
        ex.answerBad = !answerPasses(ex.answer, station);
        if (!probing)
            link.commError = ex.answerBad;
        if (n > 0)
            break;
    }
    if (ex.broadcast) {
        link.portLock.release();
        return ex;
    }
    if (!probing) {
        if (n <= 0)
            link.quietReads = false;
        ex.linkLost = attempts == kAttempts;
        link.linkLost = ex.linkLost;
    }
    link.portLock.release();
    if (!probing)
        LinkEvents::noteExchange(n > 0 && !ex.answerBad);
    return ex;
}

bool ReadWrite::probe() { return false; }

QByteArray ReadWrite::completeFrame(const QByteArray &body) const { return body; }

bool ReadWrite::answerPasses(const QByteArray &answer, int) const { return !answer.isEmpty(); }

int ReadWrite::frameStation(const QByteArray &) const { return -1; }

bool ReadWrite::isRefusal(const QByteArray &, const QByteArray &) const { return false; }

void ReadWrite::reportError(int code, bool linkLost) const
{
    LinkEvents::report(linkLost ? 8 : code);
}

void ReadWrite::reportReadError(int code, bool linkLost) const
{
    const LinkState &link = linkState();
    if (!link.quietReads && !link.silentReads)
        reportError(code, linkLost);
}

double ReadWrite::valueFromRaw(quint16 raw, double scale, int address, bool modbus)
{
    if (raw == 0xFFFF)
        return isSeriesFeature(QStringLiteral("readWrite_99999")) ? 99999 : 9999;
    double value = raw * scale;
    if (!modbus || address != 188)
        return value;
    switch (seriesLetter()) {
    case 'A':
    case 'L':
        value *= 0.1;
        break;
    case 'G':
        if (value > 0.3 + kTolerance)
            value *= 0.1;
        break;
    case 'T':
        if (value > 0.41 + kTolerance)
            value *= 0.1;
        break;
    case 'X':
        if (value >= 0.6 - kTolerance)
            value *= 0.1;
        break;
    default:
        break;
    }
    return value;
}

double ReadWrite::modbusReadingScale(char secondLetter)
{
    switch (secondLetter) {
    case '7':
    case 'A':
    case 'B':
    case 'C':
    case 'K':
        return 1;
    case 'E':
    case 'F':
        return 0.1;
    default:
        return 0.01;
    }
}

int ReadWrite::decodeMode(int value)
{
    switch (value) {
    case 0:
    case 1:
    case 2:
        return '0' + value;
    case 6:
    case 7:
        if (isSeriesFeature(QStringLiteral("readWrite_H")))
            return '0' + value - 6;
        return -1;
    default:
        return -1;
    }
}

bool ReadWrite::acceptsRejection(int address)
{
    const LinkState &link = linkState();
    return (address == 77 && link.acceptReject77) ||
           ((address == 288 || address == 290) && link.acceptReject288);
}

bool ReadWrite::isMonitorReading(const QByteArray &name)
{
    return name.size() >= 3 && name.at(0) == 'M' && name.at(2) == 'R';
}

bool ReadWrite::isSelectorWrite(const QByteArray &name)
{
    return name.size() >= 3 && name.at(0) == 'M' && name.at(2) == 'W';
}

bool ReadWrite::isWordFunction(const QByteArray &name)
{
    const QByteArray n = name.left(3);
    return n == "STA" || n == "M0N" || n == "M1N";
}
