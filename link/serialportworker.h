#pragma once

#include "serialline.h"
#include "transport.h"

#include <QObject>

class QSerialPort;

// Owns the QSerialPort on the I/O thread and runs the polled answer read there.
class SerialPortWorker : public QObject, public SerialLine
{
    Q_OBJECT
public:
    explicit SerialPortWorker(const QString &name);
    ~SerialPortWorker() override;

    bool openPort();
    void closePort();
    // Destroys the port (on this object's thread).
    void releasePort();
    bool isOpen() const;
    QString portName() const;
    QString errorString() const;
    bool applySettings(const LineSettings &settings);
    // What the open port runs with (the settings applied while it is closed).
    LineSettings settings() const;

    void discardInput() override;
    bool writeAll(const QByteArray &frame) override;
    void waitMs(int ms) override;
    qint64 bytesWaiting() override;
    qint64 readInto(char *buf, qint64 max) override;
    qint64 peekInto(char *buf, qint64 max) override;
    int pollIntervalMs() const override;

    // An attempt gave up waiting; its answer may still come (see Transport::settle).
    bool unsettled() const { return m_unsettled; }
    void setUnsettled(bool on) { m_unsettled = on; }

private:
    bool pushSettings();

    QSerialPort *m_port = nullptr;
    QString m_name;
    LineSettings m_settings;
    bool m_unsettled = false;
};
