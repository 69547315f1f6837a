#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>

#include "frameobserver.h"

#include <atomic>
#include <optional>

// The operations every protocol driver offers, and what the three drivers
// share: the function table of InvType/FNC.txt, the serialised exchange with
// its three attempts, the value rules and the single path for link errors.
class ReadWrite : public QObject
{
    Q_OBJECT
public:
    explicit ReadWrite(QObject *parent = nullptr);
    ~ReadWrite() override;

    // Writes the low 16 bits of `value`.
    virtual bool writeRegister(int address, int value);
    // Returns the scaled value, or -1 on failure.
    virtual double readRegister(int address, double scale);
    // Runs the function named by the first three characters of `code`; for
    // "FRE" bytes 4 and 5 (counting from 1) carry the frequency, high byte first.
    // One function at a time per driver: "FRE" patches its record before use.
    virtual int runFunction(const QByteArray &code);
    void loadFunctionTable();
    // The value of the calling thread's last successful monitor reading ('M?R'
    // function) on this driver; 0 before its first one. Held per thread: the
    // monitor thread reads a quantity and then takes the value, and another
    // thread's reading in between must not hand it a different quantity.
    virtual double lastReading();
    // Low bytes of `count` registers packed, the first most significant;
    // empty on failure (every value, 0xFFFFFFFF too, is a location's content).
    // A failure is reported unless the calling thread's reads are silent.
    virtual std::optional<quint32> readPacked(int address, int count);
    // Whether a drive answers at the calling thread's station: one short
    // question every drive answers, one attempt, nothing reported and the
    // shared link flags left alone. A refusal counts: a drive is there.
    virtual bool probe();

    void setProtocol(int protocol);
    int protocol() const { return m_protocol.load(); }
    QList<QByteArray> functionTable() const;

    // The record a line of FNC.txt gives for `protocol`; empty when the line
    // belongs to another protocol or cannot be a record.
    static QByteArray functionRecord(const QString &line, int protocol);

    static constexpr int kAddressLimit = 1600;

protected:
    // Normal exchanges make up to three attempts. A probe makes one, does not
    // wait out a late answer to the probe before (the answer check's station
    // test keeps it from being taken) and leaves commError, linkLost and
    // quietReads as they were: a silent station answers the probe's
    // question and is no fault of the link.
    enum class Attempts { Normal, Probe };

    // What one exchange brought back.
    struct Exchange {
        QByteArray answer;
        int expected = 0;
        bool answerBad = true;  // the protocol's answer check failed
        bool linkLost = false;  // all three attempts were needed
        int station = -1;       // the station the request went to
        // Sent to Modbus station 0: every drive obeys, none answers.
        bool broadcast = false;
        bool complete() const { return answer.size() == expected && !answerBad; }
    };

    static constexpr int kAnswerBufferSize = 18;

    // One request, up to three attempts, under the port lock; the frame
    // observers see each attempt and each answer.
    Exchange exchange(const QByteArray &body, int expected, FrameForm form,
                      Attempts mode = Attempts::Normal);

    // Modbus station 0 is the broadcast address: a request to it is sent once
    // and no answer is waited for (the quiet polls after it give the drives
    // their turnaround). The native protocol has no broadcast.
    bool isBroadcast(int station) const { return station == 0 && protocol() != 0; }
    // A command function sent as a broadcast: 0 once it left. Functions that
    // read an answer (readings, MOD, word functions) get none: -1, silently,
    // as the caller asked for what no drive will say.
    static int broadcastResult(const Exchange &ex, bool readsAnswer)
    {
        return readsAnswer || ex.answerBad ? -1 : 0;
    }

    // Adds checksum and terminator to a request body.
    virtual QByteArray completeFrame(const QByteArray &body) const;
    // The protocol's answer check against the station of the request; true
    // when the answer is usable.
    virtual bool answerPasses(const QByteArray &answer, int station) const;
    // The station a complete request frame is addressed to (-1: none).
    virtual int frameStation(const QByteArray &frame) const;
    // True when `answer` is the drive's whole refusal of the request `frame`
    // (a Modbus exception, a native NAK). Shorter than the answer asked for,
    // it ends the read once no more bytes come. Called on the port's thread.
    virtual bool isRefusal(const QByteArray &frame, const QByteArray &answer) const;

    // The record for a function name (its first three characters), or empty.
    QByteArray findFunction(const QByteArray &name) const;
    // Overwrites `bytes` of the named record from `offset` (the "FRE" value).
    void patchFunction(const QByteArray &name, int offset, const QByteArray &bytes);

    // Emits the error, or code 8 when the exchange lost the link (callers that
    // made no exchange pass the shared linkLost flag).
    void reportError(int code, bool linkLost) const;
    // Reports a failed read unless reads are quiet or silent.
    void reportReadError(int code, bool linkLost) const;

    // 0xFFFF gives 9999 or 99999; otherwise raw x scale, and register 188 is
    // corrected by series for the Modbus drivers.
    static double valueFromRaw(quint16 raw, double scale, int address, bool modbus);
    static double modbusReadingScale(char secondLetter);
    // '0', '1', '2' for a mode value, -1 for any other.
    static int decodeMode(int value);
    // A refused write that counts as success: register 77 while
    // acceptReject77 is set, 288 and 290 while acceptReject288 is set.
    static bool acceptsRejection(int address);
    static bool isMonitorReading(const QByteArray &name);
    static bool isSelectorWrite(const QByteArray &name);
    static bool isWordFunction(const QByteArray &name);

    void setLastReading(double value);
    // runFunction's protocol part, called with the function lock held.
    virtual int runFunctionLocked(const QByteArray &code);

private:
    mutable QMutex m_tableMutex;
    QList<QByteArray> m_table;
    std::atomic<int> m_protocol{0};
    // Names this driver in each thread's readings (an address could be
    // reused by a later driver).
    const quint64 m_serial;
    QMutex m_functionMutex;
};
