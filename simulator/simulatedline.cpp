#include "simulatedline.h"

#include "simulateddrive.h"

SimulatedLine::SimulatedLine(int protocol, int lineEnd) : m_protocol(protocol, lineEnd) {}

void SimulatedLine::addDrive(std::shared_ptr<SimulatedDrive> drive)
{
    QMutexLocker lock(&m_mutex);
    m_drives.append(std::move(drive));
}

std::shared_ptr<SimulatedDrive> SimulatedLine::drive(int station) const
{
    QMutexLocker lock(&m_mutex);
    for (const auto &d : m_drives)
        if (d->station() == station)
            return d;
    return nullptr;
}

QList<std::shared_ptr<SimulatedDrive>> SimulatedLine::drives() const
{
    QMutexLocker lock(&m_mutex);
    return m_drives;
}

int SimulatedLine::protocol() const
{
    QMutexLocker lock(&m_mutex);
    return m_protocol.kind();
}

void SimulatedLine::setProtocol(int protocol, int lineEnd)
{
    QMutexLocker lock(&m_mutex);
    m_protocol = SlaveProtocol(protocol, lineEnd);
}

void SimulatedLine::setLineSettings(const LineSettings &settings)
{
    QMutexLocker lock(&m_mutex);
    m_settings = settings;
}

LineSettings SimulatedLine::lineSettings() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings;
}

void SimulatedLine::setTurnaroundMs(double ms)
{
    QMutexLocker lock(&m_mutex);
    m_turnaroundMs = ms;
}

double SimulatedLine::turnaroundMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_turnaroundMs;
}

void SimulatedLine::setFaults(int station, const SimFaults &faults)
{
    QMutexLocker lock(&m_mutex);
    m_faults.insert(station, faults);
    m_frameCounts.remove(station);
}

void SimulatedLine::setDriveSettings(const LineSettings &settings, bool baudOnly)
{
    QMutexLocker lock(&m_mutex);
    m_driveSettings = settings;
    m_checkSettings = true;
    m_baudOnly = baudOnly;
}

double SimulatedLine::characterMs() const
{
    const LineSettings &s = m_settings;
    const int bits = 1 + s.dataBits + (s.parity == 'N' ? 0 : 1) + s.stopBits;
    return bits * 1000.0 / std::max(1, s.baudRate);
}

QList<FakeTransport::Reply> SimulatedLine::respond(const QByteArray &request)
{
    QMutexLocker lock(&m_mutex);
    const double charMs = characterMs();
    QList<FakeTransport::Reply> replies;
    if (m_checkSettings && (m_baudOnly ? m_settings.baudRate != m_driveSettings.baudRate
                                       : !(m_settings == m_driveSettings)))
        return replies;
    for (const auto &drive : qAsConst(m_drives)) {
        QByteArray answer = m_protocol.answer(request, *drive);
        if (answer.isEmpty())
            continue;
        const SimFaults faults = m_faults.value(drive->station());
        const int count = ++m_frameCounts[drive->station()];
        if (faults.noAnswer || (faults.dropOneIn > 0 && count % faults.dropOneIn == 0))
            continue;
        if (faults.corruptChecksum)
            answer = m_protocol.corruptChecksum(answer);
        if (faults.shortBy > 0)
            answer.chop(std::min(faults.shortBy, int(answer.size()) - 1));
        // The first answer byte is complete one character time after it starts.
        const double delay = (request.size() + 1) * charMs + m_turnaroundMs + faults.lateMs;
        replies.append(FakeTransport::Reply{answer, delay, charMs});
    }
    return replies;
}

QList<QByteArray> SimulatedLine::frames(const QByteArray &bytes)
{
    QMutexLocker lock(&m_mutex);
    return m_protocol.feed(bytes);
}

void SimulatedLine::resetInput()
{
    QMutexLocker lock(&m_mutex);
    m_protocol.resetInput();
}
