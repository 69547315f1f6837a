#pragma once

#include <QByteArray>
#include <QList>

class SimulatedDrive;

// The slave side of the three protocols: splits the byte stream of a line
// into request frames, and builds a drive's answer to a frame the way a real
// drive does (no answer to a Modbus frame with a bad checksum or for another
// station; an exception or NAK for a request it refuses).
class SlaveProtocol
{
public:
    enum Kind { Native = 0, Rtu = 1, Ascii = 2 };

    SlaveProtocol(int kind, int lineEnd);

    int kind() const { return m_kind; }
    int lineEnd() const { return m_lineEnd; }

    // Appends bytes from the line and returns the complete frames in them.
    QList<QByteArray> feed(const QByteArray &bytes);
    // Drops a partial frame (the line fell silent in the middle of it).
    void resetInput() { m_pending.clear(); }
    bool hasPartialFrame() const { return !m_pending.isEmpty(); }

    // The answer of `drive` to a complete frame; empty when it stays silent.
    QByteArray answer(const QByteArray &frame, SimulatedDrive &drive) const;

    // Damages the checksum of an answer (fault injection).
    QByteArray corruptChecksum(const QByteArray &answer) const;

private:
    QList<QByteArray> feedRtu();
    QList<QByteArray> feedAscii();
    QList<QByteArray> feedNative();
    QByteArray answerModbus(const QByteArray &pdu, SimulatedDrive &drive) const;
    QByteArray answerRtu(const QByteArray &frame, SimulatedDrive &drive) const;
    QByteArray answerAscii(const QByteArray &frame, SimulatedDrive &drive) const;
    QByteArray answerNative(const QByteArray &frame, SimulatedDrive &drive) const;
    QByteArray nativeRead(int code, SimulatedDrive &drive, const QByteArray &station) const;
    QByteArray nativeWrite(int code, int data, SimulatedDrive &drive,
                           const QByteArray &station) const;
    QByteArray lineEndBytes() const;

    int m_kind;
    int m_lineEnd;
    QByteArray m_pending;
};
