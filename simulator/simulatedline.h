#pragma once

#include "slaveprotocol.h"

#include "link/faketransport.h"
#include "link/transport.h"

#include <QHash>
#include <QList>
#include <QMutex>

#include <memory>

class SimulatedDrive;

// Faults a drive can be told to make, for tests.
struct SimFaults {
    bool noAnswer = false;
    double lateMs = 0;         // added to the turnaround
    int shortBy = 0;           // bytes cut off the end of every answer
    bool corruptChecksum = false;
    int dropOneIn = 0;         // every n-th frame for this drive goes unanswered
};

// One serial line with one or more simulated drives on it: it hands each
// request to the drive at its station and times the answer as the wire
// would (frame length, baud rate, character format, turnaround).
class SimulatedLine
{
public:
    explicit SimulatedLine(int protocol = SlaveProtocol::Rtu, int lineEnd = 2);

    void addDrive(std::shared_ptr<SimulatedDrive> drive);
    std::shared_ptr<SimulatedDrive> drive(int station) const;
    QList<std::shared_ptr<SimulatedDrive>> drives() const;

    int protocol() const;
    void setProtocol(int protocol, int lineEnd);
    // The settings the master's side of the line runs with (they time the answers).
    void setLineSettings(const LineSettings &settings);
    LineSettings lineSettings() const;
    // The character format the drives listen with. Once set, a request the
    // master sends with another baud rate or character format arrives
    // garbled and goes unanswered, as on a real line; `baudOnly` compares
    // the baud rate alone (a pseudo-terminal forces 8 data bits, no parity).
    void setDriveSettings(const LineSettings &settings, bool baudOnly = false);
    void setTurnaroundMs(double ms);
    double turnaroundMs() const;
    void setFaults(int station, const SimFaults &faults);

    // Milliseconds one character takes on the wire.
    double characterMs() const;

    // The answers of the drives to one complete request frame, timed from the
    // moment the master has written it.
    QList<FakeTransport::Reply> respond(const QByteArray &request);
    // Splits a byte stream into frames and answers each (used by the pty server).
    QList<QByteArray> frames(const QByteArray &bytes);
    void resetInput();

private:
    mutable QMutex m_mutex;
    QList<std::shared_ptr<SimulatedDrive>> m_drives;
    QHash<int, SimFaults> m_faults;
    QHash<int, int> m_frameCounts;
    SlaveProtocol m_protocol;
    LineSettings m_settings;
    LineSettings m_driveSettings;
    bool m_checkSettings = false;
    bool m_baudOnly = false;
    double m_turnaroundMs = 2;
};
