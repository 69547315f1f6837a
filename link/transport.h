#pragma once

#include <QByteArray>
#include <QString>
#include <QThread>

#include <functional>

// Line settings of a serial port.
struct LineSettings {
    qint32 baudRate = 9600;
    int dataBits = 8;
    char parity = 'N';  // 'N', 'O' or 'E'
    int stopBits = 1;

    bool operator==(const LineSettings &o) const
    {
        return baudRate == o.baudRate && dataBits == o.dataBits && parity == o.parity &&
               stopBits == o.stopBits;
    }
};

// Whether bytes that stopped short of the wanted count are a whole answer all
// the same. A drive refuses a request with a frame shorter than the answer
// asked for (a Modbus exception, a native NAK); waiting for the missing bytes
// would cost a whole read window and leave the line unsettled. Called on the
// thread that reads the port, with the bytes waiting there.
using AnswerTest = std::function<bool(const QByteArray &bytes)>;

// The serial line as the drivers see it. `transact` is one attempt of an
// exchange: drop stale input, write the frame, read the answer by polling.
// Implementations may be called from any thread; the caller (the exchange of
// ReadWrite) serialises attempts with the link's port lock.
class Transport
{
public:
    virtual ~Transport() = default;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;
    virtual QString errorString() const = 0;

    // Applies the settings; false when the device refused one of them (a
    // warning only: pseudo-terminals refuse some changes on an open port).
    virtual bool applySettings(const LineSettings &settings) = 0;
    // The settings the line runs with: once open, what the device took,
    // which may differ from what was applied (see refusedSettingsText).
    virtual LineSettings settings() const = 0;

    // Returns the number of answer bytes put into `buf` (at most `bufSize`),
    // 0 when none came, -1 when the port failed. Fewer than `wanted` bytes
    // end the read as soon as they stop coming when `shortWhole` takes them.
    virtual int transact(const QByteArray &frame, int wanted, char *buf, int bufSize,
                         const AnswerTest &shortWhole = {}) = 0;

    // Called before the first attempt of an exchange. An attempt that gave
    // up waiting leaves its answer on the way; arriving during a later
    // exchange it would be taken for that exchange's answer (a read of one
    // register would return another's value). After such an attempt the line
    // is waited out until it has been quiet for a whole read window, and what
    // came is dropped.
    virtual void settle() = 0;

    // The pause before an attempt of the byte form. Line time: a scripted
    // port lets it pass on its own clock, so answers that arrive during it
    // arrive there too.
    virtual void pauseMs(int ms);
};

inline void Transport::pauseMs(int ms) { QThread::msleep(ulong(ms)); }

// "7 data bits, even parity" for the settings of `asked` that `actual`
// lacks, and in `runsWith` what the line uses instead; empty when it took them all.
QString refusedSettingsText(const LineSettings &asked, const LineSettings &actual,
                            QString *runsWith);
