#include "serialportworker.h"

#include <QDeadlineTimer>
#include <QSerialPort>

SerialPortWorker::SerialPortWorker(const QString &name) : m_name(name) {}

SerialPortWorker::~SerialPortWorker() { delete m_port; }

bool SerialPortWorker::openPort()
{
    if (!m_port)
        m_port = new QSerialPort;
    if (m_port->isOpen())
        m_port->close();
    m_port->setPortName(m_name);
    // Settings go in before opening; a device that refuses one while open
    // (pseudo-terminals do) is still usable.
    pushSettings();
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (m_port->open(QIODevice::ReadWrite)) {
        pushSettings();
        return true;
    }
    // Some devices (pseudo-terminals among them) refuse parity or character
    // size outright; open with the plainest framing and keep what they take.
    if (m_port->error() == QSerialPort::DeviceNotFoundError ||
        m_port->error() == QSerialPort::PermissionError)
        return false;
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    if (!m_port->open(QIODevice::ReadWrite))
        return false;
    pushSettings();
    return true;
}

void SerialPortWorker::closePort()
{
    if (m_port && m_port->isOpen())
        m_port->close();
}

void SerialPortWorker::releasePort()
{
    delete m_port;
    m_port = nullptr;
}

bool SerialPortWorker::isOpen() const { return m_port && m_port->isOpen(); }

QString SerialPortWorker::portName() const { return m_name; }

QString SerialPortWorker::errorString() const
{
    return m_port ? m_port->errorString() : QString();
}

bool SerialPortWorker::applySettings(const LineSettings &settings)
{
    m_settings = settings;
    return m_port ? pushSettings() : true;
}

LineSettings SerialPortWorker::settings() const
{
    if (!m_port || !m_port->isOpen())
        return m_settings;
    LineSettings s;
    s.baudRate = m_port->baudRate();
    s.dataBits = m_port->dataBits() == QSerialPort::Data7 ? 7 : 8;
    s.parity = m_port->parity() == QSerialPort::OddParity    ? 'O'
               : m_port->parity() == QSerialPort::EvenParity ? 'E'
                                                             : 'N';
    s.stopBits = m_port->stopBits() == QSerialPort::TwoStop ? 2 : 1;
    return s;
}

bool SerialPortWorker::pushSettings()
{
    bool ok = m_port->setBaudRate(m_settings.baudRate);
    ok &= m_port->setDataBits(m_settings.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    QSerialPort::Parity parity = QSerialPort::NoParity;
    if (m_settings.parity == 'O')
        parity = QSerialPort::OddParity;
    else if (m_settings.parity == 'E')
        parity = QSerialPort::EvenParity;
    ok &= m_port->setParity(parity);
    ok &= m_port->setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop
                                                       : QSerialPort::OneStop);
    if (m_port->isOpen())
        m_port->clearError();
    return ok;
}

void SerialPortWorker::discardInput()
{
    if (!isOpen())
        return;
    m_port->waitForReadyRead(0);
    m_port->readAll();
    m_port->clear(QSerialPort::Input);
}

bool SerialPortWorker::writeAll(const QByteArray &frame)
{
    if (!isOpen())
        return false;
    if (m_port->write(frame) != frame.size())
        return false;
    // Let the frame leave before the answer read starts counting.
    QDeadlineTimer deadline(1000);
    while (m_port->bytesToWrite() > 0 && !deadline.hasExpired())
        if (!m_port->waitForBytesWritten(int(deadline.remainingTime())))
            break;
    return m_port->bytesToWrite() == 0;
}

void SerialPortWorker::waitMs(int ms)
{
    // Sleeping here would leave incoming bytes in the driver; waiting for
    // ready-read until the deadline collects them and keeps the poll pace.
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        const qint64 left = deadline.remainingTime();
        if (!isOpen() || left <= 0)
            break;
        if (!m_port->waitForReadyRead(int(left)) &&
            m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
            break;
    }
    if (isOpen() && m_port->error() == QSerialPort::TimeoutError)
        m_port->clearError();
}

qint64 SerialPortWorker::bytesWaiting()
{
    return isOpen() ? m_port->bytesAvailable() : -1;
}

qint64 SerialPortWorker::readInto(char *buf, qint64 max)
{
    return isOpen() ? m_port->read(buf, max) : -1;
}

qint64 SerialPortWorker::peekInto(char *buf, qint64 max)
{
    return isOpen() ? m_port->peek(buf, max) : -1;
}

int SerialPortWorker::pollIntervalMs() const { return m_settings.baudRate == 4800 ? 2 : 1; }
