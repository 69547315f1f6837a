#pragma once

#include "transport.h"

#include <QMutex>
#include <QString>
#include <QThread>

#include <functional>

class SerialPortWorker;

// A real serial port (USB adapter, COM port or pseudo-terminal). The port
// object lives in an I/O thread of its own, because a port may only be used
// by the thread that owns it; every call is handed to that thread and the
// caller waits for it.
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
    int transact(const QByteArray &frame, int wanted, char *buf, int bufSize) override;
    void settle() override;

    // The name a stored port text opens: on Windows "\\.\" before names longer
    // than four characters ("Com12"); elsewhere the text unchanged.
    static QString systemPortName(const QString &portText);

private:
    void runOnIoThread(const std::function<void()> &work) const;

    QThread m_thread;
    mutable QMutex m_callMutex;
    SerialPortWorker *m_worker = nullptr;
};
