#pragma once

#include "serialline.h"
#include "transport.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>

class SerialPortWorker;

class QThread;

// A real serial port (USB adapter, COM port or pseudo-terminal). The port
// object lives in an I/O thread of its own, because a port may only be used
// by the thread that owns it; every call is handed to that thread and the
// caller waits for it. The port is used synchronously (polled reads), so the
// I/O thread runs a loop of its own rather than Qt's event loop, and the
// hand-over goes through a plain mutex and condition variable: ordered in a
// way every thread checker can see.
class SerialPortTransport : public Transport
{
public:
    // `name` is a system port name ("ttyUSB0", "COM3") or a device path.
    explicit SerialPortTransport(const QString &name);
    ~SerialPortTransport() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override;
    QString errorString() const override;
    bool applySettings(const LineSettings &settings) override;
    LineSettings settings() const override;
    int transact(const QByteArray &frame, int wanted, char *buf, int bufSize,
                 const AnswerTest &shortWhole = {}) override;
    void settle() override;
    // How the last answer read ended.
    AnswerReadStats lastReadStats() const;

    // The name a stored port text opens: on Windows "\\.\" before names longer
    // than four characters ("Com12"); elsewhere the text unchanged.
    static QString systemPortName(const QString &portText);

private:
    void runOnIoThread(const std::function<void()> &work) const;
    // The I/O thread: runs each piece of work handed over until told to stop.
    void ioLoop();

    QThread *m_thread = nullptr;
    SerialPortWorker *m_worker = nullptr;
    mutable std::mutex m_callMutex;  // one caller at a time
    mutable std::mutex m_ioMutex;
    mutable std::condition_variable m_ioWake;
    mutable const std::function<void()> *m_work = nullptr;
    mutable bool m_workDone = false;
    bool m_stop = false;
    AnswerReadStats m_lastStats;  // used on the I/O thread only
};
